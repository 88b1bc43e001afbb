#include "CMainFrame.h"

#include "CLockKeyPanes.h"
#include "CNavListBox.h"
#include "COperator.h"
#include "CSysPara.h"
#include "CurrentOperator.h"
#include "KvGuard.h"
#include "KvImages.h"
#include "KvMainCommands.h"
#include "KvMessage.h"
#include "KvRights.h"
#include "SysGlobals.h"

#include <QAction>
#include <QCoreApplication>
#include <QDockWidget>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QScreen>
#include <QStatusBar>
#include <QToolBar>
#include <algorithm>
#include <utility>
#include <vector>

namespace {

QString utf8(const char* text)
{
    return QString::fromUtf8(text);
}

} // namespace

CMainFrame::CMainFrame(QWidget* parent) : QMainWindow(parent)
{
    setObjectName(QStringLiteral("mainFrame"));
    createMenuAndToolbar();
    createStatusBar();
    createSideBar();
    UpdateCommandStates();
}

CMainFrame::~CMainFrame() = default;

void CMainFrame::createMenuAndToolbar()
{
    menuBar()->setObjectName(QStringLiteral("menu128"));
    std::vector<std::pair<int, QAction*>> toolbarActions;
    QMenu* menu = nullptr;
    int groupIndex = 0;
    for (int i = 0; i < GetMainCommandCount(); ++i) {
        const KvMainCommand& command = GetMainCommandTable()[i];
        switch (command.kind) {
        case KvMainCommand::Group:
            menu = menuBar()->addMenu(utf8(command.text));
            menu->setObjectName(QStringLiteral("menu%1").arg(groupIndex++));
            // The nearest thing to the idle-time update of the commands.
            connect(menu, &QMenu::aboutToShow, this, &CMainFrame::UpdateCommandStates);
            break;
        case KvMainCommand::Separator:
            menu->addSeparator();
            break;
        case KvMainCommand::Command:
        case KvMainCommand::ToolbarOnly: {
            auto* action = new QAction(utf8(command.text), this);
            action->setObjectName(QStringLiteral("cmd%1").arg(command.id));
            const int id = command.id;
            connect(action, &QAction::triggered, this, [this, id] { RunCommand(id); });
            if (command.kind == KvMainCommand::Command)
                menu->addAction(action);
            if (command.toolbarIndex >= 0) {
                // The button shows its own, shorter text; the menu keeps the full one.
                action->setIconText(utf8(command.toolbarText));
                action->setIcon(QIcon(KvResourceImage(command.toolbarIcon)));
                toolbarActions.emplace_back(command.toolbarIndex, action);
            }
            m_actions.insert(id, action);
            break;
        }
        }
    }

    m_toolBar = new QToolBar(this);
    m_toolBar->setObjectName(QStringLiteral("toolBar128"));
    m_toolBar->setMovable(true);
    m_toolBar->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
    m_toolBar->setIconSize(QSize(58, 16));
    std::sort(toolbarActions.begin(), toolbarActions.end(),
              [](const auto& a, const auto& b) { return a.first < b.first; });
    for (const auto& [index, action] : toolbarActions) {
        m_toolBar->addAction(action);
        if (QWidget* button = m_toolBar->widgetForAction(action))
            button->setMinimumSize(65, 40);
    }
    addToolBar(Qt::TopToolBarArea, m_toolBar);
}

void CMainFrame::createStatusBar()
{
    QStatusBar* bar = statusBar();
    bar->setObjectName(QStringLiteral("statusBar"));
    m_operatorPane = new QLabel(bar);
    m_operatorPane->setObjectName(QStringLiteral("pane101"));
    m_operatorPane->setMinimumWidth(150);
    bar->addWidget(m_operatorPane);
    auto* pane102 = new QLabel(bar);
    pane102->setObjectName(QStringLiteral("pane102"));
    bar->addWidget(pane102, 1);
    auto* separator = new QLabel(bar);
    separator->setObjectName(QStringLiteral("paneSeparator"));
    separator->setMinimumWidth(50);
    bar->addPermanentWidget(separator);
    new CLockKeyPanes(bar);
}

void CMainFrame::createSideBar()
{
    m_sideBar = new QDockWidget(this);
    m_sideBar->setObjectName(QStringLiteral("sideBar144"));
    m_rightsList = new CNavListBox(m_sideBar);
    m_rightsList->setObjectName(QStringLiteral("c1045"));
    m_rightsList->SetGroupBitmap(KvResourceImage(156));
    m_rightsList->SetEntryBitmap(KvResourceImage(155));
    m_sideBar->setWidget(m_rightsList);
    addDockWidget(Qt::LeftDockWidgetArea, m_sideBar);
}

void CMainFrame::setVisible(bool visible)
{
    if (visible && !isVisible() && (windowState() & Qt::WindowMaximized)) {
        if (QScreen* screen = this->screen())
            setGeometry(screen->availableGeometry());
    }
    QMainWindow::setVisible(visible);
}

void CMainFrame::BuildRightsList()
{
    m_rightsList->clear();
    const QVector<int> rights = GetCurrentOperator()->DuplicateRights();
    // A group header is added with the first granted right after it, so a
    // group without one leaves no header.
    const KvRightEntry* header = nullptr;
    auto add = [this](const KvRightEntry& entry) { m_rightsList->AddRow(utf8(entry.name), entry.id); };
    for (const KvRightEntry* entry = GetRightTable(); entry->id != 0; ++entry) {
        if (IsRightGroupHeader(entry->id)) {
            header = entry;
        } else if (rights.contains(entry->id)) {
            if (header)
                add(*std::exchange(header, nullptr));
            add(*entry);
        }
    }
    m_sideBar->hide();
    UpdateCommandStates();
}

bool CMainFrame::isAllowed(const KvMainCommand& command) const
{
    if (!command.right)
        return true;
    if (command.offStandAlone && GetEdition() == QStringLiteral("单机版"))
        return false;
    return !m_rightsList->findItems(utf8(command.right), Qt::MatchExactly).isEmpty();
}

bool CMainFrame::IsCommandAllowed(int id) const
{
    const KvMainCommand* command = FindMainCommand(id);
    return command && isAllowed(*command);
}

void CMainFrame::UpdateCommandStates()
{
    for (int i = 0; i < GetMainCommandCount(); ++i) {
        const KvMainCommand& command = GetMainCommandTable()[i];
        if (QAction* action = m_actions.value(command.id))
            action->setEnabled(isAllowed(command));
    }
    m_operatorPane->setEnabled(true);
    m_operatorPane->setText(QStringLiteral("当前操作员：%1").arg(GetCurrentOperator()->GetOperatorName()));
}

QAction* CMainFrame::GetCommandAction(int id) const
{
    return m_actions.value(id);
}

void CMainFrame::SetCommandHandler(int id, std::function<void()> handler)
{
    if (handler)
        m_handlers.insert(id, std::move(handler));
    else
        m_handlers.remove(id);
}

bool CMainFrame::runHandler(int id)
{
    const auto found = m_handlers.constFind(id);
    if (found == m_handlers.constEnd())
        return false;
    // A copy: the handler may replace itself while it runs.
    const std::function<void()> handler = found.value();
    handler();
    return true;
}

void CMainFrame::RunCommand(int id)
{
    // Nothing may unwind through the event loop: a failure is shown and the
    // frame goes on.
    KvGuard(
        [this, id] {
            if (runHandler(id))
                return;
            const KvMainCommand* command = FindMainCommand(id);
            if (command && command->handler)
                (this->*(command->handler))();
        },
        this);
}

void CMainFrame::RunFirstSetup()
{
    CSysPara* para = GetMainSysPara();
    if (para->GetIntPara(QStringLiteral("UseNum")) == 0 &&
        GetCurrentOperator()->GetOperatorNo() == QStringLiteral("qz")) {
        para->SetIntPara(QStringLiteral("FixYearMon"), GetServerYearMonth());
        para->SetLastBackDate(GetServerDate());
        // Each step runs whether or not the one before was cancelled.
        RunCommand(ID_CHANGE_PASSWORD);
        RunCommand(ID_SYSPARA);
        RunCommand(ID_METER_TYPE_ORDER);
        RunCommand(ID_PRICE_LIST);
        if (GetEdition() == QStringLiteral("网络版")) {
            RunCommand(ID_STATIONS);
            RunCommand(ID_SELECT_STATION);
        }
        PromptBox(QStringLiteral("请在下一窗口创建新操作员并赋予适当权限！\n\n然后退出系统，以新操作员重新登录。\n\n"
                                 "新操作员的默认密码是724613，请登录后修改之！"),
                  this);
        RunCommand(ID_OPERATORS);
    }
    para->SetIntPara(QStringLiteral("UseNum"), 1);
}

void CMainFrame::OpenNewAccountForMeter(const QString& meterNo)
{
    OpenNewAccount(meterNo);
}

void CMainFrame::OpenNewAccount(const QString& hint)
{
    if (m_newAccount)
        m_newAccount(hint);
}

void CMainFrame::SetNewAccountHandler(std::function<void(const QString& hint)> handler)
{
    m_newAccount = std::move(handler);
}

void CMainFrame::SetMonthFixFeeGenerator(MonthFixFeeGenerator generator)
{
    m_generateMonthFixFees = std::move(generator);
}

void CMainFrame::OnGenerateFixFees()
{
    if (!m_generateMonthFixFees)
        return; // the generation is not part of this build yet
    CSysPara* para = GetMainSysPara();
    const int currentMonth = GetServerYearMonth();
    int quotaMonth = para->GetIntPara(QStringLiteral("FixYearMon"));
    if (currentMonth < quotaMonth) {
        PromptBox(QStringLiteral("系统时间发生错误！请调整系统时间"));
        return;
    }
    if (currentMonth == quotaMonth) {
        PromptBox(QStringLiteral("当前没有要生成的定额收费数据！"));
        return;
    }
    PromptBox(QStringLiteral("确认后，系统将计算定额收费，请稍等！"));
    // FixYearMon is the first month not yet generated; each call generates it
    // and moves it on by one month. A month that did not move it ends the loop
    // rather than generating it again.
    while (currentMonth > quotaMonth) {
        m_generateMonthFixFees(quotaMonth);
        const int next = para->GetIntPara(QStringLiteral("FixYearMon"));
        if (next <= quotaMonth)
            break;
        quotaMonth = next;
    }
}

void CMainFrame::OnNewAccount()
{
    OpenNewAccount(QString());
}

void CMainFrame::OnAppExit()
{
    QCoreApplication::exit(0);
}

void CMainFrame::QueryReceipts()
{
    runHandler(ID_QUERY_RECEIPTS);
}

void CMainFrame::QuerySales()
{
    runHandler(ID_QUERY_SALES);
}

void CMainFrame::StatSales()
{
    runHandler(ID_STAT_SALES);
}

void CMainFrame::QuerySubReadings()
{
    runHandler(ID_QUERY_SUBREADINGS);
}

void CMainFrame::StatSubReadings()
{
    runHandler(ID_STAT_SUBREADINGS);
}

void CMainFrame::QueryMeters()
{
    runHandler(ID_QUERY_METERS);
}

void CMainFrame::QueryQuotaFees()
{
    runHandler(ID_QUERY_QUOTAFEES);
}

void CMainFrame::StatQuotaFees()
{
    runHandler(ID_STAT_QUOTAFEES);
}

void CMainFrame::QueryBalances()
{
    runHandler(ID_QUERY_BALANCES);
}
