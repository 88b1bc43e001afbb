#include "CHandRead.h"
#include "CHandReadArchive.h"
#include "KvFreshDatabase.h"
#include "ReadingTestData.h"

#include <gtest/gtest.h>

namespace {

class HandReadArchiveTest : public FreshDatabaseTest
{
protected:
    HandReadArchiveTest() { AddArchivePrices(db()); }

    // Archives the first staged reading.
    bool archiveFirst()
    {
        staged.LoadAll();
        return CHandReadArchive::ArchiveRow(staged, staged.At(0), nullptr);
    }
    int count(const QString& sql) { return fresh.Count(sql); }
    QString value(const QString& sql) { return fresh.Value(sql); }
    // The meter's base row as "last/this lastTime/thisTime".
    QString baseRow(const QString& meterNo)
    {
        return value(QStringLiteral("select LastRead || '/' || ThisRead || ' ' || LastReadTime || '/' || "
                                    "ThisReadTime from HandReadBase where MeterNo = '%1'")
                         .arg(meterNo));
    }

    CHandReadRawList staged;
};

} // namespace

TEST_F(HandReadArchiveTest, MovesTheBaseRowOnAndRecordsTheConsumption)
{
    AddReadMeter(db(), QStringLiteral("00001001"), 120.5, 2);
    StageReading(QStringLiteral("00001001"), 150.0);
    ASSERT_TRUE(archiveFirst());
    EXPECT_TRUE(sink.Texts().isEmpty());
    EXPECT_EQ(staged.GetCount(), 0);
    EXPECT_EQ(count(QStringLiteral("select * from HandReadRaw")), 0);
    EXPECT_EQ(baseRow(QStringLiteral("00001001")),
              QStringLiteral("120.5/150.0 2026-11-10 09:30:00/2026-12-09 10:45:00"));
    EXPECT_EQ(value(QStringLiteral("select MeterNo || ' ' || CliPreIndex || ' ' || LastRead || ' ' || ThisRead || ' ' "
                                   "|| Mul || ' ' || RealUse || ' ' || LastReadTime || ' ' || ThisReadTime "
                                   "from HandRead")),
              QStringLiteral("00001001 %1 120.5 150.0 2 59.0 2026-11-10 09:30:00 2026-12-09 10:45:00")
                  .arg(value(QStringLiteral("select CliPreIndex from CliPre where MeterNo = '00001001'"))));
    const int first = value(QStringLiteral("select ReadIndex from HandRead")).toInt();

    // The same reading again: archived with no consumption, under the next key.
    StageReading(QStringLiteral("00001001"), 150.0, QDateTime(QDate(2026, 12, 10), QTime(8, 0)));
    ASSERT_TRUE(archiveFirst());
    EXPECT_EQ(value(QStringLiteral("select ReadIndex || ' ' || RealUse from HandRead order by ReadIndex desc")),
              QStringLiteral("%1 0.0").arg(first + 1));
    EXPECT_EQ(baseRow(QStringLiteral("00001001")),
              QStringLiteral("150.0/150.0 2026-12-09 10:45:00/2026-12-10 08:00:00"));
}

TEST_F(HandReadArchiveTest, AReadingThatFailsACheckStaysStagedAndNothingIsWritten)
{
    AddReadMeter(db(), QStringLiteral("00000002"), 100, 1, QStringLiteral("M7"));  // no such type
    AddArchiveMeter(db(), QStringLiteral("C003"), QStringLiteral("00000003"), {}); // no base row
    AddReadMeter(db(), QStringLiteral("00000004"), -1);
    AddReadMeter(db(), QStringLiteral("00000005"), -2);
    AddReadMeter(db(), QStringLiteral("00000006"), 200);
    AddReadMeter(db(), QStringLiteral("00000007"), -0.4);
    const struct
    {
        const char* meterNo;
        const char* message; // empty: archived
    } cases[] = {
        {"00000001", "没有表号为00000001的电表档案！"},
        {"00000002", "表号为00000002的电表类型错误！"},
        {"00000003", "表号为00000003的电表没有抄表档案"},
        {"00000004", "表号为00000004的电表的上次抄表量小于0！可能是没有对电表开户。"},
        {"00000005", "表号为00000005的电表的上次抄表量小于0！可能是没有对电表开户。"},
        {"00000006", "表号为00000006的电表的本次抄表量少于上次抄表量！"},
        {"00000007", ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.meterNo);
        sink.Clear();
        db().Execute(QStringLiteral("delete from HandReadRaw"), QString());
        const QString meterNo = QString::fromLatin1(c.meterNo);
        const QString before = baseRow(meterNo);
        StageReading(meterNo, 199.5);
        const bool archived = archiveFirst();
        EXPECT_EQ(archived, !*c.message);
        EXPECT_EQ(sink.Texts(), *c.message ? QStringList{QString::fromUtf8(c.message)} : QStringList());
        EXPECT_EQ(count(QStringLiteral("select * from HandReadRaw")), archived ? 0 : 1);
        EXPECT_EQ(staged.GetCount(), archived ? 0 : 1);
        EXPECT_EQ(count(QStringLiteral("select * from HandRead where MeterNo = '%1'").arg(meterNo)), archived ? 1 : 0);
        if (!archived) {
            EXPECT_EQ(baseRow(meterNo), before);
        }
    }
    // A base row at -0.4 counts as zero read.
    EXPECT_NEAR(value(QStringLiteral("select RealUse from HandRead")).toDouble(), 199.9, 1e-4);
}

TEST_F(HandReadArchiveTest, AFailedWriteLeavesEveryRowAsItWas)
{
    AddReadMeter(db(), QStringLiteral("00001001"), 120.5);
    const QString before = baseRow(QStringLiteral("00001001"));
    const char* const triggers[] = {
        "create trigger Refuse before insert on HandRead begin select raise(abort, ''); end",
        // The staged row's deletion belongs to the same transaction.
        "create trigger Refuse before delete on HandReadRaw begin select raise(abort, ''); end",
    };
    for (const char* trigger : triggers) {
        SCOPED_TRACE(trigger);
        db().Execute(QStringLiteral("delete from HandReadRaw"), QString());
        StageReading(QStringLiteral("00001001"), 150.0);
        db().Execute(QString::fromLatin1(trigger), QString());
        const QString text = ThrownText([&] { archiveFirst(); });
        EXPECT_FALSE(text.trimmed().isEmpty());
        EXPECT_EQ(baseRow(QStringLiteral("00001001")), before);
        EXPECT_EQ(count(QStringLiteral("select * from HandRead")), 0);
        EXPECT_EQ(count(QStringLiteral("select * from HandReadRaw")), 1);
        EXPECT_EQ(staged.GetCount(), 1);
        db().Execute(QStringLiteral("drop trigger Refuse"), QString());
    }
}

TEST_F(HandReadArchiveTest, AReadingArchivedAtAnotherCounterIsNotArchivedAgain)
{
    AddReadMeter(db(), QStringLiteral("00001001"), 120.5);
    StageReading(QStringLiteral("00001001"), 150.0);
    CHandReadRawList here, there;
    here.LoadAll();
    there.LoadAll();
    ASSERT_TRUE(CHandReadArchive::ArchiveRow(there, there.At(0), nullptr));
    const QString after = baseRow(QStringLiteral("00001001"));
    EXPECT_EQ(ThrownText([&] { CHandReadArchive::ArchiveRow(here, here.At(0), nullptr); }),
              QStringLiteral("上传的抄表记录已不存在，可能已在其他工作站归档或删除！"));
    // No second reading with no use, and the base row keeps the first one.
    EXPECT_EQ(value(QStringLiteral("select group_concat(RealUse) from HandRead")), QStringLiteral("29.5"));
    EXPECT_EQ(baseRow(QStringLiteral("00001001")), after);
    EXPECT_EQ(here.GetCount(), 1);
}

TEST_F(HandReadArchiveTest, LargeReadingsKeepTheirDecimals)
{
    AddReadMeter(db(), QStringLiteral("00001001"), 190120.35, 3);
    StageReading(QStringLiteral("00001001"), 200100.35);
    ASSERT_TRUE(archiveFirst());
    EXPECT_EQ(value(QStringLiteral("select LastRead || '/' || ThisRead from HandRead")),
              QStringLiteral("190120.35/200100.35"));
    EXPECT_NEAR(value(QStringLiteral("select RealUse from HandRead")).toDouble(), 29940.0, 1e-6);
    EXPECT_EQ(value(QStringLiteral("select ThisRead from HandReadBase")), QStringLiteral("200100.35"));
}
