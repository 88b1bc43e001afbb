#include "CAdoConnection.h"
#include "CAdoRecordset.h"
#include "CKvException.h"
#include "COperator.h"
#include "COperatorList.h"
#include "CurrentOperator.h"
#include "KvFreshDatabase.h"
#include "KvPassword.h"
#include "KvRights.h"
#include "KvSql.h"

#include <QSet>
#include <gtest/gtest.h>

namespace {

TEST(Password, HashIsSaltedAndVerifiesOnlyTheSamePassword)
{
    const QString hash = KvHashPassword(QStringLiteral("ab12"));
    EXPECT_TRUE(KvIsPasswordHash(hash));
    EXPECT_FALSE(hash.contains(QStringLiteral("ab12")));
    EXPECT_NE(hash, KvHashPassword(QStringLiteral("ab12"))) << "every hash gets its own salt";
    EXPECT_TRUE(KvVerifyPassword(hash, QStringLiteral("ab12")));
    EXPECT_FALSE(KvVerifyPassword(hash, QStringLiteral("AB12")));
    EXPECT_FALSE(KvVerifyPassword(hash, QString()));
    EXPECT_FALSE(KvVerifyPassword(hash, hash)) << "typing the stored hash is no password";
    EXPECT_TRUE(KvVerifyPassword(KvHashPassword(QString()), QString()));
    EXPECT_TRUE(KvVerifyPassword(KvHashPassword(QStringLiteral("密码")), QStringLiteral("密码")));
}

TEST(Password, PlainStoredValuesCompareExactly)
{
    struct Case
    {
        const char* stored;
        const char* typed;
        bool ok;
    };
    const Case cases[] = {
        {"", "", true},          {"", " ", false},         {"724613", "724613", true},
        {"Ab12", "ab12", false}, {"ab12", "ab12 ", false}, {"$argon2i", "$argon2i", true}, // 8 bytes: plain
    };
    for (const Case& c : cases) {
        EXPECT_FALSE(KvIsPasswordHash(QString::fromUtf8(c.stored))) << c.stored;
        EXPECT_EQ(KvVerifyPassword(QString::fromUtf8(c.stored), QString::fromUtf8(c.typed)), c.ok)
            << c.stored << " / " << c.typed;
    }
}

TEST(RightsTable, GroupsEachHeaderBeforeItsRightsInStoredOrder)
{
    QList<int> ids;
    QSet<QString> names;
    int headers = 0;
    for (const KvRightEntry* e = GetRightTable(); e->id != 0; ++e) {
        ids << e->id;
        names.insert(QString::fromUtf8(e->name));
        if (IsRightGroupHeader(e->id)) {
            ++headers;
        } else {
            ASSERT_FALSE(ids.isEmpty());
            // Every right sits in the group of its hundred.
            int header = static_cast<int>(ids.size()) - 1;
            while (!IsRightGroupHeader(ids[header]))
                --header;
            EXPECT_EQ(ids[header], e->id / 100 * 100) << e->id;
        }
    }
    EXPECT_EQ(ids.size(), 57);
    EXPECT_EQ(headers, 5);
    EXPECT_EQ(names.size(), 57) << "names are unique: the frame finds commands by them";
    EXPECT_EQ(ids.first(), 100);
    // The stored order is not numeric.
    EXPECT_EQ(ids.mid(ids.indexOf(101), 2), (QList<int>{101, 117}));
    EXPECT_EQ(ids.mid(ids.indexOf(118), 2), (QList<int>{118, 115}));
    EXPECT_EQ(ids.mid(ids.indexOf(223), 2), (QList<int>{223, 205}));
    EXPECT_EQ(ids.mid(ids.indexOf(505), 4), (QList<int>{505, 514, 515, 518}));
    EXPECT_EQ(ids.last(), 517);
}

TEST(Operator, RightsAndTheirCopies)
{
    COperator op;
    EXPECT_FALSE(op.HasRight(101));
    EXPECT_TRUE(op.DuplicateRights().isEmpty());
    const int ids[] = {101, 202};
    op.SetRights(ids, 2);
    EXPECT_TRUE(op.HasRight(202));
    EXPECT_FALSE(op.HasRight(100));
    op.SetRights(nullptr, 0);
    EXPECT_FALSE(op.HasRight(101));

    // A table holding duplicate Permission rows cannot overrun a caller's buffer.
    op.SetRights(QVector<int>(130, 101));
    int buffer[COperator::MaxRights + 1];
    buffer[COperator::MaxRights] = -7;
    int count = 0;
    op.GetRights(buffer, count);
    EXPECT_EQ(count, COperator::MaxRights);
    EXPECT_EQ(buffer[COperator::MaxRights], -7);
}

class OperatorDbTest : public FreshDatabaseTest
{
protected:
    QString storedPw(const QString& code)
    {
        return fresh.Value(
            KvFormatSql(QStringLiteral("select OperatorPw from Operator where OperatorNo = '%s'"), code));
    }
    QList<int> permissions(const QString& code)
    {
        CAdoLease<CAdoRecordset> rs(db().AcquireRecordset());
        rs->Open(KvFormatSql(QStringLiteral("select MenuId from Permission where OperatorNo = '%s'"), code));
        QList<int> ids;
        for (; !rs->IsEOF(); rs->MoveNext())
            ids << rs->GetFieldInt(QStringLiteral("MenuId"));
        return ids;
    }
    bool login(const QString& code, const QString& password)
    {
        GetCurrentOperator()->SetOperatorNo(code);
        GetCurrentOperator()->SetOperatorPw(password);
        COperatorList scratch;
        return scratch.VerifyLogin();
    }
    // An operator stored with a known password and rights.
    void addOperator(const QString& code, const QString& name, const QString& password, const QVector<int>& rights)
    {
        COperatorList list;
        ASSERT_TRUE(list.Add(code, name, QStringLiteral("01"), rights));
        COperator* op = list.At(0);
        op->SetOperatorPw(password);
        op->SetState(CKvPersistance::StateChanged);
        op->Save();
    }
};

} // namespace

TEST_F(OperatorDbTest, FreshInstallationHoldsTheAdministratorWithAnEmptyPassword)
{
    COperatorList list;
    list.LoadAll();
    ASSERT_EQ(list.GetCount(), 1);
    const COperator* qz = list.At(0);
    EXPECT_EQ(qz->GetOperatorNo(), QStringLiteral("qz"));
    EXPECT_EQ(qz->GetOperatorName(), QStringLiteral("qz"));
    EXPECT_EQ(qz->GetOperatorPw(), QString());
    EXPECT_EQ(qz->GetStationNo(), QStringLiteral("01"));
    EXPECT_EQ(qz->DuplicateRights(),
              (QVector<int>{401, 501, 503, 504, 505, 506, 507, 511, 512, 513, 514, 515, 516, 517, 518}));
}

TEST_F(OperatorDbTest, LoginChecksCodeAndPassword)
{
    addOperator(QStringLiteral("op1"), QStringLiteral("张三"), QStringLiteral("Ab12"), {101, 202});
    addOperator(QStringLiteral("o'k"), QStringLiteral("李四"), QStringLiteral("x'y"), {103});
    struct Case
    {
        const char* code;
        const char* password;
        bool ok;
        const char* storedCode; // the code the current operator takes
    };
    const Case cases[] = {
        {"op1", "Ab12", true, "op1"}, {"OP1", "Ab12", true, "op1"}, // codes compare without regard to case
        {"op1", "ab12", false, ""},                                 // passwords do not
        {"op1", "", false, ""},       {"nobody", "Ab12", false, ""},
        {"o'k", "x'y", true, "o'k"},  {"op1' or '1'='1", "", false, ""},
        {"qz", "", true, "qz"},       {"QZ", "", true, "qz"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.code);
        ResetCurrentOperator();
        GetCurrentOperator()->SetOperatorName(QStringLiteral("before"));
        EXPECT_EQ(login(QString::fromUtf8(c.code), QString::fromUtf8(c.password)), c.ok);
        if (c.ok) {
            EXPECT_EQ(GetCurrentOperator()->GetOperatorNo(), QString::fromUtf8(c.storedCode));
            EXPECT_EQ(GetCurrentOperator()->GetOperatorPw(), QString::fromUtf8(c.password)) << "as typed";
        } else {
            EXPECT_EQ(GetCurrentOperator()->GetOperatorName(), QStringLiteral("before")) << "nothing taken over";
            EXPECT_TRUE(GetCurrentOperator()->DuplicateRights().isEmpty());
        }
    }
    ASSERT_TRUE(login(QStringLiteral("OP1"), QStringLiteral("Ab12")));
    EXPECT_EQ(GetCurrentOperator()->GetOperatorName(), QStringLiteral("张三"));
    EXPECT_EQ(GetCurrentOperator()->GetStationNo(), QStringLiteral("01"));
    EXPECT_EQ(GetCurrentOperator()->DuplicateRights(), (QVector<int>{101, 202}));
    EXPECT_TRUE(sink.Messages().empty());
}

TEST_F(OperatorDbTest, LegacyPlainPasswordIsReplacedByItsHashAtTheFirstGoodLogin)
{
    EXPECT_EQ(storedPw(QStringLiteral("qz")), QString());
    EXPECT_FALSE(login(QStringLiteral("qz"), QStringLiteral("x")));
    EXPECT_EQ(storedPw(QStringLiteral("qz")), QString()) << "a failed login changes nothing";

    ASSERT_TRUE(login(QStringLiteral("QZ"), QString()));
    const QString hash = storedPw(QStringLiteral("qz"));
    EXPECT_TRUE(KvIsPasswordHash(hash));
    EXPECT_TRUE(KvVerifyPassword(hash, QString()));

    // The hash now answers as the plain value did, and is not replaced again.
    EXPECT_TRUE(login(QStringLiteral("qz"), QString()));
    EXPECT_FALSE(login(QStringLiteral("qz"), QStringLiteral("x")));
    EXPECT_EQ(storedPw(QStringLiteral("qz")), hash);
}

TEST_F(OperatorDbTest, ChangingTheCurrentOperatorsPasswordStoresANewHash)
{
    ASSERT_TRUE(login(QStringLiteral("qz"), QString()));
    COperator* current = GetCurrentOperator();
    current->SetOperatorPw(QStringLiteral("new1"));
    current->SetState(CKvPersistance::StateChanged);
    current->Save();
    EXPECT_EQ(current->GetState(), CKvPersistance::StateStored);
    EXPECT_EQ(current->GetOperatorPw(), QStringLiteral("new1")) << "the old-password check compares with this";
    EXPECT_TRUE(KvVerifyPassword(storedPw(QStringLiteral("qz")), QStringLiteral("new1")));
    EXPECT_EQ(permissions(QStringLiteral("qz")).size(), 15) << "rights written again unchanged";

    EXPECT_FALSE(login(QStringLiteral("qz"), QString()));
    EXPECT_TRUE(login(QStringLiteral("qz"), QStringLiteral("new1")));
}

TEST_F(OperatorDbTest, AddStoresTheHashedDefaultPasswordAndTheRights)
{
    COperatorList list;
    ASSERT_TRUE(list.Add(QStringLiteral("op1"), QStringLiteral("张三"), QStringLiteral("01"), {202, 101}));
    ASSERT_EQ(list.GetCount(), 1);
    EXPECT_EQ(list.At(0)->GetState(), CKvPersistance::StateStored);
    const QString stored = storedPw(QStringLiteral("op1"));
    EXPECT_TRUE(KvIsPasswordHash(stored));
    EXPECT_TRUE(KvVerifyPassword(stored, QStringLiteral("724613")));
    EXPECT_EQ(permissions(QStringLiteral("op1")), (QList<int>{202, 101}));
    EXPECT_TRUE(COperatorList::Exists(QStringLiteral("OP1")));
    EXPECT_FALSE(COperatorList::Exists(QStringLiteral("op2")));

    // Loading keeps the rights in the order of their rows.
    COperatorList loaded;
    const COperator* op = loaded.FindByNo(QStringLiteral("op1"));
    ASSERT_NE(op, nullptr);
    EXPECT_EQ(op->DuplicateRights(), (QVector<int>{202, 101}));
    EXPECT_EQ(loaded.FindByNo(QStringLiteral("op2")), nullptr);
}

TEST_F(OperatorDbTest, FailedAddThrowsRollsBackAndAddsNothingToTheList)
{
    COperatorList list;
    list.LoadAll();
    try {
        list.Add(QStringLiteral("QZ"), QStringLiteral("another"), QStringLiteral("01"), {101});
        FAIL() << "a duplicate code must fail";
    } catch (const CKvException& e) {
        EXPECT_EQ(e.text(), QStringLiteral("向数据库增加操作员时发生错误！"));
    }
    EXPECT_EQ(list.GetCount(), 1);
    EXPECT_EQ(fresh.Count(QStringLiteral("select * from Operator")), 1);
    EXPECT_EQ(fresh.Count(QStringLiteral("select * from Permission")), 15) << "no stray Permission row";
    EXPECT_EQ(db().GetTransDepth(), 0);
}

TEST_F(OperatorDbTest, UpdateOnARightsChangeKeepsTheStoredHash)
{
    addOperator(QStringLiteral("op1"), QStringLiteral("张三"), QStringLiteral("Ab12"), {101});
    const QString hash = storedPw(QStringLiteral("op1"));

    COperatorList list;
    COperator* op = list.FindByNo(QStringLiteral("op1"));
    ASSERT_NE(op, nullptr);
    op->SetOperatorName(QStringLiteral("张三丰"));
    op->SetRights(QVector<int>{101, 202});
    op->SetState(CKvPersistance::StateChanged);
    op->Save();
    EXPECT_EQ(storedPw(QStringLiteral("op1")), hash) << "the hash is written back, not hashed again";
    EXPECT_EQ(permissions(QStringLiteral("op1")), (QList<int>{101, 202}));
    EXPECT_TRUE(login(QStringLiteral("op1"), QStringLiteral("Ab12")));
    EXPECT_EQ(GetCurrentOperator()->GetOperatorName(), QStringLiteral("张三丰"));

    op->SetRights(QVector<int>{});
    op->SetState(CKvPersistance::StateChanged);
    op->Save();
    EXPECT_TRUE(permissions(QStringLiteral("op1")).isEmpty());
    EXPECT_EQ(storedPw(QStringLiteral("op1")), hash);

    // A record filled field by field from a loaded one (as an editor does)
    // carries the hash through the typed-password setter: still not hashed again.
    COperator copy;
    copy.SetOperatorNo(op->GetOperatorNo());
    copy.SetOperatorName(op->GetOperatorName());
    copy.SetStationNo(op->GetStationNo());
    copy.SetOperatorPw(op->GetOperatorPw());
    copy.SetState(CKvPersistance::StateChanged);
    copy.Save();
    EXPECT_EQ(storedPw(QStringLiteral("op1")), hash);
    EXPECT_TRUE(login(QStringLiteral("op1"), QStringLiteral("Ab12")));
}

TEST_F(OperatorDbTest, FailedUpdateRollsBackWithItsText)
{
    addOperator(QStringLiteral("op1"), QStringLiteral("张三"), QStringLiteral("Ab12"), {101});
    // A trigger makes the Permission insert of the update fail after the row was rewritten.
    db().Execute(QStringLiteral("create trigger NoMore before insert on Permission begin "
                                "select raise(abort, 'refused'); end"),
                 QString());
    COperatorList list;
    COperator* op = list.FindByNo(QStringLiteral("op1"));
    op->SetOperatorName(QStringLiteral("changed"));
    op->SetState(CKvPersistance::StateChanged);
    try {
        op->Save();
        FAIL();
    } catch (const CKvException& e) {
        EXPECT_EQ(e.text(), QStringLiteral("修改密码失败！"));
    }
    EXPECT_EQ(op->GetState(), CKvPersistance::StateChanged);
    EXPECT_EQ(fresh.Value(QStringLiteral("select OperatorName from Operator where OperatorNo = 'op1'")),
              QStringLiteral("张三"));
    EXPECT_EQ(permissions(QStringLiteral("op1")), (QList<int>{101}));
}

TEST_F(OperatorDbTest, UpdateOfAnOperatorWhoseRowIsGoneFailsAndLeavesNoRights)
{
    addOperator(QStringLiteral("op1"), QStringLiteral("张三"), QStringLiteral("Ab12"), {101});
    COperatorList list;
    COperator* op = list.FindByNo(QStringLiteral("op1"));
    ASSERT_NE(op, nullptr);
    db().Execute(QStringLiteral("delete from Operator where OperatorNo = 'op1'"), QString());
    op->SetOperatorPw(QStringLiteral("new1"));
    op->SetState(CKvPersistance::StateChanged);
    EXPECT_EQ(ThrownText([&] { op->Save(); }), QStringLiteral("修改密码失败！"));
    EXPECT_EQ(op->GetState(), CKvPersistance::StateChanged);
    EXPECT_EQ(permissions(QStringLiteral("op1")), (QList<int>{101})) << "the old rows stay, none are added";
    EXPECT_EQ(db().GetTransDepth(), 0);
}

TEST_F(OperatorDbTest, RemoveDeletesTheRowAndItsRights)
{
    addOperator(QStringLiteral("vx"), QStringLiteral("vx"), QStringLiteral("1"), {101, 103});
    COperatorList list;
    list.LoadAll();
    ASSERT_EQ(list.GetCount(), 2);
    COperator* vx = list.At(0)->GetOperatorNo() == QStringLiteral("vx") ? list.At(0) : list.At(1);
    EXPECT_TRUE(list.Remove(vx));
    EXPECT_EQ(list.GetCount(), 1);
    EXPECT_FALSE(COperatorList::Exists(QStringLiteral("vx")));
    EXPECT_TRUE(permissions(QStringLiteral("vx")).isEmpty());
    EXPECT_EQ(permissions(QStringLiteral("qz")).size(), 15);
}
