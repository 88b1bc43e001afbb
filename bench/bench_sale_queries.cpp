// The sale record query and the sale statistics on a counter's three years:
// 1,000,000 completed sales of 20,000 users and meters in 20 districts sold by
// 10 operators, generated once and cached beside the program. Each run is timed
// from the statement to the cell table handed to the result list, next to the
// same statement stepped raw through SQLite, with its query plan.
#include "CAdoConnection.h"
#include "CAdoRecordset.h"
#include "CKvDC.h"
#include "CListPrintJob.h"
#include "CListPrintSettings.h"
#include "CPrintInfo.h"
#include "CQueryResultDlg.h"
#include "CReportTable.h"
#include "CSqliteEngine.h"
#include "KvReportCatalogues.h"
#include "KvSaleGenerator.h"
#include "KvSaleQuerySql.h"
#include "KvSchema.h"

#include <QApplication>
#include <QImage>
#include <QPainter>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <cstdio>
#include <sqlite3.h>

namespace {

QString cachePath()
{
    return QCoreApplication::applicationDirPath() + QStringLiteral("/sales_1m.db");
}

QStringList layoutHeadings(CAdoConnection& db, const QString& reportType, QList<int>* widths)
{
    CAdoLease<CAdoRecordset> rs(db.AcquireRecordset());
    rs->Open(QStringLiteral("select c.ColHeader, c.ColWidth from KvReportCol c, KvReportForm f where c.ReportId = f.ReportId "
                            "and f.ReportType = '%1' and f.ReportId = (select min(ReportId) from KvReportForm "
                            "where ReportType = '%1') order by c.ColX")
                 .arg(reportType));
    QStringList headings;
    for (; !rs->IsEOF(); rs->MoveNext()) {
        headings << rs->GetFieldString(QStringLiteral("ColHeader"));
        *widths << rs->GetFieldInt(QStringLiteral("ColWidth"));
    }
    return headings;
}

// The result list filled with the table, then the preview's first page drawn
// as the preview draws it; the seconds of each.
void listAndFirstPage(const CReportTable& table, const QList<int>& widths, double* listSeconds, double* pageSeconds)
{
    QElapsedTimer timer;
    timer.start();
    QStringList cells = table.cells;
    QStringList titles = table.titles;
    CListPrintSettings settings;
    settings.m_title = QStringLiteral("bench");
    settings.m_colWidths = widths;
    CQueryResultDlg dialog(nullptr, QStringLiteral("bench"));
    dialog.SetData(&cells, table.rows, &titles, table.columns, settings);
    dialog.EnsureInitialised();
    *listSeconds = timer.nsecsElapsed() / 1e9;

    timer.restart();
    CListPrintJob* job = dialog.GetPrintJob();
    CPrintInfo info;
    info.m_bPreview = true;
    if (!job->OnPreparePrinting(info) || !info.m_printer) {
        *pageSeconds = -1;
        return;
    }
    const KvPageMetrics metrics = KvPageMetrics::Of(*info.m_printer);
    {
        CKvDC dc(nullptr, metrics);
        job->OnBeginPrinting(dc, info);
    }
    QImage page(metrics.printableWidth / 4 + 1, metrics.printableHeight / 4 + 1, QImage::Format_RGB32);
    page.fill(Qt::white);
    {
        QPainter painter(&page);
        CKvDC dc(&painter, metrics, QTransform::fromScale(0.25, 0.25), true);
        info.m_nCurPage = 1;
        info.m_rectDraw = dc.DPtoLP(QRect(0, 0, metrics.printableWidth, metrics.printableHeight));
        job->OnPrepareDC(dc, info);
        dc.Apply();
        job->OnPrint(dc, info);
    }
    *pageSeconds = timer.nsecsElapsed() / 1e9;
    CKvDC dc(nullptr, metrics);
    job->OnEndPrinting(dc, info);
}

double rawSeconds(sqlite3* db, const QString& sql, int* rows)
{
    QElapsedTimer timer;
    timer.start();
    sqlite3_stmt* stmt = nullptr;
    sqlite3_prepare_v2(db, sql.toUtf8().constData(), -1, &stmt, nullptr);
    *rows = 0;
    const int columns = sqlite3_column_count(stmt);
    while (sqlite3_step(stmt) == SQLITE_ROW) {
        for (int c = 0; c < columns; ++c)
            sqlite3_column_text(stmt, c);
        ++*rows;
    }
    sqlite3_finalize(stmt);
    return timer.nsecsElapsed() / 1e9;
}

void printPlan(sqlite3* db, const QString& sql)
{
    sqlite3_stmt* stmt = nullptr;
    sqlite3_prepare_v2(db, ("EXPLAIN QUERY PLAN " + sql).toUtf8().constData(), -1, &stmt, nullptr);
    while (sqlite3_step(stmt) == SQLITE_ROW)
        std::printf("    %s\n", reinterpret_cast<const char*>(sqlite3_column_text(stmt, 3)));
    sqlite3_finalize(stmt);
}

void run(CAdoConnection& db, const char* name, const QString& sql, const QString& reportType)
{
    auto* engine = dynamic_cast<CSqliteEngine*>(db.GetEngine());
    sqlite3* raw = engine->handle();
    // The text the engine runs (a period drives the join), planned and stepped raw.
    const QString ran = engine->adaptQuery(sql);
    std::printf("%s\n", name);
    printPlan(raw, ran);
    QList<int> widths;
    const QStringList headings = layoutHeadings(db, reportType, &widths);
    CReportFieldList* catalogue = GetReportCatalogue(reportType);
    QElapsedTimer timer;
    timer.start();
    int rows = 0;
    CReportTable table;
    {
        CAdoLease<CAdoRecordset> rs(db.AcquireRecordset());
        rs->Open(sql);
        rows = rs->GetRecordCount();
        if (rows > 0 && catalogue)
            table = BuildReportTable(*rs, rows, headings, *catalogue);
    }
    const double ours = timer.nsecsElapsed() / 1e9;
    double listSeconds = 0;
    double pageSeconds = 0;
    if (table.rows > 0)
        listAndFirstPage(table, widths, &listSeconds, &pageSeconds);
    int rawRows = 0;
    const double stepped = rawSeconds(raw, ran, &rawRows);
    std::printf("  %-34s %8d rows  %8.3f s to the list table  %8.3f s raw (%d rows)  ratio %5.2f\n", name, rows,
                ours, stepped, rawRows, stepped > 0 ? ours / stepped : 0.0);
    std::printf("  %-34s list filled %.3f s, preview first page %.3f s; statement to first page %.3f s\n", "",
                listSeconds, pageSeconds, ours + listSeconds + pageSeconds);
}

} // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    setvbuf(stdout, nullptr, _IOLBF, 0);
    const QString path = cachePath();
    if (!QFile::exists(path))
        BuildGeneratedSalesFile(path, MillionSalesSpec());
    CAdoConnection db;
    db.Open(0, path);

    CSaleStatCondition month;
    month.m_bPeriod = 1;
    month.m_periodFrom = QDateTime(QDate(2023, 6, 1), QTime());
    month.m_periodTo = QDateTime(QDate(2023, 6, 30), QTime());
    month.m_grouping = 8;
    run(db, "statistics by district, one month", SaleStatSql(month),
        QString::fromUtf8(SaleStatGrouping(8)->reportType));
    month.m_grouping = 0;
    run(db, "statistics by user meter, one month", SaleStatSql(month),
        QString::fromUtf8(SaleStatGrouping(0)->reportType));

    CSaleCondition day;
    day.m_bPeriod = 1;
    day.m_periodFrom = day.m_periodTo = QDateTime(QDate(2023, 6, 15), QTime());
    run(db, "sale record query, one day", SaleRecordQuerySql(day), SaleRecordReportType());
    // The whole table last: the join of thirteen tables over every sale bounds it.
    CSaleStatCondition byOperator;
    byOperator.m_grouping = 6;
    run(db, "statistics by operator, all", SaleStatSql(byOperator), QString::fromUtf8(SaleStatGrouping(6)->reportType));

    return 0;
}
