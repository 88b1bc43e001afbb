#include "CAdoConnection.h"
#include "CKvException.h"
#include "COperator.h"
#include "COperatorList.h"
#include "CurrentOperator.h"
#include "KvFreshDatabase.h"
#include "KvLogin.h"

#include <gtest/gtest.h>

namespace {

// The administrator logged in, and a cashier "c1" with two rights and the
// default password beside him.
class LoginTest : public FreshDatabaseTest
{
protected:
    void SetUp() override
    {
        COperatorList operators;
        operators.Add(QStringLiteral("c1"), QStringLiteral("收银一"), QStringLiteral("01"), {101, 103});
        ASSERT_TRUE(LoginOperator(QStringLiteral("qz"), QString()));
    }

    struct Snapshot
    {
        QString no, name, pw, station;
        QVector<int> rights;
        int state;
        bool typed;
        bool operator==(const Snapshot&) const = default;
    };
    static Snapshot current()
    {
        const COperator& op = *GetCurrentOperator();
        return {op.GetOperatorNo(),   op.GetOperatorName(), op.GetOperatorPw(),  op.GetStationNo(),
                op.DuplicateRights(), op.GetState(),        op.IsPasswordTyped()};
    }
};

} // namespace

TEST_F(LoginTest, FailedSwitchLeavesThePreviousOperatorExactlyAsHeWas)
{
    const Snapshot before = current();
    ASSERT_EQ(before.no, QStringLiteral("qz"));

    struct Case
    {
        const char* code;
        const char* password;
    };
    const Case failures[] = {{"c1", "wrong"}, {"c1", ""}, {"nobody", "724613"}, {"qz", "x"}};
    for (const Case& c : failures) {
        SCOPED_TRACE(c.code);
        EXPECT_FALSE(SwitchOperator(QString::fromUtf8(c.code), QString::fromUtf8(c.password)));
        EXPECT_TRUE(current() == before);
    }
}

TEST_F(LoginTest, SwitchTakesTheNewOperatorsNameAndRights)
{
    ASSERT_TRUE(SwitchOperator(QStringLiteral("C1"), QStringLiteral("724613")));
    const COperator& op = *GetCurrentOperator();
    EXPECT_EQ(op.GetOperatorNo(), QStringLiteral("c1"));
    EXPECT_EQ(op.GetOperatorName(), QStringLiteral("收银一"));
    EXPECT_TRUE(op.HasRight(101));
    EXPECT_FALSE(op.HasRight(501)) << "none of the administrator's rights stay";
}

TEST_F(LoginTest, SwitchFailingInTheDatabaseAlsoRestoresTheOperator)
{
    const Snapshot before = current();
    db().Execute(QStringLiteral("drop table Permission"), QString());
    EXPECT_THROW(SwitchOperator(QStringLiteral("c1"), QStringLiteral("724613")), CKvException);
    EXPECT_TRUE(current() == before);
}

TEST_F(LoginTest, PasswordChangeComparesExactlyAndKeepsTheOldOneWhenTheWriteFails)
{
    EXPECT_TRUE(IsCurrentPassword(QString()));
    EXPECT_FALSE(IsCurrentPassword(QStringLiteral(" ")));

    ChangeCurrentPassword(QStringLiteral("Ab12"));
    EXPECT_TRUE(IsCurrentPassword(QStringLiteral("Ab12")));
    EXPECT_FALSE(IsCurrentPassword(QStringLiteral("ab12")));
    EXPECT_TRUE(SwitchOperator(QStringLiteral("qz"), QStringLiteral("Ab12"))) << "the new password is stored";

    const Snapshot before = current();
    db().Execute(QStringLiteral("drop table Permission"), QString());
    try {
        ChangeCurrentPassword(QStringLiteral("new"));
        ADD_FAILURE() << "the failed write must be passed on";
    } catch (const CKvException& e) {
        EXPECT_EQ(e.text(), QStringLiteral("修改密码失败！"));
    }
    EXPECT_TRUE(current() == before);
    EXPECT_TRUE(IsCurrentPassword(QStringLiteral("Ab12")));
}
