#include "CQuillmerApp.h"

#include "CAboutDlg.h"
#include "CChangePasswordDlg.h"
#include "CLoginDlg.h"
#include "CMainFrame.h"
#include "CQuillmerDoc.h"
#include "CQuillmerView.h"
#include "CServerDlg.h"
#include "CStyleDlg.h"
#include "KvAdminCommands.h"
#include "KvLogin.h"
#include "KvMainCommands.h"
#include "KvMessage.h"
#include "KvPrinterPaper.h"
#include "KvSkin.h"

CQuillmerApp::CQuillmerApp(SchemaUpdater updateSchema) : m_updateSchema(std::move(updateSchema)), m_startup(*this) {}

CQuillmerApp::~CQuillmerApp() = default;

bool CQuillmerApp::InitInstance()
{
    return m_startup.InitInstance();
}

int CQuillmerApp::ExitInstance(int exitCode)
{
    m_view = nullptr;
    m_frame.reset();
    m_document.reset();
    return m_startup.ExitInstance(exitCode);
}

void CQuillmerApp::UpdateDatabaseSchema()
{
    if (m_updateSchema)
        m_updateSchema();
}

bool CQuillmerApp::AskLogin(QString& operatorNo, QString& password)
{
    CLoginDlg dialog;
    if (dialog.DoModal() != IDOK)
        return false;
    operatorNo = dialog.GetOperatorNo();
    password = dialog.GetOperatorPw();
    return true;
}

bool CQuillmerApp::AskServerName()
{
    CServerDlg dialog(nullptr, QStringLiteral("设置服务器"));
    return dialog.DoModal() == IDOK;
}

bool CQuillmerApp::CreateMainWindow()
{
    m_document = std::make_unique<CQuillmerDoc>();
    if (!m_document->OnNewDocument())
        return false;
    m_frame = std::make_unique<CMainFrame>();
    m_view = new CQuillmerView(m_frame.get());
    m_frame->setCentralWidget(m_view);

    m_frame->SetCommandHandler(ID_APP_ABOUT, [this] { OnAppAbout(); });
    m_frame->SetCommandHandler(ID_SWITCH_OPERATOR, [this] { OnSwitchOperator(); });
    m_frame->SetCommandHandler(ID_CHANGE_PASSWORD, [this] { OnChangePassword(); });
    m_frame->SetCommandHandler(ID_SWITCH_STYLE, [this] { OnSwitchStyle(); });
    m_frame->SetCommandHandler(ID_SWITCH_BACKGROUND, [this] { m_view->OnChangeBackground(); });
    InstallAdminCommands(*m_frame);
    if (m_installCommands)
        m_installCommands(*m_frame);
    return true;
}

void CQuillmerApp::ShowMainWindow(const QString& title)
{
    m_frame->setWindowTitle(title);
    m_frame->showMaximized();
}

void CQuillmerApp::BuildRightsList()
{
    m_frame->BuildRightsList();
}

void CQuillmerApp::RunFirstSetup()
{
    m_frame->RunFirstSetup();
}

void CQuillmerApp::OnAppAbout()
{
    CAboutDlg dialog;
    dialog.exec();
}

void CQuillmerApp::OnSwitchOperator()
{
    QString operatorNo;
    QString password;
    if (!AskLogin(operatorNo, password))
        return;
    if (!SwitchOperator(operatorNo, password)) {
        PromptBox(KvLoginFailedText());
        return;
    }
    // The title, the first-run set-up and the connections stay as they are.
    if (m_frame)
        m_frame->BuildRightsList();
}

void CQuillmerApp::OnChangePassword()
{
    for (;;) {
        CChangePasswordDlg dialog(nullptr, QStringLiteral("修改密码"));
        if (dialog.DoModal() != IDOK)
            return;
        if (!IsCurrentPassword(dialog.GetOldPassword())) {
            PromptBox(QStringLiteral("原密码错误！"), m_frame.get());
            continue;
        }
        ChangeCurrentPassword(dialog.GetNewPassword());
        PromptBox(QStringLiteral("修改密码成功！"), m_frame.get());
        return;
    }
}

void CQuillmerApp::OnSwitchStyle()
{
    CStyleDlg dialog(nullptr, QStringLiteral("切换风格"));
    if (dialog.DoModal() != IDOK)
        return;
    ApplyStyleChoice(dialog.GetStyleChoice());
}

bool CQuillmerApp::SetPrinterPaper(int mode, short length, short width)
{
    return ::SetPrinterPaper(mode, length, width);
}
