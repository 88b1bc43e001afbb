#include "CAdoConnection.h"
#include "CAdoRecordset.h"
#include "CKvException.h"
#include "KvPgTestServer.h"
#include "KvSchema.h"
#include "KvTestSupport.h"

#include <QTemporaryDir>
#include <atomic>
#include <thread>
#include <gtest/gtest.h>

namespace {

const QDateTime kNow(QDate(2026, 12, 10), QTime(9, 30, 0));

int Count(CAdoConnection& db, const QString& sql)
{
    CAdoLease<CAdoRecordset> rs(db.AcquireRecordset());
    rs->Open(sql);
    return rs->GetRecordCount();
}

QString Value(CAdoConnection& db, const QString& sql)
{
    CAdoLease<CAdoRecordset> rs(db.AcquireRecordset());
    rs->Open(sql);
    return rs->GetFieldText(rs->GetFieldName(0));
}

// The tables of a database, in lower case.
QStringList ServerTables(CAdoConnection& db)
{
    QStringList names;
    CAdoLease<CAdoRecordset> rs(db.AcquireRecordset());
    rs->Open(QStringLiteral("select table_name from information_schema.tables where table_schema = 'public' "
                            "and table_type = 'BASE TABLE' order by 1"));
    for (; !rs->IsEOF(); rs->MoveNext())
        names << rs->GetFieldString(QStringLiteral("table_name")).toLower();
    return names;
}

QStringList FileTables(CAdoConnection& db)
{
    QStringList names;
    CAdoLease<CAdoRecordset> rs(db.AcquireRecordset());
    rs->Open(QStringLiteral("select name from sqlite_master where type = 'table' and name not like 'sqlite_%' "
                            "order by 1"));
    for (; !rs->IsEOF(); rs->MoveNext())
        names << rs->GetFieldString(QStringLiteral("name")).toLower();
    return names;
}

class ServerSchemaTest : public PgServerTest
{
};

} // namespace

TEST_F(ServerSchemaTest, InstallsOnceWithTheMainTablesAndTheirSeed)
{
    CAdoConnection server;
    server.Open(1, Server().ConnectString());
    EXPECT_FALSE(IsServerInstalled(server));
    EXPECT_TRUE(InstallServerDatabase(server, kNow));
    EXPECT_TRUE(IsServerInstalled(server));

    // Every table of the embedded file but the counter's own ones, plus the
    // helper library's ManualFee; SysPara is on both.
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("full.db"));
    CreateFreshDatabase(file, kNow);
    CAdoConnection embedded;
    embedded.Open(0, file);
    QStringList expected;
    for (const QString& table : FileTables(embedded)) {
        if (!IsLocalTable(table) || table == QStringLiteral("syspara"))
            expected << table;
    }
    if (!expected.contains(QStringLiteral("manualfee")))
        expected << QStringLiteral("manualfee");
    expected << QStringLiteral("kvschemaversion");
    expected.sort();
    EXPECT_EQ(ServerTables(server), expected);

    // The seed rows of the main tables, and the clock's values.
    EXPECT_EQ(Count(server, "select * from SysPara"), 1);
    EXPECT_EQ(Value(server, "select OperatorNo from Operator"), QStringLiteral("qz"));
    EXPECT_EQ(Count(server, "select * from Permission where OperatorNo = 'QZ'"), 15);
    EXPECT_EQ(Count(server, "select * from Block where BlockNo = '00'"), 1);
    EXPECT_EQ(Count(server, "select * from PreModel"), Count(embedded, "select * from PreModel"));
    EXPECT_EQ(Count(server, "select * from KvReportForm"), Count(embedded, "select * from KvReportForm"));
    EXPECT_EQ(Count(server, "select * from KvReportCol"), Count(embedded, "select * from KvReportCol"));
    EXPECT_EQ(Value(server, "select ReportIndex from SysPara"), Value(embedded, "select ReportIndex from SysPara"));
    EXPECT_EQ(Value(server, "select FixYearMon from SysPara"), QStringLiteral("202612"));
    EXPECT_EQ(Value(server, "select LastBackDate from SysPara"), QStringLiteral("2026-12-10"));

    // The helper library's checks work on the server too.
    EXPECT_EQ(ReadSchemaVersion(server), CurrentSchemaVersion());
    EXPECT_EQ(UpdateSchemaVersion(server), CurrentSchemaVersion());
    EXPECT_TRUE(DatabaseHasTable(server, QStringLiteral("ManualFee")));
    EXPECT_TRUE(DatabaseHasTable(server, QStringLiteral("manualfee")));
    EXPECT_FALSE(DatabaseHasTable(server, QStringLiteral("KvReport")));

    // A second installation finds it in place and changes nothing.
    server.Execute(QStringLiteral("update SysPara set ClientIndex = 77"), QString());
    server.Execute(QStringLiteral("insert into Block (BlockNo, BlockName) values ('01', 'East')"), QString());
    EXPECT_FALSE(InstallServerDatabase(server, kNow.addYears(1)));
    EXPECT_EQ(Value(server, "select ClientIndex from SysPara"), QStringLiteral("77"));
    EXPECT_EQ(Count(server, "select * from Block"), 2);
    EXPECT_EQ(Count(server, "select * from SysPara"), 1);
    EXPECT_EQ(server.GetTransDepth(), 0);
}

// Two counters started on an empty server at the same moment: one installs,
// the other finds the installation (threads stand in for the two counters).
TEST_F(ServerSchemaTest, TwoCountersInstallingAtOnceInstallOnce)
{
    KvPgTestServer own(QStringLiteral("kvt_race"));
    CAdoConnection connections[2];
    for (CAdoConnection& c : connections)
        c.Open(1, own.ConnectString());
    std::atomic<int> ready{0};
    int installed[2] = {-1, -1};
    QString failures[2];
    std::vector<std::thread> counters;
    for (int i = 0; i < 2; ++i) {
        counters.emplace_back([&, i] {
            ++ready;
            while (ready < 2) {
            }
            try {
                installed[i] = InstallServerDatabase(connections[i], kNow) ? 1 : 0;
            } catch (const CKvException& e) {
                failures[i] = e.text();
            }
        });
    }
    for (std::thread& t : counters)
        t.join();
    EXPECT_EQ(failures[0] + failures[1], QString());
    EXPECT_EQ(installed[0] + installed[1], 1);
    EXPECT_EQ(Count(connections[0], "select * from SysPara"), 1);
    EXPECT_EQ(Count(connections[0], "select * from Permission"), 15);
}

TEST(LocalNetworkDatabase, HoldsOnlyTheCountersOwnTablesAndSeed)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("Qrdb.db"));
    CreateLocalNetworkDatabase(path, kNow, QStringLiteral("10.0.0.5,5432"));
    CAdoConnection local;
    local.Open(0, path);
    QStringList expected;
    for (const QString& table : LocalTableNames())
        expected << table.toLower();
    expected.sort();
    EXPECT_EQ(FileTables(local), expected);
    EXPECT_EQ(Count(local, "select * from SysPara"), 1);
    EXPECT_EQ(Value(local, "select ServerName from SysPara"), QStringLiteral("10.0.0.5,5432"));
    EXPECT_EQ(Value(local, "select StationNo from SysPara"), QStringLiteral("1"));
    EXPECT_EQ(Value(local, "select LastBackDate from SysPara"), QStringLiteral("2026-12-10"));
    EXPECT_EQ(Count(local, "select * from KvReport where ReportId = 1"), 1);
    EXPECT_GT(Count(local, "select * from KvField where ReportId = 1"), 0);
    EXPECT_EQ(ReadSchemaVersion(local), CurrentSchemaVersion());

    // The report-layout counter stands where a fresh embedded file's does.
    const QString full = dir.filePath(QStringLiteral("full.db"));
    CreateFreshDatabase(full, kNow);
    CAdoConnection embedded;
    embedded.Open(0, full);
    EXPECT_EQ(Value(local, "select ReportIndex from SysPara"), Value(embedded, "select ReportIndex from SysPara"));
    // The receipt layout is the same as the embedded file's.
    for (const char* table : {"KvReport", "KvLine", "KvText", "KvField"})
        EXPECT_EQ(Count(local, QStringLiteral("select * from %1").arg(table)),
                  Count(embedded, QStringLiteral("select * from %1").arg(table)))
            << table;
}
