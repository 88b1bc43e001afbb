#include "CKvException.h"
#include "CLockKeyPanes.h"
#include "CMainFrame.h"
#include "CNavListBox.h"
#include "COperator.h"
#include "CSysPara.h"
#include "CurrentOperator.h"
#include "KvFreshDatabase.h"
#include "KvMainCommands.h"
#include "SysGlobals.h"

#include <QAction>
#include <QApplication>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QLabel>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QScreen>
#include <QSet>
#include <QTest>
#include <QToolBar>
#include <gtest/gtest.h>

namespace {

// Every command of the menu and the toolbar.
QList<int> allCommandIds()
{
    QList<int> ids;
    for (int i = 0; i < GetMainCommandCount(); ++i) {
        const KvMainCommand& c = GetMainCommandTable()[i];
        if (c.kind == KvMainCommand::Command || c.kind == KvMainCommand::ToolbarOnly)
            ids << c.id;
    }
    return ids;
}

const QList<int> kAlwaysEnabled = {ID_CHANGE_PASSWORD, ID_SWITCH_OPERATOR, ID_SWITCH_STYLE, ID_SWITCH_BACKGROUND,
                                   ID_APP_ABOUT,       ID_HELP_FILE,       ID_APP_EXIT};
const QList<int> kNetworkOnly = {ID_STATIONS, ID_SELECT_STATION, ID_SERVER};

bool networkEdition()
{
    return GetEdition() == QStringLiteral("网络版");
}

class MainFrameTest : public ::testing::Test
{
protected:
    MainFrameTest() { ResetCurrentOperator(); }
    ~MainFrameTest() override { ResetCurrentOperator(); }

    void logIn(const QString& name, const QVector<int>& rights)
    {
        GetCurrentOperator()->SetOperatorName(name);
        GetCurrentOperator()->SetRights(rights);
        frame.BuildRightsList();
    }
    bool enabled(int id)
    {
        QAction* action = frame.findChild<QAction*>(QStringLiteral("cmd%1").arg(id));
        EXPECT_NE(action, nullptr) << id;
        return action && action->isEnabled();
    }
    QStringList rightsList()
    {
        QStringList rows;
        for (int i = 0; i < frame.GetRightsList()->count(); ++i) {
            const QListWidgetItem* item = frame.GetRightsList()->item(i);
            rows << QStringLiteral("%1 %2").arg(item->data(Qt::UserRole).toInt()).arg(item->text());
        }
        return rows;
    }
    // A drop-down as its item texts, "-" for a separator.
    QStringList menuTexts(int index)
    {
        QStringList texts;
        const QList<QAction*> groups = frame.menuBar()->actions();
        for (QAction* a : groups.at(index)->menu()->actions())
            texts << (a->isSeparator() ? QStringLiteral("-") : a->text());
        return texts;
    }

    CRecordingMessageSink sink;
    CMainFrame frame;
};

} // namespace

TEST_F(MainFrameTest, MenuHoldsEveryCommandInItsGroupWithItsSeparators)
{
    QStringList titles;
    for (QAction* a : frame.menuBar()->actions())
        titles << a->text();
    EXPECT_EQ(titles, (QStringList{"售电管理", "档案管理", "编程器管理", "价目管理", "系统管理", "帮助(&H)"}));
    EXPECT_EQ(menuTexts(0), (QStringList{"售电服务", "手持售电机", "收据发票", "-", "售电查询", "售电统计", "-",
                                         "附表抄收查询", "附表抄收统计", "-", "定额查询", "定额统计", "写特殊卡", "-",
                                         "手工附表录入", "其他费录入", "生成定额收费", "-", "余额查询统计"}));
    EXPECT_EQ(menuTexts(1), (QStringList{"新表开户", "维护档案", "-", "电表查询"}));
    EXPECT_EQ(menuTexts(2), (QStringList{"电表抄表器管理", "附表抄表器管理"}));
    EXPECT_EQ(menuTexts(3), (QStringList{"价目维护"}));
    EXPECT_EQ(menuTexts(4),
              (QStringList{"修改密码",   "切换操作员",   "切换风格",   "切换背景",        "-",          "小区管理",
                           "楼幢管理",   "部门管理",     "工作站管理", "设置工作站",      "设置服务器", "-",
                           "操作员管理", "设置系统参数", "系统初始化", "维护表型",        "表型排序",   "-",
                           "备份数据",   "恢复数据",     "-",          "附表价目类型管理"}));
    EXPECT_EQ(menuTexts(5), (QStringList{"关于 Quillmer(&A)...", "系统帮助"}));

    // Each menu item is the action named after its command id.
    const QList<std::pair<int, const char*>> samples = {
        {32771, "表型排序"},     {32772, "售电服务"}, {32773, "新表开户"}, {32782, "附表价目类型管理"},
        {32789, "生成定额收费"}, {32808, "备份数据"}, {32816, "写特殊卡"}, {57664, "关于 Quillmer(&A)..."}};
    for (const auto& [id, text] : samples) {
        QAction* action = frame.findChild<QAction*>(QStringLiteral("cmd%1").arg(id));
        ASSERT_NE(action, nullptr) << id;
        EXPECT_EQ(action->text(), QString::fromUtf8(text));
    }
    EXPECT_EQ(allCommandIds().size(), 41);
}

TEST_F(MainFrameTest, ToolbarHasTheTenButtonsInOrder)
{
    auto* toolBar = frame.findChild<QToolBar*>(QStringLiteral("toolBar128"));
    ASSERT_NE(toolBar, nullptr);
    QStringList buttons;
    for (QAction* a : toolBar->actions())
        buttons << QStringLiteral("%1 %2").arg(a->objectName(), a->iconText());
    EXPECT_EQ(buttons, (QStringList{"cmd32772 售电服务", "cmd32792 售电查询", "cmd32793 售电统计", "cmd32794 附收查询",
                                    "cmd32795 附收统计", "cmd32773 新表开户", "cmd32797 电表查询", "cmd32808 数据备份",
                                    "cmd32802 系统帮助", "cmd32806 退出系统"}));
    // Each button shows its own drawn icon, none the same as another.
    QSet<qint64> icons;
    for (QAction* a : toolBar->actions()) {
        const QImage image = a->icon().pixmap(16, 16).toImage();
        EXPECT_FALSE(image.isNull()) << a->objectName().toStdString();
        icons.insert(image.cacheKey() ^ qHashBits(image.constBits(), image.sizeInBytes()));
    }
    EXPECT_EQ(icons.size(), 10);
    auto* rights = frame.findChild<CNavListBox*>(QStringLiteral("c1045"));
    ASSERT_NE(rights, nullptr);
    EXPECT_EQ(rights->GetGroupBitmap().size(), QSize(16, 16));
    EXPECT_EQ(rights->GetEntryBitmap().size(), QSize(16, 16));
    EXPECT_FALSE(QApplication::windowIcon().isNull());
}

TEST_F(MainFrameTest, CommandsFollowTheOperatorsRights)
{
    logIn(QStringLiteral("张三"), {101, 205, 511, 514, 118, 117});
    const QList<std::pair<int, bool>> expected = {
        {ID_SALE_SERVICE, true},         // 售电服务
        {ID_QUERY_METERS, true},         // by 住户电表查询
        {ID_BACKUP, true},               // by 数据备份
        {ID_GENERATE_FIXFEES, true},     // 生成定额收费
        {ID_RESTORE, false},             // 数据恢复 not held
        {ID_NEW_ACCOUNT, false},         // 新住户配表 not held
        {ID_QUERY_SALES, false},         //
        {ID_OPERATORS, false},           //
        {ID_STATIONS, networkEdition()}, // held; off in the stand-alone edition
        {ID_HANDHELD_SALE, false},       // no such right at all
        {ID_CHANGE_PASSWORD, true},      // always
    };
    for (const auto& [id, on] : expected)
        EXPECT_EQ(enabled(id), on) << id;

    // A switch to an operator with fewer rights greys the commands at once.
    logIn(QStringLiteral("李四"), {511});
    EXPECT_FALSE(enabled(ID_SALE_SERVICE));
    EXPECT_TRUE(enabled(ID_BACKUP));
    auto* pane = frame.findChild<QLabel*>(QStringLiteral("pane101"));
    ASSERT_NE(pane, nullptr);
    EXPECT_EQ(pane->text(), QStringLiteral("当前操作员：李四"));
}

TEST_F(MainFrameTest, WithoutRightsOnlyTheAlwaysEnabledCommandsAreOn)
{
    logIn(QStringLiteral("nobody"), {});
    for (int id : allCommandIds())
        EXPECT_EQ(enabled(id), kAlwaysEnabled.contains(id)) << id;
    EXPECT_EQ(frame.GetRightsList()->count(), 0);
}

TEST_F(MainFrameTest, WithEveryRightAllButTheHandheldMachineAreOnAndTheServerCommandsOnlyInTheNetworkEdition)
{
    QVector<int> all;
    for (int id = 101; id < 600; ++id)
        if (id % 100 != 0)
            all << id;
    logIn(QStringLiteral("all"), all);
    for (int id : allCommandIds())
        EXPECT_EQ(enabled(id), (networkEdition() || !kNetworkOnly.contains(id)) && id != ID_HANDHELD_SALE) << id;

    // The three commands follow their own rights in the network edition.
    logIn(QStringLiteral("station only"), {514});
    EXPECT_EQ(enabled(ID_STATIONS), networkEdition());
    EXPECT_FALSE(enabled(ID_SELECT_STATION));
    EXPECT_FALSE(enabled(ID_SERVER));
}

TEST_F(MainFrameTest, TheServerCommandsAreReachedThroughTheMenuOnlyInTheNetworkEdition)
{
    logIn(QStringLiteral("admin"), {514, 515, 518});
    frame.show();
    QStringList opened;
    for (int id : kNetworkOnly)
        frame.SetCommandHandler(id, [&opened, id] { opened << QString::number(id); });
    QMenuBar* menuBar = frame.menuBar();
    for (int id : kNetworkOnly) {
        QAction* action = frame.findChild<QAction*>(QStringLiteral("cmd%1").arg(id));
        ASSERT_NE(action, nullptr);
        // The drop-down that holds the command, opened and clicked as a user does.
        QMenu* menu = nullptr;
        for (QAction* top : menuBar->actions())
            if (top->menu() && top->menu()->actions().contains(action))
                menu = top->menu();
        ASSERT_NE(menu, nullptr) << id;
        menu->popup(frame.mapToGlobal(QPoint(0, 0)));
        ASSERT_TRUE(QTest::qWaitForWindowExposed(menu));
        QTest::mouseClick(menu, Qt::LeftButton, {}, menu->actionGeometry(action).center());
        menu->hide();
    }
    const QStringList expected =
        networkEdition()
            ? QStringList{QString::number(ID_STATIONS), QString::number(ID_SELECT_STATION), QString::number(ID_SERVER)}
            : QStringList{};
    EXPECT_EQ(opened, expected);
}

TEST_F(MainFrameTest, RightsListKeepsTableOrderAndOnlyGroupsWithAGrantedRight)
{
    logIn(QStringLiteral("a"), {511, 205, 117, 101, 999});
    EXPECT_EQ(rightsList(), (QStringList{"100 售电管理", "101 售电服务", "117 清卡", "200 档案管理", "205 住户电表查询",
                                         "500 系统管理", "511 数据备份"}));
    EXPECT_TRUE(frame.findChild<QWidget*>(QStringLiteral("sideBar144"))->isHidden());
    EXPECT_EQ(frame.createPopupMenu(), nullptr) << "no context menu can show the hidden list";

    logIn(QStringLiteral("b"), {511});
    EXPECT_EQ(rightsList(), (QStringList{"500 系统管理", "511 数据备份"}));
    logIn(QStringLiteral("c"), {401});
    EXPECT_EQ(rightsList(), (QStringList{"400 价目管理", "401 价目维护"}));
}

TEST_F(MainFrameTest, CommandsRunTheHandlerSetForThem)
{
    logIn(QStringLiteral("a"), {101, 201, 103});
    QStringList calls;
    frame.SetCommandHandler(ID_SALE_SERVICE, [&] { calls << "sale"; });
    frame.SetCommandHandler(ID_QUERY_SALES, [&] { calls << "query"; });
    frame.SetNewAccountHandler([&](const QString& hint) { calls << "new:" + hint; });
    frame.GetCommandAction(ID_SALE_SERVICE)->trigger();
    frame.GetCommandAction(ID_QUERY_SALES)->trigger();
    frame.QuerySales();
    frame.GetCommandAction(ID_NEW_ACCOUNT)->trigger();
    frame.OpenNewAccountForMeter(QStringLiteral("12345678"));
    // Nothing behind them yet: nothing happens, nothing is shown.
    frame.GetCommandAction(ID_QUERY_BALANCES)->trigger();
    frame.RunCommand(ID_OPERATORS);
    EXPECT_EQ(calls, (QStringList{"sale", "query", "query", "new:", "new:12345678"}));
    EXPECT_TRUE(sink.Messages().empty());

    // A failure that reaches the command is shown and the frame goes on.
    frame.SetCommandHandler(ID_SALE_SERVICE,
                            [] { throw CKvException(QStringLiteral("向数据库增加用户时发生错误！")); });
    frame.GetCommandAction(ID_SALE_SERVICE)->trigger();
    EXPECT_EQ(sink.Texts(), (QStringList{"向数据库增加用户时发生错误！"}));
}

TEST_F(MainFrameTest, ShownMaximisedItFillsTheScreensAvailableArea)
{
    // Without a window manager a maximised window would keep its small
    // default size; the frame sizes itself first.
    frame.showMaximized();
    QScreen* screen = frame.screen();
    ASSERT_NE(screen, nullptr);
    QElapsedTimer waited;
    waited.start();
    while (frame.frameGeometry() != screen->availableGeometry() && waited.elapsed() < 2000)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
    EXPECT_EQ(frame.frameGeometry(), screen->availableGeometry());
    frame.hide();
}

namespace {

class MainFrameDbTest : public FreshDatabaseTest
{
protected:
    int fixYearMon() { return GetMainSysPara()->GetIntPara(QStringLiteral("FixYearMon")); }
    void setFixYearMon(int month) { GetMainSysPara()->SetIntPara(QStringLiteral("FixYearMon"), month); }

    CMainFrame frame;
    QList<int> generated;
    // A stand-in generation that does what the real one promises: one month,
    // then FixYearMon moves on by one.
    void installGenerator()
    {
        frame.SetMonthFixFeeGenerator([this](int month) {
            generated << month;
            setFixYearMon(month % 100 == 12 ? month + 89 : month + 1);
        });
    }
};

} // namespace

TEST_F(MainFrameDbTest, QuotaFeesAreGeneratedForEveryMissedMonthOldestFirst)
{
    // The clock stands in December 2026.
    installGenerator();
    setFixYearMon(202610);
    frame.RunCommand(ID_GENERATE_FIXFEES);
    EXPECT_EQ(generated, (QList<int>{202610, 202611}));
    EXPECT_EQ(fixYearMon(), 202612);
    EXPECT_EQ(sink.Texts(), (QStringList{"确认后，系统将计算定额收费，请稍等！"}));

    sink.Clear();
    frame.RunCommand(ID_GENERATE_FIXFEES);
    EXPECT_EQ(generated.size(), 2);
    EXPECT_EQ(sink.Texts(), (QStringList{"当前没有要生成的定额收费数据！"}));

    // Across a year end.
    generated.clear();
    setFixYearMon(202511);
    frame.RunCommand(ID_GENERATE_FIXFEES);
    EXPECT_EQ(generated.size(), 13);
    EXPECT_EQ(generated.mid(0, 3), (QList<int>{202511, 202512, 202601}));
    EXPECT_EQ(fixYearMon(), 202612);

    sink.Clear();
    generated.clear();
    setFixYearMon(202701);
    frame.RunCommand(ID_GENERATE_FIXFEES);
    EXPECT_TRUE(generated.isEmpty());
    EXPECT_EQ(sink.Texts(), (QStringList{"系统时间发生错误！请调整系统时间"}));
}

TEST_F(MainFrameDbTest, QuotaFeeLoopStopsWhenAMonthDoesNotAdvance)
{
    setFixYearMon(202609);
    int calls = 0;
    frame.SetMonthFixFeeGenerator([&](int) { ++calls; }); // leaves FixYearMon as it was
    frame.RunCommand(ID_GENERATE_FIXFEES);
    EXPECT_EQ(calls, 1);

    calls = 0;
    frame.SetMonthFixFeeGenerator([&](int) {
        ++calls;
        throw CKvException(QStringLiteral("生成定额收费时发生错误！"));
    });
    sink.Clear();
    frame.RunCommand(ID_GENERATE_FIXFEES);
    EXPECT_EQ(calls, 1);
    EXPECT_EQ(fixYearMon(), 202609);
    EXPECT_EQ(sink.Texts().last(), QStringLiteral("生成定额收费时发生错误！"));
}

TEST_F(MainFrameDbTest, QuotaFeeCommandDoesNothingUntilTheGenerationExists)
{
    setFixYearMon(202609);
    frame.RunCommand(ID_GENERATE_FIXFEES);
    EXPECT_TRUE(sink.Messages().empty());
    EXPECT_EQ(fixYearMon(), 202609);
}

TEST_F(MainFrameDbTest, FirstSetupRunsOnceForTheAdministrator)
{
    QStringList steps;
    for (int id : {ID_CHANGE_PASSWORD, ID_SYSPARA, ID_METER_TYPE_ORDER, ID_PRICE_LIST, ID_STATIONS, ID_SELECT_STATION,
                   ID_OPERATORS})
        frame.SetCommandHandler(id, [&steps, id] { steps << QString::number(id); });
    // A cancelled or failed step does not stop the set-up.
    frame.SetCommandHandler(ID_SYSPARA, [&] {
        steps << QString::number(ID_SYSPARA);
        throw CKvException(QStringLiteral("x"));
    });
    setFixYearMon(202601);
    GetMainSysPara()->SetLastBackDate(QDateTime(QDate(2026, 1, 1), QTime(0, 0)));
    ASSERT_EQ(GetMainSysPara()->GetIntPara(QStringLiteral("UseNum")), 0);

    GetCurrentOperator()->SetOperatorNo(QStringLiteral("qz"));
    frame.RunFirstSetup();
    // The network edition adds the workstations and this counter's own one.
    const QStringList expected = networkEdition()
                                     ? QStringList{"32778", "32799", "32771", "32776", "32814", "32815", "32777"}
                                     : QStringList{"32778", "32799", "32771", "32776", "32777"};
    EXPECT_EQ(steps, expected);
    EXPECT_EQ(sink.Texts().last(),
              QStringLiteral("请在下一窗口创建新操作员并赋予适当权限！\n\n然后退出系统，以新操作员重新登录。\n\n"
                             "新操作员的默认密码是724613，请登录后修改之！"));
    EXPECT_EQ(fixYearMon(), 202612);
    EXPECT_EQ(GetMainSysPara()->GetLastBackDate().date(), QDate(2026, 12, 10));
    EXPECT_EQ(GetMainSysPara()->GetIntPara(QStringLiteral("UseNum")), 1);

    steps.clear();
    frame.RunFirstSetup();
    EXPECT_TRUE(steps.isEmpty());
}

TEST_F(MainFrameDbTest, FirstSetupIsSkippedForGoodWhenAnotherOperatorComesFirst)
{
    QStringList steps;
    frame.SetCommandHandler(ID_CHANGE_PASSWORD, [&] { steps << "pw"; });
    GetCurrentOperator()->SetOperatorNo(QStringLiteral("op1"));
    frame.RunFirstSetup();
    EXPECT_EQ(GetMainSysPara()->GetIntPara(QStringLiteral("UseNum")), 1);
    GetCurrentOperator()->SetOperatorNo(QStringLiteral("qz"));
    frame.RunFirstSetup();
    EXPECT_TRUE(steps.isEmpty());
    EXPECT_TRUE(sink.Messages().empty());
}

TEST(MainFrameLockKeys, PanesFollowTheLockKeysAndStayGreyWhereNoStateIsTold)
{
    CRecordingMessageSink sink;
    ResetCurrentOperator();
    // Offscreen there is no display to ask and the panes are greyed; an X
    // display tells the state of its keyboard.
    EXPECT_EQ(CLockKeyPanes::ReadState().has_value(), QGuiApplication::platformName() == QLatin1String("xcb"));

    std::optional<LockKeyState> display = LockKeyState{true, false, true};
    CLockKeyPanes::SetReader([&display] { return display; });
    {
        CMainFrame frame;
        frame.show();
        frame.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&frame));
        auto lit = [&frame] {
            QString on;
            for (const char* name : {"paneCaps", "paneNum", "paneScroll"}) {
                auto* pane = frame.findChild<QLabel*>(QString::fromUtf8(name));
                on += pane && pane->isEnabled() ? QLatin1Char('1') : QLatin1Char('0');
            }
            return on;
        };
        EXPECT_EQ(lit(), QStringLiteral("101"));
        auto* caps = frame.findChild<QLabel*>(QStringLiteral("paneCaps"));
        ASSERT_NE(caps, nullptr);
        EXPECT_EQ(caps->text(), QStringLiteral("大写"));

        // The operator presses Num Lock and Caps Lock: the panes follow at the key.
        QWidget* target = QApplication::focusWidget() ? QApplication::focusWidget() : &frame;
        display = LockKeyState{false, true, true};
        QTest::keyClick(target, Qt::Key_NumLock);
        EXPECT_EQ(lit(), QStringLiteral("011"));

        // A display that stops telling the state leaves every pane greyed.
        display.reset();
        QTest::keyClick(target, Qt::Key_ScrollLock);
        EXPECT_EQ(lit(), QStringLiteral("000"));
    }
    CLockKeyPanes::SetReader(nullptr);
    ResetCurrentOperator();
}
