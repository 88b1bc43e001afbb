#pragma once

#include "CClientPay.h"
#include "KvSaleArithmetic.h"

#include <QString>
#include <functional>
#include <vector>

class CCardWriter;
class CCliBalance;
class CCliPre;
class CClient;
class CPreLastWrt;
class CWrtPrice;
class CWrtRecord;
class CWrtRecordList;
class QObject;

// The card figures a write starts from, as the card list shows them.
struct SaleCard
{
    QString meterNo;      // row 1
    int count = 0;        // row 2, 卡上写卡次数
    int lastAmount = 0;   // row 3, 卡上写卡量
    double use = 0;       // row 4, 卡上累计用量
    int purchase = 0;     // row 5, 卡上累计购电
    double remaining = 0; // row 6, 卡上剩余电量
    QString archiveLimit; // row 15, 档案限电值
};

// What the write sequence asks of the sales dialog: its state as the card read
// left it, the operator dialogs of the purchase and the payment, and the
// display steps. The dialog implements it; the sequence itself holds no widget.
class ISaleWriteHost
{
public:
    virtual ~ISaleWriteHost() = default;

    // The window that owns the message boxes of the write.
    virtual QObject* WriteParent() = 0;
    virtual SaleCard ReadSaleCard() const = 0;
    // Meter-type list rows 1 x 10 x 11: InnerMul x Ct x Pt.
    virtual int TotalMultiplier() const = 0;
    // Meter-type list row 8, the line loss in percent.
    virtual double LineLossPercent() const = 0;
    // The totals row of the history list: energy bought and free energy.
    virtual void GetHistoryTotals(int& bought, int& free) const = 0;
    virtual CCliPre& SaleMeter() = 0;
    virtual CClient& SaleClient() = 0;
    virtual CCliBalance& SaleBalance() = 0;
    virtual CPreLastWrt& SaleLastWrt() = 0;
    virtual CWrtRecordList& SaleHistory() = 0;
    virtual double WeightedPrice() const = 0;
    // The card writer's port (1 for com1).
    virtual int CardPort() const = 0;
    virtual int RemotePayIndex() const = 0;

    virtual void SumFeeLists(double& subCharges, double& feeCharges) const = 0;
    // 1 when the figures were filled, 0 when cancelled or refused.
    virtual int InputPurchaseByEnergy(PurchaseFigures& figures, int purpose) = 0;
    virtual int InputPurchaseByMoney(PurchaseFigures& figures) = 0;
    virtual int InputPurchaseRemote(PurchaseFigures& figures) = 0;
    // The price shares of the price list; throws "没有电价！" when it is empty.
    virtual void BuildWrtPrices(std::vector<CWrtPrice>& shares) = 0;
    // `mode` is the payment dialog's text: empty in a sale, "返卡退费" in a refund.
    virtual void TakePaymentByEnergy(double due, double& change, double& paid, const QString& mode) = 0;
    virtual void TakePaymentByMoney(double due, double& change, double money) = 0;
    virtual void ConfirmRemotePayment(double& due, double& change, double paid) = 0;
    // Inside the confirmation's transaction: marks every fee record of the
    // lists with the sale.
    virtual void LinkFeesToSale(const CWrtRecord& sale) = 0;
    // The user list's balance row.
    virtual void ShowBalance(double balance) = 0;
    virtual void PrintReceipt(CWrtRecord& sale, CClientPay& pay) = 0;
    virtual void FillWriteHistory() = 0;
};

enum class SalePayment
{
    Energy, // purchase in kWh, payment dialog 173
    Money,  // purchase as money, payment dialog 173
    Remote, // purchase from a remote payment, confirmation dialog 192
    // The energy left on a returned card bought back: the write brings its own
    // purchase; payment dialog 173 under "返卡退费", where the user pays what
    // is due or is paid out, and the balance is left at 0 either way.
    Refund,
    None, // no purchase, no payment, no receipt
};

// Where the limit, alarm and cut-off of a new row come from.
enum class SaleLimitSource
{
    LastWrt, // the meter's last card image
    Meter,   // the current meter's archive
};

// How the row's cumulative figures follow from the card's.
enum class SaleAccumulation
{
    Advance,   // purchase + units, use, remaining + units
    Restart,   // units, 0, units
    IcRewrite, // purchase + units - last amount, use, remaining + units - last amount
    Keep,      // purchase, use, remaining
};

struct SaleWriteContext;

// One write of the sales dialog: everything in which it differs from the
// ordinary top-up by kWh. Each field or hook names the step of the write
// (see CSaleWriteEngine) it changes.
struct SaleWriteDescriptor
{
    QString opMode;                                            // pending row: its OpMode
    SalePayment payment = SalePayment::Energy;                 // purchase, breakdown, payment
    SaleDueTest dueTest = SaleDueTest::Positive;               // purchase by kWh without withholding
    int wrtNumStep = 1;                                        // pending row: WrtNum = card count + step
    SaleLimitSource limitFrom = SaleLimitSource::LastWrt;      // pending row: LimitValue
    SaleLimitSource thresholdsFrom = SaleLimitSource::LastWrt; // pending row: AlarmShold, CloseShold
    SaleAccumulation accumulation = SaleAccumulation::Advance; // pending row: the cumulative figures
    bool linkFees = true;                                      // confirmation: links the fee lists to the row
    bool receipt = true;                                       // receipt after a payment
    // Card write: whether the write puts the row on a card. A write that does
    // brings its cardWrite command; one that does not has none, and its row
    // counts as written at once. The engine refuses a descriptor whose two
    // fields disagree before anything is asked or stored.
    bool writesCard = true;

    // After the card figures, before the charges: false stops (the hook told
    // the operator). It may set the base balance and what was received before.
    std::function<bool(SaleWriteContext&)> checks;
    // Replaces the host's input of the purchase step (1 filled, 0 refused).
    std::function<int(SaleWriteContext&, PurchaseFigures&)> input;
    // Replaces the whole purchase step (the input and the amounts); false
    // stops. A refund must bring one.
    std::function<bool(SaleWriteContext&)> purchase;
    // Replaces the amounts of the default purchase: the energy charge, total,
    // due, new balance and the amount the payment asks for, from the purchase
    // figures on the base balance. Run again (as is a purchase's own, when it
    // brings one) when the user's balance changed before the payment.
    std::function<void(SaleWriteContext&)> amounts;
    // When the user's balance row changed between the card read and the
    // payment: takes the base balance (and what was received) from the row as
    // it is now; false refuses the payment. Default: the row's balance.
    std::function<bool(SaleWriteContext&, const CCliBalance&)> rebase;
    // Replaces the text of the breakdown.
    std::function<QString(const SaleWriteContext&)> breakdown;
    // After No to the breakdown.
    std::function<void(const SaleWriteContext&)> declined;
    // After Yes to the breakdown and the range check, before anything is
    // stored: false stops with nothing written.
    std::function<bool(SaleWriteContext&)> agreed;
    // Inside the transaction that stores the pending row, before it.
    std::function<void(SaleWriteContext&)> withRow;
    // After the pending row's fields are set.
    std::function<void(SaleWriteContext&, CWrtRecord&)> fillRow;
    // Replaces the pending row's fields and its price shares (a copy of an
    // earlier row).
    std::function<void(SaleWriteContext&, CWrtRecord&)> buildRow;
    // Card write: the card command (1 on a confirmed write, 0 otherwise with
    // the card tool's answer in the text). Set exactly when writesCard is.
    std::function<int(CCardWriter&, const CWrtRecord&, QString&)> cardWrite;
    // Inside the confirmation's transaction, before the row is confirmed.
    std::function<void(SaleWriteContext&)> beforeConfirm;
};

// The working values of one write, each under the step that sets it.
struct SaleWriteContext
{
    ISaleWriteHost* host = nullptr;
    const SaleWriteDescriptor* descriptor = nullptr;
    SaleCard card;                 // card figures
    int totalMul = 1;              // card figures: the meter type's total multiplier
    int rate = 0;                  // card figures: the withholding rate in percent (sales by kWh)
    double balance = 0;            // card figures: the base balance of the sale
    double received = 0;           // what an earlier sale of the card was paid (rewrite)
    double subCharges = 0;         // charges: the sub-meter list's sum
    double feeCharges = 0;         // charges: the fee list's sum
    PurchaseFigures figures;       // purchase: what the operator entered
    double price = 0;              // purchase: the weighted unit price
    SaleAmounts amounts;           // purchase: the energy charge, withholding, total, due, new balance
    double duePaid = 0;            // purchase: the amount the payment asks for
    double paid = 0;               // payment: what the user handed over (or was paid out)
    double change = 0;             // payment: the change handed back
    double realPay = 0;            // payment: what the counter kept (negative: paid out)
    CWrtRecord* row = nullptr;     // pending row on, owned by the history once stored
    CWrtRecord* earlier = nullptr; // the earlier row a write replaces
    CClientPay pay;                // payment: the stored payment row
    int remotePayIndex = -1;       // purchase: the remote payment, confirmed after the payment
};

// The steps of one sale write, in order. Each is a member function named
// below; a descriptor changes them through its fields and hooks.
//
//   card figures  ReadCardFigures   the card list's figures, the total
//                                   multiplier, the withholding rate, the
//                                   balance; then the write's own checks
//   charges       SumCharges        the sub-meter and fee charges collected
//   purchase      Purchase          the operator's input, the energy charge,
//                                   withholding, total, amount due and the
//                                   new balance
//   breakdown     AgreeBreakdown    those figures asked as one question; No
//                                   ends the write with nothing stored
//   pending row   StorePendingRow   the row "待写" with its price shares,
//                                   stored in one transaction
//   card write    WriteCard         the card tool; a failed write deletes the
//                                   row, an unconfirmed one keeps it under the
//                                   answer, and either ends the write
//   confirmation  ConfirmWrite      the row "写卡成功", the last card image and
//                                   the fee links, in one transaction
//   payment       TakePayment       the operator's payment dialog, then
//                 StorePayment      the payment row, the balance and "收讫" in
//                                   one transaction, which holds the user's
//                                   balance row; where another payment changed
//                                   that row since the card read, the cashier
//                                   is told, the due figured again on it and
//                                   the payment taken again before anything is
//                                   stored; a remote payment is confirmed to
//                                   its library after it
//   balance       ShowBalance       the user list's balance row
//   receipt       PrintReceipt      the receipt of the row and the payment
//   history       RefreshHistory    the history list read again
//
// A write without payment goes from the confirmation to the history.
// Nothing is stored before the operator has agreed to the breakdown; no
// transaction is open while the card tool runs or a dialog waits; a failure
// inside a transaction rolls it back and is raised again.
// Runs the sale write for one descriptor against the sales dialog.
class CSaleWriteEngine
{
public:
    explicit CSaleWriteEngine(ISaleWriteHost& host) : m_host(host) {}

    // The three ordinary top-ups (正常充值).
    static SaleWriteDescriptor TopUp(SalePayment payment);
    // The plain infrared top-up command, op 03.
    static int WriteRecharge(CCardWriter& writer, const CWrtRecord& row, QString& result);

    // The variant of a top-up: remote when bRemote is "是", else by kWh when
    // BuyUnit is "度", else by money.
    static SalePayment ChosenPayment();

    // Runs the write to its end or to the step that stops it; failures throw.
    void Run(const SaleWriteDescriptor& descriptor);

    // The figures of the last run, for callers and tests.
    const SaleWriteContext& Context() const { return m_context; }

    // The ordinary steps, for hooks that add to them. The lines of the
    // breakdown can be changed before they are turned into its text.
    static SaleBreakdown DefaultBreakdownLines(const SaleWriteContext& context);
    static QString DefaultBreakdown(const SaleWriteContext& context);
    // The purchase by the descriptor's payment: the input, the range of the
    // units, the amounts and the amount the payment asks for.
    static bool DefaultPurchase(SaleWriteContext& context);
    // The amounts of the purchase figures on the context's base balance, by
    // the descriptor's payment: what DefaultPurchase runs after the input.
    static void DefaultAmounts(SaleWriteContext& context);
    // Fresh purchase figures carrying the sale's multiplier, charges and balance.
    static PurchaseFigures& StartFigures(SaleWriteContext& context);
    // The pending row's fields of the ordinary top-up, changed by the descriptor.
    static void DefaultRow(const SaleWriteContext& context, CWrtRecord& row);

private:
    // Throws when the descriptor contradicts itself: a card write without a
    // command or a command without a card write, a refund without its purchase.
    static void CheckDescriptor(const SaleWriteDescriptor& descriptor);
    // The steps; those that return false end the write there.
    bool ReadCardFigures();
    void SumCharges();
    bool Purchase();
    bool AgreeBreakdown();
    bool StorePendingRow();
    bool WriteCard();
    void ConfirmWrite();
    void TakePayment();
    void StorePayment();
    // The payment row, the balance and "收讫" in one transaction, on the
    // balance row as that transaction holds it; false (nothing stored) when
    // that row is no longer the one the sale was figured on, `current` then
    // holding it.
    bool StorePaymentOnHeldBalance(CCliBalance& current);
    // The sale figured again on the balance row as it is now, the cashier
    // told, and the payment taken again.
    void RetakePayment(const CCliBalance& current);
    void ConfirmRemote();
    void ShowBalance();
    void PrintReceipt();
    void RefreshHistory();

    ISaleWriteHost& m_host;
    SaleWriteContext m_context;
};

// The remote payment library (Raskell), loaded for one call at a time.
// GetPay throws, naming the library, when it or the entry cannot be had.
bool RemoteGetPay(const QString& clientNo, int& payIndex, double& amount);
// False when the library or its Confirm cannot be had.
bool RemoteConfirm(int payIndex);
QString RemotePayLibraryName();
