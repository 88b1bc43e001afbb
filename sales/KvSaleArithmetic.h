#pragma once

#include <QString>

// The figures of one purchase: what a write presets (the multiplier, the
// charges and the balance) and what the purchase input fills in.
struct PurchaseFigures
{
    int writtenUnits = 0;    // the value written on the card
    int totalMul = 1;        // kWh per written unit: InnerMul x Ct x Pt
    int totalEnergy = 0;     // writtenUnits x totalMul
    int subsidy = 0;         // free kWh within totalEnergy
    double entered = 0;      // 申购量: kWh, money, or the money paid remotely
    double lineLoss = 0;     // kWh charged on top
    double transLoss = 0;    // kWh charged on top
    double subCharges = 0;   // sum of the sub-meter list
    double feeCharges = 0;   // sum of the fee list
    double balance = 0;      // the user's balance

    // The kWh charged at the weighted price.
    int Bought() const { return totalEnergy - subsidy; }
};

// The largest amount a card takes; a purchase search goes no further.
constexpr int kMaxWrittenUnits = 9999;

enum class PurchaseResult
{
    Ok,
    SubsidyTooLarge, // 申购量太小，无法满足补助量！
    TooLittle,       // the money does not pay the fees with zero units
    SubsidyShort,    // the money buys fewer kWh than the subsidy
    OutOfRange,      // more than the card takes
};

// 1/30 of the month's transformer loss per day since the last write.
constexpr double kDayOfMonth = 0.033333335;

// The transformer loss proposed by the input: days x monthly loss / 30 when
// the loss is charged, else 0.
double DefaultTransLoss(int days, double monthlyLoss, bool charged);
// Line loss of `bought` kWh at `percent` when line loss is charged, else 0.
double LineLossOf(int bought, double percent, bool charged);

// The purchase by kWh: A kWh and S free kWh on multiplier M (M > 0).
PurchaseResult PurchaseByEnergy(PurchaseFigures& figures, double amount, double transLoss, int subsidy,
                                double lineLossPercent, bool lineLossCharged);
// The purchase by money: the most units whose cost (energy, losses, fees and
// sub-meters, at `price` a kWh) the money and the balance pay, in whole cents.
PurchaseResult PurchaseByMoney(PurchaseFigures& figures, double money, double transLoss, int subsidy,
                               double lineLossPercent, bool lineLossCharged, double price);
// The purchase by money of a replacement card's top-up: the cost compared
// with the money without rounding, and the amount whose cost reaches the
// money is not bought; no check of the subsidy.
PurchaseResult PurchaseReplacementByMoney(PurchaseFigures& figures, double money, double transLoss, int subsidy,
                                          double lineLossPercent, bool lineLossCharged, double price);
// The purchase by kWh of a replacement card's top-up: a subsidy beyond the
// kWh bought is lowered to them instead of refused.
PurchaseResult PurchaseReplacementByEnergy(PurchaseFigures& figures, double amount, double transLoss, int subsidy,
                                           double lineLossPercent, bool lineLossCharged);
// The purchase from a remote payment: as by money, without subsidy and losses.
PurchaseResult PurchaseRemote(PurchaseFigures& figures, double paid, double price);

// Whether the user owes something at the test of a sale by kWh without
// withholding: more than 0 cents, or (IC) 0 cents and more.
enum class SaleDueTest
{
    Positive,
    NonNegative,
};

// What a sale charges and what it leaves on the balance.
struct SaleAmounts
{
    double fee = 0;        // the energy charge, in cents
    double prePay = 0;     // the withholding W
    double total = 0;      // T, stored as the payment's TotFee
    double due = 0;        // D, what the counter asks for
    double newBalance = 0; // N before the payment
};

// (Tw + Lw + Q) x P rounded to cents.
double EnergyCharge(int bought, double lineLoss, double transLoss, double price);
// A sale by kWh with withholding rate `rate` percent.
SaleAmounts EnergySaleAmounts(const PurchaseFigures& figures, double price, int rate, double balance,
                              SaleDueTest test = SaleDueTest::Positive);
// A sale by money or a remote one: no withholding; the money entered (or paid)
// goes to the balance, the total is taken from it.
SaleAmounts MoneySaleAmounts(const PurchaseFigures& figures, double price, double balance);

// A balance kept in whole cents: what the counter takes is shown and paid in
// cents, so a due a fraction of a cent off leaves no fraction on the balance.
// Never -0.
double RoundToCents(double amount);
// A balance as the counter shows it: two decimals, and a value that rounds to
// zero without a sign ("0.00", never "-0.00").
QString BalanceText(double balance);

// The lines of the breakdown asked before a write.
struct SaleBreakdown
{
    int bought = 0;
    int subsidy = 0;
    double lineLoss = 0;
    double transLoss = 0;
    double fee = 0;
    double prePay = 0;
    bool withPrePay = true; // the withholding line (sales by kWh)
    double subCharges = 0;
    double feeCharges = 0;
    double balance = 0;
    double due = 0;
    // The last line tells a refund ("本次应退款为") when the due rounds to 0
    // cents or less; otherwise it always asks for the due.
    bool refundLine = false;
};
QString SaleBreakdownText(const SaleBreakdown& lines);

// The payment in cash against an amount due (negative: a refund): the checks
// of the payment dialog and the change.
struct PaymentCheck
{
    QString refusal; // the message when the entry is refused
    double change = 0;
};
// How a refund is checked: the sales dialog pays back exactly what is due,
// the card dialog at most that (the rest is change).
enum class RefundRule
{
    Exact,
    AtMost,
};
PaymentCheck CheckPayment(double due, double paid, RefundRule rule = RefundRule::Exact);
