// A 100,000-row sale query shown in the result list the way the report output
// does it (recordset, layout columns formatted by the catalogue, summary row,
// list filled), against a raw sqlite3_step loop into a QStandardItemModel with
// the same texts. Prints both, the two shares of the first (building the row
// store, showing a built store in the list) and the ratio.
#include "CAdoConnection.h"
#include "CAdoRecordset.h"
#include "CQueryResultDlg.h"
#include "CReportTable.h"
#include "CResultList.h"
#include "CSqliteEngine.h"
#include "KvReportCatalogues.h"

#include <QApplication>
#include <QStandardItemModel>
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

const QStringList kHeadings = {"用户代码", "用户姓名", "电表编号", "购买电量",
                               "单 价",    "电  费",   "付款方式", "写卡时间"};

void makeDatabase()
{
    g_dir = new QTemporaryDir;
    g_path = g_dir->filePath("bench.db");
    const QString script =
        QStringLiteral("create table Sale (ClientNo text, ClientName text, MeterNo text, BuyValue integer, "
                       "Price real, Fee real, PayMode text, WrtTime text);\n"
                       "with recursive n(i) as (select 1 union all select i + 1 from n where i < %1) "
                       "insert into Sale select printf('%06d', i), '住户' || i, printf('%08d', i), i % 500, 0.5883, "
                       "(i % 500) * 0.5883, '现金', '2026-12-10 08:00:00' from n;")
            .arg(kRows);
    CSqliteEngine::createFile(g_path, script);
}

// The query run and laid out as the report output does it.
CReportStore queryStore(CAdoConnection& db)
{
    CAdoLease<CAdoRecordset> rs(db.AcquireRecordset());
    rs->Open(QStringLiteral("select * from Sale"));
    const int count = rs->GetRecordCount();
    return BuildReportStore(*rs, count, kHeadings, *GetReportCatalogue("售电记录明细表"));
}

void BM_ResultList(benchmark::State& state)
{
    CAdoConnection db;
    db.Open(0, g_path);
    for (auto _ : state) {
        CReportStore store = queryStore(db);
        CQueryResultDlg dialog(nullptr, QStringLiteral("售电记录明细表(全期；)"));
        dialog.SetData(&store, CListPrintSettings());
        dialog.EnsureInitialised();
        benchmark::DoNotOptimize(dialog.GetList()->GetItemCount());
    }
}

void BM_BuildOnly(benchmark::State& state)
{
    CAdoConnection db;
    db.Open(0, g_path);
    for (auto _ : state) {
        CReportStore store = queryStore(db);
        benchmark::DoNotOptimize(store.RowCount());
    }
}

void BM_FillOnly(benchmark::State& state)
{
    CAdoConnection db;
    db.Open(0, g_path);
    CReportStore store = queryStore(db);
    for (auto _ : state) {
        CQueryResultDlg dialog(nullptr, QStringLiteral("售电记录明细表(全期；)"));
        dialog.SetData(&store, CListPrintSettings());
        dialog.EnsureInitialised();
        benchmark::DoNotOptimize(dialog.GetList()->GetItemCount());
    }
}

void BM_RawModel(benchmark::State& state)
{
    sqlite3* db = nullptr;
    sqlite3_open_v2(g_path.toUtf8().constData(), &db, SQLITE_OPEN_READONLY, nullptr);
    for (auto _ : state) {
        QStandardItemModel model;
        model.setHorizontalHeaderLabels(kHeadings);
        sqlite3_stmt* stmt = nullptr;
        sqlite3_prepare_v2(db, "select * from Sale", -1, &stmt, nullptr);
        auto text = [&](int column) {
            return QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(stmt, column)));
        };
        while (sqlite3_step(stmt) == SQLITE_ROW) {
            QList<QStandardItem*> row;
            row << new QStandardItem(text(0)) << new QStandardItem(text(1)) << new QStandardItem(text(2))
                << new QStandardItem(QString::number(sqlite3_column_int(stmt, 3)))
                << new QStandardItem(QString::number(sqlite3_column_double(stmt, 4), 'f', 4))
                << new QStandardItem(QString::number(sqlite3_column_double(stmt, 5), 'f', 2))
                << new QStandardItem(text(6)) << new QStandardItem(text(7));
            model.appendRow(row);
        }
        sqlite3_finalize(stmt);
        benchmark::DoNotOptimize(model.rowCount());
    }
    sqlite3_close(db);
}

class RecordingReporter : public benchmark::ConsoleReporter
{
public:
    void ReportRuns(const std::vector<Run>& runs) override
    {
        ConsoleReporter::ReportRuns(runs);
        // The fastest repetition of each: the machine is shared, and the other
        // work on it only ever adds time.
        for (const Run& run : runs) {
            if (run.run_type != Run::RT_Iteration)
                continue;
            const std::string name = run.run_name.function_name;
            const double time = run.GetAdjustedRealTime();
            if (!g_seconds.count(name) || time < g_seconds[name])
                g_seconds[name] = time;
        }
    }
};

} // namespace

BENCHMARK(BM_ResultList)->Unit(benchmark::kMillisecond)->Repetitions(5);
BENCHMARK(BM_BuildOnly)->Unit(benchmark::kMillisecond)->Repetitions(5);
BENCHMARK(BM_FillOnly)->Unit(benchmark::kMillisecond)->Repetitions(5);
BENCHMARK(BM_RawModel)->Unit(benchmark::kMillisecond)->Repetitions(5);

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    makeDatabase();
    benchmark::Initialize(&argc, argv);
    RecordingReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    const double ours = g_seconds["BM_ResultList"];
    const double raw = g_seconds["BM_RawModel"];
    if (raw > 0)
        std::printf("result list %.1f ms (row store %.1f ms, showing it in the list %.1f ms), raw loop into a model "
                    "%.1f ms, ratio %.2f (target at most 2.00)\n",
                    ours, g_seconds["BM_BuildOnly"], g_seconds["BM_FillOnly"], raw, ours / raw);
    delete g_dir;
    return 0;
}
