#pragma once

#include "CKvStartup.h"

#include <functional>
#include <memory>

class CMainFrame;
class CQuillmerDoc;
class CQuillmerView;

// The application object: brings the program up and down through CKvStartup
// with the real windows, and answers the commands that belong to it (About,
// switching operator, changing the password, the style chooser).
class CQuillmerApp : public IKvStartupHost
{
public:
    // The three calls of the schema helper library; the program passes them,
    // a test may pass its own (or none).
    using SchemaUpdater = std::function<void()>;

    explicit CQuillmerApp(SchemaUpdater updateSchema = {});

    // The menu commands of the subsystems above the shell (master data, sales,
    // queries, devices): the program installs their handlers through this
    // hook, which runs right after the main frame is made and before the
    // first-run set-up runs any command. Without it the frame keeps only the
    // shell's own handlers.
    using CommandInstaller = std::function<void(CMainFrame&)>;
    void SetCommandInstaller(CommandInstaller installer) { m_installCommands = std::move(installer); }
    ~CQuillmerApp() override;
    CQuillmerApp(const CQuillmerApp&) = delete;
    CQuillmerApp& operator=(const CQuillmerApp&) = delete;

    // False ends the program; ExitInstance is due in either case.
    bool InitInstance();
    int ExitInstance(int exitCode = 0);

    CMainFrame* GetMainFrame() const { return m_frame.get(); }
    CQuillmerDoc* GetDocument() const { return m_document.get(); }
    CQuillmerView* GetView() const { return m_view; }

    // Commands of the main frame handled here.
    void OnAppAbout();
    // The login dialog again; a failure leaves the previous operator as he was.
    void OnSwitchOperator();
    // The change-password loop: a wrong old password opens the dialog again.
    void OnChangePassword();
    void OnSwitchStyle();

    // The paper of the next print job (see KvPrinterPaper.h).
    static bool SetPrinterPaper(int mode, short length, short width);

    // IKvStartupHost
    void UpdateDatabaseSchema() override;
    bool AskLogin(QString& operatorNo, QString& password) override;
    bool AskServerName() override;
    bool CreateMainWindow() override;
    void ShowMainWindow(const QString& title) override;
    void BuildRightsList() override;
    void RunFirstSetup() override;

private:
    SchemaUpdater m_updateSchema;
    CommandInstaller m_installCommands;
    CKvStartup m_startup;
    std::unique_ptr<CQuillmerDoc> m_document;
    std::unique_ptr<CMainFrame> m_frame;
    CQuillmerView* m_view = nullptr; // owned by the frame
};
