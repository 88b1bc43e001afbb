#include "KvWriteMemberFigures.h"

#include "CCardClassifier.h"
#include "KvSaleArithmetic.h"
#include "KvUtil.h"

#include <cmath>

int RefundWrtNumStep(int cardState)
{
    return cardState == 2 || cardState == 4 || cardState == 102 || cardState == 104 ? 1 : 0;
}

bool IsCapacityIncrease(const QString& meterLimit, const QString& imageLimit)
{
    return meterLimit != imageLimit;
}

int LimitTextValue(const QString& limit)
{
    return CCardClassifier::CellInt(limit);
}

RewriteBase RewriteBaseFor(int balanceWrtNum, int cardCount, double thisBalance, double lastBalance, double realPay)
{
    RewriteBase base;
    if (balanceWrtNum < cardCount) {
        base.outcome = RewriteBase::Unpaid;
        base.baseBalance = thisBalance;
        base.received = 0;
    } else if (balanceWrtNum == cardCount) {
        base.outcome = RewriteBase::Paid;
        base.baseBalance = lastBalance;
        base.received = realPay;
    }
    return base;
}

bool RewriteNeedsZeroReminder(double received)
{
    return RoundAmount(received) == 0;
}

RefundFigures ComputeRefund(const RefundInput& in)
{
    RefundFigures f;
    f.remaining = RoundAmount(in.totalMul * in.cardRemaining);
    f.used = in.boughtTotal + in.freeTotal - f.remaining;
    f.refundable = f.remaining;
    if (f.remaining > 0 && f.used < in.freeTotal)
        f.refundable = f.remaining - (in.freeTotal - f.used);
    f.units = RoundAmount(static_cast<double>(f.refundable) / in.totalMul);
    f.lineLoss = in.lineLossPercent * f.refundable * 0.01;
    f.fee = RoundAmount((f.refundable + f.lineLoss - in.transLoss) * in.lastPrice * 100) * 0.01;
    f.due = in.feeCharges + in.subCharges - f.fee - in.balance;
    return f;
}

RefundPayment RefundPaymentFor(double due, double paid, double change)
{
    RefundPayment p;
    if (RoundAmount(due * 100) > 0) {
        p.realPay = paid - change;
        p.thisBalance = RoundAmount(change * 100) == 0 ? RoundToCents(paid - due) : 0;
    } else {
        p.realPay = -paid;
        p.thisBalance = 0;
    }
    return p;
}

QString RefundBreakdownText(const RefundFigures& f, const RefundInput& in)
{
    QString text = QString::asprintf("剩余电量为：%d 度\t\t\t\n\n", f.refundable) +
                   QString::asprintf("根据线损计算方法，另退线损：%0.1f度\n\n", f.lineLoss) +
                   QString::asprintf("根据变压器使用情况，另扣变损：%0.1f度\n\n", in.transLoss) +
                   QString::asprintf("应退电费：%0.2f 元\n\n", f.fee) +
                   QString::asprintf("应缴附表计费：%0.2f元\n\n", in.subCharges) +
                   QString::asprintf("应缴定额收费：%0.2f元\n\n", in.feeCharges) +
                   QStringLiteral("用户余额：%1元\n\n").arg(BalanceText(in.balance));
    if (RoundAmount(f.due * 100) > 0)
        text += QString::asprintf("本次应收款为：%0.2f元\n\n继续吗？", f.due);
    else
        text += QString::asprintf("本次应退款为：%0.2f元\n\n继续吗？", std::fabs(f.due));
    return text;
}
