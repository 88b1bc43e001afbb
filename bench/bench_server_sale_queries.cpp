// The sale statistics on the server over a counter's three years, 1,000,000
// completed sales of 20,000 users (the same generated sales as
// bench_sale_queries: made once into the embedded file cached beside the
// program, then copied onto a fresh installation on the server). Each
// statement is timed through the connection class into its rows, every cell
// read as text, beside the same statement text (after the connection's dialect
// step) run raw through libpq with every cell read; prints the ratio. Needs
// QUILLMER_TEST_PG; without it prints why and ends.
#include "CAdoConnection.h"
#include "CAdoRecordset.h"
#include "CKvException.h"
#include "KvPgTestServer.h"
#include "KvSaleGenerator.h"
#include "KvSaleQuerySql.h"
#include "KvSchema.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <cstdio>
#include <libpq-fe.h>
#include <sqlite3.h>

namespace {

QString cachePath()
{
    return QCoreApplication::applicationDirPath() + QStringLiteral("/sales_1m.db");
}

// The tables the sale statements join, in an order that keeps every row's
// codes before it.
const char* const kTables[] = {"Block",    "Building", "Department", "Operator", "Price",     "PriceVer", "PreModel",
                               "Client",   "CliPre",   "PrePrice",   "WrtRecord", "ClientPay", "WrtPrice"};

void check(PGresult* result, ExecStatusType expected, const char* what)
{
    if (PQresultStatus(result) != expected) {
        const QString message = QString::fromUtf8(PQresultErrorMessage(result));
        PQclear(result);
        throw CKvException(QStringLiteral("%1: %2").arg(QString::fromUtf8(what), message));
    }
    PQclear(result);
}

// A value in COPY's text form.
void appendCopyValue(QByteArray& line, sqlite3_stmt* stmt, int column)
{
    if (sqlite3_column_type(stmt, column) == SQLITE_NULL) {
        line += "\\N";
        return;
    }
    const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(stmt, column));
    for (const char* p = text; *p; ++p) {
        switch (*p) {
        case '\\': line += "\\\\"; break;
        case '\t': line += "\\t"; break;
        case '\n': line += "\\n"; break;
        case '\r': line += "\\r"; break;
        default: line += *p;
        }
    }
}

// Replaces the server table's rows by the file's, through COPY.
qint64 copyTable(sqlite3* file, PGconn* server, const char* table)
{
    QStringList columns;
    {
        sqlite3_stmt* info = nullptr;
        sqlite3_prepare_v2(file, QByteArray("pragma table_info(") + table + ")", -1, &info, nullptr);
        while (sqlite3_step(info) == SQLITE_ROW)
            columns << QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(info, 1)));
        sqlite3_finalize(info);
    }
    const QByteArray list = columns.join(QStringLiteral(", ")).toUtf8();
    check(PQexec(server, QByteArray("delete from ") + table), PGRES_COMMAND_OK, "delete");
    check(PQexec(server, QByteArray("copy ") + table + " (" + list + ") from stdin"), PGRES_COPY_IN, "copy");
    sqlite3_stmt* rows = nullptr;
    sqlite3_prepare_v2(file, QByteArray("select ") + list + " from " + table, -1, &rows, nullptr);
    QByteArray chunk;
    qint64 count = 0;
    while (sqlite3_step(rows) == SQLITE_ROW) {
        for (int c = 0; c < columns.size(); ++c) {
            if (c)
                chunk += '\t';
            appendCopyValue(chunk, rows, c);
        }
        chunk += '\n';
        ++count;
        if (chunk.size() > (1 << 20)) {
            PQputCopyData(server, chunk.constData(), static_cast<int>(chunk.size()));
            chunk.clear();
        }
    }
    sqlite3_finalize(rows);
    PQputCopyData(server, chunk.constData(), static_cast<int>(chunk.size()));
    PQputCopyEnd(server, nullptr);
    check(PQgetResult(server), PGRES_COMMAND_OK, table);
    while (PGresult* rest = PQgetResult(server))
        PQclear(rest);
    return count;
}

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
    if (PQresultStatus(result) != PGRES_TUPLES_OK)
        throw CKvException(QString::fromUtf8(PQresultErrorMessage(result)));
    *rows = PQntuples(result);
    const int columns = PQnfields(result);
    for (int r = 0; r < *rows; ++r)
        for (int c = 0; c < columns; ++c)
            PQgetvalue(result, r, c);
    PQclear(result);
    return timer.nsecsElapsed() / 1e9;
}

void run(CAdoConnection& db, PGconn* server, const char* name, QString sql)
{
    const QString ran = db.ConvertSql(sql);
    // The second of two runs: both meet a warm cache.
    int rows = 0;
    int rawRows = 0;
    throughConnection(db, sql, &rows);
    const double ours = throughConnection(db, sql, &rows);
    raw(server, ran, &rawRows);
    const double stepped = raw(server, ran, &rawRows);
    std::printf("  %-36s %6d rows  %8.3f s through the connection  %8.3f s raw libpq (%d rows)  ratio %5.2f\n", name,
                rows, ours, stepped, rawRows, stepped > 0 ? ours / stepped : 0.0);
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

        auto conninfo = KvPgTestServer::ParseConninfo(QString::fromLocal8Bit(qgetenv("QUILLMER_TEST_PG")));
        conninfo.insert(QStringLiteral("dbname"), server.DatabaseName());
        QStringList pairs;
        for (auto it = conninfo.cbegin(); it != conninfo.cend(); ++it)
            pairs << QStringLiteral("%1='%2'").arg(it.key(), it.value());
        PGconn* rawServer = PQconnectdb(pairs.join(u' ').toUtf8().constData());
        if (PQstatus(rawServer) != CONNECTION_OK)
            throw CKvException(QString::fromUtf8(PQerrorMessage(rawServer)));

        QElapsedTimer timer;
        timer.start();
        sqlite3* file = nullptr;
        sqlite3_open_v2(cachePath().toUtf8().constData(), &file, SQLITE_OPEN_READONLY, nullptr);
        qint64 copied = 0;
        for (const char* table : kTables)
            copied += copyTable(file, rawServer, table);
        sqlite3_close(file);
        check(PQexec(rawServer, "analyze"), PGRES_COMMAND_OK, "analyze");
        std::printf("copied %lld rows of the generated sales onto the server in %.1f s\n",
                    static_cast<long long>(copied), timer.elapsed() / 1000.0);

        CSaleStatCondition month;
        month.m_bPeriod = 1;
        month.m_periodFrom = QDateTime(QDate(2023, 6, 1), QTime());
        month.m_periodTo = QDateTime(QDate(2023, 6, 30), QTime());
        month.m_grouping = 8;
        run(db, rawServer, "statistics by district, one month", SaleStatSql(month));
        CSaleStatCondition all;
        all.m_grouping = 6;
        run(db, rawServer, "statistics by operator, all", SaleStatSql(all));
        all.m_grouping = 0;
        run(db, rawServer, "statistics by user meter, all", SaleStatSql(all));
        PQfinish(rawServer);
    } catch (const CKvException& e) {
        std::printf("failed: %s\n", qPrintable(e.text()));
        return 1;
    }
    return 0;
}
