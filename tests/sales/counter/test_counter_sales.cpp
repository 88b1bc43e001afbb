// Counters selling on one main database: a sale stored once with everything
// that belongs to it, two counter processes selling at once with keys and
// receipt numbers that never collide, and a counter cut off in the middle of a
// sale leaving no half-written sale behind.

#include "CCardToolSim.h"
#include "CSaleCondition.h"
#include "CounterTestFixture.h"
#include "KvCounterSale.h"
#include "KvLogin.h"
#include "KvSaleQuerySql.h"
#include "KvUtil.h"
#include "SysGlobals.h"
#include "../CardToolTestHelpers.h"

#include <QProcess>
#include <QThread>
#include <algorithm>
#include <gtest/gtest.h>

namespace {

// This program's main database: the server (its "network" twin, whose suite
// has a name of its own) or the file.
#if defined(QUILLMER_COUNTERS_ON_SERVER)
#define COUNTER_SALES CounterSalesOnServerTest
#else
#define COUNTER_SALES CounterSalesTest
#endif

std::unique_ptr<CSharedMain> MakeSharedMain()
{
#if defined(QUILLMER_COUNTERS_ON_SERVER)
    return std::make_unique<CSharedServer>();
#else
    return std::make_unique<CSharedFile>();
#endif
}

// The first row of a query, each column's text by its lower-case name.
QMap<QString, QString> MainRow(CAdoConnection& db, const QString& sql)
{
    CAdoLease<CAdoRecordset> rs(db.AcquireRecordset());
    rs->Open(sql);
    QMap<QString, QString> row;
    if (rs->IsEOF())
        return row;
    for (int i = 0; i < rs->GetFieldCount(); ++i)
        row.insert(rs->GetFieldName(i).toLower(), rs->GetFieldText(rs->GetFieldName(i)));
    return row;
}

// The rows that would betray a sale stored in part: each query lists them.
const struct
{
    const char* what;
    const char* sql;
} kHalfWritten[] = {
    {"a sale without its price share",
     "select c.WrtIndex from WrtRecord c where not exists (select * from WrtPrice k where k.WrtIndex = c.WrtIndex)"},
    {"a price share without its sale",
     "select k.WrtPriceIndex from WrtPrice k where not exists (select * from WrtRecord c where c.WrtIndex = k.WrtIndex)"},
    {"a payment without a paid sale",
     "select d.PayIndex from ClientPay d where not exists (select * from WrtRecord c where c.WrtIndex = d.WrtIndex "
     "and c.State = '收讫')"},
    {"a paid sale without its payment",
     "select c.WrtIndex from WrtRecord c where c.State = '收讫' and not exists (select * from ClientPay d "
     "where d.WrtIndex = c.WrtIndex)"},
    {"a card image of a sale not confirmed",
     "select l.MeterNo from PreLastWrt l where l.WrtIndex <> 0 and not exists (select * from WrtRecord c "
     "where c.WrtIndex = l.WrtIndex and c.State in ('写卡成功', '收讫'))"},
    {"a balance of a payment not stored",
     "select b.ClientNo from CliBalance b where b.PayIndex <> 0 and not exists (select * from ClientPay d "
     "where d.PayIndex = b.PayIndex)"},
};

class COUNTER_SALES : public ::testing::Test
{
protected:
    void SetUp() override
    {
        m_main = MakeSharedMain();
        if (!m_main->SkipReason().isEmpty())
            GTEST_SKIP() << m_main->SkipReason().toStdString();
        AddCounterSaleCodes(Db());
    }
    void TearDown() override
    {
        ReleaseProcessObjects();
        SetAppDirectory(QString());
    }

    CAdoConnection& Db() { return m_main->Db(); }

    // Workstation `station` with its operator "s<station>" and `users` users;
    // returns its program folder, holding the card tools.
    QString AddCounter(int station, int users)
    {
        AddCounterOperator(Db(), Operator(station), station);
        AddCounterUsers(Db(), station, users);
        const QString folder = m_folders.filePath(QStringLiteral("counter%1").arg(station));
        m_main->MakeCounterFolder(folder, station);
        CopyCardTools(folder);
        return folder;
    }
    static QString Operator(int station) { return QStringLiteral("s%1").arg(station); }

    // A counter seller selling to users first .. first + count - 1.
    std::unique_ptr<QProcess> StartSeller(const QString& folder, int station, int first, int count,
                                          const QStringList& more = {})
    {
        auto seller = std::make_unique<QProcess>();
        seller->setProcessChannelMode(QProcess::ForwardedErrorChannel);
        seller->setWorkingDirectory(folder);
        seller->start(QStringLiteral(QUILLMER_COUNTER_SELLER),
                      QStringList{QStringLiteral("--folder"), folder, QStringLiteral("--operator"), Operator(station),
                                  QStringLiteral("--station"), QString::number(station), QStringLiteral("--first"),
                                  QString::number(first), QStringLiteral("--count"), QString::number(count)} +
                          more);
        EXPECT_TRUE(seller->waitForStarted(10000));
        return seller;
    }
    static QStringList Finish(QProcess& seller)
    {
        EXPECT_TRUE(seller.waitForFinished(300000));
        return QString::fromUtf8(seller.readAllStandardOutput()).split(u'\n', Qt::SkipEmptyParts);
    }
    // Waits for the seller's "HOLD", inside its first confirmation.
    static bool WaitForHold(QProcess& seller)
    {
        QByteArray seen;
        while (!seen.contains("HOLD")) {
            if (!seller.waitForReadyRead(60000))
                return false;
            seen += seller.readAllStandardOutput();
        }
        return true;
    }

    void ExpectNoHalfWrittenSale()
    {
        for (const auto& check : kHalfWritten)
            EXPECT_EQ(MainColumn(Db(), QString::fromUtf8(check.sql)), QStringList()) << check.what;
    }
    int Duplicates(const QString& table, const QString& column)
    {
        return MainCount(Db(), QStringLiteral("select %2 from %1 group by %2 having count(*) > 1")
                                   .arg(table, column));
    }

    std::unique_ptr<CSharedMain> m_main;
    QTemporaryDir m_folders;
};

} // namespace

// One top-up on a counter, run in this process as the sales dialog runs it:
// 80 kWh at 0.50 on an empty balance, the card written, paid exactly, the
// receipt numbered. Each row it stores is there once, with its figures.
TEST_F(COUNTER_SALES, ASaleIsStoredOnceWithItsShareItsPaymentItsBalanceAndItsReceipt)
{
    const QString folder = AddCounter(1, 1);
    const QString firstReceipt = MainValue(Db(), QStringLiteral("select InvoiceNo from SysPara"));
    SetAppDirectory(folder);
    QString failure;
    ASSERT_TRUE(OpenCounterConnections(failure)) << failure.toStdString();
    ASSERT_TRUE(LoginOperator(QStringLiteral("s1"), QString()));
    CRecordingMessageSink sink;
    CCounterSaleHost host;
    const CounterSaleResult sale = SellCounterTopUp(host, CounterClientNo(1, 1), CounterMeterNo(1, 1));
    ASSERT_EQ(sale.failure, QString()) << sink.Texts().join(u'|').toStdString();
    EXPECT_EQ(sink.Texts().last(), QStringLiteral("写卡成功！"));
    EXPECT_EQ(CCardToolSim(folder).Card(1).amount, 80);

    const QString meter = CounterMeterNo(1, 1);
    ASSERT_EQ(MainCount(Db(), QStringLiteral("select * from WrtRecord")), 1);
    const auto row = MainRow(Db(), QStringLiteral("select * from WrtRecord"));
    EXPECT_EQ(row.value("wrtindex").toInt(), sale.wrtIndex);
    EXPECT_EQ(row.value("meterno"), meter);
    EXPECT_EQ(row.value("state"), QStringLiteral("收讫"));
    EXPECT_EQ(row.value("operatorno"), QStringLiteral("s1"));
    EXPECT_EQ(row.value("opmode"), QStringLiteral("正常充值"));
    EXPECT_EQ(row.value("wrtnum").toInt(), 2);
    EXPECT_EQ(row.value("wrtvalue").toInt(), 80);
    EXPECT_EQ(row.value("accubuy").toInt(), 130);
    EXPECT_DOUBLE_EQ(row.value("accuremain").toDouble(), 130);
    EXPECT_DOUBLE_EQ(row.value("fee").toDouble(), 40);

    const auto share = MainRow(Db(), QStringLiteral("select * from WrtPrice"));
    EXPECT_EQ(MainCount(Db(), QStringLiteral("select * from WrtPrice")), 1);
    EXPECT_EQ(share.value("wrtindex").toInt(), sale.wrtIndex);
    EXPECT_EQ(share.value("priceindex").toInt(), 1);
    EXPECT_EQ(share.value("pricepercent").toInt(), 100);

    const auto pay = MainRow(Db(), QStringLiteral("select * from ClientPay"));
    EXPECT_EQ(MainCount(Db(), QStringLiteral("select * from ClientPay")), 1);
    EXPECT_EQ(pay.value("wrtindex").toInt(), sale.wrtIndex);
    EXPECT_DOUBLE_EQ(pay.value("totfee").toDouble(), 40);
    EXPECT_DOUBLE_EQ(pay.value("realpay").toDouble(), 40);
    EXPECT_EQ(pay.value("invoiceno"), QString::asprintf("%08d", firstReceipt.toInt()));
    EXPECT_EQ(pay.value("invoiceno"), sale.receiptNo);

    const auto balance = MainRow(Db(), QStringLiteral("select * from CliBalance"));
    EXPECT_EQ(balance.value("clientno"), CounterClientNo(1, 1));
    EXPECT_EQ(balance.value("payindex"), pay.value("payindex"));
    EXPECT_EQ(balance.value("invoiceno"), sale.receiptNo);
    EXPECT_DOUBLE_EQ(balance.value("realpay").toDouble(), 40);

    const auto image = MainRow(Db(), QStringLiteral("select * from PreLastWrt"));
    EXPECT_EQ(image.value("wrtindex").toInt(), sale.wrtIndex);
    EXPECT_EQ(image.value("wrtnum").toInt(), 2);
    EXPECT_EQ(image.value("accubuy").toInt(), 130);

    EXPECT_EQ(MainValue(Db(), QStringLiteral("select InvoiceNo from SysPara")).toInt(), firstReceipt.toInt() + 1);
    ExpectNoHalfWrittenSale();
}

// Two counters, each its own process, workstation and operator, sell to their
// own users at the same time. Every sale, share, payment and balance is there
// once; keys and receipt numbers never collide and no receipt number is lost;
// the sale query shows both counters' sales.
TEST_F(COUNTER_SALES, TwoCountersSellingAtOnceStoreEverySaleOnceWithKeysThatNeverCollide)
{
    constexpr int kSales = 60;
    const QString folder1 = AddCounter(1, kSales);
    const QString folder2 = AddCounter(2, kSales);
    const int firstReceipt = MainValue(Db(), QStringLiteral("select InvoiceNo from SysPara")).toInt();

    auto seller1 = StartSeller(folder1, 1, 1, kSales);
    auto seller2 = StartSeller(folder2, 2, 1, kSales);
    const QStringList out1 = Finish(*seller1);
    const QStringList out2 = Finish(*seller2);
    ASSERT_EQ(seller1->exitCode(), 0) << out1.join(u'\n').toStdString();
    ASSERT_EQ(seller2->exitCode(), 0) << out2.join(u'\n').toStdString();
    ASSERT_EQ(out1.last(), QStringLiteral("DONE %1").arg(kSales));
    ASSERT_EQ(out2.last(), QStringLiteral("DONE %1").arg(kSales));

    constexpr int total = 2 * kSales;
    EXPECT_EQ(MainCount(Db(), QStringLiteral("select * from WrtRecord")), total);
    EXPECT_EQ(MainCount(Db(), QStringLiteral("select * from WrtRecord where State = '收讫'")), total);
    EXPECT_EQ(MainCount(Db(), QStringLiteral("select * from WrtPrice")), total);
    EXPECT_EQ(MainCount(Db(), QStringLiteral("select * from ClientPay")), total);
    EXPECT_EQ(Duplicates(QStringLiteral("WrtRecord"), QStringLiteral("WrtIndex")), 0);
    EXPECT_EQ(Duplicates(QStringLiteral("WrtPrice"), QStringLiteral("WrtPriceIndex")), 0);
    EXPECT_EQ(Duplicates(QStringLiteral("ClientPay"), QStringLiteral("PayIndex")), 0);
    EXPECT_EQ(Duplicates(QStringLiteral("ClientPay"), QStringLiteral("InvoiceNo")), 0);
    ExpectNoHalfWrittenSale();
    // Each user bought once: the balance and the card image carry that sale.
    EXPECT_EQ(MainCount(Db(), QStringLiteral("select b.ClientNo from CliBalance b, ClientPay d where b.PayIndex = "
                                             "d.PayIndex and b.InvoiceNo = d.InvoiceNo")),
              total);
    EXPECT_EQ(MainCount(Db(), QStringLiteral("select l.MeterNo from PreLastWrt l, WrtRecord c where l.WrtIndex = "
                                             "c.WrtIndex and l.WrtNum = 2 and c.MeterNo = l.MeterNo")),
              total);
    // Each counter sold with its own operator to its own users.
    for (int station : {1, 2})
        EXPECT_EQ(MainCount(Db(), QStringLiteral("select * from WrtRecord where OperatorNo = '%1' and MeterNo like "
                                                 "'M%2%'")
                                      .arg(Operator(station), QString::asprintf("%02d", station))),
                  kSales)
            << station;

    // The receipt numbers are the next `total` numbers, each given once, as
    // the counters reported them.
    QStringList stored = MainColumn(Db(), QStringLiteral("select InvoiceNo from ClientPay"));
    std::sort(stored.begin(), stored.end());
    QStringList expected;
    for (int n = 0; n < total; ++n)
        expected << QString::asprintf("%08d", firstReceipt + n);
    EXPECT_EQ(stored, expected);
    QStringList reported;
    for (const QString& line : out1 + out2)
        if (line.startsWith(QStringLiteral("SOLD ")))
            reported << line.section(u' ', 3, 3);
    std::sort(reported.begin(), reported.end());
    EXPECT_EQ(reported, expected);

    // The sale query finds both counters' sales.
    CAdoLease<CAdoRecordset> rs(Db().AcquireRecordset());
    rs->Open(SaleRecordQuerySql(CSaleCondition()));
    QMap<QString, int> byOperator;
    int rows = 0;
    for (; !rs->IsEOF(); rs->MoveNext(), ++rows)
        ++byOperator[rs->GetFieldString(QStringLiteral("OperatorName"))];
    EXPECT_EQ(rows, total);
    EXPECT_EQ(byOperator.value(QStringLiteral("收费员s1")), kSales);
    EXPECT_EQ(byOperator.value(QStringLiteral("收费员s2")), kSales);
}

// A counter killed inside the confirmation of a sale (card written, row and
// card image updated, not committed): nothing of the confirmation stays, the
// pending row keeps its share, no payment and no receipt number exist, and the
// counter never said the sale was done.
TEST_F(COUNTER_SALES, ACounterKilledInsideASaleLeavesNoHalfWrittenSale)
{
    const QString folder = AddCounter(1, 1);
    const QString receipt = MainValue(Db(), QStringLiteral("select InvoiceNo from SysPara"));
    auto seller = StartSeller(folder, 1, 1, 1, {QStringLiteral("--hold-in-confirmation")});
    ASSERT_TRUE(WaitForHold(*seller));
    seller->kill();
    const QStringList out = Finish(*seller);
    EXPECT_EQ(seller->exitStatus(), QProcess::CrashExit);
    EXPECT_TRUE(out.filter(QStringLiteral("SOLD")).isEmpty());

    ExpectNoHalfWrittenSale();
    EXPECT_EQ(MainValue(Db(), QStringLiteral("select State from WrtRecord")), QStringLiteral("待写"));
    EXPECT_EQ(MainValue(Db(), QStringLiteral("select WrtIndex from PreLastWrt")).toInt(), 0);
    EXPECT_EQ(MainCount(Db(), QStringLiteral("select * from ClientPay")), 0);
    EXPECT_EQ(MainValue(Db(), QStringLiteral("select PayIndex from CliBalance")).toInt(), 0);
    EXPECT_EQ(MainValue(Db(), QStringLiteral("select InvoiceNo from SysPara")), receipt);
}

// A counter whose server connection is cut in the middle of a sale (the
// server's backend terminated, as a lost network would) at each transaction
// of the sale: the counter reports the failure, not the sale (what failed in
// its own words, then that the connection was lost with the whole operation
// and what to check), and the
// transaction leaves nothing behind: the pending row not without its share,
// the confirmation not in part, no payment without its paid sale and balance.
TEST_F(COUNTER_SALES, AConnectionCutInsideASaleIsReportedAndLeavesNoHalfWrittenSale)
{
    auto* server = dynamic_cast<CSharedServer*>(m_main.get());
    if (!server)
        GTEST_SKIP() << "a server connection is cut; the embedded file has none";
    const struct
    {
        const char* where;
        const char* lockedTable; // held by another session until the counter waits for it
        const char* state;       // the sale row afterwards ("" none)
        bool imageUpdated;       // the card image carries the sale
        const char* said;        // what failed, in the program's words
    } cases[] = {
        {"storing the pending row and its share", "WrtPrice", "", false, "向数据库增加写卡记录发生错误！"},
        {"the confirmation", nullptr, "待写", false, "提交事务时发生错误！"},
        {"the payment and the balance", "CliBalance", "写卡成功", true, "向数据库更新用户余额时发生错误!"},
    };
    const QString folder = AddCounter(1, 3);
    const QString receipt = MainValue(Db(), QStringLiteral("select InvoiceNo from SysPara"));
    int user = 0;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.where);
        ++user;
        CAdoConnection locker;
        locker.Open(1, server->ConnectString());
        QString waiting;
        std::unique_ptr<QProcess> seller;
        if (c.lockedTable) {
            locker.BeginTrans();
            locker.Execute(QStringLiteral("lock table %1 in exclusive mode").arg(QString::fromLatin1(c.lockedTable)),
                           QString());
            seller = StartSeller(folder, 1, user, 1);
            waiting = QStringLiteral("wait_event_type = 'Lock'");
        } else {
            seller = StartSeller(folder, 1, user, 1, {QStringLiteral("--hold-in-confirmation")});
            ASSERT_TRUE(WaitForHold(*seller));
            waiting = QStringLiteral("state = 'idle in transaction'");
        }
        // The counter's backend: neither this test's connection nor the locker's.
        const QString counterBackend =
            QStringLiteral("select pid from pg_stat_activity where datname = current_database() and pid <> "
                           "pg_backend_pid() and pid <> %1 and %2")
                .arg(MainValue(locker, QStringLiteral("select pg_backend_pid()")), waiting);
        QString pid;
        for (int tries = 0; tries < 600 && pid.isEmpty(); ++tries) {
            pid = MainValue(Db(), counterBackend);
            if (pid.isEmpty())
                QThread::msleep(50);
        }
        ASSERT_FALSE(pid.isEmpty()) << "the counter never waited inside its sale";
        EXPECT_EQ(MainValue(Db(), QStringLiteral("select case when pg_terminate_backend(%1) then 1 else 0 end").arg(pid)),
                  QStringLiteral("1"));
        if (c.lockedTable)
            locker.RollbackTrans();
        else
            seller->write("go\n");
        const QStringList out = Finish(*seller);
        EXPECT_EQ(seller->exitStatus(), QProcess::NormalExit);
        EXPECT_EQ(seller->exitCode(), 1) << out.join(u'\n').toStdString();
        EXPECT_TRUE(out.filter(QStringLiteral("SOLD")).isEmpty()) << out.join(u'\n').toStdString();
        EXPECT_EQ(out.filter(QStringLiteral("FAILED")).size(), 1) << out.join(u'\n').toStdString();
        // The operator learns what failed, that the connection was lost with
        // the whole operation, and what to check.
        const QString told = out.filter(QStringLiteral("FAILED")).value(0);
        EXPECT_TRUE(told.contains(QString::fromUtf8(c.said))) << told.toStdString();
        EXPECT_TRUE(told.contains(QStringLiteral("与业务数据库的连接已断开，本次操作没有完成，已全部撤销。"
                                                 "请检查网络和服务器后重新操作。")))
            << told.toStdString();

        ExpectNoHalfWrittenSale();
        const QString meter = CounterMeterNo(1, user);
        EXPECT_EQ(MainValue(Db(), QStringLiteral("select State from WrtRecord where MeterNo = '%1'").arg(meter)),
                  QString::fromUtf8(c.state));
        const int image =
            MainValue(Db(), QStringLiteral("select WrtIndex from PreLastWrt where MeterNo = '%1'").arg(meter)).toInt();
        EXPECT_EQ(image != 0, c.imageUpdated);
        EXPECT_EQ(MainCount(Db(), QStringLiteral("select * from ClientPay")), 0);
        EXPECT_EQ(MainValue(Db(), QStringLiteral("select InvoiceNo from SysPara")), receipt);
    }
}

// A household with two meters and 100.00 of balance buys 40.00 at each of two
// counters at once. The second payment is stored while the first counter
// waits to take its payment, or while it waits to number its receipt after
// storing it. Either way the balance is spent once: the payments go 100 -> 60
// and 60 -> 20 and the household's row ends at 20 with the later payment and
// its receipt number. The counter whose balance changed since its card read
// tells the cashier and takes the payment on the balance as it is now.
TEST_F(COUNTER_SALES, TwoCountersSellingToOneHouseholdAtOnceSpendItsBalanceOnce)
{
    const struct
    {
        const char* hold; // where the first counter waits
        bool firstIsTold; // the first counter finds the balance changed
    } cases[] = {
        {"--hold-before-payment", true},
        {"--hold-before-receipt", false},
    };
    constexpr int kUsers = 2;
    const QString folder1 = AddCounter(1, kUsers);
    const QString folder2 = AddCounter(2, kUsers);
    int user = 0;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.hold);
        ++user;
        // The household of counter 1's user, with the meter of counter 2's
        // user as its second meter.
        const QString household = CounterClientNo(1, user);
        Db().Execute(QStringLiteral("update CliPre set ClientNo = '%1' where MeterNo = '%2'")
                         .arg(household, CounterMeterNo(2, user)),
                     QString());
        Db().Execute(QStringLiteral("update CliBalance set ThisBalance = 100 where ClientNo = '%1'").arg(household),
                     QString());

        auto first = StartSeller(folder1, 1, user, 1, {QString::fromLatin1(c.hold)});
        ASSERT_TRUE(WaitForHold(*first));
        auto second = StartSeller(folder2, 2, user, 1, {QStringLiteral("--client"), household});
        const QStringList out2 = Finish(*second);
        ASSERT_EQ(second->exitCode(), 0) << out2.join(u'\n').toStdString();
        first->write("go\n");
        const QStringList out1 = Finish(*first);
        ASSERT_EQ(first->exitCode(), 0) << out1.join(u'\n').toStdString();

        const QString changed = QStringLiteral("该用户的余额已被其他售电操作改变");
        EXPECT_EQ(out1.filter(changed).size(), c.firstIsTold ? 1 : 0) << out1.join(u'\n').toStdString();
        EXPECT_EQ(out2.filter(changed).size(), 0) << out2.join(u'\n').toStdString();

        const QString payments =
            QStringLiteral("select d.LastBalance, d.ThisBalance, d.PayIndex, d.InvoiceNo from ClientPay d, "
                           "WrtRecord c, CliPre p where d.WrtIndex = c.WrtIndex and c.CliPreIndex = "
                           "p.CliPreIndex and p.ClientNo = '%1' order by d.ThisBalance desc")
                .arg(household);
        CAdoLease<CAdoRecordset> rs(Db().AcquireRecordset());
        rs->Open(payments);
        QStringList figures;
        QString laterPay;
        QString laterReceipt;
        for (; !rs->IsEOF(); rs->MoveNext()) {
            figures << QStringLiteral("%1 -> %2")
                           .arg(rs->GetFieldDouble(QStringLiteral("LastBalance")), 0, 'f', 2)
                           .arg(rs->GetFieldDouble(QStringLiteral("ThisBalance")), 0, 'f', 2);
            laterPay = rs->GetFieldText(QStringLiteral("PayIndex"));
            laterReceipt = rs->GetFieldText(QStringLiteral("InvoiceNo"));
        }
        EXPECT_EQ(figures, (QStringList{"100.00 -> 60.00", "60.00 -> 20.00"}));
        const auto balance =
            MainRow(Db(), QStringLiteral("select * from CliBalance where ClientNo = '%1'").arg(household));
        EXPECT_DOUBLE_EQ(balance.value("thisbalance").toDouble(), 20);
        EXPECT_DOUBLE_EQ(balance.value("lastbalance").toDouble(), 60);
        EXPECT_EQ(balance.value("payindex"), laterPay);
        EXPECT_EQ(balance.value("invoiceno"), laterReceipt);
        ExpectNoHalfWrittenSale();
    }
}

// The receipt of one counter and the payment of another to the same
// household meet while a third session holds the counters' row (SysPara):
// the receipt queues first for that row, then the payment takes the
// household's balance row (or waits for it) and queues for its key. Once the
// row is let go both sales end: the receipt never holds the counters' row
// while it waits for the balance row the payment holds, and the balance is
// spent once.
TEST_F(COUNTER_SALES, AReceiptAndAPaymentOfOneHouseholdAtOnceNeverWaitForEachOther)
{
    auto* server = dynamic_cast<CSharedServer*>(m_main.get());
    if (!server)
        GTEST_SKIP() << "the rows of the server are held by sessions; the file's write transaction holds them all";
    const QString folder1 = AddCounter(1, 1);
    const QString folder2 = AddCounter(2, 1);
    const QString household = CounterClientNo(1, 1);
    Db().Execute(
        QStringLiteral("update CliPre set ClientNo = '%1' where MeterNo = '%2'").arg(household, CounterMeterNo(2, 1)),
        QString());
    Db().Execute(QStringLiteral("update CliBalance set ThisBalance = 100 where ClientNo = '%1'").arg(household),
                 QString());

    auto receipt = StartSeller(folder1, 1, 1, 1, {QStringLiteral("--hold-before-receipt")});
    ASSERT_TRUE(WaitForHold(*receipt));
    auto payment =
        StartSeller(folder2, 2, 1, 1, {QStringLiteral("--client"), household, QStringLiteral("--hold-before-payment")});
    ASSERT_TRUE(WaitForHold(*payment));

    CAdoConnection locker;
    locker.Open(1, server->ConnectString());
    locker.BeginTrans();
    locker.Execute(QStringLiteral("update SysPara set InvoiceNo = InvoiceNo"), QString());
    // The sessions of the two counters that wait for a lock.
    const QString waiting = QStringLiteral("select count(*) from pg_stat_activity where datname = current_database() "
                                           "and pid <> pg_backend_pid() and pid <> %1 and wait_event_type = 'Lock'")
                                .arg(MainValue(locker, QStringLiteral("select pg_backend_pid()")));
    const auto waitFor = [&](int sessions) {
        for (int tries = 0; tries < 600; ++tries) {
            if (MainValue(Db(), waiting).toInt() >= sessions)
                return true;
            QThread::msleep(50);
        }
        return false;
    };
    receipt->write("go\n");
    receipt->waitForBytesWritten(10000);
    ASSERT_TRUE(waitFor(1)) << "the receipt never waited";
    payment->write("go\n");
    payment->waitForBytesWritten(10000);
    ASSERT_TRUE(waitFor(2)) << "the payment never waited";
    locker.RollbackTrans();

    const QStringList out1 = Finish(*receipt);
    const QStringList out2 = Finish(*payment);
    EXPECT_EQ(receipt->exitCode(), 0) << out1.join(u'\n').toStdString();
    EXPECT_EQ(payment->exitCode(), 0) << out2.join(u'\n').toStdString();
    EXPECT_EQ(
        MainColumn(Db(), QStringLiteral("select ThisBalance from CliBalance where ClientNo = '%1'").arg(household))
            .value(0)
            .toDouble(),
        20);
    ExpectNoHalfWrittenSale();
}
