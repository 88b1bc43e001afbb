#include "CReportStore.h"
#include "KvReportText.h"

#include <QString>
#include <cmath>
#include <gtest/gtest.h>
#include <limits>

namespace {

using Kind = CReportStore::EColumnKind;

// Five rows and a summary: a name, an amount to cents, a count that may be
// empty and a write time. Rows 1 and 3 show the same amount (1.00) from
// different values, so that only a sort by the shown text keeps them in order.
CReportStore MixedStore()
{
    CReportStore store({"用户姓名", "金  额", "笔数", "写卡时间"});
    store.AddColumn(Kind::Text);
    store.AddColumn(Kind::Fixed, 2);
    store.AddColumn(Kind::Integer);
    store.AddColumn(Kind::DateTime);
    const struct
    {
        const char* name;
        double amount;
        double count; // NaN: empty
        const char* time;
    } rows[] = {
        {"乙", 10.5, 3, "2024-03-15 10:00:00"},  {"甲", 1.004, NAN, "2024-03-14 09:00:00"}, {"丙", 100, -1, ""},
        {"甲", 1.001, 3, "2023-12-31 23:59:59"}, {"丁", -0.001, 0, "2024-03-15 10:00:00"},
    };
    for (const auto& row : rows) {
        store.AppendText(0, QString::fromUtf8(row.name));
        store.AppendNumber(1, row.amount);
        if (std::isnan(row.count))
            store.AppendNull(2);
        else
            store.AppendNumber(2, row.count);
        store.AppendText(3, QString::fromUtf8(row.time));
        store.EndRow();
    }
    store.SetSummaryRow({"汇    总", "112.50", "4", ""});
    store.Finish();
    return store;
}

// Each row by its name and count ("甲3"), as now ordered.
QStringList Signatures(const CReportStore& store)
{
    QStringList rows;
    for (int r = 0; r < store.RowCount(); ++r)
        rows << store.Cell(r, 0) + store.Cell(r, 2);
    return rows;
}

} // namespace

TEST(ReportStore, CellsShowAsTheTextTableWroteThem)
{
    // Each kind against the text the cell table wrote for the same value.
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const struct
    {
        Kind kind;
        int decimals;
        double number; // NaN: appended as text
        const char* text;
        QString expected;
    } cases[] = {
        {Kind::Integer, 0, 42, nullptr, QString::number(42)},
        {Kind::Integer, 0, -7, nullptr, QString::number(-7)},
        {Kind::Fixed, 2, 1.005, nullptr, KvFixedText(1.005, 2)},
        {Kind::Fixed, 2, -0.001, nullptr, QStringLiteral("0.00")}, // no "-0.00"
        {Kind::Fixed, 4, 0.5883, nullptr, QStringLiteral("0.5883")},
        {Kind::Fixed, 1, 12345678.25, nullptr, KvFixedText(12345678.25, 1)},
        {Kind::DateTime, 0, nan, "2024-03-15 10:00:00", QStringLiteral("2024-03-15 10:00:00")},
        {Kind::DateTime, 0, nan, "0001-01-01 00:00:00", QStringLiteral("0001-01-01 00:00:00")},
        {Kind::DateTime, 0, nan, "12024-03-15 10:00:00", QStringLiteral("12024-03-15 10:00:00")},
        {Kind::DateTime, 0, nan, "", QString()},
        {Kind::Text, 0, nan, "汇    总", QStringLiteral("汇    总")},
        {Kind::Text, 0, nan, "", QString()},
    };
    CReportStore store;
    for (const auto& c : cases)
        store.AddColumn(c.kind, c.decimals);
    for (int row = 0; row < 2; ++row) { // the second row's texts are pooled ones
        for (int i = 0; i < int(std::size(cases)); ++i) {
            if (cases[i].text)
                store.AppendText(i, QString::fromUtf8(cases[i].text));
            else
                store.AppendNumber(i, cases[i].number);
        }
        store.EndRow();
    }
    store.Finish();
    ASSERT_EQ(store.RowCount(), 2);
    for (int row = 0; row < 2; ++row)
        for (int i = 0; i < int(std::size(cases)); ++i)
            EXPECT_EQ(store.Cell(row, i), cases[i].expected) << "row " << row << ", case " << i;

    // An empty cell of every kind is an empty text.
    CReportStore empty;
    for (const auto& c : cases) {
        empty.AppendNull(empty.AddColumn(c.kind, c.decimals));
    }
    empty.EndRow();
    EXPECT_EQ(empty.RowCells(0), QStringList(int(std::size(cases)), QString()));
    EXPECT_EQ(empty.Cell(1, 0), QString()) << "past the last row";
}

TEST(ReportStore, SortsAsTheShownTextsSortWithTheSummaryLast)
{
    const struct
    {
        int column;
        bool numeric;
        bool keepLast;
        QStringList expected;
    } cases[] = {
        // By the amounts shown: 1.004 and 1.001 both show 1.00 and keep their order.
        {1, true, true, {"丁0", "甲", "甲3", "乙3", "丙-1", "汇    总4"}},
        // An empty count reads as 0; equal counts keep their order.
        {2, true, true, {"丙-1", "甲", "丁0", "乙3", "甲3", "汇    总4"}},
        // Chinese by GBK bytes: bing, ding, jia, yi.
        {0, false, true, {"丙-1", "丁0", "甲", "甲3", "乙3", "汇    总4"}},
        // Counts as text: "" < "-1" < "0" < "3".
        {2, false, true, {"甲", "丙-1", "丁0", "乙3", "甲3", "汇    总4"}},
        // Write times as text, the empty one first, equal times in order.
        {3, false, true, {"丙-1", "甲3", "甲", "乙3", "丁0", "汇    总4"}},
        // Without keeping it last the summary row sorts too: hui after ding.
        {0, false, false, {"丙-1", "丁0", "汇    总4", "甲", "甲3", "乙3"}},
        {1, true, false, {"丁0", "甲", "甲3", "乙3", "丙-1", "汇    总4"}},
        // Out of range: nothing moves.
        {4, true, true, {"乙3", "甲", "丙-1", "甲3", "丁0", "汇    总4"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.column * 100 + c.numeric * 10 + c.keepLast);
        CReportStore store = MixedStore();
        store.SortRows(c.column, c.numeric, c.keepLast);
        EXPECT_EQ(Signatures(store), c.expected);
        // Rows move whole.
        const int row = Signatures(store).indexOf(QStringLiteral("丙-1"));
        EXPECT_EQ(store.RowCells(row), QStringList({"丙", "100.00", "-1", ""}));
    }

    // A sort starts from the order of the one before: equal times keep the
    // order the count gave them (丁 before 乙).
    CReportStore store = MixedStore();
    store.SortRows(2, true, true);
    store.SortRows(3, false, true);
    EXPECT_EQ(Signatures(store), QStringList({"丙-1", "甲3", "甲", "丁0", "乙3", "汇    总4"}));
}

TEST(ReportStore, AChangedTextShowsAndSortsAsItsNewText)
{
    CReportStore store = MixedStore();
    store.SortRows(0, false, true);              // 丙 丁 甲 甲 乙
    store.SetCell(4, 0, QStringLiteral("阿"));   // a new text: a, before bing
    store.SetCell(0, 0, QStringLiteral("甲"));   // a pooled one
    store.SetCell(5, 0, QStringLiteral("合计")); // the summary row
    store.SetCell(1, 1, QStringLiteral("9.99")); // a number column keeps its number
    EXPECT_EQ(store.Cell(4, 0), QStringLiteral("阿"));
    EXPECT_EQ(store.Cell(5, 0), QStringLiteral("合计"));
    EXPECT_EQ(store.Cell(1, 1), QStringLiteral("0.00"));
    store.SortRows(0, false, true);
    EXPECT_EQ(Signatures(store), QStringList({"阿3", "丁0", "甲-1", "甲", "甲3", "合计4"}));
}

TEST(ReportStore, ATextTableBecomesTextColumns)
{
    const QStringList cells = {"10", "a", "9", "b", "汇    总", "19"};
    CReportStore store = CReportStore::FromCells(cells, 3, {"x", "y"}, 2);
    EXPECT_EQ(store.RowCount(), 3);
    EXPECT_FALSE(store.HasSummaryRow());
    EXPECT_EQ(store.Titles(), QStringList({"x", "y"}));
    EXPECT_EQ(store.Cells(), cells);
    store.SortRows(0, true, true);
    EXPECT_EQ(store.Cells(), QStringList({"9", "b", "10", "a", "汇    总", "19"}));
}

TEST(ReportStore, ManyDistinctValuesKeepEveryCell)
{
    // More distinct texts and numbers than one or two bytes can number.
    constexpr int kRows = 70000;
    CReportStore store;
    store.Reserve(kRows);
    store.AddColumn(Kind::Text);
    store.AddColumn(Kind::Integer);
    for (int r = 0; r < kRows; ++r) {
        store.AppendText(0, QStringLiteral("%1").arg(r % 3 == 0 ? r : kRows - r, 6, 10, QChar('0')));
        if (r == 5)
            store.AppendNull(1);
        else
            store.AppendNumber(1, r - 1);
        store.EndRow();
    }
    store.Finish();
    EXPECT_EQ(store.RowCells(0), QStringList({"000000", "-1"}));
    EXPECT_EQ(store.RowCells(1), QStringList({"069999", "0"}));
    EXPECT_EQ(store.RowCells(5), QStringList({"069995", ""}));
    EXPECT_EQ(store.RowCells(kRows - 1), QStringList({"069999", "69998"}));
    store.SortRows(0, false, false);
    EXPECT_EQ(store.RowCells(0), QStringList({"000000", "-1"}));
    EXPECT_EQ(store.RowCells(1), QStringList({"000002", "69997"}));
    // "069999" twice (rows 1 and 69999), in their order.
    EXPECT_EQ(store.RowCells(kRows - 2), QStringList({"069999", "0"}));
    EXPECT_EQ(store.RowCells(kRows - 1), QStringList({"069999", "69998"}));
    // The empty cell reads as 0, and stays before the other 0 as the text sort left it.
    store.SortRows(1, true, false);
    EXPECT_EQ(store.RowCells(0), QStringList({"000000", "-1"}));
    EXPECT_EQ(store.RowCells(1), QStringList({"069995", ""}));
    EXPECT_EQ(store.RowCells(2), QStringList({"069999", "0"}));
}
