#include "CAdoConnection.h"
#include "CHandRead.h"
#include "CHandReadBase.h"
#include "CHandReadRaw.h"
#include "CKvException.h"
#include "CProgRead.h"
#include "KvFreshDatabase.h"
#include "KvSql.h"
#include "SysGlobals.h"

#include <gtest/gtest.h>

namespace {

void SaveProgRead(const QString& subNo, int pulses, QDate date)
{
    CProgRead read;
    read.SetSubNo(subNo);
    read.SetReadPulses(pulses);
    read.SetReadDate(QDateTime(date, QTime(0, 0)));
    read.Save();
}

} // namespace

using ReadingRecordTest = FreshDatabaseTest;

TEST_F(ReadingRecordTest, ANewReadingBaseIsNeverReadAndMovesOnByUpdate)
{
    CHandReadBase base;
    base.SetMeterNo("00001234");
    EXPECT_EQ(base.GetLastReadTime(), GetServerTime());
    base.Save();
    EXPECT_TRUE(CHandReadBaseList::ExistsMeterNo("00001234"));
    EXPECT_FALSE(CHandReadBaseList::ExistsMeterNo("00001235"));

    CHandReadBaseList list;
    EXPECT_EQ(list.LoadByMeterNo("00001235"), nullptr);
    CHandReadBase* loaded = list.LoadByMeterNo("00001234");
    ASSERT_NE(loaded, nullptr);
    EXPECT_EQ(loaded->GetLastRead(), -1.0);
    EXPECT_EQ(loaded->GetThisRead(), -1.0);
    EXPECT_EQ(loaded->GetThisReadTime(), GetServerTime());

    loaded->SetLastRead(loaded->GetThisRead());
    loaded->SetThisRead(234567.8);
    loaded->SetThisReadTime(QDateTime(QDate(2026, 12, 11), QTime(7, 30)));
    loaded->SetState(CKvPersistance::StateChanged);
    loaded->Save();
    loaded = list.LoadByMeterNo("00001234");
    EXPECT_DOUBLE_EQ(loaded->GetThisRead(), 234567.8);
    EXPECT_EQ(loaded->GetThisReadTime(), QDateTime(QDate(2026, 12, 11), QTime(7, 30)));

    CHandReadBaseList::DeleteByMeterNo("00001234");
    EXPECT_FALSE(CHandReadBaseList::ExistsMeterNo("00001234"));
}

TEST_F(ReadingRecordTest, ArchivedReadingsTakeConsecutiveKeysFromTheCounter)
{
    for (const char* meterNo : {"00001234", "00001234", "00005678"}) {
        CHandRead read;
        EXPECT_EQ(std::make_tuple(read.GetReadIndex(), read.GetCliPreIndex(), read.GetMul()), std::make_tuple(0, 0, 1));
        read.SetMeterNo(meterNo);
        read.SetLastRead(10);
        read.SetThisRead(12.5);
        read.SetMul(40);
        read.SetRealUse(100);
        read.Save();
    }
    EXPECT_EQ(fresh.Value("select group_concat(ReadIndex) from (select ReadIndex from HandRead order by 1)"), "1,2,3");
    EXPECT_EQ(fresh.Value("select HandReadIndex from SysPara"), "4");
    EXPECT_EQ(fresh.Value("select Mul || ':' || RealUse || ':' || ThisReadTime from HandRead where ReadIndex = 3"),
              "40:100.0:2026-12-10 09:30:00");

    CHandRead::DeleteByMeterNo("00001234");
    EXPECT_EQ(fresh.Value("select group_concat(ReadIndex) from HandRead"), "3");
}

TEST_F(ReadingRecordTest, StagedReadingsAreNumberedByTheDatabase)
{
    CHandReadRaw raw;
    raw.SetMeterNo("00001234");
    raw.SetAccuBuy(500);
    raw.SetAccuUse(321.5);
    raw.SetAccuRemain(178.5);
    raw.SetReadTime(QDateTime(QDate(2007, 3, 15), QTime(9, 45)));
    raw.Save();
    raw.SetState(CKvPersistance::StateNew);
    raw.Save();

    CHandReadRawList list;
    list.LoadAll();
    ASSERT_EQ(list.GetCount(), 2);
    EXPECT_EQ(list.At(0)->GetRawIndex(), 1);
    EXPECT_EQ(list.At(1)->GetRawIndex(), 2);
    EXPECT_EQ(list.At(0)->GetReadTime(), QDateTime(QDate(2007, 3, 15), QTime(9, 45)));
    EXPECT_DOUBLE_EQ(list.At(0)->GetAccuUse(), 321.5);

    list.At(0)->SetState(CKvPersistance::StateDelete);
    list.At(0)->Save();
    EXPECT_EQ(fresh.Value("select group_concat(RawIndex) from HandReadRaw"), "2");
}

TEST_F(ReadingRecordTest, PulseReadingsLoadOldestFirstAndRemoveOnlyTheirOwn)
{
    SaveProgRead("00001234_1", 120, QDate(2008, 5, 10));
    SaveProgRead("00001234_1", 100, QDate(2008, 5, 1));
    SaveProgRead("00001234_2", 7, QDate(2008, 5, 3));
    EXPECT_EQ(fresh.Value("select ReadDate from ProgRead where ProgIndex = 1"), "2008-05-10");

    CProgReadList list;
    CProgReadList other;
    list.LoadBySubNo("00001234_1");
    ASSERT_EQ(list.GetCount(), 2);
    EXPECT_EQ(list.At(0)->GetReadPulses(), 100);
    EXPECT_EQ(list.At(1)->GetReadDate(), QDateTime(QDate(2008, 5, 10), QTime(0, 0)));
    EXPECT_EQ(list.At(0)->GetClassName(), "CKvPersistance");

    CProgRead* last = list.At(1);
    EXPECT_EQ(ThrownText([&] { other.Remove(last); }), "从数据库删除抄表数发生位置错误！");
    EXPECT_EQ(fresh.Count("select * from ProgRead"), 3);

    last->SetReadPulses(130);
    last->SetState(CKvPersistance::StateChanged);
    last->Save();
    EXPECT_EQ(fresh.Value("select ReadPulses from ProgRead where ProgIndex = 1"), "130");

    // A failed delete leaves the reading in the list.
    db().Execute("create trigger Keep before delete on ProgRead begin select raise(abort, 'no'); end", QString());
    EXPECT_NE(ThrownText([&] { list.Remove(last); }), "");
    EXPECT_EQ(list.GetCount(), 2);
    db().Execute("drop trigger Keep", QString());

    list.Remove(last);
    EXPECT_EQ(list.GetCount(), 1);
    EXPECT_EQ(fresh.Value("select group_concat(ProgIndex) from (select ProgIndex from ProgRead order by 1)"), "2,3");

    CProgReadList::DeleteBySubNo("00001234_1");
    EXPECT_EQ(fresh.Value("select group_concat(SubNo) from ProgRead"), "00001234_2");
}
