// The monthly quota fees (生成定额收费) for 20,000 users, each with one
// fixed-fee item, on a fresh counter file: the time of GenerateMonthFixFees
// for twelve months in turn and the statements each one sends to the engine,
// each month beside its peer: the same rows put into a copy of the file made
// before the first month, raw (one prepared statement, its values bound, one
// transaction on a connection set up as the program's).
#include "CAdoConnection.h"
#include "COperator.h"
#include "CSqliteEngine.h"
#include "CurrentOperator.h"
#include "KvFixFeeGeneration.h"
#include "KvSchema.h"
#include "KvUtil.h"
#include "SysGlobals.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>
#include <memory>
#include <sqlite3.h>
#include <vector>

namespace {

constexpr int kUsers = 20000;

// The embedded engine, counting every statement and transaction step it runs.
class CCountingEngine : public CDbEngine
{
public:
    explicit CCountingEngine(std::unique_ptr<CDbEngine> inner) : m_inner(std::move(inner)) {}

    void close() override { m_inner->close(); }
    bool isOpen() const override { return m_inner->isOpen(); }
    int execute(const QString& sql) override
    {
        ++m_statements;
        return m_inner->execute(sql);
    }
    int executeForRows(const QString& sql, const CDbResult& rows) override
    {
        ++m_statements;
        return m_inner->executeForRows(sql, rows);
    }
    void executeScript(const QString& script) override
    {
        ++m_statements;
        m_inner->executeScript(script);
    }
    void query(const QString& sql, CDbResult& result) override
    {
        ++m_statements;
        m_inner->query(sql, result);
    }
    void begin(int level) override
    {
        ++m_statements;
        m_inner->begin(level);
    }
    void commit(int level) override
    {
        ++m_statements;
        m_inner->commit(level);
    }
    void rollback(int level) override
    {
        ++m_statements;
        m_inner->rollback(level);
    }
    bool inTransaction() const override { return m_inner->inTransaction(); }
    void setProgressHandler(std::function<void()> handler) override { m_inner->setProgressHandler(handler); }

    long long Statements() const { return m_statements; }

private:
    std::unique_ptr<CDbEngine> m_inner;
    long long m_statements = 0;
};

// One quota price and one fixed-fee item a user, laid in at once.
void addQuotaItems(CAdoConnection& db)
{
    db.ExecuteScript(
        QStringLiteral(
            "insert into Price (PriceNo, PriceName, PriceType, PriceCycle, BalMode, Unit, MonthlyBegin, "
            "BalDay, State) values ('Q1', '物业费', '定额收费价', '', '', '平方米', '', '', '');\n"
            "insert into PriceVer (PriceIndex, PriceNo, Price, BeginDate, EndDate, OperatorNo, ModiTime) values "
            "(900001, 'Q1', 2.5, '2000-01-01', '2050-12-31', 'qz', '2000-01-01');\n"
            "insert into CliFix (CliFixIndex, ClientNo, PriceNo, Units, BeginDate, EndDate, LastTermEndDate, "
            "OperatorNo, ModiTime, State) with recursive g(n) as (select 1 union all select n + 1 from g "
            "where n < %1) select n, 'F' || n, 'Q1', 80, '2000-01-01', '2050-12-31', '1999-12-31', 'qz', "
            "'2000-01-01', '正常' from g;\n"
            "update SysPara set CliFixIndex = %1 + 1;\n")
            .arg(kUsers),
        QString());
}

// A raw connection with the program's settings (WAL, synchronous=FULL).
sqlite3* openRaw(const QString& path)
{
    sqlite3* db = nullptr;
    sqlite3_open_v2(path.toUtf8().constData(), &db, SQLITE_OPEN_READWRITE, nullptr);
    sqlite3_exec(db, "PRAGMA journal_mode=WAL; PRAGMA synchronous=FULL; PRAGMA cache_size=-65536", nullptr, nullptr,
                 nullptr);
    return db;
}

// The rows of a month as the program stored them, every column as SQLite holds it.
std::vector<std::vector<sqlite3_value*>> storedRows(sqlite3* db, int yearMonth, int* columns)
{
    std::vector<std::vector<sqlite3_value*>> rows;
    sqlite3_stmt* stmt = nullptr;
    sqlite3_prepare_v2(db, "select * from FixFee where YearMon = ?1 order by FeeIndex", -1, &stmt, nullptr);
    sqlite3_bind_int(stmt, 1, yearMonth);
    *columns = sqlite3_column_count(stmt);
    while (sqlite3_step(stmt) == SQLITE_ROW) {
        std::vector<sqlite3_value*> row;
        for (int i = 0; i < *columns; ++i)
            row.push_back(sqlite3_value_dup(sqlite3_column_value(stmt, i)));
        rows.push_back(std::move(row));
    }
    sqlite3_finalize(stmt);
    return rows;
}

// The peer of a month: its rows inserted raw in one transaction. Seconds.
double insertRaw(sqlite3* db, const std::vector<std::vector<sqlite3_value*>>& rows, int columns)
{
    QByteArray sql = "insert into FixFee values (?";
    for (int i = 1; i < columns; ++i)
        sql += ", ?";
    sql += ")";
    QElapsedTimer timer;
    timer.start();
    sqlite3_exec(db, "BEGIN IMMEDIATE", nullptr, nullptr, nullptr);
    sqlite3_stmt* stmt = nullptr;
    sqlite3_prepare_v2(db, sql.constData(), static_cast<int>(sql.size()), &stmt, nullptr);
    for (const auto& row : rows) {
        for (int i = 0; i < columns; ++i)
            sqlite3_bind_value(stmt, i + 1, row[static_cast<size_t>(i)]);
        if (sqlite3_step(stmt) != SQLITE_DONE)
            std::printf("raw insert failed: %s\n", sqlite3_errmsg(db));
        sqlite3_reset(stmt);
    }
    sqlite3_finalize(stmt);
    sqlite3_exec(db, "COMMIT", nullptr, nullptr, nullptr);
    return timer.nsecsElapsed() / 1e9;
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    QTemporaryDir folder;
    SetAppDirectory(folder.path());
    QDir(folder.path()).mkpath(QStringLiteral("work"));
    CreateFreshDatabase(GetLocalDatabasePath(), QDateTime(QDate(2026, 12, 11), QTime(9, 0)));

    // The network edition's build keeps its main connection apart: both on
    // the file here.
    auto counting = std::make_unique<CCountingEngine>(std::make_unique<CSqliteEngine>(GetLocalDatabasePath()));
    CCountingEngine& engine = *counting;
    GetMainDatabase()->OpenEngine(std::move(counting), 0);
    if (GetLocalDatabase() != GetMainDatabase())
        GetLocalDatabase()->Open(0, GetLocalConnectString());
    GetCurrentOperator()->SetOperatorNo(QStringLiteral("qz"));
    addQuotaItems(*GetMainDatabase());

    // The peer's file: the counter file as it is before the first month.
    const QString peerPath = QDir(folder.path()).filePath(QStringLiteral("peer.db"));
    {
        sqlite3* source = openRaw(GetLocalDatabasePath());
        const QByteArray copy = "VACUUM INTO '" + peerPath.toUtf8() + "'";
        sqlite3_exec(source, copy.constData(), nullptr, nullptr, nullptr);
        sqlite3_close(source);
    }
    sqlite3* peer = openRaw(peerPath);
    sqlite3* stored = openRaw(GetLocalDatabasePath());

    std::printf("quota month, %d items, a fresh counter file (WAL)\n", kUsers);
    std::vector<double> ratios;
    int month = 202612;
    for (int run = 0; run < 12; ++run, month = AddYearMonth(month, 1)) {
        const long long before = engine.Statements();
        QElapsedTimer timer;
        timer.start();
        GenerateMonthFixFees(month);
        const double seconds = timer.nsecsElapsed() / 1e9;
        int columns = 0;
        const auto rows = storedRows(stored, month, &columns);
        const double raw = insertRaw(peer, rows, columns);
        for (const auto& row : rows)
            std::for_each(row.begin(), row.end(), sqlite3_value_free);
        ratios.push_back(seconds / raw);
        std::printf("%d: %d items  %.3f s  %lld statements; raw inserts of the same %zu rows %.3f s; ratio %.2f\n",
                    month, kUsers, seconds, engine.Statements() - before, rows.size(), raw, seconds / raw);
    }
    std::sort(ratios.begin(), ratios.end());
    std::printf("ratio to the raw inserts: median %.2f, range %.2f-%.2f (target at most 1.30)\n",
                ratios[ratios.size() / 2], ratios.front(), ratios.back());
    sqlite3_close(stored);
    sqlite3_close(peer);
    ReleaseProcessObjects();
    SetAppDirectory(QString());
    return 0;
}
