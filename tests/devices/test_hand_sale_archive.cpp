#include "ArchiveTestData.h"
#include "CHandSaleArchive.h"
#include "KvFreshDatabase.h"

#include <gtest/gtest.h>

namespace {

class HandSaleArchiveTest : public FreshDatabaseTest
{
protected:
    HandSaleArchiveTest() { AddArchivePrices(db()); }
    ~HandSaleArchiveTest() override { CHandSaleArchive::SetNewAccountOpener({}); }

    // Archives the first staged row with its own figures.
    CHandSaleArchive::Result archiveFirst()
    {
        staged.LoadAll();
        return archiveFirstOf(staged);
    }
    // The same on a list loaded earlier, as another counter holds it.
    CHandSaleArchive::Result archiveFirstOf(CHandRawList& list)
    {
        CHandRaw* raw = list.At(0);
        CHandSaleArchive::Values values;
        values.wrtNum = raw->GetWrtNum();
        values.wrtValue = raw->GetWrtValue();
        values.accuBuy = raw->GetAccuBuy();
        values.accuUse = raw->GetAccuUse();
        values.wrtTime = raw->GetWrtTime();
        CHandSaleArchive archive;
        return archive.ArchiveRow(list, raw, values, nullptr);
    }
    int count(const QString& sql) { return fresh.Count(sql); }
    QString value(const QString& sql) { return fresh.Value(sql); }

    CHandRawList staged;
};

} // namespace

TEST_F(HandSaleArchiveTest, TheSaleIsPricedByTheMixValidTodayAndRecordedAsPaidInCash)
{
    struct Case
    {
        const char* name;
        QList<QPair<QString, int>> shares;
        const char* model;
        int ct, pt, wrtValue;
        double price, fee;
        int totalMul;
    };
    const Case cases[] = {
        {"two halves", {{"01", 50}, {"02", 50}}, "M1", 1, 1, 100, 0.375, 37.5, 1},
        {"no shares", {}, "M1", 1, 1, 100, 0.0, 0.0, 1},
        {"multipliers", {{"01", 100}}, "M5", 2, 3, 10, 0.5, 150.0, 30},
    };
    int n = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const QString meterNo = QStringLiteral("0000100%1").arg(++n);
        const QString clientNo = QStringLiteral("C00%1").arg(n);
        AddArchiveMeter(db(), clientNo, meterNo, c.shares, QString::fromLatin1(c.model), c.ct, c.pt);
        StageSale(meterNo, c.wrtValue, 300, 120.5);
        ASSERT_EQ(archiveFirst(), CHandSaleArchive::Archived);
        EXPECT_EQ(staged.GetCount(), 0);
        EXPECT_EQ(count(QStringLiteral("select * from HandRaw")), 0);

        const QString sale = KvFormatSql(QStringLiteral("from WrtRecord where MeterNo = '%s'"), meterNo);
        EXPECT_DOUBLE_EQ(value("select Price " + sale).toDouble(), c.price);
        EXPECT_DOUBLE_EQ(value("select Fee " + sale).toDouble(), c.fee);
        EXPECT_EQ(value("select TotalMul " + sale).toInt(), c.totalMul);
        EXPECT_EQ(value("select BuyValue || '/' || WrtValue || '/' || FreeValue || '/' || WrtNum " + sale),
                  QStringLiteral("%1/%1/0/4").arg(c.wrtValue));
        EXPECT_EQ(value("select State || '/' || OpMode || '/' || WrtTime || '/' || LimitValue " + sale),
                  QStringLiteral("收讫/手持机/2026-12-09 08:15:30/60A"));
        EXPECT_EQ(value("select AccuBuy || '/' || AccuUse || '/' || AccuRemain || '/' || AlarmShold " + sale),
                  QStringLiteral("300/120.5/179.5/25"));
        const int wrtIndex = value("select WrtIndex " + sale).toInt();
        EXPECT_GT(wrtIndex, 100000000);
        EXPECT_EQ(count(KvFormatSql(QStringLiteral("select * from WrtPrice where WrtIndex = %d"), wrtIndex)),
                  c.shares.size());
        const QString pay = KvFormatSql(QStringLiteral("from ClientPay where WrtIndex = %d"), wrtIndex);
        EXPECT_EQ(value("select PayMode || '/' || State " + pay), QStringLiteral("现金/正常"));
        EXPECT_DOUBLE_EQ(value("select TotFee " + pay).toDouble(), c.fee);
        EXPECT_DOUBLE_EQ(value("select RealPay " + pay).toDouble(), c.fee);
        EXPECT_EQ(
            value(KvFormatSql(QStringLiteral("select WrtIndex from PreLastWrt where MeterNo = '%s'"), meterNo)).toInt(),
            wrtIndex);
    }
    EXPECT_EQ(value(QStringLiteral("select group_concat(PriceIndex || ':' || PricePercent) from WrtPrice")),
              QStringLiteral("11:50,12:50,11:100"));
}

TEST_F(HandSaleArchiveTest, BalanceAndCardImageRowsAreUpdatedOrGained)
{
    AddArchiveMeter(db(), QStringLiteral("C001"), QStringLiteral("00001001"), {{"01", 100}});
    AddArchiveMeter(db(), QStringLiteral("C002"), QStringLiteral("00001002"), {{"01", 100}});
    db().Execute(QStringLiteral("insert into CliBalance(ClientNo, PayIndex, WrtNum, TotFee, RealPay, PayMode, "
                                "ThisBalance, LastBalance, InvoiceNo) values('C001', 5, 3, 1, 1, '现金', 12.5, 3, '')"),
                 QString());
    db().Execute(QStringLiteral("insert into PreLastWrt(MeterNo, VNo, WrtIndex, WrtNum, WrtValue, LimitValue, "
                                "AlarmShold, CloseShold, AccuBuy, AccuUse, AccuRemain, OpMode, WrtTime) values("
                                "'00001001', '90001001', 7, 3, 5, '60A', 25, 15, 5, 1, 4, '购电', '2026-11-01')"),
                 QString());
    StageSale(QStringLiteral("00001001"), 10, 10, 0);
    StageSale(QStringLiteral("00001002"), 20, 20, 0);
    ASSERT_EQ(archiveFirst(), CHandSaleArchive::Archived);
    ASSERT_EQ(archiveFirst(), CHandSaleArchive::Archived);

    // The payment carries the balance as loaded; the balance row takes the payment.
    EXPECT_EQ(value("select ThisBalance || '/' || LastBalance from ClientPay where TotFee = 5"),
              QStringLiteral("12.5/3.0"));
    EXPECT_EQ(value("select PayIndex = (select PayIndex from ClientPay where TotFee = 5) from CliBalance "
                    "where ClientNo = 'C001'"),
              QStringLiteral("1"));
    // The second user had no balance row and the second meter no card image.
    EXPECT_EQ(value("select TotFee || '/' || PayMode from CliBalance where ClientNo = 'C002'"),
              QStringLiteral("10.0/现金"));
    EXPECT_EQ(value("select WrtValue || '/' || OpMode from PreLastWrt where MeterNo = '00001002'"),
              QStringLiteral("20/手持机"));
    EXPECT_EQ(value("select WrtNum from PreLastWrt where MeterNo = '00001001'"), QStringLiteral("4"));
}

// Another counter's payment to the household stored while the archive runs
// (stood in for by a trigger on the sale's insert, after the archive looked
// the user up): the machine's payment and the balance row carry the balance
// as the row holds it then, not as it was before.
TEST_F(HandSaleArchiveTest, TheBalanceIsTakenAsTheRowHoldsItWhenThePaymentIsStored)
{
    AddArchiveMeter(db(), QStringLiteral("C001"), QStringLiteral("00001001"), {{"01", 100}});
    db().Execute(QStringLiteral("insert into CliBalance(ClientNo, PayIndex, WrtNum, TotFee, RealPay, PayMode, "
                                "ThisBalance, LastBalance, InvoiceNo) values('C001', 5, 3, 1, 1, '现金', 12.5, 3, '')"),
                 QString());
    db().Execute(QStringLiteral("create trigger OtherCounter after insert on WrtRecord begin update CliBalance set "
                                "PayIndex = 9, ThisBalance = 55, LastBalance = 12.5 where ClientNo = 'C001'; end"),
                 QString());
    StageSale(QStringLiteral("00001001"), 10, 10, 0);
    ASSERT_EQ(archiveFirst(), CHandSaleArchive::Archived);

    EXPECT_EQ(value("select ThisBalance || '/' || LastBalance from ClientPay where TotFee = 5"),
              QStringLiteral("55.0/12.5"));
    EXPECT_EQ(value("select ThisBalance || '/' || LastBalance from CliBalance where ClientNo = 'C001'"),
              QStringLiteral("55.0/12.5"));
}

TEST_F(HandSaleArchiveTest, RowsThatStayStagedWithNothingWritten)
{
    AddArchiveMeter(db(), QStringLiteral("C001"), QStringLiteral("00001001"), {{"01", 50}, {"09", 50}});
    AddArchiveMeter(db(), QStringLiteral("C002"), QStringLiteral("00001002"), {{"01", 100}}, QStringLiteral("MX"));
    AddArchiveMeter(db(), QStringLiteral("C003"), QStringLiteral("00001003"), {{"01", 100}});
    db().Execute(QStringLiteral("create trigger RefusePay before insert on ClientPay "
                                "begin select raise(abort, 'disk full'); end"),
                 QString());
    struct Case
    {
        const char* meterNo;
        CHandSaleArchive::Result result;
        const char* shown;
    };
    const Case cases[] = {
        {"00001001", CHandSaleArchive::NoPrice, "电价不存在！"},
        {"00001002", CHandSaleArchive::Kept, "电表00001002的用户或表型档案不存在，不能归档！"},
        {"00001003", CHandSaleArchive::Kept, nullptr}, // the failure of the writes is shown in its own words
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.meterNo);
        db().Execute(QStringLiteral("delete from HandRaw"), QString());
        sink.Clear();
        StageSale(QString::fromLatin1(c.meterNo), 10, 10, 0);
        EXPECT_EQ(archiveFirst(), c.result);
        ASSERT_EQ(sink.Messages().size(), 1u);
        if (c.shown) {
            EXPECT_EQ(sink.Texts(), QStringList{QString::fromUtf8(c.shown)});
        } else {
            EXPECT_EQ(sink.Messages()[0].caption, QStringLiteral("错误"));
        }
        EXPECT_EQ(staged.GetCount(), 1);
        EXPECT_EQ(count(QStringLiteral("select * from HandRaw")), 1);
        for (const char* table : {"WrtRecord", "WrtPrice", "ClientPay", "CliBalance", "PreLastWrt"})
            EXPECT_EQ(count(QStringLiteral("select * from %1").arg(QString::fromLatin1(table))), 0) << table;
    }
}

TEST_F(HandSaleArchiveTest, AMeterMissingFromTheArchiveMayBeOpenedThroughTheWizard)
{
    StageSale(QStringLiteral("00002001"), 10, 10, 0);
    QStringList hints;
    CHandSaleArchive::SetNewAccountOpener([&](const QString& meterNo) {
        hints << meterNo;
        if (hints.size() == 2) // the second time the wizard creates the account
            AddArchiveMeter(db(), QStringLiteral("C201"), meterNo, {{"01", 100}});
    });

    sink.QueueAnswer(IDNO);
    EXPECT_EQ(archiveFirst(), CHandSaleArchive::Kept);
    EXPECT_TRUE(hints.isEmpty());

    // Yes opens the wizard and asks again while the meter is still missing.
    sink.Clear();
    sink.QueueAnswer(IDYES);
    sink.QueueAnswer(IDYES);
    EXPECT_EQ(archiveFirst(), CHandSaleArchive::Archived);
    EXPECT_EQ(hints, (QStringList{"00002001", "00002001"}));
    EXPECT_EQ(sink.Texts(), (QStringList{"系统没有该电表档案！是否建档？", "系统没有该电表档案！是否建档？"}));
    EXPECT_EQ(count(QStringLiteral("select * from WrtRecord where MeterNo = '00002001'")), 1);
}

TEST_F(HandSaleArchiveTest, AMixOfMoreThanTenSharesIsRecordedWhole)
{
    QList<QPair<QString, int>> shares;
    for (int i = 0; i < 12; ++i)
        shares.append({QString::fromLatin1(i % 2 ? "01" : "02"), i < 4 ? 10 : 7});
    AddArchiveMeter(db(), QStringLiteral("C001"), QStringLiteral("00001001"), shares);
    StageSale(QStringLiteral("00001001"), 100, 100, 0);
    ASSERT_EQ(archiveFirst(), CHandSaleArchive::Archived);
    EXPECT_EQ(count(QStringLiteral("select * from WrtPrice")), 12);
}

TEST_F(HandSaleArchiveTest, ASaleArchivedAtAnotherCounterIsNotRecordedAgain)
{
    AddArchiveMeter(db(), QStringLiteral("C001"), QStringLiteral("00001001"), {{"01", 100}});
    StageSale(QStringLiteral("00001001"), 10, 10, 0);
    CHandRawList here, there;
    here.LoadAll();
    there.LoadAll();
    ASSERT_EQ(archiveFirstOf(there), CHandSaleArchive::Archived);
    sink.Clear();
    EXPECT_EQ(archiveFirstOf(here), CHandSaleArchive::Kept);
    EXPECT_EQ(sink.Texts(), QStringList{"上传的售电记录已不存在，可能已在其他工作站归档或删除！"});
    for (const char* table : {"WrtRecord", "WrtPrice", "ClientPay", "CliBalance", "PreLastWrt"})
        EXPECT_EQ(count(QStringLiteral("select * from %1").arg(QString::fromLatin1(table))), 1) << table;
    EXPECT_DOUBLE_EQ(value(QStringLiteral("select TotFee from CliBalance")).toDouble(), 5.0);
}
