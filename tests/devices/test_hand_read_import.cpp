#include "CAdoConnection.h"
#include "CDbfTable.h"
#include "CDeviceLink.h"
#include "CHandReadImport.h"
#include "CHandReadRaw.h"
#include "DeviceTestHelpers.h"
#include "KvExchangeTable.h"
#include "KvFreshDatabase.h"

#include <gtest/gtest.h>

namespace {

// The meter reader's tool in the program folder, which is current.
class HandReadImportTest : public FreshDatabaseTest
{
protected:
    HandReadImportTest() : cwd(fresh.AppDir()) {}

    // Uploads through the stand-in with these readings and imports them.
    bool uploadAndImport(const QStringList& scenario)
    {
        InstallStandin(fresh.AppDir(), QStringLiteral("Lumvex"), scenario);
        CMeterReaderLink link(1, QStringLiteral("红外手持机"), nullptr);
        EXPECT_TRUE(link.Upload());
        sink.Clear();
        return CHandReadImport::ImportReadings(nullptr);
    }
    int staged() { return fresh.Count(QStringLiteral("select * from HandReadRaw")); }

    CCurrentDirectory cwd;
};

} // namespace

TEST(HandReadConversions, TheReadingTimeAndStrictFigures)
{
    EXPECT_EQ(CHandReadImport::ParseReadTime(QStringLiteral("07-03-15 09:45")),
              QDateTime(QDate(2007, 3, 15), QTime(9, 45)));
    EXPECT_EQ(CHandReadImport::ParseReadTime(QStringLiteral("26/12/09-23:59")),
              QDateTime(QDate(2026, 12, 9), QTime(23, 59)));
    for (const char* bad : {"", "07-03-15", "07-03-15 9:45", "07-13-15 09:45", "07-03-15 25:00", "ab-cd-ef gh:ij"})
        EXPECT_FALSE(CHandReadImport::ParseReadTime(QString::fromLatin1(bad)).isValid()) << bad;

    EXPECT_EQ(CHandReadImport::ToInteger(QStringLiteral("  120"), QStringLiteral("ZONGM"), 1), 120);
    EXPECT_DOUBLE_EQ(CHandReadImport::ToNumber(QStringLiteral(" 37.25"), QStringLiteral("SHENG"), 1), 37.25);
    const struct
    {
        const char* text;
        bool integer;
    } refused[] = {{"", true}, {"  ", false}, {"12abc", true}, {"x", false}, {"1e12", true}, {"inf", false}};
    for (const auto& r : refused) {
        const QString text = ThrownText([&] {
            if (r.integer)
                CHandReadImport::ToInteger(QString::fromLatin1(r.text), QStringLiteral("ZONGM"), 3);
            else
                CHandReadImport::ToNumber(QString::fromLatin1(r.text), QStringLiteral("LEIJI"), 3);
        });
        EXPECT_TRUE(text.contains(QStringLiteral("第3行")) && text.contains(r.integer ? "ZONGM" : "LEIJI"))
            << r.text << " " << text.toStdString();
    }
}

TEST_F(HandReadImportTest, EachReadingIsStagedWithItsConvertedFigures)
{
    ASSERT_TRUE(uploadAndImport({
        "reading= 0 |07-03-15 09:45|1|1|1",
        "reading=1234|07-03-15 09:45|120|37.25|150.5",
        "reading=00009999|07-03-15 09:45|1|1|1|deleted",
        "reading=5555|07-03-15|1|1|1",
        "reading=6666|07-13-15 09:45|1|1|1",
        "reading= 123456789 |26-12-09 23:59|0|0|0",
    }));
    CHandReadRawList staged;
    staged.LoadAll();
    ASSERT_EQ(staged.GetCount(), 2);
    const CHandReadRaw* first = staged.At(0);
    EXPECT_EQ(first->GetMeterNo(), QStringLiteral("00001234"));
    EXPECT_EQ(first->GetReadTime(), QDateTime(QDate(2007, 3, 15), QTime(9, 45)));
    EXPECT_EQ(first->GetAccuBuy(), 120);
    EXPECT_DOUBLE_EQ(first->GetAccuRemain(), 37.25);
    EXPECT_DOUBLE_EQ(first->GetAccuUse(), 150.5);
    EXPECT_EQ(fresh.Value(QStringLiteral("select ReadTime from HandReadRaw where MeterNo = '00001234'")),
              QStringLiteral("2007-03-15 09:45:00"));
    EXPECT_EQ(staged.At(1)->GetMeterNo(), QStringLiteral("123456789")); // longer numbers stay as they are

    // The rows whose time cannot be built are not staged, and named.
    EXPECT_EQ(sink.Texts(), QStringList{"以下电表的抄表时间无效，未导入：00005555、00006666"});
}

// A figure that is no number stages no reading of the upload, and the table
// is kept where no later upload replaces it.
TEST_F(HandReadImportTest, AFigureThatIsNoNumberRefusesTheWholeUploadAndKeepsItsTable)
{
    const struct
    {
        const char* name;
        const char* bad;
        const char* column;
    } cases[] = {
        {"purchase", "reading=00000002|07-03-15 09:45|12x|1|1", "ZONGM"},
        {"remainder", "reading=00000002|07-03-15 09:45|1||1", "SHENG"},
        {"use", "reading=00000002|07-03-15 09:45|1|1|abc", "LEIJI"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        for (const QString& kept : KeptExchangeTables(fresh.AppDir(), CHandReadImport::TableName()))
            QFile::remove(kept);
        const QString text = ThrownText([&] {
            uploadAndImport({"reading=00000001|07-03-15 09:45|1|1|1", QString::fromUtf8(c.bad),
                             "reading=00000003|07-03-15 09:45|1|1|1"});
        });
        EXPECT_TRUE(text.contains(QStringLiteral("第2行")) && text.contains(QString::fromLatin1(c.column)))
            << text.toStdString();
        EXPECT_EQ(staged(), 0);
        const QStringList kept = KeptExchangeTables(fresh.AppDir(), CHandReadImport::TableName());
        ASSERT_EQ(kept.size(), 1);
        EXPECT_TRUE(text.contains(QDir::toNativeSeparators(kept[0]))) << text.toStdString();
        EXPECT_EQ(ReadFileBytes(kept[0]), ReadFileBytes(ExchangeTablePath(CHandReadImport::TableName())));
    }
}

TEST_F(HandReadImportTest, WhatEndsTheImport)
{
    // An empty table: false without a message of its own.
    EXPECT_FALSE(uploadAndImport({"table=empty"}));
    EXPECT_TRUE(sink.Texts().isEmpty());

    // No table: the failure names it.
    CHandReadImport::RemoveExchangeTable();
    EXPECT_TRUE(ThrownText([] { CHandReadImport::ImportReadings(nullptr); }).contains(QStringLiteral("ReadCB")));

    // A folder that cannot be read: the connection does not open.
    SetAppDirectory(fresh.AppDir() + QStringLiteral("/gone"));
    EXPECT_FALSE(CHandReadImport::ImportReadings(nullptr));
    SetAppDirectory(fresh.AppDir());
    EXPECT_EQ(sink.Texts(), QStringList{"无法读取抄表数据！"});
    EXPECT_EQ(staged(), 0);
}

TEST_F(HandReadImportTest, LargeReadingsKeepTheirDecimals)
{
    ASSERT_TRUE(uploadAndImport({"reading=1234|07-03-15 09:45|300000|99999.99|200100.35"}));
    EXPECT_EQ(fresh.Value(QStringLiteral("select AccuUse || '/' || AccuRemain from HandReadRaw")),
              QStringLiteral("200100.35/99999.99"));
}
