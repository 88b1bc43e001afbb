#pragma once

#include "CKvObjectList.h"
#include "CKvPersistance.h"

#include <QDateTime>
#include <QString>
#include <utility>

// The reading a sale carries for a sub-meter, written onto its current row.
struct SubReading
{
    int m_WrtIndex = -1;
    int m_WrtNum = -1;
    int m_ThisPulses = 0;
    int m_LastPulses = 0;
    double m_ThisRead = 0;
    double m_LastRead = 0;
    QDateTime m_ReadDate;
};

// A sub-meter (table CliSub): a pulse-counting meter under a user's main meter,
// numbered 1 to 8 under it and charged at a price of its own. Rows keep
// history like meters: the current row ends on 2050-12-31, a change closes it
// and inserts a new one (CCliSubList::UpdateRecord).
class CCliSub : public CKvPersistance
{
public:
    CCliSub();
    CCliSub(const CCliSub&) = delete;
    CCliSub& operator=(const CCliSub&) = delete;

    // Draws CliSubIndex, then inserts.
    void InsertNew() override;
    void Insert() override;
    void Delete() override;
    // Closes the version: writes EndDate, OperatorNo and ModiTime.
    void Update() override;

    // The same settings: level, parent meter, price, pulse constant, read mode.
    bool IsEqual(const CCliSub& other) const;
    // Takes the sub-meter out of service: its row ends today. The record
    // itself is not changed.
    void CloseToday();
    // Not closed: the row still ends on 2050-12-31.
    bool IsCurrent() const;
    // Stores a sale's reading on this row at once; no new version.
    void UpdateReading(const SubReading& reading);

    int GetCliSubIndex() const { return m_CliSubIndex; }
    QString GetClientNo() const { return m_ClientNo; }
    QString GetMeterNo() const { return m_MeterNo; }
    QString GetSubX() const { return m_SubX; }
    QString GetSubNo() const { return m_SubNo; }
    int GetSubConst() const { return m_SubConst; }
    QString GetPriceNo() const { return m_PriceNo; }
    int GetInitPulses() const { return m_InitPulses; }
    double GetInitRead() const { return m_InitRead; }
    QDateTime GetInitDate() const { return m_InitDate; }
    QString GetReadMode() const { return m_ReadMode; }
    int GetThisPulses() const { return m_ThisPulses; }
    int GetLastPulses() const { return m_LastPulses; }
    double GetThisRead() const { return m_ThisRead; }
    double GetLastRead() const { return m_LastRead; }
    int GetWrtNum() const { return m_WrtNum; }
    int GetWrtIndex() const { return m_WrtIndex; }
    QDateTime GetReadDate() const { return m_ReadDate; }
    QString GetMeterLevel() const { return m_MeterLevel; }
    QString GetSuperNo() const { return m_SuperNo; }
    QString GetDescrip() const { return m_Descrip; }
    QDateTime GetBeginDate() const { return m_BeginDate; }
    QDateTime GetEndDate() const { return m_EndDate; }
    QString GetOperatorNo() const { return m_OperatorNo; }
    QDateTime GetModiTime() const { return m_ModiTime; }

    void SetCliSubIndex(int value) { m_CliSubIndex = value; }
    void SetClientNo(QString value) { m_ClientNo = std::move(value); }
    void SetMeterNo(QString value) { m_MeterNo = std::move(value); }
    void SetSubX(QString value) { m_SubX = std::move(value); }
    void SetSubNo(QString value) { m_SubNo = std::move(value); }
    void SetSubConst(int value) { m_SubConst = value; }
    void SetPriceNo(QString value) { m_PriceNo = std::move(value); }
    void SetInitPulses(int value) { m_InitPulses = value; }
    void SetInitRead(double value) { m_InitRead = value; }
    void SetInitDate(const QDateTime& value) { m_InitDate = value; }
    void SetReadMode(QString value) { m_ReadMode = std::move(value); }
    void SetThisPulses(int value) { m_ThisPulses = value; }
    void SetLastPulses(int value) { m_LastPulses = value; }
    void SetThisRead(double value) { m_ThisRead = value; }
    void SetLastRead(double value) { m_LastRead = value; }
    void SetWrtNum(int value) { m_WrtNum = value; }
    void SetWrtIndex(int value) { m_WrtIndex = value; }
    void SetReadDate(const QDateTime& value) { m_ReadDate = value; }
    void SetMeterLevel(QString value) { m_MeterLevel = std::move(value); }
    void SetSuperNo(QString value) { m_SuperNo = std::move(value); }
    void SetDescrip(QString value) { m_Descrip = std::move(value); }
    void SetBeginDate(const QDateTime& value) { m_BeginDate = value; }
    void SetEndDate(const QDateTime& value) { m_EndDate = value; }
    void SetOperatorNo(QString value) { m_OperatorNo = std::move(value); }
    void SetModiTime(const QDateTime& value) { m_ModiTime = value; }

private:
    int m_CliSubIndex = -1;
    QString m_ClientNo;
    QString m_MeterNo;
    QString m_SubX;
    QString m_SubNo;
    int m_SubConst = 10;
    QString m_PriceNo;
    int m_InitPulses = 0;
    double m_InitRead = 0;
    QDateTime m_InitDate;
    QString m_ReadMode = QStringLiteral("红外遥控卡");
    int m_ThisPulses = 0;
    int m_LastPulses = 0;
    double m_ThisRead = 0;
    double m_LastRead = 0;
    int m_WrtNum = -1;
    int m_WrtIndex = -1;
    QDateTime m_ReadDate;
    QString m_MeterLevel = QStringLiteral("二级");
    QString m_SuperNo;
    QString m_Descrip;
    QDateTime m_BeginDate;
    QDateTime m_EndDate;
    QString m_OperatorNo;
    QDateTime m_ModiTime;
};

class CCliSubList : public CKvRecordList<CCliSub>
{
public:
    QList<CKvObject*>& Load(const QString& sql) override;
    // The current sub-meters of a main meter that have begun, by number.
    QList<CKvObject*>& LoadCurrentByMeterNo(const QString& meterNo);

    // A changed sub-meter as a new version after `oldRecord`, a member of
    // this list; see KvChangeVersion (the list takes `newRecord` over).
    void UpdateRecord(CCliSub* newRecord, CCliSub* oldRecord);

    // These two count every version, closed ones included.
    static bool PriceNoInUse(const QString& priceNo);
    static bool ExistsForMeterNo(const QString& meterNo);
    static bool ExistsCurrentForMeterNo(const QString& meterNo);
    // Every version of a sub-meter number; runs inside the caller's transaction.
    static void DeleteBySubNo(const QString& subNo);
};
