#include "CMainFrame.h"
#include "CQuillmerApp.h"
#include "CSysPara.h"
#include "KvMainCommands.h"
#include "KvModalScript.h"
#include "KvPgTestServer.h"
#include "KvSchema.h"
#include "KvTestQrdb.h"
#include "KvTestSupport.h"
#include "SysGlobals.h"

#include "../../../framework/ui/KvUiTestUtil.h"

#include <QAction>
#include <QDir>
#include <QLineEdit>
#include <QTest>
#include <gtest/gtest.h>
#include <memory>

namespace {

const QString kServerRefused = QStringLiteral("连接业务数据库失败！是否继续.");

// The program coming up as a counter of the network edition whose file names
// a server that is down; the operator answers as he would at the counter.
class NetworkQuillmerStartTest : public ::testing::Test
{
protected:
    NetworkQuillmerStartTest() : m_startFolder(QDir::currentPath()) {}

    void SetUp() override
    {
        KV_REQUIRE_PG_SERVER();
        ReleaseProcessObjects();
        qrdb = std::make_unique<CTestQrdb>();
        qrdb->WriteServerProfile();
        QDir(app.Path()).mkpath(QStringLiteral("work"));
        CreateLocalNetworkDatabase(GetLocalDatabasePath(), QDateTime::currentDateTime(), QStringLiteral("127.0.0.1,1"));
    }
    void TearDown() override
    {
        ReleaseProcessObjects();
        qrdb.reset();
        QDir::setCurrent(m_startFolder);
    }

    // The server dialog: the name typed over the old one, then a button.
    static CModalScript::Action serverDialog(const QString& name, int button)
    {
        return [name, button](QWidget* dialog) {
            auto* edit = dialog->findChild<QLineEdit*>(QStringLiteral("c1202"));
            ASSERT_NE(edit, nullptr);
            EXPECT_EQ(edit->text(), QStringLiteral("127.0.0.1,1")) << "the name the counter's file holds";
            // Into the field with the mouse, all of it selected, the new name typed.
            ShowActive(dialog);
            MouseClick(edit);
            PressKey(edit, Qt::Key_A, QString(), Qt::ControlModifier);
            TypeText(edit, name);
            auto* pressed = dialog->findChild<QAbstractButton*>(QStringLiteral("c%1").arg(button));
            ASSERT_NE(pressed, nullptr);
            MouseClick(pressed);
        };
    }

    CRecordingMessageSink sink;
    CTempAppDirectory app;
    std::unique_ptr<CTestQrdb> qrdb;

private:
    QString m_startFolder;
};

} // namespace

TEST_F(NetworkQuillmerStartTest, TheOperatorNamesTheServerAndGetsTheNetworkEditionsMainWindow)
{
    CQuillmerApp quillmer;
    sink.QueueAnswer(IDYES); // try the server again
    auto script = std::make_unique<CModalScript>();
    script->Then(serverDialog(qrdb->ServerName(), 1000))
        .Then(CModalScript::LogIn(QStringLiteral("qz"), QString()))
        // The administrator's first run; the network edition adds the workstations.
        .Then([](QWidget* dialog) { CModalScript::Click(dialog, 1021); })  // 修改密码, cancelled
        .Then([](QWidget* dialog) { dialog->close(); })                    // 设置系统参数, closed
        .Then([](QWidget* dialog) { CModalScript::Click(dialog, 1001); })  // 工作站管理, 返回
        .Then([](QWidget* dialog) { CModalScript::Click(dialog, 1021); })  // 设置工作站, cancelled
        .Then([](QWidget* dialog) { CModalScript::Click(dialog, 1001); }); // 操作员管理, 返回

    ASSERT_TRUE(quillmer.InitInstance()) << sink.Texts().join('|').toStdString();

    EXPECT_EQ(script->Seen(), (QStringList{"dlg225", "dlg143", "dlg164", "dlg179", "dlg226", "dlg222", "dlg141"}));
    script.reset();
    ASSERT_GE(sink.Texts().size(), 2);
    EXPECT_EQ(sink.Messages().at(0).caption, QStringLiteral("请选择"));
    EXPECT_EQ(sink.Texts().at(0), kServerRefused);
    EXPECT_TRUE(sink.Texts().at(1).startsWith(QStringLiteral("现在系统时间是 ")));
    EXPECT_EQ(GetLocalSysPara()->GetStringPara(QStringLiteral("ServerName")), qrdb->ServerName())
        << "the name typed is kept for the next start";

    CMainFrame* frame = quillmer.GetMainFrame();
    ASSERT_NE(frame, nullptr);
    EXPECT_EQ(frame->windowTitle(), QStringLiteral("Quillmer 预付费售电管理系统 1.0(售电机编码：, 工作站编号：01)"));
    // The server and workstation commands are the administrator's here.
    for (int id : {ID_STATIONS, ID_SELECT_STATION, ID_SERVER})
        EXPECT_TRUE(frame->GetCommandAction(id)->isEnabled()) << id;

    // 设置服务器 from the menu shows the name in use.
    CModalScript more;
    more.Then([&](QWidget* dialog) {
        EXPECT_EQ(dialog->findChild<QLineEdit*>(QStringLiteral("c1202"))->text(), qrdb->ServerName());
        CModalScript::Click(dialog, 1021);
    });
    frame->GetCommandAction(ID_SERVER)->trigger();
    EXPECT_TRUE(more.Exhausted());
    quillmer.ExitInstance();
}

TEST_F(NetworkQuillmerStartTest, CancellingTheServerDialogEndsTheStartUpBeforeTheLogin)
{
    CQuillmerApp quillmer;
    sink.QueueAnswer(IDYES);
    CModalScript script;
    script.Then(serverDialog(qrdb->ServerName(), 1021));

    EXPECT_FALSE(quillmer.InitInstance());
    EXPECT_EQ(script.Seen(), QStringList{"dlg225"});
    EXPECT_EQ(sink.Texts(), QStringList{kServerRefused});
    EXPECT_EQ(GetLocalSysPara()->GetStringPara(QStringLiteral("ServerName")), QStringLiteral("127.0.0.1,1"))
        << "a cancelled dialog stores nothing";
    EXPECT_EQ(quillmer.GetMainFrame(), nullptr);
    quillmer.ExitInstance();
}
