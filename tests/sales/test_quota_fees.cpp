#include "../records/masterdata/FixedFeeTestHelpers.h"
#include "CAdoConnection.h"
#include "CFixFee.h"
#include "COperator.h"
#include "CurrentOperator.h"
#include "KvFixFeeGeneration.h"
#include "KvFreshDatabase.h"
#include "KvSql.h"

#include <gtest/gtest.h>

namespace {

class QuotaFeeTest : public FreshDatabaseTest
{
protected:
    QuotaFeeTest() { GetCurrentOperator()->SetOperatorNo("op01"); }

    void exec(const QString& sql) { db().Execute(sql, QString()); }
    int fixYearMon() { return fresh.Value("select FixYearMon from SysPara").toInt(); }
    // The fees of a month as "item:begin..end/days=fee", by key.
    QString Fees(int yearMonth)
    {
        return fresh.Value(KvFormatSql("select group_concat(CliFixIndex || ':' || BeginDate || '..' || EndDate || "
                                       "'/' || Days || '=' || printf('%%.4f', PriceFee), ' ') from (select * from "
                                       "FixFee where YearMon = %d order by FeeIndex)",
                                       yearMonth));
    }
};

} // namespace

TEST_F(QuotaFeeTest, FeeRowRoundTripAndItsQueries)
{
    const int item = SaveItem("U01", "D1", 1, "2024-01-01");
    const int other = SaveItem("U02", "D1", 1, "2024-01-01");
    exec("update SysPara set FixFeeIndex = 70");
    CFixFee fee;
    EXPECT_EQ(fee.GetClassName(), "CFixFee");
    EXPECT_EQ(fee.GetBeginDate(), Day("2026-12-10"));
    EXPECT_EQ(fee.GetEndDate(), Day("2026-12-09"));
    EXPECT_EQ(fee.GetReadTime(), Day("2026-12-10"));
    fee.SetCliFixIndex(item);
    fee.SetYearMon(202403);
    fee.SetPriceIndex(12);
    fee.SetPrice(2.125);
    fee.SetPriceUnits(80.5);
    fee.SetBeginDate(Day("2024-03-05"));
    fee.SetEndDate(Day("2024-03-31"));
    fee.SetDays(27);
    fee.SetPriceFee(149.5);
    fee.SetFinalFee(140.25);
    fee.SetReadTime(Day("2024-04-01"));
    fee.SetState(QStringLiteral("正常"));
    fee.Save();
    EXPECT_EQ(fee.GetFeeIndex(), 70);
    EXPECT_EQ(fresh.Value("select FixFeeIndex from SysPara"), "71");

    CFixFeeList list;
    list.LoadUnpaid("U01");
    ASSERT_EQ(list.GetCount(), 1);
    CFixFee* loaded = list.At(0);
    EXPECT_EQ(loaded->GetFeeIndex(), 70);
    EXPECT_EQ(loaded->GetCliFixIndex(), item);
    EXPECT_EQ(loaded->GetYearMon(), 202403);
    EXPECT_EQ(loaded->GetWrtNum(), -1);
    EXPECT_EQ(loaded->GetWrtIndex(), -1);
    EXPECT_EQ(loaded->GetPriceIndex(), 12);
    EXPECT_DOUBLE_EQ(loaded->GetPrice(), 2.125);
    EXPECT_DOUBLE_EQ(loaded->GetPriceUnits(), 80.5);
    EXPECT_EQ(loaded->GetBeginDate(), Day("2024-03-05"));
    EXPECT_EQ(loaded->GetEndDate(), Day("2024-03-31"));
    EXPECT_EQ(loaded->GetDays(), 27);
    EXPECT_DOUBLE_EQ(loaded->GetPriceFee(), 149.5);
    EXPECT_DOUBLE_EQ(loaded->GetFinalFee(), 140.25);
    EXPECT_EQ(loaded->GetReadTime(), Day("2024-04-01"));
    EXPECT_EQ(loaded->GetStateWord(), "正常");

    // Collected, then linked; another user's fee stays unpaid.
    CFixFee second;
    second.SetCliFixIndex(other);
    second.Save();
    loaded->SetWrtNumAndFinalFee(4, 99.5);
    loaded->SetWrtIndex(100000003);
    EXPECT_EQ(fresh.Value("select WrtNum || '/' || FinalFee || '/' || WrtIndex from FixFee where FeeIndex = 70"),
              "4/99.5/100000003");
    EXPECT_EQ(list.LoadUnpaid("U01").size(), 0);
    EXPECT_EQ(list.LoadUnpaid("U02").size(), 1);
    EXPECT_EQ(list.LoadByWrtNum("U01", 4).size(), 1);
    EXPECT_EQ(list.LoadByWrtNum("U02", 4).size(), 0);

    // A fee that is not stored cannot be collected or linked.
    CFixFee missing;
    missing.SetFeeIndex(999);
    EXPECT_FALSE(ThrownText([&] { missing.SetWrtNumAndFinalFee(1, 1); }).isEmpty());
    EXPECT_FALSE(ThrownText([&] { missing.SetWrtIndex(1); }).isEmpty());

    CFixFeeList::DeleteByClientPrice("U01", "D1");
    EXPECT_EQ(fresh.Value("select group_concat(FeeIndex) from FixFee"), "71");
}

// One month: every item version that runs in it, priced on the first day and
// prorated by its days; FixYearMon moves past the month.
TEST_F(QuotaFeeTest, OneMonthIsChargedByTheDaysEachItemRuns)
{
    SaveQuotaPrice("D1", 2.0, "2020-01-01");
    struct Case
    {
        const char* begin;
        const char* end;
        int month;
        const char* expected; // begin..end/days=fee for 10 units at 2.0
        int next;
    };
    const Case cases[] = {
        {"2024-01-01", "2050-12-31", 202406, "2024-06-01..2024-06-30/30=20.0000", 202407},
        {"2024-02-10", "2050-12-31", 202402, "2024-02-10..2024-02-29/20=13.7931", 202403}, // 20 x 10 x 2 / 29
        {"2024-01-01", "2024-07-01", 202406, "2024-06-01..2024-06-30/30=20.0000", 202407},
        {"2024-01-01", "2024-07-01", 202407, "2024-07-01..2024-07-01/1=0.6452", 202408}, // 10 x 2 / 31
        {"2024-01-01", "2050-12-31", 202412, "2024-12-01..2024-12-31/31=20.0000", 202501},
        {"2024-12-15", "2024-12-20", 202412, "2024-12-15..2024-12-20/6=3.8710", 202501},
    };
    for (const Case& c : cases) {
        exec("delete from CliFix");
        exec("delete from FixFee");
        const int item = SaveItem("U01", "D1", 10, c.begin, c.end);
        GenerateMonthFixFees(c.month);
        EXPECT_EQ(Fees(c.month), QString::number(item) + ":" + c.expected) << c.begin << " " << c.month;
        EXPECT_EQ(fixYearMon(), c.next) << c.month;
    }
    EXPECT_EQ(fresh.Value("select group_concat(YearMon || WrtNum || WrtIndex || State || ReadTime) from FixFee"),
              "202412-1-1正常2026-12-10");
}

TEST_F(QuotaFeeTest, EachVersionOfAnItemIsChargedForItsOwnDays)
{
    const int price = SaveQuotaPrice("D1", 3.0, "2020-01-01");
    SaveQuotaPrice("D2", 1.0, "2024-06-02"); // no version on the first day
    const int first = SaveItem("U02", "D1", 10, "2024-03-01", "2024-06-14");
    const int second = SaveItem("U02", "D1", 20, "2024-06-15");
    SaveItem("U01", "D2", 5, "2024-01-01");
    const int third = SaveItem("U01", "D1", 1, "2024-01-01");
    GenerateMonthFixFees(202406);
    // By user, then key: U01's item first; D2 gets nothing.
    EXPECT_EQ(Fees(202406), QStringLiteral("%1:2024-06-01..2024-06-30/30=3.0000 "
                                           "%2:2024-06-01..2024-06-14/14=14.0000 "
                                           "%3:2024-06-15..2024-06-30/16=32.0000")
                                .arg(third)
                                .arg(first)
                                .arg(second));
    EXPECT_EQ(fresh.Value("select group_concat(distinct PriceIndex) from FixFee"), QString::number(price));
    EXPECT_EQ(fresh.Value("select group_concat(FeeIndex) from FixFee"), "1,2,3");
}

TEST_F(QuotaFeeTest, MonthsAreGeneratedOneAfterAnother)
{
    SaveQuotaPrice("D1", 2.0, "2020-01-01");
    SaveItem("U01", "D1", 1, "2024-01-01");
    exec("update SysPara set FixYearMon = 202311");
    // The menu command calls once per month still due.
    for (int month = fixYearMon(); month < 202403; month = fixYearMon())
        GenerateMonthFixFees(month);
    EXPECT_EQ(fixYearMon(), 202403);
    EXPECT_EQ(fresh.Value("select group_concat(YearMon || ':' || Days) from FixFee"),
              "202401:31,202402:29"); // nothing to charge in 2023
    // A month without items still moves on.
    exec("delete from CliFix");
    GenerateMonthFixFees(202403);
    EXPECT_EQ(fixYearMon(), 202404);
    EXPECT_EQ(fresh.Count("select * from FixFee"), 2);
}

TEST_F(QuotaFeeTest, AFailedMonthLeavesNothingBehind)
{
    SaveQuotaPrice("D1", 2.0, "2020-01-01");
    SaveItem("U01", "D1", 1, "2024-01-01");
    SaveItem("U02", "D1", 1, "2024-01-01");
    exec("update SysPara set FixYearMon = 202405");
    // The second insert fails on a key the table already holds.
    exec("insert into FixFee(FeeIndex, CliFixIndex, YearMon, WrtNum) values(2, 0, 0, 5)");
    EXPECT_FALSE(ThrownText([] { GenerateMonthFixFees(202405); }).isEmpty());
    EXPECT_EQ(fixYearMon(), 202405);
    EXPECT_EQ(fresh.Count("select * from FixFee"), 1);
    EXPECT_EQ(fresh.Value("select FixFeeIndex from SysPara"), "1");

    // A month out of range fails before anything is read or written.
    EXPECT_EQ(ThrownText([] { GenerateMonthFixFees(210012); }), "年月数据类型错误！");
    EXPECT_EQ(fixYearMon(), 202405);
}
