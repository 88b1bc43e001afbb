#include "CAdoConnection.h"
#include "COperator.h"
#include "COtherItem.h"
#include "CurrentOperator.h"
#include "FixedFeeTestHelpers.h"
#include "KvFreshDatabase.h"
#include "KvSql.h"

#include <gtest/gtest.h>

namespace {

class FixedFeeItemTest : public FreshDatabaseTest
{
protected:
    FixedFeeItemTest() { GetCurrentOperator()->SetOperatorNo("op01"); }

    void exec(const QString& sql) { db().Execute(sql, QString()); }
    // The rows of a user and price as "begin..end", by key.
    QString History(const QString& clientNo, const QString& priceNo)
    {
        return fresh.Value(KvFormatSql("select group_concat(BeginDate || '..' || EndDate, ' ') from (select * from "
                                       "CliFix where ClientNo = '%s' and PriceNo = '%s' order by CliFixIndex)",
                                       clientNo, priceNo));
    }
};

} // namespace

TEST_F(FixedFeeItemTest, NewItemDefaultsAndRoundTrip)
{
    CCliFix blank;
    EXPECT_EQ(blank.GetBeginDate(), Day("2026-12-10"));
    EXPECT_EQ(blank.GetEndDate(), Day("2050-12-31"));
    EXPECT_EQ(blank.GetLastTermEndDate(), Day("2026-12-09"));
    EXPECT_EQ(blank.GetOperatorNo(), "op01");
    EXPECT_EQ(blank.GetModiTime(), GetServerTime());
    EXPECT_EQ(blank.GetStateWord(), "正常");

    exec("update SysPara set CliFixIndex = 41");
    CCliFix item;
    item.SetClientNo("U01");
    item.SetPriceNo("D1");
    item.SetUnits(85.25);
    item.SetBeginDate(Day("2005-03-01"));
    item.SetEndDate(Day("2005-09-30"));
    item.SetLastTermEndDate(Day("2005-02-27"));
    item.SetOperatorNo("op07");
    item.SetModiTime(QDateTime(QDate(2005, 3, 2), QTime(8, 15, 20)));
    item.SetState(QStringLiteral("停用"));
    item.Save();
    EXPECT_EQ(item.GetCliFixIndex(), 41);
    EXPECT_EQ(item.GetState(), CKvPersistance::StateStored);
    EXPECT_EQ(fresh.Value("select CliFixIndex from SysPara"), "42");

    CCliFixList list;
    list.LoadByClient("U01");
    ASSERT_EQ(list.GetCount(), 1);
    const CCliFix* loaded = list.At(0);
    EXPECT_EQ(loaded->GetCliFixIndex(), 41);
    EXPECT_EQ(loaded->GetClientNo(), "U01");
    EXPECT_EQ(loaded->GetPriceNo(), "D1");
    EXPECT_DOUBLE_EQ(loaded->GetUnits(), 85.25);
    EXPECT_EQ(loaded->GetBeginDate(), Day("2005-03-01"));
    EXPECT_EQ(loaded->GetEndDate(), Day("2005-09-30"));
    EXPECT_EQ(loaded->GetLastTermEndDate(), Day("2005-02-27"));
    EXPECT_EQ(loaded->GetOperatorNo(), "op07");
    EXPECT_EQ(loaded->GetModiTime(), QDateTime(QDate(2005, 3, 2), QTime(8, 15, 20)));
    EXPECT_EQ(loaded->GetStateWord(), "停用");
    EXPECT_EQ(loaded->GetState(), CKvPersistance::StateStored);
}

TEST_F(FixedFeeItemTest, AnItemWithoutUserOrPriceIsRefusedBeforeAKeyIsDrawn)
{
    for (const auto& [clientNo, priceNo] : {std::pair{"", "D1"}, std::pair{"U01", ""}}) {
        CCliFix item;
        item.SetClientNo(clientNo);
        item.SetPriceNo(priceNo);
        EXPECT_EQ(ThrownText([&] { item.Save(); }), "向数据库增加定额收费项发生错误！");
        EXPECT_EQ(item.GetState(), CKvPersistance::StateNew);
    }
    EXPECT_EQ(fresh.Count("select * from CliFix"), 0);
    EXPECT_EQ(fresh.Value("select CliFixIndex from SysPara"), "1");
}

TEST_F(FixedFeeItemTest, ReplacingAnItemStopsTheOlderRowsTheDayBeforeTheNewStart)
{
    // A later start: the old row ends the day before.
    SaveItem("U01", "D1", 10, "2005-03-01");
    SaveItem("U02", "D1", 10, "2005-03-01");
    CCliFixList::StopItem("U01", "D1", Day("2005-05-31"));
    SaveItem("U01", "D1", 12, "2005-06-01");
    EXPECT_EQ(History("U01", "D1"), "2005-03-01..2005-05-31 2005-06-01..2050-12-31");
    EXPECT_EQ(History("U02", "D1"), "2005-03-01..2050-12-31");

    // The same start as the current row: that row would end before it begins
    // and goes.
    CCliFixList::StopItem("U01", "D1", Day("2005-05-31"));
    SaveItem("U01", "D1", 14, "2005-06-01");
    EXPECT_EQ(History("U01", "D1"), "2005-03-01..2005-05-31 2005-06-01..2050-12-31");
    EXPECT_EQ(fresh.Value("select Units from CliFix where ClientNo = 'U01' and EndDate = '2050-12-31'"), "14");

    // Stopping keeps the operator and time the row had.
    exec("update CliFix set OperatorNo = 'op09', ModiTime = '2005-06-01 10:00:00' where ClientNo = 'U02'");
    CCliFixList::StopItem("U02", "D1", Day("2005-08-31"));
    EXPECT_EQ(fresh.Value("select EndDate || OperatorNo || ModiTime from CliFix where ClientNo = 'U02'"),
              "2005-08-31op092005-06-01 10:00:00");
}

TEST_F(FixedFeeItemTest, ActiveInPeriodTakesRowsBeginningBeforeTheEndAndNotEndedBeforeTheStart)
{
    SaveItem("U03", "D1", 1, "2005-01-01", "2005-06-01"); // ends on the first day: in
    SaveItem("U01", "D1", 1, "2005-07-01");               // begins on the end: out
    SaveItem("U01", "D2", 1, "2005-01-01", "2005-05-31"); // ended before: out
    SaveItem("U02", "D1", 1, "2005-06-30");               // begins on the last day: in
    SaveItem("U01", "D3", 1, "2005-02-01");               // runs through: in
    CCliFixList list;
    list.LoadActiveInPeriod(Day("2005-06-01"), Day("2005-07-01"));
    QStringList found;
    for (int i = 0; i < list.GetCount(); ++i)
        found << list.At(i)->GetClientNo() + list.At(i)->GetPriceNo();
    EXPECT_EQ(found, QStringList({"U01D3", "U02D1", "U03D1"}));
}

TEST_F(FixedFeeItemTest, ExistenceTestsLookAtRowsOfAnyDate)
{
    SaveItem("U01", "D1", 1, "2005-01-01", "2005-01-31"); // closed long ago
    exec("insert into CliMan(CliManIndex, ClientNo, PriceNo) values(1, 'U02', 'S1')");
    exec("insert into PriceVer(PriceIndex, PriceNo, BeginDate, EndDate) values(7, 'S2', '2004-01-01', "
         "'2004-12-31')");
    exec("insert into PriceVer(PriceIndex, PriceNo, BeginDate, EndDate) values(8, 'S2', '2005-01-01', "
         "'2050-12-31')");
    exec("insert into OtherFee(FeeIndex, ClientNo, PriceIndex) values(1, 'U03', 7)");

    struct Case
    {
        bool (*exists)(const QString&);
        const char* hit;
        const char* miss;
    };
    for (const Case& c :
         {Case{&CCliFixList::ExistsForClient, "U01", "U02"}, Case{&CCliFixList::ExistsForPrice, "D1", "D2"},
          Case{&ManualMeterExistsForClient, "U02", "U01"}, Case{&ManualMeterExistsForPrice, "S1", "D1"},
          Case{&ExistsOtherFeeOfClient, "U03", "U02"}, Case{&ExistsOtherFeeOfPrice, "S2", "S1"}}) {
        EXPECT_TRUE(c.exists(c.hit)) << c.hit;
        EXPECT_FALSE(c.exists(c.miss)) << c.miss;
    }
}

TEST_F(FixedFeeItemTest, DeleteByClientPriceTakesEveryVersionOfThatItemOnly)
{
    SaveItem("U01", "D1", 1, "2005-01-01", "2005-05-31");
    SaveItem("U01", "D1", 2, "2005-06-01");
    SaveItem("U01", "D2", 1, "2005-01-01");
    SaveItem("U02", "D1", 1, "2005-01-01");
    CCliFixList::DeleteByClientPrice("U01", "D1");
    EXPECT_EQ(fresh.Value("select group_concat(ClientNo || PriceNo, ' ') from CliFix"), "U01D2 U02D1");
}

TEST_F(FixedFeeItemTest, OtherItemsAreReadAndLinkedButNeverWritten)
{
    exec("insert into OtherItem values(5, 'U01', '垃圾费', '2005-05-01', '2005-05-31', 31, 1.5, 2.25, 3.75, "
         "'2005-06-02 08:30:00', -1, 3)");
    exec("insert into OtherItem values(6, 'U01', '水费', '2005-05-01', '2005-05-31', 31, 2, 1, 2, '2005-06-02', -1, "
         "4)");
    exec("insert into OtherItem values(7, 'U02', '水费', '2005-05-01', '2005-05-31', 31, 2, 1, 2, '2005-06-02', -1, "
         "3)");
    COtherItemList list;
    list.LoadByClientAndWrtNum("U01", 3);
    ASSERT_EQ(list.GetCount(), 1);
    COtherItem* item = list.At(0);
    EXPECT_EQ(item->GetClassName(), "COtherItem");
    EXPECT_EQ(item->GetFeeIndex(), 5);
    EXPECT_EQ(item->GetClientNo(), "U01");
    EXPECT_EQ(item->GetPriceName(), "垃圾费");
    EXPECT_EQ(item->GetBeginDate(), Day("2005-05-01"));
    EXPECT_EQ(item->GetEndDate(), Day("2005-05-31"));
    EXPECT_EQ(item->GetDays(), 31);
    EXPECT_DOUBLE_EQ(item->GetPrice(), 1.5);
    EXPECT_DOUBLE_EQ(item->GetPriceUnits(), 2.25);
    EXPECT_DOUBLE_EQ(item->GetFinalFee(), 3.75);
    EXPECT_EQ(item->GetReadTime(), QDateTime(QDate(2005, 6, 2), QTime(8, 30, 0)));
    EXPECT_EQ(item->GetWrtIndex(), -1);
    EXPECT_EQ(item->GetWrtNum(), 3);

    // No save state writes, and the list-wide saves pass it by.
    const QString before = fresh.Value("select group_concat(FeeIndex || PriceName || WrtIndex, ' ') from OtherItem");
    for (int state : {0, 1, 3, 5}) {
        item->SetState(state);
        item->Save();
    }
    list.SaveAll();
    list.DeleteAll();
    EXPECT_EQ(fresh.Value("select group_concat(FeeIndex || PriceName || WrtIndex, ' ') from OtherItem"), before);

    item->SetWrtIndex(100000012);
    EXPECT_EQ(item->GetWrtIndex(), 100000012);
    EXPECT_EQ(fresh.Value("select group_concat(FeeIndex || ':' || WrtIndex, ' ') from OtherItem"),
              "5:100000012 6:-1 7:-1");
}
