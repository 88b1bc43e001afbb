#include "KvSaleArithmetic.h"

#include "KvReportText.h"
#include "KvUtil.h"

#include <algorithm>
#include <cmath>

namespace {

// The figures of n units bought on the figures' multiplier.
void Fill(PurchaseFigures& figures, int n, int subsidy, double entered, double lineLossPercent, bool lineLossCharged,
          double transLoss)
{
    figures.writtenUnits = n;
    figures.totalEnergy = n * figures.totalMul;
    figures.subsidy = subsidy;
    figures.entered = entered;
    figures.lineLoss = LineLossOf(figures.totalEnergy - subsidy, lineLossPercent, lineLossCharged);
    figures.transLoss = transLoss;
}

// Money in whole cents, beyond the int range too.
double Cents(double amount)
{
    return RoundAmountValue(amount * 100);
}

// The first n in 0..kMaxWrittenUnits + 1 whose cost exceeds `available`
// (or reaches it, when `reachingStops`), minus one; kMaxWrittenUnits + 1 when
// even that many units are affordable (a price of 0 would otherwise never stop).
template <class Cost> int AffordableUnits(double available, Cost cost, bool reachingStops = false)
{
    for (int n = 0; n <= kMaxWrittenUnits + 1; ++n) {
        const double c = cost(n);
        if (c > available || (reachingStops && c == available))
            return n - 1;
    }
    return kMaxWrittenUnits + 1;
}

// The purchase by kWh: the units the amount and the subsidy make on the
// multiplier; a subsidy beyond them is refused, or lowered to them when
// `lowerSubsidy`.
PurchaseResult EnergyPurchase(PurchaseFigures& figures, double amount, double transLoss, int subsidy,
                              double lineLossPercent, bool lineLossCharged, bool lowerSubsidy)
{
    const int m = figures.totalMul;
    if (m <= 0)
        return PurchaseResult::OutOfRange;
    // Less than nothing bought never meets a subsidy, whether or not it is
    // lowered: -0.5 kWh would otherwise make 0 units, stored as bought.
    if (amount < 0)
        return PurchaseResult::SubsidyTooLarge;
    const double units = std::trunc((static_cast<double>(subsidy) + amount) / m);
    if (units * m < subsidy && !lowerSubsidy)
        return PurchaseResult::SubsidyTooLarge;
    if (units > kMaxWrittenUnits)
        return PurchaseResult::OutOfRange;
    const int n = static_cast<int>(units);
    Fill(figures, n, std::min(subsidy, n * m), amount, lineLossPercent, lineLossCharged, transLoss);
    return PurchaseResult::Ok;
}

} // namespace

double DefaultTransLoss(int days, double monthlyLoss, bool charged)
{
    return charged ? days * monthlyLoss * kDayOfMonth : 0.0;
}

double LineLossOf(int bought, double percent, bool charged)
{
    return charged ? bought * percent * 0.01 : 0.0;
}

PurchaseResult PurchaseByEnergy(PurchaseFigures& figures, double amount, double transLoss, int subsidy,
                                double lineLossPercent, bool lineLossCharged)
{
    return EnergyPurchase(figures, amount, transLoss, subsidy, lineLossPercent, lineLossCharged, false);
}

PurchaseResult PurchaseByMoney(PurchaseFigures& figures, double money, double transLoss, int subsidy,
                               double lineLossPercent, bool lineLossCharged, double price)
{
    const int m = figures.totalMul;
    if (m <= 0)
        return PurchaseResult::OutOfRange;
    // Negative money would be taken from the balance while the payment
    // records it as paid at the counter.
    if (money < 0)
        return PurchaseResult::TooLittle;
    const double available = Cents(money + figures.balance);
    const int n = AffordableUnits(available, [&](int units) {
        const int bought = units * m - subsidy;
        const double line = LineLossOf(bought, lineLossPercent, lineLossCharged);
        return Cents((((bought + line) + transLoss) * price + figures.feeCharges) + figures.subCharges);
    });
    if (n > kMaxWrittenUnits)
        return PurchaseResult::OutOfRange;
    if (n < 0)
        return PurchaseResult::TooLittle;
    if (n * m - subsidy < 0)
        return PurchaseResult::SubsidyShort;
    Fill(figures, n, subsidy, money, lineLossPercent, lineLossCharged, transLoss);
    return PurchaseResult::Ok;
}

PurchaseResult PurchaseReplacementByMoney(PurchaseFigures& figures, double money, double transLoss, int subsidy,
                                          double lineLossPercent, bool lineLossCharged, double price)
{
    const int m = figures.totalMul;
    if (m <= 0)
        return PurchaseResult::OutOfRange;
    if (money < 0)
        return PurchaseResult::TooLittle;
    const double available = figures.balance + money;
    const int n = AffordableUnits(
        available,
        [&](int units) {
            const int bought = units * m - subsidy;
            return (bought + LineLossOf(bought, lineLossPercent, lineLossCharged) + transLoss) * price;
        },
        true);
    if (n > kMaxWrittenUnits)
        return PurchaseResult::OutOfRange;
    if (n < 0)
        return PurchaseResult::TooLittle;
    Fill(figures, n, subsidy, money, lineLossPercent, lineLossCharged, transLoss);
    return PurchaseResult::Ok;
}

PurchaseResult PurchaseReplacementByEnergy(PurchaseFigures& figures, double amount, double transLoss, int subsidy,
                                           double lineLossPercent, bool lineLossCharged)
{
    return EnergyPurchase(figures, amount, transLoss, subsidy, lineLossPercent, lineLossCharged, true);
}

PurchaseResult PurchaseRemote(PurchaseFigures& figures, double paid, double price)
{
    const int m = figures.totalMul;
    if (m <= 0)
        return PurchaseResult::OutOfRange;
    const double available = Cents(figures.balance + paid);
    const int n = AffordableUnits(available, [&](int units) {
        return Cents(((static_cast<double>(units) * m * price) + figures.feeCharges) + figures.subCharges);
    });
    if (n > kMaxWrittenUnits)
        return PurchaseResult::OutOfRange;
    if (n < 0)
        return PurchaseResult::TooLittle;
    Fill(figures, n, 0, paid, 0, false, 0);
    return PurchaseResult::Ok;
}

double EnergyCharge(int bought, double lineLoss, double transLoss, double price)
{
    return Cents((transLoss + lineLoss + bought) * price) * 0.01;
}

SaleAmounts EnergySaleAmounts(const PurchaseFigures& figures, double price, int rate, double balance,
                              SaleDueTest test)
{
    SaleAmounts a;
    const int bought = figures.Bought();
    a.fee = EnergyCharge(bought, figures.lineLoss, figures.transLoss, price);
    const double fs = figures.subCharges;
    const double ff = figures.feeCharges;
    if (rate == 0) {
        a.prePay = 0;
        a.total = ff + fs + a.fee;
        const double owed = Cents(a.total - balance);
        if (test == SaleDueTest::Positive ? owed > 0 : owed >= 0) {
            a.due = a.total - balance;
            a.newBalance = 0;
        } else {
            a.due = 0;
            a.newBalance = Cents(balance - a.total) * 0.01;
        }
        return a;
    }
    // The balance pays the sub-meters and fees as far as it reaches; energy
    // and withholding are paid at the counter, the withholding credited.
    a.prePay = rate * price * bought * 0.01;
    const double left = balance - fs - ff;
    if (left > 0) {
        a.total = a.due = a.prePay + a.fee;
        a.newBalance = left + a.prePay;
    } else {
        a.total = a.due = a.prePay + a.fee - left;
        a.newBalance = a.prePay;
    }
    return a;
}

SaleAmounts MoneySaleAmounts(const PurchaseFigures& figures, double price, double balance)
{
    SaleAmounts a;
    a.fee = EnergyCharge(figures.Bought(), figures.lineLoss, figures.transLoss, price);
    a.total = figures.feeCharges + figures.subCharges + a.fee;
    a.due = a.total;
    a.newBalance = balance + figures.entered - a.total;
    return a;
}

double RoundToCents(double amount)
{
    const double cents = std::round(amount * 100.0) / 100.0;
    return cents == 0.0 ? 0.0 : cents;
}

QString BalanceText(double balance)
{
    return KvFixedText(balance, 2);
}

QString SaleBreakdownText(const SaleBreakdown& l)
{
    QString text = QString::asprintf("本次购电量为：%d 度\t\t\t\n\n", l.bought) +
                   QString::asprintf("补助电量为：%d 度\n\n", l.subsidy) +
                   QString::asprintf("根据线损计算方法，另计线损：%0.1f度\n\n", l.lineLoss) +
                   QString::asprintf("根据变压器使用情况，另计变损：%0.1f度\n\n", l.transLoss) +
                   QString::asprintf("应缴电费：%0.2f 元\n\n", l.fee);
    if (l.withPrePay)
        text += QString::asprintf("应缴预提：%0.2f 元\n\n", l.prePay);
    text += QString::asprintf("应缴附表计费：%0.2f元\n\n", l.subCharges) +
            QString::asprintf("应缴定额收费：%0.2f元\n\n", l.feeCharges) +
            QStringLiteral("用户余额：%1元\n\n").arg(BalanceText(l.balance));
    if (l.refundLine && RoundAmountValue(l.due * 100) <= 0)
        text += QString::asprintf("本次应退款为：%.2f元\n\n继续吗？", std::fabs(l.due));
    else
        text += QString::asprintf("本次应收款为：%0.2f元\n\n继续吗？", l.due);
    return text;
}

PaymentCheck CheckPayment(double due, double paid, RefundRule rule)
{
    PaymentCheck check;
    const bool refund = RoundAmountValue(due * 100) < 0;
    paid = std::fabs(paid);
    // The due as the dialog shows it, in whole cents: the operator pays what
    // he is shown, and a read-only refund field holds exactly that.
    const double shown = QString::asprintf("%0.2f", std::fabs(due)).toDouble();
    const double shownCents = RoundAmountValue(shown * 100);
    const double paidCents = RoundAmountValue(paid * 100);
    if (refund && rule == RefundRule::Exact && shownCents != paidCents)
        check.refusal = QStringLiteral("退款额应等于应退款额！");
    else if (!refund && paidCents < shownCents)
        check.refusal = QStringLiteral("输入金额不应小于应付金额！");
    else if (refund && paidCents > shownCents)
        check.refusal = QStringLiteral("输入金额不应大于应退金额！");
    check.change = refund ? shown - paid : paid - shown;
    return check;
}
