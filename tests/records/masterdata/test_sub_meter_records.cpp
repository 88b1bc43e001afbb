#include "CAdoConnection.h"
#include "CCliSub.h"
#include "COperator.h"
#include "CurrentOperator.h"
#include "KvFreshDatabase.h"
#include "KvSql.h"
#include "MasterDataTestHelpers.h"

#include <gtest/gtest.h>

namespace {

class SubMeterRecordTest : public FreshDatabaseTest
{
protected:
    SubMeterRecordTest() { GetCurrentOperator()->SetOperatorNo("op01"); }

    // A new sub-meter of main meter 00000001, stored.
    void AddSub(const QString& subX, const QString& priceNo = "W1")
    {
        CCliSub sub;
        sub.SetClientNo("0001");
        sub.SetMeterNo("00000001");
        sub.SetSubX(subX);
        sub.SetSubNo("00000001_" + subX);
        sub.SetPriceNo(priceNo);
        sub.Save();
    }
    QString Versions(const QString& subNo)
    {
        return fresh.Value(
            KvFormatSql("select group_concat(CliSubIndex || ':' || PriceNo || ':' || BeginDate || '..' || "
                        "EndDate, ' ') from (select * from CliSub where SubNo = '%s' order by "
                        "CliSubIndex)",
                        subNo));
    }
};

} // namespace

TEST_F(SubMeterRecordTest, NewSubMeterDefaultsAndAWideRoundTrip)
{
    CCliSub fresh;
    EXPECT_EQ(fresh.GetCliSubIndex(), -1);
    EXPECT_EQ(fresh.GetSubConst(), 10);
    EXPECT_EQ(fresh.GetReadMode(), "红外遥控卡");
    EXPECT_EQ(fresh.GetMeterLevel(), "二级");
    EXPECT_EQ(fresh.GetWrtNum(), -1);
    EXPECT_EQ(fresh.GetWrtIndex(), -1);
    EXPECT_EQ(fresh.GetInitDate(), Day("2026-12-10"));
    EXPECT_EQ(fresh.GetEndDate(), Day("2050-12-31"));
    EXPECT_EQ(fresh.GetOperatorNo(), "op01");
    EXPECT_EQ(fresh.GetState(), CKvPersistance::StateNew);

    // A distinct value in every column.
    CCliSub sub;
    sub.SetClientNo("C1");
    sub.SetMeterNo("M1");
    sub.SetSubX("3");
    sub.SetSubNo("M1_3");
    sub.SetSubConst(1000);
    sub.SetPriceNo("W9");
    sub.SetInitPulses(11);
    sub.SetInitRead(1.5);
    sub.SetInitDate(Day("2026-01-02"));
    sub.SetReadMode("编程器");
    sub.SetThisPulses(33);
    sub.SetLastPulses(22);
    sub.SetThisRead(3.25);
    sub.SetLastRead(2.75);
    sub.SetWrtNum(7);
    sub.SetWrtIndex(100000008);
    sub.SetReadDate(Day("2026-03-04"));
    sub.SetMeterLevel("四级");
    sub.SetSuperNo("S1");
    sub.SetDescrip("备注");
    sub.SetBeginDate(Day("2026-05-06"));
    sub.SetEndDate(Day("2050-12-31"));
    sub.SetOperatorNo("op02");
    sub.SetModiTime(QDateTime(QDate(2026, 7, 8), QTime(9, 10, 11)));
    sub.Save();
    EXPECT_EQ(sub.GetCliSubIndex(), 1);
    EXPECT_EQ(fresh.GetState(), CKvPersistance::StateNew);
    EXPECT_EQ(this->fresh.Value("select CliSubIndex from SysPara"), "2");

    CCliSubList list;
    list.Load("select * from CliSub");
    ASSERT_EQ(list.GetCount(), 1);
    const CCliSub* l = list.At(0);
    EXPECT_EQ(QStringList({QString::number(l->GetCliSubIndex()),
                           l->GetClientNo(),
                           l->GetMeterNo(),
                           l->GetSubX(),
                           l->GetSubNo(),
                           QString::number(l->GetSubConst()),
                           l->GetPriceNo(),
                           QString::number(l->GetInitPulses()),
                           QString::number(l->GetInitRead()),
                           l->GetInitDate().toString(Qt::ISODate),
                           l->GetReadMode(),
                           QString::number(l->GetThisPulses()),
                           QString::number(l->GetLastPulses()),
                           QString::number(l->GetThisRead()),
                           QString::number(l->GetLastRead()),
                           QString::number(l->GetWrtNum()),
                           QString::number(l->GetWrtIndex()),
                           l->GetReadDate().toString(Qt::ISODate),
                           l->GetMeterLevel(),
                           l->GetSuperNo(),
                           l->GetDescrip(),
                           l->GetBeginDate().toString(Qt::ISODate),
                           l->GetEndDate().toString(Qt::ISODate),
                           l->GetOperatorNo(),
                           l->GetModiTime().toString(Qt::ISODate)}),
              QStringList({"1",
                           "C1",
                           "M1",
                           "3",
                           "M1_3",
                           "1000",
                           "W9",
                           "11",
                           "1.5",
                           "2026-01-02T00:00:00",
                           "编程器",
                           "33",
                           "22",
                           "3.25",
                           "2.75",
                           "7",
                           "100000008",
                           "2026-03-04T00:00:00",
                           "四级",
                           "S1",
                           "备注",
                           "2026-05-06T00:00:00",
                           "2050-12-31T00:00:00",
                           "op02",
                           "2026-07-08T09:10:11"}));
    EXPECT_EQ(l->GetState(), CKvPersistance::StateStored);
}

// A change closes the old row the day before the new one begins; the list
// then holds both, the new one after the old. A foreign old record writes nothing.
TEST_F(SubMeterRecordTest, VersionChangeClosesTheOldRow)
{
    SetToday("2026-12-01");
    AddSub("1");
    AddSub("2");
    SetToday("2026-12-10");
    CCliSubList list;
    list.LoadCurrentByMeterNo("00000001");
    ASSERT_EQ(list.GetCount(), 2);
    CCliSub* old = list.At(0);

    auto* changed = new CCliSub;
    changed->SetMeterNo("00000001");
    changed->SetSubX("1");
    changed->SetSubNo("00000001_1");
    changed->SetPriceNo("W2");
    list.UpdateRecord(changed, old);
    EXPECT_EQ(Versions("00000001_1"), "1:W1:2026-12-01..2026-12-09 3:W2:2026-12-10..2050-12-31");
    ASSERT_EQ(list.GetCount(), 3);
    EXPECT_EQ(list.At(1), changed);
    EXPECT_FALSE(old->IsCurrent());
    EXPECT_TRUE(changed->IsCurrent());

    CCliSubList other;
    other.LoadCurrentByMeterNo("00000001");
    EXPECT_EQ(other.GetCount(), 2) << "the closed row is no longer current";
    auto* stray = new CCliSub;
    stray->SetSubNo("00000001_2");
    EXPECT_EQ(ThrownText([&] { other.UpdateRecord(stray, list.At(2)); }), "向数据库更新附表发生位置错误！");
    EXPECT_EQ(fresh.Count("select * from CliSub"), 3);
}

TEST_F(SubMeterRecordTest, CurrentListSkipsFutureAndClosedRows)
{
    AddSub("1");
    AddSub("2");
    SetToday("2026-12-11");
    AddSub("3"); // begins tomorrow, as seen from the 10th
    SetToday("2026-12-10");
    CCliSubList list;
    list.LoadCurrentByMeterNo("00000001");
    list.At(1)->CloseToday();
    EXPECT_EQ(fresh.Value("select EndDate from CliSub where SubNo = '00000001_2'"), "2026-12-10");
    EXPECT_TRUE(list.At(1)->IsCurrent()) << "the record itself is not changed";

    list.LoadCurrentByMeterNo("00000001");
    ASSERT_EQ(list.GetCount(), 1);
    EXPECT_EQ(list.At(0)->GetSubNo(), "00000001_1");
}

TEST_F(SubMeterRecordTest, ExistenceTestsAndDeleteCoverEveryVersion)
{
    AddSub("1", "W1");
    CCliSubList list;
    list.LoadCurrentByMeterNo("00000001");
    auto* changed = new CCliSub;
    changed->SetMeterNo("00000001");
    changed->SetSubNo("00000001_1");
    changed->SetPriceNo("W2");
    list.UpdateRecord(changed, list.At(0));
    changed->CloseToday();

    EXPECT_TRUE(CCliSubList::ExistsForMeterNo("00000001"));
    EXPECT_FALSE(CCliSubList::ExistsCurrentForMeterNo("00000001"));
    EXPECT_TRUE(CCliSubList::PriceNoInUse("W1")) << "a closed version counts";
    EXPECT_TRUE(CCliSubList::PriceNoInUse("w2"));
    EXPECT_FALSE(CCliSubList::PriceNoInUse("W3"));

    CCliSubList::DeleteBySubNo("00000001_1");
    EXPECT_EQ(fresh.Count("select * from CliSub"), 0);
    EXPECT_FALSE(CCliSubList::ExistsForMeterNo("00000001"));
    EXPECT_FALSE(ThrownText([] { CCliSubList::DeleteBySubNo("00000001_1"); }).isEmpty())
        << "nothing to delete is a failure";
}

TEST_F(SubMeterRecordTest, ReadingIsWrittenOnTheRowWithoutANewVersion)
{
    AddSub("1");
    CCliSubList list;
    list.LoadCurrentByMeterNo("00000001");
    CCliSub* sub = list.At(0);
    SubReading reading;
    reading.m_WrtIndex = 100000005;
    reading.m_WrtNum = 4;
    reading.m_ThisPulses = 250;
    reading.m_LastPulses = 100;
    reading.m_ThisRead = 25.5;
    reading.m_LastRead = 10.25;
    reading.m_ReadDate = QDateTime(QDate(2026, 12, 10), QTime(15, 45, 0));
    sub->UpdateReading(reading);
    EXPECT_EQ(fresh.Value("select WrtIndex || '/' || WrtNum || '/' || ThisPulses || '/' || LastPulses || '/' || "
                          "ThisRead || '/' || LastRead || '/' || ReadDate from CliSub"),
              "100000005/4/250/100/25.5/10.25/2026-12-10");
    EXPECT_EQ(fresh.Count("select * from CliSub"), 1);
    EXPECT_EQ(sub->GetThisPulses(), 250);
    EXPECT_EQ(sub->GetState(), CKvPersistance::StateStored);

    db().Execute("delete from CliSub", QString());
    EXPECT_EQ(ThrownText([&] { sub->UpdateReading(reading); }), "向数据库更新附表时发生错误！");
}

TEST_F(SubMeterRecordTest, EqualityComparesOnlyTheSettings)
{
    const struct
    {
        const char* what;
        void (*change)(CCliSub&);
        bool equal;
    } cases[] = {
        {"readings, initial values and dates",
         [](CCliSub& s) {
             s.SetThisPulses(5);
             s.SetInitRead(3);
             s.SetBeginDate(Day("2020-01-01"));
             s.SetDescrip("x");
         },
         true},
        {"level", [](CCliSub& s) { s.SetMeterLevel("三级"); }, false},
        {"parent meter", [](CCliSub& s) { s.SetSuperNo("9"); }, false},
        {"price", [](CCliSub& s) { s.SetPriceNo("W2"); }, false},
        {"pulse constant", [](CCliSub& s) { s.SetSubConst(100); }, false},
        {"read mode", [](CCliSub& s) { s.SetReadMode("编程器"); }, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        CCliSub a, b;
        c.change(b);
        EXPECT_EQ(a.IsEqual(b), c.equal);
    }
}
