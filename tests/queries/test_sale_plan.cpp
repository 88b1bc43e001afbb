// The sale queries over a year of sales: a month or a day is read first
// through the period's range, and none of the big tables is scanned whole.
#include "CAdoConnection.h"
#include "CAdoRecordset.h"
#include "CSqliteEngine.h"
#include "KvFreshDatabase.h"
#include "KvSaleGenerator.h"
#include "KvReceiptQuery.h"
#include "KvSaleQuerySql.h"
#include "KvSaleStatements.h"

#include <QRegularExpression>
#include <gtest/gtest.h>
#include <sqlite3.h>

namespace {

// The steps of the statement's own loop: the tables a sale refers to, read
// once into a materialized expression before it, are left out.
QStringList queryPlan(sqlite3* db, const QString& sql)
{
    QStringList plan;
    sqlite3_stmt* stmt = nullptr;
    const QByteArray text = (QStringLiteral("EXPLAIN QUERY PLAN ") + sql).toUtf8();
    EXPECT_EQ(sqlite3_prepare_v2(db, text.constData(), -1, &stmt, nullptr), SQLITE_OK) << sqlite3_errmsg(db);
    while (sqlite3_step(stmt) == SQLITE_ROW) {
        const QString step = QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(stmt, 3)));
        if (sqlite3_column_int(stmt, 1) == 0 && !step.startsWith(QLatin1String("MATERIALIZE")))
            plan << step;
    }
    sqlite3_finalize(stmt);
    return plan;
}

} // namespace

TEST(SaleGenerator, EverySaleIsForAUserOfTheFile)
{
    // Sale numbers far past the int range of sale * 7919, as a million sales reach.
    const struct
    {
        int sale;
        int users;
    } cases[] = {{1, 20000}, {271181, 20000}, {500000, 20000}, {920000, 20000}, {1000000, 20000}, {999999, 7}};
    for (const auto& c : cases) {
        const int user = GeneratedSaleUser(c.sale, c.users);
        EXPECT_GE(user, 1) << c.sale;
        EXPECT_LE(user, c.users) << c.sale;
        EXPECT_EQ(user, 1 + static_cast<int>(static_cast<long long>(c.sale) * 7919 % c.users)) << c.sale;
    }
}

TEST(SaleQueryPlan, AMonthOrADayIsReadThroughItsPeriod)
{
    CRecordingMessageSink sink;
    CFreshDatabase fresh(QDateTime(QDate(2023, 12, 31), QTime(12, 0)));
    auto* engine = dynamic_cast<CSqliteEngine*>(fresh.Db().GetEngine());
    ASSERT_NE(engine, nullptr);
    GenerateSales(engine->handle(), CSaleGeneratorSpec{});
    fresh.Db().Execute(QStringLiteral("ANALYZE"), QString());
    ASSERT_GE(fresh.Count(QStringLiteral("select WrtIndex from WrtRecord")), 20000);
    // Every generated sale reaches its meter and user.
    EXPECT_EQ(fresh.Count(QStringLiteral("select c.WrtIndex from WrtRecord c, CliPre b, Client a where "
                                         "c.CliPreIndex = b.CliPreIndex and b.ClientNo = a.ClientNo")),
              fresh.Count(QStringLiteral("select WrtIndex from WrtRecord")));

    const auto expectDrivenByPeriod = [&](const QString& sql, const std::string& what) {
        const QStringList plan = queryPlan(engine->handle(), engine->adaptQuery(sql));
        const QString all = plan.join(u'\n');
        // The sales come first, searched by the period's range, never scanned;
        // nor are the rows per sale or per meter.
        ASSERT_FALSE(plan.isEmpty()) << what;
        EXPECT_TRUE(plan.first().contains(QRegularExpression(QStringLiteral("^SEARCH c USING .*\\(WrtTime>\\? AND WrtTime<\\?\\)"))))
            << what << "\n" << all.toStdString();
        EXPECT_EQ(plan.filter(QRegularExpression(QStringLiteral("^SEARCH c USING"))).size(), 1)
            << what << "\n" << all.toStdString();
        for (const char* alias : {"c", "k", "d", "f", "b"})
            EXPECT_TRUE(plan.filter(QRegularExpression(QStringLiteral("^SCAN %1\\b").arg(alias))).isEmpty())
                << what << " " << alias << "\n"
                << all.toStdString();
    };
    for (int grouping = 0; grouping < kSaleStatGroupingCount; ++grouping) {
        CSaleStatCondition k;
        k.m_grouping = grouping;
        k.m_bPeriod = 1;
        k.m_periodFrom = QDateTime(QDate(2023, 6, 1), QTime());
        k.m_periodTo = QDateTime(QDate(2023, 6, 30), QTime());
        expectDrivenByPeriod(SaleStatSql(k), "grouping " + std::to_string(grouping));
    }
    CSaleCondition day;
    day.m_bPeriod = 1;
    day.m_periodFrom = day.m_periodTo = QDateTime(QDate(2023, 6, 15), QTime());
    expectDrivenByPeriod(SaleRecordQuerySql(day), "one day");
    // The day holds the generated sales of that day, each once.
    CAdoLease<CAdoRecordset> rs(fresh.Db().AcquireRecordset());
    rs->Open(SaleRecordQuerySql(day));
    EXPECT_EQ(rs->GetRecordCount(), fresh.Count(QStringLiteral("select WrtIndex from WrtRecord where WrtTime >= "
                                                               "'2023-06-15' and WrtTime < '2023-06-16'")));
    EXPECT_GT(rs->GetRecordCount(), 0);
}

namespace {

// Every cell of every row a statement gives, stepped as written. Sums are
// compared to the micro-unit: added in another order they differ in the last
// binary place, far below what any list or print shows.
QStringList stepAll(sqlite3* db, const QString& sql)
{
    QStringList cells;
    sqlite3_stmt* stmt = nullptr;
    EXPECT_EQ(sqlite3_prepare_v2(db, sql.toUtf8().constData(), -1, &stmt, nullptr), SQLITE_OK) << sqlite3_errmsg(db);
    const int columns = sqlite3_column_count(stmt);
    while (sqlite3_step(stmt) == SQLITE_ROW)
        for (int c = 0; c < columns; ++c)
            cells << (sqlite3_column_type(stmt, c) == SQLITE_FLOAT
                          ? QString::number(sqlite3_column_double(stmt, c), 'f', 6)
                          : QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(stmt, c))));
    sqlite3_finalize(stmt);
    return cells;
}

} // namespace

// On a file without planner statistics (as the program finds a file before it
// has closed it once): a household or a user's name leads through the users,
// otherwise the period, otherwise the sales, whatever the conditions on the
// code tables, unless conditions on the users leave few of them; never a code
// table. Led by the sales, the tables a sale refers
// to are read once where the lead reaches at least as many sales as they have
// rows, and found for each sale through their keys where it reaches fewer (a
// day, a month of this small file). The rows and their order are those of the
// statement as written, for every grouping and query.
TEST(SaleQueryPlan, HouseholdPeriodOrSalesLeadAndTheRowsStayTheSame)
{
    CRecordingMessageSink sink;
    CFreshDatabase fresh(QDateTime(QDate(2023, 12, 31), QTime(12, 0)));
    auto* engine = dynamic_cast<CSqliteEngine*>(fresh.Db().GetEngine());
    ASSERT_NE(engine, nullptr);
    CSaleGeneratorSpec spec;
    spec.sales = 6000;
    spec.users = 600; // 800 price shares: a month's 500 sales are fewer, an operator's 2,000 more
    spec.operators = 3;
    GenerateSales(engine->handle(), spec);
    ASSERT_EQ(fresh.Count(QStringLiteral("select name from sqlite_master where name = 'sqlite_stat1'")), 0);

    enum class Reads
    {
        ByHousehold, // led by the user or meter, the rest through its keys
        Once,        // led by the sales, the tables a sale refers to read once
        SaleBySale   // led by the sales, each sale finding its tables by their keys
    };
    struct Narrowing
    {
        const char* name;
        const char* leads; // the first step of the plan
        Reads reads;
        void (*apply)(CSaleCondition&);
    };
    const auto month = [](CSaleCondition& k) {
        k.m_bPeriod = 1;
        k.m_periodFrom = QDateTime(QDate(2023, 6, 1), QTime());
        k.m_periodTo = QDateTime(QDate(2023, 6, 30), QTime());
    };
    const char* const bySales = "^(SCAN|SEARCH) c\\b";
    const Narrowing narrowings[] = {
        {"all periods", bySales, Reads::Once, [](CSaleCondition&) {}},
        {"a year", "^SEARCH c USING .*WrtTime", Reads::Once,
         [](CSaleCondition& k) {
             k.m_bPeriod = 1;
             k.m_periodFrom = QDateTime(QDate(2023, 1, 1), QTime());
             k.m_periodTo = QDateTime(QDate(2023, 12, 31), QTime());
         }},
        {"a month", "^SEARCH c USING .*WrtTime", Reads::SaleBySale, month},
        {"a day", "^SEARCH c USING .*WrtTime", Reads::SaleBySale,
         [](CSaleCondition& k) {
             k.m_bPeriod = 1;
             k.m_periodFrom = k.m_periodTo = QDateTime(QDate(2023, 6, 15), QTime());
         }},
        {"one user", "^SEARCH a USING INDEX ClientNoEnd", Reads::ByHousehold,
         [](CSaleCondition& k) {
             k.m_bClientNo = 1;
             k.m_clientNo = QStringLiteral("00000123");
         }},
        {"one user in a month", "^SEARCH a USING INDEX ClientNoEnd", Reads::ByHousehold,
         [](CSaleCondition& k) {
             k.m_bClientNo = 1;
             k.m_clientNo = QStringLiteral("00000123");
             k.m_bPeriod = 1;
             k.m_periodFrom = QDateTime(QDate(2023, 6, 1), QTime());
             k.m_periodTo = QDateTime(QDate(2023, 6, 30), QTime());
         }},
        {"one meter", "^SEARCH b USING INDEX CliPreMeterEnd", Reads::ByHousehold,
         [](CSaleCondition& k) {
             k.m_bMeterNo = 1;
             k.m_meterNo = QStringLiteral("M00000007");
         }},
        {"a user's name", "^SCAN a\\b", Reads::ByHousehold,
         [](CSaleCondition& k) {
             k.m_bClientName = 1;
             k.m_clientName = QStringLiteral("住户123");
         }},
        {"an operator", bySales, Reads::Once,
         [](CSaleCondition& k) {
             k.m_bOperator = 1;
             k.m_operatorNo = QStringLiteral("g3");
         }},
        {"a use nature", bySales, Reads::Once,
         [](CSaleCondition& k) {
             k.m_bUseNature = 1;
             k.m_priceNo = QStringLiteral("P2");
         }},
        {"a district", bySales, Reads::Once,
         [](CSaleCondition& k) {
             k.m_bBlock = 1;
             k.m_blockNo = QStringLiteral("04");
         }},
        // A building's three households of 600: their meters lead.
        {"a district and building", "^SCAN a\\b", Reads::ByHousehold,
         [](CSaleCondition& k) {
             k.m_bBlock = k.m_bBuilding = 1;
             k.m_blockNo = QStringLiteral("04");
             k.m_buildingNo = QStringLiteral("02");
         }},
        {"an operation", bySales, Reads::Once,
         [](CSaleCondition& k) {
             k.m_bOpMode = 1;
             k.m_opMode = QStringLiteral("正常充值");
         }},
        // The payments lead, each finding its sale by the sale's key.
        {"a payment", "^SCAN d\\b", Reads::Once,
         [](CSaleCondition& k) {
             k.m_bPayMode = 1;
             k.m_payMode = QStringLiteral("支票");
         }},
    };
    const auto check = [&](const QString& sql, const Narrowing& n, const std::string& what) {
        const QString ran = engine->adaptQuery(sql);
        const QStringList plan = queryPlan(engine->handle(), ran);
        const std::string shown = what + "\n" + plan.join(u'\n').toStdString();
        ASSERT_FALSE(plan.isEmpty()) << what;
        EXPECT_TRUE(plan.first().contains(QRegularExpression(QString::fromUtf8(n.leads)))) << shown;
        // Only the lead is read whole, if anything is.
        EXPECT_EQ(plan.filter(QRegularExpression(QStringLiteral("^SCAN "))).size(),
                  plan.first().startsWith(QLatin1String("SCAN ")) ? 1 : 0)
            << shown;
        // Read once, the meter, its user, price, model and places are not
        // searched again for every sale.
        EXPECT_EQ(plan.filter(QRegularExpression(QStringLiteral("^(SCAN|SEARCH) [abefgqrs] "))).isEmpty(),
                  n.reads == Reads::Once)
            << shown;
        EXPECT_EQ(ran.contains(QLatin1String("materialized")), n.reads == Reads::Once) << shown;
        const QStringList written = stepAll(engine->handle(), sql);
        EXPECT_FALSE(written.isEmpty()) << what;
        EXPECT_EQ(stepAll(engine->handle(), ran), written) << what;
    };
    for (const Narrowing& n : narrowings) {
        for (const CNamedSaleStatement& statement : SaleStatementsNarrowedBy(n.name, n.apply))
            check(statement.sql, n, statement.what);
    }
    // A column named without its table is left where the statement reads it.
    const QString unqualified =
        QStringLiteral("select ClientName, count(*) from Client a, CliPre b, WrtRecord c where c.CliPreIndex = "
                       "b.CliPreIndex and b.ClientNo = a.ClientNo group by ClientName");
    EXPECT_EQ(stepAll(engine->handle(), engine->adaptQuery(unqualified)), stepAll(engine->handle(), unqualified));
    EXPECT_FALSE(engine->adaptQuery(unqualified).contains(QLatin1String("materialized")));
}

// The generated file is one the program could have left: counters past the
// keys in use, each meter's sales numbered from 1 with a balance carried from
// sale to sale, no empty value where a sale writes one, every right for qz.
TEST(SaleGenerator, TheFileIsOneTheProgramCouldHaveLeft)
{
    CRecordingMessageSink sink;
    CFreshDatabase fresh(QDateTime(QDate(2023, 12, 31), QTime(12, 0)));
    auto* engine = dynamic_cast<CSqliteEngine*>(fresh.Db().GetEngine());
    ASSERT_NE(engine, nullptr);
    CSaleGeneratorSpec spec;
    spec.sales = 3000;
    spec.users = 300;
    GenerateSales(engine->handle(), spec);
    const auto count = [&](const char* sql) { return fresh.Count(QString::fromUtf8(sql)); };

    const struct
    {
        const char* what;
        const char* rows; // rows that break the rule
    } rules[] = {
        {"counters past the keys",
         "select 1 from SysPara where WrtIndex <= (select max(WrtIndex) from WrtRecord) or PayIndex <= (select "
         "max(PayIndex) from ClientPay) or WrtPriceIndex <= (select max(WrtPriceIndex) from WrtPrice) or "
         "ClientIndex <= (select max(ClientIndex) from Client) or CliPreIndex <= (select max(CliPreIndex) from CliPre) "
         "or PrePriceIndex <= (select max(PrePriceIndex) from PrePrice)"},
        {"sales numbered per meter",
         "select 1 from WrtRecord c where c.WrtNum <> (select count(*) from WrtRecord l where l.CliPreIndex = "
         "c.CliPreIndex and l.WrtIndex <= c.WrtIndex)"},
        {"balance carried on",
         "select 1 from ClientPay d, WrtRecord c where c.WrtIndex = d.WrtIndex and d.WrtNum > 1 and d.LastBalance <> "
         "(select p.ThisBalance from ClientPay p, WrtRecord l where p.WrtIndex = l.WrtIndex and l.CliPreIndex = "
         "c.CliPreIndex and l.WrtNum = c.WrtNum - 1)"},
        {"values written",
         "select 1 from WrtRecord where WrtValue is null or LimitValue is null or AlarmShold is null or CloseShold is "
         "null or WrtNum is null or TotalMul is null or AccuBuy is null or AccuUse is null or AccuRemain is null or "
         "FreeValue is null or LWaste is null or TWaste is null"},
        {"price and meter type values written",
         "select 1 from PriceVer where OperatorNo is null or ModiTime is null union all select 1 from PreModel where "
         "Spec is null or InnerMul is null or MaxLimit is null or MinLimit is null or BaseValue is null or SortIndex "
         "is null or bCt is null or bPt is null union all select 1 from Price where PriceCycle is null or BalMode is "
         "null or Unit is null or MonthlyBegin is null or BalDay is null"},
        {"a last card image per meter",
         "select 1 from CliPre b where not exists (select 1 from PreLastWrt l where l.MeterNo = b.MeterNo)"},
        {"a balance per user",
         "select 1 from Client a where not exists (select 1 from CliBalance l where l.ClientNo = a.ClientNo)"},
    };
    for (const auto& rule : rules)
        EXPECT_EQ(count(rule.rows), 0) << rule.what;
    EXPECT_GT(count("select 1 from Permission where OperatorNo = 'qz'"), 50);
    EXPECT_EQ(count("select name from sqlite_master where name = 'sqlite_stat1'"), 0);
}
