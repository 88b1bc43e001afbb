// The sale statements on the server: one over the sales as a whole reads the
// tables a sale refers to once, and every statement gives the rows, in their
// order, that the statement as written gives.
#include "CAdoConnection.h"
#include "CAdoRecordset.h"
#include "CKvException.h"
#include "CPgEngine.h"
#include "KvInstalledServer.h"
#include "KvReceiptQuery.h"
#include "KvSaleGenerator.h"
#include "KvSaleQuerySql.h"
#include "KvSaleStatements.h"
#include "KvSchema.h"
#include "KvServerSales.h"

#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QThread>
#include <algorithm>
#include <gtest/gtest.h>
#include <libpq-fe.h>
#include <memory>
#include <sqlite3.h>

namespace {

constexpr Oid kFloat8 = 701;
constexpr Oid kNumeric = 1700;

// A bare libpq session on the suite's database: the statement as written.
PGconn* connectRaw(const KvPgTestServer& server)
{
    PGconn* conn = PQconnectdb(server.LibpqConninfo().toUtf8().constData());
    if (PQstatus(conn) != CONNECTION_OK) {
        const QString message = QString::fromUtf8(PQerrorMessage(conn));
        PQfinish(conn);
        throw CKvException(message);
    }
    return conn;
}

// A cell as both sides are compared: sums to the micro-unit (added in another
// order they differ in the last binary place), a date at midnight as its day.
QString cellText(const QVariant& value)
{
    if (value.typeId() == QMetaType::Double)
        return QString::number(value.toDouble(), 'f', 6);
    return value.isNull() ? QStringLiteral("<null>") : value.toString();
}

QList<QStringList> rawRows(PGconn* conn, const QString& sql)
{
    std::unique_ptr<PGresult, void (*)(PGresult*)> result(
        PQexecParams(conn, sql.toUtf8().constData(), 0, nullptr, nullptr, nullptr, nullptr, 0), PQclear);
    if (PQresultStatus(result.get()) != PGRES_TUPLES_OK)
        throw CKvException(QString::fromUtf8(PQresultErrorMessage(result.get())));
    QList<QStringList> rows;
    for (int r = 0; r < PQntuples(result.get()); ++r) {
        QStringList cells;
        for (int c = 0; c < PQnfields(result.get()); ++c) {
            const QString text = QString::fromUtf8(PQgetvalue(result.get(), r, c));
            const Oid type = PQftype(result.get(), c);
            if (PQgetisnull(result.get(), r, c))
                cells << QStringLiteral("<null>");
            else if (type == kFloat8 || type == kNumeric)
                cells << cellText(text.toDouble());
            else
                cells << (text.endsWith(QLatin1String(" 00:00:00")) ? text.left(10) : text);
        }
        rows << cells;
    }
    return rows;
}

class ServerSaleQueryTest : public InstalledServerTest
{
protected:
    // A year of sales of 600 users, copied from a generated file, with the
    // server's planner statistics.
    static void SetUpTestSuite() { CopySales(true); }

    // Copies the generated sales onto the suite's server. Without `analyse`
    // the sale tables are left without planner statistics, and autovacuum
    // does not gather them meanwhile.
    static void CopySales(bool analyse)
    {
        InstalledServerTest::SetUpTestSuite();
        if (!HasServer())
            return;
        try {
            QTemporaryDir dir;
            const QString path = dir.filePath(QStringLiteral("sales.db"));
            CreateFreshDatabase(path, QDateTime(QDate(2023, 12, 31), QTime(12, 0)));
            sqlite3* file = nullptr;
            sqlite3_open(path.toUtf8().constData(), &file);
            CSaleGeneratorSpec spec;
            spec.sales = 6000;
            spec.users = 600;
            GenerateSales(file, spec);
            std::unique_ptr<PGconn, void (*)(PGconn*)> raw(connectRaw(Server()), PQfinish);
            if (!analyse)
                for (const QString& table : SaleTables())
                    PQclear(PQexec(raw.get(), "alter table " + table.toUtf8() + " set (autovacuum_enabled = off)"));
            CopySaleTablesToServer(file, raw.get());
            sqlite3_close(file);
            if (analyse) {
                PQclear(PQexec(raw.get(), "analyze"));
                return;
            }
            // The copying session reports its changes to the server's
            // statistics a moment after it goes idle.
            for (int wait = 0;
                 wait < 200 && rawRows(raw.get(), QStringLiteral("select relname from pg_stat_user_tables where "
                                                                 "relname = 'wrtrecord' and n_mod_since_analyze > 0"))
                                   .isEmpty();
                 ++wait)
                QThread::msleep(50);
        } catch (const CKvException& e) {
            SuiteSetupFailed(e.what());
        }
    }

    void SetUp() override
    {
        InstalledServerTest::SetUp();
        if (IsSkipped() || HasFatalFailure())
            return;
        raw.reset(connectRaw(Server()));
        engine = dynamic_cast<CPgEngine*>(db.GetEngine());
        ASSERT_NE(engine, nullptr);
    }

    // Every row, as the layer runs the statement.
    QList<QStringList> layerRows(const QString& sql)
    {
        CAdoLease<CAdoRecordset> rs(db.AcquireRecordset());
        rs->Open(sql);
        QList<QStringList> rows;
        for (; !rs->IsEOF(); rs->MoveNext()) {
            QStringList cells;
            for (int c = 0; c < rs->GetFieldCount(); ++c)
                cells << cellText(rs->GetFieldValue(c));
            rows << cells;
        }
        return rows;
    }
    // Every row, read forward as the lists read a long result.
    QList<QStringList> forwardRows(const QString& sql)
    {
        CAdoLease<CAdoRecordset> rs(db.AcquireRecordset());
        QList<QStringList> rows;
        rs->ReadEach(sql, [&](CAdoRecordset& row) {
            QStringList cells;
            for (int c = 0; c < row.GetFieldCount(); ++c)
                cells << cellText(row.GetFieldValue(c));
            rows << cells;
        });
        return rows;
    }

    std::unique_ptr<PGconn, void (*)(PGconn*)> raw{nullptr, PQfinish};
    CPgEngine* engine = nullptr;
};

} // namespace

TEST_F(ServerSaleQueryTest, EveryGroupingAndQueryGivesTheRowsOfTheStatementAsWritten)
{
    struct Narrowing
    {
        const char* name;
        bool readOnce; // the whole file: the tables a sale refers to are read once
        void (*apply)(CSaleCondition&);
    };
    const Narrowing narrowings[] = {
        {"all periods", true, [](CSaleCondition&) {}},
        {"a month", true,
         [](CSaleCondition& k) {
             k.m_bPeriod = 1;
             k.m_periodFrom = QDateTime(QDate(2023, 6, 1), QTime());
             k.m_periodTo = QDateTime(QDate(2023, 6, 30), QTime());
         }},
        {"one user", false,
         [](CSaleCondition& k) {
             k.m_bClientNo = 1;
             k.m_clientNo = QStringLiteral("00000123");
         }},
        {"a user's name", false,
         [](CSaleCondition& k) {
             k.m_bClientName = 1;
             k.m_clientName = QStringLiteral("住户123");
         }},
        // Over all periods whatever the conditions on the code tables; a
        // payment mode's led by the payments.
        {"a use nature", true,
         [](CSaleCondition& k) {
             k.m_bUseNature = 1;
             k.m_priceNo = QStringLiteral("P2");
         }},
        {"a payment", true,
         [](CSaleCondition& k) {
             k.m_bPayMode = 1;
             k.m_payMode = QStringLiteral("支票");
         }},
    };
    // A statement with an order gives its rows in that order. A grouping
    // without one gives them in the order of the server's aggregation, which
    // the statement does not fix (hashed on a small file, sorted on a large
    // one): its rows are compared whatever their order.
    const auto check = [&](QString sql, bool readOnce, const std::string& what) {
        const QString written = db.ConvertSql(sql);
        const QString ran = engine->adaptQuery(written);
        EXPECT_EQ(ran.contains(QLatin1String(" as not materialized (")), readOnce) << what << "\n" << ran.toStdString();
        // Totals grouped by what a sale refers to are summed per meter first;
        // by operator, operation or payment they are not.
        static const QRegularExpression bySale(QStringLiteral(R"(\sgroup by .*\b[cdh]\.)"));
        const bool grouped = written.contains(QLatin1String(" group by "));
        EXPECT_EQ(ran.contains(QLatin1String(" kvsums as (")), readOnce && grouped && !bySale.match(written).hasMatch())
            << what << "\n"
            << ran.toStdString();
        QList<QStringList> expected = rawRows(raw.get(), written);
        QList<QStringList> got = layerRows(sql);
        EXPECT_FALSE(expected.isEmpty()) << what;
        if (!written.contains(QLatin1String(" order by "))) {
            std::sort(expected.begin(), expected.end());
            std::sort(got.begin(), got.end());
        }
        EXPECT_EQ(got, expected) << what;
    };
    for (const Narrowing& n : narrowings) {
        for (const CNamedSaleStatement& statement : SaleStatementsNarrowedBy(n.name, n.apply))
            check(statement.sql, n.readOnce, statement.what);
    }
}

// A column named without its table cannot be told apart from the outside: the
// adapted text names a column the server does not find. The statement then
// runs as written, and inside a transaction the refused text leaves the
// caller's work as it was.
TEST_F(ServerSaleQueryTest, AnAdaptedTextTheServerRefusesRunsAsWritten)
{
    const QString unqualified = QStringLiteral(
        "select ClientName, count(*) as Sales from Client a, CliPre b, WrtRecord c where c.CliPreIndex = "
        "b.CliPreIndex and b.ClientNo = a.ClientNo group by ClientName");
    const QString adapted = engine->adaptQuery(unqualified);
    ASSERT_TRUE(adapted.contains(QLatin1String(" as not materialized (")));
    std::unique_ptr<PGresult, void (*)(PGresult*)> refused(PQexec(raw.get(), adapted.toUtf8().constData()), PQclear);
    ASSERT_EQ(PQresultStatus(refused.get()), PGRES_FATAL_ERROR);
    QList<QStringList> expected = rawRows(raw.get(), unqualified);
    std::sort(expected.begin(), expected.end());
    ASSERT_EQ(expected.size(), 600);
    const auto sortedRows = [&] {
        QList<QStringList> rows = layerRows(unqualified);
        std::sort(rows.begin(), rows.end());
        return rows;
    };
    const auto sortedForwardRows = [&] {
        QList<QStringList> rows = forwardRows(unqualified);
        std::sort(rows.begin(), rows.end());
        return rows;
    };
    EXPECT_EQ(sortedRows(), expected);
    EXPECT_EQ(sortedForwardRows(), expected);

    db.BeginTrans();
    db.Execute(QStringLiteral("insert into Block (BlockNo, BlockName) values ('T1', '试验小区')"), QString());
    EXPECT_EQ(sortedRows(), expected);
    EXPECT_EQ(sortedForwardRows(), expected);
    EXPECT_EQ(Count(QStringLiteral("select BlockNo from Block where BlockNo = 'T1'")), 1);
    db.CommitTrans();
    EXPECT_EQ(Count(QStringLiteral("select BlockNo from Block where BlockNo = 'T1'")), 1);
    db.Execute(QStringLiteral("delete from Block where BlockNo = 'T1'"), QString());
}

namespace {

class ServerUnanalysedSalesTest : public ServerSaleQueryTest
{
protected:
    static void SetUpTestSuite() { CopySales(false); }

    int statisticsOf(const char* table)
    {
        return rawRows(raw.get(),
                       QStringLiteral("select count(*) from pg_stats where tablename = '%1'").arg(QLatin1String(table)))
            .first()
            .first()
            .toInt();
    }
};

} // namespace

// Sales the server has no statistics of yet (a bulk load autovacuum has not
// come round to) would be planned from guesses, and a whole-file statistic
// then looks every sale up one by one. The first such statement outside a
// transaction has the tables it names analysed first; one inside a
// transaction leaves them as they are, so that nothing can doom the
// caller's work.
TEST_F(ServerUnanalysedSalesTest, AWholeFileStatisticHasTheSalesAnalysedFirst)
{
    CSaleStatCondition byOperator;
    byOperator.m_grouping = 6;
    const QString sql = SaleStatSql(byOperator);
    ASSERT_EQ(statisticsOf("wrtrecord"), 0);

    db.BeginTrans();
    EXPECT_EQ(layerRows(sql).size(), 10);
    db.CommitTrans();
    EXPECT_EQ(statisticsOf("wrtrecord"), 0);

    EXPECT_EQ(layerRows(sql).size(), 10);
    for (const char* table : {"wrtrecord", "clientpay", "wrtprice", "clipre", "client"})
        EXPECT_GT(statisticsOf(table), 0) << table;
}

namespace {

class ServerUnanalysedSalesAtOnceTest : public ServerUnanalysedSalesTest
{
};

} // namespace

// Two counters asking for the same whole-file statistic at one moment, on
// sales the server has no statistics of: each has the tables analysed (the
// server makes one analyse of a table wait for the other), and both get the
// rows of the statement as written.
TEST_F(ServerUnanalysedSalesAtOnceTest, TwoCountersAskingAtOnceGetTheRowsOfTheStatementAsWritten)
{
    CSaleStatCondition byUserMeter;
    byUserMeter.m_grouping = 0;
    QString sql = SaleStatSql(byUserMeter);
    QList<QStringList> expected = rawRows(raw.get(), db.ConvertSql(sql));
    std::sort(expected.begin(), expected.end());
    ASSERT_EQ(statisticsOf("wrtrecord"), 0);

    std::vector<std::unique_ptr<QProcess>> counters;
    for (int i = 0; i < 2; ++i) {
        counters.push_back(std::make_unique<QProcess>());
        counters.back()->start(QStringLiteral(KV_SALE_STATISTIC),
                               {Server().ConnectString(), QString::number(byUserMeter.m_grouping)});
    }
    for (auto& counter : counters) {
        ASSERT_TRUE(counter->waitForFinished(120000));
        ASSERT_EQ(counter->exitCode(), 0) << counter->readAllStandardError().toStdString();
        QList<QStringList> got;
        for (const QByteArray& line : counter->readAllStandardOutput().split('\n'))
            if (!line.isEmpty())
                got << QString::fromUtf8(line).split(u'\t');
        std::sort(got.begin(), got.end());
        EXPECT_EQ(got.size(), 600);
        EXPECT_TRUE(got == expected);
    }
    EXPECT_GT(statisticsOf("wrtrecord"), 0);
}
