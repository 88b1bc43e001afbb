#include "CAdoConnection.h"
#include "CCliBalance.h"
#include "CClientPay.h"
#include "CManItem.h"
#include "CManualFee.h"
#include "CPreLastWrt.h"
#include "CSubRead.h"
#include "CWrtPrice.h"
#include "CWrtRecord.h"
#include "KvFreshDatabase.h"
#include "SalesTestHelpers.h"
#include "SysGlobals.h"

#include <gtest/gtest.h>

namespace {

class FeeRecordTest : public FreshDatabaseTest
{
protected:
    void AddSubMeterRow(int cliSubIndex, const QString& meterNo, const QString& subNo, const QString& endDate)
    {
        db().Execute(
            KvFormatSql("insert into CliSub(CliSubIndex, MeterNo, SubNo, EndDate) values(%d, '%s', '%s', '%s')",
                        cliSubIndex, meterNo, subNo, endDate),
            QString());
    }

    void SaveReading(const QString& subNo, int cliSubIndex, int wrtNum)
    {
        CSubRead read;
        read.SetSubNo(subNo);
        read.SetCliSubIndex(cliSubIndex);
        read.SetWrtNum(wrtNum);
        read.Save();
    }

    void AddManualFee(int index, const QString& clientNo, const QString& meterNo, int wrtNum, const QString& state,
                      double totalFee, int wrtIndex = -1)
    {
        db().Execute(
            KvFormatSql("insert into ManualFee(ManualIndex, MeterNo, WrtNum, WrtIndex, ClientName, Department, "
                        "ClientNo, YearMonth, SubRead, ElecRead, SubFee, ElecFee, TenementArea, Fee, TotalFee, "
                        "TeneFee, State) values(%d, '%s', %d, %d, '张三', '00', '%s', '2026-11', 0, 0, 0, 0, "
                        "0, 0, %f, 0, '%s')",
                        index, meterNo, wrtNum, wrtIndex, clientNo, totalFee, state),
            QString());
    }
};

} // namespace

TEST(RecordClassNames, OnlyTheFeeRowsNameThemselves)
{
    const std::pair<std::unique_ptr<CKvPersistance>, QString> cases[] = {
        {std::make_unique<CWrtRecord>(), "CKvPersistance"},  {std::make_unique<CWrtPrice>(), "CKvPersistance"},
        {std::make_unique<CClientPay>(), "CKvPersistance"},  {std::make_unique<CCliBalance>(), "CKvPersistance"},
        {std::make_unique<CPreLastWrt>(), "CKvPersistance"}, {std::make_unique<CManItem>(), "CManItem"},
        {std::make_unique<CManualFee>(), "CManualFee"},      {std::make_unique<CSubRead>(), "CSubRead"},
    };
    for (const auto& [record, name] : cases)
        EXPECT_EQ(record->GetClassName(), name);
}

TEST_F(FeeRecordTest, SubReadKeysAreTheBareCounterAndStoreAsIntegers)
{
    CSubRead read;
    EXPECT_EQ(std::make_tuple(read.GetReadIndex(), read.GetCliSubIndex(), read.GetWrtIndex(), read.GetWrtNum(),
                              read.GetStealFlag(), read.GetPriceIndex()),
              std::make_tuple(-1, -1, -1, -1, -1, -1));
    EXPECT_EQ(read.GetReadTime(), GetServerDate());

    read.SetSubNo("00001234_1");
    read.SetThisRead(123456.78);
    read.Save();
    SaveReading("00001234_2", 2, 0);
    EXPECT_EQ(read.GetReadIndex(), 1);
    EXPECT_EQ(fresh.Value("select group_concat(typeof(ReadIndex) || ReadIndex) from SubRead"), "integer1,integer2");
    EXPECT_EQ(fresh.Value("select SubReadIndex from SysPara"), "3");
    EXPECT_EQ(fresh.Value("select ReadTime from SubRead where ReadIndex = 1"), "2026-12-10");

    read.SetWrtIndex(100000005);
    EXPECT_EQ(fresh.Value("select WrtIndex from SubRead where ReadIndex = 1"), "100000005");
    EXPECT_EQ(fresh.Value("select WrtIndex from SubRead where ReadIndex = 2"), "-1");

    CSubReadList list;
    list.Load("select * from SubRead where ReadIndex = 1");
    ASSERT_EQ(list.GetCount(), 1);
    EXPECT_DOUBLE_EQ(list.At(0)->GetThisRead(), 123456.78);
    EXPECT_EQ(list.At(0)->GetWrtIndex(), 100000005);

    read.Delete();
    CSubReadList::DeleteBySubNo("00001234_2");
    EXPECT_EQ(fresh.Count("select * from SubRead"), 0);
}

TEST_F(FeeRecordTest, ReadingsOfAWriteCoverEverySubMeterVersionOfTheMeter)
{
    AddSubMeterRow(1, "00001234", "00001234_1", "2025-06-30"); // closed version
    AddSubMeterRow(2, "00001234", "00001234_1", "2050-12-31");
    AddSubMeterRow(3, "00001234", "00001234_2", "2050-12-31");
    AddSubMeterRow(4, "00009999", "00009999_1", "2050-12-31");
    SaveReading("00001234_2", 3, 6);
    SaveReading("00001234_1", 1, 6);
    SaveReading("00001234_1", 2, 6);
    SaveReading("00001234_1", 2, 5);
    SaveReading("00009999_1", 4, 6);

    CSubReadList list;
    EXPECT_EQ(list.LoadByWrtNum("00001234", 7).size(), 0);
    list.LoadByWrtNum("00001234", 6);
    QStringList got;
    for (int i = 0; i < list.GetCount(); ++i)
        got << list.At(i)->GetSubNo();
    EXPECT_EQ(got, (QStringList{"00001234_1", "00001234_1", "00001234_2"}));

    CSubRead* first = list.FindBySubNo("00001234_1");
    ASSERT_NE(first, nullptr);
    CSubRead* second = list.FindBySubNo("00001234_1", first);
    ASSERT_NE(second, nullptr);
    EXPECT_NE(first, second);
    EXPECT_EQ(list.FindBySubNo("00001234_1", second), nullptr);
    EXPECT_EQ(list.FindBySubNo("00001234_3"), nullptr);
    CSubRead stranger;
    EXPECT_EQ(ThrownText([&] { list.FindBySubNo("00001234_1", &stranger); }), "指定的指针无效！");
}

TEST_F(FeeRecordTest, ManualFeesFollowTheComingSaleUntilCollected)
{
    AddManualFee(1, "C001", "00005678", 3, "未收费", 12.5); // entered for another meter
    AddManualFee(2, "C001", "00001234", 9, "已收费", 7.25, 100000001);
    AddManualFee(3, "C002", "00004444", 1, "未收费", 1);
    EXPECT_EQ(CManualFeeList::SumTotalFee(100000002), 0.0);

    CManualFeeList::RebindUnpaid("C001", "00001234", 9);
    EXPECT_EQ(fresh.Value("select group_concat(ManualIndex || ':' || MeterNo || ':' || WrtNum) from "
                          "(select * from ManualFee order by ManualIndex)"),
              "1:00001234:9,2:00001234:9,3:00004444:1");

    CManualFeeList list;
    list.LoadByClientMeterWrtNum("C001", "00001234", 9);
    ASSERT_EQ(list.GetCount(), 2);
    CManualFee* fee = list.At(0);
    EXPECT_EQ(fee->GetClassName(), "CManualFee");
    EXPECT_EQ(fee->GetYearMonth(), "2026-11");
    EXPECT_DOUBLE_EQ(fee->GetTotalFee(), 12.5);
    EXPECT_EQ(fee->GetWrtTime(), GetServerTime()); // not read: a new record's value

    fee->MarkCollected(100000002, QDateTime(QDate(2026, 12, 10), QTime(9, 0, 1)), "张'三");
    EXPECT_EQ(fresh.Value("select WrtIndex || State || WrtTime || OperatorName from ManualFee where ManualIndex = 1"),
              "100000002已收费2026-12-10 09:00:01张'三");
    EXPECT_DOUBLE_EQ(CManualFeeList::SumTotalFee(100000002), 12.5);

    // Collected fees are not moved again.
    CManualFeeList::RebindUnpaid("C001", "00009999", 10);
    EXPECT_EQ(fresh.Count("select * from ManualFee where MeterNo = '00009999'"), 0);

    fee->SetTenementArea(88.5);
    fee->SetState(CKvPersistance::StateChanged);
    fee->Save();
    EXPECT_EQ(fresh.Value("select TenementArea from ManualFee where ManualIndex = 1"), "88.5");
    EXPECT_EQ(fee->GetState(), CKvPersistance::StateStored);
}

TEST_F(FeeRecordTest, ManualItemsOfTheWriteAreLinkedAndDeletedByKey)
{
    for (int i : {1, 2, 3})
        db().Execute(KvFormatSql("insert into ManItem(ReadIndex, ClientNo, ManNo, LastRead, ThisRead, RealUse, "
                                 "ReadTime, FreeValue, BuyValue, PriceName, Price, Fee, WrtIndex, WrtNum) values(%d, "
                                 "'C001', 'M%d', 1, 2, 1, '2026-12-01 08:00:00', 0, 1, '水费', 2.5, 2.5, -1, %d)",
                                 i, i, i == 3 ? 4 : 3),
                     QString());
    CManItem blank;
    EXPECT_EQ(std::make_tuple(blank.GetReadIndex(), blank.GetWrtIndex(), blank.GetWrtNum()),
              std::make_tuple(-1, -1, -1));
    EXPECT_EQ(blank.GetReadTime(), GetServerDate());

    CManItemList list;
    list.LoadByClientAndWrtNum("C001", 3);
    ASSERT_EQ(list.GetCount(), 2);
    EXPECT_EQ(list.At(0)->GetReadTime(), QDateTime(QDate(2026, 12, 1), QTime(8, 0)));
    list.At(0)->SetWrtIndex(100000004);
    EXPECT_EQ(fresh.Value("select group_concat(WrtIndex) from (select WrtIndex from ManItem order by ReadIndex)"),
              "100000004,-1,-1");

    // Saving in any state but delete writes nothing; the list-wide save skips them.
    list.At(1)->SetState(CKvPersistance::StateNew);
    list.At(1)->Save();
    list.DeleteAll();
    EXPECT_EQ(fresh.Count("select * from ManItem"), 3);
    list.At(1)->SetState(CKvPersistance::StateDelete);
    list.At(1)->Save();
    EXPECT_EQ(fresh.Count("select * from ManItem"), 2);
}

TEST_F(FeeRecordTest, RowsThatOutsideProgramsLeftPartlyEmptyStillLoad)
{
    // An entry program that fills only what it knows: no sale, no time, no amounts.
    db().Execute("insert into ManualFee(ManualIndex, MeterNo, ClientNo, YearMonth, State) "
                 "values(5, '00001234', 'C001', '2026-11', '未收费')",
                 QString());
    db().Execute("insert into ManItem(ReadIndex, ClientNo, WrtNum) values(8, 'C001', 3)", QString());

    CManualFeeList::RebindUnpaid("C001", "00001234", 9);
    CManualFeeList fees;
    fees.LoadByClientMeterWrtNum("C001", "00001234", 9);
    ASSERT_EQ(fees.GetCount(), 1);
    const CManualFee* fee = fees.At(0);
    EXPECT_EQ(std::make_tuple(fee->GetManualIndex(), fee->GetWrtIndex(), fee->GetDepartment(), fee->GetYearMonth()),
              std::make_tuple(5, -1, QString(), QString("2026-11")));
    EXPECT_EQ(fee->GetTotalFee(), 0.0);

    fees.At(0)->MarkCollected(100000003, GetServerTime(), "op");
    db().Execute("insert into ManualFee(ManualIndex, WrtIndex, TotalFee) values(6, 100000003, 2.5)", QString());
    db().Execute("insert into ManualFee(ManualIndex, WrtIndex) values(7, 100000003)", QString());
    EXPECT_DOUBLE_EQ(CManualFeeList::SumTotalFee(100000003), 2.5);

    CManItemList items;
    items.LoadByClientAndWrtNum("C001", 3);
    ASSERT_EQ(items.GetCount(), 1);
    EXPECT_EQ(std::make_tuple(items.At(0)->GetReadIndex(), items.At(0)->GetWrtIndex(), items.At(0)->GetManNo()),
              std::make_tuple(8, -1, QString()));
    EXPECT_EQ(items.At(0)->GetReadTime(), GetServerDate());
}
