// Two counters drawing keys from one counter column at the same moment: every
// key is drawn once, and the counter ends at the number of keys drawn.
#include "CAdoConnection.h"
#include "CAdoRecordset.h"
#include "CSysPara.h"
#include "KvInstalledServer.h"
#include "KvSchema.h"
#include "KvTestSupport.h"

#include <QProcess>
#include <QSet>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

struct Drawn
{
    QList<int> keys;
    QString failures;
};

// Starts `processes` drawers at once, each drawing `each` keys from `column`.
Drawn DrawAtOnce(int kind, const QString& connectString, const QString& column, int processes, int each)
{
    std::vector<std::unique_ptr<QProcess>> drawers;
    for (int i = 0; i < processes; ++i) {
        auto p = std::make_unique<QProcess>();
        p->start(QStringLiteral(KV_KEY_DRAWER),
                 {QString::number(kind), connectString, column, QString::number(each)});
        drawers.push_back(std::move(p));
    }
    Drawn drawn;
    for (auto& p : drawers) {
        if (!p->waitForFinished(300000) || p->exitCode() != 0)
            drawn.failures += QString::fromUtf8(p->readAllStandardError()) + QStringLiteral(" (exit %1)\n").arg(p->exitCode());
        const QList<QByteArray> lines = p->readAllStandardOutput().split('\n');
        for (const QByteArray& line : lines) {
            if (!line.trimmed().isEmpty())
                drawn.keys << line.trimmed().toInt();
        }
    }
    return drawn;
}

int CounterValue(CAdoConnection& db, const QString& column)
{
    CAdoLease<CAdoRecordset> rs(db.AcquireRecordset());
    rs->Open(QStringLiteral("select %1 from SysPara").arg(column));
    return rs->GetFieldInt(column);
}

void ExpectEveryKeyOnce(const Drawn& drawn, int first, int total)
{
    ASSERT_TRUE(drawn.failures.isEmpty()) << drawn.failures.toStdString();
    ASSERT_EQ(drawn.keys.size(), total);
    const QSet<int> unique(drawn.keys.begin(), drawn.keys.end());
    EXPECT_EQ(unique.size(), total) << "a key was drawn twice";
    EXPECT_EQ(*std::min_element(drawn.keys.begin(), drawn.keys.end()), first);
    EXPECT_EQ(*std::max_element(drawn.keys.begin(), drawn.keys.end()), first + total - 1);
}

class ServerKeyCounterTest : public InstalledServerTest
{
};

} // namespace

TEST_F(ServerKeyCounterTest, TwoProcessesDrawingAtOnceNeverShareAKey)
{
    const int first = CounterValue(db, QStringLiteral("WrtIndex"));
    const int each = 3000;
    const Drawn drawn = DrawAtOnce(1, Server().ConnectString(), QStringLiteral("WrtIndex"), 2, each);
    ExpectEveryKeyOnce(drawn, first, 2 * each);
    EXPECT_EQ(CounterValue(db, QStringLiteral("WrtIndex")), first + 2 * each);
}

TEST_F(ServerKeyCounterTest, AKeyIsTheValueBeforeTheIncrement)
{
    CSysPara para;
    para.SetDatabase(&db);
    para.SetIntPara(QStringLiteral("ClientIndex"), 41);
    EXPECT_EQ(para.GetIntPara(QStringLiteral("ClientIndex"), 1), 41);
    EXPECT_EQ(para.GetIntPara(QStringLiteral("ClientIndex"), 0), 42);
    EXPECT_EQ(para.GetIntPara(QStringLiteral("ClientIndex"), 0), 42);
    // A key drawn inside a group that is rolled back is a gap: it was drawn
    // on its own, so that no group holds the counter row.
    db.BeginTrans();
    EXPECT_EQ(para.GetIntPara(QStringLiteral("ClientIndex"), 1), 42);
    db.RollbackTrans();
    EXPECT_EQ(para.GetIntPara(QStringLiteral("ClientIndex"), 0), 43);
    // A receipt number is given back with its group: receipts have no gaps.
    const int receipt = para.GetIntPara(QStringLiteral("InvoiceNo"), 0);
    db.BeginTrans();
    EXPECT_EQ(para.GetIntPara(QStringLiteral("InvoiceNo"), 1), receipt);
    db.RollbackTrans();
    EXPECT_EQ(para.GetIntPara(QStringLiteral("InvoiceNo"), 0), receipt);
}

// A counter inside a long transaction (the month's quota fees are one) that
// has drawn keys holds no other counter's key draw back until it ends.
TEST_F(ServerKeyCounterTest, ALongTransactionThatDrewKeysHoldsNoOtherCounterBack)
{
    CSysPara para;
    para.SetDatabase(&db);
    db.BeginTrans();
    const int held = para.GetIntPara(QStringLiteral("FixFeeIndex"), 1);
    const Drawn drawn = DrawAtOnce(1, Server().ConnectString(), QStringLiteral("FixFeeIndex"), 1, 3);
    const bool stillOpen = db.GetTransDepth() == 1;
    db.RollbackTrans();
    EXPECT_TRUE(stillOpen);
    ASSERT_TRUE(drawn.failures.isEmpty()) << drawn.failures.toStdString();
    EXPECT_EQ(drawn.keys, QList<int>({held + 1, held + 2, held + 3}));
}

// A month's block of quota keys is drawn the same way: at once, on its own,
// the block a gap when the month rolls back.
TEST_F(ServerKeyCounterTest, ABlockOfKeysDrawnInALongTransactionHoldsNoOtherCounterBack)
{
    const int first = CounterValue(db, QStringLiteral("FixFeeIndex"));
    db.BeginTrans();
    const int afterBlock = db.DrawCounter(QStringLiteral("FixFeeIndex"), false, 500);
    const Drawn drawn = DrawAtOnce(1, Server().ConnectString(), QStringLiteral("FixFeeIndex"), 1, 3);
    const bool stillOpen = db.GetTransDepth() == 1;
    db.RollbackTrans();
    EXPECT_TRUE(stillOpen);
    EXPECT_EQ(afterBlock, first + 500);
    ASSERT_TRUE(drawn.failures.isEmpty()) << drawn.failures.toStdString();
    EXPECT_EQ(drawn.keys, QList<int>({first + 500, first + 501, first + 502}));
    EXPECT_EQ(CounterValue(db, QStringLiteral("FixFeeIndex")), first + 503);
}

TEST(EmbeddedKeyCounter, TwoProcessesDrawingAtOnceNeverShareAKey)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("Qrdb.db"));
    CreateFreshDatabase(path, QDateTime(QDate(2026, 12, 10), QTime(9, 30, 0)));
    const int each = 1000;
    const Drawn drawn = DrawAtOnce(0, QStringLiteral("Data Source=%1").arg(path), QStringLiteral("PayIndex"), 2, each);
    ExpectEveryKeyOnce(drawn, 1, 2 * each);
    CAdoConnection db;
    db.Open(0, path);
    EXPECT_EQ(CounterValue(db, QStringLiteral("PayIndex")), 1 + 2 * each);
}
