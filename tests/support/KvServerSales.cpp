#include "KvServerSales.h"

#include "CKvException.h"

#include <QByteArray>
#include <libpq-fe.h>
#include <sqlite3.h>

namespace {

void check(PGresult* result, ExecStatusType expected, const QByteArray& what)
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
        case '\\':
            line += "\\\\";
            break;
        case '\t':
            line += "\\t";
            break;
        case '\n':
            line += "\\n";
            break;
        case '\r':
            line += "\\r";
            break;
        default:
            line += *p;
        }
    }
}

// Replaces the server table's rows by the file's.
qint64 copyTable(sqlite3* file, PGconn* server, const QByteArray& table)
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

} // namespace

const QStringList& SaleTables()
{
    static const QStringList tables{
        QStringLiteral("Block"),    QStringLiteral("Building"),  QStringLiteral("Department"),
        QStringLiteral("Operator"), QStringLiteral("Price"),     QStringLiteral("PriceVer"),
        QStringLiteral("PreModel"), QStringLiteral("Client"),    QStringLiteral("CliPre"),
        QStringLiteral("PrePrice"), QStringLiteral("WrtRecord"), QStringLiteral("ClientPay"),
        QStringLiteral("WrtPrice")};
    return tables;
}

qint64 CopySaleTablesToServer(sqlite3* file, pg_conn* server)
{
    qint64 copied = 0;
    for (const QString& table : SaleTables())
        copied += copyTable(file, server, table.toUtf8());
    return copied;
}
