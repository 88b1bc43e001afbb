#include "CAdoConnection.h"
#include "CCliBalance.h"
#include "CClient.h"
#include "COperator.h"
#include "CSysPara.h"
#include "CurrentOperator.h"
#include "KvFreshDatabase.h"
#include "KvSql.h"
#include "MasterDataTestHelpers.h"

#include <gtest/gtest.h>

namespace {

class UserRecordTest : public FreshDatabaseTest
{
protected:
    UserRecordTest() { GetCurrentOperator()->SetOperatorNo("op01"); }

    // A current user, saved.
    void AddUser(const QString& clientNo, const QString& name = QStringLiteral("住户"))
    {
        CClient user;
        user.SetClientNo(clientNo);
        user.SetClientName(name);
        user.Save();
    }
    QString Versions(const QString& clientNo)
    {
        return fresh.Value(KvFormatSql("select group_concat(ClientIndex || ':' || BeginDate || '..' || EndDate || "
                                       "':' || Descrip, ' ') from (select * from Client where ClientNo = '%s' order "
                                       "by ClientIndex)",
                                       clientNo));
    }
    // A new version of a loaded user with another remark.
    static CClient* Changed(const CClient& old, const QString& remark)
    {
        auto* user = new CClient;
        user->SetClientNo(old.GetClientNo());
        user->SetClientName(old.GetClientName());
        user->SetDescrip(remark);
        return user;
    }
};

QStringList Codes(const CClientList& list)
{
    QStringList codes;
    for (int i = 0; i < list.GetCount(); ++i)
        codes << list.At(i)->GetClientNo();
    return codes;
}

} // namespace

TEST_F(UserRecordTest, NewUserDefaults)
{
    GetMainSysPara()->SetMemNum(4);
    CClient user;
    EXPECT_EQ(QStringList({user.GetBlockNo(), user.GetBuildingNo(), user.GetDepartmentNo(), user.GetStateWord(),
                           user.GetOperatorNo()}),
              QStringList({"00", "00", "00", "正常", "op01"}));
    EXPECT_EQ(user.GetMemberNum(), 4);
    EXPECT_EQ(user.GetBeginDate(), Day("2026-12-10"));
    EXPECT_EQ(user.GetEndDate(), Day("2050-12-31"));
    EXPECT_EQ(user.GetModiTime(), GetServerTime());
    EXPECT_EQ(user.GetClientIndex(), -1);
}

// Every column comes back as written; quotes in texts are kept.
TEST_F(UserRecordTest, InsertAndLoadRoundTrip)
{
    CClient user;
    user.SetClientNo("C'01");
    user.SetBlockNo("01");
    user.SetBuildingNo("02");
    user.SetLayerNo("03");
    user.SetRoomNo("04");
    user.SetCell("一单元");
    user.SetDepartmentNo("05");
    user.SetClientName("O'Brien 张");
    user.SetClientId("110101");
    user.SetAddr("某路'1号");
    user.SetTel("要约7");
    user.SetMemberNum(6);
    user.SetState("正常");
    user.SetDescrip("备注");
    user.SetBeginDate(Day("2026-12-01"));
    user.SetModiTime(QDateTime(QDate(2026, 12, 10), QTime(8, 1, 2)));
    user.Save();
    EXPECT_EQ(user.GetClientIndex(), 1);
    EXPECT_EQ(fresh.Value("select ClientIndex from SysPara"), "2");

    CClientList list;
    const CClient* loaded = list.FindByClientNo("C'01");
    ASSERT_NE(loaded, nullptr);
    EXPECT_EQ(loaded->GetState(), CKvPersistance::StateStored);
    EXPECT_EQ(QStringList({loaded->GetClientNo(), loaded->GetBlockNo(), loaded->GetBuildingNo(), loaded->GetLayerNo(),
                           loaded->GetRoomNo(), loaded->GetCell(), loaded->GetDepartmentNo(), loaded->GetClientName(),
                           loaded->GetClientId(), loaded->GetAddr(), loaded->GetTel(), loaded->GetStateWord(),
                           loaded->GetDescrip(), loaded->GetOperatorNo()}),
              QStringList({"C'01", "01", "02", "03", "04", "一单元", "05", "O'Brien 张", "110101", "某路'1号", "要约7",
                           "正常", "备注", "op01"}));
    EXPECT_EQ(loaded->GetClientIndex(), 1);
    EXPECT_EQ(loaded->GetMemberNum(), 6);
    EXPECT_EQ(loaded->GetBeginDate(), Day("2026-12-01"));
    EXPECT_EQ(loaded->GetEndDate(), Day("2050-12-31"));
    EXPECT_EQ(loaded->GetModiTime(), QDateTime(QDate(2026, 12, 10), QTime(8, 1, 2)));
    EXPECT_TRUE(loaded->IsEqual(user));
}

// A change closes the current row yesterday and inserts a new one from today;
// the closed row keeps the operator and time of its own writing.
TEST_F(UserRecordTest, ChangeClosesTheOldVersionAndFindsTheNew)
{
    GetCurrentOperator()->SetOperatorNo("op00");
    AddUser("C1");
    AddUser("C2");
    SetToday("2027-02-01");
    GetCurrentOperator()->SetOperatorNo("op01");

    CClientList list;
    list.LoadByNoPrefix("C");
    CClient* old = list.At(0);
    CClient* changed = Changed(*old, "新备注");
    list.ChangeVersion(changed, old);

    EXPECT_EQ(Versions("C1"), "1:2026-12-10..2027-01-31: 3:2027-02-01..2050-12-31:新备注");
    EXPECT_EQ(fresh.Value("select OperatorNo || ' ' || ModiTime from Client where ClientIndex = 1"),
              "op00 2026-12-10 09:30:00");
    EXPECT_EQ(Codes(list), QStringList({"C1", "C1", "C2"}));
    EXPECT_EQ(list.At(1), changed);
    CClientList other;
    EXPECT_EQ(other.FindByClientNo("C1")->GetClientIndex(), 3);
    EXPECT_EQ(other.FindByClientNo("C1")->GetDescrip(), "新备注");

    // Two changes on one day leave a version that ends before it begins.
    list.ChangeVersion(Changed(*changed, "再改"), changed);
    EXPECT_EQ(Versions("C1"), "1:2026-12-10..2027-01-31: 3:2027-02-01..2027-01-31:新备注 "
                              "4:2027-02-01..2050-12-31:再改");
}

// The change is one transaction: a failure leaves the database, the list and
// the old record as they were.
TEST_F(UserRecordTest, FailedChangeLeavesNoPhantom)
{
    AddUser("C1");
    CClientList list;
    CClient* old = list.FindByClientNo("C1");

    db().Execute("create trigger NoClose before update on Client begin select raise(abort, 'no'); end", QString());
    EXPECT_EQ(ThrownText([&] { list.ChangeVersion(Changed(*old, "x"), old); }), "向数据库更新用户时发生错误！");
    EXPECT_EQ(Versions("C1"), "1:2026-12-10..2050-12-31:");
    EXPECT_EQ(fresh.Value("select ClientIndex from SysPara"), "2");
    EXPECT_EQ(list.GetCount(), 1);
    EXPECT_EQ(old->GetEndDate(), Day("2050-12-31"));
    EXPECT_EQ(old->GetState(), CKvPersistance::StateStored);
    db().Execute("drop trigger NoClose", QString());

    CClientList other;
    other.FindByClientNo("C1");
    EXPECT_EQ(ThrownText([&] { list.ChangeVersion(Changed(*old, "x"), other.At(0)); }),
              "向数据库更新用户时发生位置错误！");
    EXPECT_EQ(Versions("C1"), "1:2026-12-10..2050-12-31:");

    list.ChangeVersion(Changed(*old, "x"), old);
    EXPECT_EQ(Versions("C1"), "1:2026-12-10..2026-12-09: 2:2026-12-10..2050-12-31:x");
}

// Prefix loads and finding see current rows only; existence tests see every
// version.
// What is typed is matched literally: '%', '_' and '\\' are no wildcards.
TEST_F(UserRecordTest, PrefixLoadsMatchTheTypedTextLiterally)
{
    for (const char* code : {"C_3", "C13", "C%1", "C\\2", "C\\x", "D1"})
        AddUser(code, QStringLiteral("名%1").arg(code));
    const struct
    {
        const char* prefix;
        QStringList codes;
    } cases[] = {
        {"%", {}},          {"C_", {"C_3"}},
        {"C%", {"C%1"}},    {"C\\", {"C\\2", "C\\x"}},
        {"C\\2", {"C\\2"}}, {"C", {"C%1", "C13", "C\\2", "C\\x", "C_3"}},
    };
    for (const auto& c : cases) {
        CClientList list;
        list.LoadByNoPrefix(QString::fromUtf8(c.prefix));
        EXPECT_EQ(Codes(list), c.codes) << c.prefix;
        list.LoadByNamePrefix(QStringLiteral("名") + QString::fromUtf8(c.prefix));
        EXPECT_EQ(Codes(list), c.codes) << c.prefix;
    }
}

TEST_F(UserRecordTest, CurrentRowsAreFoundAndEveryVersionExists)
{
    for (const char* code : {"12A", "1", "2", "10"})
        AddUser(code, QStringLiteral("王%1").arg(code));
    AddUser("13", "李'四");
    db().Execute("update Client set EndDate = '2026-12-01', BlockNo = '07', BuildingNo = '08', DepartmentNo = '09', "
                 "OperatorNo = 'old' where ClientNo = '13'",
                 QString());

    CClientList list;
    list.LoadByNoPrefix("1");
    EXPECT_EQ(Codes(list), QStringList({"1", "10", "12A"}));
    list.LoadByNamePrefix("王1");
    EXPECT_EQ(Codes(list), QStringList({"1", "10", "12A"}));
    list.LoadByNamePrefix("李'");
    EXPECT_EQ(Codes(list), QStringList());
    EXPECT_EQ(list.FindByClientNo("13"), nullptr);

    EXPECT_TRUE(CClientList::ExistsClientNo("13"));
    EXPECT_FALSE(CClientList::ExistsClientNo("3"));
    EXPECT_TRUE(CClientList::ExistsInBlock("07"));
    EXPECT_TRUE(CClientList::ExistsInBuilding("07", "08"));
    EXPECT_FALSE(CClientList::ExistsInBuilding("00", "08"));
    EXPECT_TRUE(CClientList::ExistsInDepartment("09"));
    EXPECT_TRUE(CClientList::ExistsForOperator("old"));
    EXPECT_FALSE(CClientList::ExistsForOperator("o'x"));

    CClientList::DeleteAllVersions("13");
    EXPECT_FALSE(CClientList::ExistsClientNo("13"));
    EXPECT_EQ(ThrownText([] { CClientList::DeleteAllVersions("13"); }), "从数据库删除用户时发生错误！");
}

TEST_F(UserRecordTest, IsEqualComparesWhatTheUserDialogEdits)
{
    using Change = std::function<void(CClient&)>;
    struct Case
    {
        const char* what;
        Change change;
        bool equal;
    } cases[] = {
        {"state", [](CClient& u) { u.SetState("注销"); }, true},
        {"code", [](CClient& u) { u.SetClientNo("X"); }, true},
        {"operator", [](CClient& u) { u.SetOperatorNo("X"); }, true},
        {"dates",
         [](CClient& u) {
             u.SetBeginDate(Day("2020-01-01"));
             u.SetEndDate(Day("2020-01-02"));
         },
         true},
        {"block", [](CClient& u) { u.SetBlockNo("01"); }, false},
        {"building", [](CClient& u) { u.SetBuildingNo("01"); }, false},
        {"floor", [](CClient& u) { u.SetLayerNo("01"); }, false},
        {"room", [](CClient& u) { u.SetRoomNo("01"); }, false},
        {"unit", [](CClient& u) { u.SetCell("一单元"); }, false},
        {"department", [](CClient& u) { u.SetDepartmentNo("01"); }, false},
        {"name", [](CClient& u) { u.SetClientName("X"); }, false},
        {"identity", [](CClient& u) { u.SetClientId("1"); }, false},
        {"address", [](CClient& u) { u.SetAddr("X"); }, false},
        {"offer number", [](CClient& u) { u.SetTel("1"); }, false},
        {"residents", [](CClient& u) { u.SetMemberNum(9); }, false},
        {"remark", [](CClient& u) { u.SetDescrip("X"); }, false},
    };
    const CClient base;
    for (const Case& c : cases) {
        CClient other;
        c.change(other);
        EXPECT_EQ(base.IsEqual(other), c.equal) << c.what;
    }
}

// The balance is read until a row is found and from the cache afterwards.
TEST_F(UserRecordTest, BalanceIsCachedOnceFound)
{
    AddUser("C1");
    CClientList list;
    CClient* user = list.FindByClientNo("C1");

    CCliBalance out;
    out.SetThisBalance(-1);
    EXPECT_EQ(user->GetBalance(out), 0);
    EXPECT_EQ(out.GetThisBalance(), -1);
    CCliBalance update;
    EXPECT_EQ(user->SetBalance(update), 0);

    CCliBalance row;
    row.SetClientNo("C1");
    row.SetThisBalance(12.5);
    row.Save();
    EXPECT_EQ(user->GetBalance(out), 1);
    EXPECT_EQ(out.GetThisBalance(), 12.5);
    EXPECT_EQ(out.GetState(), CKvPersistance::StateInert);

    update.SetClientNo("C1");
    update.SetThisBalance(30);
    EXPECT_EQ(user->SetBalance(update), 1);
    db().Execute("delete from CliBalance", QString()); // no second read
    EXPECT_EQ(user->GetBalance(out), 1);
    EXPECT_EQ(out.GetThisBalance(), 30);
}
