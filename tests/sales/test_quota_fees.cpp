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

// Every column of two months' rows on a small archive: an item for the whole
// month, one that begins and one that ends within it, an item changed in the
// middle of the month (two versions), and a price whose new version begins
// on the 16th (the version of the first day prices the month it begins in).
TEST_F(QuotaFeeTest, AMonthsRowsHoldEveryColumnAsBefore)
{
    const int d1 = SaveQuotaPrice("D1", 2.0, "2020-01-01");
    CPriceVerList prices;
    prices.LoadAll();
    prices.AddVersion(NextVersion(*prices.FindLoadedByPriceNo("D1"), 3.5, "2024-06-16"),
                      prices.FindLoadedByPriceNo("D1"));
    const int d1New = prices.FindValidByPriceNo("D1", Day("2024-07-01"))->GetPriceIndex();
    const int whole = SaveItem("U01", "D1", 10, "2024-01-01");
    const int begins = SaveItem("U02", "D1", 12.5, "2024-06-10");
    const int ends = SaveItem("U03", "D1", 8, "2023-05-01", "2024-06-20");
    const int before = SaveItem("U04", "D1", 10, "2024-01-01", "2024-06-11");
    const int after = SaveItem("U04", "D1", 20, "2024-06-12");
    GenerateMonthFixFees(202406);
    GenerateMonthFixFees(202407);
    const QString rows = fresh.Value(
        "select group_concat(FeeIndex || '|' || CliFixIndex || '|' || YearMon || '|' || WrtNum || '|' || WrtIndex || "
        "'|' || PriceIndex || '|' || Price || '|' || PriceUnits || '|' || BeginDate || '|' || EndDate || '|' || Days "
        "|| '|' || PriceFee || '|' || FinalFee || '|' || ReadTime || '|' || State, char(10)) from (select * from "
        "FixFee order by FeeIndex)");
    const QString expected =
        QStringLiteral(
            "1|%1|202406|-1|-1|%6|2.0|10.0|2024-06-01|2024-06-30|30|20.0|20.0|2026-12-10|正常\n"
            "2|%2|202406|-1|-1|%6|2.0|12.5|2024-06-10|2024-06-30|21|17.5|17.5|2026-12-10|正常\n"
            "3|%3|202406|-1|-1|%6|2.0|8.0|2024-06-01|2024-06-20|20|10.6666666666667|10.6666666666667|2026-12-10|正常\n"
            "4|%4|202406|-1|-1|%6|2.0|10.0|2024-06-01|2024-06-11|11|7.33333333333333|7.33333333333333|2026-12-10|正常\n"
            "5|%5|202406|-1|-1|%6|2.0|20.0|2024-06-12|2024-06-30|19|25.3333333333333|25.3333333333333|2026-12-10|正常\n"
            "6|%1|202407|-1|-1|%7|3.5|10.0|2024-07-01|2024-07-31|31|35.0|35.0|2026-12-10|正常\n"
            "7|%2|202407|-1|-1|%7|3.5|12.5|2024-07-01|2024-07-31|31|43.75|43.75|2026-12-10|正常\n"
            "8|%5|202407|-1|-1|%7|3.5|20.0|2024-07-01|2024-07-31|31|70.0|70.0|2026-12-10|正常")
            .arg(whole)
            .arg(begins)
            .arg(ends)
            .arg(before)
            .arg(after)
            .arg(d1)
            .arg(d1New);
    EXPECT_EQ(rows, expected);
    EXPECT_EQ(fresh.Value("select FixFeeIndex from SysPara"), "9");
}

// A month too large for one statement: every item gets its row, the keys
// follow the items' order without a gap, and the counter moves past the last.
TEST_F(QuotaFeeTest, AMonthOfManyItemsIsStoredWhole)
{
    SaveQuotaPrice("D1", 2.0, "2020-01-01");
    constexpr int kItems = 20000; // some 2.5 MB of row text: several statements
    exec(QStringLiteral("insert into CliFix (CliFixIndex, ClientNo, PriceNo, Units, BeginDate, EndDate, "
                        "LastTermEndDate, OperatorNo, ModiTime, State) select n, printf('U%05d', n), 'D1', n, "
                        "'2024-01-01', '2050-12-31', '2023-12-31', 'op01', '2024-01-01', '正常' from (with recursive "
                        "g(n) as (select 1 union all select n + 1 from g where n < %1) select n from g)")
             .arg(kItems));
    exec(QStringLiteral("update SysPara set FixFeeIndex = 100"));
    GenerateMonthFixFees(202406);
    EXPECT_EQ(fresh.Value("select count(*) || ' ' || min(FeeIndex) || ' ' || max(FeeIndex) || ' ' || "
                          "sum(FeeIndex - 99 = CliFixIndex) || ' ' || sum(PriceFee = 2.0 * PriceUnits) from FixFee"),
              QStringLiteral("%1 100 %2 %1 %1").arg(kItems).arg(99 + kItems));
    EXPECT_EQ(fresh.Value("select FixFeeIndex from SysPara"), QString::number(100 + kItems));
}
