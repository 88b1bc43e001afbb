// The figures in which the rewrite, the refund, the replacement-card,
// continued-use and IC writes differ from the ordinary top-up.

#include "KvWriteMemberFigures.h"

#include <cmath>
#include <gtest/gtest.h>

TEST(WriteMemberFigures, ARefundTakesTheNextWriteNumberOnlyOnAUsedCard)
{
    for (int state : {2, 4, 102, 104})
        EXPECT_EQ(RefundWrtNumStep(state), 1) << state;
    for (int state : {3, 6, 13, 56, 103, 106, 156, -1})
        EXPECT_EQ(RefundWrtNumStep(state), 0) << state;
}

TEST(WriteMemberFigures, OnlyAByteForByteEqualLimitIsANormalIcTopUp)
{
    struct Case
    {
        const char* meter;
        const char* image;
        bool increase;
    };
    const Case cases[] = {
        {"80", "080", true}, {"080", "080", false}, {"800", "800", false},
        {"80 ", "80", true}, {"", "", false},       {"", "800", true},
    };
    for (const Case& c : cases)
        EXPECT_EQ(IsCapacityIncrease(QString::fromUtf8(c.meter), QString::fromUtf8(c.image)), c.increase)
            << c.meter << " / " << c.image;

    EXPECT_EQ(LimitTextValue(QStringLiteral("080")), 80);
    EXPECT_EQ(LimitTextValue(QStringLiteral("75A")), 75);
    EXPECT_EQ(LimitTextValue(QStringLiteral("无")), 0);
    EXPECT_EQ(LimitTextValue(QString()), 0);
}

TEST(WriteMemberFigures, TheRewriteStartsFromTheBalanceBeforeWhatWasPaidForTheCard)
{
    // Balance row: this 10, before it 2, received 50; the card counts 4.
    const RewriteBase unpaid = RewriteBaseFor(3, 4, 10, 2, 50);
    EXPECT_EQ(unpaid.outcome, RewriteBase::Unpaid);
    EXPECT_DOUBLE_EQ(unpaid.baseBalance, 10);
    EXPECT_DOUBLE_EQ(unpaid.received, 0);

    const RewriteBase paid = RewriteBaseFor(4, 4, 10, 2, 50);
    EXPECT_EQ(paid.outcome, RewriteBase::Paid);
    EXPECT_DOUBLE_EQ(paid.baseBalance, 2);
    EXPECT_DOUBLE_EQ(paid.received, 50);

    EXPECT_EQ(RewriteBaseFor(5, 4, 10, 2, 50).outcome, RewriteBase::Inconsistent);

    // The reminder on No: P0 rounds to a whole amount, not to cents.
    EXPECT_TRUE(RewriteNeedsZeroReminder(0));
    EXPECT_TRUE(RewriteNeedsZeroReminder(0.498));
    EXPECT_FALSE(RewriteNeedsZeroReminder(0.499));
    EXPECT_FALSE(RewriteNeedsZeroReminder(26));
}

TEST(WriteMemberFigures, ARefundBuysBackOnlyTheBoughtEnergyLeftOnTheCard)
{
    struct Case
    {
        const char* name;
        RefundInput in;
        int refundable;
        int units;
        double lineLoss;
        double fee;
        double due;
    };
    // M, c_rem, Bt, Fr, line loss %, Tw, price, Fs, Ff, B
    const Case cases[] = {
        {"120 left of 100 bought and 50 free", {1, 120, 100, 50, 0, 0, 0.5, 0, 0, 0}, 100, 100, 0, 50, -50},
        {"30 left", {1, 30, 100, 50, 0, 0, 0.5, 0, 0, 0}, 30, 30, 0, 15, -15},
        {"fees above the refund are collected", {1, 30, 100, 50, 0, 0, 0.5, 100, 0, 0}, 30, 30, 0, 15, 85},
        // Rem = RoundAmount(80.8) = 81, Ur = RoundAmount(40.5) = 41,
        // Fe = RoundAmount((81 + 2.025 - 3) x 0.52 x 100) cents.
        {"multiplier, line loss, transformer loss, charges and balance",
         {2, 40.4, 500, 0, 2.5, 3, 0.52, 10, 5, 20},
         81,
         41,
         2.025,
         41.61,
         15 - 41.61 - 20},
        {"an empty card", {1, 0, 100, 50, 0, 0, 0.5, 0, 0, 0}, 0, 0, 0, 0, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const RefundFigures f = ComputeRefund(c.in);
        EXPECT_EQ(f.refundable, c.refundable);
        EXPECT_EQ(f.units, c.units);
        EXPECT_NEAR(f.lineLoss, c.lineLoss, 1e-9);
        EXPECT_NEAR(f.fee, c.fee, 1e-9);
        EXPECT_NEAR(f.due, c.due, 1e-9);
    }
}

TEST(WriteMemberFigures, ARefundPaysOutAsANegativePaymentAndLeavesNoBalance)
{
    const RefundPayment payout = RefundPaymentFor(-50, 50, 0);
    EXPECT_DOUBLE_EQ(payout.realPay, -50);
    EXPECT_DOUBLE_EQ(payout.thisBalance, 0);

    // Collected with change handed back: nothing stays with the user.
    const RefundPayment collected = RefundPaymentFor(85, 100, 15);
    EXPECT_DOUBLE_EQ(collected.realPay, 85);
    EXPECT_DOUBLE_EQ(collected.thisBalance, 0);

    // The change kept (bChange): it becomes the balance.
    const RefundPayment kept = RefundPaymentFor(85, 100, 0);
    EXPECT_DOUBLE_EQ(kept.realPay, 100);
    EXPECT_DOUBLE_EQ(kept.thisBalance, 15);

    // A due a fraction of a cent above the cents paid leaves no fraction (and
    // no "-0.00") on the balance.
    const RefundPayment shown = RefundPaymentFor(39.494995, 39.49, 0);
    EXPECT_EQ(shown.thisBalance, 0.0);
    EXPECT_FALSE(std::signbit(shown.thisBalance));
}

TEST(WriteMemberFigures, TheRefundBreakdownEndsInWhatIsPaidOrPaidBack)
{
    RefundInput in{1, 30, 100, 50, 2, 1.5, 0.5, 3, 4, 6};
    RefundFigures f = ComputeRefund(in);
    // Fe = RoundAmount((30 + 0.6 - 1.5) x 0.5 x 100) cents = 14.55; D = 7 - 14.55 - 6.
    EXPECT_EQ(RefundBreakdownText(f, in),
              QStringLiteral("剩余电量为：30 度\t\t\t\n\n根据线损计算方法，另退线损：0.6度\n\n"
                             "根据变压器使用情况，另扣变损：1.5度\n\n应退电费：14.55 元\n\n应缴附表计费：3.00元\n\n"
                             "应缴定额收费：4.00元\n\n用户余额：6.00元\n\n本次应退款为：13.55元\n\n继续吗？"));
    in.subCharges = 30;
    f = ComputeRefund(in);
    EXPECT_TRUE(RefundBreakdownText(f, in).endsWith(QStringLiteral("本次应收款为：13.45元\n\n继续吗？")));
}
