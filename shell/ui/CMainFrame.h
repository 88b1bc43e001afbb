#pragma once

#include <QHash>
#include <QMainWindow>
#include <QString>
#include <functional>

class CAdoRecordset;
class CKvReportForm;
class QAction;
class QDockWidget;
class QLabel;
class QMenu;
class QToolBar;
class CNavListBox;
struct KvMainCommand;

// The one main window: the menu and toolbar into all the work of the system,
// each command enabled only while the logged-in operator holds its right. The
// operator's granted rights are kept in a list that is never shown (a hidden
// side bar); a command's right text is looked up in it.
//
// Commands whose work belongs to other subsystems are present and gated here;
// those subsystems hand the frame their handlers through SetCommandHandler.
class CMainFrame : public QMainWindow
{
    Q_OBJECT

public:
    explicit CMainFrame(QWidget* parent = nullptr);
    ~CMainFrame() override;

    // (Re)fills the rights list for the current operator and updates the
    // commands: each granted right in table order, with the header of every
    // group that has at least one of them.
    void BuildRightsList();
    // The set-up after a system initialisation, when the built-in
    // administrator is the first to log in; UseNum becomes 1 in every case.
    void RunFirstSetup();

    // Runs a command as its menu item does: the handler set for it, else the
    // frame's own. A failure that reaches here is shown with its text.
    void RunCommand(int id);
    // Installs (or, with an empty function, removes) the handler of a command.
    void SetCommandHandler(int id, std::function<void()> handler);

    // Enables each command by its right and refreshes the operator pane. Also
    // runs whenever a drop-down of the menu opens.
    void UpdateCommandStates();
    // Whether the current rights allow the command (what its enabling uses).
    bool IsCommandAllowed(int id) const;
    QAction* GetCommandAction(int id) const;
    CNavListBox* GetRightsList() const { return m_rightsList; }

    // The meter-number entry point for other windows: opens the new-account
    // wizard with the number as its hint.
    void OpenNewAccountForMeter(const QString& meterNo);
    // The new-account wizard with a hint (empty from the menu).
    void OpenNewAccount(const QString& hint);
    void SetNewAccountHandler(std::function<void(const QString& hint)> handler);

    // Generates the quota fees of one month and advances FixYearMon past it;
    // the quota-fee command calls it once per missing month.
    using MonthFixFeeGenerator = std::function<void(int yearMonth)>;
    void SetMonthFixFeeGenerator(MonthFixFeeGenerator generator);

    // The queries and statistics; each runs the handler its subsystem set.
    void QueryReceipts();
    void QuerySales();
    void StatSales();
    void QuerySubReadings();
    void StatSubReadings();
    void QueryMeters();
    void QueryQuotaFees();
    void StatQuotaFees();
    void QueryBalances();

    // Lays a query's rows out by a stored report layout (its columns, formatted
    // by the catalogue of its type, and a summary row) and shows them in the
    // result list, captioned "title(condition)". The recordset is an open one of
    // the main connection's pool, on its first row; it is given back on every
    // way out. No rows, no columns or no catalogue: a message, no list.
    void OutputReport(CAdoRecordset* rs, CKvReportForm* layout, const QString& title, const QString& condition);

    // The frame's own command handlers.
    void OnGenerateFixFees();
    void OnNewAccount();
    void OnAppExit();

    // Shown maximised, the frame first takes the screen's available area, so
    // that it also fills the screen where no window manager maximises it.
    void setVisible(bool visible) override;
    // No context menu: it would offer to show the hidden rights list.
    QMenu* createPopupMenu() override { return nullptr; }

private:
    void createMenuAndToolbar();
    void createStatusBar();
    void createSideBar();
    bool runHandler(int id);
    bool isAllowed(const KvMainCommand& command) const;

    QHash<int, QAction*> m_actions;
    QHash<int, std::function<void()>> m_handlers;
    std::function<void(const QString&)> m_newAccount;
    MonthFixFeeGenerator m_generateMonthFixFees;
    QToolBar* m_toolBar = nullptr;
    QLabel* m_operatorPane = nullptr;
    QDockWidget* m_sideBar = nullptr;
    CNavListBox* m_rightsList = nullptr;
};
