#include "KvFixFeeGeneration.h"

#include "CAdoConnection.h"
#include "CCliFix.h"
#include "CFixFee.h"
#include "CPriceVer.h"
#include "CSysPara.h"
#include "KvUtil.h"
#include "SysGlobals.h"

#include <QDate>
#include <QHash>
#include <memory>
#include <vector>

namespace {

// The first day of a month yyyymm.
QDateTime firstDayOf(int yearMonth)
{
    return QDateTime(QDate(yearMonth / 100, yearMonth % 100, 1), QTime(0, 0));
}

// The longest statement text the inserts make, in UTF-8 bytes: the smallest
// limit SQLite has had as its default (SQLITE_MAX_SQL_LENGTH), far below the
// server's. A month of 20,000 items goes in with four statements.
constexpr qsizetype kMaxStatementBytes = 1000000;

// Stores the month's rows: their keys drawn from FixFeeIndex in one step (the
// same keys, in the same order, as drawing them one by one), the rows put in
// as many to a statement as its text allows.
void insertFees(const std::vector<CFixFee*>& fees)
{
    if (fees.empty())
        return;
    const int count = static_cast<int>(fees.size());
    // Drawn as every key is (on the server on its own connection, so that
    // the month's transaction holds no other counter's sale back).
    const int firstKey = GetMainDatabase()->DrawCounter(QStringLiteral("FixFeeIndex"), false, count) - count;
    const QByteArray head = (CFixFee::InsertColumnsText() + QStringLiteral(" values")).toUtf8();
    int start = 0;
    QByteArray statement = head;
    const auto flush = [&](int end) {
        GetMainDatabase()->Execute(QString::fromUtf8(statement), QString());
        for (int i = start; i < end; ++i)
            fees[static_cast<size_t>(i)]->MarkInserted(firstKey + i);
        start = end;
        statement = head;
    };
    for (int i = 0; i < count; ++i) {
        fees[static_cast<size_t>(i)]->SetFeeIndex(firstKey + i);
        const QByteArray row = fees[static_cast<size_t>(i)]->InsertValuesText().toUtf8();
        if (i > start && statement.size() + 2 + row.size() > kMaxStatementBytes)
            flush(i);
        if (i > start)
            statement += ", ";
        statement += row;
    }
    flush(count);
}

} // namespace

void GenerateMonthFixFees(int yearMonth)
{
    CCliFixList items;
    CFixFeeList fees;
    CPriceVerList prices;

    // Refuses a month outside the supported range before anything is written.
    const int nextMonth = AddYearMonth(yearMonth, 1);
    const QDateTime from = firstDayOf(yearMonth);
    const QDateTime to = firstDayOf(nextMonth);
    const int monthDays = DaysBetween(from, to);
    const QDateTime lastDay = AddDays(to, -1);

    items.LoadActiveInPeriod(from, to);

    // The version valid on the first day, read once per price code.
    struct ValidPrice
    {
        bool found = false;
        int priceIndex = 0;
        double price = 0;
    };
    QHash<QString, ValidPrice> validPrices;
    const auto priceOf = [&](const QString& priceNo) {
        auto it = validPrices.find(priceNo);
        if (it == validPrices.end()) {
            ValidPrice valid;
            if (const CPriceVer* version = prices.FindValidByPriceNo(priceNo, from))
                valid = ValidPrice{true, version->GetPriceIndex(), version->GetPrice()};
            it = validPrices.insert(priceNo, valid);
        }
        return *it;
    };

    // ReadTime of every row: the day of the generation, read once.
    const QDateTime today = GetServerDate();
    CAdoTransaction transaction(*GetMainDatabase());
    std::vector<CFixFee*> made;
    for (int i = 0; i < items.GetCount(); ++i) {
        const CCliFix* item = items.At(i);
        const QDateTime begin = item->GetBeginDate() < from ? from : item->GetBeginDate();
        const QDateTime end = item->GetEndDate() < to ? item->GetEndDate() : lastDay;
        const int days = static_cast<int>(begin.date().daysTo(end.date())) + 1;

        const ValidPrice price = priceOf(item->GetPriceNo());
        if (!price.found)
            continue; // no version on the first day: no fee for this month

        auto fee = std::make_unique<CFixFee>(today);
        fee->SetCliFixIndex(item->GetCliFixIndex());
        fee->SetYearMon(yearMonth);
        fee->SetPriceUnits(item->GetUnits());
        fee->SetPriceIndex(price.priceIndex);
        fee->SetPrice(price.price);
        fee->SetBeginDate(begin);
        fee->SetEndDate(end);
        fee->SetDays(days);
        fee->SetPriceFee(days * item->GetUnits() * price.price / monthDays);
        fee->SetFinalFee(fee->GetPriceFee());
        made.push_back(fee.get());
        fees.Add(fee.release());
    }
    insertFees(made);
    GetMainSysPara()->SetIntPara(QStringLiteral("FixYearMon"), nextMonth);
    transaction.Commit();
}
