#include "CAdoConnection.h"
#include "CAdoRecordset.h"
#include "CDbfEngine.h"
#include "CDbfTable.h"
#include "KvGbk.h"
#include "KvTestSupport.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

const QList<CDbfTable::Field> kSaleFields = {{QStringLiteral("BIAOHAO"), 'C', 20, 0},
                                             {QStringLiteral("VALCUR"), 'N', 10, 0},
                                             {QStringLiteral("VALUSED"), 'N', 12, 2},
                                             {QStringLiteral("OPERDATE"), 'C', 14, 0}};

} // namespace

TEST(DbfTable, RoundTripOfTextsNumbersRawFieldsAndDeletedRecords)
{
    QTemporaryDir dir;
    const QString path = CDbfTable::PathOf(dir.path(), QStringLiteral("ReadTempA"));
    {
        auto table = CDbfTable::Create(path, kSaleFields);
        table->AppendRecord({QStringLiteral("电表0001"), QStringLiteral("100"), QStringLiteral("37.5"),
                             QStringLiteral("20070315143005")});
        const int gone = table->AppendRecord(
            {QStringLiteral("00000002"), QStringLiteral("1"), QStringLiteral("1"), QStringLiteral("20070315143005")});
        table->MarkDeleted(gone);
        // A text that is no number goes into a numeric field as it stands.
        table->AppendRecord(
            {QStringLiteral("00000003"), QStringLiteral("12abc"), QStringLiteral("x"), QStringLiteral("2007")});
    }
    // Texts are GBK in the file.
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_TRUE(file.readAll().contains(GbkEncode(QStringLiteral("电表0001"))));

    auto table = CDbfTable::Open(path);
    EXPECT_EQ(table->FieldNames(), (QStringList{"BIAOHAO", "VALCUR", "VALUSED", "OPERDATE"}));
    EXPECT_EQ(table->RecordCount(), 3);
    EXPECT_TRUE(table->IsDeleted(1));
    const QList<QStringList> rows = table->ReadRows();
    ASSERT_EQ(rows.size(), 2);
    EXPECT_EQ(rows[0], (QStringList{"电表0001", "100", "37.50", "20070315143005"}));
    EXPECT_EQ(rows[1], (QStringList{"00000003", "12abc", "x", "2007"}));
}

TEST(DbfTable, TheFolderIsAConnectionAndEachTableFileATable)
{
    CTempAppDirectory app;
    {
        auto table = CDbfTable::Create(CDbfTable::PathOf(app.Path(), QStringLiteral("ReadTempA")), kSaleFields);
        table->AppendRecord({QStringLiteral("00000001"), QStringLiteral("5"), QStringLiteral("1.25"),
                             QStringLiteral("20070315143005")});
    }
    CAdoConnection exchange;
    exchange.OpenEngine(std::make_unique<CDbfEngine>(CDbfEngine::FolderOf(
                            QStringLiteral("Provider=Microsoft.Jet.OLEDB.4.0;Data Source=%1;Extended "
                                           "Properties=dBASE IV")
                                .arg(app.Path()))),
                        0);
    CAdoLease<CAdoRecordset> rs(exchange.AcquireRecordset());
    rs->Open(QStringLiteral("select * from ReadTempA"));
    EXPECT_EQ(rs->GetRecordCount(), 1);
    EXPECT_EQ(rs->GetFieldText(QStringLiteral("biaohao")), QStringLiteral("00000001"));
    EXPECT_EQ(rs->GetFieldText(QStringLiteral("VALUSED")), QStringLiteral("1.25"));

    // A missing table names itself; a folder that is not there does not open.
    const QString missing = ThrownText([&] { rs->Open(QStringLiteral("select * from ReadCB")); });
    EXPECT_TRUE(missing.contains(QStringLiteral("ReadCB.dbf"))) << missing.toStdString();
    EXPECT_FALSE(ThrownText([&] { CDbfEngine engine(app.Path() + QStringLiteral("/none")); }).isEmpty());
    EXPECT_FALSE(ThrownText([&] { exchange.Execute(QStringLiteral("delete from ReadTempA"), QString()); }).isEmpty());
}
