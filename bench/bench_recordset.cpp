// Reading 100,000 rows × 6 columns by name through CAdoRecordset, against a raw
// sqlite3_step loop into QStrings. The two take turns, round after round, so
// that both meet the same load of a shared machine; prints the median of each
// and the ratio of the medians.
#include "CAdoConnection.h"
#include "CAdoRecordset.h"
#include "CSqliteEngine.h"

#include <QTemporaryDir>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <functional>
#include <sqlite3.h>
#include <vector>

namespace {

constexpr int kRows = 100000;
constexpr int kRounds = 21;

void makeDatabase(const QString& path)
{
    QString script = QStringLiteral("create table Sale (WrtIndex integer primary key, MeterNo text collate nocase, "
                                    "ClientName text collate nocase, Amount real, Quantity real, WrtTime text);\n"
                                    "with recursive n(i) as (select 1 union all select i + 1 from n where i < %1) "
                                    "insert into Sale select i, printf('%08d', i), '住户' || i, i * 0.37, i * 1.5, "
                                    "'2026-12-10 08:00:00' from n;")
                         .arg(kRows);
    CSqliteEngine::createFile(path, script);
}

// Keeps the compiler from dropping what a reading computes.
volatile qint64 g_sink = 0;

void readThroughRecordset(CAdoConnection& db)
{
    CAdoLease<CAdoRecordset> rs(db.AcquireRecordset());
    rs->Open(QStringLiteral("select * from Sale"));
    const int n = rs->GetRecordCount();
    qint64 sink = 0;
    for (int i = 0; i < n; ++i) {
        sink += rs->GetFieldInt(QStringLiteral("WrtIndex"));
        sink += rs->GetFieldString(QStringLiteral("MeterNo")).size();
        sink += rs->GetFieldString(QStringLiteral("ClientName")).size();
        sink += static_cast<qint64>(rs->GetFieldDouble(QStringLiteral("Amount")));
        sink += static_cast<qint64>(rs->GetFieldDouble(QStringLiteral("Quantity")));
        sink += rs->GetFieldString(QStringLiteral("WrtTime")).size();
        rs->MoveNext();
    }
    g_sink = g_sink + sink;
}

void readRaw(sqlite3* db)
{
    sqlite3_stmt* stmt = nullptr;
    sqlite3_prepare_v2(db, "select * from Sale", -1, &stmt, nullptr);
    qint64 sink = 0;
    while (sqlite3_step(stmt) == SQLITE_ROW) {
        sink += sqlite3_column_int(stmt, 0);
        sink += QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(stmt, 1))).size();
        sink += QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(stmt, 2))).size();
        sink += static_cast<qint64>(sqlite3_column_double(stmt, 3));
        sink += static_cast<qint64>(sqlite3_column_double(stmt, 4));
        sink += QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(stmt, 5))).size();
    }
    sqlite3_finalize(stmt);
    g_sink = g_sink + sink;
}

double millisecondsOf(const std::function<void()>& reading)
{
    const auto start = std::chrono::steady_clock::now();
    reading();
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
}

double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

} // namespace

int main()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("bench.db"));
    makeDatabase(path);
    CAdoConnection db;
    db.Open(0, path);
    sqlite3* raw = nullptr;
    sqlite3_open_v2(path.toUtf8().constData(), &raw, SQLITE_OPEN_READONLY, nullptr);

    const auto ours = [&] { readThroughRecordset(db); };
    const auto peer = [&] { readRaw(raw); };
    // Both warm: the file's pages cached, the memory of a first reading held.
    for (int i = 0; i < 2; ++i) {
        ours();
        peer();
    }
    std::vector<double> oursMs, rawMs;
    for (int round = 0; round < kRounds; ++round) {
        oursMs.push_back(millisecondsOf(ours));
        rawMs.push_back(millisecondsOf(peer));
    }
    sqlite3_close(raw);
    const double o = median(oursMs);
    const double r = median(rawMs);
    std::printf("%d rows x 6 columns read by name, median of %d rounds taken in turn\n", kRows, kRounds);
    std::printf("CAdoRecordset %.1f ms, raw sqlite3_step %.1f ms, ratio %.2f (target at most 1.15)\n", o, r, o / r);
    return 0;
}
