#pragma once

#include "CKvInstanceLock.h"

#include <QDateTime>
#include <QString>

// What the start-up needs of the user interface and of the helper library.
// The program gives the real windows; tests give a script, so that the order
// and every refusal can be checked without a display.
class IKvStartupHost
{
public:
    virtual ~IKvStartupHost() = default;
    // The three calls of the schema helper library, in their order.
    virtual void UpdateDatabaseSchema() = 0;
    // The login dialog; false when it was cancelled (a change of the system
    // clock while it is open counts as a cancel).
    virtual bool AskLogin(QString& operatorNo, QString& password) = 0;
    // Network edition, after the operator chose to try the server again: the
    // server dialog, which stores the name typed; false when it was cancelled.
    virtual bool AskServerName() = 0;
    // The main window with its empty document and home view, not yet shown;
    // false when it cannot be made.
    virtual bool CreateMainWindow() = 0;
    // Sets the title and shows the main window maximised.
    virtual void ShowMainWindow(const QString& title) = 0;
    // The main frame's rights list, then its first-run set-up.
    virtual void BuildRightsList() = 0;
    virtual void RunFirstSetup() = 0;
};

// The order in which the program comes up and goes down.
class CKvStartup
{
public:
    explicit CKvStartup(IKvStartupHost& host);
    ~CKvStartup();
    CKvStartup(const CKvStartup&) = delete;
    CKvStartup& operator=(const CKvStartup&) = delete;

    // Brings the program up; false ends it (after the message of the step that
    // refused, if that step has one). Call ExitInstance in either case.
    bool InitInstance();
    // Releases the single-instance lock and closes the connections.
    int ExitInstance(int exitCode = 0);

    // The profile entry of the sale-machine code shown in the title (an
    // installation value; empty unless set).
    static QString MachineCodeSection() { return QStringLiteral("Installation"); }
    static QString MachineCodeKey() { return QStringLiteral("MachineCode"); }

    static QString ClockQuestion(const QDateTime& now);
    // The main window's title from the local parameters and the machine code;
    // the network edition adds this counter's workstation number.
    static QString MainWindowTitle();

private:
    bool run();
    // A program folder without work/ is a first installation: make the folder
    // and a fresh database in it. A work/ folder is never touched here.
    static bool createFirstInstallation();
    bool openConnections();

    IKvStartupHost& m_host;
    CKvInstanceLock m_lock;
    QDateTime m_clockTime;
};
