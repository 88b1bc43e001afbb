#include "CAdoConnection.h"
#include "CAdoRecordset.h"
#include "CKvReportForm.h"
#include "CKvStartup.h"
#include "COperator.h"
#include "CSysPara.h"
#include "CurrentOperator.h"
#include "KvClock.h"
#include "KvLayoutsBefore8.h"
#include "KvPgTestServer.h"
#include "KvSchema.h"
#include "KvScriptedStartup.h"
#include "KvServerConfig.h"
#include "KvSql.h"
#include "KvTestQrdb.h"
#include "KvTestSupport.h"
#include "Ostrakon.h"
#include "SysGlobals.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QSettings>
#include <QTemporaryDir>
#include <dlfcn.h>
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
    void forgetServer() { m_server.reset(); }
    // Another counter's program folder, as an installation leaves it: its own
    // file naming the test server and the profile with the server's login.
    void makeCounterFolder(const QString& folder) const
    {
        QDir(folder).mkpath(QStringLiteral("work"));
        CreateLocalNetworkDatabase(QDir(folder).filePath(QStringLiteral("work/Qrdb.db")), kInstalled,
                                   qrdb->ServerName());
        QSettings profile(QDir(folder).filePath(QStringLiteral("Quillmer.ini")), QSettings::IniFormat);
        profile.setValue(QStringLiteral("Server/Login"), qrdb->Login());
        profile.setValue(QStringLiteral("Server/Password"), qrdb->Password());
    }
    // Counters, each in a program folder and a process of its own, started
    // at the same moment: each one starts (answering Yes, logging in as qz).
    void startCountersTogether(int counters) const
    {
        QTemporaryDir folders;
        std::vector<std::unique_ptr<QProcess>> processes;
        for (int i = 0; i < counters; ++i) {
            const QString folder = folders.filePath(QString::number(i));
            makeCounterFolder(folder);
            processes.push_back(std::make_unique<QProcess>());
            processes.back()->start(QStringLiteral(KV_COUNTER_START), {folder});
        }
        for (auto& counter : processes) {
            ASSERT_TRUE(counter->waitForFinished(120000));
            const QString log = QString::fromUtf8(counter->readAllStandardOutput());
            EXPECT_EQ(counter->exitCode(), 0) << log.toStdString() << counter->readAllStandardError().toStdString();
            EXPECT_TRUE(log.startsWith(QStringLiteral("schema\n请选择:现在系统时间是 "))) << log.toStdString();
        }
    }
    // A connection of the test's own to the server's qrdb.
    CAdoConnection& server()
    {
        if (!m_server) {
            m_server = std::make_unique<CAdoConnection>();
            m_server->Open(1, qrdb->ConnectString());
        }
        return *m_server;
    }
    // The widths of a layout's columns, in order, on either engine.
    static QString layoutWidths(CAdoConnection& db, const QString& reportType)
    {
        CAdoLease<CAdoRecordset> rs(db.AcquireRecordset());
        rs->Open(KvFormatSql("select c.ColWidth from KvReportCol c join KvReportForm f on f.ReportId = c.ReportId "
                             "where f.ReportType = '%s' order by c.ColX",
                             reportType));
        QStringList widths;
        for (; !rs->IsEOF(); rs->MoveNext())
            widths << rs->GetFieldString(QStringLiteral("ColWidth"));
        return widths.join(u',');
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
    // A server installed before the manual fees table existed, at version 5:
    // the library brings it up to date.
    installCounter(qrdb->ServerName());
    ASSERT_TRUE(InstallServerDatabase(server(), kInstalled));
    server().ExecuteScript(QStringLiteral("drop table ManualFee;\ndrop index WrtRecordMeterRow;\n"
                                          "update KvSchemaVersion set Version = 5;\n"),
                           QString());

    EXPECT_EQ(InitialOstrakon(), 0);
    QuillmerUpdateDatabase();
    ClrOstrakon();
    EXPECT_EQ(script.log, QStringList()) << "nothing failed";
    EXPECT_EQ(count(server(), QStringLiteral("select table_name from information_schema.tables "
                                             "where lower(table_name) = 'manualfee'")),
              1);
    EXPECT_EQ(ReadSchemaVersion(server()), CurrentSchemaVersion());
    EXPECT_EQ(count(server(), QStringLiteral("select indexname from pg_indexes where indexname = 'wrtrecordmeterrow'")),
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

TEST_F(NetworkStartupTest, CountersStartingTogetherOnAnEmptyServerAllStartAndItIsInstalledOnce)
{
    // The installation raced another counter's only now and then: a few rounds,
    // each on a new empty server database.
    constexpr int kRounds = 4;
    constexpr int kCounters = 3;
    for (int round = 0; round < kRounds; ++round) {
        SCOPED_TRACE(round);
        forgetServer();
        qrdb.reset();
        qrdb = std::make_unique<CTestQrdb>();
        startCountersTogether(kCounters);
        EXPECT_EQ(count(server(), QStringLiteral("select OperatorNo from Operator")), 1) << "installed once";
        EXPECT_EQ(count(server(), QStringLiteral("select Version from KvSchemaVersion")), 1);
    }
}

// The server's login is the installation's, from Quillmer.ini alone: without
// one the counter says where it belongs, even where the environment would
// offer a login (PGUSER, PGPASSWORD). A password may hold any character.
TEST_F(NetworkStartupTest, TheServerLoginComesOnlyFromTheProfile)
{
    installCounter(qrdb->ServerName());
    ASSERT_TRUE(InstallServerDatabase(server(), kInstalled));
    const QString title = QStringLiteral("Quillmer 预付费售电管理系统 1.0(售电机编码：, 工作站编号：01)");
    struct Case
    {
        const char* name;
        QString serverPassword; // the login's password on the server
        QString profile;        // the [Server] section as written ("%1" the password)
        bool started;
    };
    const QString plain = qrdb->Password();
    const std::vector<Case> cases = {
        {"no [Server] section", plain, QString(), false},
        {"no password", plain, QStringLiteral("Login=counter\n"), false},
        {"an empty password", plain, QStringLiteral("Login=counter\nPassword=\n"), false},
        {"an empty login", plain, QStringLiteral("Login=\nPassword=%1\n"), false},
        {"an unquoted comma", QStringLiteral("ab,cd"), QStringLiteral("Login=counter\nPassword=ab,cd\n"), false},
        {"an unquoted backslash", QStringLiteral("a\\b"), QStringLiteral("Login=counter\nPassword=a\\b\n"), false},
        {"a quoted comma", QStringLiteral("ab,cd"), QStringLiteral("Login=counter\nPassword=\"ab,cd\"\n"), true},
        {"a quoted backslash and quote", QStringLiteral("a\\b\"c"),
         QStringLiteral("Login=counter\nPassword=\"a\\\\b\\\"c\"\n"), true},
        {"an unquoted semicolon", QStringLiteral("x;y"), QStringLiteral("Login=counter\nPassword=x;y\n"), false},
        {"semicolons, braces and spaces", QStringLiteral("x;y}z{ =w"),
         QStringLiteral("Login=counter\nPassword=\"x;y}z{ =w\"\n"), true},
        // A value beginning with '@' reads as written, quoted or not.
        {"a leading @@", QStringLiteral("@@ab"), QStringLiteral("Login=counter\nPassword=@@ab\n"), true},
        {"a quoted leading @@", QStringLiteral("@@ab"), QStringLiteral("Login=counter\nPassword=\"@@ab\"\n"), true},
        {"a leading @", QStringLiteral("@String(ab)"), QStringLiteral("Login=counter\nPassword=@String(ab)\n"),
         true},
        // Blanks around an unquoted value are not part of it; in quotes they are.
        {"blanks around the value", QStringLiteral("ab"), QStringLiteral("Login = counter\nPassword =  ab  \n"), true},
        {"quoted leading and trailing blanks", QStringLiteral(" ab "),
         QStringLiteral("Login=counter\nPassword=\" ab \"\n"), true},
    };
    // What the environment would give libpq: the superuser's login.
    const QMap<QString, QString> admin =
        KvPgTestServer::ParseConninfo(qEnvironmentVariable("QUILLMER_TEST_PG").trimmed());
    qputenv("PGUSER", admin.value(QStringLiteral("user")).toUtf8());
    qputenv("PGPASSWORD", admin.value(QStringLiteral("password")).toUtf8());
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ReleaseProcessObjects();
        qrdb->RunAsAdministrator(
            QStringLiteral("alter role %1 password '%2'")
                .arg(qrdb->Login(), QString(c.serverPassword).replace(u'\'', QStringLiteral("''"))));
        QFile ini(app.FilePath(QStringLiteral("Quillmer.ini")));
        ASSERT_TRUE(ini.open(QIODevice::WriteOnly | QIODevice::Truncate));
        if (!c.profile.isEmpty())
            ini.write(
                (QStringLiteral("[Server]\n") + QString(c.profile).replace(QStringLiteral("%1"), plain)).toUtf8());
        ini.close();
        script.log.clear();
        script.answers = {IDYES};

        CKvStartup startup(script);
        EXPECT_EQ(startup.InitInstance(), c.started) << script.log.join(u'|').toStdString();
        if (c.started) {
            EXPECT_EQ(log(), QStringList{QStringLiteral("schema")} + stepsAfterTheServer(title));
        } else {
            ASSERT_EQ(script.log.size(), 2) << script.log.join(u'|').toStdString();
            EXPECT_TRUE(script.log.at(1).contains(QStringLiteral("Quillmer.ini")) &&
                        script.log.at(1).contains(QStringLiteral("[Server]")))
                << script.log.at(1).toStdString();
        }
        startup.ExitInstance();
    }
    qunsetenv("PGUSER");
    qunsetenv("PGPASSWORD");
    qrdb->RunAsAdministrator(QStringLiteral("alter role %1 password '%2'").arg(qrdb->Login(), plain));
}

// The server's clock or nothing: a connection the server closed is opened
// again; while the server stays unreachable the time fails, never the
// counter's own clock.
TEST_F(NetworkStartupTest, TheServerTimeIsTheServersOrFails)
{
    KvClock::SetFixed(QDateTime(QDate(2001, 1, 1), QTime(0, 0))); // the counter's own clock is wrong
    installCounter(qrdb->ServerName());
    ASSERT_TRUE(InstallServerDatabase(server(), kInstalled));
    GetLocalDatabase()->Open(0, GetLocalConnectString());
    GetMainDatabase()->Open(1, GetServerConnectString());
    const auto endCounterSession = [this] {
        CAdoLease<CAdoRecordset> rs(GetMainDatabase()->AcquireRecordset());
        rs->Open(QStringLiteral("select pg_backend_pid() as Pid"));
        server().Execute(
            QStringLiteral("select pg_terminate_backend(%1)").arg(rs->GetFieldString(QStringLiteral("Pid"))),
            QString());
    };

    endCounterSession();
    EXPECT_GE(GetServerTime().date().year(), 2026) << "opened again";

    qrdb->RunAsAdministrator(QStringLiteral("alter database qrdb allow_connections false"));
    endCounterSession();
    const QString text = ThrownText([] { GetServerTime(); });
    qrdb->RunAsAdministrator(QStringLiteral("alter database qrdb allow_connections true"));
    EXPECT_TRUE(text.startsWith(QStringLiteral("连接业务数据库失败！"))) << text.toStdString();
    EXPECT_GE(GetServerTime().date().year(), 2026);
}

// A server installed by an older program is brought up to date by the first
// counter of the new program that starts; counters starting at the same moment
// wait for it and find it done: the layouts and meter types the steps add are
// there once, the indexes too, the layouts still as shipped get the widths
// shipped now and one an administrator changed (a column, the margins or the
// paper) keeps his. Each round is a server of another older version, made by
// taking away again what the steps after that version add.
TEST_F(NetworkStartupTest, CountersStartingTogetherBringAnOlderServerUpToDateOnce)
{
    const QString fresh = app.FilePath(QStringLiteral("fresh.db"));
    CreateFreshDatabase(fresh, kInstalled);
    CAdoConnection shipped;
    shipped.Open(0, fresh);
    // The administrator's own layouts on a server that has the layouts.
    const struct
    {
        const char* type;
        const char* change;
    } ownLayouts[] = {
        {"售电记录统计表_按用户电表", "update KvReportForm set LeftOffset = 150 where ReportType = '%s'"},
        {"附表抄收统计表_按小区", "update KvReportForm set PaperSize = 9 where ReportType = '%s'"},
        {"附表抄收明细表", "update KvReportCol set ColWidth = 260 where ColX = 0 and ReportId in "
                           "(select ReportId from KvReportForm where ReportType = '%s')"},
    };
    constexpr int kCounters = 3;
    for (const int version : {4, 5, 7}) {
        SCOPED_TRACE(version);
        forgetServer();
        qrdb.reset();
        qrdb = std::make_unique<CTestQrdb>();
        ASSERT_TRUE(InstallServerDatabase(server(), kInstalled));
        for (const auto& [type, widths] : kLayoutsBefore8)
            SetLayoutWidths(server(), type, widths);
        if (version < 6)
            server().ExecuteScript(QStringLiteral("drop index WrtRecordMeterRow;\ndrop index BuildingNumber;\n"),
                                   QString());
        if (version < 5)
            server().ExecuteScript(QStringLiteral("delete from KvReportCol;\ndelete from KvReportForm;\n"
                                                  "update SysPara set ReportIndex = 1;\n"),
                                   QString());
        if (version < 4)
            server().Execute(QStringLiteral("delete from PreModel"), QString());
        QMap<QString, QString> ownWidths;
        if (version >= 5) {
            for (const auto& own : ownLayouts) {
                server().Execute(KvFormatSql(own.change, own.type), QString());
                ownWidths[QString::fromUtf8(own.type)] = layoutWidths(server(), QString::fromUtf8(own.type));
            }
        }
        server().Execute(QStringLiteral("update KvSchemaVersion set Version = %1").arg(version), QString());

        startCountersTogether(kCounters);

        EXPECT_EQ(ReadSchemaVersion(server()), CurrentSchemaVersion());
        EXPECT_EQ(count(server(), QStringLiteral("select Version from KvSchemaVersion")), 1);
        EXPECT_EQ(count(server(), QStringLiteral("select indexname from pg_indexes where indexname in "
                                                 "('wrtrecordmeterrow', 'buildingnumber')")),
                  2);
        EXPECT_EQ(count(server(), QStringLiteral("select ModelId from PreModel")),
                  count(shipped, QStringLiteral("select ModelId from PreModel")));
        EXPECT_EQ(count(server(), QStringLiteral("select ReportId from KvReportForm")),
                  count(shipped, QStringLiteral("select ReportId from KvReportForm")))
            << "every layout once";
        EXPECT_EQ(count(server(), QStringLiteral("select ColIndex from KvReportCol")),
                  count(shipped, QStringLiteral("select ColIndex from KvReportCol")));
        for (const auto& [type, widths] : kLayoutsBefore8) {
            EXPECT_EQ(layoutWidths(server(), type),
                      ownWidths.contains(type) ? ownWidths.value(type) : layoutWidths(shipped, type))
                << type.toStdString();
        }
    }
}

// A server of the version before a step that only renews the counters' own
// files serves this program; one of a newer program than this one does not:
// the counter does not start against it, says so and leaves it as it is.
TEST_F(NetworkStartupTest, ACounterDoesNotStartOnAServerOfANewerVersion)
{
    installCounter(qrdb->ServerName());
    ASSERT_TRUE(InstallServerDatabase(server(), kInstalled));
    ASSERT_LE(ServerSchemaVersion(), CurrentSchemaVersion());
    server().Execute(QStringLiteral("update KvSchemaVersion set Version = %1").arg(ServerSchemaVersion()), QString());
    EXPECT_EQ(ServerVersionProblem(server()), QString());

    const int newer = CurrentSchemaVersion() + 1;
    server().Execute(QStringLiteral("update KvSchemaVersion set Version = %1").arg(newer), QString());
    script.answers = {IDYES};
    CKvStartup startup(script);
    EXPECT_FALSE(startup.InitInstance());
    ASSERT_EQ(script.log.size(), 2) << script.log.join(u'|').toStdString();
    EXPECT_EQ(script.log.at(1),
              QStringLiteral("提示:业务数据库服务器上的数据库版本(%1)高于本程序的版本(%2)，本软件不能启动！\n\n"
                             "请使用与服务器数据库版本相同的程序。")
                  .arg(newer)
                  .arg(CurrentSchemaVersion()));
    startup.ExitInstance();
    EXPECT_EQ(ReadSchemaVersion(server()), newer) << "the server left as it was";
    EXPECT_EQ(UpdateSchemaVersion(server()), newer);
}

// The outside programs that write the main database themselves reach the
// server the counter uses, not the counter's own file.
TEST_F(NetworkStartupTest, TheOutsideProgramsWriteTheServerOfTheirProgramFolder)
{
    installCounter(qrdb->ServerName());
    ASSERT_TRUE(InstallServerDatabase(server(), kInstalled));
    for (const char* name : {"Velcrist", "libMirabond.so"})
        ASSERT_TRUE(QFile::copy(QDir(QStringLiteral(QUILLMER_BUILD_APP_DIR)).filePath(QString::fromLatin1(name)),
                                app.FilePath(QString::fromLatin1(name))));

    // The manual sub-meter program.
    QProcess velcrist;
    velcrist.start(app.FilePath(QStringLiteral("Velcrist")),
                   {QStringLiteral("U1"), QStringLiteral("qz"), QStringLiteral("P1")});
    ASSERT_TRUE(velcrist.waitForFinished(60000));
    EXPECT_EQ(velcrist.exitCode(), 0) << velcrist.readAllStandardOutput().toStdString();
    EXPECT_EQ(count(server(), QStringLiteral("select * from CliMan where ClientNo = 'U1' and PriceNo = 'P1'")), 1);

    // The fee-loading library, loaded as the program loads it at a sale.
    QFile fixture(app.FilePath(QStringLiteral("Mirabond.txt")));
    ASSERT_TRUE(fixture.open(QIODevice::WriteOnly));
    fixture.write("ManItem|U1|M1|10|25|15|2026-12-01 08:00:00|0|0|水费|1.5|22.5\n"
                  "OtherItem|U1|卫生费|2026-12-01|2026-12-31|31|2|1|62\n");
    fixture.close();
    void* library = dlopen(app.FilePath(QStringLiteral("libMirabond.so")).toUtf8().constData(), RTLD_NOW | RTLD_LOCAL);
    ASSERT_NE(library, nullptr) << dlerror();
    using LoadFee = int (*)(const char*, int);
    const auto loadManFee = reinterpret_cast<LoadFee>(dlsym(library, "LoadManFee"));
    const auto loadOtherFee = reinterpret_cast<LoadFee>(dlsym(library, "LoadOtherFee"));
    ASSERT_TRUE(loadManFee && loadOtherFee);
    EXPECT_EQ(loadManFee("U1", 7), 1);
    EXPECT_EQ(loadOtherFee("U1", 7), 1);
    dlclose(library);
    EXPECT_EQ(count(server(), QStringLiteral("select * from ManItem where ClientNo = 'U1' and WrtNum = 7 and "
                                             "ManNo = 'M1' and Fee = 22.5 and ReadTime = '2026-12-01 08:00:00'")),
              1);
    EXPECT_EQ(count(server(), QStringLiteral("select * from OtherItem where ClientNo = 'U1' and WrtNum = 7 and "
                                             "Days = 31 and FinalFee = 62")),
              1);
}

// Two counters loading fees through the fee-loading library at the same
// moment, user after user, on a server where an entry program wrote a row of
// each table already: every row is stored once, under a key of its own.
TEST_F(NetworkStartupTest, TwoCountersLoadingFeesAtOnceNeverShareAKey)
{
    ASSERT_TRUE(InstallServerDatabase(server(), kInstalled));
    server().Execute(QStringLiteral("insert into OtherItem(FeeIndex, ClientNo, WrtIndex, WrtNum) values (3, 'E1', -1, 1)"),
                     QString());
    server().Execute(QStringLiteral("insert into ManItem(ReadIndex, ClientNo, WrtIndex, WrtNum) values (3, 'E1', -1, 1)"),
                     QString());
    constexpr int kUsers = 25;
    QTemporaryDir folders;
    std::vector<std::unique_ptr<QProcess>> loaders;
    for (int counter = 0; counter < 2; ++counter) {
        const QString folder = folders.filePath(QString::number(counter));
        makeCounterFolder(folder);
        ASSERT_TRUE(QFile::copy(QDir(QStringLiteral(QUILLMER_BUILD_APP_DIR)).filePath(QStringLiteral("libMirabond.so")),
                                QDir(folder).filePath(QStringLiteral("libMirabond.so"))));
        const int first = 1 + counter * 100;
        QFile fixture(QDir(folder).filePath(QStringLiteral("Mirabond.txt")));
        ASSERT_TRUE(fixture.open(QIODevice::WriteOnly));
        for (int user = first; user < first + kUsers; ++user) {
            fixture.write(QStringLiteral("ManItem|U%1|M1|10|25|15|2026-12-01 08:00:00|0|0|水费|1.5|22.5\n"
                                         "OtherItem|U%1|卫生费|2026-12-01|2026-12-31|31|2|1|62\n"
                                         "OtherItem|U%1|电梯费|2026-12-01|2026-12-31|31|1|1|31\n")
                              .arg(user)
                              .toUtf8());
        }
        fixture.close();
        loaders.push_back(std::make_unique<QProcess>());
        loaders.back()->start(QStringLiteral(KV_FEE_LOADER),
                              {folder, QString::number(first), QString::number(kUsers), QStringLiteral("7")});
    }
    for (auto& loader : loaders) {
        ASSERT_TRUE(loader->waitForFinished(120000));
        const QString out = QString::fromUtf8(loader->readAllStandardOutput());
        EXPECT_EQ(loader->exitCode(), 0) << out.toStdString() << loader->readAllStandardError().toStdString();
    }
    const int manRows = 1 + 2 * kUsers;
    const int otherRows = 1 + 2 * 2 * kUsers;
    EXPECT_EQ(count(server(), QStringLiteral("select ReadIndex from ManItem")), manRows);
    EXPECT_EQ(count(server(), QStringLiteral("select distinct ReadIndex from ManItem")), manRows);
    EXPECT_EQ(count(server(), QStringLiteral("select FeeIndex from OtherItem")), otherRows);
    EXPECT_EQ(count(server(), QStringLiteral("select distinct FeeIndex from OtherItem")), otherRows);
}

// The report layouts are the server's, shared by every counter: a new one
// draws its key there, not from the counter's own file.
TEST_F(NetworkStartupTest, ANewReportLayoutDrawsItsKeyWhereTheLayoutsAre)
{
    installCounter(qrdb->ServerName());
    ASSERT_TRUE(InstallServerDatabase(server(), kInstalled));
    GetLocalDatabase()->Open(0, GetLocalConnectString());
    GetMainDatabase()->Open(1, GetServerConnectString());
    // Other counters have drawn keys since this counter's file was made.
    server().Execute(QStringLiteral("update SysPara set ReportIndex = ReportIndex + 5"), QString());
    CAdoLease<CAdoRecordset> rs(server().AcquireRecordset());
    rs->Open(QStringLiteral("select ReportIndex from SysPara"));
    const int next = rs->GetFieldInt(QStringLiteral("ReportIndex"));

    CKvReportForm form;
    form.InsertNew();
    EXPECT_EQ(form.GetReportId(), next);
    EXPECT_EQ(count(server(), QStringLiteral("select ReportId from KvReportForm where ReportId = %1").arg(next)), 1);
}
