#include "CCardWriter.h"

#include "CKvException.h"
#include "CSysPara.h"
#include "KvGbk.h"
#include "KvMessage.h"
#include "KvSql.h"
#include "KvUtil.h"
#include "SysGlobals.h"

#include <QDir>
#include <QFile>

namespace {

const QString kReplyOk = QStringLiteral("\"OK!\"");
const QString kReplyFail = QStringLiteral("\"FAIL!\"");
const QString kReplyAlarm = QStringLiteral("\"ALARM!\"");
const QString kReplyTimeout = QStringLiteral("\"TIMEOUT!\"");
const QString kError = QStringLiteral("ERROR");
// The meter number of the special cards, whose read-back checks no meter.
const QString kAnyMeter = QStringLiteral("-");

// The card code that the read-back of a write must find, by family and label;
// empty for a label the family does not know.
QString ExpectedCode(int family, const QString& label)
{
    struct Entry
    {
        const char* label;
        const char* code;
    };
    static const Entry infrared[] = {
        {"清卡", "00"},     {"开户写卡", "01"}, {"充值写卡", "03"}, {"写补卡", "05"},   {"取消授权", "07"},
        {"写设置卡", "08"}, {"写应急卡", "10"}, {"写退费卡", "11"}, {"写清表卡", "12"}, {"续用充值", "03"},
        {"补卡充值", "05"}, {"写超级卡", "17"}, {"写已用卡", "02"},
    };
    static const Entry ic[] = {
        {"清卡", "00"},     {"开户写卡", "01"}, {"取消授权", "07"},
        {"充值写卡", "03"}, {"修改充值", "03"}, {"增容充值", "03"},
    };
    const auto find = [&label](const auto& table) {
        for (const Entry& e : table) {
            if (label == QString::fromUtf8(e.label))
                return QString::fromLatin1(e.code);
        }
        return QString();
    };
    return family == CCardWriter::Infrared ? find(infrared) : find(ic);
}

QString PaddedMeter(const QString& meterNo)
{
    return KvFormatText("%08s", meterNo);
}

} // namespace

CCardWriter::CCardWriter(int port, QObject* owner)
    : m_fields(FieldCount), m_transferFields(TransferFieldCount), m_port(port), m_owner(owner)
{
    // Written by path: the program folder becomes the current directory only
    // when a tool runs.
    QFile file(QDir(GetAppDirectory()).filePath(ReaderFileName()));
    if (file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        file.write('"' + GbkEncode(GetLocalSysPara()->GetMachineCode()) + '"');
}

CCardWriter::~CCardWriter() = default;

void CCardWriter::GetFields(QStringList& fields, int& count) const
{
    fields = m_fields;
    count = FieldCount;
}

void CCardWriter::GetTransferFields(QStringList& fields, int& count) const
{
    fields = m_transferFields;
    count = TransferFieldCount;
}

QStringList CCardWriter::SplitFields(const QString& reply, int maxFields)
{
    QStringList fields(maxFields);
    QString rest = reply;
    for (int i = 0; i < maxFields; ++i) {
        const int end = rest.indexOf(u';');
        if (end < 0)
            break;
        fields[i] = rest.left(end);
        rest.remove(0, end + 1);
    }
    return fields;
}

void CCardWriter::SplitReply()
{
    m_fields = SplitFields(m_replyLine, FieldCount);
    m_fields[2] = PaddedMeter(m_fields[2]);
}

void CCardWriter::SplitTransferReply()
{
    m_transferFields = SplitFields(m_transferReplyLine, TransferFieldCount);
    m_transferFields[0] = PaddedMeter(m_transferFields[0].mid(3));
}

QString CCardWriter::SaleCommand(int family, const QString& opAndFields) const
{
    return KvFormatText("%d %d %d ", family, 1, m_port) + opAndFields;
}

QString CCardWriter::RunTool(const QString& toolName, const QString& arguments, const QString& replyFile)
{
    const QDir folder(GetAppDirectory());
    QDir::setCurrent(folder.path());
    const QString replyPath = folder.filePath(replyFile);
    // A reply left over from an earlier run must never answer this one.
    if (QFile::exists(replyPath) && !QFile::remove(replyPath))
        throw CKvException(QStringLiteral("无法删除接口数据文件: %1!").arg(QDir::toNativeSeparators(replyPath)));
    m_lastArguments = arguments;
    RunProgramAndWait(folder.filePath(toolName), arguments);
    if (!QFile::exists(replyPath))
        throw CKvException(QStringLiteral("找不到接口数据文件: %1!").arg(QDir::toNativeSeparators(replyPath)));
    QFile file(replyPath);
    QByteArray content;
    if (file.open(QIODevice::ReadOnly))
        content = file.readAll();
    if (content.isEmpty())
        throw CKvException(QStringLiteral("打开接口数据文件失败！"));
    const qsizetype end = content.indexOf('\n');
    QByteArray line = end < 0 ? content : content.left(end);
    if (line.endsWith('\r'))
        line.chop(1);
    return GbkDecode(line);
}

void CCardWriter::RunSaleTool(const QString& command)
{
    m_replyLine = kError; // what a run that throws leaves behind
    const QString reply = RunTool(SaleToolName(), QStringLiteral("0 ") + command, SaleReplyFileName());
    if (reply.contains(kError)) {
        // The tool's own words, except for the handshake, which only tests the port.
        if (command.section(u' ', 3, 3) != QStringLiteral("20"))
            PromptBoxStr(reply, m_owner);
        return;
    }
    m_replyLine = reply;
}

void CCardWriter::RunTransferTool(const QString& command)
{
    m_transferReplyLine = kError;
    const QString reply = RunTool(TransferToolName(), QStringLiteral("0 0 0 ") + command, TransferReplyFileName());
    if (reply.contains(kError)) {
        PromptBoxStr(reply, m_owner);
        return;
    }
    m_transferReplyLine = reply;
}

void CCardWriter::Read(int family)
{
    m_fields = QStringList(FieldCount);
    RunSaleTool(SaleCommand(family, QStringLiteral("01")));
    if (m_replyLine != kError)
        SplitReply();
}

void CCardWriter::ReadCard()
{
    Read(Infrared);
}

void CCardWriter::ReadIcCard()
{
    Read(Ic);
}

int CCardWriter::TestPort()
{
    m_fields = QStringList(FieldCount);
    RunSaleTool(SaleCommand(Ic, QStringLiteral("20")));
    return m_replyLine == kReplyOk ? 1 : 0;
}

void CCardWriter::UploadReadingCard()
{
    m_transferFields = QStringList(TransferFieldCount);
    RunTransferTool(KvFormatText("%d", m_port));
    if (m_transferReplyLine != kError)
        SplitTransferReply();
}

int CCardWriter::Write(int family, const QString& opAndFields, const QString& label, const QString& meterNo,
                       QString& result, bool hasAmount, int amount)
{
    if (hasAmount && (amount < 0 || amount > 9999)) {
        PromptBoxStr(QStringLiteral("写卡量超出有效值范围！"), m_owner);
        return 0;
    }
    m_writeReplyLine.clear();
    RunSaleTool(SaleCommand(family, opAndFields));
    m_writeReplyLine = m_replyLine;
    return CheckWriteResult(family, label, meterNo, result);
}

int CCardWriter::CheckWriteResult(int family, const QString& label, const QString& meterNo, QString& result)
{
    if (m_replyLine == kReplyOk) {
        PromptBoxStr(QStringLiteral("写卡成功！"), m_owner);
        result = QStringLiteral("写卡成功");
        return 1;
    }
    if (m_replyLine == kReplyFail) {
        PromptBoxStr(QStringLiteral("写卡未成功！请检查串口连接是否正常。"), m_owner);
        result = QStringLiteral("写卡失败");
        return 0;
    }
    QString question;
    if (m_replyLine == kReplyAlarm) {
        result = QStringLiteral("应答信号错误");
        question = QStringLiteral("写卡后没有收到正确应答，\n\n可能是移卡太快！是否再次读卡以确认？");
    } else if (m_replyLine == kReplyTimeout) {
        result = QStringLiteral("无应答信号");
        question =
            family == Infrared
                ? QStringLiteral("在规定时间内没有收到写卡机应答信号！\n\n可能是没有按购电按钮，或串口连接有故障！"
                                 "是否再次读卡以确认？")
                : QStringLiteral("在规定时间内没有收到写卡机应答信号！\n\n可能是串口连接有故障！是否再次读卡以确认？");
    } else if (m_replyLine == kError) {
        // The tool said the write failed, in its own words the run step showed.
        result = QStringLiteral("未知错误");
        return 0;
    } else {
        // A reply of no known word may follow a write that reached the card:
        // only the card itself can tell.
        result = QStringLiteral("未知错误");
        question = QStringLiteral("写卡机的应答无法识别，该卡可能已写入！\n\n是否再次读卡以确认？");
    }
    if (AskBoxStr(question, m_owner) == IDNO)
        return 0;
    return VerifyWrite(family, label, meterNo, result);
}

int CCardWriter::VerifyWrite(int family, const QString& label, const QString& meterNo, QString& result)
{
    const QString code = ExpectedCode(family, label);
    for (;;) {
        Read(family);
        QString question;
        if (m_replyLine == kError)
            question = QStringLiteral("是否继续读卡？");
        else if (!code.isEmpty() && m_fields[1] != code)
            question = QStringLiteral("写后读卡状态不符，是否继续读卡？");
        else if (meterNo != kAnyMeter && m_fields[2] != PaddedMeter(meterNo))
            question = QStringLiteral("写后读卡卡号不符，是否继续读卡？");
        if (question.isEmpty()) {
            result = QStringLiteral("写卡成功");
            PromptBoxStr(result, m_owner);
            return 1;
        }
        if (AskBoxStr(question, m_owner) == IDNO)
            return 0;
    }
}

// Infrared operations.

int CCardWriter::ClearCard()
{
    QString result;
    return Write(Infrared, QStringLiteral("00"), QStringLiteral("清卡"), QStringLiteral("00000000"), result);
}

int CCardWriter::WriteOpenCard(const QString& meterNo, int amount, QString& result)
{
    return Write(Infrared, KvFormatText("02 %08s %04d %03dA %03d %02d", meterNo, amount, 200, 30, 20),
                 QStringLiteral("开户写卡"), meterNo, result, true, amount);
}

int CCardWriter::WriteRechargeCard(const QString& meterNo, int amount, QString& result)
{
    return Write(Infrared, KvFormatText("03 %08s %04d %03dA %03d %02d", meterNo, amount, 200, 30, 20),
                 QStringLiteral("充值写卡"), meterNo, result, true, amount);
}

int CCardWriter::WriteReplacementCard(const QString& meterNo, QString& result)
{
    return Write(Infrared, KvFormatText("04 %8s %04d %03dA %03d %02d", meterNo, 0, 200, 30, 20),
                 QStringLiteral("写补卡"), meterNo, result);
}

int CCardWriter::WriteCancelCard(const QString& meterNo, QString& result)
{
    return Write(Infrared, KvFormatText("05 %8s %04d %03dA %03d %02d", meterNo, 0, 200, 30, 20),
                 QStringLiteral("取消授权"), meterNo, result);
}

int CCardWriter::WriteSettingCard(const QString& meterNo, int limit, int alarm, int cutOff, QString& result)
{
    return Write(Infrared, KvFormatText("06 %8s %04d %03dA %03d %02d", meterNo, 0, limit, alarm, cutOff),
                 QStringLiteral("写设置卡"), meterNo, result);
}

int CCardWriter::WriteEmergencyCard(int energy)
{
    QString result;
    return Write(Infrared, KvFormatText("07 00000000 %d", energy), QStringLiteral("写应急卡"), kAnyMeter, result);
}

int CCardWriter::WriteRefundCard()
{
    QString result;
    return Write(Infrared, QStringLiteral("08"), QStringLiteral("写退费卡"), kAnyMeter, result);
}

int CCardWriter::WriteClearMeterCard()
{
    QString result;
    return Write(Infrared, QStringLiteral("09"), QStringLiteral("写清表卡"), kAnyMeter, result);
}

int CCardWriter::WriteContinueCard(const QString& meterNo, int amount, QString& result)
{
    return Write(Infrared, KvFormatText("13 %08s %04d %03dA %03d %02d", meterNo, amount, 200, 30, 20),
                 QStringLiteral("续用充值"), meterNo, result, true, amount);
}

int CCardWriter::WriteReplacementRecharge(const QString& meterNo, int writeCount, int amount, QString& result)
{
    return Write(Infrared, KvFormatText("14 %08s %03d %04d %03dA %03d %02d", meterNo, writeCount, amount, 200, 30, 20),
                 QStringLiteral("补卡充值"), meterNo, result, true, amount);
}

int CCardWriter::WriteSuperCard()
{
    QString result;
    return Write(Infrared, QStringLiteral("15 99999999 0000 200A 030 20"), QStringLiteral("写超级卡"), kAnyMeter,
                 result);
}

int CCardWriter::WriteSettingCardEx(const QString& meterNo, int alarm, int cutOff, int pulses, int outState,
                                    QString& result)
{
    return Write(Infrared,
                 KvFormatText("16 %8s %04d %03dA %03d %02d %04d %1d", meterNo, 0, 200, alarm, cutOff, pulses, outState),
                 QStringLiteral("写设置卡"), meterNo, result);
}

int CCardWriter::WriteUsedCard(const QString& meterNo)
{
    QString result;
    return Write(Infrared, QStringLiteral("17"), QStringLiteral("写已用卡"), meterNo, result);
}

// IC operations.

int CCardWriter::ClearIcCard()
{
    QString result;
    return Write(Ic, QStringLiteral("00"), QStringLiteral("清卡"), QStringLiteral("00000000"), result);
}

int CCardWriter::WriteIcOpenCard(const QString& meterNo, int amount, int limit, int alarm, int cutOff, QString& result)
{
    return Write(Ic, KvFormatText("02 %08s %04d %03d%% %03d %02d", meterNo, amount, limit, alarm, cutOff),
                 QStringLiteral("开户写卡"), meterNo, result, true, amount);
}

int CCardWriter::WriteIcRechargeCard(const QString& meterNo, int amount, int alarm, int cutOff, QString& result)
{
    return Write(Ic, KvFormatText("03 %08s %04d %03d%% %03d %02d", meterNo, amount, 800, alarm, cutOff),
                 QStringLiteral("充值写卡"), meterNo, result, true, amount);
}

int CCardWriter::WriteIcModifyCard(const QString& meterNo, int amount, int alarm, int cutOff, QString& result)
{
    return Write(Ic, KvFormatText("04 %08s %04d %03d%% %03d %02d", meterNo, amount, 800, alarm, cutOff),
                 QStringLiteral("修改充值"), meterNo, result, true, amount);
}

int CCardWriter::WriteIcCancelCard(const QString& meterNo, QString& result)
{
    return Write(Ic, KvFormatText("05 %8s %04d %03d%% %03d %02d", meterNo, 0, 800, 30, 20), QStringLiteral("取消授权"),
                 meterNo, result);
}

int CCardWriter::WriteIcCapacityCard(const QString& meterNo, int amount, int limit, QString& result)
{
    return Write(Ic, KvFormatText("07 %08s %04d %03d%% %03d %02d", meterNo, amount, limit, 30, 20),
                 QStringLiteral("增容充值"), meterNo, result, true, amount);
}
