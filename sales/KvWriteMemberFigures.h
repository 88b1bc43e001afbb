#pragma once

#include <QString>

// The figures in which the other writes of the sales dialog differ from the
// ordinary top-up: the rewrite of a top-up not yet used, the return-card
// refund, the replacement-card and continued-use top-ups and the IC writes.
// Pure arithmetic on what the card list and the records hold; the write
// sequence itself lies elsewhere.

// A refund row takes the next write number only for a used opening or top-up
// card (states 2, 4, 102, 104): the step added to the card's count.
int RefundWrtNumStep(int cardState);

// An IC top-up is a capacity increase when the meter's limit text and the
// last card image's differ in any byte ("80" and "080" differ).
bool IsCapacityIncrease(const QString& meterLimit, const QString& imageLimit);

// The limit an op 07 sends: the leading digits of the limit text, 0 without.
int LimitTextValue(const QString& limit);

// What the rewrite of an unused top-up starts from, by the write number of
// the user's last payment against the card's count.
struct RewriteBase
{
    enum Outcome
    {
        Unpaid,       // the earlier sale was not paid: the current balance, nothing received
        Paid,         // it was: the balance before that payment, and what was received
        Inconsistent, // the payment is ahead of the card: "付款数据发生错误！"
    };
    Outcome outcome = Inconsistent;
    double baseBalance = 0; // B'
    double received = 0;    // P0
};

RewriteBase RewriteBaseFor(int balanceWrtNum, int cardCount, double thisBalance, double lastBalance, double realPay);

// Whether declining a rewrite reminds the operator that the card still holds
// an unpaid top-up: nothing was received for it, P0 rounding to a whole 0.
bool RewriteNeedsZeroReminder(double received);

// The return-card refund: what the card's remaining energy is worth.
struct RefundInput
{
    int totalMul = 1;           // M
    double cardRemaining = 0;   // c_rem
    int boughtTotal = 0;        // Bt: the history's sum of BuyValue
    int freeTotal = 0;          // Fr: the history's sum of FreeValue
    double lineLossPercent = 0; // the meter-type list's 线损
    double transLoss = 0;       // Tw, entered by the operator
    double lastPrice = 0;       // the earlier sale's Price
    double subCharges = 0;      // Fs
    double feeCharges = 0;      // Ff
    double balance = 0;         // B
};

struct RefundFigures
{
    int remaining = 0;   // Rem: kWh left on the card
    int used = 0;        // Bt + Fr − Rem
    int refundable = 0;  // Re: only bought energy is bought back, free energy counts as used first
    int units = 0;       // Ur: card units of Re
    double lineLoss = 0; // Lr
    double fee = 0;      // Fe: the energy refund
    double due = 0;      // D: > 0 the user pays, else the user receives |D|
};

// M > 0.
RefundFigures ComputeRefund(const RefundInput& in);

// The refund's breakdown, asked before anything is stored.
QString RefundBreakdownText(const RefundFigures& f, const RefundInput& in);

// The payment row of a refund after the payment dialog: the user pays (D
// above 0 cents) or receives |D|, paid out as a negative RealPay, leaving a
// balance of 0.
struct RefundPayment
{
    double realPay = 0;
    double thisBalance = 0;
};

RefundPayment RefundPaymentFor(double due, double paid, double change);
