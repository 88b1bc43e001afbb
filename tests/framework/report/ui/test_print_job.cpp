#include "CKvDC.h"
#include "CKvException.h"
#include "CPrintInfo.h"
#include "CPrintJob.h"
#include "CPrintStatusDlg.h"
#include "KvPrintTestUtil.h"
#include "KvPrinterPaper.h"
#include "KvTestSupport.h"

#include <QApplication>
#include <QClipboard>
#include <QFile>
#include <QLabel>
#include <QPainter>
#include <functional>
#include <gtest/gtest.h>

namespace {

// A job that records the pages it is asked to print and what the status
// window shows meanwhile.
class CRecordingJob : public CPrintJob
{
public:
    std::vector<int> pages;
    QStringList status;
    int maxPage = CPrintInfo::NoPageLimit; // as set when printing begins
    int fromPage = 0;                      // 0: the whole range
    int toPage = 0;
    std::function<void(int page)> onPage;
    QSizeF paperMillimetres;

    bool OnPreparePrinting(CPrintInfo& info) override
    {
        if (!DoPreparePrinting(info))
            return false;
        if (fromPage)
            info.SetFromPage(fromPage);
        if (toPage)
            info.SetToPage(toPage);
        return true;
    }
    void OnBeginPrinting(CKvDC& dc, CPrintInfo& info) override
    {
        CPrintJob::OnBeginPrinting(dc, info);
        info.SetMaxPage(maxPage);
        paperMillimetres =
            QSizeF(m_physicalWidth * 25.4 / m_pixelsPerInchX, m_physicalHeight * 25.4 / m_pixelsPerInchY);
    }
    void Draw(CKvDC& dc) override { dc.GetPainter()->drawText(100, 100, QStringLiteral("page")); }
    void OnPrint(CKvDC& dc, CPrintInfo& info) override
    {
        pages.push_back(info.m_nCurPage);
        for (QWidget* w : QApplication::topLevelWidgets())
            if (auto* dlg = qobject_cast<CPrintStatusDlg*>(w); dlg && dlg->isVisible())
                status << dlg->findChild<QLabel*>("documentName")->text() + "|" +
                              dlg->findChild<QLabel*>("pageNumber")->text();
        if (onPage)
            onPage(info.m_nCurPage);
        CPrintJob::OnPrint(dc, info);
    }
};

class PrintJobTest : public ::testing::Test
{
protected:
    CRecordingMessageSink sink;
    CTempAppDirectory app;
};

} // namespace

TEST_F(PrintJobTest, PagesPrintedFollowTheRangeOfTheJob)
{
    const struct
    {
        const char* name;
        int maxPage;
        int from;
        int to;
        std::vector<int> expected;
    } cases[] = {
        {"no page count: one page", CPrintInfo::NoPageLimit, 0, 0, {1}},
        {"page count 3", 3, 0, 0, {1, 2, 3}},
        {"a range given backwards", 3, 3, 1, {3, 2, 1}},
        {"a range beyond the end is cut", 2, 0, 9, {1, 2}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        CRecordingJob job;
        job.maxPage = c.maxPage;
        job.fromPage = c.from;
        job.toPage = c.to;
        EXPECT_TRUE(job.PrintDirect(true));
        EXPECT_EQ(job.pages, c.expected);
        EXPECT_EQ(PdfPageCount(job.GetLastOutputFile()), static_cast<int>(c.expected.size()));
        ASSERT_FALSE(job.status.isEmpty());
        EXPECT_EQ(job.status.first(), QStringLiteral("报表1|第 %1 页").arg(c.expected.front()));
        QFile::remove(job.GetLastOutputFile());
    }
}

TEST_F(PrintJobTest, TheJobTakesThePaperSetLast)
{
    ASSERT_TRUE(SetPrinterPaper(3, 1480, 2100));
    CRecordingJob job;
    ASSERT_TRUE(job.PrintDirect(true));
    EXPECT_NEAR(job.paperMillimetres.width(), 210.0, 0.5);
    EXPECT_NEAR(job.paperMillimetres.height(), 148.0, 0.5);

    // The length of a layout, stored downward, gives the same paper.
    ASSERT_TRUE(SetPrinterPaper(3, -1480, 2100));
    CRecordingJob again;
    ASSERT_TRUE(again.PrintDirect(true));
    EXPECT_NEAR(again.paperMillimetres.height(), 148.0, 0.5);
    SetPrinterPaper(1, 0, 0);
}

TEST_F(PrintJobTest, PrintingAgainWhileTheJobPrintsDoesNothing)
{
    CRecordingJob job;
    job.maxPage = 2;
    std::vector<bool> inner;
    // The page loop lets other windows work: a second print command arrives.
    job.onPage = [&](int) { inner.push_back(job.PrintDirect(true)); };
    EXPECT_TRUE(job.PrintDirect(true));
    EXPECT_EQ(inner, (std::vector<bool>{false, false}));
    EXPECT_EQ(job.pages, (std::vector<int>{1, 2}));
    EXPECT_EQ(PdfFiles().size(), 1u) << "one document, no second run";
    EXPECT_FALSE(job.IsPrinting());
}

TEST_F(PrintJobTest, AFailedPageStopsTheDocumentAndSaysSo)
{
    CRecordingJob job;
    job.maxPage = 3;
    job.onPage = [](int page) {
        if (page == 2)
            throw CKvException(QStringLiteral("读取数据失败"));
    };
    EXPECT_FALSE(job.PrintDirect(true));
    EXPECT_EQ(job.pages, (std::vector<int>{1, 2}));
    ASSERT_EQ(sink.Messages().size(), 1u);
    EXPECT_EQ(sink.Messages()[0].caption, QStringLiteral("警告"));
    EXPECT_EQ(sink.Messages()[0].text, QStringLiteral("打印第 2 页时出错，打印已中止！\n读取数据失败"));
    EXPECT_TRUE(PdfFiles().isEmpty()) << "no half document is left behind";
    EXPECT_TRUE(job.GetLastOutputFile().isEmpty());
}

TEST_F(PrintJobTest, ADocumentThatCannotStartPrintsNothingAndSaysSo)
{
    // The program folder is a file: no document can be written there.
    const QString notAFolder = app.FilePath("file");
    QFile file(notAFolder);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.close();
    SetAppDirectory(notAFolder);
    CRecordingJob job;
    EXPECT_FALSE(job.PrintDirect(true));
    SetAppDirectory(app.Path());
    EXPECT_TRUE(job.pages.empty());
    EXPECT_EQ(sink.Texts(), QStringList{"无法开始打印作业！"});
}
