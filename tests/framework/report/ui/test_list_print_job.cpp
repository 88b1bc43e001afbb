#include "CKvDC.h"
#include "CKvExtList2.h"
#include "CListPrintJob.h"
#include "CListPrintSettings.h"
#include "CPrintInfo.h"
#include "CPrintPreviewDlg.h"
#include "CQueryResultDlg.h"
#include "KvModalScript.h"
#include "KvPrintTestUtil.h"
#include "KvPrinterPaper.h"
#include "KvTestSupport.h"

#include <QFile>
#include <gtest/gtest.h>

namespace {

// A result list of `rows` report rows and its summary row, two columns.
class ListPrintTest : public ::testing::Test
{
protected:
    CRecordingMessageSink sink;
    CTempAppDirectory app;
    QStringList cells;
    QStringList titles{"用户代码", "余  额"};
    CListPrintSettings settings;

    ~ListPrintTest() override { SetPrinterPaper(1, 0, 0); }

    std::unique_ptr<CQueryResultDlg> makeDialog(int rows)
    {
        cells.clear();
        for (int r = 1; r <= rows; ++r)
            cells << QStringLiteral("%1").arg(r, 3, 10, QChar('0')) << QStringLiteral("1.00");
        cells << QStringLiteral("汇    总") << QString::number(rows) + QStringLiteral(".00");
        settings.m_title = QStringLiteral("余额明细表");
        settings.m_colWidths = {300, 250};
        auto dialog = std::make_unique<CQueryResultDlg>(nullptr, QStringLiteral("余额明细表()"));
        dialog->SetData(&cells, rows + 1, &titles, 2, settings);
        dialog->SetRecordCountText(QStringLiteral("记录总数：%1").arg(rows));
        dialog->EnsureInitialised();
        return dialog;
    }

    // Begins printing the dialog's job on the paper of a paper index, as the
    // print button sets it, without drawing.
    static void begin(CQueryResultDlg& dialog, int paperIndex)
    {
        CListPrintSettings paper;
        paper.m_paperIndex = paperIndex;
        SetPrinterPaper(paper.PrinterPaperMode(), 0, 0);
        CPrintInfo info;
        ASSERT_TRUE(dialog.GetPrintJob()->DoPreparePrinting(info));
        CKvDC dc(nullptr, KvPageMetrics::Of(*info.m_printer));
        dialog.GetPrintJob()->OnBeginPrinting(dc, info);
        EXPECT_EQ(info.GetMaxPage(), dialog.GetPrintJob()->GetPageCount());
    }

    static int areaHeight(CQueryResultDlg& dialog, int paperIndex)
    {
        CListPrintSettings paper;
        paper.m_paperIndex = paperIndex;
        SetPrinterPaper(paper.PrinterPaperMode(), 0, 0);
        CPrintInfo info;
        dialog.GetPrintJob()->DoPreparePrinting(info);
        CKvDC dc(nullptr, KvPageMetrics::Of(*info.m_printer));
        dc.SetMapMode(MM_LOMETRIC);
        QPoint origin;
        QSize size;
        dialog.GetPrintJob()->GetPrintArea(dc, origin, size);
        return size.height();
    }
};

} // namespace

TEST_F(ListPrintTest, RowsPerPagePagesAndTheFooterFollowThePaper)
{
    auto dialog = makeDialog(57);
    CListPrintJob* job = dialog->GetPrintJob();
    ASSERT_NE(job, nullptr);

    // A3 portrait with zero margins holds the 58 rows on one page.
    begin(*dialog, 1);
    EXPECT_EQ(job->GetRowsPerPage(), (areaHeight(*dialog, 1) - 310) / 60);
    EXPECT_EQ(job->GetPageCount(), 1);
    EXPECT_EQ(job->FooterText(1), QStringLiteral("第 1 页，共 1 页，记录总数：57"));

    // A4 landscape needs more pages; the last holds the remainder.
    begin(*dialog, 3);
    const int perPage = (areaHeight(*dialog, 3) - 310) / 60;
    EXPECT_EQ(job->GetRowsPerPage(), perPage);
    EXPECT_EQ(job->GetPageCount(), (58 + perPage - 1) / perPage);
    EXPECT_EQ(job->FooterText(2), QStringLiteral("第 2 页，共 %1 页，记录总数：57").arg(job->GetPageCount()));
}

TEST_F(ListPrintTest, APrintAreaTooLowForARowStillPrintsOneRowAPage)
{
    settings.m_topMargin = 1400;
    settings.m_bottomMargin = 1400;
    auto dialog = makeDialog(3);
    begin(*dialog, 0);
    EXPECT_EQ(dialog->GetPrintJob()->GetRowsPerPage(), 1);
    EXPECT_EQ(dialog->GetPrintJob()->GetPageCount(), 4);
}

TEST_F(ListPrintTest, ThePrintButtonOpensThePreviewOnTheLayoutsPaperAndPrintsEveryPage)
{
    settings.m_paperIndex = 3;
    auto dialog = makeDialog(57);
    int pages = 0;
    QString output;
    CModalScript script;
    script.Then([&](QWidget* window) {
        auto* preview = qobject_cast<CPrintPreviewDlg*>(window);
        ASSERT_NE(preview, nullptr);
        EXPECT_EQ(preview->GetPrintJob(), dialog->GetPrintJob());
        pages = dialog->GetPrintJob()->GetPageCount();
        CModalScript::Click(window, 1078);
        output = dialog->GetPrintJob()->GetLastOutputFile();
        CModalScript::Click(window, 1001);
    });
    CModalScript::Click(dialog.get(), 1201);
    EXPECT_TRUE(script.Exhausted());
    const QPageLayout paper = GetPrinterPaper();
    EXPECT_EQ(paper.orientation(), QPageLayout::Landscape);
    EXPECT_GT(pages, 1);
    ASSERT_FALSE(output.isEmpty());
    EXPECT_EQ(PdfPageCount(output), pages);
}
