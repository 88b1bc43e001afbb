#include "CKvDC.h"
#include "CKvPreviewView.h"
#include "CPrintInfo.h"
#include "CPrintJob.h"
#include "CPrintPreviewDlg.h"
#include "CReceiptDocument.h"
#include "CScreenMetrics.h"
#include "KvFreshDatabase.h"
#include "KvModalScript.h"
#include "KvPrintTestUtil.h"
#include "KvPrinterPaper.h"

#include <QPushButton>
#include <QScrollBar>
#include <gtest/gtest.h>

namespace {

// A job of a given number of pages (none set: the job never sets its count).
class CPagesJob : public CPrintJob
{
public:
    explicit CPagesJob(int pages) : m_pages(pages) {}
    bool OnPreparePrinting(CPrintInfo& info) override { return DoPreparePrinting(info); }
    void OnBeginPrinting(CKvDC& dc, CPrintInfo& info) override
    {
        CPrintJob::OnBeginPrinting(dc, info);
        if (m_pages > 0)
            info.SetMaxPage(m_pages);
    }
    void OnPrint(CKvDC& dc, CPrintInfo& info) override
    {
        ++m_drawn;
        CPrintJob::OnPrint(dc, info);
    }
    void Draw(CKvDC&) override {}
    int m_drawn = 0;

private:
    int m_pages;
};

void Click(CPrintPreviewDlg& dlg, int id)
{
    auto* button = dlg.findChild<QPushButton*>(CKvDialog::ControlName(id));
    ASSERT_NE(button, nullptr) << id;
    button->click();
}

class PreviewTest : public ::testing::Test
{
protected:
    CRecordingMessageSink sink;
    CTempAppDirectory app;
};

} // namespace

TEST(PreviewArithmetic, PageSizeFitAndZoomRatios)
{
    // An A4 sheet at 600 pixels per inch on a screen of 96, rounded to the nearest.
    EXPECT_EQ(CKvPreviewView::ScreenPageSize(QSize(4960, 7016), 96, 96, 600, 600), QSize(794, 1123));

    // The width limits when the page scaled to the window's height is too wide.
    EXPECT_EQ(CKvPreviewView::CalcScaleRatio(QSize(500, 1000), QSize(794, 1123)), (KvRatio{500, 794}));
    EXPECT_EQ(CKvPreviewView::CalcScaleRatio(QSize(1000, 500), QSize(794, 1123)), (KvRatio{500, 1123}));

    const struct
    {
        int state;
        KvRatio fit;
        KvRatio expected;
    } cases[] = {
        {0, {500, 1123}, {500, 1123}},   {1, {500, 1123}, {811, 1123}},   // (n + d) / 2 below 1 : 1
        {2, {500, 1123}, {1, 1}},        {1, {1200, 1000}, {1300, 1000}}, // (3n - d) / 2 above 1 : 1
        {2, {1200, 1000}, {1400, 1000}},                                  // (2n - d) : d
        {2, {1000, 1000}, {1000, 1000}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.state);
        EXPECT_EQ(CKvPreviewView::ZoomRatio(c.state, c.fit), c.expected);
    }
}

TEST_F(PreviewTest, ZoomGoesThroughThreeStatesAndKeepsThePage)
{
    CPagesJob job(3);
    CPrintPreviewDlg dlg;
    dlg.SetPrintJob(&job);
    dlg.EnsureInitialised();
    EXPECT_EQ(dlg.windowTitle(), QStringLiteral("打印预览"));
    CKvPreviewView* view = dlg.GetView();
    ASSERT_NE(view, nullptr);
    EXPECT_EQ(view->geometry(), QRect(0, 40, dlg.width(), dlg.height() - 40));
    EXPECT_EQ(view->GetZoomState(), 0);

    Click(dlg, 1082);
    EXPECT_EQ(view->GetCurrentPage(), 2);
    Click(dlg, 1080); // zoom out at state 0: nothing
    EXPECT_EQ(view->GetZoomState(), 0);
    const QRect whole = view->GetPageInfo().rectScreen;

    const int expectedStates[] = {1, 2, 2};
    for (int expected : expectedStates) {
        Click(dlg, 1079);
        EXPECT_EQ(view->GetZoomState(), expected);
        EXPECT_EQ(view->GetCurrentPage(), 2);
        EXPECT_FALSE(view->HasPagingScrollBar());
    }
    EXPECT_EQ(view->GetPageInfo().sizeScale, CKvPreviewView::ZoomRatio(2, view->GetPageInfo().sizeZoomOutRatio));
    EXPECT_GT(view->GetPageInfo().rectScreen.width(), whole.width());
    EXPECT_EQ(view->GetPageInfo().rectScreen.topLeft(), QPoint(8, 8));

    Click(dlg, 1080);
    Click(dlg, 1080);
    EXPECT_EQ(view->GetZoomState(), 0);
    EXPECT_EQ(view->GetPageInfo().rectScreen, whole);
    EXPECT_TRUE(view->HasPagingScrollBar());
    EXPECT_EQ(view->verticalScrollBar()->value(), 2);
}

TEST_F(PreviewTest, PagingStaysInsideTheDocument)
{
    const struct
    {
        const char* name;
        int pages;
        int lastPage;
        bool pagingBar;
    } cases[] = {
        {"one page", 1, 1, false},
        {"three pages", 3, 3, true},
        {"no page count: one page", 0, 1, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        CPagesJob job(c.pages);
        CPrintPreviewDlg dlg;
        dlg.SetPrintJob(&job);
        dlg.EnsureInitialised();
        CKvPreviewView* view = dlg.GetView();
        EXPECT_EQ(view->HasPagingScrollBar(), c.pagingBar);
        EXPECT_EQ(view->verticalScrollBarPolicy(), c.pagingBar ? Qt::ScrollBarAlwaysOn : Qt::ScrollBarAlwaysOff);
        Click(dlg, 1081);
        EXPECT_EQ(view->GetCurrentPage(), 1) << "no page before the first";
        for (int i = 0; i < 5; ++i) {
            Click(dlg, 1082);
            view->grab(); // paints: a page beyond the document's end goes back
        }
        EXPECT_EQ(view->GetCurrentPage(), c.lastPage) << "no page after the last";
        view->grab();
        EXPECT_GT(job.m_drawn, 0);
    }
}

TEST_F(PreviewTest, TheScrollBarTurnsThePagesInTheWholePageView)
{
    CPagesJob job(25);
    CPrintPreviewDlg dlg;
    dlg.SetPrintJob(&job);
    dlg.EnsureInitialised();
    CKvPreviewView* view = dlg.GetView();
    QScrollBar* bar = view->verticalScrollBar();
    EXPECT_EQ(bar->minimum(), 1);
    EXPECT_EQ(bar->maximum(), 25);
    EXPECT_EQ(bar->pageStep(), 3); // (25 - 1 + 9) / 10
    bar->triggerAction(QAbstractSlider::SliderSingleStepAdd);
    EXPECT_EQ(view->GetCurrentPage(), 2);
    bar->triggerAction(QAbstractSlider::SliderPageStepAdd);
    EXPECT_EQ(view->GetCurrentPage(), 5);
    bar->triggerAction(QAbstractSlider::SliderToMaximum);
    EXPECT_EQ(view->GetCurrentPage(), 25);
    bar->triggerAction(QAbstractSlider::SliderToMinimum);
    EXPECT_EQ(view->GetCurrentPage(), 1);
}

class ReceiptPreviewTest : public FreshDatabaseTest
{
};

TEST_F(ReceiptPreviewTest, AReceiptPrintsFromThePreviewWhichStaysOpen)
{
    SetPrinterPaper(3, 1480, 2100);
    CReceiptDocument doc(db());
    FillSampleSale(doc, 2);
    CPrintPreviewDlg dlg;
    dlg.SetPrintJob(&doc);

    CModalScript script;
    script.Then([&](QWidget* shown) {
        EXPECT_EQ(shown, &dlg);
        EXPECT_TRUE(dlg.GetView()->HasPagingScrollBar());
        EXPECT_EQ(dlg.GetView()->verticalScrollBar()->maximum(), 2);
        Click(dlg, 1082);
        const QImage second = dlg.GetView()->grab().toImage();
        EXPECT_FALSE(second.isNull());
        Click(dlg, 1078); // print: the preview stays open
        EXPECT_TRUE(dlg.isVisible());
        EXPECT_EQ(PdfFiles().size(), 1u);
        Click(dlg, 1001);
    });
    EXPECT_EQ(dlg.DoModal(), IDCANCEL);
    EXPECT_TRUE(script.Exhausted());
    EXPECT_EQ(PdfPageCount(doc.GetLastOutputFile()), 2);
    EXPECT_EQ(sink.Messages().size(), 1u) << "where the PDF went";
}
