#include "CAdoConnection.h"
#include "CAdoRecordset.h"
#include "CKvStartup.h"
#include "COperator.h"
#include "CSysPara.h"
#include "CurrentOperator.h"
#include "KvClock.h"
#include "KvPgTestServer.h"
#include "KvSchema.h"
#include "KvScriptedStartup.h"
#include "KvTestQrdb.h"
#include "KvTestSupport.h"
#include "Ostrakon.h"
#include "SysGlobals.h"

#include <QDir>
#include <gtest/gtest.h>
#include <memory>

namespace {

const QDateTime kInstalled(QDate(2026, 12, 10), QTime(9, 30, 0));
const QString kServerRefused = QStringLiteral("请选择:连接业务数据库失败！是否继续.");
const QString kLoginFailed = QStringLiteral("提示:登录失败！\n\n请核对用户和密码\n\n如是使用网络版请核对工作站编号");
// A port nothing listens on: the server is down.
const QString kServerDown = QStringLiteral("127.0.0.1,1");

// A counter of the network edition: a program folder whose profile holds the
// server's login, against the test server's new, empty qrdb.
class NetworkStartupTest : public ::testing::Test
{
protected:
    NetworkStartupTest() : m_startFolder(QDir::currentPath()) {}

    void SetUp() override
    {
        KV_REQUIRE_PG_SERVER();
        ReleaseProcessObjects();
        // The helper library finds the program folder as the program does.
        qputenv("QUILLMER_APPDIR", app.Path().toUtf8());
        qrdb = std::make_unique<CTestQrdb>();
        qrdb->WriteServerProfile();
    }
    void TearDown() override
    {
        ReleaseProcessObjects();
        qrdb.reset();
        qunsetenv("QUILLMER_APPDIR");
        KvClock::Reset();
        QDir::setCurrent(m_startFolder);
    }

    // The counter's own file, as its first start makes it, naming a server.
    void installCounter(const QString& serverName, int stationNo = 1)
    {
        QDir(app.Path()).mkpath(QStringLiteral("work"));
        CreateLocalNetworkDatabase(GetLocalDatabasePath(), kInstalled, serverName);
        localFile().Execute(QStringLiteral("update SysPara set StationNo = %1").arg(stationNo), QString());
    }
    CAdoConnection& localFile()
    {
        if (!m_local) {
            m_local = std::make_unique<CAdoConnection>();
            m_local->Open(0, GetLocalDatabasePath());
        }
        return *m_local;
    }
    void forgetLocalFile() { m_local.reset(); }
    // A connection of the test's own to the server's qrdb.
    CAdoConnection& server()
    {
        if (!m_server) {
            m_server = std::make_unique<CAdoConnection>();
            m_server->Open(1, qrdb->ConnectString());
        }
        return *m_server;
    }
    static int count(CAdoConnection& db, const QString& sql)
    {
        CAdoLease<CAdoRecordset> rs(db.AcquireRecordset());
        rs->Open(sql);
        return rs->GetRecordCount();
    }

    // The steps after the server connection, up to the end of a start-up.
    static QStringList stepsAfterTheServer(const QString& title)
    {
        return {QStringLiteral("clock"),         QStringLiteral("login"),  QStringLiteral("window"),
                QStringLiteral("show:") + title, QStringLiteral("rights"), QStringLiteral("setup")};
    }
    // The log with the clock question (its time is the server's) as "clock".
    QStringList log() const
    {
        QStringList steps = script.log;
        for (QString& step : steps)
            if (step.startsWith(QStringLiteral("请选择:现在系统时间是 ")))
                step = QStringLiteral("clock");
        return steps;
    }

    CTempAppDirectory app;
    std::unique_ptr<CTestQrdb> qrdb;
    ScriptedStartup script;

private:
    QString m_startFolder;
    std::unique_ptr<CAdoConnection> m_local;
    std::unique_ptr<CAdoConnection> m_server;
};

} // namespace

TEST_F(NetworkStartupTest, FirstStartOfACounterAsksForTheServerThenInstallsItAndLogsIn)
{
    KvClock::SetFixed(QDateTime(QDate(2001, 1, 1), QTime(0, 0))); // the counter's own clock is wrong
    // No work/ folder yet: the first start of this counter. Its file names
    // the default server, which is not there; the operator answers Yes and
    // types the server's name into the server dialog.
    script.answers = {IDYES, IDYES};
    script.serverDialog = [this] {
        GetLocalSysPara()->SetStringPara(QStringLiteral("ServerName"), qrdb->ServerName());
        return true;
    };
    CKvStartup startup(script);

    ASSERT_TRUE(startup.InitInstance()) << script.log.join('|').toStdString();

    EXPECT_EQ(log(),
              QStringList({QStringLiteral("schema"), kServerRefused, QStringLiteral("server")}) +
                  stepsAfterTheServer(QStringLiteral("Quillmer 预付费售电管理系统 1.0(售电机编码：, 工作站编号：01)")));
    EXPECT_NE(GetMainDatabase(), GetLocalDatabase());
    EXPECT_EQ(GetMainDatabase()->GetServerFlag(), 1);
    EXPECT_GE(GetServerTime().date().year(), 2026) << "now is the server's clock, not the counter's";
    EXPECT_TRUE(GetCurrentOperator()->HasRight(518)) << "the administrator, loaded from the server";

    // The server got the main tables and rows; the counter's file keeps only its own.
    EXPECT_TRUE(IsServerInstalled(server()));
    EXPECT_EQ(count(server(), QStringLiteral("select OperatorNo from Operator where OperatorNo = 'qz'")), 1);
    EXPECT_EQ(count(localFile(), QStringLiteral("select name from sqlite_master where name = 'Operator'")), 0);
    EXPECT_EQ(count(localFile(), QStringLiteral("select ReportId from KvReport where ReportId = 1")), 1);
    EXPECT_EQ(count(localFile(),
                    QStringLiteral("select ServerName from SysPara where ServerName = '%1'").arg(qrdb->ServerName())),
              1);
    startup.ExitInstance();
    EXPECT_FALSE(GetMainDatabase()->IsOpen());

    // The next start finds the server at once and installs nothing again.
    ReleaseProcessObjects();
    script.log.clear();
    script.answers = {IDYES};
    CKvStartup again(script);
    ASSERT_TRUE(again.InitInstance());
    EXPECT_EQ(log(),
              QStringList{QStringLiteral("schema")} +
                  stepsAfterTheServer(QStringLiteral("Quillmer 预付费售电管理系统 1.0(售电机编码：, 工作站编号：01)")));
    again.ExitInstance();
}

TEST_F(NetworkStartupTest, AServerThatIsDownIsAskedAboutUntilTheOperatorGivesUp)
{
    struct Case
    {
        const char* name;
        std::deque<int> answers;
        std::function<bool()> serverDialog;
        bool started;
        QStringList expected;
    };
    const QString title = QStringLiteral("Quillmer 预付费售电管理系统 1.0(售电机编码：, 工作站编号：01)");
    const auto cancel = [] { return false; };
    const auto keepTheName = [] { return true; };
    const auto correctTheName = [this] {
        GetLocalSysPara()->SetStringPara(QStringLiteral("ServerName"), qrdb->ServerName());
        return true;
    };
    const QStringList tried{QStringLiteral("schema"), kServerRefused};
    const std::vector<Case> cases = {
        {"No ends the start-up", {IDNO}, cancel, false, tried},
        {"Yes, then the server dialog cancelled", {IDYES}, cancel, false, tried + QStringList{"server"}},
        {"the name kept, asked again, then No",
         {IDYES, IDNO},
         keepTheName,
         false,
         tried + QStringList{"server", kServerRefused}},
        {"the name corrected",
         {IDYES, IDYES},
         correctTheName,
         true,
         tried + QStringList{"server"} + stepsAfterTheServer(title)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ReleaseProcessObjects();
        forgetLocalFile();
        QDir(app.FilePath(QStringLiteral("work"))).removeRecursively();
        installCounter(kServerDown);
        script.log.clear();
        script.answers = c.answers;
        script.serverDialog = c.serverDialog;

        CKvStartup startup(script);
        EXPECT_EQ(startup.InitInstance(), c.started);
        EXPECT_EQ(log(), c.expected);
        EXPECT_EQ(GetCurrentOperator()->GetOperatorNo().isEmpty(), !c.started) << "no login before the server";
        startup.ExitInstance();
    }
}

TEST_F(NetworkStartupTest, OperatorsLogInOnlyAtTheirOwnWorkstationTheAdministratorAtAny)
{
    installCounter(qrdb->ServerName());
    ASSERT_TRUE(InstallServerDatabase(server(), kInstalled));
    server().Execute(QStringLiteral("insert into Station(StationNo, StationName) values('01', '总站'), ('02', '东门')"),
                     QString());
    server().Execute(QStringLiteral("insert into Operator(OperatorNo, OperatorName, OperatorPw, StationNo) "
                                    "values('op1', '收银一', 'pw1', '02')"),
                     QString());
    const QString title2 = QStringLiteral("Quillmer 预付费售电管理系统 1.0(售电机编码：, 工作站编号：02)");
    const QString title1 = QStringLiteral("Quillmer 预付费售电管理系统 1.0(售电机编码：, 工作站编号：01)");

    struct Case
    {
        const char* name;
        int counterStation;
        const char* code;
        const char* password;
        QStringList expected;
    };
    const QStringList upToLogin{QStringLiteral("schema"), QStringLiteral("clock"), QStringLiteral("login")};
    const std::vector<Case> cases = {
        {"own workstation", 2, "op1", "pw1", QStringList{"schema"} + stepsAfterTheServer(title2)},
        {"another workstation", 1, "op1", "pw1", upToLogin + QStringList{kLoginFailed}},
        {"no workstation chosen", 0, "op1", "pw1", upToLogin + QStringList{kLoginFailed}},
        {"wrong password at its own", 2, "op1", "PW1", upToLogin + QStringList{kLoginFailed}},
        {"the administrator anywhere", 1, "qz", "", QStringList{"schema"} + stepsAfterTheServer(title1)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ReleaseProcessObjects();
        localFile().Execute(QStringLiteral("update SysPara set StationNo = %1").arg(c.counterStation), QString());
        script.log.clear();
        script.answers = {IDYES};
        script.loginCode = QString::fromUtf8(c.code);
        script.loginPassword = QString::fromUtf8(c.password);

        CKvStartup startup(script);
        EXPECT_EQ(startup.InitInstance(), c.expected.last() != kLoginFailed);
        EXPECT_EQ(log(), c.expected);
        startup.ExitInstance();
    }
}

TEST_F(NetworkStartupTest, TheHelperLibraryReachesTheServerNamedInTheCountersFile)
{
    // A server installed before the manual fees table existed.
    installCounter(qrdb->ServerName());
    ASSERT_TRUE(InstallServerDatabase(server(), kInstalled));
    server().Execute(QStringLiteral("drop table ManualFee"), QString());

    EXPECT_EQ(InitialOstrakon(), 0);
    QuillmerUpdateDatabase();
    ClrOstrakon();
    EXPECT_EQ(count(server(), QStringLiteral("select table_name from information_schema.tables "
                                             "where lower(table_name) = 'manualfee'")),
              1);
    EXPECT_EQ(count(localFile(), QStringLiteral("select name from sqlite_master where name = 'ManualFee'")), 0)
        << "the counter's file is not the main database";

    // A counter whose file names a server that is down: the library says so
    // and the start-up goes on to its own question.
    localFile().Execute(QStringLiteral("update SysPara set ServerName = '%1'").arg(kServerDown), QString());
    EXPECT_EQ(InitialOstrakon(), 2);
    QuillmerUpdateDatabase();
    ClrOstrakon();
}
