#include "CAdoConnection.h"
#include "CDbfTable.h"
#include "CDeviceLink.h"
#include "CHandRaw.h"
#include "CHandReadImport.h"
#include "CHandSaleImport.h"
#include "DeviceTestHelpers.h"
#include "KvExchangeTable.h"
#include "KvFreshDatabase.h"
#include "SysGlobals.h"

#include <algorithm>
#include <functional>
#include <gtest/gtest.h>

namespace {

// The sale machine's tool in the program folder, which is current.
class HandSaleImportTest : public FreshDatabaseTest
{
protected:
    HandSaleImportTest() : cwd(fresh.AppDir()) {}

    // Uploads through the stand-in with these sales and imports them.
    bool uploadAndImport(const QStringList& scenario)
    {
        InstallStandin(fresh.AppDir(), QStringLiteral("Gostrel"), scenario);
        CHandSaleLink link(1, QStringLiteral("红外手持机"), nullptr);
        EXPECT_TRUE(link.Upload());
        sink.Clear();
        return CHandSaleImport::ImportSales(nullptr);
    }

    CCurrentDirectory cwd;
};

} // namespace

TEST(HandSaleConversions, LeadingNumbersAndTheWriteTime)
{
    EXPECT_EQ(CHandSaleImport::LeadingInteger(QStringLiteral("   100")), 100);
    EXPECT_EQ(CHandSaleImport::LeadingInteger(QStringLiteral("12abc")), 12);
    EXPECT_EQ(CHandSaleImport::LeadingInteger(QStringLiteral("-7")), -7);
    EXPECT_EQ(CHandSaleImport::LeadingInteger(QStringLiteral("abc")), 0);
    EXPECT_EQ(CHandSaleImport::LeadingInteger(QStringLiteral("99999999999")), INT_MAX);
    EXPECT_DOUBLE_EQ(CHandSaleImport::LeadingNumber(QStringLiteral("  37.50")), 37.5);
    EXPECT_DOUBLE_EQ(CHandSaleImport::LeadingNumber(QStringLiteral(".5kg")), 0.5);
    EXPECT_DOUBLE_EQ(CHandSaleImport::LeadingNumber(QStringLiteral("x")), 0.0);

    EXPECT_EQ(CHandSaleImport::ParseOperDate(QStringLiteral("20070315143005")),
              QDateTime(QDate(2007, 3, 15), QTime(14, 30, 5)));
    for (const char* bad :
         {"", "2007031514300", "200703151430055", "20071315143005", "2007-03-15 14:3", "2007031514300x"})
        EXPECT_FALSE(CHandSaleImport::ParseOperDate(QString::fromLatin1(bad)).isValid()) << bad;
}

TEST_F(HandSaleImportTest, EachSaleIsStagedWithItsConvertedFigures)
{
    ASSERT_TRUE(uploadAndImport({
        "sale= 0 |9|9|9|9|20070315143005",
        "sale=00001234|100|3|100|37.5|20070315143005",
        "sale=00009999|1|1|1|1|20070315143005|deleted",
        "sale= 00005678 |12abc|x|50|12.34|20070316080000",
        "sale=00004444|1|1|1|1|2007031|",
    }));
    CHandRawList staged;
    staged.LoadAll();
    ASSERT_EQ(staged.GetCount(), 3);
    const CHandRaw* first = staged.At(0);
    EXPECT_EQ(first->GetMeterNo(), QStringLiteral("00001234"));
    EXPECT_EQ(first->GetWrtValue(), 100);
    EXPECT_EQ(first->GetWrtNum(), 3);
    EXPECT_EQ(first->GetAccuBuy(), 100);
    EXPECT_DOUBLE_EQ(first->GetAccuUse(), 37.5);
    EXPECT_DOUBLE_EQ(first->GetAccuRemain(), 62.5);
    EXPECT_EQ(first->GetLimitValue(), QStringLiteral("200A"));
    EXPECT_EQ(first->GetAlarmShold(), 30);
    EXPECT_EQ(first->GetCloseShold(), 20);
    EXPECT_EQ(first->GetOpMode(), QStringLiteral("手持机"));
    EXPECT_EQ(first->GetWrtTime(), QDateTime(QDate(2007, 3, 15), QTime(14, 30, 5)));

    const CHandRaw* second = staged.At(1);
    EXPECT_EQ(second->GetMeterNo(), QStringLiteral("00005678"));
    EXPECT_EQ(second->GetWrtValue(), 12);
    EXPECT_EQ(second->GetWrtNum(), 0);
    EXPECT_DOUBLE_EQ(second->GetAccuRemain(), 50 - 12.34);

    // The card of the row without a valid write time was written all the same:
    // the sale is staged with the time of the upload, and named.
    const CHandRaw* third = staged.At(2);
    EXPECT_EQ(third->GetMeterNo(), QStringLiteral("00004444"));
    EXPECT_EQ(third->GetWrtTime(), GetServerTime());
    EXPECT_EQ(sink.Texts(), QStringList{"以下电表的售电数据写卡时间无效，已按本次上传时间导入，请核对：00004444"});
}

TEST_F(HandSaleImportTest, WhatEndsTheImport)
{
    // An empty table: false without a message of its own.
    EXPECT_FALSE(uploadAndImport({"table=empty"}));
    EXPECT_TRUE(sink.Texts().isEmpty());

    // No table: the failure names it and ends the command.
    InstallStandin(fresh.AppDir(), QStringLiteral("Gostrel"), {"table=none"});
    CHandSaleImport::RemoveExchangeTable();
    EXPECT_TRUE(ThrownText([] { CHandSaleImport::ImportSales(nullptr); }).contains(QStringLiteral("ReadTempA")));

    // A folder that cannot be read: the connection does not open.
    SetAppDirectory(fresh.AppDir() + QStringLiteral("/gone"));
    EXPECT_FALSE(CHandSaleImport::ImportSales(nullptr));
    SetAppDirectory(fresh.AppDir());
    EXPECT_EQ(sink.Texts(), QStringList{"无法读取售电数据！"});
}

TEST_F(HandSaleImportTest, AFailingInsertStagesNoRowOfTheUpload)
{
    db().Execute(QStringLiteral("create trigger RefuseBad before insert on HandRaw when new.MeterNo = 'BAD' "
                                "begin select raise(abort, 'refused'); end"),
                 QString());
    const QString text = ThrownText([&] {
        uploadAndImport({"sale=00000001|1|1|1|1|20070315143005", "sale=BAD|1|1|1|1|20070315143005",
                         "sale=00000003|1|1|1|1|20070315143005"});
    });
    EXPECT_TRUE(text.startsWith(QStringLiteral("向数据库增加售电数据时发生错误！"))) << text.toStdString();
    EXPECT_EQ(fresh.Count(QStringLiteral("select * from HandRaw")), 0);
    EXPECT_EQ(KeptExchangeTables(fresh.AppDir(), CHandSaleImport::TableName()).size(), 1);
}

TEST_F(HandSaleImportTest, StagedRowsAreDeletedOnlyThroughTheirOwnList)
{
    ASSERT_TRUE(uploadAndImport({"sale=00000001|1|1|1|1|20070315143005", "sale=00000002|1|1|1|1|20070315143005"}));
    CHandRawList staged, other;
    staged.LoadAll();
    other.LoadAll();
    EXPECT_EQ(ThrownText([&] { staged.DeleteRecord(other.At(0)); }),
              QStringLiteral("从数据库删除原始抄表时发生位置错误！"));
    EXPECT_EQ(fresh.Count(QStringLiteral("select * from HandRaw")), 2);
    staged.DeleteRecord(staged.At(0));
    EXPECT_EQ(staged.GetCount(), 1);
    EXPECT_EQ(fresh.Value(QStringLiteral("select MeterNo from HandRaw")), QStringLiteral("00000002"));
}

// The machine has written every card of the upload: a figure out of range
// stages none of them, and the table is kept where no later upload replaces it.
TEST_F(HandSaleImportTest, AFigureOutOfRangeRefusesTheWholeUploadAndKeepsItsTable)
{
    const struct
    {
        const char* bad;
        const char* column;
    } cases[] = {
        {"sale=00000002|9999999999|1|1|1|20070315143005", "VALCUR"},
        {"sale=00000002|1|9999999999|1|1|20070315143005", "TIMES"},
        {"sale=00000002|1|1|9999999999|1|20070315143005", "VALALL"},
        {"sale=00000002|1|1|1|9e999|20070315143005", "VALUSED"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.column);
        for (const QString& kept : KeptExchangeTables(fresh.AppDir(), CHandSaleImport::TableName()))
            QFile::remove(kept);
        const QString text = ThrownText([&] {
            uploadAndImport({"sale=00000001|1|1|1|1|20070315143005", QString::fromUtf8(c.bad),
                             "sale=00000003|1|1|1|1|20070315143005"});
        });
        EXPECT_TRUE(text.contains(QStringLiteral("第2行")) && text.contains(QString::fromLatin1(c.column)))
            << text.toStdString();
        EXPECT_EQ(fresh.Count(QStringLiteral("select * from HandRaw")), 0);
        const QStringList kept = KeptExchangeTables(fresh.AppDir(), CHandSaleImport::TableName());
        ASSERT_EQ(kept.size(), 1);
        EXPECT_TRUE(text.contains(QDir::toNativeSeparators(kept[0]))) << text.toStdString();
        EXPECT_EQ(ReadFileBytes(kept[0]), ReadFileBytes(CHandSaleImport::TablePath()));
        // The next upload replaces the exchange table, not the copy.
        CHandSaleImport::RemoveExchangeTable();
        EXPECT_TRUE(QFile::exists(kept[0]));
    }
}

TEST_F(HandSaleImportTest, AnUnreadableExchangeTableSaysWhatIsWrongWithIt)
{
    // A table of two records cut short by a few bytes.
    const QString scratch = QDir(fresh.AppDir()).filePath(QStringLiteral("scratch.dbf"));
    {
        auto table = CDbfTable::Create(scratch, {{QStringLiteral("BIAOHAO"), 'C', 20, 0}});
        table->AppendRecord({QStringLiteral("00000001")});
        table->AppendRecord({QStringLiteral("00000002")});
    }
    QFile file(scratch);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray cut = file.readAll().chopped(6);

    const struct
    {
        const char* name;
        QByteArray bytes;
        QStringList said; // one of these
    } contents[] = {
        {"empty", QByteArray(), {"数据表文件是空的"}},
        {"no table", QByteArray("This is no dBASE table, only a line of text.\r\n"), {"已损坏或不是dBASE表", "不完整"}},
        {"cut short", cut, {"数据表文件不完整（应有2条记录）"}},
    };
    const struct
    {
        QString table;
        std::function<void()> import;
    } importers[] = {
        {CHandSaleImport::TableName(), [] { CHandSaleImport::ImportSales(nullptr); }},
        {CHandReadImport::TableName(), [] { CHandReadImport::ImportReadings(nullptr); }},
    };
    for (const auto& importer : importers) {
        for (const auto& c : contents) {
            SCOPED_TRACE((importer.table + u' ' + QString::fromLatin1(c.name)).toStdString());
            const QString path = ExchangeTablePath(importer.table);
            WriteFileBytes(path, c.bytes);
            const QString text = ThrownText(importer.import);
            EXPECT_TRUE(text.contains(QDir::toNativeSeparators(path))) << text.toStdString();
            EXPECT_TRUE(std::any_of(c.said.begin(), c.said.end(), [&](const QString& s) { return text.contains(s); }))
                << text.toStdString();
        }
    }
    EXPECT_EQ(fresh.Count(QStringLiteral("select * from HandRaw")), 0);
    EXPECT_EQ(fresh.Count(QStringLiteral("select * from HandReadRaw")), 0);
}
