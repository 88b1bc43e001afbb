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
    QString meterNo;     // row 1
    int count = 0;       // row 2, 卡上写卡次数
    int lastAmount = 0;  // row 3, 卡上写卡量
    double use = 0;      // row 4, 卡上累计用量
    int purchase = 0;    // row 5, 卡上累计购电
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
    virtual void TakePaymentByEnergy(double due, double& change, double& paid, const QString& mode) = 0;
    virtual void TakePaymentByMoney(double due, double& change, double money) = 0;
    virtual void ConfirmRemotePayment(double& due, double& change, double paid) = 0;
    // Inside T1: marks every fee record of the lists with the sale.
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
    None,   // no purchase, no payment, no receipt
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
    Advance,   // purchase + U, use, remaining + U
    Restart,   // U, 0, U
    IcRewrite, // purchase + U - last, use, remaining + U - last
    Keep,      // purchase, use, remaining
};

struct SaleWriteContext;

// One write of the sales dialog: everything in which it differs from the
// ordinary top-up by kWh. The sequence is S1 (card figures) to S19 (history);
// each field or hook names the step it changes.
struct SaleWriteDescriptor
{
    QString opMode;                                    // S9
    SalePayment payment = SalePayment::Energy;         // S3, S5, S7, S8, S14, S15
    SaleDueTest dueTest = SaleDueTest::Positive;       // S7 by kWh without withholding
    int wrtNumStep = 1;                                // S9: WrtNum = card count + step
    SaleLimitSource limitFrom = SaleLimitSource::LastWrt;     // S9 LimitValue
    SaleLimitSource thresholdsFrom = SaleLimitSource::LastWrt; // S9 AlarmShold, CloseShold
    SaleAccumulation accumulation = SaleAccumulation::Advance; // S9
    bool linkFees = true;                              // T1 links the fee lists
    bool receipt = true;                               // S18 after a payment
    QString paymentText;                               // S14 by kWh: the mode text of dialog 173

    // After S3, before the charges: false stops (the hook told the operator).
    // It may set the base balance and what was received before.
    std::function<bool(SaleWriteContext&)> checks;
    // Replaces the host's purchase input of S5 (1 filled, 0 refused).
    std::function<int(SaleWriteContext&, PurchaseFigures&)> input;
    // Replaces S5 to S7 (the purchase and the amounts); false stops.
    std::function<bool(SaleWriteContext&)> purchase;
    // Replaces the S8 text.
    std::function<QString(const SaleWriteContext&)> breakdown;
    // After No to the breakdown.
    std::function<void(const SaleWriteContext&)> declined;
    // After Yes to the breakdown and the range check, before anything is
    // stored: false stops with nothing written.
    std::function<bool(SaleWriteContext&)> agreed;
    // Inside the transaction that stores the pending row, before it.
    std::function<void(SaleWriteContext&)> withRow;
    // After the S9 fields are set.
    std::function<void(SaleWriteContext&, CWrtRecord&)> fillRow;
    // Replaces S9 and the price shares of S10 (a copy of an earlier row).
    std::function<void(SaleWriteContext&, CWrtRecord&)> buildRow;
    // S11: the card command; null writes no card (the row counts as written).
    std::function<int(CCardWriter&, const CWrtRecord&, QString&)> cardWrite;
    // Inside T1, before the row is confirmed.
    std::function<void(SaleWriteContext&)> beforeConfirm;
    // After S15 has set the payment's fields.
    std::function<void(SaleWriteContext&, CClientPay&)> fillPay;
};

// The working values of one write, in the Parts' letters.
struct SaleWriteContext
{
    ISaleWriteHost* host = nullptr;
    const SaleWriteDescriptor* descriptor = nullptr;
    SaleCard card;              // S1
    int totalMul = 1;           // S2, M
    int rate = 0;               // S3, r (sales by kWh)
    double balance = 0;         // S3, B: the base balance of the sale
    double received = 0;        // what an earlier sale of the card was paid (rewrite)
    double subCharges = 0;      // S4, Fs
    double feeCharges = 0;      // S4, Ff
    PurchaseFigures figures;    // S5
    double price = 0;           // S6, P
    SaleAmounts amounts;        // S6, S7
    double duePaid = 0;         // S14: the amount the payment asks for (D, or D0)
    double paid = 0;            // S14, A
    double change = 0;          // S14, R
    CWrtRecord* row = nullptr;  // S9 on, owned by the history from S10
    CWrtRecord* earlier = nullptr; // the earlier row a write replaces
    CClientPay pay;             // S15
    int remotePayIndex = -1;
};

// Runs the sale write sequence for one descriptor against the sales dialog.
// Nothing is stored before the operator has agreed to the breakdown; no
// transaction is open while the card tool runs or a dialog waits; a failure
// inside a transaction rolls it back and is raised again.
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

    // The ordinary steps, for hooks that add to them. The lines of the S8
    // breakdown can be changed before they are turned into its text.
    static SaleBreakdown DefaultBreakdownLines(const SaleWriteContext& context);
    static QString DefaultBreakdown(const SaleWriteContext& context);
    // S5 to S7 by the descriptor's payment: the input, the range of the units,
    // the amounts and the amount the payment asks for.
    static bool DefaultPurchase(SaleWriteContext& context);
    // Fresh purchase figures carrying the sale's multiplier, charges and balance.
    static PurchaseFigures& StartFigures(SaleWriteContext& context);
    static void DefaultRow(const SaleWriteContext& context, CWrtRecord& row);

private:
    bool CardStep(CWrtRecord*& row);
    void Confirm(CWrtRecord& row);
    void TakePayment();
    void StorePayment(CWrtRecord& row);
    void ConfirmRemote();

    ISaleWriteHost& m_host;
    SaleWriteContext m_context;
};

// The remote payment library (Raskell), loaded for one call at a time.
// GetPay throws, naming the library, when it or the entry cannot be had.
bool RemoteGetPay(const QString& clientNo, int& payIndex, double& amount);
// False when the library or its Confirm cannot be had.
bool RemoteConfirm(int payIndex);
QString RemotePayLibraryName();
