// The monthly quota fees (生成定额收费) for 20,000 users, each with one
// fixed-fee item, on a fresh counter file: the time of GenerateMonthFixFees
// for three months in turn and the statements each one sends to the engine.
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
#include <cstdio>
#include <memory>

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

    std::printf("quota month, %d items, a fresh counter file (WAL)\n", kUsers);
    int month = 202612;
    for (int run = 0; run < 3; ++run, month = AddYearMonth(month, 1)) {
        const long long before = engine.Statements();
        QElapsedTimer timer;
        timer.start();
        GenerateMonthFixFees(month);
        const double seconds = timer.nsecsElapsed() / 1e9;
        std::printf("%d: %d items  %.3f s  %lld statements\n", month, kUsers, seconds, engine.Statements() - before);
    }
    ReleaseProcessObjects();
    SetAppDirectory(QString());
    return 0;
}
