#include "CAdoConnection.h"
#include "CAdoRecordset.h"
#include "CDbResult.h"
#include "CKvException.h"
#include "CPgEngine.h"
#include "KvPgTestServer.h"
#include "KvSchema.h"
#include "KvSql.h"
#include "KvTestSupport.h"

#include <QDir>
#include <QElapsedTimer>
#include <QProcess>
#include <QTemporaryDir>
#include <clocale>
#include <cstdlib>
#include <gtest/gtest.h>
#include <libpq-fe.h>

namespace {

// A connection of kind 1 to the suite's database.
class PgEngineTest : public PgServerTest
{
protected:
    void SetUp() override
    {
        PgServerTest::SetUp();
        if (IsSkipped() || HasFatalFailure())
            return;
        db.Open(1, Server().ConnectString());
    }

    int count(const QString& sql)
    {
        CAdoLease<CAdoRecordset> rs(db.AcquireRecordset());
        rs->Open(sql);
        return rs->GetRecordCount();
    }
    QString value(const QString& sql)
    {
        CAdoLease<CAdoRecordset> rs(db.AcquireRecordset());
        rs->Open(sql);
        return rs->GetFieldText(rs->GetFieldName(0));
    }

    CAdoConnection db;
};

} // namespace

TEST(PgConnectString, ServerHostPortAndKeysWithoutRegardToCase)
{
    struct Case
    {
        const char* connect;
        const char* host;
        const char* port;
        const char* dbname;
        const char* user;
        const char* password;
    } cases[] = {
        {"Provider=SQLOLEDB;Server=Qrserver;Database=qrdb;uid=qrdbsa;pwd=s3cret", "Qrserver", "", "qrdb", "qrdbsa",
         "s3cret"},
        {"provider=sqloledb; SERVER = 10.0.0.5,6543 ;DATABASE=qrdb;UID=a;PWD=b", "10.0.0.5", "6543", "qrdb", "a", "b"},
        {"Data Source=db.local;Initial Catalog=qrdb;User ID=u;Password=p=q", "db.local", "", "qrdb", "u", "p=q"},
        {"Server=[fe80::1],5432;Database=qrdb;uid=a;pwd=b", "fe80::1", "5432", "qrdb", "a", "b"},
        {"Server=::1;Database=qrdb;uid=a;pwd=b", "::1", "", "qrdb", "a", "b"},
    };
    for (const Case& c : cases) {
        const QMap<QString, QString> p = CPgEngine::LibpqParams(QString::fromUtf8(c.connect));
        EXPECT_EQ(p.value("host"), QString::fromUtf8(c.host)) << c.connect;
        EXPECT_EQ(p.value("port"), QString::fromUtf8(c.port)) << c.connect;
        EXPECT_EQ(p.value("dbname"), QString::fromUtf8(c.dbname)) << c.connect;
        EXPECT_EQ(p.value("user"), QString::fromUtf8(c.user)) << c.connect;
        EXPECT_EQ(p.value("password"), QString::fromUtf8(c.password)) << c.connect;
    }
    // A string that names no server fails as every failed open does.
    CAdoConnection db;
    EXPECT_EQ(ThrownText([&] { db.Open(1, QStringLiteral("Provider=SQLOLEDB;Database=qrdb")); }),
              QStringLiteral("连接数据库失败"));
    EXPECT_FALSE(db.IsOpen());
}

// The login and password are the connection string's: a value in braces holds
// any character; without them nothing is taken from the environment.
TEST(PgConnectString, TheLoginAndPasswordComeFromTheStringAlone)
{
    const QMap<QString, QString> braced =
        CPgEngine::LibpqParams(QStringLiteral("Server=h;uid={a;b}}c};pwd={ x=y,\\z\" };Database=qrdb"));
    EXPECT_EQ(braced.value("user"), QStringLiteral("a;b}c"));
    EXPECT_EQ(braced.value("password"), QStringLiteral(" x=y,\\z\" "));
    EXPECT_EQ(braced.value("dbname"), QStringLiteral("qrdb"));
    for (const char* connect : {"Server=h;Database=qrdb;uid=u", "Server=h;Database=qrdb;pwd=p",
                                "Server=h;Database=qrdb;uid=u;pwd=", "Server=h;Database=qrdb;uid=;pwd=p"})
        EXPECT_THROW(CPgEngine::LibpqParams(QString::fromLatin1(connect)), CKvException) << connect;

    if (!KvPgTestServer::Available())
        GTEST_SKIP() << "no PostgreSQL server for the environment's login";
    // The environment names a login that would be let in.
    const QMap<QString, QString> admin =
        KvPgTestServer::ParseConninfo(qEnvironmentVariable("QUILLMER_TEST_PG").trimmed());
    qputenv("PGUSER", admin.value(QStringLiteral("user")).toUtf8());
    qputenv("PGPASSWORD", admin.value(QStringLiteral("password")).toUtf8());
    CAdoConnection db;
    const QString text = ThrownText([&] {
        db.Open(1, QStringLiteral("Server=%1,%2;Database=%3")
                       .arg(admin.value(QStringLiteral("host")), admin.value(QStringLiteral("port")),
                            admin.value(QStringLiteral("dbname"))));
    });
    qunsetenv("PGUSER");
    qunsetenv("PGPASSWORD");
    EXPECT_EQ(text, QStringLiteral("连接数据库失败"));
    EXPECT_FALSE(db.IsOpen());
}

TEST_F(PgEngineTest, OpensAsKindOneAndRefusesABadLogin)
{
    EXPECT_TRUE(db.IsOpen());
    EXPECT_EQ(db.GetServerFlag(), 1);
    EXPECT_EQ(value("show statement_timeout"), QStringLiteral("2min")) << "the command timeout";
    CAdoConnection wrong;
    const QString bad = Server().ConnectString().replace(QStringLiteral("pwd="), QStringLiteral("PWD=x"));
    EXPECT_EQ(ThrownText([&] { wrong.Open(1, bad); }), QStringLiteral("连接数据库失败"));
    // Keys are read without regard to case.
    CAdoConnection upper;
    QString shouting = Server().ConnectString();
    shouting.replace(QStringLiteral("Server="), QStringLiteral("SERVER="))
        .replace(QStringLiteral("Database="), QStringLiteral("DATABASE="))
        .replace(QStringLiteral("uid="), QStringLiteral("UID="));
    EXPECT_EQ(upper.Open(1, shouting), 1);
}

// The tests meet the server as an installation does: an ordinary login that
// owns its database and nothing more, so a privilege the program would need
// beyond that fails here.
TEST_F(PgEngineTest, TheTestsConnectAsAnOrdinaryLoginOwningItsDatabase)
{
    EXPECT_EQ(value("select current_user"), Server().User());
    EXPECT_EQ(value("select rolsuper::text || rolcreatedb::text || rolcreaterole::text from pg_roles "
                    "where rolname = current_user"),
              QStringLiteral("falsefalsefalse"));
    EXPECT_EQ(value("select pg_get_userbyid(datdba) from pg_database where datname = current_database()"),
              Server().User());
}

TEST_F(PgEngineTest, ASecondStatementRunsNothing)
{
    db.Execute(QStringLiteral("create table Twice (Id integer)"), QString());
    EXPECT_EQ(ThrownText([&] {
                  db.Execute(QStringLiteral("insert into Twice values (1); insert into Twice values (2)"),
                             QStringLiteral("执行失败"));
              }),
              QStringLiteral("执行失败"));
    EXPECT_EQ(count("select * from Twice"), 0);
    // A closing ';' is no second statement.
    EXPECT_EQ(db.Execute(QStringLiteral("insert into Twice values (3);"), QString()), 1);
    db.ExecuteScript(QStringLiteral("insert into Twice values (4); insert into Twice values (5);"), QString());
    EXPECT_EQ(count("select * from Twice"), 3);
}

TEST_F(PgEngineTest, ExecuteTellsHowManyRowsChanged)
{
    db.Execute(QStringLiteral("create table Counted (Id integer)"), QString());
    db.ExecuteScript(QStringLiteral("insert into Counted values (1); insert into Counted values (2); "
                                    "insert into Counted values (3);"),
                     QString());
    EXPECT_EQ(db.Execute(QStringLiteral("update Counted set Id = Id + 10 where Id >= 2"), QString()), 2);
    EXPECT_EQ(db.Execute(QStringLiteral("delete from Counted where Id = 99"), QString()), 0);
}

// One real transaction for all levels; an inner rollback dooms the whole
// group, so the outer commit fails and nothing of it is stored.
TEST_F(PgEngineTest, NestedGroupsShareOneTransactionAndAnInnerRollbackWins)
{
    db.Execute(QStringLiteral("create table Nested (Id integer)"), QString());
    CAdoConnection observer;
    observer.Open(1, Server().ConnectString());
    const auto seen = [&] {
        CAdoLease<CAdoRecordset> rs(observer.AcquireRecordset());
        rs->Open(QStringLiteral("select * from Nested"));
        return rs->GetRecordCount();
    };

    // Inner commit: nothing visible until the outer one.
    db.BeginTrans();
    db.Execute(QStringLiteral("insert into Nested values (1)"), QString());
    db.BeginTrans();
    db.Execute(QStringLiteral("insert into Nested values (2)"), QString());
    db.CommitTrans();
    EXPECT_EQ(seen(), 0);
    db.CommitTrans();
    EXPECT_EQ(seen(), 2);

    // Inner rollback: the outer commit fails and rolls everything back.
    {
        CAdoTransaction outer(db);
        db.Execute(QStringLiteral("insert into Nested values (3)"), QString());
        {
            CAdoTransaction inner(db);
            db.Execute(QStringLiteral("insert into Nested values (4)"), QString());
            inner.Rollback();
        }
        EXPECT_EQ(ThrownText([&] { outer.Commit(); }), QStringLiteral("提交事务时发生错误！"));
    }
    EXPECT_EQ(db.GetTransDepth(), 0);
    EXPECT_EQ(seen(), 2);
    EXPECT_EQ(count("select * from Nested"), 2);

    // The connection is sound afterwards.
    {
        CAdoTransaction next(db);
        db.Execute(QStringLiteral("insert into Nested values (5)"), QString());
        next.Commit();
    }
    EXPECT_EQ(seen(), 3);
}

// A statement the server refuses inside a group dooms the group there: the
// commit must not report success for what the server rolled back.
TEST_F(PgEngineTest, ACommitAfterARefusedStatementFailsAndStoresNothing)
{
    db.Execute(QStringLiteral("create table Refused (Id integer primary key)"), QString());
    {
        CAdoTransaction group(db);
        db.Execute(QStringLiteral("insert into Refused values (1)"), QString());
        try {
            db.Execute(QStringLiteral("insert into Refused values (1)"), QStringLiteral("重复"));
        } catch (const CKvException&) {
            // a caller that goes on regardless
        }
        EXPECT_EQ(ThrownText([&] { group.Commit(); }), QStringLiteral("提交事务时发生错误！"));
    }
    EXPECT_EQ(db.GetTransDepth(), 0);
    EXPECT_EQ(count("select * from Refused"), 0);
    db.BeginTrans();
    db.Execute(QStringLiteral("insert into Refused values (2)"), QString());
    EXPECT_EQ(db.CommitTrans(), 1);
    EXPECT_EQ(count("select * from Refused"), 1);
}

// A killed connection: the open group is gone with it, nothing half-written.
TEST_F(PgEngineTest, AConnectionLostMidGroupLeavesNothingAndFailsTheCommit)
{
    db.Execute(QStringLiteral("create table Lost (Id integer)"), QString());
    CAdoConnection admin;
    admin.Open(1, Server().ConnectString());
    const QString pid = [&] {
        CAdoLease<CAdoRecordset> rs(db.AcquireRecordset());
        rs->Open(QStringLiteral("select pg_backend_pid() as Pid"));
        return rs->GetFieldString(QStringLiteral("Pid"));
    }();
    {
        CAdoTransaction group(db);
        db.Execute(QStringLiteral("insert into Lost values (1)"), QString());
        admin.Execute(QStringLiteral("select pg_terminate_backend(%1)").arg(pid), QString());
        EXPECT_THROW(db.Execute(QStringLiteral("insert into Lost values (2)"), QStringLiteral("断开")), CKvException);
        EXPECT_THROW(group.Commit(), CKvException);
    }
    CAdoLease<CAdoRecordset> rs(admin.AcquireRecordset());
    rs->Open(QStringLiteral("select * from Lost"));
    EXPECT_EQ(rs->GetRecordCount(), 0);

    // The lost connection counts as closed; opening it again connects anew.
    EXPECT_FALSE(db.IsOpen());
    EXPECT_EQ(db.Open(1, Server().ConnectString()), 1);
    EXPECT_EQ(db.GetTransDepth(), 0);
    EXPECT_EQ(db.Execute(QStringLiteral("insert into Lost values (3)"), QString()), 1);
}

// A connection the server closed (a restarted server, an ended session): on
// its own a statement reopens it and runs once more; inside a transaction it
// fails, the transaction rolled back; a server that stays unreachable is said
// in the program's words, not only the driver's.
TEST_F(PgEngineTest, AConnectionTheServerClosedIsOpenedAgainOutsideATransaction)
{
    db.Execute(QStringLiteral("create table Reopened (Id integer)"), QString());
    CAdoConnection admin;
    admin.Open(1, Server().ConnectString());
    const auto endSession = [&] {
        const QString pid = value(QStringLiteral("select pg_backend_pid()"));
        admin.Execute(QStringLiteral("select pg_terminate_backend(%1)").arg(pid), QString());
    };
    const auto thrown = [&](const QString& sql) {
        return ThrownText([&] {
            CAdoLease<CAdoRecordset> rs(db.AcquireRecordset());
            rs->Open(sql);
        });
    };

    // Outside a transaction: opened again, the statement runs, the settings hold.
    endSession();
    EXPECT_EQ(db.Execute(QStringLiteral("insert into Reopened values (1)"), QString()), 1);
    endSession();
    EXPECT_EQ(count("select * from Reopened"), 1);
    EXPECT_EQ(value("show standard_conforming_strings"), QStringLiteral("on"));
    EXPECT_TRUE(db.IsOpen());

    // Inside one: the group fails and leaves nothing; the next one works.
    {
        CAdoTransaction group(db);
        db.Execute(QStringLiteral("insert into Reopened values (2)"), QString());
        endSession();
        const QString text = thrown(QStringLiteral("select * from Reopened"));
        EXPECT_TRUE(text.startsWith(QStringLiteral("与业务数据库的连接已断开"))) << text.toStdString();
        EXPECT_THROW(group.Commit(), CKvException);
    }
    EXPECT_EQ(db.GetTransDepth(), 0);
    // The caller's words stay first, the lost connection and what to do follow,
    // for a statement as for the commit.
    const QString lost = QStringLiteral("与业务数据库的连接已断开，本次操作没有完成，已全部撤销。");
    {
        CAdoTransaction group(db);
        db.Execute(QStringLiteral("insert into Reopened values (2)"), QString());
        endSession();
        const QString text =
            ThrownText([&] { db.Execute(QStringLiteral("insert into Reopened values (2)"), QStringLiteral("保存失败！")); });
        EXPECT_TRUE(text.startsWith(QStringLiteral("保存失败！\n\n") + lost)) << text.toStdString();
    }
    {
        CAdoTransaction group(db);
        db.Execute(QStringLiteral("insert into Reopened values (2)"), QString());
        endSession();
        const QString text = ThrownText([&] { group.Commit(); });
        EXPECT_TRUE(text.startsWith(QStringLiteral("提交事务时发生错误！\n\n") + lost)) << text.toStdString();
    }
    EXPECT_EQ(db.GetTransDepth(), 0);
    {
        CAdoTransaction group(db);
        db.Execute(QStringLiteral("insert into Reopened values (3)"), QString());
        group.Commit();
    }
    EXPECT_EQ(count("select Id from Reopened order by Id"), 2);

    // A server that refuses the new connection: the program's own words.
    CAdoConnection maintenance;
    maintenance.Open(1,
                     Server().AdminConnectStringFor(KvPgTestServer::ParseConninfo(qEnvironmentVariable("QUILLMER_TEST_PG"))
                                                        .value(QStringLiteral("dbname"), QStringLiteral("postgres"))));
    maintenance.Execute(QStringLiteral("alter database %1 allow_connections false").arg(Server().DatabaseName()),
                        QString());
    endSession();
    const QString text = thrown(QStringLiteral("select * from Reopened"));
    maintenance.Execute(QStringLiteral("alter database %1 allow_connections true").arg(Server().DatabaseName()),
                        QString());
    EXPECT_TRUE(text.startsWith(QStringLiteral("连接业务数据库失败！"))) << text.toStdString();
    EXPECT_EQ(count("select * from Reopened"), 2) << "tried again at the next statement";
}

// The settings the layer relies on hold whatever the server, the database or
// the counter's environment set: a text ending in a backslash stays one
// literal, dates read back in the canonical form, and every counter's GetDate()
// is the server's clock in the server's own zone.
TEST_F(PgEngineTest, TheSessionSettingsHoldWhateverTheEnvironmentSays)
{
    db.ExecuteScript(ServerDialectScript(), QString());
    db.ExecuteScript(QStringLiteral("create table Pinned (Name citext, Stamp timestamp(0), Amount double precision);"
                                    "insert into Pinned values ('a''b', '2026-12-10 08:30:00', 0.30000000000000004);"
                                    "insert into Pinned values ('c', '2026-12-10', 39.494995);"),
                     QString());
    CAdoConnection admin;
    admin.Open(1, Server().ConnectString());
    // Before PostgreSQL 12 a database gave doubles with 15 digits.
    admin.ExecuteScript(QStringLiteral("alter database %1 set standard_conforming_strings = off;\n"
                                       "alter database %1 set extra_float_digits = 0;\n")
                            .arg(Server().DatabaseName()),
                        QString());
    struct Env
    {
        const char* name;
        const char* value;
    };
    const Env envs[] = {
        {"PGTZ", "Pacific/Kiritimati"}, {"PGDATESTYLE", "SQL, DMY"}, {"PGOPTIONS", "-c TimeZone=Etc/GMT+12"}};
    for (const Env& e : envs)
        qputenv(e.name, e.value);
    CAdoConnection counter;
    const int opened = counter.Open(1, Server().ConnectString());
    for (const Env& e : envs)
        qunsetenv(e.name);
    admin.ExecuteScript(QStringLiteral("alter database %1 reset standard_conforming_strings;\n"
                                       "alter database %1 reset extra_float_digits;\n")
                            .arg(Server().DatabaseName()),
                        QString());
    ASSERT_EQ(opened, 1);

    const auto read = [](CAdoConnection& c, const QString& sql) {
        CAdoLease<CAdoRecordset> rs(c.AcquireRecordset());
        rs->Open(sql);
        QStringList rows;
        for (; !rs->IsEOF(); rs->MoveNext())
            rows << rs->GetFieldText(rs->GetFieldName(0));
        return rows;
    };
    // A text ending in a backslash ends where its quote does: the next text
    // cannot become SQL of its own.
    EXPECT_EQ(
        read(counter, KvFormatSql("select Name from Pinned where Name = '%s' and Name = '%s'", "\\", " or 1 = 1 --")),
        QStringList());
    EXPECT_EQ(read(counter, KvFormatSql("select Name from Pinned where Name = '%s'", "a'b")), QStringList{"a'b"});
    EXPECT_EQ(read(counter, QStringLiteral("select Stamp from Pinned order by Stamp desc")),
              QStringList({"2026-12-10 08:30:00", "2026-12-10"}));
    // One clock: the counter with a zone of its own reads the same time as the
    // test's connection (the two reads are seconds apart, the zones hours).
    const QDateTime here = KvParseDateText(value(QStringLiteral("select GetDate()")));
    const QDateTime there = KvParseDateText(read(counter, QStringLiteral("select GetDate()")).value(0));
    EXPECT_LT(std::abs(here.secsTo(there)), 600) << there.toString().toStdString();
    EXPECT_EQ(read(counter, QStringLiteral("show TimeZone")), QStringList{value(QStringLiteral("show TimeZone"))});
    // A double reads back as stored, to its last binary digit, so that a row
    // read and saved again keeps its figures.
    {
        CAdoLease<CAdoRecordset> rs(counter.AcquireRecordset());
        rs->Open(QStringLiteral("select Amount from Pinned order by Name"));
        EXPECT_EQ(rs->GetFieldDouble(QStringLiteral("Amount")), 0.1 + 0.2);
        rs->MoveNext();
        EXPECT_EQ(rs->GetFieldDouble(QStringLiteral("Amount")), 39.494995);
    }
}

namespace {

// Makes a locale whose decimal separator is a comma in `dir` and sets the
// C library's number formatting to it; false where this machine cannot.
bool UseCommaDecimalLocale(const QString& dir)
{
    const QString name = QStringLiteral("de_DE.UTF-8");
    QProcess localedef;
    localedef.start(QStringLiteral("localedef"), {QStringLiteral("-i"), QStringLiteral("de_DE"), QStringLiteral("-f"),
                                                  QStringLiteral("UTF-8"), QDir(dir).filePath(name)});
    if (!localedef.waitForFinished(60000) || localedef.exitStatus() != QProcess::NormalExit)
        return false;
    qputenv("LOCPATH", dir.toLocal8Bit());
    return std::setlocale(LC_NUMERIC, name.toLatin1().constData()) != nullptr && std::strtod("1.5", nullptr) == 1.0;
}

} // namespace

TEST_F(PgEngineTest, RealsReadTheSameUnderALocaleWithADecimalComma)
{
    QTemporaryDir locales;
    const std::string before = std::setlocale(LC_NUMERIC, nullptr);
    if (!UseCommaDecimalLocale(locales.path()))
        GTEST_SKIP() << "no locale with a decimal comma can be made here";
    CAdoLease<CAdoRecordset> rs(db.AcquireRecordset());
    rs->Open(QStringLiteral("select cast(1234.56 as double precision) as Money"));
    const double money = rs->GetFieldDouble(QStringLiteral("Money"));
    std::setlocale(LC_NUMERIC, before.c_str());
    qunsetenv("LOCPATH");
    EXPECT_DOUBLE_EQ(money, 1234.56);
}

namespace {

// Every row of a result, each cell as its kind and value: "I:5", "R:1.25",
// "T:text", "N".
QList<QStringList> CellsOf(const CDbResult& result)
{
    QList<QStringList> rows;
    for (int r = 0; r < result.rowCount; ++r) {
        QStringList cells;
        for (int c = 0; c < result.columns.size(); ++c) {
            const CDbResult::Cell& cell = result.cell(r, c);
            switch (cell.type()) {
            case CDbResult::Integer:
                cells << QStringLiteral("I:%1").arg(cell.integer);
                break;
            case CDbResult::Real:
                cells << QStringLiteral("R:%1").arg(cell.real, 0, 'g', 17);
                break;
            case CDbResult::Text:
                cells << QStringLiteral("T:") + result.text(cell);
                break;
            default:
                cells << QStringLiteral("N");
                break;
            }
        }
        rows << cells;
    }
    return rows;
}

// The first column of every row handed on, appended to `ids`.
std::function<void(CDbResult&)> CollectIds(QList<qint64>& ids)
{
    return [&ids](CDbResult& block) {
        for (int r = 0; r < block.rowCount; ++r)
            ids << block.cell(r, 0).integer;
    };
}

QList<qint64> IdsFromOne(qint64 last)
{
    QList<qint64> ids;
    for (qint64 i = 1; i <= last; ++i)
        ids << i;
    return ids;
}

// Rows 1 to 2999 come at once; at row 3000 the statement would wait a minute.
const QString kPausingRows = QStringLiteral(
    "select i as Id, case when i = 3000 then pg_sleep(60)::text end as Pause from generate_series(1, 6000) i");

} // namespace

// Read in blocks, a result of many blocks has the rows, kinds and values of
// the whole result (every kind a column may have, distinct in every row), a
// full block at a time; read forward it has the rows of the held result.
TEST_F(PgEngineTest, AResultReadInBlocksHasTheRowsOfTheWholeResult)
{
    db.ExecuteScript(
        QStringLiteral("create table Streamed (Id integer, Amount double precision, Price numeric(12, 4), Name text, "
                       "Note text, Stamp timestamp(0), Day date, Paid boolean);"
                       "insert into Streamed select i, i * 0.25, i / 8.0, lpad(i::text, 50, '0'), "
                       "case when i % 2 = 0 then null else 'n' || i end, "
                       "timestamp '2020-01-01' + i * interval '6 hours', date '2000-01-01' + i, i % 3 = 0 "
                       "from generate_series(1, 70000) i;"),
        QString());
    const QString sql =
        QStringLiteral("select Id, Amount, Price, Name, Note, Stamp, Day, Paid from Streamed order by Id");
    CDbResult whole;
    db.RunQuery(sql, whole);
    const QList<QStringList> held = CellsOf(whole);
    ASSERT_EQ(held.size(), 70000);
    const auto name = [](int id) { return QStringLiteral("T:") + QString::number(id).rightJustified(50, u'0'); };
    EXPECT_EQ(held[0], (QStringList{"I:1", "R:0.25", "R:0.125", name(1), "T:n1", "T:2020-01-01 06:00:00",
                                    "T:2000-01-02", "I:0"}));
    EXPECT_EQ(held[2], (QStringList{"I:3", "R:0.75", "R:0.375", name(3), "T:n3", "T:2020-01-01 18:00:00",
                                    "T:2000-01-04", "I:1"}));
    EXPECT_EQ(held[65535],
              (QStringList{"I:65536", "R:16384", "R:8192", name(65536), "N", "T:2064-11-09", "T:2179-06-07", "I:0"}));

    QList<int> sizes;
    QList<QStringList> streamed;
    db.RunQueryBlocks(sql, 2048, [&](CDbResult& block) {
        sizes << block.rowCount;
        EXPECT_EQ(block.columns, whole.columns);
        streamed << CellsOf(block);
    });
    QList<int> fullBlocks(70000 / 2048, 2048);
    EXPECT_EQ(sizes, fullBlocks << 70000 % 2048);
    EXPECT_EQ(streamed, held);

    // As the lists read: the blocks go to a second thread and come back spent.
    const auto rowOf = [](CAdoRecordset& rs) {
        QStringList cells;
        for (int c = 0; c < rs.GetFieldCount(); ++c)
            cells << rs.GetFieldText(rs.GetFieldName(c));
        return cells;
    };
    QList<QStringList> opened;
    {
        CAdoLease<CAdoRecordset> rs(db.AcquireRecordset());
        rs->Open(sql);
        for (; !rs->IsEOF(); rs->MoveNext())
            opened << rowOf(*rs);
    }
    QList<QStringList> forward;
    CAdoLease<CAdoRecordset> rs(db.AcquireRecordset());
    EXPECT_EQ(rs->ReadEach(sql, [&](CAdoRecordset& row) { forward << rowOf(row); }), 70000);
    EXPECT_EQ(forward, opened);

    int calls = 0;
    db.RunQueryBlocks(QStringLiteral("select Id from Streamed where Id < 0"), 2048, [&](CDbResult&) { ++calls; });
    EXPECT_EQ(calls, 0) << "a query without rows hands on nothing";
}

// A caller that stops taking rows ends the statement: the server is told to
// cancel it rather than waited for, and the connection takes the next
// statement. Inside a transaction the transaction goes on as it was before
// the statement, and commits what it holds.
TEST_F(PgEngineTest, ACallerThatStopsTakingRowsLeavesTheConnectionUsable)
{
    auto* engine = dynamic_cast<CPgEngine*>(db.GetEngine());
    ASSERT_NE(engine, nullptr);
    QElapsedTimer timer;
    timer.start();
    int handedOn = 0;
    const auto stopAtFirstBlock = [&] {
        db.RunQueryBlocks(kPausingRows, 2048, [&](CDbResult& block) {
            handedOn += block.rowCount;
            throw CKvException(QStringLiteral("stop"));
        });
    };
    EXPECT_EQ(ThrownText(stopAtFirstBlock), QStringLiteral("stop"));
    EXPECT_EQ(handedOn, 2048);
    EXPECT_EQ(PQtransactionStatus(engine->handle()), PQTRANS_IDLE);
    EXPECT_EQ(value(QStringLiteral("select 41 + 1")), QStringLiteral("42"));

    db.Execute(QStringLiteral("create table Kept (Id integer)"), QString());
    {
        CAdoTransaction group(db);
        db.Execute(QStringLiteral("insert into Kept values (1)"), QString());
        EXPECT_EQ(ThrownText(stopAtFirstBlock), QStringLiteral("stop"));
        EXPECT_EQ(count(QStringLiteral("select * from Kept")), 1);
        db.Execute(QStringLiteral("insert into Kept values (2)"), QString());
        // The lists' reading: the rows' user fails on its own thread.
        int seen = 0;
        CAdoLease<CAdoRecordset> rs(db.AcquireRecordset());
        EXPECT_EQ(ThrownText([&] {
                      rs->ReadEach(QStringLiteral("select i from generate_series(1, 500000) i"), [&](CAdoRecordset&) {
                          if (++seen == 10)
                              throw CKvException(QStringLiteral("stop"));
                      });
                  }),
                  QStringLiteral("stop"));
        EXPECT_EQ(db.GetTransDepth(), 1);
        db.Execute(QStringLiteral("insert into Kept values (3)"), QString());
        EXPECT_EQ(ThrownText([&] { group.Commit(); }), QString());
    }
    EXPECT_LT(timer.elapsed(), 30000) << "the statements were cancelled, not waited for";
    EXPECT_EQ(db.GetTransDepth(), 0);
    EXPECT_EQ(count(QStringLiteral("select * from Kept")), 3);
}

// A statement that fails part way throws the server's message; the rows
// handed on are those of the full blocks before the failing row, none after
// it. Inside a transaction the failure dooms it as any failed statement does.
TEST_F(PgEngineTest, AStatementThatFailsPartWayThrowsTheServersMessage)
{
    const QString failing = QStringLiteral("select i as Id, 1 / (50000 - i) as Share from generate_series(1, 60000) i");
    QList<qint64> ids;
    const QString text = ThrownText([&] { db.RunQueryBlocks(failing, 2048, CollectIds(ids)); });
    EXPECT_TRUE(text.contains(QStringLiteral("division by zero"))) << text.toStdString();
    EXPECT_EQ(ids, IdsFromOne(49999 / 2048 * 2048));
    EXPECT_EQ(value(QStringLiteral("select 41 + 1")), QStringLiteral("42"));

    db.Execute(QStringLiteral("create table Doomed (Id integer)"), QString());
    {
        CAdoTransaction group(db);
        db.Execute(QStringLiteral("insert into Doomed values (1)"), QString());
        CAdoLease<CAdoRecordset> rs(db.AcquireRecordset());
        const QString inside = ThrownText([&] { rs->ReadEach(failing, [](CAdoRecordset&) {}); });
        EXPECT_TRUE(inside.contains(QStringLiteral("division by zero"))) << inside.toStdString();
        EXPECT_EQ(ThrownText([&] { group.Commit(); }), QStringLiteral("提交事务时发生错误！"));
    }
    EXPECT_EQ(db.GetTransDepth(), 0);
    EXPECT_EQ(count(QStringLiteral("select * from Doomed")), 0);
}

// A connection the server closed: a read on its own opens it again and runs
// once more, but not once rows of it were handed on (no row is handed on
// twice); inside a transaction the read fails with the transaction.
TEST_F(PgEngineTest, AReadInBlocksOnAConnectionTheServerClosed)
{
    CAdoConnection admin;
    admin.Open(1, Server().ConnectString());
    const auto terminate = [&](const QString& pid) {
        admin.Execute(QStringLiteral("select pg_terminate_backend(%1)").arg(pid), QString());
    };

    terminate(value(QStringLiteral("select pg_backend_pid()")));
    QList<qint64> ids;
    db.RunQueryBlocks(QStringLiteral("select i from generate_series(1, 5000) i"), 2048, CollectIds(ids));
    EXPECT_EQ(ids, IdsFromOne(5000));

    ids.clear();
    const QString pid = value(QStringLiteral("select pg_backend_pid()"));
    const auto collect = CollectIds(ids);
    const QString midway = ThrownText([&] {
        db.RunQueryBlocks(kPausingRows, 2048, [&](CDbResult& block) {
            if (ids.isEmpty())
                terminate(pid);
            collect(block);
        });
    });
    EXPECT_TRUE(midway.startsWith(QStringLiteral("连接业务数据库失败！"))) << midway.toStdString();
    EXPECT_EQ(ids, IdsFromOne(2048));

    {
        CAdoTransaction group(db);
        terminate(value(QStringLiteral("select pg_backend_pid()")));
        CAdoLease<CAdoRecordset> rs(db.AcquireRecordset());
        const QString lost = ThrownText(
            [&] { rs->ReadEach(QStringLiteral("select i from generate_series(1, 5000) i"), [](CAdoRecordset&) {}); });
        EXPECT_TRUE(lost.startsWith(QStringLiteral("与业务数据库的连接已断开"))) << lost.toStdString();
        EXPECT_THROW(group.Commit(), CKvException);
    }
    EXPECT_EQ(db.GetTransDepth(), 0);
    EXPECT_EQ(value(QStringLiteral("select 41 + 1")), QStringLiteral("42"));
}
