#pragma once

#include "CKvObjectList.h"
#include "CKvPersistance.h"
#include "CPrePrice.h"

#include <QDateTime>
#include <QString>

class CPreLastWrt;

// A prepaid meter of a user (table CliPre), with its price mix. Rows keep
// history: the current version of a meter number ends on 2050-12-31, and a
// change closes it and inserts a new one (CCliPreList::UpdateVersion).
class CCliPre : public CKvPersistance
{
public:
    CCliPre();
    CCliPre(const CCliPre&) = delete;
    CCliPre& operator=(const CCliPre&) = delete;

    // Refuses a meter without user, number or type, then draws CliPreIndex.
    void InsertNew() override;
    // The row and its new price shares in one transaction.
    void Insert() override;
    // The meter's sales (with their payments and shares), its price mix and
    // its row, in one transaction.
    void Delete() override;
    // Closes the version: writes EndDate, OperatorNo and ModiTime.
    void Update() override;
    // Takes the meter out of service: its row ends today. The record itself
    // is not changed.
    void CloseToday();

    // The same meter as far as the meter dialog edits it: every field but
    // the key, State, OperatorNo and the dates (the losses to two decimals),
    // and the same shares in the same order.
    bool IsEqual(const CCliPre& other) const;

    // The last card image of the meter into `out`; 0 (out untouched) when none.
    int GetPreLastWrt(CPreLastWrt& out) const;

    CPrePriceList& GetPrePriceList() { return m_prices; }
    const CPrePriceList& GetPrePriceList() const { return m_prices; }
    // Replaces the price mix by new shares (state 0) of the given positions,
    // codes and percentages.
    void SetPrePrices(const CPrePrice* shares, int count);

    int GetCliPreIndex() const { return m_CliPreIndex; }
    QString GetClientNo() const { return m_ClientNo; }
    QString GetMeterNo() const { return m_MeterNo; }
    QString GetModelId() const { return m_ModelId; }
    int GetCt() const { return m_Ct; }
    int GetPt() const { return m_Pt; }
    int GetPrePayRate() const { return m_PrePayRate; }
    double GetTTWaste() const { return m_TTWaste; }
    double GetTLWaste() const { return m_TLWaste; }
    QString GetMeterLevel() const { return m_MeterLevel; }
    QString GetSuperNo() const { return m_SuperNo; }
    QString GetLimitValue() const { return m_LimitValue; }
    int GetAlarmShold() const { return m_AlarmShold; }
    int GetCloseShold() const { return m_CloseShold; }
    int GetPulses() const { return m_Pulses; }
    QString GetOutState() const { return m_OutState; }
    QString GetDescrip() const { return m_Descrip; }
    // The state word of the row ("正常"), not the save state.
    QString GetStateWord() const { return m_State; }
    QString GetOperatorNo() const { return m_OperatorNo; }
    QDateTime GetBeginDate() const { return m_BeginDate; }
    QDateTime GetEndDate() const { return m_EndDate; }
    QDateTime GetModiTime() const { return m_ModiTime; }

    void SetCliPreIndex(int value) { m_CliPreIndex = value; }
    void SetClientNo(const QString& value) { m_ClientNo = value; }
    void SetMeterNo(const QString& value) { m_MeterNo = value; }
    void SetModelId(const QString& value) { m_ModelId = value; }
    void SetCt(int value) { m_Ct = value; }
    void SetPt(int value) { m_Pt = value; }
    void SetPrePayRate(int value) { m_PrePayRate = value; }
    void SetTTWaste(double value) { m_TTWaste = value; }
    void SetTLWaste(double value) { m_TLWaste = value; }
    void SetMeterLevel(const QString& value) { m_MeterLevel = value; }
    void SetSuperNo(const QString& value) { m_SuperNo = value; }
    void SetLimitValue(const QString& value) { m_LimitValue = value; }
    void SetAlarmShold(int value) { m_AlarmShold = value; }
    void SetCloseShold(int value) { m_CloseShold = value; }
    void SetPulses(int value) { m_Pulses = value; }
    void SetOutState(const QString& value) { m_OutState = value; }
    void SetDescrip(const QString& value) { m_Descrip = value; }
    void SetState(const QString& value) { m_State = value; }
    using CKvPersistance::SetState;
    void SetOperatorNo(const QString& value) { m_OperatorNo = value; }
    void SetBeginDate(const QDateTime& value) { m_BeginDate = value; }
    void SetEndDate(const QDateTime& value) { m_EndDate = value; }
    void SetModiTime(const QDateTime& value) { m_ModiTime = value; }

private:
    int m_CliPreIndex = -1;
    QString m_ClientNo;
    QString m_MeterNo;
    QString m_ModelId;
    int m_Ct = 1;
    int m_Pt = 1;
    int m_PrePayRate = 0;
    double m_TTWaste = 0;
    double m_TLWaste = 0;
    QString m_MeterLevel;
    QString m_SuperNo;
    QString m_LimitValue = QStringLiteral("800");
    int m_AlarmShold = 30;
    int m_CloseShold = 20;
    int m_Pulses = 0;
    QString m_OutState = QStringLiteral("常闭");
    QString m_Descrip;
    QString m_State = QStringLiteral("正常");
    QString m_OperatorNo;
    QDateTime m_BeginDate;
    QDateTime m_EndDate;
    QDateTime m_ModiTime;
    CPrePriceList m_prices;
};

class CCliPreList : public CKvRecordList<CCliPre>
{
public:
    // Each meter with its price mix.
    QList<CKvObject*>& Load(const QString& sql) override;
    // The current meters of a user, by number.
    QList<CKvObject*>& LoadCurrentByClientNo(const QString& clientNo);
    CCliPre* FindCurrentByMeterNo(const QString& meterNo);

    // A changed meter as a new version after `oldRecord`, a member of this
    // list; see KvChangeVersion (the list takes `newRecord` over).
    void UpdateVersion(CCliPre* newRecord, CCliPre* oldRecord);

    // Closed rows do not count here: a number whose rows are all closed may
    // be used again.
    static bool ExistsCurrentMeterNo(const QString& meterNo);
    // These count every version, closed ones included.
    static bool ExistsForClient(const QString& clientNo);
    static bool ExistsForOperator(const QString& operatorNo);
    static bool ExistsForModel(const QString& modelId);
    // Every version of a user's meter; touches no other table and runs inside
    // the caller's transaction.
    static void DeleteByClientAndMeter(const QString& clientNo, const QString& meterNo);
};
