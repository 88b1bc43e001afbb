#include "CAdoConnection.h"
#include "CClientPay.h"
#include "COperator.h"
#include "CWrtPrice.h"
#include "CWrtRecord.h"
#include "CurrentOperator.h"
#include "KvFreshDatabase.h"
#include "SalesTestHelpers.h"
#include "SysGlobals.h"

#include <functional>
#include <gtest/gtest.h>

namespace {

class SaleRecordTest : public FreshDatabaseTest
{
protected:
    // A pending sale with the given price shares (price index, percent), saved.
    std::unique_ptr<CWrtRecord> SaveSale(const QString& meterNo, int cliPreIndex,
                                         std::initializer_list<std::pair<int, int>> shares = {},
                                         const QString& opMode = QStringLiteral("正常充值"))
    {
        auto sale = std::make_unique<CWrtRecord>();
        sale->SetMeterNo(meterNo);
        sale->SetCliPreIndex(cliPreIndex);
        sale->SetOpMode(opMode);
        sale->SetWrtNum(1);
        std::vector<CWrtPrice> entries(shares.size());
        int i = 0;
        for (const auto& [priceIndex, percent] : shares) {
            entries[i].SetPriceIndex(priceIndex);
            entries[i].SetPricePercent(percent);
            ++i;
        }
        sale->SetWrtPrices(entries.data(), static_cast<int>(entries.size()));
        sale->Save();
        return sale;
    }

    void SavePayment(int wrtIndex, double amount)
    {
        CClientPay pay;
        pay.SetWrtIndex(wrtIndex);
        pay.SetTotFee(amount);
        pay.SetRealPay(amount);
        pay.Save();
    }

    QString StateOf(int wrtIndex)
    {
        return fresh.Value(KvFormatSql("select State from WrtRecord where WrtIndex = %d", wrtIndex));
    }
};

} // namespace

TEST_F(SaleRecordTest, KeysAfterAResetAreTheCountersPlusTheOffset)
{
    auto sale = SaveSale("00001234", 7, {{11, 60}, {12, 40}});

    EXPECT_EQ(sale->GetWrtIndex(), 100000001);
    EXPECT_EQ(sale->GetState(), CKvPersistance::StateStored);
    EXPECT_EQ(fresh.Value("select WrtIndex || '/' || WrtPriceIndex || '/' || PayIndex from SysPara"), "2/3/1");
    EXPECT_EQ(fresh.Value("select group_concat(WrtPriceIndex || ':' || WrtIndex || ':' || PriceIndex || ':' || "
                          "PricePercent, ' ') from (select * from WrtPrice order by WrtPriceIndex)"),
              "100000001:100000001:11:60 100000002:100000001:12:40");
    EXPECT_EQ(StateOf(100000001), "待写");

    SavePayment(sale->GetWrtIndex(), 10);
    EXPECT_EQ(fresh.Value("select PayIndex from ClientPay"), "100000001");
    EXPECT_EQ(fresh.Value("select PayIndex from SysPara"), "2");
}

TEST_F(SaleRecordTest, RefusedInsertsDrawNoKey)
{
    struct Case
    {
        QString meterNo, opMode;
    } cases[] = {{"00001234", ""}, {"", "正常充值"}};
    for (const Case& c : cases) {
        CWrtRecord sale;
        sale.SetMeterNo(c.meterNo);
        sale.SetOpMode(c.opMode);
        EXPECT_EQ(ThrownText([&] { sale.Save(); }), "向数据库添加售电记录发生错误！") << c.meterNo.toStdString();
        EXPECT_EQ(sale.GetWrtIndex(), -1);
    }

    // A share whose sale has no key yet, and one outside any sale.
    CWrtRecord keyless;
    auto* share = new CWrtPrice;
    keyless.GetPriceList().AppendRecord(share);
    EXPECT_EQ(ThrownText([&] { share->Save(); }), "向数据库增加写卡电价发生错误！");
    CWrtPrice loose;
    EXPECT_EQ(ThrownText([&] { loose.Save(); }), "向数据库增加写卡电价发生错误！");

    CClientPay pay;
    EXPECT_EQ(ThrownText([&] { pay.Save(); }), "向数据库增加用户支付时发生错误！");

    EXPECT_EQ(fresh.Value("select WrtIndex || '/' || WrtPriceIndex || '/' || PayIndex from SysPara"), "1/1/1");
    EXPECT_EQ(fresh.Count("select * from WrtRecord"), 0);
    EXPECT_EQ(fresh.Count("select * from WrtPrice"), 0);
    EXPECT_EQ(fresh.Count("select * from ClientPay"), 0);
}

TEST_F(SaleRecordTest, NewRecordDefaults)
{
    GetCurrentOperator()->SetOperatorNo("op01");
    CWrtRecord sale;
    EXPECT_EQ(sale.GetOperatorNo(), "op01");
    EXPECT_EQ(sale.GetStateWord(), "待写");
    EXPECT_EQ(sale.GetWrtTime(), GetServerTime());
    EXPECT_EQ(sale.GetClassName(), "CKvPersistance");
    EXPECT_EQ(std::make_tuple(sale.GetWrtIndex(), sale.GetCliPreIndex(), sale.GetWrtNum(), sale.GetTotalMul(),
                              sale.GetAlarmShold(), sale.GetCloseShold()),
              std::make_tuple(-1, -1, -1, 1, 30, 20));

    CClientPay pay;
    EXPECT_EQ(pay.GetPayMode(), "");
    EXPECT_EQ(pay.GetStateWord(), "正常");
    EXPECT_EQ(pay.GetWrtNum(), 0);
}

TEST_F(SaleRecordTest, WrittenThenPaidAndTheRefusals)
{
    auto sale = SaveSale("00001234", 7);
    const int key = sale->GetWrtIndex();

    sale->ConfirmWritten();
    EXPECT_EQ(StateOf(key), "写卡成功");
    EXPECT_EQ(ThrownText([&] { sale->ConfirmWritten(); }), "确认写卡成功发生错误！");
    sale->ConfirmPaid();
    EXPECT_EQ(StateOf(key), "收讫");
    EXPECT_EQ(sale->GetState(), CKvPersistance::StateStored);

    // Refusals leave the row as it was.
    struct Case
    {
        QString from;
        bool paid; // ConfirmPaid, else ConfirmWritten
        QString text;
    } refusals[] = {
        {"收讫", false, "确认写卡成功发生错误！"},     {"写卡成功", false, "确认写卡成功发生错误！"},
        {"补值成功", false, "确认写卡成功发生错误！"}, {"收讫", true, "收讫发生错误！"},
        {"补值成功", true, "收讫发生错误！"},          {"待写", true, "收讫发生错误！"},
    };
    for (const Case& c : refusals) {
        sale->SetState(c.from);
        db().Execute(KvFormatSql("update WrtRecord set State = '%s' where WrtIndex = %d", c.from, key), QString());
        EXPECT_EQ(ThrownText([&] { c.paid ? sale->ConfirmPaid() : sale->ConfirmWritten(); }), c.text)
            << c.from.toStdString();
        EXPECT_EQ(StateOf(key), c.from);
    }

    sale->SetVoid();
    EXPECT_EQ(StateOf(key), "作废");
    // A voided or failed row may be confirmed again (a rewrite), the transfer
    // writes end in their own word and are never paid.
    struct Confirm
    {
        QString from, opMode, result;
    } confirms[] = {{"作废", "正常充值", "写卡成功"},
                    {"待写", "补卡补值", "补值成功"},
                    {"待写", "补卡补值2", "补值成功"},
                    {"卡片不存在", "修改充值", "写卡成功"}};
    for (const Confirm& c : confirms) {
        sale->SetOpMode(c.opMode);
        sale->SetState(c.from);
        sale->ConfirmWritten();
        EXPECT_EQ(StateOf(key), c.result) << c.opMode.toStdString();
    }
}

TEST_F(SaleRecordTest, AStateChangeOfASaleWithoutItsRowIsAFailure)
{
    // Never stored: refused with the change's own text, and nothing is marked stored.
    struct Change
    {
        const char* name;
        std::function<void(CWrtRecord&)> run;
        QString text;
    };
    const Change changes[] = {
        {"written", [](CWrtRecord& r) { r.ConfirmWritten(); }, "确认写卡成功发生错误！"},
        {"paid",
         [](CWrtRecord& r) {
             r.SetState(QStringLiteral("写卡成功"));
             r.ConfirmPaid();
         },
         "收讫发生错误！"},
        {"void", [](CWrtRecord& r) { r.SetVoid(); }, "更新写卡记录失败！"},
    };
    for (const Change& c : changes) {
        CWrtRecord never;
        never.SetMeterNo("00001234");
        never.SetOpMode("正常充值");
        EXPECT_EQ(ThrownText([&] { c.run(never); }), c.text) << c.name;
        EXPECT_EQ(never.GetState(), CKvPersistance::StateNew) << c.name;
        never.SetWrtIndex(100000077);
        never.SetState(CKvPersistance::StateNewKeyed);
        EXPECT_EQ(ThrownText([&] { c.run(never); }), c.text) << c.name;
    }
    EXPECT_EQ(fresh.Count("select * from WrtRecord"), 0);

    // Deleted meanwhile: the update finds no row and says so.
    for (const Change& c : changes) {
        auto sale = SaveSale("00001234", 7);
        db().Execute(KvFormatSql("delete from WrtRecord where WrtIndex = %d", sale->GetWrtIndex()), QString());
        EXPECT_EQ(ThrownText([&] { c.run(*sale); }), "更新写卡记录失败！") << c.name;
        EXPECT_NE(sale->GetState(), CKvPersistance::StateStored) << c.name;
    }
    auto gone = SaveSale("00001234", 7);
    CWrtRecordList list;
    CWrtRecord* loaded = list.LoadByWrtIndex(gone->GetWrtIndex());
    ASSERT_NE(loaded, nullptr);
    db().Execute("delete from WrtRecord", QString());
    EXPECT_EQ(ThrownText([&] { list.UpdateState(loaded, "卡片不存在"); }), "更新写卡记录失败！");

    // A payment row that is gone is no numbered receipt.
    CClientPay pay;
    pay.SetPayIndex(100000099);
    pay.SetWrtIndex(gone->GetWrtIndex());
    pay.SetInvoiceNo("00000042");
    pay.SetState(CKvPersistance::StateChanged);
    EXPECT_EQ(ThrownText([&] { pay.Save(); }), "向数据库更新用户余额时发生错误");
    EXPECT_EQ(pay.GetState(), CKvPersistance::StateChanged);
}

TEST_F(SaleRecordTest, UpdateStateAndDeleteRecordOnlyTakeTheirOwnRecords)
{
    auto sale = SaveSale("00001234", 7);
    CWrtRecordList list;
    CWrtRecordList other;
    CWrtRecord* loaded = list.LoadByWrtIndex(sale->GetWrtIndex());
    ASSERT_NE(loaded, nullptr);
    EXPECT_EQ(list.LoadByWrtIndex(123), nullptr);
    loaded = list.LoadByWrtIndex(sale->GetWrtIndex());

    EXPECT_EQ(ThrownText([&] { other.UpdateState(loaded, QStringLiteral("作废")); }),
              "向数据库更新售电记录发生位置错误！");
    EXPECT_EQ(ThrownText([&] { other.DeleteRecord(loaded); }), "从数据库删除售电记录发生位置错误！");
    EXPECT_EQ(StateOf(sale->GetWrtIndex()), "待写");

    list.UpdateState(loaded, QStringLiteral("卡片不存在"));
    EXPECT_EQ(StateOf(sale->GetWrtIndex()), "卡片不存在");
    list.DeleteRecord(loaded);
    EXPECT_EQ(list.GetCount(), 0);
    EXPECT_EQ(fresh.Count("select * from WrtRecord"), 0);
}

TEST_F(SaleRecordTest, DeletingASaleTakesItsPaymentsAndSharesAllOrNothing)
{
    auto kept = SaveSale("00001234", 7, {{11, 100}});
    auto gone = SaveSale("00001234", 7, {{11, 50}, {12, 50}});
    SavePayment(kept->GetWrtIndex(), 10);
    SavePayment(gone->GetWrtIndex(), 20);

    CWrtRecordList list;
    CWrtRecord* loaded = list.LoadByWrtIndex(gone->GetWrtIndex());
    ASSERT_NE(loaded, nullptr);
    ASSERT_EQ(loaded->GetPriceList().GetCount(), 2);

    // A failure at the last statement undoes the payment and share deletes.
    db().Execute("create trigger NoSaleDelete before delete on WrtRecord begin select raise(abort, 'no'); end",
                 QString());
    EXPECT_EQ(ThrownText([&] { list.DeleteRecord(loaded); }), "向数据库删除售电记录发生错误！");
    EXPECT_EQ(list.GetCount(), 1);
    EXPECT_EQ(fresh.Count("select * from ClientPay"), 2);
    EXPECT_EQ(fresh.Count("select * from WrtPrice"), 3);
    EXPECT_EQ(db().GetTransDepth(), 0);

    db().Execute("drop trigger NoSaleDelete", QString());
    list.DeleteRecord(loaded);
    EXPECT_EQ(fresh.Value("select group_concat(WrtIndex) from ClientPay"), QString::number(kept->GetWrtIndex()));
    EXPECT_EQ(fresh.Value("select group_concat(WrtIndex) from WrtPrice"), QString::number(kept->GetWrtIndex()));
    EXPECT_EQ(fresh.Value("select group_concat(WrtIndex) from WrtRecord"), QString::number(kept->GetWrtIndex()));
}

TEST_F(SaleRecordTest, AFailedInsertWritesNothingAndARetryWritesTheShares)
{
    db().Execute("create trigger NoShare before insert on WrtPrice begin select raise(abort, 'no'); end", QString());
    CWrtRecord sale;
    sale.SetMeterNo("00001234");
    sale.SetOpMode("正常充值");
    CWrtPrice entries[2];
    entries[0].SetPriceIndex(11);
    entries[1].SetPriceIndex(12);
    sale.SetWrtPrices(entries, 2);
    EXPECT_EQ(ThrownText([&] { sale.Save(); }), "向数据库增加写卡记录发生错误！");
    EXPECT_EQ(fresh.Count("select * from WrtRecord"), 0);
    EXPECT_EQ(db().GetTransDepth(), 0);

    db().Execute("drop trigger NoShare", QString());
    sale.Save();
    EXPECT_EQ(fresh.Count(KvFormatSql("select * from WrtPrice where WrtIndex = %d", sale.GetWrtIndex())), 2);
}

TEST_F(SaleRecordTest, InsideACallersTransactionTheSaleRollsBackWithIt)
{
    {
        CAdoTransaction outer(db());
        SaveSale("00001234", 7, {{11, 100}});
        EXPECT_EQ(fresh.Count("select * from WrtPrice"), 1);
    } // not committed
    EXPECT_EQ(fresh.Count("select * from WrtRecord"), 0);
    EXPECT_EQ(fresh.Count("select * from WrtPrice"), 0);
    EXPECT_EQ(fresh.Value("select WrtIndex from SysPara"), "1");
}

TEST_F(SaleRecordTest, LoadReadsEveryColumnWithTheSharesAndKeepsCents)
{
    CWrtRecord sale;
    sale.SetMeterNo("00001234");
    sale.SetCliPreIndex(7);
    sale.SetWrtValue(500);
    sale.SetLimitValue("800");
    sale.SetWrtNum(3);
    sale.SetTotalMul(40);
    sale.SetBuyValue(480);
    sale.SetFreeValue(20);
    sale.SetAccuBuy(123456);
    sale.SetAccuUse(234567.8);
    sale.SetAccuRemain(12.5);
    sale.SetPrice(0.5231);
    // Above 2^17 a single-precision number no longer holds the cents.
    sale.SetFee(1234567.89);
    sale.SetPrePay(3.21);
    sale.SetSubFee(4.56);
    sale.SetFixFee(7.89);
    sale.SetOpMode("开户");
    sale.SetOperatorNo("o'b");
    sale.SetWrtTime(QDateTime(QDate(2026, 1, 2), QTime(3, 4, 5)));
    CWrtPrice entry;
    entry.SetPriceIndex(11);
    entry.SetPricePercent(100);
    sale.SetWrtPrices(&entry, 1);
    sale.Save();

    CWrtRecordList list;
    const CWrtRecord* r = list.LoadByWrtIndex(sale.GetWrtIndex());
    ASSERT_NE(r, nullptr);
    EXPECT_EQ(r->GetState(), CKvPersistance::StateStored);
    EXPECT_EQ(std::make_tuple(r->GetMeterNo(), r->GetCliPreIndex(), r->GetWrtValue(), r->GetLimitValue(),
                              r->GetWrtNum(), r->GetTotalMul(), r->GetBuyValue(), r->GetFreeValue(), r->GetAccuBuy()),
              std::make_tuple(QString("00001234"), 7, 500, QString("800"), 3, 40, 480, 20, 123456));
    EXPECT_DOUBLE_EQ(r->GetAccuUse(), 234567.8);
    EXPECT_DOUBLE_EQ(r->GetFee(), 1234567.89);
    EXPECT_DOUBLE_EQ(r->GetPrice(), 0.5231);
    EXPECT_DOUBLE_EQ(r->GetPrePay() + r->GetSubFee() + r->GetFixFee(), 3.21 + 4.56 + 7.89);
    EXPECT_EQ(r->GetOperatorNo(), "o'b");
    EXPECT_EQ(r->GetWrtTime(), sale.GetWrtTime());
    ASSERT_EQ(r->GetPriceList().GetCount(), 1);
    EXPECT_EQ(r->GetPriceList().At(0)->GetPriceIndex(), 11);
    EXPECT_EQ(r->GetPriceList().At(0)->GetState(), CKvPersistance::StateStored);

    CClientPay pay;
    EXPECT_FALSE(r->GetClientPay(pay));
    SavePayment(sale.GetWrtIndex(), 1234567.89);
    ASSERT_TRUE(r->GetClientPay(pay));
    EXPECT_DOUBLE_EQ(pay.GetTotFee(), 1234567.89);

    // The receipt step numbers the payment by rewriting its row.
    pay.SetInvoiceNo("00000042");
    pay.SetState(CKvPersistance::StateChanged);
    pay.Save();
    EXPECT_EQ(fresh.Value("select InvoiceNo from ClientPay"), "00000042");
}

TEST_F(SaleRecordTest, SetPriceListRepeatsAnEarlierMixAsNewShares)
{
    auto first = SaveSale("00001234", 7, {{11, 70}, {12, 30}});
    CWrtRecord again;
    again.SetMeterNo("00001234");
    again.SetOpMode("补卡充值");
    again.SetPriceList(&first->GetPriceList());
    again.Save();
    EXPECT_EQ(fresh.Value(KvFormatSql("select group_concat(PriceIndex || ':' || PricePercent) from WrtPrice "
                                      "where WrtIndex = %d",
                                      again.GetWrtIndex())),
              "11:70,12:30");
    again.SetPriceList(nullptr);
    EXPECT_EQ(again.GetPriceList().GetCount(), 0);
}

TEST_F(SaleRecordTest, MeterHistoryKeepsTheWrittenAndPaidSalesOfThisUsersMeter)
{
    AddMeterRow(db(), 1, "A", "00001234");
    AddMeterRow(db(), 2, "A", "00001234"); // an older version of the same meter
    AddMeterRow(db(), 3, "B", "00001234"); // the same number under another user
    AddMeterRow(db(), 4, "A", "00009999");
    struct Row
    {
        int cliPreIndex;
        QString meterNo;
        int wrtNum;
        QString state;
        bool shown;
    } rows[] = {
        {1, "00001234", 0, "收讫", true},  {2, "00001234", 1, "写卡成功", true},  {1, "00001234", -1, "收讫", false},
        {1, "00001234", 2, "待写", false}, {1, "00001234", 3, "补值成功", false}, {1, "00001234", 4, "作废", false},
        {3, "00001234", 5, "收讫", false}, {4, "00009999", 6, "收讫", false},     {1, "00001234", 7, "收讫", true},
    };
    QStringList expected;
    for (const Row& row : rows) {
        CWrtRecord sale;
        sale.SetMeterNo(row.meterNo);
        sale.SetCliPreIndex(row.cliPreIndex);
        sale.SetWrtNum(row.wrtNum);
        sale.SetOpMode("正常充值");
        sale.SetState(row.state);
        sale.Save();
        if (row.shown)
            expected << QString::number(row.wrtNum);
    }

    CWrtRecordList list;
    list.LoadMeterHistory("A", "00001234");
    QStringList shown;
    for (int i = 0; i < list.GetCount(); ++i)
        shown << QString::number(list.At(i)->GetWrtNum());
    EXPECT_EQ(shown, expected);
}

TEST_F(SaleRecordTest, MeterDeletesReachOnlyThatMetersSales)
{
    AddMeterRow(db(), 1, "A", "00001234");
    AddMeterRow(db(), 2, "A", "00005678");
    AddMeterRow(db(), 3, "B", "00001234");
    for (int cliPre : {1, 2, 3}) {
        auto sale = SaveSale(cliPre == 2 ? "00005678" : "00001234", cliPre, {{11, 100}});
        SavePayment(sale->GetWrtIndex(), cliPre);
    }
    auto survivors = [&] {
        return fresh.Value("select group_concat(CliPreIndex) from (select CliPreIndex from WrtRecord order by 1)") +
               "|" + fresh.Value("select count(*) from WrtPrice") + "|" +
               fresh.Value("select group_concat(RealPay) from (select RealPay from ClientPay order by 1)");
    };

    {
        CAdoTransaction transaction(db());
        CClientPayList::DeleteByClientMeter("A", "00001234");
        CWrtPriceList::DeleteByClientMeter("A", "00001234");
        CWrtRecordList::DeleteByClientMeter("A", "00001234");
        transaction.Commit();
    }
    EXPECT_EQ(survivors(), "2,3|2|2.0,3.0");

    CWrtRecordList::DeleteByCliPreIndex(3);
    EXPECT_EQ(survivors(), "2|1|2.0");

    EXPECT_TRUE(CWrtRecordList::ExistsForOperator(""));
    EXPECT_FALSE(CWrtRecordList::ExistsForOperator("nobody"));
}
