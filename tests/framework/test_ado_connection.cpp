#include "CAdoCommand.h"
#include "CAdoConnection.h"
#include "CAdoRecordset.h"
#include "CKvException.h"
#include "CSqliteEngine.h"
#include "KvPeriodJoin.h"
#include "KvSql.h"
#include "KvSumsFirst.h"
#include "KvTestSupport.h"

#include <QTemporaryDir>
#include <functional>
#include <gtest/gtest.h>
#include <sqlite3.h>

namespace {

const char* kScript = R"(
create table Block (BlockNo text collate nocase primary key, BlockName text collate nocase);
create table Stamp (Id integer primary key, At text);
insert into Block values ('01', 'East');
insert into Block values ('02', 'West');
insert into Block values ('03', 'North');
)";

class ConnectionTest : public ::testing::Test
{
protected:
    void SetUp() override { db = OpenScratchDatabase(dir.filePath("t.db"), QString::fromUtf8(kScript)); }
    int count(const QString& sql)
    {
        CAdoLease<CAdoRecordset> rs(db->AcquireRecordset());
        rs->Open(sql);
        return rs->GetRecordCount();
    }

    QTemporaryDir dir;
    std::unique_ptr<CAdoConnection> db;
};

// An engine that records what reaches it, for the network edition's rules.
class RecordingEngine : public CDbEngine
{
public:
    QStringList calls;
    bool failCommit = false;
    bool failRollback = false;
    bool engineInTransaction = false;

    void close() override {}
    bool isOpen() const override { return true; }
    int execute(const QString& sql) override
    {
        calls << sql;
        return 0;
    }
    void executeScript(const QString& script) override { calls << script; }
    void query(const QString& sql, CDbResult&) override { calls << sql; }
    void begin(int level) override
    {
        calls << QStringLiteral("begin %1").arg(level);
        engineInTransaction = true;
    }
    void commit(int level) override
    {
        if (failCommit)
            throw CKvException(QStringLiteral("busy"));
        calls << QStringLiteral("commit %1").arg(level);
    }
    void rollback(int level) override
    {
        if (failRollback)
            throw CKvException(QStringLiteral("gone"));
        calls << QStringLiteral("rollback %1").arg(level);
        if (level <= 1)
            engineInTransaction = false;
    }
    bool inTransaction() const override { return engineInTransaction; }
};

// A connection of the given kind bound to a recording engine.
struct RecordedConnection
{
    explicit RecordedConnection(int kind)
    {
        auto owned = std::make_unique<RecordingEngine>();
        engine = owned.get();
        connection.OpenEngine(std::move(owned), kind);
    }

    CAdoConnection connection;
    RecordingEngine* engine = nullptr; // owned by the connection
};

} // namespace

TEST(CAdoConnectionOpen, MissingFileThrowsAndCreatesNothing)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("absent.db");
    CAdoConnection connection;
    EXPECT_EQ(ThrownText([&] { connection.Open(0, QStringLiteral("Data Source=%1;Mode=Share").arg(path)); }),
              QStringLiteral("连接数据库失败"));
    EXPECT_FALSE(QFileInfo::exists(path));
    EXPECT_FALSE(connection.IsOpen());
}

TEST_F(ConnectionTest, OpenOnAnOpenConnectionKeepsItsFlag)
{
    EXPECT_EQ(db->Open(1, QStringLiteral("whatever")), 1);
    EXPECT_EQ(db->GetServerFlag(), 0);
    EXPECT_EQ(count("select * from Block"), 3);
}

TEST_F(ConnectionTest, DataSourceIsFoundInTheConnectString)
{
    EXPECT_EQ(CAdoConnection::DataSourceOf(QStringLiteral("Provider=x; Data Source = /a/b.db ;User ID=Admin")),
              QStringLiteral("/a/b.db"));
    EXPECT_EQ(CAdoConnection::DataSourceOf(QStringLiteral("/a/b.db")), QStringLiteral("/a/b.db"));
}

TEST_F(ConnectionTest, CDateGivesOneCanonicalText)
{
    db->Execute(QStringLiteral("insert into Stamp values (1, CDate('2050-12-31 00:00:00'))"), QString());
    db->Execute(QStringLiteral("insert into Stamp values (2, CDate('2005-3-1 08:00:00'))"), QString());
    CAdoLease<CAdoRecordset> rs(db->AcquireRecordset());
    rs->Open(QStringLiteral("select At from Stamp order by Id"));
    EXPECT_EQ(rs->GetFieldString("At"), QStringLiteral("2050-12-31"));
    rs->MoveNext();
    EXPECT_EQ(rs->GetFieldString("at"), QStringLiteral("2005-03-01 08:00:00"));
    // A date equals the same day at midnight; a half-open period holds the day's times.
    EXPECT_EQ(count("select * from Stamp where At = CDate('2050-12-31')"), 1);
    EXPECT_EQ(count("select * from Stamp where At >= CDate('2005-03-01') and At < CDate('2005-03-02')"), 1);
}

TEST_F(ConnectionTest, TextComparesWithoutRegardToCase)
{
    EXPECT_TRUE(db->RecordExists(QStringLiteral("select * from Block where BlockName = 'EAST'"), QStringLiteral("x")));
    CAdoLease<CAdoRecordset> rs(db->AcquireRecordset());
    rs->Open(QStringLiteral("select * from Block order by BlockName"));
    EXPECT_EQ(rs->GetFieldString("BlockName"), QStringLiteral("East"));
}

TEST(CAdoConnectionDialect, ServerConnectionStripsEveryCDate)
{
    struct Case
    {
        const char* in;
        const char* out;
    } cases[] = {
        {"select * from X where D >= CDate('2005-01-01') and D < CDate('2005-02-01')",
         "select * from X where D >= '2005-01-01' and D < '2005-02-01'"},
        {"select * from X", "select * from X"},
        {"select cdate('x')", "select cdate('x')"}, // case-sensitive, as the server step was
        // Each marker takes the first ')' after it that no earlier one took.
        {"select CDate(CDate('x')), (1)", "select 'x', (1)"},
        {"values (1, CDate('a'), (2), CDate('b')), (3, CDate('c'))", "values (1, 'a', (2), 'b'), (3, 'c')"},
    };
    RecordedConnection server(1);
    for (const Case& c : cases) {
        QString sql = QString::fromUtf8(c.in);
        EXPECT_EQ(server.connection.ConvertSql(sql), QString::fromUtf8(c.out));
        EXPECT_EQ(sql, QString::fromUtf8(c.out)) << "converted in place";
    }
    QString broken = QStringLiteral("select CDate('2005-01-01'");
    EXPECT_EQ(ThrownText([&] { server.connection.ConvertSql(broken); }), QStringLiteral("Sql语句错误！"));
    QString twoOneClose = QStringLiteral("select CDate(CDate('x')");
    EXPECT_EQ(ThrownText([&] { server.connection.ConvertSql(twoOneClose); }), QStringLiteral("Sql语句错误！"));

    // A month's many-row insert: every one of its 60,000 markers goes.
    QStringList rows;
    for (int i = 0; i < 20000; ++i)
        rows << QStringLiteral("(%1, CDate('2024-06-01'), CDate('2024-06-30'), CDate('2026-12-10'), 1)").arg(i);
    QString many = QStringLiteral("insert into FixFee values ") + rows.join(QStringLiteral(", "));
    const QString expected =
        QString(many).remove(QStringLiteral("CDate(")).replace(QStringLiteral("'),"), QStringLiteral("',"));
    EXPECT_EQ(server.connection.ConvertSql(many), expected);
}

TEST_F(ConnectionTest, EmbeddedConnectionLeavesCDateAlone)
{
    QString sql = QStringLiteral("select * from X where D = CDate('2005-01-01')");
    EXPECT_EQ(db->ConvertSql(sql), QStringLiteral("select * from X where D = CDate('2005-01-01')"));
}

TEST(SqlitePeriodJoin, APeriodOnAnIndexedColumnDrivesTheJoin)
{
    // W(Time) and W(Meter) lead an index; nothing else does.
    const auto leads = [](const QString& table, const QString& column) {
        return table == "W" && (column.compare("Time", Qt::CaseInsensitive) == 0 || column == "Meter");
    };
    const QString period = " and w.Time >= CDate('2023-06-01') and w.Time < CDate('2023-07-01')";
    struct Case
    {
        QString in;
        QString out; // empty: as written
    } cases[] = {
        // Reached in the order of the joins: m from w, u from m, c from u; x by nothing, last.
        {"select u.Name from U u, X x, C c, M m, W w where w.Meter = m.Meter and m.User = u.User and c.Code = u.Code" +
             period + " order by w.Time",
         "select u.Name from W w cross join M m cross join U u cross join C c cross join X x where w.Meter = m.Meter "
         "and m.User = u.User and c.Code = u.Code" +
             period + " order by +w.Time"},
        {"SELECT count(*) FROM U u, W w WHERE w.User = u.User AND w.TIME >= CDate('2023-06-01') AND w.Time <= "
         "CDate('2023-06-30') group by u.User",
         "SELECT count(*) FROM W w cross join U u WHERE w.User = u.User AND w.TIME >= CDate('2023-06-01') AND w.Time "
         "<= "
         "CDate('2023-06-30') group by u.User"},
        // No period, a column no index leads, one bound only, two columns, a single table: as written.
        {"select * from U u, W w where w.User = u.User", ""},
        {"select * from U u, W w where w.User = u.User and w.Fee >= CDate('2023-06-01') and w.Fee < "
         "CDate('2023-07-01')",
         ""},
        {"select * from U u, W w where w.User = u.User and w.Time >= CDate('2023-06-01')", ""},
        {"select * from U u, W w where w.User = u.User and w.Time >= CDate('2023-06-01') and w.Meter < CDate('x')", ""},
        {"select * from W w where 1 = 1" + period, ""},
        // Join syntax or a sub-select: as written.
        {"select * from U u join W w on w.User = u.User where 1 = 1" + period, ""},
        {"select * from U u, W w where u.User in (select User from W) and w.User = u.User" + period, ""},
    };
    for (const Case& c : cases)
        EXPECT_EQ(KvLeadingTableFirst(c.in, leads), c.out.isEmpty() ? c.in : c.out) << c.in.toStdString();
}

TEST(SqlitePeriodJoin, TheTablesASaleRefersToAreReadOnce)
{
    // Unique keys: every table's own key, and the meter's row number.
    const auto unique = [](const QString& table, const QString& column) {
        return (table == "WrtRecord" && column == "WrtIndex") || (table == "ClientPay" && column == "PayIndex") ||
               (table == "CliPre" && column == "CliPreIndex") || (table == "Client" && column == "ClientIndex") ||
               (table == "Block" && column == "BlockNo") || (table == "Operator" && column == "OperatorNo");
    };
    const QString from = "from WrtRecord c cross join CliPre b cross join ClientPay d cross join Client a cross join "
                         "Block q cross join Operator h ";
    const QString joins = "where c.CliPreIndex = b.CliPreIndex and d.WrtIndex = c.WrtIndex and b.ClientNo = "
                          "a.ClientNo and q.BlockNo = a.BlockNo and c.OperatorNo = h.OperatorNo";
    struct Case
    {
        QString in;
        QString out; // empty: as written
    } cases[] = {
        // The meter, its user and district once: their terms inside, the
        // columns used outside by name (a bare one keeps its name); a literal
        // that looks like a column stays as it is. The operator, a group of
        // one, and the rows per sale (d) stay in the loop.
        {"select a.ClientNo, q.BlockName as Name, sum(d.Fee) as Fee " + from + joins +
             " and a.ClientName <> 'q.BlockNo' and c.State = '收讫' group by a.ClientNo, q.BlockName order by "
             "a.ClientNo",
         "with kvonce1 as materialized (select a.ClientNo as a_clientno, q.BlockName as q_blockname, b.CliPreIndex "
         "as b_clipreindex from CliPre b cross join Client a cross join Block q where b.ClientNo = a.ClientNo and "
         "q.BlockNo = a.BlockNo and a.ClientName <> 'q.BlockNo') select kvonce1.a_clientno as ClientNo, "
         "kvonce1.q_blockname as Name, sum(d.Fee) as Fee from WrtRecord c cross join kvonce1 cross join ClientPay d "
         "cross join Operator h where c.CliPreIndex = kvonce1.b_clipreindex and d.WrtIndex = c.WrtIndex and "
         "c.OperatorNo = h.OperatorNo and c.State = '收讫' group by kvonce1.a_clientno, kvonce1.q_blockname order by "
         "kvonce1.a_clientno"},
        // Not led by the sales, a top-level or/between, a plain from list, a sub-select: as written.
        {"select a.ClientNo from Client a cross join CliPre b cross join WrtRecord c cross join Block q where "
         "b.ClientNo = a.ClientNo and c.CliPreIndex = b.CliPreIndex and q.BlockNo = a.BlockNo",
         ""},
        {"select a.ClientNo " + from + joins + " or c.State = 'x'", ""},
        {"select a.ClientNo " + from + joins + " and c.Fee between 1 and 2", ""},
        {"select a.ClientNo from WrtRecord c, CliPre b, Client a where c.CliPreIndex = b.CliPreIndex and b.ClientNo = "
         "a.ClientNo",
         ""},
        {"select a.ClientNo " + from + joins + " and c.Fee > (select 1)", ""},
        // An expression keeps its name; a "*" would read other columns.
        {"select count(a.ClientNo), c.Fee " + from + joins,
         "with kvonce1 as materialized (select a.ClientNo as a_clientno, b.CliPreIndex as b_clipreindex from CliPre b "
         "cross join Client a cross join Block q where b.ClientNo = a.ClientNo and q.BlockNo = a.BlockNo) select "
         "count(kvonce1.a_clientno) as \"count(a.ClientNo)\", c.Fee from WrtRecord c cross join kvonce1 cross join "
         "ClientPay d cross join Operator h where c.CliPreIndex = kvonce1.b_clipreindex and d.WrtIndex = c.WrtIndex "
         "and c.OperatorNo = h.OperatorNo"},
        {"select distinct a.ClientNo " + from + joins,
         "with kvonce1 as materialized (select a.ClientNo as a_clientno, b.CliPreIndex as b_clipreindex from CliPre b "
         "cross join Client a cross join Block q where b.ClientNo = a.ClientNo and q.BlockNo = a.BlockNo) select "
         "distinct kvonce1.a_clientno as ClientNo from WrtRecord c cross join kvonce1 cross join ClientPay d cross "
         "join Operator h where c.CliPreIndex = kvonce1.b_clipreindex and d.WrtIndex = c.WrtIndex and c.OperatorNo = "
         "h.OperatorNo"},
        {"select * " + from + joins, ""},
        {"select c.Fee, a.* " + from + joins, ""},
        // Only the operator is reached by its key: a group of one.
        {"select h.OperatorName from WrtRecord c cross join Operator h cross join ClientPay d where c.OperatorNo = "
         "h.OperatorNo and d.WrtIndex = c.WrtIndex",
         ""},
    };
    for (const Case& c : cases)
        EXPECT_EQ(KvDimensionTablesOnce(c.in, unique), c.out.isEmpty() ? c.in : c.out) << c.in.toStdString();
}

// The totals by the tables read once: the sales summed per key first, then
// summed again per group; a count and an integer column's sum stay bigints. A
// table reached by its own key that only leads to the tables read once (the
// price version) is joined after the sums, by the number that reaches it.
TEST(ServerSumsFirst, TotalsByTheTablesReadOnceAreSummedPerKeyFirst)
{
    const auto toBigint = [](const QString& table, const QString& column) {
        return table == "WrtRecord" && column == "BuyValue";
    };
    const QString once = "with kvonce1 as not materialized (select a.ClientNo as a_clientno, b.MeterNo as b_meterno, "
                         "b.CliPreIndex as b_clipreindex, e.PriceNo as e_priceno from CliPre b cross join Client a "
                         "cross join Price e where b.ClientNo = a.ClientNo and (e.PriceNo = b.PriceNo or e.PriceNo = "
                         "'00')) ";
    const QString from = " from WrtRecord c cross join kvonce1 cross join ClientPay d cross join WrtPrice k cross join "
                         "PriceVer p where c.State = '收讫' and c.CliPreIndex = kvonce1.b_clipreindex and d.WrtIndex = "
                         "c.WrtIndex and k.WrtIndex = c.WrtIndex and k.PriceIndex = p.PriceIndex and p.PriceNo = "
                         "kvonce1.e_priceno";
    const QString byMeter = " group by kvonce1.a_clientno, kvonce1.b_meterno";
    const QString totals = ", count(*) as ItemCount, sum(c.BuyValue) as BuyValue, sum(d.RealPay) as RealPay";
    const QString summedTwice = "select kvonce1.a_clientno as ClientNo, kvonce1.b_meterno as MeterNo, "
                                "cast(sum(kvsums.kvsum1) as bigint) as ItemCount, cast(sum(kvsums.kvsum2) as bigint) "
                                "as BuyValue, sum(kvsums.kvsum3) as RealPay";
    const QString totalsPerKey = "count(*) as kvsum1, sum(c.BuyValue) as kvsum2, sum(d.RealPay) as kvsum3";
    struct Case
    {
        QString in;
        QString out;              // empty: as written
        bool versionByKey = true; // the price version's own key is PriceIndex
    } cases[] = {
        {once + "select kvonce1.a_clientno as ClientNo, kvonce1.b_meterno as MeterNo" + totals + from + byMeter,
         once.trimmed() + ", kvsums as (select c.CliPreIndex as kvkey1, k.PriceIndex as kvkey2, " + totalsPerKey +
             " from WrtRecord c cross join ClientPay d cross join WrtPrice k where c.State = '收讫' and d.WrtIndex "
             "= c.WrtIndex and k.WrtIndex = c.WrtIndex group by c.CliPreIndex, k.PriceIndex) " +
             summedTwice +
             " from kvsums cross join PriceVer p cross join kvonce1 where kvsums.kvkey1 = kvonce1.b_clipreindex and "
             "kvsums.kvkey2 = p.PriceIndex and p.PriceNo = kvonce1.e_priceno" +
             byMeter},
        // Not reached by its own key, the price version stays with the sales.
        {once + "select kvonce1.a_clientno as ClientNo, kvonce1.b_meterno as MeterNo" + totals + from + byMeter,
         once.trimmed() + ", kvsums as (select c.CliPreIndex as kvkey1, p.PriceNo as kvkey2, " + totalsPerKey +
             " from WrtRecord c cross join ClientPay d cross join WrtPrice k cross join PriceVer p where c.State = "
             "'收讫' and d.WrtIndex = c.WrtIndex and k.WrtIndex = c.WrtIndex and k.PriceIndex = p.PriceIndex group by "
             "c.CliPreIndex, p.PriceNo) " +
             summedTwice +
             " from kvsums cross join kvonce1 where kvsums.kvkey1 = kvonce1.b_clipreindex and kvsums.kvkey2 = "
             "kvonce1.e_priceno" +
             byMeter,
         false},
        // Grouped by a table of the sales' side, another aggregate, a total of
        // the tables read once, a total without a name, an order after the
        // grouping, a join of the two sides other than by equal keys, a
        // "distinct", no grouping, not split by the reading once: as written.
        {once + "select c.OperatorNo as OperatorNo" + totals + from + " group by c.OperatorNo", ""},
        {once + "select kvonce1.a_clientno as ClientNo, avg(c.BuyValue) as BuyValue" + from + byMeter, ""},
        {once + "select kvonce1.a_clientno as ClientNo, sum(kvonce1.e_priceno) as N" + from + byMeter, ""},
        {once + "select kvonce1.a_clientno as ClientNo, count(*)" + from + byMeter, ""},
        {once + "select kvonce1.a_clientno as ClientNo" + totals + from + byMeter + " order by kvonce1.a_clientno", ""},
        {once + "select kvonce1.a_clientno as ClientNo" + totals + from + " and c.MeterNo <> kvonce1.b_meterno" +
             byMeter,
         ""},
        {once + "select distinct kvonce1.a_clientno as ClientNo" + totals + from + byMeter, ""},
        {once + "select kvonce1.a_clientno as ClientNo" + totals + from, ""},
        {"select a.ClientNo, count(*) as N from WrtRecord c, CliPre b, Client a where c.CliPreIndex = b.CliPreIndex "
         "and b.ClientNo = a.ClientNo group by a.ClientNo",
         ""},
    };
    for (const Case& c : cases) {
        const auto unique = [&](const QString& table, const QString& column) {
            return c.versionByKey && table == "PriceVer" && column == "PriceIndex";
        };
        EXPECT_EQ(KvSumsFirst(c.in, unique, toBigint), c.out.isEmpty() ? c.in : c.out) << c.in.toStdString();
    }
}

// A result larger than one block of cells and of texts reads back whole,
// the same whether held or read forward a row at a time; a read its caller
// stops leaves no statement open behind it.
TEST_F(ConnectionTest, AResultHeldOrReadForwardHasTheSameRows)
{
    db->ExecuteScript(QStringLiteral("create table Wide (Id integer, Name text, Amount real, Note text);"
                                     "with recursive n(i) as (select 1 union all select i + 1 from n where i < 70000) "
                                     "insert into Wide select i, printf('%050d', i), i * 0.25, "
                                     "case when i % 2 = 0 then null else 'n' || i end from n;"),
                      QString());
    const auto rowOf = [](CAdoRecordset& rs) {
        return QStringList{rs.GetFieldString(QStringLiteral("Id")), rs.GetFieldString(QStringLiteral("Name")),
                           QString::number(rs.GetFieldDouble(QStringLiteral("Amount")), 'f', 2),
                           rs.IsFieldNull(QStringLiteral("Note")) ? QStringLiteral("<null>")
                                                                  : rs.GetFieldString(QStringLiteral("Note"))};
    };
    const QString sql = QStringLiteral("select Id, Name, Amount, Note from Wide order by Id");
    QList<QStringList> held;
    {
        CAdoLease<CAdoRecordset> rs(db->AcquireRecordset());
        rs->Open(sql);
        for (; !rs->IsEOF(); rs->MoveNext())
            held << rowOf(*rs);
    }
    ASSERT_EQ(held.size(), 70000);
    EXPECT_EQ(held[65536], (QStringList{"65537", QString("%1").arg(65537, 50, 10, QChar(u'0')), "16384.25", "n65537"}));
    EXPECT_EQ(held[69999].last(), QStringLiteral("<null>"));

    QList<QStringList> forward;
    CAdoLease<CAdoRecordset> rs(db->AcquireRecordset());
    EXPECT_EQ(rs->ReadEach(sql, [&](CAdoRecordset& row) { forward << rowOf(row); }), 70000);
    EXPECT_EQ(forward, held);

    // The rows are used on a second thread: its exception ends the reading
    // and is the one thrown, and a query that fails part way ends the using
    // side with the query's own error.
    int seen = 0;
    QString thrown;
    try {
        rs->ReadEach(sql, [&](CAdoRecordset&) {
            if (++seen == 10)
                throw CKvException(QStringLiteral("stop"));
        });
    } catch (const CKvException& e) {
        thrown = e.text();
    }
    EXPECT_EQ(thrown, QStringLiteral("stop"));
    EXPECT_EQ(seen, 10);
    seen = 0;
    thrown.clear();
    try {
        rs->ReadEach(QStringLiteral("with recursive n(i) as (select 1 union all select i + 1 from n where i < 6000) "
                                    "select i as Id, case when i = 5000 then abs(-9223372036854775807 - 1) end from n"),
                     [&](CAdoRecordset& row) {
                         if (row.GetFieldString(QStringLiteral("Id")).toInt() == seen + 1)
                             ++seen;
                     });
    } catch (const CKvException& e) {
        thrown = e.text();
    }
    EXPECT_TRUE(thrown.contains(QStringLiteral("overflow"))) << thrown.toStdString();
    EXPECT_LT(seen, 5000);
    auto* engine = dynamic_cast<CSqliteEngine*>(db->GetEngine());
    ASSERT_NE(engine, nullptr);
    EXPECT_EQ(sqlite3_next_stmt(engine->handle(), nullptr), nullptr);
    EXPECT_EQ(count(QStringLiteral("select Id from Wide where Id <= 3")), 3);
}

TEST_F(ConnectionTest, APeriodDrivenJoinFindsTheSameRows)
{
    db->ExecuteScript(QStringLiteral("create index StampAt on Stamp(At);"
                                     "insert into Stamp values (1, '2005-03-01 08:00:00'), (2, '2005-03-02');"),
                      QString());
    EXPECT_EQ(count("select s.Id, b.BlockNo from Block b, Stamp s where s.At >= CDate('2005-03-01') and "
                    "s.At < CDate('2005-03-02')"),
              3);
    EXPECT_EQ(count("select s.Id from Block b, Stamp s where b.BlockNo = '01' and s.At >= CDate('2005-03-01') and "
                    "s.At < CDate('2005-03-03')"),
              2);
}

TEST(CAdoConnectionTransactions, ServerGetsOneFlatTransaction)
{
    RecordedConnection recorded(1);
    CAdoConnection& server = recorded.connection;
    server.BeginTrans();
    server.BeginTrans();
    server.CommitTrans(); // an inner commit only lowers the depth
    EXPECT_EQ(server.GetTransDepth(), 1);
    EXPECT_EQ(recorded.engine->calls, (QStringList{"begin 1"}));
    server.CommitTrans();
    EXPECT_EQ(recorded.engine->calls, (QStringList{"begin 1", "commit 1"}));
    EXPECT_EQ(server.GetTransDepth(), 0);
}

// The server has one real transaction for all levels: after an inner rollback
// the outer level may not commit the work the inner one gave up. Its commit
// rolls back for real and fails; its owed rollback then succeeds quietly.
TEST(CAdoConnectionTransactions, AnInnerRollbackOnTheServerMakesTheOuterCommitFail)
{
    RecordedConnection recorded(1);
    CAdoConnection& server = recorded.connection;
    server.BeginTrans();
    server.BeginTrans();
    server.RollbackTrans();
    EXPECT_EQ(server.GetTransDepth(), 1);
    EXPECT_EQ(recorded.engine->calls, (QStringList{"begin 1"}));
    EXPECT_EQ(ThrownText([&] { server.CommitTrans(); }), QStringLiteral("提交事务时发生错误！"));
    EXPECT_EQ(recorded.engine->calls, (QStringList{"begin 1", "rollback 1"}));
    EXPECT_EQ(server.GetTransDepth(), 0);

    // The next group on the connection is a normal one again.
    recorded.engine->calls.clear();
    server.RollbackTrans(); // the failed commit's caller unwinds: nothing left to do
    server.BeginTrans();
    server.CommitTrans();
    EXPECT_EQ(server.GetTransDepth(), 0);
    EXPECT_EQ(recorded.engine->calls, (QStringList{"begin 1", "commit 1"}));
}

// A doomed group whose rollback fails stays doomed: no later commit succeeds.
TEST(CAdoConnectionTransactions, ADoomedGroupWhoseRollbackFailsIsNeverCommitted)
{
    RecordedConnection recorded(1);
    CAdoConnection& server = recorded.connection;
    server.BeginTrans();
    server.BeginTrans();
    server.RollbackTrans();
    recorded.engine->failRollback = true;
    EXPECT_EQ(ThrownText([&] { server.CommitTrans(); }), QStringLiteral("提交事务时发生错误！"));
    EXPECT_EQ(server.GetTransDepth(), 1);
    EXPECT_EQ(ThrownText([&] { server.CommitTrans(); }), QStringLiteral("提交事务时发生错误！"));
    EXPECT_EQ(recorded.engine->calls, (QStringList{"begin 1"}));
    recorded.engine->failRollback = false;
    EXPECT_EQ(server.RollbackTrans(), 1);
    EXPECT_EQ(server.GetTransDepth(), 0);
}

TEST(CAdoConnectionTransactions, FailedCommitKeepsTheDepth)
{
    RecordedConnection recorded(0);
    CAdoConnection& connection = recorded.connection;
    connection.BeginTrans();
    recorded.engine->failCommit = true;
    EXPECT_EQ(ThrownText([&] { connection.CommitTrans(); }), QStringLiteral("提交事务时发生错误！"));
    EXPECT_EQ(connection.GetTransDepth(), 1);
}

TEST(CAdoConnectionTransactions, DepthFollowsAnEngineThatRolledBackByItself)
{
    RecordedConnection recorded(0);
    CAdoConnection& connection = recorded.connection;
    connection.BeginTrans();
    connection.BeginTrans();
    recorded.engine->engineInTransaction = false; // the engine gave up, as on a full disk
    recorded.engine->failCommit = true;
    EXPECT_THROW(connection.CommitTrans(), CKvException);
    EXPECT_EQ(connection.GetTransDepth(), 0);
}

TEST_F(ConnectionTest, NestedTransactionsAreRealOnTheEmbeddedFile)
{
    db->BeginTrans();
    db->Execute(QStringLiteral("insert into Block values ('10', 'outer')"), QString());
    db->BeginTrans();
    db->Execute(QStringLiteral("insert into Block values ('11', 'inner')"), QString());
    db->RollbackTrans(); // undoes the inner group only
    EXPECT_EQ(db->GetTransDepth(), 1);
    db->CommitTrans();
    EXPECT_EQ(count("select * from Block where BlockNo = '10'"), 1);
    EXPECT_EQ(count("select * from Block where BlockNo = '11'"), 0);

    {
        CAdoTransaction outer(*db);
        db->Execute(QStringLiteral("insert into Block values ('12', 'lost')"), QString());
        CAdoTransaction inner(*db);
        inner.Commit();
        // outer leaves without Commit: everything in it is rolled back
    }
    EXPECT_EQ(count("select * from Block where BlockNo = '12'"), 0);
    EXPECT_EQ(db->GetTransDepth(), 0);
}

TEST_F(ConnectionTest, FailedCommitOnTheEmbeddedFileKeepsTheDepth)
{
    db->Execute(QStringLiteral("PRAGMA foreign_keys = ON"), QString());
    db->Execute(QStringLiteral("create table Child (Id integer, BlockNo text references Block(BlockNo) "
                               "deferrable initially deferred)"),
                QString());
    db->BeginTrans();
    db->Execute(QStringLiteral("insert into Child values (1, 'nowhere')"), QString());
    EXPECT_THROW(db->CommitTrans(), CKvException);
    EXPECT_EQ(db->GetTransDepth(), 1);
    db->RollbackTrans();
    EXPECT_EQ(db->GetTransDepth(), 0);
    EXPECT_EQ(count("select * from Child"), 0);
}

TEST_F(ConnectionTest, ExecuteThrowsTheCallersTextAndFreesTheCommand)
{
    EXPECT_EQ(ThrownText([&] {
                  db->Execute(QStringLiteral("insert into Nowhere values (1)"),
                              QStringLiteral("向数据库增加小区时发生错误！"));
              }),
              QStringLiteral("向数据库增加小区时发生错误！"));
    EXPECT_EQ(db->CommandPoolSize(), 1);
    CAdoCommand* cmd = db->AcquireCommand();
    EXPECT_EQ(db->CommandPoolSize(), 1) << "the failed command was given back";
    cmd->Release();
}

TEST_F(ConnectionTest, AnEmptyCallerTextKeepsTheEnginesMessage)
{
    const std::function<void()> calls[] = {
        [&] { db->Execute(QStringLiteral("insert into Nowhere values (1)"), QString()); },
        [&] { db->RecordExists(QStringLiteral("select * from Nowhere"), QString()); },
    };
    for (const auto& call : calls) {
        const QString text = ThrownText(call);
        EXPECT_TRUE(text.startsWith(QStringLiteral("执行Sql语句时发生错误！"))) << text.toStdString();
        EXPECT_TRUE(text.contains(QStringLiteral("Nowhere"))) << text.toStdString();
    }
}

TEST_F(ConnectionTest, AGroupTheEngineRolledBackOnAFullDiskUnwindsWithTheOriginalFailure)
{
    db->Execute(QStringLiteral("PRAGMA max_page_count = 1"), QString()); // no room beyond what the file has
    const QString filler = QString(4000, u'x');
    auto fillUntilFull = [&] {
        for (int i = 100; i < 400; ++i)
            db->Execute(KvFormatSql("insert into Block values ('%d', '%s')", i, filler),
                        QStringLiteral("向数据库增加小区时发生错误！"));
    };

    // The callers' pattern: catch, roll back their own level, pass the failure on.
    QString reported;
    try {
        db->BeginTrans();
        try {
            db->Execute(QStringLiteral("insert into Block values ('10', 'outer')"), QString());
            db->BeginTrans();
            try {
                fillUntilFull();
                db->CommitTrans();
            } catch (...) {
                db->RollbackTrans();
                throw;
            }
            db->CommitTrans();
        } catch (...) {
            db->RollbackTrans();
            throw;
        }
        FAIL() << "the disk never filled";
    } catch (const CKvException& e) {
        reported = e.text();
    }
    EXPECT_EQ(reported, QStringLiteral("向数据库增加小区时发生错误！")) << "not a rollback failure";
    EXPECT_EQ(db->GetTransDepth(), 0);
    EXPECT_EQ(count("select * from Block where BlockNo = '10'"), 0) << "the whole group is gone";

    // A caller that swallowed the failure cannot commit the lost level.
    db->BeginTrans();
    EXPECT_THROW(fillUntilFull(), CKvException);
    EXPECT_THROW(db->CommitTrans(), CKvException);
    EXPECT_EQ(db->GetTransDepth(), 0);

    // The next group is a real transaction again.
    db->Execute(QStringLiteral("PRAGMA max_page_count = 100000"), QString());
    {
        CAdoTransaction transaction(*db);
        db->Execute(QStringLiteral("insert into Block values ('11', 'after')"), QString());
        transaction.Commit();
    }
    EXPECT_EQ(count("select * from Block where BlockNo = '11'"), 1);
    EXPECT_EQ(db->GetTransDepth(), 0);
}

TEST_F(ConnectionTest, ATextWithASecondStatementRunsNothing)
{
    const QString caller = QStringLiteral("修改小区时发生错误！");
    const std::function<void()> calls[] = {
        [&] { db->Execute(QStringLiteral("update Block set BlockName = 'x'; delete from Block"), caller); },
        [&] {
            db->Execute(QStringLiteral("insert into Block values ('09', 'a');insert into Block values ('10', 'b')"),
                        caller);
        },
        [&] { db->RecordExists(QStringLiteral("select * from Block; delete from Block"), caller); },
        [&] { db->Execute(QStringLiteral("delete from Block where BlockNo = '01'; select 1 from Nowhere"), caller); },
    };
    for (const auto& call : calls)
        EXPECT_EQ(ThrownText(call), caller);
    EXPECT_EQ(count("select * from Block where BlockName in ('East', 'West', 'North')"), 3) << "nothing ran";

    // One statement with a closing ';', blanks or a comment after it is still one.
    EXPECT_EQ(db->Execute(QStringLiteral("update Block set BlockName = 'y' where BlockNo = '01';  -- done\n"), caller),
              1);
    EXPECT_TRUE(db->RecordExists(QStringLiteral("select * from Block where BlockName = 'y';"), caller));

    // Scripts of several statements go through the script runner.
    db->ExecuteScript(QStringLiteral("insert into Block values ('20', 'a'); insert into Block values ('21', 'b');"),
                      caller);
    EXPECT_EQ(count("select * from Block where BlockNo in ('20', '21')"), 2);
    EXPECT_EQ(ThrownText([&] { db->ExecuteScript(QStringLiteral("insert into Nowhere values (1)"), caller); }), caller);
}

TEST_F(ConnectionTest, NoNewTransactionWhileALostLevelIsOwedItsRollback)
{
    db->Execute(QStringLiteral("PRAGMA max_page_count = 1"), QString());
    const QString filler = QString(4000, u'x');
    db->BeginTrans();
    EXPECT_THROW(for (int i = 100; i < 400; ++i)
                     db->Execute(KvFormatSql("insert into Block values ('%d', '%s')", i, filler), QString()),
                 CKvException);
    ASSERT_EQ(db->GetTransDepth(), 0) << "the engine ended the group";
    db->Execute(QStringLiteral("PRAGMA max_page_count = 100000"), QString());

    // A group begun now would be the one the owed rollback undoes.
    EXPECT_EQ(ThrownText([&] { db->BeginTrans(); }), QStringLiteral("开始事务时发生错误！"));
    EXPECT_EQ(db->GetTransDepth(), 0);
    db->RollbackTrans(); // the owed one
    {
        CAdoTransaction transaction(*db);
        db->Execute(QStringLiteral("insert into Block values ('11', 'after')"), QString());
        transaction.Commit();
    }
    EXPECT_EQ(count("select * from Block where BlockNo = '11'"), 1);
}

TEST_F(ConnectionTest, ExecuteTellsHowManyRowsChanged)
{
    EXPECT_EQ(db->Execute(QStringLiteral("update Block set BlockName = 'x' where BlockNo <> '01'"), QString()), 2);
    EXPECT_EQ(db->Execute(QStringLiteral("update Block set BlockName = 'x' where BlockNo = '99'"), QString()), 0);
}

TEST_F(ConnectionTest, RecordExistsThrowsTheCallersTextAndFreesTheRecordset)
{
    EXPECT_TRUE(db->RecordExists(QStringLiteral("select * from Block where BlockNo = '01'"), QStringLiteral("e")));
    EXPECT_FALSE(db->RecordExists(QStringLiteral("select * from Block where BlockNo = '99'"), QStringLiteral("e")));
    EXPECT_EQ(
        ThrownText([&] { db->RecordExists(QStringLiteral("select * from Nowhere"), QStringLiteral("查询失败")); }),
        QStringLiteral("查询失败"));
    EXPECT_EQ(db->RecordsetPoolSize(), 1);
}

TEST_F(ConnectionTest, PoolsHandOutFreeWrappersFirst)
{
    CAdoRecordset* first = db->AcquireRecordset();
    CAdoRecordset* second = db->AcquireRecordset();
    EXPECT_NE(first, second);
    first->Release();
    second->Release();
    EXPECT_EQ(db->AcquireRecordset(), first);
    EXPECT_EQ(db->AcquireRecordset(), second);
    EXPECT_EQ(db->RecordsetPoolSize(), 2);

    CAdoCommand* c1 = db->AcquireCommand();
    CAdoCommand* c2 = db->AcquireCommand();
    EXPECT_NE(c1, c2);
    c1->Release();
    EXPECT_EQ(db->AcquireCommand(), c1);
}

namespace {

// The sqlite_stat1 row of an index ("" when there is none), read from the
// file as the next connection finds it.
QString storedStatistics(const QString& path, const char* index)
{
    sqlite3* raw = nullptr;
    EXPECT_EQ(sqlite3_open(path.toUtf8().constData(), &raw), SQLITE_OK);
    sqlite3_stmt* stmt = nullptr;
    QString stat;
    if (sqlite3_prepare_v2(raw, "select stat from sqlite_stat1 where idx = ?1", -1, &stmt, nullptr) == SQLITE_OK) {
        sqlite3_bind_text(stmt, 1, index, -1, SQLITE_STATIC);
        if (sqlite3_step(stmt) == SQLITE_ROW)
            stat = QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(stmt, 0)));
    }
    sqlite3_finalize(stmt);
    sqlite3_close(raw);
    return stat;
}

} // namespace

// A file the program closes keeps planner statistics that describe it: a
// small table analysed whole, a large one (past 100,000 rows) with its
// counted rows and the rows per key of each index. Statistics that mislead
// (a sample of an index's first rows) are replaced; statistics that still
// hold are left as they are. Reads go through a memory map while it is open.
TEST(SqliteFileUpkeep, ClosingLeavesPlannerStatisticsThatDescribeTheFile)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("upkeep.db"));
    CSqliteEngine::createFile(path, QStringLiteral("create table Sale (Id integer primary key, Meter text, At text);"
                                                   "create index SaleMeter on Sale(Meter);"
                                                   "create index SaleMeterAt on Sale(Meter, At);"
                                                   "create table Meter (Meter text primary key, Name text);"));
    // 150,000 sales of 12 meters (12,500 each), each at its own time; 3 meters.
    const auto openAndClose = [&](const QString& script) {
        CAdoConnection db;
        db.Open(0, path);
        if (!script.isEmpty())
            db.ExecuteScript(script, QString());
        CAdoLease<CAdoRecordset> mapped(db.AcquireRecordset());
        mapped->Open(QStringLiteral("PRAGMA mmap_size"));
        EXPECT_GE(mapped->GetFieldDouble(mapped->GetFieldName(0)), 256.0 * 1024 * 1024);
    };
    openAndClose(QStringLiteral("with recursive n(i) as (select 1 union all select i + 1 from n where i < 150000) "
                                "insert into Sale (Meter, At) select 'M' || (i % 12), printf('2023-%08d', i) from n;"
                                "insert into Meter values ('M1', 'a'), ('M2', 'b'), ('M3', 'c');"));
    EXPECT_EQ(storedStatistics(path, "SaleMeter"), QStringLiteral("150000 12500"));
    EXPECT_EQ(storedStatistics(path, "SaleMeterAt"), QStringLiteral("150000 12500 1"));
    EXPECT_EQ(storedStatistics(path, "sqlite_autoindex_Meter_1"), QStringLiteral("3 1"));

    // Figures near enough are kept; what a sample of an index's first rows
    // once left is measured again, with the rest of its table.
    openAndClose(QStringLiteral("update sqlite_stat1 set stat = '151000 12000' where idx = 'SaleMeter';"
                                "update sqlite_stat1 set stat = '151000 12000 1' where idx = 'SaleMeterAt';"));
    EXPECT_EQ(storedStatistics(path, "SaleMeter"), QStringLiteral("151000 12000"));
    EXPECT_EQ(storedStatistics(path, "SaleMeterAt"), QStringLiteral("151000 12000 1"));
    openAndClose(QStringLiteral("update sqlite_stat1 set stat = '141000 1001' where idx = 'SaleMeter';"));
    EXPECT_EQ(storedStatistics(path, "SaleMeter"), QStringLiteral("150000 12500"));
    EXPECT_EQ(storedStatistics(path, "SaleMeterAt"), QStringLiteral("150000 12500 1"));

    // A table grown by more than a quarter is measured again.
    openAndClose(QStringLiteral("with recursive n(i) as (select 1 union all select i + 1 from n where i < 50000) "
                                "insert into Sale (Meter, At) select 'M' || (i % 12), printf('2024-%08d', i) from n;"));
    EXPECT_EQ(storedStatistics(path, "SaleMeterAt"), QStringLiteral("200000 16667 1"));
}

namespace {

// Rows of (Id, At): an integer key, then a text, a real or a null.
CDbResult stampRows(int count)
{
    CDbResult rows;
    rows.columns = {QStringLiteral("Id"), QStringLiteral("At")};
    const QByteArray hostile = "x'); drop table Block; --";
    for (int i = 1; i <= count; ++i) {
        rows.appendInteger(i);
        if (i % 3 == 1)
            rows.appendText(hostile.constData(), static_cast<int>(hostile.size()));
        else if (i % 3 == 2)
            rows.appendReal(i + 0.1);
        else
            rows.appendNull();
        ++rows.rowCount;
    }
    return rows;
}

} // namespace

// Many rows go in with one insert whose values are bound: a text is stored
// as it is, never read as SQL, a real keeps its value, and a failing row
// throws the caller's text.
TEST_F(ConnectionTest, RowsInsertedWithBoundValuesAreStoredAsTheyAre)
{
    db->ExecuteScript(QStringLiteral("create table Loose (Id integer primary key, At);"), QString());
    const QString insert = QStringLiteral("insert into Loose (Id, At) values (?, ?)");
    EXPECT_EQ(db->ExecuteForRows(insert, stampRows(3000), QString()), 3000);
    CAdoLease<CAdoRecordset> rs(db->AcquireRecordset());
    rs->Open(QStringLiteral("select count(*) as n, sum(At = 'x''); drop table Block; --') as hostile, "
                            "sum(typeof(At) = 'real') as reals, sum(At is null) as nulls, "
                            "sum(At = 2.1) as exact from Loose"));
    EXPECT_EQ(rs->GetFieldInt("n"), 3000);
    EXPECT_EQ(rs->GetFieldInt("hostile"), 1000);
    EXPECT_EQ(rs->GetFieldInt("reals"), 1000);
    EXPECT_EQ(rs->GetFieldInt("nulls"), 1000);
    EXPECT_EQ(rs->GetFieldInt("exact"), 1);
    EXPECT_EQ(count(QStringLiteral("select * from Block")), 3);

    EXPECT_EQ(ThrownText([&] { db->ExecuteForRows(insert, stampRows(1), QStringLiteral("写入失败")); }),
              QStringLiteral("写入失败"));
}

// An engine that does not bind gets the rows written into inserts of the
// same text, as few as the longest statement allows, quotes doubled and
// numbers as KvFormatSql writes them.
TEST(RecordedConnectionRows, AnEngineThatDoesNotBindGetsTheRowsWrittenIntoTheText)
{
    RecordedConnection recorded(1);
    recorded.connection.ExecuteForRows(QStringLiteral("insert into Stamp (Id, At) values (?, ?)"), stampRows(3),
                                       QString());
    EXPECT_EQ(recorded.engine->calls,
              QStringList{QStringLiteral("insert into Stamp (Id, At) values (1, 'x''); drop table Block; --'), "
                                         "(2, 2.100000), (3, null)")});

    recorded.engine->calls.clear();
    recorded.connection.ExecuteForRows(QStringLiteral("insert into Stamp (Id, At) values (?, ?)"), stampRows(60000),
                                       QString());
    ASSERT_GE(recorded.engine->calls.size(), 2);
    qsizetype rows = 0;
    for (const QString& statement : recorded.engine->calls) {
        EXPECT_LE(statement.toUtf8().size(), 1000000);
        EXPECT_TRUE(statement.startsWith(QStringLiteral("insert into Stamp (Id, At) values (")));
        rows += statement.count(QStringLiteral("), (")) + 1;
    }
    EXPECT_EQ(rows, 60000);
}
