#pragma once

#include <QString>
#include <QStringList>

class QObject;

// The one door to the outside card tools. Every card operation is one command
// line for the sale tool Tarlisk (or, for a meter-reading card, the transfer
// tool Membrel), run in the program folder; the tool answers with one line in
// TempSale.dat (TempTran.dat). This class builds the command lines, runs the
// tools, splits their replies, judges the result of a write and, when the
// reply leaves it open, reads the card back at the operator's wish.
//
// Built on the stack for one card operation with the serial port (1 for com1)
// and the window that owns its message boxes. The run steps throw CKvException
// when the tool is missing or leaves no readable reply; nothing is confirmed
// then.
class CCardWriter
{
public:
    enum Family
    {
        Infrared = 1, // 红外遥控卡
        Ic = 2,       // IC钥匙卡
    };

    static constexpr int FieldCount = 10;
    static constexpr int TransferFieldCount = 15;

    // Writes ReaderNo.dat, the installation's sale-machine code between double
    // quotes, into the program folder.
    CCardWriter(int port, QObject* owner);
    virtual ~CCardWriter();

    CCardWriter(const CCardWriter&) = delete;
    CCardWriter& operator=(const CCardWriter&) = delete;

    // Reads: the fields are emptied, then filled from the reply unless it
    // failed. The caller looks at GetReplyLine and the fields.
    void ReadCard();
    void ReadIcCard();
    void GetFields(QStringList& fields, int& count) const;
    void GetTransferFields(QStringList& fields, int& count) const;
    QString GetReplyLine() const { return m_replyLine; }
    QString GetTransferReplyLine() const { return m_transferReplyLine; }
    // The reply the last write was judged on ("ERROR" when the tool failed),
    // whatever a read-back after it read.
    QString GetWriteReplyLine() const { return m_writeReplyLine; }

    // Infrared writes. Result 1 when the write is confirmed, else 0; `result`
    // receives "写卡成功", "写卡失败", "应答信号错误", "无应答信号" or "未知错误"
    // (untouched when the amount is refused before anything runs). A reply
    // left open ("ALARM!", "TIMEOUT!" or one of no known word) offers a read
    // of the card to confirm the write; a tool's "ERROR" does not.
    int ClearCard();
    int WriteOpenCard(const QString& meterNo, int amount, QString& result);
    int WriteRechargeCard(const QString& meterNo, int amount, QString& result);
    int WriteReplacementCard(const QString& meterNo, QString& result);
    int WriteCancelCard(const QString& meterNo, QString& result);
    int WriteSettingCard(const QString& meterNo, int limit, int alarm, int cutOff, QString& result);
    int WriteEmergencyCard(int energy);
    int WriteRefundCard();
    int WriteClearMeterCard();
    int WriteContinueCard(const QString& meterNo, int amount, QString& result);
    int WriteReplacementRecharge(const QString& meterNo, int writeCount, int amount, QString& result);
    int WriteSuperCard();
    int WriteSettingCardEx(const QString& meterNo, int alarm, int cutOff, int pulses, int outState, QString& result);
    int WriteUsedCard(const QString& meterNo);

    // IC writes.
    int TestPort(); // 1 when the tool answers "OK!" to the handshake
    int ClearIcCard();
    int WriteIcOpenCard(const QString& meterNo, int amount, int limit, int alarm, int cutOff, QString& result);
    int WriteIcRechargeCard(const QString& meterNo, int amount, int alarm, int cutOff, QString& result);
    int WriteIcModifyCard(const QString& meterNo, int amount, int alarm, int cutOff, QString& result);
    int WriteIcCancelCard(const QString& meterNo, QString& result);
    int WriteIcCapacityCard(const QString& meterNo, int amount, int limit, QString& result);

    // Reads a meter-reading card through the transfer tool into the 15
    // transfer fields.
    void UploadReadingCard();

    // The whole argument text of the last tool run ("0 1 1 3 01"), blanks of
    // "%8s" included; the runner sees it split into arguments.
    QString GetLastArguments() const { return m_lastArguments; }

    // The program names in the program folder.
    static QString SaleToolName() { return QStringLiteral("Tarlisk"); }
    static QString TransferToolName() { return QStringLiteral("Membrel"); }
    static QString SaleReplyFileName() { return QStringLiteral("TempSale.dat"); }
    static QString TransferReplyFileName() { return QStringLiteral("TempTran.dat"); }
    static QString ReaderFileName() { return QStringLiteral("ReaderNo.dat"); }

    // Splits a reply at ";" into at most `maxFields` pieces, each one ended by
    // ";" (a last piece without one is no field); the rest stay empty.
    static QStringList SplitFields(const QString& reply, int maxFields);

private:
    // One write: the amount check (when the op has an amount), the run and
    // the result check of the family. `meterNo` is what the read-back must
    // find ("-": no meter check).
    int Write(int family, const QString& opAndFields, const QString& label, const QString& meterNo, QString& result,
              bool hasAmount = false, int amount = 0);
    void RunSaleTool(const QString& command);
    void RunTransferTool(const QString& command);
    // Runs one tool and returns the first line of its reply file.
    QString RunTool(const QString& toolName, const QString& arguments, const QString& replyFile);
    void SplitReply();
    void SplitTransferReply();
    void Read(int family);

    // The result check and the read-back, one shape for both families: the
    // family decides the texts, the read and the codes to find.
    int CheckWriteResult(int family, const QString& label, const QString& meterNo, QString& result);
    int VerifyWrite(int family, const QString& label, const QString& meterNo, QString& result);
    QString SaleCommand(int family, const QString& opAndFields) const;

    QString m_replyLine;
    QString m_writeReplyLine;
    QStringList m_fields;
    QString m_transferReplyLine;
    QStringList m_transferFields;
    int m_port;
    QObject* m_owner;
    QString m_lastArguments;
};
