#include "CAdoConnection.h"
#include "CAdoRecordset.h"
#include "CDbResult.h"
#include "CKvException.h"
#include "KvTestSupport.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

class RecordsetTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        db = OpenScratchDatabase(dir.filePath("t.db"), QStringLiteral(R"(
create table Pay (PayIndex integer primary key, ClientNo text, Amount real, Paid text, Note text);
insert into Pay values (1, 'A01', 12.5, '2005-03-01 08:30:00', null);
insert into Pay values (2, 'A02', 7, '2005-03-02', 'cash');
insert into Pay values (3, 'A03', '3.25', '2005-03-03', '');
)"));
        rs = db->AcquireRecordset();
    }
    void TearDown() override { rs->Release(); }

    QTemporaryDir dir;
    std::unique_ptr<CAdoConnection> db;
    CAdoRecordset* rs = nullptr;
};

} // namespace

TEST_F(RecordsetTest, CountIsBySteppingAndLeavesTheCursorOnTheFirstRow)
{
    rs->Open(QStringLiteral("select * from Pay order by PayIndex"));
    EXPECT_EQ(rs->GetRecordCount(), 3);
    EXPECT_EQ(rs->GetFieldInt("PayIndex"), 1);
    rs->MoveNext();
    EXPECT_EQ(rs->GetRecordCount(), 2) << "counting starts at the current row";
    EXPECT_EQ(rs->GetFieldInt("PayIndex"), 1);

    rs->Open(QStringLiteral("select * from Pay where PayIndex > 10"));
    EXPECT_EQ(rs->GetRecordCount(), 0);
    EXPECT_TRUE(rs->IsBOF());
    EXPECT_TRUE(rs->IsEOF());

    rs->Close();
    EXPECT_EQ(rs->GetRecordCount(), 0) << "a closed recordset counts nothing";
}

TEST_F(RecordsetTest, WalkingToTheEnd)
{
    rs->Open(QStringLiteral("select PayIndex from Pay order by PayIndex"));
    QList<int> seen;
    while (!rs->IsEOF()) {
        seen << rs->GetFieldInt("payindex");
        rs->MoveNext();
    }
    EXPECT_EQ(seen, (QList<int>{1, 2, 3}));
    rs->MoveFirst();
    EXPECT_EQ(rs->GetFieldInt("PayIndex"), 1);
}

TEST_F(RecordsetTest, TypedReadsConvertStoredValues)
{
    rs->Open(QStringLiteral("select * from Pay order by PayIndex"));
    EXPECT_DOUBLE_EQ(rs->GetFieldDouble("Amount"), 12.5);
    EXPECT_EQ(rs->GetFieldString("Amount"), QStringLiteral("12.5"));
    EXPECT_EQ(rs->GetFieldDateTime("Paid"), QDateTime(QDate(2005, 3, 1), QTime(8, 30)));
    rs->MoveNext();
    EXPECT_EQ(rs->GetFieldInt("Amount"), 7);
    EXPECT_EQ(rs->GetFieldDateTime("Paid"), QDateTime(QDate(2005, 3, 2), QTime(0, 0)));
    rs->MoveNext();
    EXPECT_DOUBLE_EQ(rs->GetFieldDouble("Amount"), 3.25) << "text read as a number";
}

TEST_F(RecordsetTest, NullRaisesOnATypedReadOnly)
{
    rs->Open(QStringLiteral("select * from Pay where PayIndex = 1"));
    EXPECT_THROW(rs->GetFieldString("Note"), CKvException);
    EXPECT_THROW(rs->GetFieldInt("Note"), CKvException);
    EXPECT_EQ(rs->GetFieldText("Note"), QString());
    EXPECT_TRUE(rs->IsFieldNull("Note"));
    EXPECT_THROW(rs->GetFieldText("NoSuchColumn"), CKvException);
}

TEST_F(RecordsetTest, ReopeningReplacesTheResultAndPassesEngineErrorsOn)
{
    rs->Open(QStringLiteral("select * from Pay"));
    rs->Open(QStringLiteral("select ClientNo from Pay where PayIndex = 2"));
    EXPECT_EQ(rs->GetRecordCount(), 1);
    EXPECT_EQ(rs->GetFieldString("ClientNo"), QStringLiteral("A02"));
    EXPECT_THROW(rs->Open(QStringLiteral("select * from Nowhere")), CKvException);
    EXPECT_FALSE(rs->IsOpen());
}

TEST_F(RecordsetTest, AnIntegerReadOutsideTheRangeOfIntFailsInsteadOfWrapping)
{
    struct Case
    {
        const char* value;
        bool fits;
        int read;
    };
    for (const Case& c : {Case{"2147483647", true, 2147483647}, Case{"-2147483648", true, -2147483647 - 1},
                          Case{"2147483648", false, 0}, Case{"-2147483649", false, 0}, Case{"4294967297", false, 0},
                          Case{"3e9", false, 0}, Case{"'5000000000'", false, 0}, Case{"'12.5'", true, 13}}) {
        rs->Open(QStringLiteral("select %1 as v").arg(QString::fromLatin1(c.value)));
        if (c.fits)
            EXPECT_EQ(rs->GetFieldInt("v"), c.read) << c.value;
        else
            EXPECT_THROW(rs->GetFieldInt("v"), CKvException) << c.value;
    }
}

// Results reuse the blocks of results that ended: a result made on them holds
// its own rows only, whatever the sizes of its texts, and a result moved away
// leaves an empty one that fills again on its own.
TEST(DbResultTest, AResultOnReusedBlocksHoldsItsOwnRowsOnly)
{
    const auto textsOf = [](const CDbResult& r) {
        QStringList texts;
        for (int row = 0; row < r.rowCount; ++row) {
            const CDbResult::Cell& c = r.cell(row, 0);
            texts << (c.type() == CDbResult::Null ? QStringLiteral("<null>") : r.text(c));
        }
        return texts;
    };
    const auto fill = [](CDbResult& r, const QStringList& texts) {
        r.columns = {QStringLiteral("T")};
        for (const QString& t : texts) {
            if (t == QStringLiteral("<null>")) {
                r.appendNull();
            } else {
                const QByteArray utf8 = t.toUtf8();
                r.appendText(utf8.constData(), static_cast<int>(utf8.size()));
            }
            ++r.rowCount;
        }
    };
    QStringList many;
    for (int i = 0; i < 30000; ++i)
        many << QStringLiteral("住户%1").arg(i, 8, 10, QChar(u'0'));
    {
        CDbResult large;
        fill(large, many);
        ASSERT_EQ(textsOf(large), many);
    }
    const QStringList mixed{QString(),           QStringLiteral("a"), QString(70000, u'长'), QStringLiteral("<null>"),
                            QStringLiteral("b"), QString(),           QString(65536, u'x'),  QStringLiteral("c")};
    CDbResult first;
    fill(first, mixed);
    EXPECT_EQ(textsOf(first), mixed);

    CDbResult moved(std::move(first));
    EXPECT_EQ(textsOf(moved), mixed);
    EXPECT_EQ(first.rowCount, 0);
    fill(first, {QStringLiteral("again")});
    EXPECT_EQ(textsOf(first), QStringList{QStringLiteral("again")});
    EXPECT_EQ(textsOf(moved), mixed);

    moved.clearRows();
    fill(moved, many.mid(0, 5000));
    EXPECT_EQ(textsOf(moved), many.mid(0, 5000));
}
