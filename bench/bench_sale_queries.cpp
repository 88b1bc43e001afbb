// The sale record query, the receipts and the sale statistics on a counter's
// three years: 1,000,000 completed sales (--sales N for another size) of
// 20,000 users and meters in 20 districts sold by 10 operators, generated once
// and cached beside the program. Every line is timed from the statement to
// the cell table handed to the result list (and the preview's first page),
// beside the same statement stepped raw through SQLite as written and as the
// layer runs it, and beside its floor: one read of the sales the statement
// reaches, with its grouping and without any join. Each run works on a copy
// of the cached file with the planner statistics asked for (--statistics
// none, own: those the program gathers as it closes the file, or full: a
// whole ANALYZE), opened afresh so that SQLite plans with exactly those.
// --receipts-all adds the receipt list over every sale with the peak memory;
// --only TEXT runs the lines whose name holds TEXT.
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
#include <cstdlib>
#include <functional>
#include <sqlite3.h>
#include <sys/resource.h>
#include <vector>

namespace {

QString cachePath(int sales)
{
    const QString name = sales == 1000000 ? QStringLiteral("sales_1m") : QStringLiteral("sales_%1").arg(sales);
    return QCoreApplication::applicationDirPath() + u'/' + name + QStringLiteral(".db");
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
// over all sales: it is stopped after this many seconds (--limit S).
double kRawLimitSeconds = 60;

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

// The floor of a line: the sales the statement reaches (`reach`, a condition
// on the sale table c; empty for all), read once with the same number of
// groups (the statistics by operator and by operation group by a column of
// the sale, the others by its meter) and no join; a query of sale records
// counts and sums them.
QString floorSql(int grouping, const QString& reach)
{
    const QString where = reach.isEmpty() ? QString() : QStringLiteral(" where ") + reach;
    const QString totals = QStringLiteral("count(*), sum(c.BuyValue), sum(c.Fee) from WrtRecord c") + where;
    switch (grouping) {
    case -1:
        return QStringLiteral("select ") + totals;
    case 6:
        return QStringLiteral("select c.OperatorNo, ") + totals + QStringLiteral(" group by c.OperatorNo");
    case 7:
        return QStringLiteral("select c.OpMode, ") + totals + QStringLiteral(" group by c.OpMode");
    default:
        return QStringLiteral("select c.CliPreIndex, ") + totals + QStringLiteral(" group by c.CliPreIndex");
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

// One line: the statement, the report type its list is laid out by, and its floor.
struct BenchLine
{
    QString name;
    QString sql;
    QString reportType; // empty: the receipts, read forward into the receipt list's store
    QString floor;
};

void run(CAdoConnection& db, const BenchLine& line)
{
    auto* engine = dynamic_cast<CSqliteEngine*>(db.GetEngine());
    sqlite3* raw = engine->handle();
    QElapsedTimer adapting;
    adapting.start();
    engine->adaptQuery(line.sql);
    adapting.restart(); // the schema's answers are known from the second time on
    const QString ran = engine->adaptQuery(line.sql);
    const double adaptSeconds = adapting.nsecsElapsed() / 1e9;
    std::printf("%s (the text it runs as found in %.4f s)\n", qPrintable(line.name), adaptSeconds);
    printPlan(raw, ran);
    QList<int> widths;
    const QStringList headings = layoutHeadings(db, line.reportType, &widths);
    CReportFieldList* catalogue = GetReportCatalogue(line.reportType);
    // Every figure below is taken with the pages the statement reads already
    // in the connection's cache: measured first, the program would pay alone
    // for reading them in, and its peers would be timed on what it read.
    int warmRows = 0;
    rawSeconds(raw, ran, &warmRows);
    QElapsedTimer timer;
    timer.start();
    int rows = 0;
    CReportStore store;
    if (line.reportType.isEmpty()) {
        CAdoLease<CAdoRecordset> rs(db.AcquireRecordset());
        store = ReadReceiptStore(*rs, line.sql, &rows);
    } else {
        CAdoLease<CAdoRecordset> rs(db.AcquireRecordset());
        rs->Open(line.sql);
        rows = rs->GetRecordCount();
        if (rows > 0 && catalogue)
            store = BuildReportStore(*rs, rows, headings, *catalogue);
    }
    const double ours = timer.nsecsElapsed() / 1e9;
    double listSeconds = 0;
    double pageSeconds = 0;
    if (store.RowCount() > 0 && !line.reportType.isEmpty())
        listAndFirstPage(store, widths, &listSeconds, &pageSeconds);
    const double toPage = ours + listSeconds + pageSeconds;
    // The statement as written, planned by SQLite alone, and as the layer runs it.
    int rawRows = 0;
    const double asWritten = rawSeconds(raw, line.sql, &rawRows);
    const double stepped = rawSeconds(raw, ran, &rawRows);
    int floorRows = 0;
    const double floor = rawSeconds(raw, line.floor, &floorRows);
    std::printf("  %8d rows: program %.4f s to the %s (first page %.3f s), raw as run %.4f s, as written %s, "
                "floor %.4f s\n",
                rows, ours, line.reportType.isEmpty() ? "receipt store" : "list table", toPage, stepped,
                qPrintable(secondsText(asWritten)), floor);
    const QString versusWritten = asWritten > 0 ? QString::asprintf("%.2f", ours / asWritten)
                                                : QStringLiteral("< %1").arg(ours / kRawLimitSeconds, 0, 'f', 2);
    const QString runVersusWritten = asWritten > 0 ? QString::asprintf("%.2f", stepped / asWritten)
                                                   : QStringLiteral("< %1").arg(stepped / kRawLimitSeconds, 0, 'f', 2);
    std::printf("  program / as written %s (as run / as written %s), program / floor %.1f, first page / floor %.1f, "
                "program / raw as run %.2f\n",
                qPrintable(versusWritten), qPrintable(runVersusWritten), floor > 0 ? ours / floor : 0.0,
                floor > 0 ? toPage / floor : 0.0, stepped > 0 ? ours / stepped : 0.0);
}

// How the copy measured on gets its planner statistics.
enum class EStatistics
{
    None, // a file the program never closed
    Own,  // those the program gathers as it closes the file
    Full  // a whole ANALYZE
};

void execRaw(sqlite3* db, const char* sql)
{
    char* error = nullptr;
    if (sqlite3_exec(db, sql, nullptr, nullptr, &error) != SQLITE_OK) {
        std::fprintf(stderr, "%s: %s\n", sql, error ? error : "?");
        sqlite3_free(error);
        std::exit(2);
    }
}

// Whether a cached file holds the values this generator writes: one made
// before the price versions carried their operator is made again.
bool madeByThisGenerator(const QString& path)
{
    sqlite3* db = nullptr;
    sqlite3_stmt* stmt = nullptr;
    bool current = false;
    if (sqlite3_open_v2(path.toUtf8().constData(), &db, SQLITE_OPEN_READONLY, nullptr) == SQLITE_OK &&
        sqlite3_prepare_v2(db, "select count(*) from PriceVer where OperatorNo is null", -1, &stmt, nullptr) ==
            SQLITE_OK &&
        sqlite3_step(stmt) == SQLITE_ROW)
        current = sqlite3_column_int(stmt, 0) == 0;
    sqlite3_finalize(stmt);
    sqlite3_close(db);
    return current;
}

// A copy of the cached file with the statistics asked for, closed again so
// that the measuring connection loads exactly those.
QString preparedCopy(const QString& cached, EStatistics statistics)
{
    const QString copy = cached + QStringLiteral(".run.db");
    for (const char* suffix : {"", "-wal", "-shm"})
        QFile::remove(copy + QLatin1String(suffix));
    if (!QFile::copy(cached, copy)) {
        std::fprintf(stderr, "cannot copy %s\n", qPrintable(cached));
        std::exit(2);
    }
    sqlite3* db = nullptr;
    sqlite3_open(copy.toUtf8().constData(), &db);
    execRaw(db, "drop table if exists sqlite_stat1; drop table if exists sqlite_stat4;");
    if (statistics == EStatistics::Full) {
        QElapsedTimer timer;
        timer.start();
        execRaw(db, "ANALYZE");
        std::printf("full ANALYZE took %.2f s\n", timer.nsecsElapsed() / 1e9);
    }
    sqlite3_close(db);
    if (statistics == EStatistics::Own) {
        // The program's own connection, closed after a statistic over all
        // sales, as a counter's day ends.
        CAdoConnection program;
        program.Open(0, copy);
        {
            CAdoLease<CAdoRecordset> rs(program.AcquireRecordset());
            CSaleStatCondition k;
            k.m_grouping = 6;
            rs->Open(SaleStatSql(k));
        }
        QElapsedTimer timer;
        timer.start();
        program.Close();
        std::printf("the program closed the file in %.2f s\n", timer.nsecsElapsed() / 1e9);
    }
    return copy;
}

void printStatistics(sqlite3* db)
{
    sqlite3_stmt* stmt = nullptr;
    if (sqlite3_prepare_v2(db,
                           "select tbl, idx, stat from sqlite_stat1 where tbl in ('WrtRecord', 'ClientPay', "
                           "'WrtPrice', 'CliPre', 'Client') order by tbl, idx",
                           -1, &stmt, nullptr) != SQLITE_OK) {
        std::printf("  no sqlite_stat1\n");
        return;
    }
    while (sqlite3_step(stmt) == SQLITE_ROW)
        std::printf("  stat1 %s|%s|%s\n", reinterpret_cast<const char*>(sqlite3_column_text(stmt, 0)),
                    reinterpret_cast<const char*>(sqlite3_column_text(stmt, 1)),
                    reinterpret_cast<const char*>(sqlite3_column_text(stmt, 2)));
    sqlite3_finalize(stmt);
}

} // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    setvbuf(stdout, nullptr, _IOLBF, 0);
    const QStringList args = app.arguments();
    const auto option = [&](const char* name, const QString& otherwise) {
        const qsizetype at = args.indexOf(QLatin1String(name));
        return at >= 0 && at + 1 < args.size() ? args[at + 1] : otherwise;
    };
    const int sales = option("--sales", QStringLiteral("1000000")).toInt();
    kRawLimitSeconds = option("--limit", QStringLiteral("60")).toDouble();
    const QString only = option("--only", QString());
    const QString statisticsName = option("--statistics", QStringLiteral("none"));
    const EStatistics statistics = statisticsName == QLatin1String("own")    ? EStatistics::Own
                                   : statisticsName == QLatin1String("full") ? EStatistics::Full
                                                                             : EStatistics::None;
    const QString cached = cachePath(sales);
    if (QFile::exists(cached) && !madeByThisGenerator(cached))
        QFile::remove(cached);
    if (!QFile::exists(cached)) {
        CSaleGeneratorSpec spec = MillionSalesSpec();
        spec.sales = sales;
        BuildGeneratedSalesFile(cached, spec);
    }
    const QString path = preparedCopy(cached, statistics);
    CAdoConnection db;
    db.Open(0, path);
    std::printf("%d sales; planner statistics: %s\n", sales, qPrintable(statisticsName));
    printStatistics(dynamic_cast<CSqliteEngine*>(db.GetEngine())->handle());

    if (args.contains(QStringLiteral("--receipts-all"))) {
        // Every sale as the receipt query shows it: the statement, its rows
        // read into the row store, the receipt list opened on it and its
        // first rows drawn. It runs first, so that the peak memory is its own.
        QElapsedTimer timer;
        timer.start();
        CReportStore store;
        int receipts = 0;
        {
            CAdoLease<CAdoRecordset> rs(db.AcquireRecordset());
            store = ReadReceiptStore(*rs, ReceiptQuerySql(CSaleCondition()), &receipts);
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
                    receipts, statement, stored, shown, statement > 0 ? shown / statement : 0.0,
                    list.GetList()->rowAt(firstRows.height() - 1) + 1, peak);
        timer.restart();
        list.SortByColumn(RcClientName);
        std::printf("receipts, all: sorted by user name in %.3f s, peak memory %.0f MB\n", timer.nsecsElapsed() / 1e9,
                    peakMegabytes());
    }

    // The sales of a period, of an operator, of a user's meters.
    const auto period = [](QDate from, QDate to) {
        return QStringLiteral("c.WrtTime >= '%1' and c.WrtTime < '%2'")
            .arg(from.toString(Qt::ISODate), to.addDays(1).toString(Qt::ISODate));
    };
    const QString userCode = QStringLiteral("00012345");
    const QString userName = QStringLiteral("住户12345");
    const QString ofUserCode =
        QStringLiteral("c.CliPreIndex in (select CliPreIndex from CliPre where ClientNo like '%1%')").arg(userCode);
    const QString ofUserName = QStringLiteral("c.CliPreIndex in (select b.CliPreIndex from CliPre b, Client a where "
                                              "b.ClientNo = a.ClientNo and a.ClientName = '%1')")
                                   .arg(userName);

    std::vector<BenchLine> lines;
    const auto stat = [&](const char* name, int grouping, const std::function<void(CSaleCondition&)>& narrow,
                          const QString& reach) {
        CSaleStatCondition k;
        k.m_grouping = grouping;
        narrow(k);
        lines.push_back({QString::fromUtf8(name), SaleStatSql(k),
                         QString::fromUtf8(SaleStatGrouping(grouping)->reportType), floorSql(grouping, reach)});
    };
    const auto records = [&](const char* name, const std::function<void(CSaleCondition&)>& narrow,
                             const QString& reach) {
        CSaleCondition k;
        narrow(k);
        lines.push_back({QString::fromUtf8(name), SaleRecordQuerySql(k), SaleRecordReportType(), floorSql(-1, reach)});
    };
    const auto receipts = [&](const char* name, const std::function<void(CSaleCondition&)>& narrow,
                              const QString& reach) {
        CSaleCondition k;
        narrow(k);
        lines.push_back({QString::fromUtf8(name), ReceiptQuerySql(k), QString(), floorSql(-1, reach)});
    };
    const auto inPeriod = [](QDate from, QDate to) {
        return [from, to](CSaleCondition& k) {
            k.m_bPeriod = 1;
            k.m_periodFrom = QDateTime(from, QTime());
            k.m_periodTo = QDateTime(to, QTime());
        };
    };
    const auto ofCode = [&](CSaleCondition& k) {
        k.m_bClientNo = 1;
        k.m_clientNo = userCode;
    };
    const auto ofName = [&](CSaleCondition& k) {
        k.m_bClientName = 1;
        k.m_clientName = userName;
    };
    const auto all = [](CSaleCondition&) {};
    const auto useNature = [](const char* price) {
        return [price](CSaleCondition& k) {
            k.m_bUseNature = 1;
            k.m_priceNo = QString::fromUtf8(price);
        };
    };

    const QDate day(2023, 6, 15);
    records("sale record query, one day", inPeriod(day, day), period(day, day));
    records("sale records of one user, all years", ofCode, ofUserCode);
    receipts("receipts of one user, all years", ofCode, ofUserCode);
    records("sale records by user name, all years", ofName, ofUserName);
    receipts("receipts by user name, all years", ofName, ofUserName);
    stat("statistics by district, one month", 8, inPeriod(QDate(2023, 6, 1), QDate(2023, 6, 30)),
         period(QDate(2023, 6, 1), QDate(2023, 6, 30)));
    stat("statistics by user meter, one month", 0, inPeriod(QDate(2023, 6, 1), QDate(2023, 6, 30)),
         period(QDate(2023, 6, 1), QDate(2023, 6, 30)));
    stat("statistics by operator, one year", 6, inPeriod(QDate(2022, 1, 1), QDate(2022, 12, 31)),
         period(QDate(2022, 1, 1), QDate(2022, 12, 31)));

    stat("statistics by operator, all", 6, all, {});
    stat("statistics by district, all", 8, all, {});
    stat("statistics by use nature, all", 2, all, {});
    stat("statistics by operation, all", 7, all, {});
    stat("statistics by user meter, all", 0, all, {});
    // Over all periods with a condition: the sales are read whole all the same.
    stat("statistics by operator, all, one use nature", 6, useNature("P2"), {});
    stat("statistics by user meter, all, one use nature", 0, useNature("P1"), {});
    stat("statistics by operator, all, one district and building", 6,
         [](CSaleCondition& k) {
             k.m_bBlock = k.m_bBuilding = 1;
             k.m_blockNo = QStringLiteral("05");
             k.m_buildingNo = QStringLiteral("03");
         },
         {});
    stat("statistics by district, all, one payment", 8,
         [](CSaleCondition& k) {
             k.m_bPayMode = 1;
             k.m_payMode = QStringLiteral("支票");
         },
         {});
    stat("statistics by use nature, all, one operation", 2,
         [](CSaleCondition& k) {
             k.m_bOpMode = 1;
             k.m_opMode = QStringLiteral("正常充值");
         },
         {});
    stat(
        "statistics by user meter, all, one operator", 0,
        [](CSaleCondition& k) {
            k.m_bOperator = 1;
            k.m_operatorNo = QStringLiteral("g3");
        },
        QStringLiteral("c.OperatorNo = 'g3'"));
    records("sale records of one district, all years",
            [](CSaleCondition& k) {
                k.m_bBlock = 1;
                k.m_blockNo = QStringLiteral("07");
            },
            {});

    for (const BenchLine& line : lines)
        if (only.isEmpty() || line.name.contains(only))
            run(db, line);
    return 0;
}
