#pragma once

#include "CKvObjectList.h"
#include "CKvPersistance.h"
#include "CRankPrice.h"

#include <QDateTime>
#include <QString>

// One dated version of a price (table PriceVer) joined with its price item
// (table Price), holding the version's tiers. A price code is born with its
// first version, changes only by new versions and is deleted whole.
class CPriceVer : public CKvPersistance
{
public:
    CPriceVer();
    CPriceVer(const CPriceVer&) = delete;
    CPriceVer& operator=(const CPriceVer&) = delete;

    // Refuses a version without code or name, then draws PriceIndex.
    void InsertNew() override;
    // The Price row (inserted while State is "正常", else updated), the version
    // and its new tiers, in one transaction.
    void Insert() override;
    // The version with its tiers, and the price item with its last version.
    void Delete() override;
    // Closes the version: writes EndDate, OperatorNo and ModiTime.
    void Update() override;

    // Replaces the tiers by new ones (state 0) with the given values.
    void SetTiers(const CRankPrice* tiers, int count);
    CRankPriceList& GetTiers() { return m_tiers; }
    const CRankPriceList& GetTiers() const { return m_tiers; }

    // Equal code, name, type, cycle and unit, the same price in whole cents
    // after rounding, the same start day and the same tiers. BalMode is not
    // compared.
    bool IsSame(const CPriceVer& other) const;

    int GetPriceIndex() const { return m_PriceIndex; }
    double GetPrice() const { return m_Price; }
    QDateTime GetBeginDate() const { return m_BeginDate; }
    QDateTime GetEndDate() const { return m_EndDate; }
    QString GetOperatorNo() const { return m_OperatorNo; }
    QDateTime GetModiTime() const { return m_ModiTime; }
    QString GetPriceNo() const { return m_PriceNo; }
    QString GetPriceName() const { return m_PriceName; }
    QString GetPriceType() const { return m_PriceType; }
    QString GetPriceCycle() const { return m_PriceCycle; }
    QString GetBalMode() const { return m_BalMode; }
    QString GetUnit() const { return m_Unit; }
    QString GetMonthlyBegin() const { return m_MonthlyBegin; }
    QString GetBalDay() const { return m_BalDay; }
    // The state word of the price item: "正常" for a new code, "修改" when the
    // insert is to update an existing Price row. Not the save state.
    QString GetStateWord() const { return m_State; }

    void SetPriceIndex(int value) { m_PriceIndex = value; }
    void SetPrice(double value) { m_Price = value; }
    void SetBeginDate(const QDateTime& value) { m_BeginDate = value; }
    void SetEndDate(const QDateTime& value) { m_EndDate = value; }
    void SetOperatorNo(const QString& value) { m_OperatorNo = value; }
    void SetModiTime(const QDateTime& value) { m_ModiTime = value; }
    void SetPriceNo(const QString& value) { m_PriceNo = value; }
    void SetPriceName(const QString& value) { m_PriceName = value; }
    void SetPriceType(const QString& value) { m_PriceType = value; }
    void SetPriceCycle(const QString& value) { m_PriceCycle = value; }
    void SetBalMode(const QString& value) { m_BalMode = value; }
    void SetUnit(const QString& value) { m_Unit = value; }
    void SetMonthlyBegin(const QString& value) { m_MonthlyBegin = value; }
    void SetBalDay(const QString& value) { m_BalDay = value; }
    void SetState(const QString& value) { m_State = value; }
    using CKvPersistance::SetState;

private:
    int m_PriceIndex = -1;
    double m_Price = 0;
    QDateTime m_BeginDate;
    QDateTime m_EndDate;
    QString m_OperatorNo;
    QDateTime m_ModiTime;
    QString m_PriceNo;
    QString m_PriceName;
    QString m_PriceType = QStringLiteral("电价");
    QString m_PriceCycle = QStringLiteral("无");
    QString m_BalMode = QStringLiteral("即时");
    QString m_Unit = QStringLiteral("度");
    QString m_MonthlyBegin = QStringLiteral("01");
    QString m_BalDay = QStringLiteral("01");
    QString m_State = QStringLiteral("正常");
    CRankPriceList m_tiers;
};

// Every question the program asks of the price catalogue. Each load appends
// its conditions to the base select of versions joined with their items.
class CPriceVerList : public CKvRecordList<CPriceVer>
{
public:
    CPriceVerList();

    // The versions of the statement, each with its tiers.
    QList<CKvObject*>& Load(const QString& sql) override;
    QList<CKvObject*>& LoadAll();
    // Versions valid today (BeginDate <= today <= EndDate).
    QList<CKvObject*>& LoadValidOfType(const QString& priceType);
    QList<CKvObject*>& LoadValidExceptPrepaidAndQuota();
    QList<CKvObject*>& LoadValidToday();

    // The version of a code valid on a day, or null.
    CPriceVer* FindValidByPriceNo(const QString& priceNo, const QDateTime& date);
    CPriceVer* FindValidTodayByPriceNo(const QString& priceNo);
    CPriceVer* FindValidTodayByPriceName(const QString& priceName);
    CPriceVer* FindByPriceIndex(int priceIndex);
    // Among the versions already loaded; no database access.
    CPriceVer* FindLoadedByPriceNo(const QString& priceNo) const;

    // A new version of the code of `oldVersion`, a member of this list: the new
    // one is inserted (updating the price item) and the old one deleted when it
    // has not started yet, else closed the day before the new one begins; one
    // transaction. The list takes `newVersion` over; a failed change frees it
    // and leaves the list and the old version as they were.
    void AddVersion(CPriceVer* newVersion, CPriceVer* oldVersion);

    // The code with all its tiers and versions and its item, in one transaction.
    static void DeleteByPriceNo(const QString& priceNo);
    static bool PriceNoExists(const QString& priceNo);
    static bool ExistsForOperator(const QString& operatorNo);
    static bool PriceTypeInUse(const QString& priceType);

private:
    QList<CKvObject*>& loadWhere(const QString& conditions);
};
