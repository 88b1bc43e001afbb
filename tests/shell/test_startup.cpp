#include "CAdoConnection.h"
#include "CKvInstanceLock.h"
#include "CKvStartup.h"
#include "COperator.h"
#include "CSysPara.h"
#include "CurrentOperator.h"
#include "KvClock.h"
#include "KvMessage.h"
#include "KvProfile.h"
#include "KvSchema.h"
#include "KvScriptedStartup.h"
#include "KvTestSupport.h"
#include "SysGlobals.h"

#include <QDir>
#include <QFile>
#include <QLockFile>
#include <deque>
#include <functional>
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

const QDateTime kNow(QDate(2026, 12, 10), QTime(9, 30, 0));
const QString kClockQuestion = QStringLiteral(
    "现在系统时间是 2026-12-10 09:30:00\n\n如不正确，请调整\n\n否则将使统计数据不准确\n\n系统时间正确吗？");
const QString kLoginFailed = QStringLiteral("登录失败！\n\n请核对用户和密码\n\n如是使用网络版请核对工作站编号");
const QString kTitle = QStringLiteral("Quillmer 预付费售电管理系统 1.0(售电机编码：)");

class StartupTest : public ::testing::Test
{
protected:
    StartupTest() : m_startFolder(QDir::currentPath())
    {
        KvClock::SetFixed(kNow);
        ReleaseProcessObjects();
    }
    ~StartupTest() override
    {
        ReleaseProcessObjects();
        KvClock::Reset();
        QDir::setCurrent(m_startFolder);
    }
    void SetUp() override
    {
        // The network edition comes up against its server: tests/shell/network.
        if (GetEdition() != QStringLiteral("单机版"))
            GTEST_SKIP() << "the stand-alone edition's start-up";
    }

    // A database made before the start, changed by `sql`, then closed again.
    void prepareDatabase(const QString& sql = QString())
    {
        QDir(app.Path()).mkpath(QStringLiteral("work"));
        CreateFreshDatabase(GetLocalDatabasePath(), kNow);
        if (!sql.isEmpty()) {
            CAdoConnection db;
            db.Open(0, GetLocalDatabasePath());
            db.Execute(sql, QString());
        }
    }

    QStringList expectedUpTo(int steps) const
    {
        const QStringList all{QStringLiteral("schema"),         QStringLiteral("请选择:") + kClockQuestion,
                              QStringLiteral("login"),          QStringLiteral("window"),
                              QStringLiteral("show:") + kTitle, QStringLiteral("rights"),
                              QStringLiteral("setup")};
        return all.mid(0, steps);
    }

    CTempAppDirectory app;
    ScriptedStartup script;

private:
    QString m_startFolder;
};

} // namespace

TEST_F(StartupTest, FirstStartCreatesTheDatabaseAndRunsEveryStepInOrder)
{
    QDir::setCurrent(QDir::tempPath()); // started from another folder
    CKvStartup startup(script);

    ASSERT_TRUE(startup.InitInstance());

    EXPECT_EQ(script.log, expectedUpTo(7));
    EXPECT_TRUE(script.databaseAtSchema) << "the helper library must find the new database";
    EXPECT_EQ(QDir(script.folderAtSchema).canonicalPath(), QDir(app.Path()).canonicalPath());
    EXPECT_TRUE(GetLocalDatabase()->IsOpen());
    EXPECT_EQ(GetCurrentOperator()->GetOperatorNo(), QStringLiteral("qz"));
    EXPECT_TRUE(GetCurrentOperator()->HasRight(501));

    startup.ExitInstance();
    EXPECT_FALSE(GetLocalDatabase()->IsOpen());
    EXPECT_FALSE(QFile::exists(CKvInstanceLock::LockFilePath(app.Path())));
}

TEST_F(StartupTest, EachRefusalEndsTheStartUpAtItsStep)
{
    struct Case
    {
        const char* name;
        std::function<void(ScriptedStartup&)> arrange;
        QStringList expected; // the log after the start-up ended
    };
    const std::vector<Case> cases = {
        {"clock answered No", [](ScriptedStartup& s) { s.answers = {IDNO}; }, expectedUpTo(2)},
        {"login cancelled", [](ScriptedStartup& s) { s.loginGiven = false; }, expectedUpTo(3)},
        {"wrong password", [](ScriptedStartup& s) { s.loginPassword = QStringLiteral("x"); },
         expectedUpTo(3) << QStringLiteral("提示:") + kLoginFailed},
        {"unknown operator", [](ScriptedStartup& s) { s.loginCode = QStringLiteral("nobody"); },
         expectedUpTo(3) << QStringLiteral("提示:") + kLoginFailed},
        {"quota month after today",
         [](ScriptedStartup& s) {
             s.firstSetup = [] { GetMainSysPara()->SetIntPara(QStringLiteral("FixYearMon"), 202701); };
         },
         expectedUpTo(7) << QStringLiteral("提示:系统时间发生错误！请调整系统时间")},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ReleaseProcessObjects();
        script.log.clear();
        script.answers.clear();
        script.loginGiven = true;
        script.loginCode = QStringLiteral("qz");
        script.loginPassword.clear();
        script.firstSetup = nullptr;
        c.arrange(script);

        CKvStartup startup(script);
        EXPECT_FALSE(startup.InitInstance());
        EXPECT_EQ(script.log, c.expected);
        startup.ExitInstance();
    }
}

TEST_F(StartupTest, QuotaMonthOfThisMonthPasses)
{
    prepareDatabase(QStringLiteral("update SysPara set FixYearMon = 202612"));
    CKvStartup startup(script);
    EXPECT_TRUE(startup.InitInstance());
    EXPECT_EQ(script.log, expectedUpTo(7));
}

TEST_F(StartupTest, SecondCopyIsRefusedAndLeavesTheFirstAlone)
{
    CKvStartup first(script);
    ASSERT_TRUE(first.InitInstance());
    script.log.clear();

    CKvStartup second(script);
    EXPECT_FALSE(second.InitInstance());
    EXPECT_EQ(script.log, QStringList{QStringLiteral("提示:系统已启动本软件！")}) << "refused before anything else";
    second.ExitInstance();

    // The first copy still holds the lock: a third start is refused too.
    script.log.clear();
    CKvStartup third(script);
    EXPECT_FALSE(third.InitInstance());
    EXPECT_EQ(script.log, QStringList{QStringLiteral("提示:系统已启动本软件！")});
    third.ExitInstance();

    first.ExitInstance();
    ReleaseProcessObjects();
    script.log.clear();
    CKvStartup after(script);
    EXPECT_TRUE(after.InitInstance()) << "the lock is given back at exit";
    after.ExitInstance();
}

TEST_F(StartupTest, ALockThatCannotBeMadeStopsTheStart)
{
    // A folder where the lock file should be: no copy can hold it, so none may run.
    const QString lockPath = CKvInstanceLock::LockFilePath(app.Path());
    ASSERT_TRUE(QDir().mkpath(lockPath));
    CKvStartup startup(script);
    EXPECT_FALSE(startup.InitInstance());
    EXPECT_EQ(script.log, QStringList{QStringLiteral("提示:无法建立运行锁文件 %1，本软件不能启动！").arg(lockPath)});
    EXPECT_FALSE(QFile::exists(GetLocalDatabasePath())) << "refused before anything else";
    startup.ExitInstance();
}

TEST_F(StartupTest, LockLeftByACrashedCopyDoesNotBlockTheNextStart)
{
    const QString lockPath = CKvInstanceLock::LockFilePath(app.Path());
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        QLockFile lock(lockPath);
        lock.setStaleLockTime(0);
        _exit(lock.tryLock(0) ? 0 : 1); // ends without unlocking, as a crash would
    }
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    ASSERT_TRUE(QFile::exists(lockPath));

    CKvStartup startup(script);
    EXPECT_TRUE(startup.InitInstance());
    EXPECT_EQ(script.log, expectedUpTo(7));
}

TEST_F(StartupTest, WorkFolderWithoutItsDatabaseIsAFailureAndNothingIsCreated)
{
    QDir(app.Path()).mkpath(QStringLiteral("work"));
    CKvStartup startup(script);

    EXPECT_FALSE(startup.InitInstance());
    EXPECT_EQ(script.log,
              (QStringList{QStringLiteral("schema"), QStringLiteral("提示:连接业务数据库失败！是否继续..")}));
    EXPECT_FALSE(QFile::exists(GetLocalDatabasePath()));
}

TEST_F(StartupTest, ExistingDatabaseIsKeptAsItIs)
{
    prepareDatabase(QStringLiteral("update SysPara set ClientName = '老库'"));
    CKvStartup startup(script);
    ASSERT_TRUE(startup.InitInstance());
    EXPECT_EQ(GetMainSysPara()->GetStringPara(QStringLiteral("ClientName")), QStringLiteral("老库"));
}

TEST_F(StartupTest, BackupReminderCountsWholeDaysSinceTheLastBackup)
{
    struct Case
    {
        const char* lastBackup;
        QStringList boxesAfterSetUp;
    };
    const Case cases[] = {
        {"2026-12-10", {}},
        {"2026-12-09 23:59:00", {QStringLiteral("警告:您已有 1 天没有备份数据了，请及时备份！")}},
        {"2026-11-30", {QStringLiteral("警告:您已有 10 天没有备份数据了，请及时备份！")}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.lastBackup);
        ReleaseProcessObjects();
        QFile::remove(GetLocalDatabasePath());
        prepareDatabase(QStringLiteral("update SysPara set LastBackDate = '%1'").arg(QLatin1String(c.lastBackup)));
        script.log.clear();

        CKvStartup startup(script);
        EXPECT_TRUE(startup.InitInstance()) << "the reminder does not stop the start-up";
        EXPECT_EQ(script.log, expectedUpTo(7) + c.boxesAfterSetUp);
        startup.ExitInstance();
    }
}

TEST_F(StartupTest, TitleCarriesTheInstallationsMachineCode)
{
    WriteAppProfileString(CKvStartup::MachineCodeSection(), CKvStartup::MachineCodeKey(), QStringLiteral("A07"));
    CKvStartup startup(script);
    ASSERT_TRUE(startup.InitInstance());
    EXPECT_TRUE(script.log.contains(QStringLiteral("show:Quillmer 预付费售电管理系统 1.0(售电机编码：A07)")));
}
