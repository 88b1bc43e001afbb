#include "KvAdminCommands.h"

#include "CHelpWindow.h"
#include "CKvStartup.h"
#include "CMainFrame.h"
#include "COperator.h"
#include "COperatorListDlg.h"
#include "CServerDlg.h"
#include "CStationListDlg.h"
#include "CStationSelectDlg.h"
#include "CSysPara.h"
#include "CSysParaDlg.h"
#include "CWaitCursor.h"
#include "CurrentOperator.h"
#include "KvBackup.h"
#include "KvFileChooser.h"
#include "KvMainCommands.h"
#include "KvMessage.h"
#include "KvUtil.h"
#include "SysGlobals.h"

#include <QApplication>
#include <QDir>

namespace {

QString appFile(const QString& relative)
{
    return QDir(GetAppDirectory()).filePath(relative);
}

const QString kDatabaseFilter = QStringLiteral("数据库文件(*.db)");

} // namespace

void InstallAdminCommands(CMainFrame& frame)
{
    CMainFrame* f = &frame;
    frame.SetCommandHandler(ID_STATIONS, [] { OnStations(); });
    frame.SetCommandHandler(ID_SELECT_STATION, [f] { OnSelectStation(*f); });
    frame.SetCommandHandler(ID_SERVER, [] { OnServer(); });
    frame.SetCommandHandler(ID_OPERATORS, [] { OnOperators(); });
    frame.SetCommandHandler(ID_SYSPARA, [] { OnSysPara(); });
    frame.SetCommandHandler(ID_SYSTEM_INIT, [f] { OnSystemInit(*f); });
    frame.SetCommandHandler(ID_BACKUP, [f] { OnBackup(*f); });
    frame.SetCommandHandler(ID_RESTORE, [f] { OnRestore(*f); });
    frame.SetCommandHandler(ID_HELP_FILE, [f] { OnHelpFile(*f); });
    frame.SetCommandHandler(ID_MANUAL_SUBMETER, [] { StartEntryProgram("Saldrin"); });
    frame.SetCommandHandler(ID_OTHER_FEE, [] { StartEntryProgram("Corvello"); });
}

void OnStations()
{
    CStationListDlg dialog(nullptr, QStringLiteral("工作站管理"));
    dialog.DoModal();
}

void OnSelectStation(CMainFrame& frame)
{
    CStationSelectDlg dialog(nullptr, QStringLiteral("设置工作站"));
    dialog.DoModal();
    frame.setWindowTitle(CKvStartup::MainWindowTitle());
}

void OnServer()
{
    CServerDlg dialog(nullptr, QStringLiteral("设置服务器"));
    dialog.DoModal();
}

void OnOperators()
{
    COperatorListDlg dialog(nullptr, QStringLiteral("操作员管理"));
    dialog.DoModal();
}

void OnSysPara()
{
    CSysParaDlg dialog(nullptr, QStringLiteral("设置系统参数"));
    dialog.DoModal();
}

void OnSystemInit(CMainFrame& frame)
{
    if (AskBox(QStringLiteral("系统初始化将删除系统中的所有用户数据！是否继续？"), &frame) != IDYES)
        return;
    {
        CWaitCursor wait;
        GetMainSysPara()->InitializeSystem();
        // In the stand-alone edition main and local are one database: once is all.
        if (GetLocalDatabase() != GetMainDatabase())
            GetLocalSysPara()->InitializeSystem();
        else
            GetLocalSysPara()->ForgetCache();
        PromptBox(QStringLiteral("系统初始化过程已完成!"), &frame);
    }
    frame.OnAppExit();
}

void OnBackup(CMainFrame& frame)
{
    QDir(GetAppDirectory()).mkpath(QStringLiteral("backup"));
    KvFileRequest request;
    request.mode = KvFileRequest::SaveFile;
    request.title = QStringLiteral("备份到...");
    request.initialPath = DefaultBackupPath(GetServerTime());
    request.filter = kDatabaseFilter;
    request.defaultSuffix = QStringLiteral("db");
    const QString target = ChooseFile(&frame, request);
    if (target.isEmpty())
        return;
    bool copied = false;
    {
        CWaitCursor wait;
        copied = BackupDatabase(*GetLocalDatabase(), target);
    }
    // The relative paths of the program rest on its folder being current.
    QDir::setCurrent(GetAppDirectory());
    if (!copied) {
        PromptBox(QStringLiteral("备份失败！"), &frame);
        return;
    }
    PromptBox(QStringLiteral("备份成功！"), &frame);
    GetMainSysPara()->SetLastBackDate(GetServerDate());
}

void OnRestore(CMainFrame& frame)
{
    KvFileRequest request;
    request.mode = KvFileRequest::OpenFile;
    request.title = QStringLiteral("选择备份文件");
    request.initialPath = appFile(QStringLiteral("backup/Qrdb"));
    request.filter = kDatabaseFilter;
    request.defaultSuffix = QStringLiteral("db");
    const QString source = ChooseFile(&frame, request);
    QDir::setCurrent(GetAppDirectory());
    if (source.isEmpty())
        return;
    {
        CWaitCursor wait;
        const bool restored = RestoreDatabase(source);
        PromptBox(restored ? QStringLiteral("恢复成功！") : QStringLiteral("恢复失败！"), &frame);
    }
    // Whatever the result, the program ends and is started again on the file
    // now in place.
    frame.OnAppExit();
}

void OnHelpFile(CMainFrame& frame)
{
    const QString guide = appFile(QStringLiteral("QrHelp.html"));
    if (!CHelpWindow::ShowGuide(guide, &frame))
        PromptBox(QStringLiteral("无法打开系统帮助！\n\n请确认帮助文件存在并可读：\n%1").arg(QDir::toNativeSeparators(guide)),
                  &frame);
}

void StartEntryProgram(const char* program)
{
    StartProgram(appFile(QString::fromLatin1(program)), {GetCurrentOperator()->GetOperatorNo()});
}
