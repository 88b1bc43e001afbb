// The arithmetic of a sale without a dialog: the three purchase inputs, the
// amounts due, the breakdown, the payment checks and the receipt rows.

#include "CReceiptValues.h"
#include "KvSaleArithmetic.h"
#include "KvSaleReceipt.h"

#include <QDateTime>
#include <algorithm>
#include <gtest/gtest.h>

namespace {

PurchaseFigures Preset(int mul, double balance = 0, double fees = 0, double subs = 0)
{
    PurchaseFigures f;
    f.totalMul = mul;
    f.balance = balance;
    f.feeCharges = fees;
    f.subCharges = subs;
    return f;
}

struct PurchaseCase
{
    const char* name;
    char kind; // 'E' energy, 'M' money, 'R' remote, 'P' / 'K' a replacement's money / kWh
    int mul;
    double amount;
    int subsidy;
    double price;
    double fees;
    double balance;
    PurchaseResult result;
    int units;
};

} // namespace

TEST(SalePurchase, InputsAsTheCounterMeetsThem)
{
    const PurchaseCase cases[] = {
        // The fraction below one unit is dropped.
        {"energy 10 kWh on 3", 'E', 3, 10, 0, 0, 0, 0, PurchaseResult::Ok, 3},
        {"energy 4 + 5 free on 10", 'E', 10, 4, 5, 0, 0, 0, PurchaseResult::SubsidyTooLarge, 0},
        {"energy beyond the card", 'E', 1, 10000, 0, 0, 0, 0, PurchaseResult::OutOfRange, 0},
        {"energy on a multiplier of 0", 'E', 0, 10, 0, 0, 0, 0, PurchaseResult::OutOfRange, 0},
        // Money equal to the cost buys those units.
        {"money equal to the cost", 'M', 1, 5, 0, 0.5, 0, 0, PurchaseResult::Ok, 10},
        {"money plus balance", 'M', 2, 5, 0, 0.5, 1, 2, PurchaseResult::Ok, 6},
        {"money short of the fees", 'M', 1, 5, 0, 0.5, 10, 0, PurchaseResult::TooLittle, 0},
        {"money with subsidy not reached", 'M', 1, 0, 5, 1, 10, 0, PurchaseResult::TooLittle, 0},
        {"money with subsidy", 'M', 1, 3, 5, 1, 0, 0, PurchaseResult::Ok, 8},
        // Negative money never buys from the balance.
        {"negative money against a balance", 'M', 1, -10, 0, 0.52, 0, 12.5, PurchaseResult::TooLittle, 0},
        {"replacement negative money against a balance", 'P', 1, -10, 0, 0.52, 0, 12.5, PurchaseResult::TooLittle, 0},
        // A price of 0 or a large sum would search without end.
        {"money at a price of 0", 'M', 1, 5, 0, 0, 0, 0, PurchaseResult::OutOfRange, 0},
        {"money beyond the card", 'M', 1, 100000, 0, 0.5, 0, 0, PurchaseResult::OutOfRange, 0},
        {"money exactly 9999 units", 'M', 1, 4999.5, 0, 0.5, 0, 0, PurchaseResult::Ok, 9999},
        {"remote equal to the cost", 'R', 3, 15.6, 0, 0.52, 0, 0, PurchaseResult::Ok, 10},
        {"remote short", 'R', 1, 1, 0, 0.52, 5, 0, PurchaseResult::TooLittle, 0},
        {"remote at a price of 0", 'R', 1, 1, 0, 0, 0, 0, PurchaseResult::OutOfRange, 0},
        // A replacement's top-up in money stops where the cost reaches the
        // money, without rounding to cents.
        {"replacement money equal to the cost", 'P', 1, 5, 0, 0.5, 0, 0, PurchaseResult::Ok, 9},
        {"replacement money a cent above", 'P', 1, 5.01, 0, 0.5, 0, 0, PurchaseResult::Ok, 10},
        {"replacement money plus balance", 'P', 2, 5, 0, 0.5, 0, 2, PurchaseResult::Ok, 6},
        {"replacement money of 0", 'P', 1, 0, 0, 0.5, 0, 0, PurchaseResult::TooLittle, 0},
        {"replacement money at a price of 0", 'P', 1, 5, 0, 0, 0, 0, PurchaseResult::OutOfRange, 0},
        {"replacement money on a multiplier of 0", 'P', 0, 5, 0, 0.5, 0, 0, PurchaseResult::OutOfRange, 0},
        // A replacement's top-up in kWh keeps the subsidy within the kWh.
        {"replacement energy 4 + 5 free on 10", 'K', 10, 4, 5, 0, 0, 0, PurchaseResult::Ok, 0},
        {"replacement energy 3 + 25 free on 10", 'K', 10, 3, 25, 0, 0, 0, PurchaseResult::Ok, 2},
        {"replacement energy beyond the card", 'K', 1, 10000, 0, 0, 0, 0, PurchaseResult::OutOfRange, 0},
        // Less than nothing in kWh never meets the subsidy, not even a subsidy of 0.
        {"energy -100", 'E', 1, -100, 0, 0, 0, 0, PurchaseResult::SubsidyTooLarge, 0},
        {"energy -0.5 on 1", 'E', 1, -0.5, 0, 0, 0, 0, PurchaseResult::SubsidyTooLarge, 0},
        {"energy -2 + 5 free on 1", 'E', 1, -2, 5, 0, 0, 0, PurchaseResult::SubsidyTooLarge, 0},
        {"replacement energy -2 + 5 free on 1", 'K', 1, -2, 5, 0, 0, 0, PurchaseResult::SubsidyTooLarge, 0},
    };
    for (const PurchaseCase& c : cases) {
        PurchaseFigures f = Preset(c.mul, c.balance, c.fees);
        PurchaseResult result = PurchaseResult::Ok;
        if (c.kind == 'E')
            result = PurchaseByEnergy(f, c.amount, 1.5, c.subsidy, 2, true);
        else if (c.kind == 'M')
            result = PurchaseByMoney(f, c.amount, 0, c.subsidy, 0, false, c.price);
        else if (c.kind == 'P')
            result = PurchaseReplacementByMoney(f, c.amount, 0, c.subsidy, 0, false, c.price);
        else if (c.kind == 'K')
            result = PurchaseReplacementByEnergy(f, c.amount, 1.5, c.subsidy, 2, true);
        else
            result = PurchaseRemote(f, c.amount, c.price);
        EXPECT_EQ(result, c.result) << c.name;
        if (result == PurchaseResult::Ok) {
            EXPECT_EQ(f.writtenUnits, c.units) << c.name;
            EXPECT_EQ(f.totalEnergy, c.units * c.mul) << c.name;
            EXPECT_DOUBLE_EQ(f.entered, c.amount) << c.name;
            if (c.kind == 'K') {
                EXPECT_EQ(f.subsidy, std::min(c.subsidy, c.units * c.mul)) << c.name;
            }
        }
    }
}

TEST(SalePurchase, EnergyChargesLossesOnTheBoughtEnergy)
{
    PurchaseFigures f = Preset(3);
    ASSERT_EQ(PurchaseByEnergy(f, 100, 1.5, 2, 2, true), PurchaseResult::Ok);
    EXPECT_EQ(f.writtenUnits, 34);
    EXPECT_EQ(f.Bought(), 100);
    EXPECT_EQ(f.subsidy, 2);
    EXPECT_DOUBLE_EQ(f.lineLoss, 2.0);
    EXPECT_DOUBLE_EQ(f.transLoss, 1.5);
    ASSERT_EQ(PurchaseByEnergy(f, 100, 1.5, 2, 2, false), PurchaseResult::Ok);
    EXPECT_DOUBLE_EQ(f.lineLoss, 0.0);
    EXPECT_NEAR(DefaultTransLoss(30, 6, true), 6.0, 1e-6);
    EXPECT_EQ(DefaultTransLoss(30, 6, false), 0.0);
}

TEST(SaleAmounts, WithholdingAndBalance)
{
    // 100 kWh at 0.5: energy 50.00; fees 10, sub-meters 5.
    PurchaseFigures f = Preset(1, 0, 10, 5);
    f.totalEnergy = 100;
    struct Case
    {
        const char* name;
        int rate;
        double balance;
        SaleDueTest test;
        double total, due, newBalance;
    } cases[] = {
        {"r 0, balance covers", 0, 100, SaleDueTest::Positive, 65, 0, 35},
        {"r 0, balance short", 0, 20, SaleDueTest::Positive, 65, 45, 0},
        {"r 0, short by under half a cent", 0, 64.996, SaleDueTest::Positive, 65, 0, 0},
        {"r 0, IC takes the unrounded rest", 0, 64.996, SaleDueTest::NonNegative, 65, 0.004, 0},
        {"r 10, balance beyond the fees", 10, 30, SaleDueTest::Positive, 55, 55, 20},
        {"r 10, balance short of the fees", 10, 10, SaleDueTest::Positive, 60, 60, 5},
    };
    for (const auto& c : cases) {
        const SaleAmounts a = EnergySaleAmounts(f, 0.5, c.rate, c.balance, c.test);
        EXPECT_DOUBLE_EQ(a.fee, 50) << c.name;
        EXPECT_NEAR(a.total, c.total, 1e-9) << c.name;
        EXPECT_NEAR(a.due, c.due, 1e-9) << c.name;
        EXPECT_NEAR(a.newBalance, c.newBalance, 1e-9) << c.name;
        EXPECT_NEAR(a.prePay, c.rate ? 5.0 : 0.0, 1e-9) << c.name;
    }
    f.entered = 70;
    const SaleAmounts money = MoneySaleAmounts(f, 0.5, 3);
    EXPECT_DOUBLE_EQ(money.total, 65);
    EXPECT_DOUBLE_EQ(money.due, 65);
    EXPECT_DOUBLE_EQ(money.newBalance, 8);
    EXPECT_EQ(money.prePay, 0);
    // Cents are rounded on the energy charge alone.
    EXPECT_DOUBLE_EQ(EnergyCharge(3, 0, 0, 0.3333), 1.0);
}

TEST(SaleBreakdown, TenLinesByKwhNineByMoneyAndTheRefundLine)
{
    SaleBreakdown l;
    l.bought = 100;
    l.subsidy = 2;
    l.lineLoss = 1;
    l.transLoss = 0.5;
    l.fee = 52.78;
    l.subCharges = 3;
    l.feeCharges = 4;
    l.balance = 12.5;
    l.due = 47.28;
    EXPECT_EQ(SaleBreakdownText(l), QStringLiteral("本次购电量为：100 度\t\t\t\n\n补助电量为：2 度\n\n"
                                                   "根据线损计算方法，另计线损：1.0度\n\n"
                                                   "根据变压器使用情况，另计变损：0.5度\n\n应缴电费：52.78 元\n\n"
                                                   "应缴预提：0.00 元\n\n应缴附表计费：3.00元\n\n"
                                                   "应缴定额收费：4.00元\n\n用户余额：12.50元\n\n"
                                                   "本次应收款为：47.28元\n\n继续吗？"));
    l.withPrePay = false;
    EXPECT_EQ(SaleBreakdownText(l).count(QStringLiteral("\n\n")), 9); // nine lines
    EXPECT_FALSE(SaleBreakdownText(l).contains(QStringLiteral("预提")));
    l.refundLine = true;
    l.due = -5.5;
    EXPECT_TRUE(SaleBreakdownText(l).endsWith(QStringLiteral("本次应退款为：5.50元\n\n继续吗？")));
    l.refundLine = false;
    l.due = 0;
    EXPECT_TRUE(SaleBreakdownText(l).endsWith(QStringLiteral("本次应收款为：0.00元\n\n继续吗？")));
}

TEST(SalePayment, ChecksAndChange)
{
    const RefundRule exact = RefundRule::Exact;
    const RefundRule atMost = RefundRule::AtMost;
    const struct
    {
        double due, paid;
        RefundRule rule;
        const char* refusal;
        double change;
    } cases[] = {
        {10, 9.99, exact, "输入金额不应小于应付金额！", 0},
        {10, 12.5, exact, "", 2.5},
        {0, 5, exact, "", 5},
        {-10, 10, exact, "", 0},
        {-10, 9, exact, "退款额应等于应退款额！", 0},
        {10.004, 10, exact, "", 0},
        // A due with a fraction of a cent is paid as it is shown.
        {12.34499, 12.34, exact, "", 0},
        {12.34499, 12.33, exact, "输入金额不应小于应付金额！", 0},
        {-12.34499, 12.34, exact, "", 0},
        // The card dialog pays back at most the refund; the rest is change.
        {-10, 9, atMost, "", 1},
        {-10, 10, atMost, "", 0},
        {-10, 10.01, atMost, "输入金额不应大于应退金额！", 0},
        {10, 9.99, atMost, "输入金额不应小于应付金额！", 0},
    };
    for (const auto& c : cases) {
        const PaymentCheck check = CheckPayment(c.due, c.paid, c.rule);
        EXPECT_EQ(check.refusal, QString::fromUtf8(c.refusal)) << c.due << " " << c.paid;
        if (check.refusal.isEmpty()) {
            EXPECT_NEAR(check.change, c.change, 1e-9) << c.due << " " << c.paid;
        }
    }
}

TEST(SaleReceipt, QuotaMonthsMergeOtherItemsFollowAndFiftyRowsAtMost)
{
    const auto day = [](const char* text) { return QDateTime::fromString(QString::fromLatin1(text), "yyyy-MM-dd"); };
    std::vector<SaleFeeLine> lines = {
        {false, QStringLiteral("垃圾费"), day("2026-11-01"), day("2026-11-30"), 30, 6},
        {true, QStringLiteral("卫生费"), day("2026-02-01"), day("2026-02-28"), 28, 5},
        {true, QStringLiteral("卫生费"), day("2026-01-01"), day("2026-01-31"), 31, 5.5},
        {true, QStringLiteral("水费"), day("2026-01-01"), day("2026-01-31"), 31, 2},
    };
    std::vector<SaleFeeEntry> fees = BuildFeeSummary(lines);
    ASSERT_EQ(fees.size(), 3u);
    EXPECT_EQ(fees[0].name, QStringLiteral("卫生费"));
    EXPECT_EQ(fees[0].first, day("2026-01-01"));
    EXPECT_EQ(fees[0].last, day("2026-02-28"));
    EXPECT_EQ(fees[0].days, 59);
    EXPECT_DOUBLE_EQ(fees[0].amount, 10.5);
    EXPECT_EQ(fees[2].name, QStringLiteral("垃圾费"));

    CReceiptValues values;
    values.SetReceiptCount(2);
    QStringList common(CReceiptValues::CommonCount);
    common[0] = QStringLiteral("李四");
    common[35] = QStringLiteral("00000123");
    FillSaleReceipt(values, common, {{"P1", "居民电价", "0.5200", "100"}}, {}, fees);
    for (int k = 0; k < 2; ++k) {
        EXPECT_EQ(values.Common(k, 35), QStringLiteral("00000123_%1").arg(k + 1));
        EXPECT_EQ(values.Common(k, 0), QStringLiteral("李四"));
        for (int j = 36; j <= 41; ++j)
            EXPECT_TRUE(values.Common(k, j).isEmpty()) << j;
        // Name, amount under 调整金额, dates and days; the rest empty.
        const QStringList row = {values.Fee(k, 0, 0), values.Fee(k, 0, 1), values.Fee(k, 0, 2),
                                 values.Fee(k, 0, 3), values.Fee(k, 0, 4), values.Fee(k, 0, 5),
                                 values.Fee(k, 0, 6), values.Fee(k, 0, 7), values.Fee(k, 0, 8)};
        EXPECT_EQ(row, (QStringList{"卫生费", "", "", "10.50", "", "", "2026-01-01", "2026-02-28", "59"}));
        EXPECT_EQ(values.Price(k, 0, 1), QStringLiteral("居民电价"));
    }
    EXPECT_EQ(CReceiptValues::FeeNames().at(3), QStringLiteral("调整金额"));

    std::vector<SaleFeeLine> many;
    for (int i = 0; i < 60; ++i)
        many.push_back({i % 2 == 0, QStringLiteral("费%1").arg(i), day("2026-01-01"), day("2026-01-31"), 31, 1});
    EXPECT_EQ(BuildFeeSummary(many).size(), 50u);
}
