#include "ArchiveTestData.h"
#include "CCliSub.h"
#include "CProgRead.h"
#include "CPulseReadingArchive.h"
#include "CSubSettingArchive.h"
#include "KvFreshDatabase.h"
#include "KvMessage.h"
#include "SubRawTestData.h"

#include <functional>
#include <gtest/gtest.h>

namespace {

class SubArchiveTest : public FreshDatabaseTest
{
protected:
    void addReading(const QString& subNo, int pulses, const QDate& date)
    {
        CProgRead read;
        read.SetSubNo(subNo);
        read.SetReadPulses(pulses);
        read.SetReadDate(QDateTime(date, QTime()));
        read.Save();
    }
    QString readings(const QString& subNo)
    {
        return fresh.Value(QStringLiteral("select group_concat(ReadPulses || '@' || ReadDate, ' ') from (select * "
                                          "from ProgRead where SubNo = '%1' order by ProgIndex)")
                               .arg(subNo));
    }
    KvSubSetting setting(const QString& subX, const QString& priceNo)
    {
        KvSubSetting s;
        s.clientNo = "C1";
        s.meterNo = "00001234";
        s.subX = subX;
        s.subNo = "00001234_" + subX;
        s.level = "三级";
        s.superNo = "00001234_1";
        s.priceNo = priceNo;
        s.subConst = "100";
        s.readMode = "编程器";
        s.initPulses = "17";
        s.baseRead = "3.45";
        s.readDate = QDateTime(QDate(2008, 5, 12), QTime());
        return s;
    }
    QString subMeters()
    {
        return fresh.Value(
            "select group_concat(SubNo || '/' || PriceNo || '/' || EndDate, ' ') from (select * from CliSub order "
            "by CliSubIndex)");
    }
};

} // namespace

TEST_F(SubArchiveTest, PulseReadingsAreCheckedAgainstTheLatest)
{
    const QDate may1(2008, 5, 1), may10(2008, 5, 10);
    const struct
    {
        const char* name;
        int lastPulses; // -1: no earlier reading
        QDate lastDate;
        int newPulses;
        QDate newDate;
        int answer; // to a replacement question
        CPulseReadingArchive::Result result;
        const char* message; // the end of the one message, or ""
        const char* stored;
    } cases[] = {
        {"first", -1, {}, 120, may10, 0, CPulseReadingArchive::Written, "", "120@2008-05-10"},
        {"more and later", 100, may1, 120, may10, 0, CPulseReadingArchive::Written, "",
         "100@2008-05-01 120@2008-05-10"},
        {"equal pulses, replaced", 100, may1, 100, may10, IDYES, CPulseReadingArchive::Written,
         "用本次抄数替换上次抄数吗？", "100@2008-05-10"},
        {"equal date, kept", 100, may10, 120, may10, IDNO, CPulseReadingArchive::Declined, "用本次抄数替换上次抄数吗？",
         "100@2008-05-10"},
        {"fewer pulses", 120, may1, 100, may10, 0, CPulseReadingArchive::Wrong, "数据有误！", "120@2008-05-01"},
        {"earlier date", 100, may10, 120, may1, 0, CPulseReadingArchive::Wrong, "数据有误！", "100@2008-05-10"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        db().Execute("delete from ProgRead", QString());
        db().Execute("delete from SubRaw", QString());
        sink.Clear();
        if (c.lastPulses >= 0)
            addReading("00001234_1", c.lastPulses, c.lastDate);
        StageSubRaw("00001234", "1", c.newPulses, 0, c.newDate);
        if (c.answer)
            sink.QueueAnswer(c.answer);
        CSubRawList staged;
        staged.LoadAll();
        EXPECT_EQ(CPulseReadingArchive::ArchiveRow(staged, staged.At(0), nullptr), c.result);
        EXPECT_EQ(readings("00001234_1"), c.stored);
        const bool written = c.result == CPulseReadingArchive::Written;
        EXPECT_EQ(fresh.Count("select * from SubRaw"), written ? 0 : 1);
        EXPECT_EQ(staged.GetCount(), written ? 0 : 1);
        if (*c.message) {
            ASSERT_EQ(sink.Texts().size(), 1);
            EXPECT_TRUE(sink.Texts()[0].endsWith(QString::fromUtf8(c.message))) << sink.Texts()[0].toStdString();
        } else {
            EXPECT_TRUE(sink.Texts().isEmpty());
        }
    }
    // The four figures of the comparison.
    EXPECT_EQ(sink.Texts()[0], "上次脉冲数为：100，上次抄表时间是：2008-05-10\n\n本次脉冲数为：120，本次抄表时间是："
                               "2008-05-01\n\n数据有误！");
}

TEST_F(SubArchiveTest, AFailedReplacementKeepsTheLatestReading)
{
    addReading("00001234_1", 100, QDate(2008, 5, 1));
    StageSubRaw("00001234", "1", 100, 0, QDate(2008, 5, 10));
    db().Execute("create trigger Refuse before insert on ProgRead begin select raise(abort, 'refused'); end",
                 QString());
    sink.QueueAnswer(IDYES);
    CSubRawList staged;
    staged.LoadAll();
    EXPECT_FALSE(ThrownText([&] { CPulseReadingArchive::ArchiveRow(staged, staged.At(0), nullptr); }).isEmpty());
    EXPECT_EQ(readings("00001234_1"), "100@2008-05-01");
    EXPECT_EQ(fresh.Count("select * from SubRaw"), 1);
}

TEST_F(SubArchiveTest, SettingsBecomeASubMeterOrANewVersionOfIt)
{
    StageSubRaw("00001234", "2", 17, 3.45f, QDate(2008, 5, 12));
    StageSubRaw("00001234", "2", 40, 5.0f, QDate(2008, 6, 1));
    CSubRawList staged;
    staged.LoadAll();
    CCliSubList current;
    current.LoadCurrentByMeterNo("00001234");
    EXPECT_TRUE(CSubSettingArchive::WriteRow(staged, staged.At(0), current, setting("2", "01"), nullptr));
    EXPECT_EQ(fresh.Value("select ClientNo || '|' || MeterNo || '|' || SubX || '|' || SubNo || '|' || MeterLevel || "
                          "'|' || SuperNo || '|' || PriceNo || '|' || SubConst || '|' || ReadMode || '|' || "
                          "InitPulses || '|' || InitRead || '|' || ThisPulses || '|' || LastPulses || '|' || "
                          "ThisRead || '|' || LastRead || '|' || ReadDate || '|' || WrtNum from CliSub"),
              "C1|00001234|2|00001234_2|三级|00001234_1|01|100|编程器|17|3.45|17|17|3.45|3.45|2008-05-12|-1");
    EXPECT_EQ(current.GetCount(), 1);
    EXPECT_EQ(staged.GetCount(), 1);

    // The same index again: No keeps both, Yes closes the old version.
    current.LoadCurrentByMeterNo("00001234");
    sink.QueueAnswer(IDNO);
    EXPECT_FALSE(CSubSettingArchive::WriteRow(staged, staged.At(0), current, setting("2", "02"), nullptr));
    EXPECT_EQ(subMeters(), "00001234_2/01/2050-12-31");
    EXPECT_EQ(fresh.Count("select * from SubRaw"), 1);
    sink.QueueAnswer(IDYES);
    EXPECT_TRUE(CSubSettingArchive::WriteRow(staged, staged.At(0), current, setting("2", "02"), nullptr));
    EXPECT_EQ(subMeters(), "00001234_2/01/2026-12-09 00001234_2/02/2050-12-31");
    EXPECT_EQ(fresh.Count("select * from SubRaw"), 0);
    EXPECT_EQ(sink.Texts(), QStringList(2, "附表编号重复！是否用新数据更新旧数据？"));
}

TEST_F(SubArchiveTest, AFailedSettingsWriteKeepsTheStagedRow)
{
    StageSubRaw("00001234", "3", 17, 3.45f, QDate(2008, 5, 12));
    db().Execute("create trigger Refuse before delete on SubRaw begin select raise(abort, 'refused'); end", QString());
    CSubRawList staged;
    staged.LoadAll();
    CCliSubList current;
    EXPECT_FALSE(ThrownText([&] {
                     CSubSettingArchive::WriteRow(staged, staged.At(0), current, setting("3", "01"), nullptr);
                 }).isEmpty());
    EXPECT_EQ(fresh.Count("select * from CliSub"), 0);
    EXPECT_EQ(fresh.Count("select * from SubRaw"), 1);
}

TEST_F(SubArchiveTest, CardNumbersStandForTheMeterOfTheCard)
{
    AddCardWritten(db(), "00001234", "90001234");
    EXPECT_EQ(CSubSettingArchive::MeterNoOf("90001234"), "00001234");
    EXPECT_EQ(CSubSettingArchive::SubXOf("90001234", "1"), "5");
    EXPECT_EQ(CSubSettingArchive::MeterNoOf("99999999"), "");
    EXPECT_EQ(CSubSettingArchive::MeterNoOf("00001234"), "00001234");
    EXPECT_EQ(CSubSettingArchive::SubXOf("00001234", "1"), "1");
}

TEST_F(SubArchiveTest, AFailedCommitLeavesTheStagedRecordListed)
{
    // Deleting a staged row leaves a row that breaks a deferred key, so the
    // commit itself fails, after every statement has run.
    for (const char* sql : {"PRAGMA foreign_keys = ON", "create table Keeper(Id integer primary key)",
                            "create table Orphan(Ref integer references Keeper(Id) deferrable initially deferred)"})
        db().Execute(QString::fromLatin1(sql), QString());
    const struct
    {
        const char* name;
        std::function<void(CSubRawList&)> archive;
        const char* written;
    } cases[] = {
        {"settings",
         [this](CSubRawList& staged) {
             CCliSubList current;
             CSubSettingArchive::WriteRow(staged, staged.At(0), current, setting("4", "01"), nullptr);
         },
         "select * from CliSub"},
        {"pulse reading", [](CSubRawList& staged) { CPulseReadingArchive::ArchiveRow(staged, staged.At(0), nullptr); },
         "select * from ProgRead"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        db().Execute("delete from SubRaw", QString());
        StageSubRaw("00001234", "4", 17, 3.45, QDate(2008, 5, 12));
        CSubRawList staged;
        staged.LoadAll();
        const CSubRaw* before = staged.At(0);
        db().Execute("create trigger LeaveOrphan after delete on SubRaw begin insert into Orphan values(-1); end",
                     QString());
        EXPECT_EQ(ThrownText([&] { c.archive(staged); }), QStringLiteral("提交事务时发生错误！"));
        db().Execute("drop trigger LeaveOrphan", QString());
        EXPECT_EQ(fresh.Count("select * from Orphan"), 0);
        EXPECT_EQ(fresh.Count(c.written), 0);
        EXPECT_EQ(fresh.Count("select * from SubRaw"), 1);
        ASSERT_EQ(staged.GetCount(), 1);
        EXPECT_EQ(staged.At(0), before);
        EXPECT_EQ(staged.At(0)->GetSubX(), "4");
    }
    db().Execute("PRAGMA foreign_keys = OFF", QString());
}
