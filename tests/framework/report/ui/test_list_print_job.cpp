#include "CAdoConnection.h"
#include "CAdoRecordset.h"
#include "CKvDC.h"
#include "CKvExtList2.h"
#include "CListPrintJob.h"
#include "CListPrintSettings.h"
#include "CPrintInfo.h"
#include "CPrintPreviewDlg.h"
#include "CQueryResultDlg.h"
#include "KvFreshDatabase.h"
#include "KvModalScript.h"
#include "KvPrintFont.h"
#include "KvPrintTestUtil.h"
#include "KvPrinterPaper.h"
#include "KvSchema.h"
#include "KvTestSupport.h"

#include <QFile>
#include <QFontInfo>
#include <QFontMetrics>
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

namespace {

// An ordinary value of each column of the sale detail, by heading.
const QMap<QString, QString>& SaleDetailValues()
{
    static const QMap<QString, QString> values{{"用户代码", "0100230017"}, {"用户姓名", "张晓明"},
                                               {"电表编号", "00000012"},   {"用电性质", "居民生活用电"},
                                               {"购买电量", "12345.67"},   {"单 价", "0.5880"},
                                               {"电  费", "12345.67"},     {"附表收费", "12345.67"},
                                               {"物业收费", "12345.67"},   {"总金额", "12345.67"},
                                               {"实收金额", "12345.67"},   {"本次余额", "12345.67"},
                                               {"付款方式", "现金"},       {"写卡时间", "2026-12-02 09:30:15"},
                                               {"操作员", "操作员甲"}};
    return values;
}

// The texts of the sale detail's stored layout that print beyond their
// columns on its paper, in the fonts and units the list job prints with, and
// a line when the columns do not fit between the margins.
QStringList SaleDetailOverflows(CFreshDatabase& fresh)
{
    const QMap<QString, QString> form =
        fresh.Row("select ReportId, PaperSize, LeftOffset, RightOffset, TopOffset, BottomOffset from KvReportForm "
                  "where ReportType = '售电记录明细表'");
    QStringList titles, cells;
    CListPrintSettings settings;
    CAdoLease<CAdoRecordset> rs(fresh.Db().AcquireRecordset());
    rs->Open("select ColHeader, ColWidth from KvReportCol where ReportId = " + form["ReportId"] + " order by ColX");
    for (; !rs->IsEOF(); rs->MoveNext()) {
        titles << rs->GetFieldText("ColHeader");
        cells << SaleDetailValues().value(titles.last());
        settings.m_colWidths << rs->GetFieldInt("ColWidth");
    }
    settings.m_paperIndex = form["PaperSize"].toInt();
    settings.m_leftMargin = form["LeftOffset"].toInt();
    settings.m_rightMargin = form["RightOffset"].toInt();
    settings.m_topMargin = form["TopOffset"].toInt();
    settings.m_bottomMargin = form["BottomOffset"].toInt();
    CQueryResultDlg dialog(nullptr, QStringLiteral("售电记录明细表()"));
    dialog.SetData(&cells, 1, &titles, titles.size(), settings);
    dialog.EnsureInitialised();

    SetPrinterPaper(settings.PrinterPaperMode(), 0, 0);
    CPrintInfo info;
    CListPrintJob* job = dialog.GetPrintJob();
    if (!job->DoPreparePrinting(info))
        return {"no printer"};
    CKvDC dc(nullptr, KvPageMetrics::Of(*info.m_printer));
    job->OnBeginPrinting(dc, info);
    QPoint origin;
    QSize area;
    job->GetPrintArea(dc, origin, area);

    QStringList overflows;
    const QFontMetrics body(job->GetBodyFont());
    const QFontMetrics heading(job->GetHeadingFont());
    int total = 0;
    for (int c = 0; c < titles.size(); ++c) {
        const int width = settings.m_colWidths.at(c);
        total += width;
        if (CListPrintJob::kHeadingInset + heading.horizontalAdvance(titles.at(c)) > width)
            overflows << titles.at(c) + QStringLiteral(" (heading in %1)").arg(width);
        if (CListPrintJob::kCellInset + body.horizontalAdvance(cells.at(c)) > width)
            overflows << cells.at(c) +
                             QStringLiteral(" (%1 in %2)").arg(body.horizontalAdvance(cells.at(c))).arg(width);
    }
    if (total > area.width())
        overflows << QStringLiteral("columns %1 wide in %2").arg(total).arg(area.width());
    job->OnEndPrinting(dc, info);
    return overflows;
}

// The widths of the sale detail's columns, in order.
QString SaleDetailWidths(CFreshDatabase& fresh)
{
    return fresh.Value("select group_concat(ColWidth, ',') from (select c.ColWidth from KvReportCol c "
                       "join KvReportForm f on f.ReportId = c.ReportId where f.ReportType = '售电记录明细表' "
                       "order by c.ColX)");
}

// Puts back the widths shipped before version 8 and marks the file version 7.
void MakeVersion7SaleDetail(CFreshDatabase& fresh, const QList<int>& widths)
{
    for (int x = 0; x < widths.size(); ++x)
        fresh.Db().Execute(QStringLiteral("update KvReportCol set ColWidth = %1 where ColX = %2 and ReportId = "
                                          "(select ReportId from KvReportForm where ReportType = '售电记录明细表')")
                               .arg(widths.at(x))
                               .arg(x),
                           QString());
    fresh.Db().Execute(QStringLiteral("PRAGMA user_version = 7"), QString());
}

const QList<int> kWidthsBefore8{200, 200, 200, 200, 170, 140, 170, 170, 170, 170, 170, 170, 150, 340, 150};

} // namespace

// The layouts' face "宋体" prints in an installed CJK face with half-width
// digits, whether or not the machine knows a face of that name.
TEST(PrintFace, TheShippedChineseFacePrintsInACjkFaceWithHalfWidthDigits)
{
    QFont font = KvPrintFont(QStringLiteral("宋体"));
    font.setPixelSize(35);
    EXPECT_TRUE(QFontInfo(font).family().contains(QStringLiteral("WenQuanYi Micro Hei")))
        << QFontInfo(font).family().toStdString();
    const QFontMetrics metrics(font);
    EXPECT_LE(metrics.horizontalAdvance(QStringLiteral("0123456789")), 10 * 35 * 6 / 10);
    EXPECT_EQ(metrics.horizontalAdvance(QStringLiteral("居")), 35);
    // Another face is left as the layout names it.
    EXPECT_EQ(KvPrintFont(QStringLiteral("Courier")).family(), QStringLiteral("Courier"));
}

// Ordinary values of the sale detail print inside their columns on A4
// landscape, on a fresh database and on one upgraded from the widths shipped
// before; a layout an administrator changed keeps his widths.
TEST(SaleDetailPrint, OrdinaryValuesPrintInsideTheShippedColumns)
{
    CRecordingMessageSink sink;
    {
        CFreshDatabase fresh;
        EXPECT_EQ(SaleDetailOverflows(fresh), QStringList());
    }
    {
        CFreshDatabase old;
        MakeVersion7SaleDetail(old, kWidthsBefore8);
        EXPECT_FALSE(SaleDetailOverflows(old).isEmpty()) << "the widths shipped before cut the values";
        EXPECT_EQ(UpdateSchemaVersion(old.Db()), CurrentSchemaVersion());
        EXPECT_EQ(SaleDetailOverflows(old), QStringList());
        CFreshDatabase fresh;
        EXPECT_EQ(SaleDetailWidths(old), SaleDetailWidths(fresh));
    }
    {
        CFreshDatabase changed;
        QList<int> own = kWidthsBefore8;
        own[1] = 260;
        MakeVersion7SaleDetail(changed, own);
        const QString before = SaleDetailWidths(changed);
        EXPECT_EQ(UpdateSchemaVersion(changed.Db()), CurrentSchemaVersion());
        EXPECT_EQ(SaleDetailWidths(changed), before);
    }
    EXPECT_TRUE(sink.Texts().isEmpty()) << sink.Texts().join(u'|').toStdString();
}
