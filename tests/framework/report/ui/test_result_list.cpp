// The result list over a large row store: rows read on demand, the look of
// the other lists, and the header click that sorts.
#include "../../ui/KvUiTestUtil.h"
#include "CListPrintSettings.h"
#include "CQueryResultDlg.h"
#include "CReportStore.h"
#include "CReportStoreModel.h"
#include "CResultList.h"
#include "KvReportCatalogues.h"
#include "KvTestSupport.h"

#include <QHeaderView>
#include <QLabel>
#include <QTableWidget>
#include <gtest/gtest.h>

namespace {

constexpr int kRows = 200000;

// User codes counting down, names from a few repeating ones and amounts
// repeating every thousand rows; the summary row last.
CReportStore LargeStore()
{
    using Kind = CReportStore::EColumnKind;
    CReportStore store({"用户代码", "用户姓名", "电  费"});
    store.AddColumn(Kind::Text);
    store.AddColumn(Kind::Text);
    store.AddColumn(Kind::Fixed, 2);
    const QStringList names = {"乙", "甲", "丙"};
    for (int r = 0; r < kRows; ++r) {
        store.AppendText(0, QStringLiteral("%1").arg(kRows - r, 6, 10, QChar('0')));
        store.AppendText(1, names.at(r % 3));
        store.AppendNumber(2, (r % 1000) * 0.25);
        store.EndRow();
    }
    store.SetSummaryRow({"汇    总", "", "24975000.00"});
    store.Finish();
    return store;
}

} // namespace

TEST(ResultList, TwoHundredThousandRowsAreReadFromTheStoreNotHeldAsItems)
{
    CRecordingMessageSink sink;
    CTempAppDirectory app;
    CReportStore store = LargeStore();
    CListPrintSettings settings;
    settings.m_colWidths = {300, 400, 250};
    CQueryResultDlg dialog(nullptr, QStringLiteral("售电记录明细表(全期；)"));
    dialog.SetData(&store, settings);
    dialog.SetCatalogue(GetReportCatalogue(QStringLiteral("售电记录明细表")));
    dialog.SetSummaryRow(true);
    dialog.SetRecordCountText(QStringLiteral("记录总数：%1").arg(kRows));
    dialog.EnsureInitialised();
    ASSERT_TRUE(ShowActive(&dialog));

    CResultList* list = dialog.findChild<CResultList*>(QStringLiteral("c1200"));
    ASSERT_EQ(list, dialog.GetList());
    // No item a cell: the view is no item widget and holds none.
    EXPECT_EQ(qobject_cast<QTableWidget*>(static_cast<QTableView*>(list)), nullptr);
    EXPECT_TRUE(dialog.findChildren<QTableWidget*>().isEmpty());
    EXPECT_EQ(list->model(), list->GetModel());
    EXPECT_EQ(list->model()->rowCount(), kRows + 1);
    EXPECT_EQ(list->model()->columnCount(), 3);
    EXPECT_EQ(list->GetItemText(0, 0), QStringLiteral("200000"));
    EXPECT_EQ(list->GetItemText(kRows - 1, 2), QStringLiteral("249.75"));
    EXPECT_EQ(list->GetItemText(kRows, 0), QStringLiteral("汇    总"));
    EXPECT_EQ(dialog.findChild<QLabel*>(QStringLiteral("c1262"))->text(), QStringLiteral("记录总数：200000"));

    // The look of the result lists: rows 20 high, titled columns as wide as
    // their titles plus 20, the button face around the rows.
    EXPECT_EQ(list->verticalHeader()->defaultSectionSize(), 20);
    EXPECT_EQ(list->verticalHeader()->sectionResizeMode(0), QHeaderView::Fixed);
    EXPECT_EQ(list->rowHeight(kRows - 1), 20);
    const QFontMetrics metrics = list->horizontalHeader()->fontMetrics();
    EXPECT_EQ(list->columnWidth(1), metrics.horizontalAdvance(QStringLiteral("用户姓名")) + 20);
    EXPECT_EQ(list->palette().color(QPalette::Base), list->palette().color(QPalette::Button));
    EXPECT_EQ(list->model()->headerData(2, Qt::Horizontal).toString(), QStringLiteral("电  费"));

    // A click on the amount heading sorts by value, the summary kept last;
    // equal amounts keep their order (user codes still counting down).
    QHeaderView* header = list->horizontalHeader();
    MouseClick(header->viewport(), QPoint(header->sectionViewportPosition(2) + 5, header->height() / 2));
    EXPECT_EQ(list->GetItemText(0, 2), QStringLiteral("0.00"));
    EXPECT_EQ(list->GetItemText(0, 0), QStringLiteral("200000"));
    EXPECT_EQ(list->GetItemText(1, 0), QStringLiteral("199000"));
    EXPECT_EQ(list->GetItemText(kRows - 1, 2), QStringLiteral("249.75"));
    EXPECT_EQ(list->GetItemText(kRows, 0), QStringLiteral("汇    总"));
    EXPECT_EQ(list->model()->rowCount(), kRows + 1);

    // A click on a row selects it whole.
    MouseClick(list->viewport(), list->visualRect(list->model()->index(2, 1)).center());
    EXPECT_EQ(list->GetSelectedRow(), 2);
    EXPECT_EQ(list->selectionModel()->selectedIndexes().size(), 3);
    EXPECT_TRUE(sink.Texts().isEmpty());
}
