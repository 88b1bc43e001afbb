#include "CAdoConnection.h"
#include "CAdoRecordset.h"
#include "CKvException.h"
#include "KvPgTestServer.h"
#include "KvTestSupport.h"

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
    CAdoConnection db;
    EXPECT_EQ(ThrownText([&] { db.Open(1, QStringLiteral("Provider=SQLOLEDB;Database=qrdb")); }),
              QStringLiteral("连接数据库失败"));
    EXPECT_FALSE(db.IsOpen());
}

TEST_F(PgEngineTest, OpensAsKindOneAndRefusesABadLogin)
{
    EXPECT_TRUE(db.IsOpen());
    EXPECT_EQ(db.GetServerFlag(), 1);
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
