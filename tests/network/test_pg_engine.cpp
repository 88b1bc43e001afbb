#include "CAdoConnection.h"
#include "CAdoRecordset.h"
#include "CKvException.h"
#include "CPgEngine.h"
#include "KvPgTestServer.h"
#include "KvTestSupport.h"

#include <QDir>
#include <QProcess>
#include <QTemporaryDir>
#include <clocale>
#include <cstdlib>
#include <gtest/gtest.h>

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

namespace {

// Makes a locale whose decimal separator is a comma in `dir` and sets the
// C library's number formatting to it; false where this machine cannot.
bool UseCommaDecimalLocale(const QString& dir)
{
    const QString name = QStringLiteral("de_DE.UTF-8");
    QProcess localedef;
    localedef.start(QStringLiteral("localedef"),
                    {QStringLiteral("-i"), QStringLiteral("de_DE"), QStringLiteral("-f"), QStringLiteral("UTF-8"),
                     QDir(dir).filePath(name)});
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
