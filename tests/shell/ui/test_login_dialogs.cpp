#include "CChangePasswordDlg.h"
#include "CLoginDlg.h"
#include "CMainFrame.h"
#include "CNavListBox.h"
#include "COperator.h"
#include "COperatorList.h"
#include "CQuillmerApp.h"
#include "CurrentOperator.h"
#include "KvFreshDatabase.h"
#include "KvLogin.h"
#include "KvMainCommands.h"
#include "KvMessage.h"
#include "KvModalScript.h"

#include <QLineEdit>
#include <gtest/gtest.h>

namespace {

QString text(QWidget* dialog, int id)
{
    return dialog->findChild<QLineEdit*>(QStringLiteral("c%1").arg(id))->text();
}

CModalScript::Action changePassword(const QString& oldPw, const QString& newPw)
{
    return [oldPw, newPw](QWidget* dialog) {
        EXPECT_EQ(dialog->windowTitle(), QStringLiteral("修改密码"));
        EXPECT_TRUE(text(dialog, 1139).isEmpty()) << "every round starts with an empty dialog";
        CModalScript::Type(dialog, 1139, oldPw);
        CModalScript::Type(dialog, 1140, newPw);
        CModalScript::Type(dialog, 1141, newPw);
        CModalScript::Click(dialog, 1000);
    };
}

CModalScript::Action cancel()
{
    return [](QWidget* dialog) { CModalScript::Click(dialog, 1021); };
}

} // namespace

TEST(LoginDialog, ConfirmNeedsACodeAndTrimsIt)
{
    CRecordingMessageSink sink;
    CLoginDlg dialog;
    dialog.show();
    EXPECT_EQ(dialog.windowTitle(), QStringLiteral("登录"));
    EXPECT_EQ(dialog.findChild<QLineEdit*>(QStringLiteral("c1044"))->echoMode(), QLineEdit::Password);

    CModalScript::Type(&dialog, 1031, QStringLiteral(" \t "));
    CModalScript::Click(&dialog, 1000);
    EXPECT_EQ(sink.Texts(), QStringList{QStringLiteral("请输入操作员代码！")});
    EXPECT_TRUE(dialog.isVisible());
    EXPECT_EQ(dialog.result(), 0);

    CModalScript::Type(&dialog, 1031, QStringLiteral("  c1 "));
    CModalScript::Type(&dialog, 1044, QStringLiteral(" pw "));
    CModalScript::Click(&dialog, 1000);
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_EQ(dialog.GetOperatorNo(), QStringLiteral("c1"));
    EXPECT_EQ(text(&dialog, 1031), QStringLiteral("c1"));
    EXPECT_EQ(dialog.GetOperatorPw(), QStringLiteral(" pw ")) << "the password is taken as typed";
}

TEST(ChangePasswordDialog, ChecksTheNewPasswordTwiceAndItsLength)
{
    struct Case
    {
        const char* newPw;
        const char* confirm;
        const char* message; // null: accepted
        const char* stored;
    };
    const Case cases[] = {
        {"12345678", "12345678", nullptr, "12345678"},
        {"123456789", "123456789", "密码长度不应大于8！", nullptr},
        {"密码密码", "密码密码", nullptr, "密码密码"}, // 8 GBK bytes
        {"密码密码a", "密码密码a", "密码长度不应大于8！", nullptr},
        {" abc", "abc  ", nullptr, "abc"},
        {"abc", "abd", "两次输入的新密码不同！", nullptr},
        {"", "", nullptr, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.newPw);
        CRecordingMessageSink sink;
        CChangePasswordDlg dialog(nullptr, QStringLiteral("修改密码"));
        dialog.show();
        CModalScript::Type(&dialog, 1139, QStringLiteral(" old "));
        CModalScript::Type(&dialog, 1140, QString::fromUtf8(c.newPw));
        CModalScript::Type(&dialog, 1141, QString::fromUtf8(c.confirm));
        CModalScript::Click(&dialog, 1000);
        if (c.message) {
            EXPECT_EQ(sink.Texts(), QStringList{QString::fromUtf8(c.message)});
            EXPECT_TRUE(dialog.isVisible());
            EXPECT_EQ(dialog.result(), 0);
        } else {
            EXPECT_TRUE(sink.Texts().isEmpty());
            EXPECT_EQ(dialog.result(), QDialog::Accepted);
            EXPECT_EQ(dialog.GetNewPassword(), QString::fromUtf8(c.stored));
            EXPECT_EQ(text(&dialog, 1140), QString::fromUtf8(c.stored));
            EXPECT_EQ(dialog.GetOldPassword(), QStringLiteral(" old ")) << "the old password is not trimmed";
        }
    }
}

namespace {

// The administrator logged in on a fresh database, with a cashier beside him.
class OperatorCommandTest : public FreshDatabaseTest
{
protected:
    void SetUp() override
    {
        COperatorList operators;
        operators.Add(QStringLiteral("c1"), QStringLiteral("收银一"), QStringLiteral("01"), {101, 103});
        ASSERT_TRUE(LoginOperator(QStringLiteral("qz"), QString()));
    }
    CQuillmerApp quillmer;
    CModalScript script;
};

} // namespace

TEST_F(OperatorCommandTest, WrongOldPasswordOpensTheDialogAgainUntilCancelled)
{
    script.Then(changePassword(QStringLiteral("x"), QStringLiteral("n1")))
        .Then(changePassword(QStringLiteral(" "), QStringLiteral("n2")))
        .Then(cancel());
    quillmer.OnChangePassword();

    EXPECT_TRUE(script.Exhausted());
    EXPECT_EQ(sink.Texts(), (QStringList{"原密码错误！", "原密码错误！"}));
    EXPECT_TRUE(IsCurrentPassword(QString()));
    EXPECT_TRUE(SwitchOperator(QStringLiteral("qz"), QString())) << "the stored password is unchanged";
}

TEST_F(OperatorCommandTest, RightOldPasswordStoresTheNewOne)
{
    script.Then(changePassword(QStringLiteral("x"), QStringLiteral("n1")))
        .Then(changePassword(QString(), QStringLiteral("n2")));
    quillmer.OnChangePassword();

    EXPECT_TRUE(script.Exhausted());
    EXPECT_EQ(sink.Texts(), (QStringList{"原密码错误！", "修改密码成功！"}));
    EXPECT_FALSE(SwitchOperator(QStringLiteral("qz"), QString()));
    EXPECT_TRUE(SwitchOperator(QStringLiteral("qz"), QStringLiteral("n2")));
}

TEST_F(OperatorCommandTest, SwitchingOperatorKeepsOrReplacesTheRightsOfTheWindow)
{
    ASSERT_TRUE(quillmer.CreateMainWindow());
    CMainFrame* frame = quillmer.GetMainFrame();
    frame->BuildRightsList();
    const int adminRows = frame->GetRightsList()->count();
    ASSERT_TRUE(frame->IsCommandAllowed(ID_OPERATORS));

    // A wrong password: the message, and the administrator stays with his rights.
    script.Then(CModalScript::LogIn(QStringLiteral("c1"), QStringLiteral("bad")));
    frame->RunCommand(ID_SWITCH_OPERATOR);
    EXPECT_EQ(sink.Texts(), QStringList{"登录失败！\n\n请核对用户和密码\n\n如是使用网络版请核对工作站编号"});
    EXPECT_EQ(GetCurrentOperator()->GetOperatorNo(), QStringLiteral("qz"));
    EXPECT_EQ(frame->GetRightsList()->count(), adminRows);
    EXPECT_TRUE(frame->IsCommandAllowed(ID_OPERATORS));

    // Cancelled: nothing changes and nothing is said.
    sink.Clear();
    script.Then(cancel());
    frame->RunCommand(ID_SWITCH_OPERATOR);
    EXPECT_TRUE(sink.Texts().isEmpty());
    EXPECT_EQ(GetCurrentOperator()->GetOperatorNo(), QStringLiteral("qz"));

    // A good switch greys what the cashier lacks at once.
    script.Then(CModalScript::LogIn(QStringLiteral("c1"), QStringLiteral("724613")));
    frame->RunCommand(ID_SWITCH_OPERATOR);
    EXPECT_TRUE(sink.Texts().isEmpty());
    EXPECT_EQ(GetCurrentOperator()->GetOperatorName(), QStringLiteral("收银一"));
    EXPECT_FALSE(frame->IsCommandAllowed(ID_OPERATORS));
    EXPECT_TRUE(frame->IsCommandAllowed(ID_SALE_SERVICE));
    EXPECT_TRUE(script.Exhausted());
}
