#include "CAdoConnection.h"
#include "CAdoRecordset.h"
#include "CKvException.h"
#include "CKvObjectList.h"
#include "CKvPersistance.h"
#include "KvTestSupport.h"

#include <gtest/gtest.h>

namespace {

// A record that logs what Save asked of it.
class LoggingRecord : public CKvPersistance
{
public:
    explicit LoggingRecord(QStringList* log, QString name = QStringLiteral("CKvPersistance"))
        : m_log(log), m_name(std::move(name))
    {
    }
    QString GetClassName() const override { return m_name; }
    void InsertNew() override
    {
        *m_log << "InsertNew";
        Insert();
    }
    void Insert() override
    {
        *m_log << "Insert";
        SetState(StateStored);
    }
    void Update() override
    {
        *m_log << "Update";
        SetState(StateStored);
    }
    void Delete() override { *m_log << "Delete"; }
    LoggingRecord(const LoggingRecord& other) = default;
    LoggingRecord& operator=(const LoggingRecord& other)
    {
        CKvPersistance::operator=(other);
        return *this;
    }

private:
    QStringList* m_log;
    QString m_name;
};

class PlainList : public CKvObjectList
{
public:
    QList<CKvObject*>& Load(const QString&) override { return GetObList(); }
};

} // namespace

TEST(CKvPersistance, SaveDispatchesOnTheState)
{
    struct Case
    {
        int state;
        QStringList calls;
    } cases[] = {
        {0, {"InsertNew", "Insert"}}, {1, {"Insert"}}, {2, {}}, {3, {"Update"}}, {4, {}}, {5, {"Delete"}}, {9, {}},
    };
    for (const Case& c : cases) {
        QStringList log;
        LoggingRecord record(&log);
        record.SetState(c.state);
        record.Save();
        EXPECT_EQ(log, c.calls) << c.state;
    }
}

TEST(CKvPersistance, NewRecordSavedTwiceInsertsOnceAndAnAssignedCopyIsInert)
{
    QStringList log;
    LoggingRecord record(&log);
    record.Save();
    record.Save();
    EXPECT_EQ(log, (QStringList{"InsertNew", "Insert"}));
    LoggingRecord copy(&log);
    copy.SetCheck(1);
    copy = record;
    EXPECT_EQ(copy.GetState(), CKvPersistance::StateInert);
    EXPECT_EQ(copy.GetCheck(), 1) << "assignment keeps the target's check flag";
}

TEST(CKvObjectList, ACopyOfAMemberBelongsToNoListAndIsInert)
{
    QStringList log;
    PlainList list;
    auto* member = new LoggingRecord(&log);
    list.Add(member);
    member->SetCheck(1);
    member->SetState(CKvPersistance::StateStored);
    LoggingRecord copy(*member);
    EXPECT_EQ(copy.GetList(), nullptr);
    EXPECT_EQ(copy.GetCheck(), 0);
    EXPECT_EQ(copy.GetState(), CKvPersistance::StateInert);
    EXPECT_FALSE(list.Remove(&copy)) << "not a member, nothing deleted";
    EXPECT_EQ(list.GetCount(), 1);
}

TEST(CKvObjectList, SaveAllAndDeleteAllTouchOnlyPlainRecords)
{
    QStringList log;
    PlainList list;
    auto* plain = new LoggingRecord(&log);
    auto* fee = new LoggingRecord(&log, QStringLiteral("CFixFee"));
    list.Add(new CKvObject);
    list.Add(plain);
    list.Add(fee);
    plain->SetState(3);
    fee->SetState(3);
    list.SaveAll();
    EXPECT_EQ(log, QStringList{"Update"});
    log.clear();
    list.DeleteAll();
    EXPECT_EQ(log, QStringList{"Delete"});
    EXPECT_EQ(plain->GetState(), CKvPersistance::StateDelete);
    EXPECT_EQ(fee->GetState(), 3);
    EXPECT_EQ(list.GetCount(), 3) << "DeleteAll keeps the objects";
}

TEST(CKvObjectList, RemoveMovesTheCurrentObjectBackThenForward)
{
    PlainList list;
    auto* a = new CKvObject;
    auto* b = new CKvObject;
    auto* c = new CKvObject;
    list.Add(a);
    list.Add(c);
    EXPECT_TRUE(list.Add(b, a));
    EXPECT_EQ(list.GetObList(), (QList<CKvObject*>{a, b, c}));
    EXPECT_EQ(list.GetCurrent(), b);
    EXPECT_EQ(a->GetList(), &list);

    EXPECT_TRUE(list.Remove(b));
    EXPECT_EQ(list.GetCurrent(), a) << "the predecessor";
    EXPECT_TRUE(list.Remove(a));
    EXPECT_EQ(list.GetCurrent(), c) << "the successor when it was first";
    EXPECT_TRUE(list.Remove(c, 0));
    EXPECT_EQ(list.GetCurrent(), nullptr);
}

TEST(CKvObjectList, NonMembersAreRefusedWithoutHarm)
{
    PlainList list;
    CKvObject outsider;
    auto* a = new CKvObject;
    list.Add(a);
    list.SetCurrent(nullptr);
    EXPECT_FALSE(list.Remove(&outsider)) << "used to throw while no object was current";
    CKvObject stray;
    EXPECT_FALSE(list.Add(&stray, &outsider));
    EXPECT_EQ(list.GetCount(), 1);
    EXPECT_EQ(ThrownText([&] { list.GetNext(&outsider); }), QStringLiteral("指定的指针无效！"));
    EXPECT_EQ(list.GetNext(a), nullptr);
    EXPECT_EQ(list.GetPrev(a), nullptr);
    PlainList empty;
    EXPECT_EQ(empty.GetHead(), nullptr);
    EXPECT_EQ(empty.GetTail(), nullptr);
}

namespace {

class BlockRecord : public CKvPersistance
{
public:
    QString no;
    void InsertNew() override {}
    void Insert() override {}
    void Delete() override {}
    void Update() override {}
};

class BlockList : public CKvRecordList<BlockRecord>
{
public:
    explicit BlockList(CAdoConnection& db) : m_db(db) {}
    QList<CKvObject*>& Load(const QString& sql) override
    {
        return LoadRows(m_db, sql, [](const CAdoRecordset& rs) {
            auto* r = new BlockRecord;
            r->no = rs.GetFieldString(QStringLiteral("BlockNo"));
            return r;
        });
    }

private:
    CAdoConnection& m_db;
};

} // namespace

TEST(CKvObjectList, LoadKeepsItsStatementAndAnEmptyOneTouchesNoDatabase)
{
    CTempAppDirectory app;
    auto db = OpenScratchDatabase(app.FilePath("l.db"), QStringLiteral("create table Block (BlockNo text);"
                                                                       "insert into Block values ('01'), ('02');"));
    BlockList list(*db);
    list.Load(QStringLiteral("select * from Block order by BlockNo"));
    ASSERT_EQ(list.GetCount(), 2);
    EXPECT_EQ(list.At(1)->no, QStringLiteral("02"));
    EXPECT_EQ(list.At(0)->GetState(), CKvPersistance::StateStored);
    EXPECT_EQ(list.GetSql(), QStringLiteral("select * from Block order by BlockNo"));

    db->Close();
    EXPECT_TRUE(list.Load(QString()).isEmpty()) << "no database reached: the connection is closed";
    EXPECT_EQ(list.GetCurrent(), nullptr);
}
