#include "CAdoConnection.h"
#include "CHelpWindow.h"
#include "CKvStartup.h"
#include "CMainFrame.h"
#include "COperator.h"
#include "CSysPara.h"
#include "CurrentOperator.h"
#include "KvAdminCommands.h"
#include "KvClock.h"
#include "KvFileChooser.h"
#include "KvFreshDatabase.h"
#include "KvMainCommands.h"
#include "KvModalScript.h"
#include "KvUtil.h"
#include "SysGlobals.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTextBrowser>
#include <QTimer>
#include <gtest/gtest.h>

namespace {

struct StartedProgram
{
    QString program;
    QStringList arguments;
    bool operator==(const StartedProgram&) const = default;
};

void PrintTo(const StartedProgram& p, std::ostream* os)
{
    *os << p.program.toStdString() << " " << p.arguments.join(' ').toStdString();
}

// The administrator at the main window; the outside programs and the file
// chooser answered by the test.
class AdminCommandTest : public FreshDatabaseTest
{
protected:
    AdminCommandTest()
    {
        GetCurrentOperator()->SetOperatorNo(QStringLiteral("qz"));
        InstallAdminCommands(frame);
        m_previousStarter = SetProgramStarter([this](const QString& program, const QStringList& arguments) {
            started.push_back({program, arguments});
            return true;
        });
        m_previousChooser = SetFileChooser([this](QWidget*, const KvFileRequest& request) {
            requests.push_back(request);
            return chosenFile;
        });
    }
    ~AdminCommandTest() override
    {
        SetProgramStarter(m_previousStarter);
        SetFileChooser(m_previousChooser);
    }

    // Runs a command inside the event loop; true when it ended the program.
    bool endsTheProgram(int id)
    {
        QTimer stop;
        stop.setSingleShot(true);
        QObject::connect(&stop, &QTimer::timeout, [] { QCoreApplication::exit(99); });
        QTimer::singleShot(0, &frame, [&] {
            frame.RunCommand(id);
            stop.start(300);
        });
        return QCoreApplication::exec() == 0;
    }
    QString appFile(const QString& name) const { return QDir(fresh.AppDir()).filePath(name); }
    QString para(const char* column)
    {
        return fresh.Value(QStringLiteral("select %1 from SysPara").arg(QString::fromLatin1(column)));
    }

    CMainFrame frame;
    std::vector<StartedProgram> started;
    std::vector<KvFileRequest> requests;
    QString chosenFile;
    QTemporaryDir outside;

private:
    KvProgramStarter m_previousStarter;
    KvFileChooser m_previousChooser;
};

} // namespace

TEST_F(AdminCommandTest, EachDialogCommandOpensItsDialog)
{
    const std::pair<int, const char*> commands[] = {
        {ID_STATIONS, "dlg226"},  {ID_SELECT_STATION, "dlg222"}, {ID_SERVER, "dlg225"},
        {ID_OPERATORS, "dlg141"}, {ID_SYSPARA, "dlg179"},
    };
    for (const auto& [id, dialog] : commands) {
        SCOPED_TRACE(id);
        CModalScript script;
        script.Then([](QWidget* opened) { opened->close(); });
        frame.RunCommand(id);
        EXPECT_EQ(script.Seen(), QStringList{QString::fromUtf8(dialog)});
    }
    EXPECT_TRUE(sink.Texts().isEmpty()) << sink.Texts().join('|').toStdString();
}

TEST_F(AdminCommandTest, ChoosingTheWorkstationSetsTheTitleAgain)
{
    frame.setWindowTitle(QStringLiteral("old"));
    CModalScript script;
    script.Then([](QWidget* opened) { CModalScript::Click(opened, 1021); });
    frame.RunCommand(ID_SELECT_STATION);
    EXPECT_EQ(frame.windowTitle(), CKvStartup::MainWindowTitle());
}

TEST_F(AdminCommandTest, BackupWritesTheChosenFileAndNotesTheDay)
{
    KvClock::SetFixed(QDateTime(QDate(2026, 12, 25), QTime(14, 30, 0)));
    db().Execute(QStringLiteral("insert into Station(StationNo, StationName) values('03', '东门')"), QString());

    // Cancelled: nothing happens.
    frame.RunCommand(ID_BACKUP);
    ASSERT_EQ(requests.size(), 1u);
    EXPECT_EQ(requests[0].mode, KvFileRequest::SaveFile);
    EXPECT_EQ(requests[0].title, QStringLiteral("备份到..."));
    EXPECT_EQ(requests[0].initialPath, appFile(QStringLiteral("backup/Qrdb2612251430.db")));
    EXPECT_TRUE(QFileInfo(appFile(QStringLiteral("backup"))).isDir()) << "the default folder exists";
    EXPECT_TRUE(sink.Texts().isEmpty());
    EXPECT_EQ(para("LastBackDate"), QStringLiteral("2026-12-10"));

    // Into a folder that does not exist: failure, the date stays.
    chosenFile = outside.filePath(QStringLiteral("missing/copy.db"));
    frame.RunCommand(ID_BACKUP);
    EXPECT_EQ(sink.Texts(), QStringList{QStringLiteral("备份失败！")});
    EXPECT_EQ(para("LastBackDate"), QStringLiteral("2026-12-10"));

    sink.Clear();
    chosenFile = outside.filePath(QStringLiteral("copy.db"));
    QDir::setCurrent(outside.path());
    frame.RunCommand(ID_BACKUP);
    EXPECT_EQ(sink.Texts(), QStringList{QStringLiteral("备份成功！")});
    EXPECT_EQ(para("LastBackDate"), QStringLiteral("2026-12-25"));
    EXPECT_EQ(QDir::currentPath(), QDir(fresh.AppDir()).canonicalPath()) << "the program folder is current again";
    CAdoConnection copy;
    copy.Open(0, chosenFile);
    EXPECT_TRUE(copy.RecordExists(QStringLiteral("select * from Station where StationNo = '03'"), QString()));
}

TEST_F(AdminCommandTest, RestoreEndsTheProgramOnlyOnceAFileWasChosen)
{
    // Cancelled: the connection stays open and the program runs on.
    EXPECT_FALSE(endsTheProgram(ID_RESTORE));
    ASSERT_EQ(requests.size(), 1u);
    EXPECT_EQ(requests[0].mode, KvFileRequest::OpenFile);
    EXPECT_EQ(requests[0].title, QStringLiteral("选择备份文件"));
    EXPECT_EQ(requests[0].initialPath, appFile(QStringLiteral("backup/Qrdb")));
    EXPECT_TRUE(GetLocalDatabase()->IsOpen());

    // A damaged file: refused, the live database untouched, the program ends.
    chosenFile = outside.filePath(QStringLiteral("broken.db"));
    {
        QFile broken(chosenFile);
        ASSERT_TRUE(broken.open(QIODevice::WriteOnly));
        broken.write(QByteArray(8192, '\x07'));
    }
    db().Execute(QStringLiteral("update SysPara set ClientName = 'live'"), QString());
    EXPECT_TRUE(endsTheProgram(ID_RESTORE));
    EXPECT_EQ(sink.Texts(), QStringList{QStringLiteral("恢复失败！")});
    EXPECT_EQ(para("ClientName"), QStringLiteral("live"));

    // A backup made by the backup command: restored, and the program ends.
    sink.Clear();
    chosenFile = outside.filePath(QStringLiteral("good.db"));
    frame.RunCommand(ID_BACKUP);
    EXPECT_EQ(sink.Texts(), QStringList{QStringLiteral("备份成功！")});
    db().Execute(QStringLiteral("update SysPara set ClientName = 'after the backup'"), QString());
    sink.Clear();
    EXPECT_TRUE(endsTheProgram(ID_RESTORE));
    EXPECT_EQ(sink.Texts(), QStringList{QStringLiteral("恢复成功！")});
    EXPECT_FALSE(GetLocalDatabase()->IsOpen());
    OpenProgramDatabase();
    EXPECT_EQ(para("ClientName"), QStringLiteral("live"));
}

TEST_F(AdminCommandTest, HelpOpensInAWindowOrSaysWhereTheFileIsAndEntryProgramsStartWithoutWaiting)
{
    // No guide yet: the operator is told which file is missing; no program starts.
    frame.RunCommand(ID_HELP_FILE);
    frame.RunCommand(ID_MANUAL_SUBMETER);
    EXPECT_TRUE(started.empty());
    ASSERT_EQ(sink.Texts().size(), 1);
    EXPECT_TRUE(sink.Texts().at(0).startsWith(QStringLiteral("无法打开系统帮助！")));
    EXPECT_TRUE(sink.Texts().at(0).contains(QDir::toNativeSeparators(appFile(QStringLiteral("QrHelp.html")))));
    EXPECT_EQ(CHelpWindow::Current(), nullptr);
    sink.Clear();

    {
        QFile f(appFile(QStringLiteral("QrHelp.html")));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(QStringLiteral("<html><body><h1>备份数据</h1></body></html>").toUtf8());
    }
    for (const char* file : {"Saldrin", "Corvello"}) {
        QFile f(appFile(QString::fromLatin1(file)));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    }
    QDir::setCurrent(outside.path());
    // The guide shows in the program's own window, without any outside opener.
    frame.RunCommand(ID_HELP_FILE);
    CHelpWindow* help = CHelpWindow::Current();
    ASSERT_NE(help, nullptr);
    EXPECT_TRUE(help->isVisible());
    EXPECT_TRUE(help->Browser()->toPlainText().contains(QStringLiteral("备份数据")));
    // A second call raises the same window.
    frame.RunCommand(ID_HELP_FILE);
    EXPECT_EQ(CHelpWindow::Current(), help);
    frame.RunCommand(ID_MANUAL_SUBMETER);
    frame.RunCommand(ID_OTHER_FEE);
    const std::vector<StartedProgram> expected = {
        {appFile(QStringLiteral("Saldrin")), {QStringLiteral("qz")}},
        {appFile(QStringLiteral("Corvello")), {QStringLiteral("qz")}},
    };
    EXPECT_EQ(started, expected);
    EXPECT_TRUE(sink.Texts().isEmpty());

    // Its 关闭 button closes it.
    auto* close = help->findChild<QPushButton*>(QStringLiteral("helpClose"));
    ASSERT_NE(close, nullptr);
    QTest::mouseClick(close, Qt::LeftButton);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_EQ(CHelpWindow::Current(), nullptr);
}

// The help window follows the guide's own links only: a web page, a script or
// a file outside the guide's folder leaves the guide shown; a page beside the
// guide and a place in it open.
TEST(HelpWindow, FollowsOnlyTheGuidesOwnLinks)
{
    QTemporaryDir root;
    ASSERT_TRUE(QDir(root.path()).mkdir(QStringLiteral("bin")));
    const auto write = [&](const QString& name, const QString& html) {
        QFile f(root.filePath(name));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(html.toUtf8());
    };
    write(QStringLiteral("outside.html"), QStringLiteral("<html><body>外面的页</body></html>"));
    write(QStringLiteral("bin/part2.html"), QStringLiteral("<html><body>第二页内容</body></html>"));
    write(QStringLiteral("bin/QrHelp.html"), QStringLiteral("<html><body><h1>备份数据</h1>"
                                                            "<p><a href=\"http://example.com/\">网页</a></p>"
                                                            "<p><a href=\"javascript:alert(1)\">脚本</a></p>"
                                                            "<p><a href=\"../outside.html\">外面</a></p>"
                                                            "<p><a href=\"file:///etc/hostname\">文件</a></p>"
                                                            "<p><a href=\"#end\">结尾</a></p>"
                                                            "<p><a href=\"part2.html\">第二页</a></p>"
                                                            "<h2><a name=\"end\">结束</a></h2></body></html>"));
    const QString guide = root.filePath(QStringLiteral("bin/QrHelp.html"));
    const struct
    {
        const char* link;
        int tabs; // the link's place in the page
        const char* shown;
    } cases[] = {
        {"http", 1, "备份数据"},
        {"javascript", 2, "备份数据"},
        {"outside the folder", 3, "备份数据"},
        {"a file elsewhere", 4, "备份数据"},
        {"an anchor", 5, "备份数据"},
        {"a page beside the guide", 6, "第二页内容"},
    };
    for (const auto& c : cases) {
        ASSERT_TRUE(CHelpWindow::ShowGuide(guide, nullptr));
        QTextBrowser* browser = CHelpWindow::Current()->Browser();
        browser->setFocus();
        for (int i = 0; i < c.tabs; ++i)
            QTest::keyClick(browser, Qt::Key_Tab);
        QTest::keyClick(browser, Qt::Key_Return);
        EXPECT_TRUE(browser->toPlainText().contains(QString::fromUtf8(c.shown)))
            << c.link << ": " << browser->toPlainText().left(40).toStdString();
    }
    CHelpWindow::Current()->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

TEST_F(AdminCommandTest, TheShippedHelpIsAnHtmlGuide)
{
    QFile help(QStringLiteral(QUILLMER_BUILD_APP_DIR "/QrHelp.html"));
    ASSERT_TRUE(help.open(QIODevice::ReadOnly));
    const QString text = QString::fromUtf8(help.readAll());
    EXPECT_TRUE(text.contains(QStringLiteral("<html")));
    EXPECT_TRUE(text.contains(QStringLiteral("备份数据")));
}

TEST_F(AdminCommandTest, InitialisationAsksFirstThenEndsTheProgram)
{
    db().Execute(QStringLiteral("insert into Operator(OperatorNo, OperatorName, OperatorPw, StationNo) "
                                "values('vx', 'vx', '', '01')"),
                 QString());
    sink.QueueAnswer(IDNO);
    EXPECT_FALSE(endsTheProgram(ID_SYSTEM_INIT));
    EXPECT_EQ(sink.Texts(), QStringList{QStringLiteral("系统初始化将删除系统中的所有用户数据！是否继续？")});
    EXPECT_EQ(fresh.Count(QStringLiteral("select * from Operator")), 2);

    sink.Clear();
    sink.QueueAnswer(IDYES);
    EXPECT_TRUE(endsTheProgram(ID_SYSTEM_INIT));
    EXPECT_EQ(sink.Texts(), (QStringList{"系统初始化将删除系统中的所有用户数据！是否继续？", "系统初始化过程已完成!"}));
    EXPECT_EQ(fresh.Value(QStringLiteral("select OperatorNo from Operator")), QStringLiteral("qz"));
    EXPECT_EQ(fresh.Count(QStringLiteral("select * from Operator")), 1);
}
