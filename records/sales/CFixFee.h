#pragma once

#include "CKvObjectList.h"
#include "CKvPersistance.h"

#include <QDateTime>
#include <QString>
#include <QStringList>

class CDbResult;

// The quota fee of one fixed-fee item for one month (table FixFee), made by
// the monthly generation. A fee is unpaid while WrtNum is -1; a sale collects
// it (WrtNum and FinalFee) and, once its card is written, links it (WrtIndex).
// Rows are never deleted or updated through the save state, only by the
// statements below.
class CFixFee : public CKvPersistance
{
public:
    CFixFee();
    // A new fee recorded on the day `today` (its ReadTime), without asking
    // the clock: a month's generation reads the server date once.
    explicit CFixFee(const QDateTime& today);
    // A record about to be filled from a stored row: every field comes from
    // the row, so the clock is not asked (a list loads many fees).
    struct LoadedRow
    {
    };
    explicit CFixFee(LoadedRow);

    QString GetClassName() const override { return QStringLiteral("CFixFee"); }
    // FeeIndex is the counter FixFeeIndex itself.
    void InsertNew() override;
    void Insert() override;
    // The insert's column list and this row's values in it.
    static QString InsertColumnsText();
    QString InsertValuesText() const;
    // The insert of many rows, its values bound: "insert into FixFee(…)
    // values (?, …)" and this row's values appended to the rows it runs for
    // (CAdoConnection::ExecuteForRows).
    static QString InsertManyText();
    static QStringList InsertColumns();
    void AppendInsertValues(CDbResult& rows) const;
    // After a many-row insert has stored this row with the key given.
    void MarkInserted(int feeIndex);
    void Delete() override {}
    void Update() override {}

    // Collects the fee with a sale: both values at once.
    void SetWrtNumAndFinalFee(int wrtNum, double finalFee);
    // Links the fee to the sale at once.
    void SetWrtIndex(int wrtIndex);

    int GetFeeIndex() const { return m_FeeIndex; }
    int GetCliFixIndex() const { return m_CliFixIndex; }
    int GetYearMon() const { return m_YearMon; }
    int GetWrtNum() const { return m_WrtNum; }
    int GetWrtIndex() const { return m_WrtIndex; }
    int GetPriceIndex() const { return m_PriceIndex; }
    double GetPrice() const { return m_Price; }
    double GetPriceUnits() const { return m_PriceUnits; }
    QDateTime GetBeginDate() const { return m_BeginDate; }
    QDateTime GetEndDate() const { return m_EndDate; }
    int GetDays() const { return m_Days; }
    double GetPriceFee() const { return m_PriceFee; }
    double GetFinalFee() const { return m_FinalFee; }
    QDateTime GetReadTime() const { return m_ReadTime; }
    // The state word of the row ("正常"), not the save state.
    QString GetStateWord() const { return m_State; }

    void SetFeeIndex(int value) { m_FeeIndex = value; }
    void SetCliFixIndex(int value) { m_CliFixIndex = value; }
    void SetYearMon(int value) { m_YearMon = value; }
    void SetWrtNum(int value) { m_WrtNum = value; }
    void SetPriceIndex(int value) { m_PriceIndex = value; }
    void SetPrice(double value) { m_Price = value; }
    void SetPriceUnits(double value) { m_PriceUnits = value; }
    void SetBeginDate(const QDateTime& value) { m_BeginDate = value; }
    void SetEndDate(const QDateTime& value) { m_EndDate = value; }
    void SetDays(int value) { m_Days = value; }
    void SetPriceFee(double value) { m_PriceFee = value; }
    void SetFinalFee(double value) { m_FinalFee = value; }
    void SetReadTime(const QDateTime& value) { m_ReadTime = value; }
    void SetState(const QString& value) { m_State = value; }
    using CKvPersistance::SetState;

private:
    friend class CFixFeeList; // loads WrtIndex without the linking statement

    int m_FeeIndex = -1;
    int m_CliFixIndex = -1;
    int m_YearMon = -1;
    int m_WrtNum = -1;
    int m_WrtIndex = -1;
    int m_PriceIndex = -1;
    double m_Price = 0;
    double m_PriceUnits = 0;
    QDateTime m_BeginDate;
    QDateTime m_EndDate;
    int m_Days = 0;
    double m_PriceFee = 0;
    double m_FinalFee = 0;
    QDateTime m_ReadTime;
    QString m_State = QStringLiteral("正常");
};

class CFixFeeList : public CKvRecordList<CFixFee>
{
public:
    QList<CKvObject*>& Load(const QString& sql) override;
    // The user's unpaid fees of every month and item, oldest key first.
    QList<CKvObject*>& LoadUnpaid(const QString& clientNo);
    // The user's fees collected with that write number.
    QList<CKvObject*>& LoadByWrtNum(const QString& clientNo, int wrtNum);

    // Every fee of the user's items of that price, collected or not; runs in
    // the caller's transaction.
    static void DeleteByClientPrice(const QString& clientNo, const QString& priceNo);
};
