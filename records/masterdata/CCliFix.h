#pragma once

#include "CKvObjectList.h"
#include "CKvPersistance.h"

#include <QDateTime>
#include <QString>

// A fixed-fee item (table CliFix): user ClientNo pays price PriceNo for the
// quantity Units from BeginDate to EndDate, both days included. An item is
// never edited in place: a change inserts a new row and stops the older rows
// of the same user and price the day before it begins (CCliFixList::StopItem);
// stopping an item gives its open rows an earlier EndDate.
class CCliFix : public CKvPersistance
{
public:
    CCliFix();
    // A record about to be filled from a stored row: takes nothing from the
    // clock or the current operator (a month's quota fees load every item).
    struct LoadedRow
    {
    };
    explicit CCliFix(LoadedRow);

    // Refuses an item without user or price code, then draws CliFixIndex.
    void InsertNew() override;
    void Insert() override;
    void Delete() override;
    // Closes the row: writes EndDate, OperatorNo and ModiTime.
    void Update() override;

    int GetCliFixIndex() const { return m_CliFixIndex; }
    QString GetClientNo() const { return m_ClientNo; }
    QString GetPriceNo() const { return m_PriceNo; }
    double GetUnits() const { return m_Units; }
    QDateTime GetBeginDate() const { return m_BeginDate; }
    QDateTime GetEndDate() const { return m_EndDate; }
    QDateTime GetLastTermEndDate() const { return m_LastTermEndDate; }
    QDateTime GetModiTime() const { return m_ModiTime; }
    QString GetOperatorNo() const { return m_OperatorNo; }
    // The state word of the row ("正常"), not the save state.
    QString GetStateWord() const { return m_State; }

    void SetCliFixIndex(int value) { m_CliFixIndex = value; }
    void SetClientNo(const QString& value) { m_ClientNo = value; }
    void SetPriceNo(const QString& value) { m_PriceNo = value; }
    void SetUnits(double value) { m_Units = value; }
    void SetBeginDate(const QDateTime& value) { m_BeginDate = value; }
    void SetEndDate(const QDateTime& value) { m_EndDate = value; }
    void SetLastTermEndDate(const QDateTime& value) { m_LastTermEndDate = value; }
    void SetModiTime(const QDateTime& value) { m_ModiTime = value; }
    void SetOperatorNo(const QString& value) { m_OperatorNo = value; }
    void SetState(const QString& value) { m_State = value; }
    using CKvPersistance::SetState;

private:
    int m_CliFixIndex = -1;
    QString m_ClientNo;
    QString m_PriceNo;
    double m_Units = 0;
    QDateTime m_BeginDate;
    QDateTime m_EndDate;
    QDateTime m_LastTermEndDate;
    QDateTime m_ModiTime;
    QString m_OperatorNo;
    QString m_State = QStringLiteral("正常");
};

class CCliFixList : public CKvRecordList<CCliFix>
{
public:
    QList<CKvObject*>& Load(const QString& sql) override;
    // Every row of the user, old and current, in the order of insertion.
    QList<CKvObject*>& LoadByClient(const QString& clientNo);
    // The rows of all users that begin before `to` and have not ended before
    // `from`, by user, then key.
    QList<CKvObject*>& LoadActiveInPeriod(const QDateTime& from, const QDateTime& to);
    // The statement LoadActiveInPeriod loads.
    static QString ActiveInPeriodSql(const QDateTime& from, const QDateTime& to);

    // Ends the rows of the user and price that run past `date` on that day and
    // deletes every row that then ends before it begins (a version that would
    // have started after the stop). One transaction.
    static void StopItem(const QString& clientNo, const QString& priceNo, const QDateTime& date);
    // Every row of the user and price; runs in the caller's transaction.
    static void DeleteByClientPrice(const QString& clientNo, const QString& priceNo);
    // These look at rows of any date.
    static bool ExistsForClient(const QString& clientNo);
    static bool ExistsForPrice(const QString& priceNo);
};

// The manual meters of users (table CliMan), which the manual sub-meter entry
// program keeps; the program only asks whether rows exist.
bool ManualMeterExistsForClient(const QString& clientNo);
bool ManualMeterExistsForPrice(const QString& priceNo);
