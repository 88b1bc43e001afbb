// Reading 100,000 rows × 6 columns by name through CAdoRecordset, against a raw
// sqlite3_step loop into QStrings. Prints both and their ratio.
#include "CAdoConnection.h"
#include "CAdoRecordset.h"
#include "CSqliteEngine.h"

#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <cstdio>
#include <map>
#include <sqlite3.h>

namespace {

constexpr int kRows = 100000;
QTemporaryDir* g_dir = nullptr;
QString g_path;
std::map<std::string, double> g_seconds;

void makeDatabase()
{
    g_dir = new QTemporaryDir;
    g_path = g_dir->filePath("bench.db");
    QString script = QStringLiteral("create table Sale (WrtIndex integer primary key, MeterNo text collate nocase, "
                                    "ClientName text collate nocase, Amount real, Quantity real, WrtTime text);\n"
                                    "with recursive n(i) as (select 1 union all select i + 1 from n where i < %1) "
                                    "insert into Sale select i, printf('%08d', i), '住户' || i, i * 0.37, i * 1.5, "
                                    "'2026-12-10 08:00:00' from n;")
                         .arg(kRows);
    CSqliteEngine::createFile(g_path, script);
}

void BM_Recordset(benchmark::State& state)
{
    CAdoConnection db;
    db.Open(0, g_path);
    for (auto _ : state) {
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
        benchmark::DoNotOptimize(sink);
    }
}

void BM_RawSqlite(benchmark::State& state)
{
    sqlite3* db = nullptr;
    sqlite3_open_v2(g_path.toUtf8().constData(), &db, SQLITE_OPEN_READONLY, nullptr);
    for (auto _ : state) {
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
        benchmark::DoNotOptimize(sink);
    }
    sqlite3_close(db);
}

class RecordingReporter : public benchmark::ConsoleReporter
{
public:
    void ReportRuns(const std::vector<Run>& runs) override
    {
        ConsoleReporter::ReportRuns(runs);
        for (const Run& run : runs)
            g_seconds[run.benchmark_name()] = run.GetAdjustedRealTime();
    }
};

} // namespace

BENCHMARK(BM_Recordset)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_RawSqlite)->Unit(benchmark::kMillisecond);

int main(int argc, char** argv)
{
    makeDatabase();
    benchmark::Initialize(&argc, argv);
    RecordingReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    const double ours = g_seconds["BM_Recordset"];
    const double raw = g_seconds["BM_RawSqlite"];
    if (raw > 0)
        std::printf("CAdoRecordset %.1f ms, raw sqlite3_step %.1f ms, ratio %.2f (target at most 1.30)\n", ours, raw,
                    ours / raw);
    delete g_dir;
    return 0;
}
