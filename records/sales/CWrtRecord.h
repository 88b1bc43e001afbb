#pragma once

#include "CKvObjectList.h"
#include "CKvPersistance.h"
#include "CWrtPrice.h"

#include <QDateTime>
#include <QString>

class CClientPay;

// One card write (table WrtRecord): a top-up, an opening, a replacement or a
// refund, with its price shares. Inserted "待写" before the card is written,
// confirmed after the card tool's success, closed when paid.
class CWrtRecord : public CKvPersistance
{
public:
    CWrtRecord();
    ~CWrtRecord() override = default;

    // Refuses a record without meter number or operation word before a key
    // is drawn; else draws WrtIndex (counter WrtIndex + 100000000) and inserts.
    void InsertNew() override;
    // The sale and its new price shares in one transaction.
    void Insert() override;
    // The sale, its payments and its shares in one transaction.
    void Delete() override;
    // Writes back the state word only; a row that is not there is a failure.
    void Update() override;

    // State changes; each writes the row at once. A record that was never
    // stored is refused with the change's own failure text.
    void ConfirmWritten();
    void ConfirmPaid();
    void SetVoid();

    // Replaces the price shares by new ones (keys drawn when inserted).
    void SetWrtPrices(const CWrtPrice* shares, int count);
    void SetPriceList(const CWrtPriceList* source);
    CWrtPriceList& GetPriceList() { return m_prices; }
    const CWrtPriceList& GetPriceList() const { return m_prices; }

    // Fills `pay` with this sale's payment row; false when it has none.
    bool GetClientPay(CClientPay& pay) const;

    int GetWrtIndex() const { return m_WrtIndex; }
    QString GetMeterNo() const { return m_MeterNo; }
    int GetCliPreIndex() const { return m_CliPreIndex; }
    int GetWrtValue() const { return m_WrtValue; }
    QString GetLimitValue() const { return m_LimitValue; }
    int GetAlarmShold() const { return m_AlarmShold; }
    int GetCloseShold() const { return m_CloseShold; }
    int GetWrtNum() const { return m_WrtNum; }
    int GetTotalMul() const { return m_TotalMul; }
    int GetBuyValue() const { return m_BuyValue; }
    int GetFreeValue() const { return m_FreeValue; }
    int GetAccuBuy() const { return m_AccuBuy; }
    double GetAccuUse() const { return m_AccuUse; }
    double GetAccuRemain() const { return m_AccuRemain; }
    double GetLWaste() const { return m_LWaste; }
    double GetTWaste() const { return m_TWaste; }
    double GetPrice() const { return m_Price; }
    double GetFee() const { return m_Fee; }
    double GetPrePay() const { return m_PrePay; }
    double GetSubFee() const { return m_SubFee; }
    double GetFixFee() const { return m_FixFee; }
    QString GetOpMode() const { return m_OpMode; }
    QString GetStateWord() const { return m_State; }
    QString GetOperatorNo() const { return m_OperatorNo; }
    QDateTime GetWrtTime() const { return m_WrtTime; }

    void SetWrtIndex(int value) { m_WrtIndex = value; }
    void SetMeterNo(const QString& value) { m_MeterNo = value; }
    void SetCliPreIndex(int value) { m_CliPreIndex = value; }
    void SetWrtValue(int value) { m_WrtValue = value; }
    void SetLimitValue(const QString& value) { m_LimitValue = value; }
    void SetAlarmShold(int value) { m_AlarmShold = value; }
    void SetCloseShold(int value) { m_CloseShold = value; }
    void SetWrtNum(int value) { m_WrtNum = value; }
    void SetTotalMul(int value) { m_TotalMul = value; }
    void SetBuyValue(int value) { m_BuyValue = value; }
    void SetFreeValue(int value) { m_FreeValue = value; }
    void SetAccuBuy(int value) { m_AccuBuy = value; }
    void SetAccuUse(double value) { m_AccuUse = value; }
    void SetAccuRemain(double value) { m_AccuRemain = value; }
    void SetLWaste(double value) { m_LWaste = value; }
    void SetTWaste(double value) { m_TWaste = value; }
    void SetPrice(double value) { m_Price = value; }
    void SetFee(double value) { m_Fee = value; }
    void SetPrePay(double value) { m_PrePay = value; }
    void SetSubFee(double value) { m_SubFee = value; }
    void SetFixFee(double value) { m_FixFee = value; }
    void SetOpMode(const QString& value) { m_OpMode = value; }
    // The state word of the row (待写, 写卡成功, ...), not the save state.
    void SetState(const QString& value) { m_State = value; }
    using CKvPersistance::SetState;
    void SetOperatorNo(const QString& value) { m_OperatorNo = value; }
    void SetWrtTime(const QDateTime& value) { m_WrtTime = value; }

private:
    // Sets the word and writes it; a record never stored is refused with `refused`.
    void writeState(const QString& word, const QString& refused);
    // A new share (state 0, key drawn when inserted) with the price mix of `from`.
    CWrtPrice* appendShare(const CWrtPrice& from);

    int m_WrtIndex = -1;
    QString m_MeterNo;
    int m_CliPreIndex = -1;
    int m_WrtValue = 0;
    QString m_LimitValue;
    int m_AlarmShold = 30;
    int m_CloseShold = 20;
    int m_WrtNum = -1;
    int m_TotalMul = 1;
    int m_BuyValue = 0;
    int m_FreeValue = 0;
    int m_AccuBuy = 0;
    double m_AccuUse = 0;
    double m_AccuRemain = 0;
    double m_LWaste = 0;
    double m_TWaste = 0;
    double m_Price = 0;
    double m_Fee = 0;
    double m_PrePay = 0;
    double m_SubFee = 0;
    double m_FixFee = 0;
    QString m_OpMode;
    QString m_State;
    QString m_OperatorNo;
    QDateTime m_WrtTime;
    CWrtPriceList m_prices;
};

class CWrtRecordList : public CKvRecordList<CWrtRecord>
{
public:
    // Each sale comes with its price shares.
    QList<CKvObject*>& Load(const QString& sql) override;
    CWrtRecord* LoadByWrtIndex(int wrtIndex);
    // The meter's paid or written sales of the current account of this user.
    QList<CKvObject*>& LoadMeterHistory(const QString& clientNo, const QString& meterNo);

    void DeleteRecord(CWrtRecord* record);
    void UpdateState(CWrtRecord* record, const QString& state);

    static void DeleteByCliPreIndex(int cliPreIndex);
    // Runs inside the meter deletion's transaction; opens none of its own.
    static void DeleteByClientMeter(const QString& clientNo, const QString& meterNo);
    static bool ExistsForOperator(const QString& operatorNo);
};
