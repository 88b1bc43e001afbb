// One round trip per handheld row: a distinct value in every column, each read
// back by its name from the stored row and from the loaded record, so that two
// columns swapped in an insert, update or load fail here.

#include "CAdoConnection.h"
#include "CHandRead.h"
#include "CHandReadBase.h"
#include "CHandReadRaw.h"
#include "CProgRead.h"
#include "KvFreshDatabase.h"

#include <gtest/gtest.h>

namespace {

using Columns = QMap<QString, QString>;

const QDateTime kFirst(QDate(2026, 1, 2), QTime(3, 4, 5));
const QDateTime kSecond(QDate(2025, 6, 7), QTime(8, 9, 10));

Columns Fields(const CHandReadBase& r)
{
    return {{"MeterNo", r.GetMeterNo()},
            {"LastRead", FieldText(r.GetLastRead())},
            {"ThisRead", FieldText(r.GetThisRead())},
            {"LastReadTime", FieldText(r.GetLastReadTime())},
            {"ThisReadTime", FieldText(r.GetThisReadTime())}};
}

Columns Fields(const CHandRead& r)
{
    return {{"ReadIndex", FieldText(r.GetReadIndex())},      {"MeterNo", r.GetMeterNo()},
            {"CliPreIndex", FieldText(r.GetCliPreIndex())},  {"LastRead", FieldText(r.GetLastRead())},
            {"ThisRead", FieldText(r.GetThisRead())},        {"Mul", FieldText(r.GetMul())},
            {"RealUse", FieldText(r.GetRealUse())},          {"LastReadTime", FieldText(r.GetLastReadTime())},
            {"ThisReadTime", FieldText(r.GetThisReadTime())}};
}

Columns Fields(const CHandReadRaw& r)
{
    return {{"RawIndex", FieldText(r.GetRawIndex())},     {"MeterNo", r.GetMeterNo()},
            {"AccuBuy", FieldText(r.GetAccuBuy())},       {"AccuUse", FieldText(r.GetAccuUse())},
            {"AccuRemain", FieldText(r.GetAccuRemain())}, {"ReadTime", FieldText(r.GetReadTime())}};
}

Columns Fields(const CProgRead& r)
{
    return {{"ProgIndex", FieldText(r.GetProgIndex())},
            {"SubNo", r.GetSubNo()},
            {"ReadPulses", FieldText(r.GetReadPulses())},
            {"ReadDate", FieldText(r.GetReadDate())}};
}

using PinnedColumnsTest = FreshDatabaseTest;

} // namespace

TEST_F(PinnedColumnsTest, ReadingBaseInsertedAndUpdated)
{
    CHandReadBase base;
    base.SetMeterNo("M1");
    base.SetLastRead(2.25);
    base.SetThisRead(3.5);
    base.SetLastReadTime(kFirst);
    base.SetThisReadTime(kSecond);
    base.Save();
    CHandReadBaseList list;
    ASSERT_NE(list.LoadByMeterNo("M1"), nullptr);
    EXPECT_EQ(fresh.Row("select * from HandReadBase"), Fields(base));
    EXPECT_EQ(Fields(*list.At(0)), Fields(base));

    base.SetLastRead(12.25);
    base.SetThisRead(13.5);
    base.SetLastReadTime(kSecond.addDays(1));
    base.SetThisReadTime(kFirst.addDays(1));
    base.SetState(CKvPersistance::StateChanged);
    base.Save();
    EXPECT_EQ(fresh.Row("select * from HandReadBase"), Fields(base));
}

TEST_F(PinnedColumnsTest, ArchivedReading)
{
    CHandRead read;
    read.SetMeterNo("M2");
    read.SetCliPreIndex(3);
    read.SetLastRead(4.25);
    read.SetThisRead(5.5);
    read.SetMul(6);
    read.SetRealUse(7.75);
    read.SetLastReadTime(kFirst);
    read.SetThisReadTime(kSecond);
    read.Save();
    EXPECT_EQ(fresh.Row("select * from HandRead"), Fields(read));
}

TEST_F(PinnedColumnsTest, StagedReadingAndPulseReading)
{
    CHandReadRaw raw;
    raw.SetMeterNo("M2");
    raw.SetAccuBuy(3);
    raw.SetAccuUse(4.25);
    raw.SetAccuRemain(5.5);
    raw.SetReadTime(kFirst);
    raw.Save();
    CHandReadRawList raws;
    ASSERT_EQ(raws.LoadAll().size(), 1);
    const Columns stored = fresh.Row("select * from HandReadRaw");
    EXPECT_EQ(Fields(*raws.At(0)), stored);
    Columns written = Fields(raw);
    written["RawIndex"] = stored.value("RawIndex"); // numbered by the database
    EXPECT_EQ(stored, written);

    CProgRead prog;
    prog.SetSubNo("S2");
    prog.SetReadPulses(3);
    prog.SetReadDate(QDateTime(kSecond.date(), QTime(0, 0))); // a day, stored without time
    prog.Save();
    CProgReadList progs;
    ASSERT_EQ(progs.LoadBySubNo("S2").size(), 1);
    const Columns progRow = fresh.Row("select * from ProgRead");
    EXPECT_EQ(Fields(*progs.At(0)), progRow);
    Columns progWritten = Fields(prog);
    progWritten["ProgIndex"] = progRow.value("ProgIndex");
    EXPECT_EQ(progRow, progWritten);
}
