#include "KvFixFeeGeneration.h"

#include "CAdoConnection.h"
#include "CCliFix.h"
#include "CFixFee.h"
#include "CPriceVer.h"
#include "CSysPara.h"
#include "KvUtil.h"
#include "SysGlobals.h"

#include <QDate>
#include <memory>

namespace {

// The first day of a month yyyymm.
QDateTime firstDayOf(int yearMonth)
{
    return QDateTime(QDate(yearMonth / 100, yearMonth % 100, 1), QTime(0, 0));
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

    CAdoTransaction transaction(*GetMainDatabase());
    for (int i = 0; i < items.GetCount(); ++i) {
        const CCliFix* item = items.At(i);
        const QDateTime begin = item->GetBeginDate() < from ? from : item->GetBeginDate();
        const QDateTime end = item->GetEndDate() < to ? item->GetEndDate() : lastDay;
        const int days = static_cast<int>(begin.date().daysTo(end.date())) + 1;

        const CPriceVer* price = prices.FindValidByPriceNo(item->GetPriceNo(), from);
        if (!price)
            continue; // no version on the first day: no fee for this month

        auto fee = std::make_unique<CFixFee>();
        fee->SetCliFixIndex(item->GetCliFixIndex());
        fee->SetYearMon(yearMonth);
        fee->SetPriceUnits(item->GetUnits());
        fee->SetPriceIndex(price->GetPriceIndex());
        fee->SetPrice(price->GetPrice());
        fee->SetBeginDate(begin);
        fee->SetEndDate(end);
        fee->SetDays(days);
        fee->SetPriceFee(days * item->GetUnits() * price->GetPrice() / monthDays);
        fee->SetFinalFee(fee->GetPriceFee());
        fee->Save();
        fees.Add(fee.release());
    }
    GetMainSysPara()->SetIntPara(QStringLiteral("FixYearMon"), nextMonth);
    transaction.Commit();
}
