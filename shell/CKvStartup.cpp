#include "CKvStartup.h"

#include "CAdoConnection.h"
#include "CKvException.h"
#include "CSysPara.h"
#include "KvGuard.h"
#include "KvLogin.h"
#include "KvMessage.h"
#include "KvProfile.h"
#include "KvSchema.h"
#include "KvServerConfig.h"
#include "KvSkin.h"
#include "KvUtil.h"
#include "SysGlobals.h"

#include <QDir>

namespace {

// Said when the database can be neither made nor opened; either ends the start-up.
const QString kConnectFailed = QStringLiteral("连接业务数据库失败！是否继续..");

bool isStandAlone()
{
    return GetEdition() == QStringLiteral("单机版");
}

} // namespace

CKvStartup::CKvStartup(IKvStartupHost& host) : m_host(host) {}

CKvStartup::~CKvStartup() = default;

QString CKvStartup::ClockQuestion(const QDateTime& now)
{
    return QStringList{QStringLiteral("现在系统时间是 %1").arg(now.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"))),
                       QStringLiteral("如不正确，请调整"), QStringLiteral("否则将使统计数据不准确"),
                       QStringLiteral("系统时间正确吗？")}
        .join(QStringLiteral("\n\n"));
}

QString CKvStartup::MainWindowTitle()
{
    CSysPara* para = GetLocalSysPara();
    const QString title = para->GetStringPara(QStringLiteral("AppTitle"));
    const QString version = para->GetStringPara(QStringLiteral("AppVersion"));
    if (isStandAlone())
        return QStringLiteral("%1 %2(售电机编码：%3)").arg(title, version, para->GetMachineCode());
    const int station = para->GetIntPara(QStringLiteral("StationNo"));
    return QStringLiteral("%1 %2(售电机编码：%3, 工作站编号：%4)")
        .arg(title, version, para->GetMachineCode(), QString::asprintf("%02d", station));
}

bool CKvStartup::InitInstance()
{
    // Nothing may be thrown out of the start-up: a failure nobody handled is
    // shown with its text and ends the start-up.
    bool started = false;
    KvGuard([&] { started = run(); });
    return started;
}

bool CKvStartup::run()
{
    const QString appDir = GetAppDirectory();

    switch (m_lock.Acquire(appDir)) {
    case CKvInstanceLock::Acquired:
        break;
    case CKvInstanceLock::HeldByAnotherCopy:
        PromptBox(QStringLiteral("系统已启动本软件！"));
        return false;
    case CKvInstanceLock::CannotLock:
        PromptBox(QStringLiteral("无法建立运行锁文件 %1，本软件不能启动！")
                      .arg(QDir::toNativeSeparators(CKvInstanceLock::LockFilePath(appDir))));
        return false;
    }

    // The helper library and the outside programs resolve relative paths
    // against the current folder: it must be the program folder, wherever the
    // program was started from.
    QDir::setCurrent(appDir);

    // Before anything opens the database, the helper library included.
    if (!createFirstInstallation()) {
        PromptBox(kConnectFailed);
        return false;
    }

    m_host.UpdateDatabaseSchema();

    if (!openConnections())
        return false;

    m_clockTime = GetServerTime();
    if (AskBox(ClockQuestion(m_clockTime)) == IDNO)
        return false;

    QString operatorNo;
    QString password;
    if (!m_host.AskLogin(operatorNo, password))
        return false;
    if (!LoginOperator(operatorNo, password)) {
        PromptBox(KvLoginFailedText());
        return false;
    }

    // The look chosen in an earlier run, before the main window appears.
    RestoreStoredStyle();
    if (!m_host.CreateMainWindow())
        return false;

    GetLocalSysPara()->SetMachineCode(GetAppProfileString(MachineCodeSection(), MachineCodeKey()));
    m_host.ShowMainWindow(MainWindowTitle());

    m_host.BuildRightsList();
    m_host.RunFirstSetup();

    if (isStandAlone()) {
        if (GetServerYearMonth() < GetMainSysPara()->GetIntPara(QStringLiteral("FixYearMon"))) {
            PromptBox(QStringLiteral("系统时间发生错误！请调整系统时间"));
            return false;
        }
        const int days = DaysBetween(GetMainSysPara()->GetLastBackDate(), m_clockTime);
        if (days > 0)
            WarningBox(QStringLiteral("您已有 %1 天没有备份数据了，请及时备份！").arg(days));
    }
    return true;
}

bool CKvStartup::createFirstInstallation()
{
    QDir appDir(GetAppDirectory());
    if (appDir.exists(QStringLiteral("work")))
        return true;
    if (!appDir.mkdir(QStringLiteral("work")))
        return false;
    try {
        // The network edition's counter keeps only its own tables; the
        // others are on the server.
        if (isStandAlone())
            CreateFreshDatabase(GetLocalDatabasePath(), GetServerTime());
        else
            CreateLocalNetworkDatabase(GetLocalDatabasePath(), GetServerTime());
        return true;
    } catch (const CKvException&) {
        // Leave the program folder as it was, so that the next start tries
        // again: the work folder was made just now and holds only what the
        // failed creation left (the file and the engine's side files).
        QDir(appDir.filePath(QStringLiteral("work"))).removeRecursively();
        return false;
    }
}

bool CKvStartup::openConnections()
{
    try {
        GetLocalDatabase()->Open(0, GetLocalConnectString());
    } catch (const CKvException&) {
        PromptBox(kConnectFailed);
        return false;
    }
    // The server's login is the installation's, from its profile alone: a
    // counter without one says where it belongs instead of trying the server.
    if (!isStandAlone()) {
        const QString problem = KvReadServerLogin(GetAppDirectory()).problem;
        if (!problem.isEmpty()) {
            PromptBox(problem);
            return false;
        }
    }
    // In the stand-alone edition the main connection is the local one and is
    // open by now. The network edition's server is tried until it opens or
    // the operator gives up; before each new try the operator may correct the
    // server's name (the connection string is built anew from it).
    while (!GetMainDatabase()->IsOpen()) {
        try {
            GetMainDatabase()->Open(1, GetServerConnectString());
        } catch (const CKvException&) {
            if (AskBox(QStringLiteral("连接业务数据库失败！是否继续.")) == IDNO)
                return false;
            if (!isStandAlone() && !m_host.AskServerName())
                return false;
        }
    }
    // The first counter that reaches a new installation's server database
    // (made empty by its administrator) installs the main tables and their
    // rows; an installed one is left as it is. A failure ends the start-up
    // with its text.
    // Its "now" is the server's clock, read once the installation has put the
    // dialect functions in place under its lock; another counter starting at
    // the same moment waits for that lock and then finds the server installed.
    if (!isStandAlone() && !IsServerInstalled(*GetMainDatabase()))
        InstallServerDatabase(*GetMainDatabase());
    // A server installed by an older program is brought up to this one's
    // version by the first counter of it that starts; the others starting
    // meanwhile wait for it and find it done.
    if (!isStandAlone()) {
        try {
            UpgradeServerDatabase(*GetMainDatabase());
        } catch (const CKvException& e) {
            PromptBox(QStringLiteral("升级业务数据库服务器上的数据库时发生错误！本软件不能启动！\n\n%1").arg(e.text()));
            return false;
        }
    }
    // The server's tables are those of another program version: this one's
    // SQL would fail on them halfway through the counter's work.
    if (!isStandAlone()) {
        const QString problem = ServerVersionProblem(*GetMainDatabase());
        if (!problem.isEmpty()) {
            PromptBox(problem);
            return false;
        }
    }
    return true;
}

int CKvStartup::ExitInstance(int exitCode)
{
    m_lock.Release();
    GetMainDatabase()->Close();
    GetLocalDatabase()->Close();
    return exitCode;
}
