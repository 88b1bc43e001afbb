#include "KvFixFeeGeneration.h"

#include "CAdoConnection.h"
#include "CAdoRecordset.h"
#include "CCliFix.h"
#include "CDbResult.h"
#include "CFixFee.h"
#include "CKvException.h"
#include "CPriceVer.h"
#include "CSysPara.h"
#include "KvLocalTime.h"
#include "KvSql.h"
#include "KvUtil.h"
#include "SysGlobals.h"

#include <QDate>
#include <QHash>
#include <memory>
#include <vector>

namespace {

// The day of a stored date text: its leading "YYYY-MM-DD" as written, any
// other form as the layer reads it; a text that is no date fails as its read does.
QDate dayOf(const QString& text)
{
    const auto number = [&](int at, int digits) {
        int value = 0;
        for (int i = at; i < at + digits; ++i) {
            const char16_t c = text[i].unicode();
            if (c < u'0' || c > u'9')
                return -1;
            value = value * 10 + (c - u'0');
        }
        return value;
    };
    if (text.size() >= 10 && text[4] == u'-' && text[7] == u'-') {
        const QDate day(number(0, 4), number(5, 2), number(8, 2));
        if (day.isValid())
            return day;
    }
    const QDate day = KvParseDateText(text).date();
    if (!day.isValid())
        throw CKvException(QStringLiteral("类型不匹配: %1").arg(text)); // as a date field's read says
    return day;
}

// The first day of a month yyyymm.
QDateTime firstDayOf(int yearMonth)
{
    return QDateTime(QDate(yearMonth / 100, yearMonth % 100, 1), QTime(0, 0));
}

// Stores the month's rows: their keys drawn from FixFeeIndex in one step (the
// same keys, in the same order, as drawing them one by one), the rows put in
// by one insert whose values are bound for each row.
void insertFees(const std::vector<CFixFee*>& fees)
{
    if (fees.empty())
        return;
    const int count = static_cast<int>(fees.size());
    // Drawn as every key is (on the server on its own connection, so that
    // the month's transaction holds no other counter's sale back).
    const int firstKey = GetMainDatabase()->DrawCounter(QStringLiteral("FixFeeIndex"), false, count) - count;
    CDbResult rows;
    rows.columns = CFixFee::InsertColumns();
    for (int i = 0; i < count; ++i) {
        fees[static_cast<size_t>(i)]->SetFeeIndex(firstKey + i);
        fees[static_cast<size_t>(i)]->AppendInsertValues(rows);
    }
    GetMainDatabase()->ExecuteForRows(CFixFee::InsertManyText(), rows, QString());
    for (int i = 0; i < count; ++i)
        fees[static_cast<size_t>(i)]->MarkInserted(firstKey + i);
}

} // namespace

void GenerateMonthFixFees(int yearMonth)
{
    CFixFeeList fees;
    CPriceVerList prices;

    // Refuses a month outside the supported range before anything is written.
    const int nextMonth = AddYearMonth(yearMonth, 1);
    const QDateTime from = firstDayOf(yearMonth);
    const QDateTime to = firstDayOf(nextMonth);
    const int monthDays = DaysBetween(from, to);
    const QDateTime lastDay = AddDays(to, -1);

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
    // The item versions that run in the month, in the order of the item list;
    // only the fields a fee takes are read (a month reads every item).
    CAdoLease<CAdoRecordset> items(GetMainDatabase()->AcquireRecordset());
    items->Open(CCliFixList::ActiveInPeriodSql(from, to));
    for (; !items->IsEOF(); items->MoveNext()) {
        // Whole days count: a version's times of day change none of them.
        const QDate itemBegin = dayOf(items->GetFieldString(QStringLiteral("BeginDate")));
        const QDate itemEnd = dayOf(items->GetFieldString(QStringLiteral("EndDate")));
        const QDate begin = itemBegin < from.date() ? from.date() : itemBegin;
        const QDate end = itemEnd < to.date() ? itemEnd : lastDay.date();
        const int days = static_cast<int>(begin.daysTo(end)) + 1;

        const ValidPrice price = priceOf(items->GetFieldString(QStringLiteral("PriceNo")));
        if (!price.found)
            continue; // no version on the first day: no fee for this month

        const double units = items->GetFieldDouble(QStringLiteral("Units"));
        auto fee = std::make_unique<CFixFee>(today);
        fee->SetCliFixIndex(items->GetFieldInt(QStringLiteral("CliFixIndex")));
        fee->SetYearMon(yearMonth);
        fee->SetPriceUnits(units);
        fee->SetPriceIndex(price.priceIndex);
        fee->SetPrice(price.price);
        // Most versions run the whole month: its first and last day are made once.
        fee->SetBeginDate(begin == from.date() ? from : KvLocalDateTime(begin, QTime(0, 0)));
        fee->SetEndDate(end == lastDay.date() ? lastDay : KvLocalDateTime(end, QTime(0, 0)));
        fee->SetDays(days);
        fee->SetPriceFee(days * units * price.price / monthDays);
        fee->SetFinalFee(fee->GetPriceFee());
        made.push_back(fee.get());
        fees.Add(fee.release());
    }
    insertFees(made);
    GetMainSysPara()->SetIntPara(QStringLiteral("FixYearMon"), nextMonth);
    transaction.Commit();
}
