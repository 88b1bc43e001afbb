#include "CAdoConnection.h"
#include "CReadDataImport.h"
#include "CSubRaw.h"
#include "KvFreshDatabase.h"

#include <cstring>
#include <gtest/gtest.h>
#include <vector>

namespace {

// A record with its texts copied into their fields as they stand (a text
// that fills its field keeps no terminator).
ReadDataRecord Record(const char* meterNo, const char* subX, const char* date, int32_t pulses, int32_t baseRead)
{
    ReadDataRecord record;
    std::memset(&record, 0, sizeof record);
    std::memcpy(record.meterNo, meterNo, std::min(sizeof record.meterNo, std::strlen(meterNo)));
    std::memcpy(record.subX, subX, std::min(sizeof record.subX, std::strlen(subX)));
    std::memcpy(record.readDate, date, std::min(sizeof record.readDate, std::strlen(date)));
    record.pulses = pulses;
    record.baseRead = baseRead;
    return record;
}

// What the fake library hands over, and how often its array was freed.
struct FakeLibrary
{
    std::vector<ReadDataRecord> records;
    ReadDataRecord* array = nullptr;
    int32_t count = 0;
    int frees = 0;
};
FakeLibrary* g_fake = nullptr;

int FakeGet(ReadDataRecord** records, int32_t* count)
{
    *records = g_fake->array;
    *count = g_fake->count;
    return 0;
}

int FakeFree(ReadDataRecord** records)
{
    ++g_fake->frees;
    *records = nullptr;
    return 0;
}

class ProgrammerUploadTest : public FreshDatabaseTest
{
protected:
    ProgrammerUploadTest() { g_fake = &fake; }
    ~ProgrammerUploadTest() override { g_fake = nullptr; }

    void hand(std::vector<ReadDataRecord> records)
    {
        fake.records = std::move(records);
        fake.array = fake.records.data();
        fake.count = static_cast<int32_t>(fake.records.size());
    }
    QString stagedRows()
    {
        return fresh.Value("select group_concat(MeterNo || '/' || SubX || '/' || ReadPulses || '/' || BaseRead || '/' "
                           "|| ReadDate, ' ') from (select * from SubRaw order by RawIndex)");
    }

    FakeLibrary fake;
};

} // namespace

TEST(ReadDataDecode, TextsDatesAndFigures)
{
    const struct
    {
        ReadDataRecord record;
        const char* meterNo;
        const char* subX;
        const char* date; // "" when invalid
        int pulses;
        float baseRead;
    } cases[] = {
        {Record("1234", "2", "08-05-12", 17, 345), "00001234", "2", "2008-05-12", 17, 3.45f},
        {Record("87654321", "1", "08/05/12", -3, 0), "87654321", "1", "2008-05-12", -3, 0.0f},
        // Full fields carry no terminator: read within them.
        {Record("123456789", "12", "08.05.12X", 0, 100), "123456789", "12", "", 0, 1.0f},
        {Record("91234567", "3", "08-13-40", 5, 1), "91234567", "3", "", 5, 0.01f},
        {Record("1", "", "", 0, -250), "00000001", "", "", 0, -2.5f},
    };
    for (const auto& c : cases) {
        const KvReadData data = CReadDataImport::Decode(c.record);
        SCOPED_TRACE(c.meterNo);
        EXPECT_EQ(data.meterNo, QString::fromLatin1(c.meterNo));
        EXPECT_EQ(data.subX, QString::fromLatin1(c.subX));
        EXPECT_EQ(data.readDate.isValid() ? data.readDate.toString("yyyy-MM-dd") : QString(), c.date);
        EXPECT_EQ(data.pulses, c.pulses);
        EXPECT_FLOAT_EQ(data.baseRead, c.baseRead);
    }
}

TEST_F(ProgrammerUploadTest, StagesEveryRecordAndDropsInvalidDates)
{
    for (const auto kind : {CReadDataImport::InitialValues, CReadDataImport::Readings}) {
        db().Execute(QStringLiteral("delete from SubRaw"), QString());
        hand({Record("1234", "1", "08-05-12", 10, 345), Record("1234", "2", "08-02-30", 20, 0),
              Record("87654321", "3", "09/01/02", 30, 1000)});
        QStringList dropped;
        EXPECT_EQ(CReadDataImport::ImportWith(FakeGet, FakeFree, kind, &dropped), CReadDataImport::Imported);
        EXPECT_EQ(stagedRows(), "00001234/1/10/3.45/2008-05-12 87654321/3/30/10.0/2009-01-02");
        // Only the readings upload names what it left out.
        EXPECT_EQ(dropped, kind == CReadDataImport::Readings ? QStringList{"00001234_2"} : QStringList());
    }
    EXPECT_EQ(fake.frees, 2);
}

TEST_F(ProgrammerUploadTest, UntrustedArraysGiveNoRecordsAndAreStillFreed)
{
    hand({Record("1234", "1", "08-05-12", 10, 0)});
    fake.count = -1;
    EXPECT_EQ(CReadDataImport::ImportWith(FakeGet, FakeFree, CReadDataImport::Readings, nullptr),
              CReadDataImport::Imported);
    fake.array = nullptr;
    fake.count = 5;
    EXPECT_EQ(CReadDataImport::ImportWith(FakeGet, FakeFree, CReadDataImport::Readings, nullptr),
              CReadDataImport::Imported);
    hand({});
    EXPECT_EQ(CReadDataImport::ImportWith(FakeGet, FakeFree, CReadDataImport::Readings, nullptr),
              CReadDataImport::Imported);
    EXPECT_EQ(fake.frees, 3);
    EXPECT_EQ(fresh.Count("select * from SubRaw"), 0);
}

TEST_F(ProgrammerUploadTest, MissingExportsAndAFailingInsert)
{
    hand({Record("1234", "1", "08-05-12", 10, 0), Record("5678", "2", "08-05-12", 20, 0)});
    EXPECT_EQ(CReadDataImport::ImportWith(nullptr, FakeFree, CReadDataImport::InitialValues, nullptr),
              CReadDataImport::NoGetFunction);
    EXPECT_EQ(fresh.Count("select * from SubRaw"), 0);
    EXPECT_EQ(CReadDataImport::FailureText(CReadDataImport::NoGetFunction), "装载函数1失败");

    // Without the release function the rows stay staged.
    EXPECT_EQ(CReadDataImport::ImportWith(FakeGet, nullptr, CReadDataImport::InitialValues, nullptr),
              CReadDataImport::NoFreeFunction);
    EXPECT_EQ(fresh.Count("select * from SubRaw"), 2);
    EXPECT_EQ(CReadDataImport::FailureText(CReadDataImport::NoFreeFunction), "装载函数2失败");

    // A failing insert stops the upload: the rows before it stay, and the
    // array is given back all the same.
    db().Execute(QStringLiteral("delete from SubRaw"), QString());
    db().Execute(QStringLiteral("create trigger Refuse before insert on SubRaw when new.SubX = '2' "
                                "begin select raise(abort, 'refused'); end"),
                 QString());
    EXPECT_FALSE(ThrownText([&] {
                     CReadDataImport::ImportWith(FakeGet, FakeFree, CReadDataImport::InitialValues, nullptr);
                 }).isEmpty());
    EXPECT_EQ(fake.frees, 1);
    EXPECT_EQ(stagedRows(), "00001234/1/10/0.0/2008-05-12");
}

TEST_F(ProgrammerUploadTest, StagedRecordsRoundTripAndRemove)
{
    CSubRaw raw;
    raw.SetMeterNo("1234");
    raw.SetSubX("7");
    raw.SetReadPulses(-12);
    raw.SetBaseRead(3.45f);
    raw.SetReadDate(QDateTime(QDate(2008, 5, 12), QTime()));
    raw.Save();
    CSubRawList list;
    CSubRawList other;
    list.LoadAll();
    other.LoadAll();
    ASSERT_EQ(list.GetCount(), 1);
    const CSubRaw* loaded = list.At(0);
    EXPECT_EQ(loaded->GetMeterNo(), "00001234");
    EXPECT_EQ(loaded->GetSubX(), "7");
    EXPECT_EQ(loaded->GetReadPulses(), -12);
    EXPECT_FLOAT_EQ(loaded->GetBaseRead(), 3.45f);
    EXPECT_EQ(loaded->GetReadDate(), QDateTime(QDate(2008, 5, 12), QTime()));

    EXPECT_EQ(ThrownText([&] { list.Remove(other.At(0)); }), "从数据库删除附表原始读数时发生位置错误！");
    EXPECT_EQ(fresh.Count("select * from SubRaw"), 1);
    // A row deleted elsewhere meanwhile is no success.
    other.Remove(other.At(0));
    EXPECT_EQ(ThrownText([&] { list.Remove(list.At(0)); }), "从数据库删除附表原始读数时发生错误！");
    EXPECT_EQ(list.GetCount(), 1);
}

TEST_F(ProgrammerUploadTest, LargeBaseReadingsKeepTheirHundredths)
{
    hand({Record("1234", "1", "08-05-12", 10, 2001003549)});
    EXPECT_EQ(CReadDataImport::ImportWith(FakeGet, FakeFree, CReadDataImport::InitialValues, nullptr),
              CReadDataImport::Imported);
    EXPECT_EQ(stagedRows(), "00001234/1/10/20010035.49/2008-05-12");
    CSubRawList staged;
    staged.LoadAll();
    EXPECT_DOUBLE_EQ(staged.At(0)->GetBaseRead(), 20010035.49);
}
