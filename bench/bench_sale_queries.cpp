// The sale record query and the sale statistics on a counter's three years:
// 1,000,000 completed sales of 20,000 users and meters in 20 districts sold by
// 10 operators, generated once and cached beside the program. Each run is timed
// from the statement to the cell table handed to the result list and the
// preview's first page, next to the same statement stepped raw through SQLite
// as the layer runs it and as written, with its query plan; a whole-file
// statistic also beside its floor, one scan of the sale table. Without
// planner statistics unless --with-statistics; --receipts-all adds the
// receipt list over every sale with the peak memory.
#include "CAdoConnection.h"
#include "CAdoRecordset.h"
#include "CKvDC.h"
#include "CListPrintJob.h"
#include "CListPrintSettings.h"
#include "CPrintInfo.h"
#include "CQueryResultDlg.h"
#include "CReceiptListDlg.h"
#include "CReportTable.h"
#include "CResultList.h"
#include "CSqliteEngine.h"
#include "KvReceiptQuery.h"
#include "KvReportCatalogues.h"
#include "KvSaleGenerator.h"
#include "KvSaleQuerySql.h"
#include "KvSchema.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QImage>
#include <QPainter>
#include <cstdio>
#include <sqlite3.h>
#include <sys/resource.h>

namespace {

QString cachePath()
{
    return QCoreApplication::applicationDirPath() + QStringLiteral("/sales_1m.db");
}

QStringList layoutHeadings(CAdoConnection& db, const QString& reportType, QList<int>* widths)
{
    CAdoLease<CAdoRecordset> rs(db.AcquireRecordset());
    rs->Open(QStringLiteral(
                 "select c.ColHeader, c.ColWidth from KvReportCol c, KvReportForm f where c.ReportId = f.ReportId "
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
void listAndFirstPage(CReportStore& store, const QList<int>& widths, double* listSeconds, double* pageSeconds)
{
    QElapsedTimer timer;
    timer.start();
    CListPrintSettings settings;
    settings.m_title = QStringLiteral("bench");
    settings.m_colWidths = widths;
    CQueryResultDlg dialog(nullptr, QStringLiteral("bench"));
    dialog.SetData(&store, settings);
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

// The statement as written, planned by SQLite alone, may take many minutes
// over all sales: it is stopped after this many seconds.
constexpr double kRawLimitSeconds = 60;

int stopAfterLimit(void* timer)
{
    return static_cast<QElapsedTimer*>(timer)->nsecsElapsed() / 1e9 > kRawLimitSeconds ? 1 : 0;
}

// Seconds to step every row, or -1 when stopped at the limit.
double rawSeconds(sqlite3* db, const QString& sql, int* rows)
{
    QElapsedTimer timer;
    timer.start();
    sqlite3_progress_handler(db, 100000, stopAfterLimit, &timer);
    sqlite3_stmt* stmt = nullptr;
    sqlite3_prepare_v2(db, sql.toUtf8().constData(), -1, &stmt, nullptr);
    *rows = 0;
    const int columns = sqlite3_column_count(stmt);
    int rc = SQLITE_ROW;
    while ((rc = sqlite3_step(stmt)) == SQLITE_ROW) {
        for (int c = 0; c < columns; ++c)
            sqlite3_column_text(stmt, c);
        ++*rows;
    }
    sqlite3_finalize(stmt);
    sqlite3_progress_handler(db, 0, nullptr, nullptr);
    return rc == SQLITE_DONE ? timer.nsecsElapsed() / 1e9 : -1;
}

QString secondsText(double seconds)
{
    return seconds < 0 ? QStringLiteral("> %1 s").arg(kRawLimitSeconds) : QString::asprintf("%.3f s", seconds);
}

void printPlan(sqlite3* db, const QString& sql)
{
    sqlite3_stmt* stmt = nullptr;
    sqlite3_prepare_v2(db, ("EXPLAIN QUERY PLAN " + sql).toUtf8().constData(), -1, &stmt, nullptr);
    while (sqlite3_step(stmt) == SQLITE_ROW)
        std::printf("    %s\n", reinterpret_cast<const char*>(sqlite3_column_text(stmt, 3)));
    sqlite3_finalize(stmt);
}

// The floor of a whole-file statistic: one scan of the sale table with the
// same number of groups, no join.
QString floorSql(int grouping)
{
    switch (grouping) {
    case 6:
        return QStringLiteral(
            "select OperatorNo, count(*), sum(BuyValue), sum(Fee) from WrtRecord group by OperatorNo");
    case 7:
        return QStringLiteral("select OpMode, count(*), sum(BuyValue), sum(Fee) from WrtRecord group by OpMode");
    default:
        return QStringLiteral(
            "select CliPreIndex, count(*), sum(BuyValue), sum(Fee) from WrtRecord group by CliPreIndex");
    }
}

// Peak resident memory of the process so far, in MB.
double peakMegabytes()
{
    struct rusage usage
    {
    };
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss / 1024.0;
}

void run(CAdoConnection& db, const char* name, const QString& sql, const QString& reportType, const QString& floor = {})
{
    auto* engine = dynamic_cast<CSqliteEngine*>(db.GetEngine());
    sqlite3* raw = engine->handle();
    const QString ran = engine->adaptQuery(sql);
    std::printf("%s\n", name);
    printPlan(raw, ran);
    QList<int> widths;
    const QStringList headings = layoutHeadings(db, reportType, &widths);
    CReportFieldList* catalogue = GetReportCatalogue(reportType);
    QElapsedTimer timer;
    timer.start();
    int rows = 0;
    CReportStore store;
    {
        CAdoLease<CAdoRecordset> rs(db.AcquireRecordset());
        rs->Open(sql);
        rows = rs->GetRecordCount();
        if (rows > 0 && catalogue)
            store = BuildReportStore(*rs, rows, headings, *catalogue);
    }
    const double ours = timer.nsecsElapsed() / 1e9;
    double listSeconds = 0;
    double pageSeconds = 0;
    if (store.RowCount() > 0)
        listAndFirstPage(store, widths, &listSeconds, &pageSeconds);
    // The statement as written, planned by SQLite alone, and as the layer runs it.
    int rawRows = 0;
    const double asWritten = rawSeconds(raw, sql, &rawRows);
    const double stepped = rawSeconds(raw, ran, &rawRows);
    std::printf("  %-34s %8d rows  %8.3f s to the list table  %8.3f s raw as run  %s raw as written  "
                "ratio %5.2f\n",
                name, rows, ours, stepped, qPrintable(secondsText(asWritten)), stepped > 0 ? ours / stepped : 0.0);
    const double toPage = ours + listSeconds + pageSeconds;
    std::printf("  %-34s list filled %.3f s, preview first page %.3f s; statement to first page %.3f s\n", "",
                listSeconds, pageSeconds, toPage);
    if (!floor.isEmpty()) {
        int floorRows = 0;
        const double floorSeconds = rawSeconds(raw, floor, &floorRows);
        std::printf("  %-34s floor (one scan of the sales, same grouping) %.3f s; first page / floor %.1f\n", "",
                    floorSeconds, floorSeconds > 0 ? toPage / floorSeconds : 0.0);
    }
}

} // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    setvbuf(stdout, nullptr, _IOLBF, 0);
    const QStringList args = app.arguments();
    const QString path = cachePath();
    if (!QFile::exists(path))
        BuildGeneratedSalesFile(path, MillionSalesSpec());
    CAdoConnection db;
    db.Open(0, path);
    // The program gathers planner statistics as it closes a file; unless told
    // otherwise the queries are measured as on a file that never had them.
    if (!args.contains(QStringLiteral("--with-statistics")))
        db.ExecuteScript(QStringLiteral("drop table if exists sqlite_stat1; drop table if exists sqlite_stat4;"),
                         QString());
    std::printf("planner statistics: %s\n",
                args.contains(QStringLiteral("--with-statistics")) ? "as the file has them" : "none");

    if (args.contains(QStringLiteral("--receipts-all"))) {
        // Every sale as the receipt query shows it: the statement, its rows
        // read into the row store, the receipt list opened on it and its
        // first rows drawn. It runs first, so that the peak memory is its own.
        QElapsedTimer timer;
        timer.start();
        CReportStore store;
        int sales = 0;
        {
            CAdoLease<CAdoRecordset> rs(db.AcquireRecordset());
            store = ReadReceiptStore(*rs, ReceiptQuerySql(CSaleCondition()), &sales);
        }
        const double stored = timer.nsecsElapsed() / 1e9;
        CReceiptListDlg list(nullptr, QStringLiteral("bench"));
        list.SetData(&store);
        list.show();
        QApplication::processEvents();
        const QImage firstRows = list.GetList()->viewport()->grab().toImage();
        const double shown = timer.nsecsElapsed() / 1e9;
        const double peak = peakMegabytes();
        // The statement alone, stepped raw through SQLite as the layer runs it.
        auto* engine = dynamic_cast<CSqliteEngine*>(db.GetEngine());
        int rawRows = 0;
        const double statement =
            rawSeconds(engine->handle(), engine->adaptQuery(ReceiptQuerySql(CSaleCondition())), &rawRows);
        std::printf("receipts, all: %d rows, statement %.3f s raw as run, read forward into the row store %.3f s, "
                    "first rows shown %.3f s (%.2f times the statement; %d rows in view), peak memory %.0f MB\n",
                    sales, statement, stored, shown, statement > 0 ? shown / statement : 0.0,
                    list.GetList()->rowAt(firstRows.height() - 1) + 1, peak);
        timer.restart();
        list.SortByColumn(RcClientName);
        std::printf("receipts, all: sorted by user name in %.3f s, peak memory %.0f MB\n", timer.nsecsElapsed() / 1e9,
                    peakMegabytes());
    }

    const auto stat = [&](const char* name, int grouping, bool period, QDate from, QDate to) {
        CSaleStatCondition k;
        k.m_grouping = grouping;
        k.m_bPeriod = period ? 1 : 0;
        k.m_periodFrom = QDateTime(from, QTime());
        k.m_periodTo = QDateTime(to, QTime());
        run(db, name, SaleStatSql(k), QString::fromUtf8(SaleStatGrouping(grouping)->reportType),
            period ? QString() : floorSql(grouping));
    };
    stat("statistics by district, one month", 8, true, QDate(2023, 6, 1), QDate(2023, 6, 30));
    stat("statistics by user meter, one month", 0, true, QDate(2023, 6, 1), QDate(2023, 6, 30));
    stat("statistics by operator, one year", 6, true, QDate(2022, 1, 1), QDate(2022, 12, 31));

    CSaleCondition day;
    day.m_bPeriod = 1;
    day.m_periodFrom = day.m_periodTo = QDateTime(QDate(2023, 6, 15), QTime());
    run(db, "sale record query, one day", SaleRecordQuerySql(day), SaleRecordReportType());
    CSaleCondition user;
    user.m_bClientNo = 1;
    user.m_clientNo = QStringLiteral("00012345");
    run(db, "sale records of one user, all years", SaleRecordQuerySql(user), SaleRecordReportType());
    {
        QElapsedTimer timer;
        timer.start();
        CAdoLease<CAdoRecordset> rs(db.AcquireRecordset());
        rs->Open(ReceiptQuerySql(user));
        std::printf("receipts of one user, all years: %d rows in %.3f s\n", rs->GetRecordCount(),
                    timer.nsecsElapsed() / 1e9);
    }

    stat("statistics by operator, all", 6, false, {}, {});
    stat("statistics by district, all", 8, false, {}, {});
    stat("statistics by use nature, all", 2, false, {}, {});
    stat("statistics by operation, all", 7, false, {}, {});
    stat("statistics by user meter, all", 0, false, {}, {});

    return 0;
}
