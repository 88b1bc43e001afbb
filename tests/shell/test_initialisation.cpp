#include "CAdoConnection.h"
#include "CAdoRecordset.h"
#include "CSysPara.h"
#include "KvClock.h"
#include "KvFreshDatabase.h"
#include "KvPassword.h"
#include "KvSchema.h"
#include "SysGlobals.h"

#include <QDir>
#include <QRegularExpression>
#include <QStringList>
#include <gtest/gtest.h>

namespace {

// Every row of a table as text, in a fixed order.
QStringList dumpTable(CAdoConnection& db, const QString& table)
{
    CAdoLease<CAdoRecordset> rs(db.AcquireRecordset());
    rs->Open(QStringLiteral("select * from %1").arg(table));
    QStringList rows;
    for (; !rs->IsEOF(); rs->MoveNext()) {
        QStringList cells;
        for (int i = 0; i < rs->GetFieldCount(); ++i)
            cells << rs->GetFieldName(i) + QLatin1Char('=') + rs->GetFieldValue(i).toString();
        rows << cells.join(QLatin1Char('|'));
    }
    rows.sort();
    return rows;
}

QStringList tableNames(CAdoConnection& db)
{
    CAdoLease<CAdoRecordset> rs(db.AcquireRecordset());
    rs->Open(QStringLiteral("select name from sqlite_master where type = 'table' order by name"));
    QStringList names;
    for (; !rs->IsEOF(); rs->MoveNext())
        names << rs->GetFieldString(QStringLiteral("name"));
    return names;
}

// Tables the initialisation keeps as they are.
const QStringList kKeptTables = {"PreModel", "KvReportForm", "KvReportCol", "KvReport", "KvLine", "KvText", "KvField"};

class InitialisationTest : public FreshDatabaseTest
{
protected:
    // A database in use: a row in every table, another operator, parameters changed.
    void useTheDatabase()
    {
        for (const QString& table : tableNames(db())) {
            if (table != QStringLiteral("SysPara") && !table.startsWith(QStringLiteral("sqlite_")))
                db().Execute(QStringLiteral("insert into %1 default values").arg(table), QString());
        }
        db().Execute(QStringLiteral("insert into Operator(OperatorNo, OperatorName, OperatorPw, StationNo) "
                                    "values('vx', 'vx', 'x', '01')"),
                     QString());
        db().Execute(QStringLiteral("insert into Permission(OperatorNo, MenuId) values('vx', 101)"), QString());
        db().Execute(QStringLiteral("update SysPara set ClientIndex = 57, PayIndex = 9, UseNum = 1, ClientName = "
                                    "'Acme', bPrint = '否', ReportIndex = 40, FixYearMon = 202001, "
                                    "LastBackDate = CDate('2020-01-01')"),
                     QString());
    }
};

} // namespace

TEST_F(InitialisationTest, LeavesTheStateOfAFreshInstallationAndKeepsMeterTypesAndLayouts)
{
    useTheDatabase();
    const QMap<QString, QStringList> keptBefore = [&] {
        QMap<QString, QStringList> kept;
        for (const QString& table : kKeptTables)
            kept.insert(table, dumpTable(db(), table));
        return kept;
    }();
    EXPECT_EQ(GetMainSysPara()->GetClientName(), QStringLiteral("Acme")); // now cached

    // Installed a month ago, initialised today.
    const QDateTime today(QDate(2027, 1, 14), QTime(16, 5, 0));
    KvClock::SetFixed(today);
    GetMainSysPara()->InitializeSystem();

    // A fresh installation of the same day, beside it.
    CTempAppDirectory other;
    const QString freshPath = other.FilePath(QStringLiteral("fresh.db"));
    CreateFreshDatabase(freshPath, today);
    CAdoConnection fresh;
    fresh.Open(0, freshPath);
    for (const QString& table : tableNames(db())) {
        SCOPED_TRACE(table.toStdString());
        if (table.startsWith(QStringLiteral("sqlite_")))
            continue; // the engine's own bookkeeping
        if (kKeptTables.contains(table)) {
            EXPECT_EQ(dumpTable(db(), table), keptBefore.value(table));
        } else if (table == QStringLiteral("SysPara")) {
            // ReportIndex is the installation's own and stays.
            QStringList expected = dumpTable(fresh, table);
            expected.replaceInStrings(QRegularExpression(QStringLiteral("ReportIndex=\\d+\\|")),
                                      QStringLiteral("ReportIndex=40|"));
            EXPECT_EQ(dumpTable(db(), table), expected);
        } else {
            EXPECT_EQ(dumpTable(db(), table), dumpTable(fresh, table));
        }
    }

    EXPECT_EQ(fresh.GetTransDepth(), 0);
    EXPECT_EQ(db().GetTransDepth(), 0);
    // Only qz, with an empty password; the counters start again at 1; the cache was forgotten.
    EXPECT_EQ(this->fresh.Value(QStringLiteral("select count(*) from Operator")), QStringLiteral("1"));
    EXPECT_TRUE(KvVerifyPassword(this->fresh.Value(QStringLiteral("select OperatorPw from Operator")), QString()));
    EXPECT_EQ(GetMainSysPara()->GetIntPara(QStringLiteral("ClientIndex"), 1), 1);
    EXPECT_EQ(GetMainSysPara()->GetIntPara(QStringLiteral("FixYearMon")), 202701);
    EXPECT_EQ(GetMainSysPara()->GetClientName(), QStringLiteral("XXX"));
    EXPECT_TRUE(sink.Texts().isEmpty());
}

TEST_F(InitialisationTest, AFailurePartWayChangesNothing)
{
    useTheDatabase();
    const QStringList operators = dumpTable(db(), QStringLiteral("Operator"));
    const QStringList parameters = dumpTable(db(), QStringLiteral("SysPara"));
    // The last table to empty is gone, so the last delete fails.
    db().Execute(QStringLiteral("drop table PriceType"), QString());

    EXPECT_FALSE(ThrownText([] { GetMainSysPara()->InitializeSystem(); }).isEmpty());

    EXPECT_EQ(sink.Texts(), QStringList{QStringLiteral("系统初始化时发生数据库错误！")});
    EXPECT_EQ(dumpTable(db(), QStringLiteral("Operator")), operators) << "everybody can still log in";
    EXPECT_EQ(dumpTable(db(), QStringLiteral("SysPara")), parameters);
    EXPECT_EQ(fresh.Count(QStringLiteral("select * from Client")), 1);
    EXPECT_EQ(db().GetTransDepth(), 0);
}

TEST(NetworkInitialisation, TheCountersOwnFileResetsItsRowAndKeepsItsReceiptLayout)
{
    if (GetEdition() != QStringLiteral("网络版"))
        GTEST_SKIP() << "the stand-alone edition's file holds every table";
    CRecordingMessageSink sink;
    CTempAppDirectory app;
    KvClock::SetFixed(QDateTime(QDate(2027, 3, 5), QTime(8, 0)));
    ReleaseProcessObjects();
    QDir(app.Path()).mkpath(QStringLiteral("work"));
    CreateLocalNetworkDatabase(GetLocalDatabasePath(), QDateTime(QDate(2026, 12, 10), QTime(9, 30)),
                               QStringLiteral("db1,5433"));
    GetLocalDatabase()->Open(0, GetLocalConnectString());
    CAdoConnection& local = *GetLocalDatabase();
    local.Execute(QStringLiteral("update SysPara set StationNo = 7, CardBoxCom = 2"), QString());
    const QStringList layout = dumpTable(local, QStringLiteral("KvField"));
    ASSERT_FALSE(layout.isEmpty());

    // The main tables are on the server: the file has none of them to empty.
    GetLocalSysPara()->InitializeSystem();

    EXPECT_TRUE(sink.Texts().isEmpty()) << sink.Texts().join('|').toStdString();
    EXPECT_EQ(GetLocalSysPara()->GetIntPara(QStringLiteral("StationNo")), 1);
    EXPECT_EQ(GetLocalSysPara()->GetIntPara(QStringLiteral("CardBoxCom")), 0);
    EXPECT_EQ(GetLocalSysPara()->GetIntPara(QStringLiteral("FixYearMon")), 202703);
    EXPECT_EQ(dumpTable(local, QStringLiteral("KvField")), layout);
    ReleaseProcessObjects();
    KvClock::Reset();
}
