#include "CAdoConnection.h"
#include "CAdoRecordset.h"
#include "CKvDC.h"
#include "CKvExtList2.h"
#include "CListPrintJob.h"
#include "CListPrintSettings.h"
#include "CPrintInfo.h"
#include "CPrintPreviewDlg.h"
#include "CQueryResultDlg.h"
#include "CReportField.h"
#include "KvFreshDatabase.h"
#include "KvLayoutsBefore8.h"
#include "KvModalScript.h"
#include "KvPrintFont.h"
#include "KvPrintTestUtil.h"
#include "KvPrinterPaper.h"
#include "KvReportCatalogues.h"
#include "KvSchema.h"
#include "KvSql.h"
#include "KvTestSupport.h"

#include <QFile>
#include <QFontInfo>
#include <QFontMetrics>
#include <functional>
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

// The texts of a stored layout that print beyond their columns on its paper,
// in the fonts and units the list job prints with, and a line when the
// columns do not fit between the margins. `valueOf` gives the ordinary value
// of a column by its heading (empty when it knows none).
QStringList LayoutOverflows(CFreshDatabase& fresh, const QString& reportType,
                            const std::function<QString(const QString&)>& valueOf)
{
    const QMap<QString, QString> form = fresh.Row(
        KvFormatSql("select ReportId, PaperSize, LeftOffset, RightOffset, TopOffset, BottomOffset from KvReportForm "
                    "where ReportType = '%s'",
                    reportType));
    QStringList titles, cells;
    CListPrintSettings settings;
    CAdoLease<CAdoRecordset> rs(fresh.Db().AcquireRecordset());
    rs->Open("select ColHeader, ColWidth from KvReportCol where ReportId = " + form["ReportId"] + " order by ColX");
    for (; !rs->IsEOF(); rs->MoveNext()) {
        titles << rs->GetFieldText("ColHeader");
        cells << valueOf(titles.last());
        settings.m_colWidths << rs->GetFieldInt("ColWidth");
    }
    settings.m_paperIndex = form["PaperSize"].toInt();
    settings.m_leftMargin = form["LeftOffset"].toInt();
    settings.m_rightMargin = form["RightOffset"].toInt();
    settings.m_topMargin = form["TopOffset"].toInt();
    settings.m_bottomMargin = form["BottomOffset"].toInt();
    CQueryResultDlg dialog(nullptr, reportType + QStringLiteral("()"));
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
        if (cells.at(c).isEmpty())
            overflows << titles.at(c) + QStringLiteral(" (no ordinary value)");
        if (CListPrintJob::kHeadingInset + heading.horizontalAdvance(titles.at(c)) > width)
            overflows << titles.at(c) + QStringLiteral(" (heading in %1)").arg(width);
        if (CListPrintJob::kCellInset + body.horizontalAdvance(cells.at(c)) > width)
            overflows << titles.at(c) + QStringLiteral(": ") + cells.at(c) +
                             QStringLiteral(" (%1 in %2)")
                                 .arg(CListPrintJob::kCellInset + body.horizontalAdvance(cells.at(c)))
                                 .arg(width);
    }
    if (total > area.width())
        overflows << QStringLiteral("columns %1 wide in %2").arg(total).arg(area.width());
    job->OnEndPrinting(dc, info);
    return overflows;
}

// An ordinary value of each text column a shipped layout prints, by heading.
const QMap<QString, QString>& OrdinaryTexts()
{
    static const QMap<QString, QString> values{{"用户代码", "0100230017"},
                                               {"用户姓名", "张晓明"},
                                               {"电表编号", "00012345"},
                                               {"上级表号", "00012345"},
                                               {"附表编号", "00012345"},
                                               {"用电性质", "居民生活用电"},
                                               {"收费性质", "居民生活用水"},
                                               {"电价代码", "0101"},
                                               {"计量类别", "一卡抄水价"},
                                               {"电卡类型", "IC钥匙卡"},
                                               {"设备类型", "预付费控制器"},
                                               {"电表相线", "三相四线"},
                                               {"付款方式", "现金"},
                                               {"操作方式", "补卡充值2"},
                                               {"操作员", "操作员甲"},
                                               {"小区名称", "幸福花园小区"},
                                               {"楼幢名称", "12号楼"},
                                               {"楼层", "12"},
                                               {"房号", "1201"},
                                               {"单元", "3单元"},
                                               {"部门", "营业一部"},
                                               {"安装级别", "一级"},
                                               {"单 价", "0.5880"}};
    return values;
}

// An ordinary value of a column of a layout, by the kind its report's field
// catalogue gives it: a date as its format prints it, a count of a year's
// sales, and amounts of a single sale in a detail or of a counter's year in a
// statistic (and in a balance list, one household's balance). Empty for a
// heading of no known kind.
QString OrdinaryValue(const QString& reportType, const QString& heading)
{
    if (OrdinaryTexts().contains(heading))
        return OrdinaryTexts().value(heading);
    CReportFieldList* catalogue = GetReportCatalogue(reportType);
    const CReportField* field = catalogue ? catalogue->FindByCaption(heading) : nullptr;
    if (field == nullptr)
        return QString();
    if (field->GetType() == KV_DT)
        return QStringLiteral("2026-12-02 09:30:15");
    if (field->GetType() == KV_D)
        return QStringLiteral("2026-12-02");
    if (field->GetColumnName() == QStringLiteral("ItemCount"))
        return QStringLiteral("100000");
    if (!field->IsNumeric())
        return QString();
    const bool yearTotal = GetGroupingFieldCount(reportType) > 0;
    const QString whole = yearTotal ? QStringLiteral("1234567") : QStringLiteral("12345");
    if (field->GetType() == KV_LONG || field->GetDecimals() == 0)
        return whole;
    return whole + u'.' + QStringLiteral("6789").left(field->GetDecimals());
}

// The texts of a shipped layout that print beyond its columns with ordinary
// values.
QStringList OrdinaryOverflows(CFreshDatabase& fresh, const QString& reportType)
{
    return LayoutOverflows(fresh, reportType,
                           [&](const QString& heading) { return OrdinaryValue(reportType, heading); });
}

// The widths of a layout's columns, in order.
QString LayoutWidths(CFreshDatabase& fresh, const QString& reportType)
{
    return fresh.Value(KvFormatSql("select group_concat(ColWidth, ',') from (select c.ColWidth from KvReportCol c "
                                   "join KvReportForm f on f.ReportId = c.ReportId where f.ReportType = '%s' "
                                   "order by c.ColX)",
                                   reportType));
}


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

// Ordinary values of the sale detail and of the other layouts widened with it
// print inside their columns on a fresh database and on a file upgraded from
// the widths shipped before, which are then those of a fresh database; a layout an administrator
// changed keeps his widths.
TEST(SaleDetailPrint, OrdinaryValuesPrintInsideTheShippedColumns)
{
    CRecordingMessageSink sink;
    CFreshDatabase fresh;
    for (const auto& [type, widths] : kLayoutsBefore8)
        EXPECT_EQ(OrdinaryOverflows(fresh, type), QStringList()) << type.toStdString();
    {
        CFreshDatabase old;
        for (const auto& [type, widths] : kLayoutsBefore8) {
            SetLayoutWidths(old.Db(), type, widths);
            EXPECT_FALSE(OrdinaryOverflows(old, type).isEmpty())
                << type.toStdString() << ": the widths shipped before cut the values";
        }
        old.Db().Execute(QStringLiteral("PRAGMA user_version = 7"), QString());
        EXPECT_EQ(UpdateSchemaVersion(old.Db()), CurrentSchemaVersion());
        for (const auto& [type, widths] : kLayoutsBefore8) {
            EXPECT_EQ(OrdinaryOverflows(old, type), QStringList()) << type.toStdString();
            EXPECT_EQ(LayoutWidths(old, type), LayoutWidths(fresh, type)) << type.toStdString();
        }
    }
    {
        // An administrator's change of a column, of the margins or of the
        // paper makes the layout his: each changed layout keeps its widths.
        const char* const changes[] = {nullptr, "LeftOffset = 150", "BottomOffset = 50", "PaperSize = 9",
                                       "bHPaper = '是'"};
        CFreshDatabase changed;
        QMap<QString, QString> before;
        int n = 0;
        for (const auto& [type, widths] : kLayoutsBefore8) {
            const char* change = changes[n++ % std::size(changes)];
            QList<int> own = widths;
            if (!change)
                own[1] += 60;
            SetLayoutWidths(changed.Db(), type, own);
            if (change)
                changed.Db().Execute(QStringLiteral("update KvReportForm set ") + QString::fromUtf8(change) +
                                         KvFormatSql(" where ReportType = '%s'", type),
                                     QString());
            before[type] = LayoutWidths(changed, type);
        }
        changed.Db().Execute(QStringLiteral("PRAGMA user_version = 7"), QString());
        EXPECT_EQ(UpdateSchemaVersion(changed.Db()), CurrentSchemaVersion());
        for (const auto& [type, widths] : kLayoutsBefore8)
            EXPECT_EQ(LayoutWidths(changed, type), before[type]) << type.toStdString();
    }
    EXPECT_TRUE(sink.Texts().isEmpty()) << sink.Texts().join(u'|').toStdString();
}

// Every shipped layout prints an ordinary value of each of its columns inside
// the column, and its columns fit between the margins of its paper.
TEST(ShippedLayoutPrint, OrdinaryValuesPrintInsideEveryColumn)
{
    CRecordingMessageSink sink;
    CFreshDatabase fresh;
    QStringList types;
    CAdoLease<CAdoRecordset> rs(fresh.Db().AcquireRecordset());
    rs->Open(QStringLiteral("select ReportType from KvReportForm order by ReportId"));
    for (; !rs->IsEOF(); rs->MoveNext())
        types << rs->GetFieldText("ReportType");
    EXPECT_EQ(types.size(), 33);
    QStringList cut;
    for (const QString& type : types) {
        for (const QString& overflow : OrdinaryOverflows(fresh, type))
            cut << type + QStringLiteral(" | ") + overflow;
    }
    EXPECT_EQ(cut, QStringList()) << cut.join(u'\n').toStdString();
    EXPECT_TRUE(sink.Texts().isEmpty()) << sink.Texts().join(u'|').toStdString();
}
