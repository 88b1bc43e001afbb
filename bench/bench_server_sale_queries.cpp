// The sale queries on the server over a counter's three years, 1,000,000
// completed sales of 20,000 users (the same generated sales as
// bench_sale_queries: made once into the embedded file cached beside the
// program, then copied onto a fresh installation on the server). The same
// figures as that bench, as one table: each statement timed through the
// connection class into its rows, every cell read as text, beside the same
// statement text (after the connection's dialect step) run through a bare
// libpq session with the server's own settings, every cell read; a whole-file
// statistic also beside its floor on the server, one scan of the sale table
// with the same grouping. The whole-file statistic by operator is also run
// once right after the copy, before the server has planner statistics (a real
// server's autovacuum gathers them soon after a bulk load); the layer's time
// there includes analysing the tables the statement names. Last, the receipt
// list over every sale as the list reads it, with the peak memory of the
// process while it is read. Needs QUILLMER_TEST_PG; without it prints why and
// ends.
#include "CAdoConnection.h"
#include "CAdoRecordset.h"
#include "CKvException.h"
#include "CReportStore.h"
#include "KvPgTestServer.h"
#include "KvReceiptQuery.h"
#include "KvSaleGenerator.h"
#include "KvSaleQuerySql.h"
#include "KvSchema.h"
#include "KvServerSales.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <cstdio>
#include <libpq-fe.h>
#include <sqlite3.h>
#include <sys/resource.h>

namespace {

QString cachePath()
{
    return QCoreApplication::applicationDirPath() + QStringLiteral("/sales_1m.db");
}

void check(PGresult* result, ExecStatusType expected, const char* what)
{
    if (PQresultStatus(result) != expected) {
        const QString message = QString::fromUtf8(PQresultErrorMessage(result));
        PQclear(result);
        throw CKvException(QStringLiteral("%1: %2").arg(QString::fromUtf8(what), message));
    }
    PQclear(result);
}

// Seconds from the statement to its rows, every cell read as text.
double throughConnection(CAdoConnection& db, const QString& sql, int* rows)
{
    QElapsedTimer timer;
    timer.start();
    CAdoLease<CAdoRecordset> rs(db.AcquireRecordset());
    rs->Open(sql);
    *rows = 0;
    const int columns = rs->GetFieldCount();
    QStringList names;
    for (int c = 0; c < columns; ++c)
        names << rs->GetFieldName(c);
    for (; !rs->IsEOF(); rs->MoveNext(), ++*rows)
        for (const QString& name : names)
            rs->GetFieldText(name);
    return timer.nsecsElapsed() / 1e9;
}

double raw(PGconn* server, const QString& sql, int* rows)
{
    QElapsedTimer timer;
    timer.start();
    PGresult* result = PQexecParams(server, sql.toUtf8().constData(), 0, nullptr, nullptr, nullptr, nullptr, 0);
    if (PQresultStatus(result) != PGRES_TUPLES_OK) {
        const QString message = QString::fromUtf8(PQresultErrorMessage(result));
        PQclear(result);
        throw CKvException(message);
    }
    *rows = PQntuples(result);
    const int columns = PQnfields(result);
    for (int r = 0; r < *rows; ++r)
        for (int c = 0; c < columns; ++c)
            PQgetvalue(result, r, c);
    PQclear(result);
    return timer.nsecsElapsed() / 1e9;
}

// The floor of a whole-file statistic: one scan of the sale table with the
// same number of groups, no join (the groupings without a key of the sale
// table count by the sale's meter row).
QString floorSql(int grouping)
{
    const char* key = grouping == 6 ? "OperatorNo" : grouping == 7 ? "OpMode" : "CliPreIndex";
    return QStringLiteral("select %1, count(*), sum(BuyValue), sum(Fee) from WrtRecord group by %1")
        .arg(QLatin1String(key));
}

// Starts the peak resident memory afresh (Linux: the high-water mark is
// reset); false where it cannot be.
bool resetPeak()
{
    QFile clearRefs(QStringLiteral("/proc/self/clear_refs"));
    return clearRefs.open(QIODevice::WriteOnly) && clearRefs.write("5") == 1;
}

// Peak resident memory of the process since resetPeak(), else since it
// started, in MB.
double peakMegabytes()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (status.open(QIODevice::ReadOnly)) {
        for (const QByteArray& line : status.readAll().split('\n')) {
            if (line.startsWith("VmHWM:"))
                return line.mid(6).trimmed().split(' ').value(0).toDouble() / 1024.0;
        }
    }
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss / 1024.0;
}

void printHeading()
{
    std::printf("%-38s %8s %9s %9s %6s %9s %7s\n", "", "rows", "ours s", "libpq s", "ratio", "floor s", "/floor");
}

// One line of the table; `runs` is 2 to time the second of two runs (both
// meet a warm cache), 1 for a single run.
void run(CAdoConnection& db, PGconn* server, const char* name, QString sql, const QString& floor = {}, int runs = 2)
{
    const QString ran = db.ConvertSql(sql);
    int rows = 0;
    int rawRows = 0;
    double ours = 0;
    double stepped = 0;
    // The statement as written first: before the server has statistics the
    // layer has the tables analysed, which the statement would then find.
    for (int i = 0; i < runs; ++i)
        stepped = raw(server, ran, &rawRows);
    for (int i = 0; i < runs; ++i)
        ours = throughConnection(db, sql, &rows);
    std::printf("%-38s %8d %9.3f %9.3f %6.2f", name, rows, ours, stepped, stepped > 0 ? ours / stepped : 0.0);
    if (rawRows != rows)
        std::printf("  (libpq: %d rows)", rawRows);
    if (!floor.isEmpty()) {
        int floorRows = 0;
        raw(server, floor, &floorRows);
        const double floorSeconds = raw(server, floor, &floorRows);
        std::printf(" %9.3f %7.1f", floorSeconds, floorSeconds > 0 ? ours / floorSeconds : 0.0);
    }
    std::printf("\n");
}

// Every sale as the receipt list reads it (ReadReceiptStore: the rows read
// forward into the row store), beside the statement through a bare libpq
// session; then the peak memory of the process while the list was read.
void receiptsAll(CAdoConnection& db, PGconn* server)
{
    QString sql = ReceiptQuerySql(CSaleCondition());
    const QString ran = db.ConvertSql(sql);
    const double before = peakMegabytes();
    const bool ownPeak = resetPeak();
    QElapsedTimer timer;
    timer.start();
    int rows = 0;
    {
        CAdoLease<CAdoRecordset> rs(db.AcquireRecordset());
        const CReportStore store = ReadReceiptStore(*rs, ran, &rows);
    }
    const double ours = timer.nsecsElapsed() / 1e9;
    const double peak = peakMegabytes();
    int rawRows = 0;
    const double stepped = raw(server, ran, &rawRows);
    std::printf("%-38s %8d %9.3f %9.3f %6.2f", "receipts, all (list store)", rows, ours, stepped,
                stepped > 0 ? ours / stepped : 0.0);
    if (rawRows != rows)
        std::printf("  (libpq: %d rows)", rawRows);
    std::printf("\n");
    if (ownPeak)
        std::printf("peak memory %.0f MB while the list was read (%.0f MB before it)\n", peak, before);
    else
        std::printf("peak memory %.0f MB\n", peak);
}

CSaleStatCondition statCondition(int grouping, QDate from = {}, QDate to = {})
{
    CSaleStatCondition k;
    k.m_grouping = grouping;
    k.m_bPeriod = from.isValid() ? 1 : 0;
    k.m_periodFrom = QDateTime(from, QTime());
    k.m_periodTo = QDateTime(to, QTime());
    return k;
}

void wholeFile(CAdoConnection& db, PGconn* server, const char* name, int grouping)
{
    run(db, server, name, SaleStatSql(statCondition(grouping)), floorSql(grouping));
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    setvbuf(stdout, nullptr, _IOLBF, 0);
    if (!KvPgTestServer::Available()) {
        std::printf("skipped: QUILLMER_TEST_PG is not set (no PostgreSQL server)\n");
        return 0;
    }
    try {
        if (!QFile::exists(cachePath()))
            BuildGeneratedSalesFile(cachePath(), MillionSalesSpec());
        KvPgTestServer server(QStringLiteral("kvstat"));
        CAdoConnection db;
        db.Open(1, server.ConnectString());
        InstallServerDatabase(db, QDateTime(QDate(2023, 12, 31), QTime(12, 0)));

        PGconn* rawServer = PQconnectdb(server.LibpqConninfo().toUtf8().constData());
        if (PQstatus(rawServer) != CONNECTION_OK)
            throw CKvException(QString::fromUtf8(PQerrorMessage(rawServer)));

        QElapsedTimer timer;
        timer.start();
        sqlite3* file = nullptr;
        sqlite3_open_v2(cachePath().toUtf8().constData(), &file, SQLITE_OPEN_READONLY, nullptr);
        // Autovacuum would gather statistics during the run before analyze.
        const auto setAutovacuum = [&](const char* setting) {
            for (const QString& table : SaleTables())
                check(PQexec(rawServer, "alter table " + table.toUtf8() + setting), PGRES_COMMAND_OK, setting);
        };
        setAutovacuum(" set (autovacuum_enabled = off)");
        const qint64 copied = CopySaleTablesToServer(file, rawServer);
        sqlite3_close(file);
        std::printf("copied %lld rows of the generated sales onto the server in %.1f s\n",
                    static_cast<long long>(copied), timer.elapsed() / 1000.0);
        // One read of every row first: the first reader of freshly copied rows
        // also marks them committed, which is not the statistic's cost.
        for (const QString& table : SaleTables())
            check(PQexec(rawServer, "select count(*) from " + table.toUtf8()), PGRES_TUPLES_OK, "count");
        printHeading();
        run(db, rawServer, "by operator, all, before analyze", SaleStatSql(statCondition(6)), floorSql(6), 1);
        setAutovacuum(" reset (autovacuum_enabled)");
        check(PQexec(rawServer, "analyze"), PGRES_COMMAND_OK, "analyze");

        run(db, rawServer, "statistics by district, one month",
            SaleStatSql(statCondition(8, QDate(2023, 6, 1), QDate(2023, 6, 30))));
        run(db, rawServer, "statistics by user meter, one month",
            SaleStatSql(statCondition(0, QDate(2023, 6, 1), QDate(2023, 6, 30))));
        run(db, rawServer, "statistics by operator, one year",
            SaleStatSql(statCondition(6, QDate(2022, 1, 1), QDate(2022, 12, 31))));
        CSaleCondition day;
        day.m_bPeriod = 1;
        day.m_periodFrom = day.m_periodTo = QDateTime(QDate(2023, 6, 15), QTime());
        run(db, rawServer, "sale record query, one day", SaleRecordQuerySql(day));
        CSaleCondition user;
        user.m_bClientNo = 1;
        user.m_clientNo = QStringLiteral("00012345");
        run(db, rawServer, "sale records of one user, all years", SaleRecordQuerySql(user));
        run(db, rawServer, "receipts of one user, all years", ReceiptQuerySql(user));

        wholeFile(db, rawServer, "statistics by operator, all", 6);
        wholeFile(db, rawServer, "statistics by district, all", 8);
        wholeFile(db, rawServer, "statistics by use nature, all", 2);
        wholeFile(db, rawServer, "statistics by operation, all", 7);
        wholeFile(db, rawServer, "statistics by user meter, all", 0);

        receiptsAll(db, rawServer);
        PQfinish(rawServer);
    } catch (const CKvException& e) {
        std::printf("failed: %s\n", qPrintable(e.text()));
        return 1;
    }
    return 0;
}
