#include "CAdoConnection.h"
#include "CAdoRecordset.h"
#include "CKvException.h"
#include "CReportField.h"
#include "CReportTable.h"
#include "KvReportCatalogues.h"
#include "KvReportText.h"
#include "KvTestSupport.h"

#include <QFile>
#include <QTextStream>
#include <gtest/gtest.h>

namespace {

// Sale rows shaped as the sale record query selects them.
const char* kSaleTable = R"(
create table Sale (ClientNo text, ClientName text, MeterNo text, BuyValue integer, LWaste real, Price real,
                   Fee real, WrtTime text, PayMode text);
)";

QString SaleRow(int i, const QString& name, int buy, double lwaste, double price, double fee, const QString& time,
                const QVariant& payMode = QVariant(QStringLiteral("现金")))
{
    return QStringLiteral("insert into Sale values('%1', '%2', '%3', %4, %5, %6, %7, '%8', %9);\n")
        .arg(QStringLiteral("%1").arg(i, 4, 10, QChar('0')), name, QStringLiteral("2001%1").arg(i, 4, 10, QChar('0')))
        .arg(buy)
        .arg(lwaste, 0, 'g', 17)
        .arg(price, 0, 'g', 17)
        .arg(fee, 0, 'g', 17)
        .arg(time, payMode.isNull() ? QStringLiteral("null") : QStringLiteral("'%1'").arg(payMode.toString()));
}

class ReportTableTest : public ::testing::Test
{
protected:
    CTempAppDirectory app;

    std::unique_ptr<CAdoConnection> Open(const QString& rows)
    {
        return OpenScratchDatabase(app.FilePath("report.db"), QString::fromUtf8(kSaleTable) + rows);
    }

    static CReportTable Build(CAdoConnection& db, const QStringList& headings,
                              const QString& sql = QStringLiteral("select * from Sale order by ClientNo"))
    {
        CAdoLease<CAdoRecordset> rs(db.AcquireRecordset());
        rs->Open(sql);
        const int count = rs->GetRecordCount();
        return BuildReportTable(*rs, count, headings, FillSaleDetailFields());
    }

    static QString Csv(const CReportTable& table)
    {
        QString text = table.titles.join(',') + '\n';
        for (int r = 0; r < table.rows; ++r) {
            QStringList row;
            for (int c = 0; c < table.columns; ++c)
                row << table.Cell(r, c);
            text += row.join(',') + '\n';
        }
        return text;
    }
};

} // namespace

TEST_F(ReportTableTest, FiftySevenRowsGiveASummaryRowOfTheShownTexts)
{
    QString rows;
    // 1.005 is stored just below 1.005: every cell shows 1.00, and the sum is
    // that of the 57 shown texts, not of the stored values.
    for (int i = 1; i <= 57; ++i)
        rows += SaleRow(i, QStringLiteral("用户%1").arg(i), 10 * i, 0.26, 0.5883, 1.005, "2026-12-01 08:00:00");
    auto db = Open(rows);
    const CReportTable table =
        Build(*db, {"用户代码", "购买电量", "线损电量", "单 价", "电  费", "写卡时间", "付款方式"});
    ASSERT_EQ(table.rows, 58);
    ASSERT_EQ(table.columns, 7);
    EXPECT_EQ(table.Cell(0, 0), QStringLiteral("0001"));
    EXPECT_EQ(table.Cell(0, 2), QStringLiteral("0.3"));
    EXPECT_EQ(table.Cell(0, 3), QStringLiteral("0.5883"));
    EXPECT_EQ(table.Cell(0, 4), QStringLiteral("1.00"));
    EXPECT_EQ(table.Cell(0, 5), QStringLiteral("2026-12-01 08:00:00"));
    EXPECT_EQ(table.Cell(56, 1), QStringLiteral("570"));
    // The summary: the caption, the summed columns only, each by its kind.
    EXPECT_EQ(table.Cell(57, 0), QStringLiteral("汇    总"));
    EXPECT_EQ(table.Cell(57, 1), QStringLiteral("16530"));
    EXPECT_EQ(table.Cell(57, 2), QStringLiteral("17.1")); // 57 x 0.3, not 57 x 0.26
    EXPECT_EQ(table.Cell(57, 3), QString());              // the price is not summed
    EXPECT_EQ(table.Cell(57, 4), QStringLiteral("57.00"));
    EXPECT_EQ(table.Cell(57, 5), QString());
    EXPECT_EQ(table.Cell(57, 6), QString());
}

TEST_F(ReportTableTest, ASummedFirstColumnTakesThePlaceOfTheCaption)
{
    auto db = Open(SaleRow(1, "甲", 5, 0, 0, 2.5, "2026-12-01") + SaleRow(2, "乙", 7, 0, 0, 3.25, "2026-12-02"));
    const CReportTable table = Build(*db, {"购买电量", "用户姓名"});
    EXPECT_EQ(table.Cell(2, 0), QStringLiteral("12"));
    EXPECT_EQ(table.Cell(2, 1), QString());
}

TEST_F(ReportTableTest, AHeadingWithoutFieldGivesEmptyCellsAndAnUnselectedColumnFails)
{
    auto db = Open(SaleRow(1, "甲", 5, 0, 0, 2.5, "2026-12-01", QVariant()));
    // A caption the catalogue no longer has, and a NULL value: empty cells.
    CReportTable table = Build(*db, {"电费", "付款方式", "用户代码"});
    EXPECT_EQ(table.Cell(0, 0), QString());
    EXPECT_EQ(table.Cell(0, 1), QString());
    EXPECT_EQ(table.Cell(0, 2), QStringLiteral("0001"));

    // A field whose column the query does not select ends the output.
    EXPECT_EQ(ThrownText([&] { Build(*db, {"用户代码", "本次余额"}); }), QStringLiteral("找不到字段: ThisBalance"));
    // Dates in every stored form come out in the canonical one.
    const struct
    {
        const char* stored;
        const char* shown;
    } dates[] = {
        {"2026-12-01 08:09:10", "2026-12-01 08:09:10"},
        {"2026-12-01", "2026-12-01 00:00:00"},
        {"2026-3-5 7:08:09", "2026-03-05 07:08:09"},
        {"2026/03/05", "2026-03-05 00:00:00"},
    };
    for (const auto& d : dates) {
        table = Build(*db, {"写卡时间"}, QStringLiteral("select '%1' as WrtTime from Sale").arg(d.stored));
        EXPECT_EQ(table.Cell(0, 0), QString::fromLatin1(d.shown)) << d.stored;
    }
    // A text that is no date in a date column, likewise.
    EXPECT_FALSE(
        ThrownText([&] { Build(*db, {"写卡时间"}, QStringLiteral("select 'soon' as WrtTime from Sale")); }).isEmpty());
}

// A meter whose sales and refund cancel out shows 0.00, never -0.00, in its
// statistics row and in the summary row.
TEST_F(ReportTableTest, AZeroSumShowsNoSign)
{
    auto db = Open(SaleRow(1, "甲", 5, 0, 0, 10.10, "2026-12-01") + SaleRow(1, "甲", 5, 0, 0, 20.20, "2026-12-02") +
                   SaleRow(1, "甲", -10, 0, 0, -30.30, "2026-12-03"));
    const CReportTable table = Build(
        *db, {"用户代码", "电  费", "线损电量"},
        QStringLiteral("select ClientNo, sum(Fee) as Fee, sum(Fee) / 1000 as LWaste from Sale group by ClientNo"));
    ASSERT_EQ(table.rows, 2);
    EXPECT_EQ(table.Cell(0, 1), QStringLiteral("0.00"));
    EXPECT_EQ(table.Cell(0, 2), QStringLiteral("0.0"));
    EXPECT_EQ(table.Cell(1, 1), QStringLiteral("0.00"));
    EXPECT_EQ(table.Cell(1, 2), QStringLiteral("0.0"));
}

// A text in a numeric column is no number: the output ends with the
// recordset's conversion error instead of showing 0. NULL stays an empty cell.
TEST_F(ReportTableTest, ATextInANumericColumnEndsTheOutput)
{
    auto db = Open(SaleRow(1, "甲", 5, 0, 0, 2.5, "2026-12-01"));
    const struct
    {
        const char* heading;
        const char* value;
        const char* error; // "" = accepted
        const char* shown;
    } cases[] = {
        {"电  费", "'abc'", "类型不匹配: abc", ""},
        {"购买电量", "'12kWh'", "类型不匹配: 12kWh", ""},
        {"电  费", "' 2.5 '", "", "2.50"},
        {"购买电量", "'7'", "", "7"},
        {"电  费", "null", "", ""},
        {"购买电量", "null", "", ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.heading) + " " + c.value);
        const QString column = QString::fromUtf8(c.heading) == QStringLiteral("电  费") ? "Fee" : "BuyValue";
        const QString sql = QStringLiteral("select %1 as %2 from Sale").arg(QString::fromUtf8(c.value), column);
        CReportTable table;
        EXPECT_EQ(ThrownText([&] { table = Build(*db, {QString::fromUtf8(c.heading)}, sql); }),
                  QString::fromUtf8(c.error));
        if (!*c.error) {
            EXPECT_EQ(table.Cell(0, 0), QString::fromUtf8(c.shown));
        }
    }
}

TEST(ReportNumberText, RoundsToItsDecimalsAndDropsTheSignOfZero)
{
    const struct
    {
        double value;
        int decimals;
        const char* shown;
    } cases[] = {
        {10.10 + 20.20 - 30.30, 2, "0.00"},
        {-0.004, 2, "0.00"},
        {-0.0, 1, "0.0"},
        {-0.4, 0, "0"},
        {-0.005001, 2, "-0.01"},
        {-12.5, 1, "-12.5"},
        {0.523456, 4, "0.5235"},
        {1234.5, 2, "1234.50"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(KvFixedText(c.value, c.decimals), QString::fromLatin1(c.shown)) << c.value;
}

TEST_F(ReportTableTest, OneReportMatchesItsGoldenCsv)
{
    auto db = Open(SaleRow(3, "王五", 120, 1.25, 0.5883, 70.6, "2026-11-30 17:45:10", QStringLiteral("支票")) +
                   SaleRow(1, "张三", 100, 0, 0.52, 52, "2026-12-01 08:00:00") +
                   SaleRow(2, "李四", 35, 0.44, 0.5883, 20.59, "2026-12-01 09:12:00"));
    const CReportTable table = Build(
        *db, {"用户代码", "用户姓名", "电表编号", "购买电量", "线损电量", "单 价", "电  费", "付款方式", "写卡时间"});
    const QString csv = Csv(table);
    const QString golden = QStringLiteral(QUILLMER_SOURCE_DIR "/tests/framework/report/golden/sale_detail.csv");
    if (qEnvironmentVariableIsSet("QUILLMER_REGENERATE_GOLDEN")) {
        QFile out(golden);
        ASSERT_TRUE(out.open(QIODevice::WriteOnly | QIODevice::Truncate));
        out.write(csv.toUtf8());
    }
    QFile in(golden);
    ASSERT_TRUE(in.open(QIODevice::ReadOnly)) << "set QUILLMER_REGENERATE_GOLDEN=1 to write it";
    EXPECT_EQ(csv, QString::fromUtf8(in.readAll()));
}

TEST(ReportSort, RowsSortAscendingAndTheSummaryRowStaysLast)
{
    // Two columns: a name and an amount; the last row is the summary.
    const QStringList table = {"乙", "10.50", "甲", "9.00", "丙", "100.00", "丁", "9.00", "汇    总", "128.50"};
    const struct
    {
        int column;
        bool numeric;
        bool keepLast;
        QStringList expectedFirstColumn;
    } cases[] = {
        // Numbers by value: 9 < 10.5 < 100 (as text "100.00" would come first);
        // equal values keep their order.
        {1, true, true, {"甲", "丁", "乙", "丙", "汇    总"}},
        {1, false, true, {"乙", "丙", "甲", "丁", "汇    总"}},
        // Chinese texts by their GBK bytes: bing, ding, jia, yi.
        {0, false, true, {"丙", "丁", "甲", "乙", "汇    总"}},
        // A list without a summary row sorts every row.
        {1, true, false, {"甲", "丁", "乙", "丙", "汇    总"}},
        {0, false, false, {"丙", "丁", "汇    总", "甲", "乙"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.column * 100 + c.numeric * 10 + c.keepLast);
        QStringList cells = table;
        SortReportRows(cells, 5, 2, c.column, c.numeric, c.keepLast);
        QStringList first;
        for (int r = 0; r < 5; ++r)
            first << cells.at(r * 2);
        EXPECT_EQ(first, c.expectedFirstColumn);
        // Rows move whole.
        EXPECT_EQ(cells.at(cells.indexOf(QStringLiteral("丙")) + 1), QStringLiteral("100.00"));
    }
    // Out of range, or a single row: nothing moves.
    QStringList cells = table;
    SortReportRows(cells, 5, 2, 2, true, true);
    EXPECT_EQ(cells, table);
}
