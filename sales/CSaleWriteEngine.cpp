#include "CSaleWriteEngine.h"

#include "CAdoConnection.h"
#include "CCardWriter.h"
#include "CCliBalance.h"
#include "CCliPre.h"
#include "CClient.h"
#include "CDynamicLibrary.h"
#include "CKvException.h"
#include "CPreLastWrt.h"
#include "CSysPara.h"
#include "CWrtPrice.h"
#include "CWrtRecord.h"
#include "KvGbk.h"
#include "KvMessage.h"
#include "KvUtil.h"
#include "KvWriteMemberFigures.h"
#include "SysGlobals.h"

#include <algorithm>
#include <memory>

namespace {

const QString kYes = QStringLiteral("是");
const QString kOutOfRange = QStringLiteral("写卡量超出有效值范围！");

bool UnitsInRange(int units)
{
    return units >= 0 && units <= kMaxWrittenUnits;
}

// The balance a payment by money leaves once the change is handed back; with
// no change (none due, or none given) it is kept in whole cents.
double KeptBalance(double newBalance, double change)
{
    const double kept = newBalance - change;
    return RoundAmountValue(change * 100) == 0 ? RoundToCents(kept) : kept;
}

// A sale row's state word and record state, to be put back.
struct SaleRowState
{
    explicit SaleRowState(CWrtRecord* record)
        : row(record), word(record ? record->GetStateWord() : QString()), state(record ? record->GetState() : 0)
    {
    }
    void Restore() const
    {
        if (!row)
            return;
        row->SetState(word);
        row->SetState(state);
    }
    CWrtRecord* row;
    QString word;
    int state;
};

// The dialog's records that a transaction of the write changes: the last card
// image, the balance, the new row and the earlier row it replaces. Taken
// before the transaction and put back when it rolls back, so that the dialog
// never shows (nor hands its caller) figures that were not stored.
class CSaleRecordsSnapshot
{
public:
    CSaleRecordsSnapshot(ISaleWriteHost& host, CWrtRecord* row, CWrtRecord* earlier)
        : m_host(host), m_lastWrt(host.SaleLastWrt()), m_lastWrtState(host.SaleLastWrt().GetState()),
          m_balance(host.SaleBalance()), m_balanceState(host.SaleBalance().GetState()), m_row(row), m_earlier(earlier)
    {
    }

    void Restore() const
    {
        m_host.SaleLastWrt() = m_lastWrt;
        m_host.SaleLastWrt().SetState(m_lastWrtState);
        m_host.SaleBalance() = m_balance;
        m_host.SaleBalance().SetState(m_balanceState);
        m_row.Restore();
        m_earlier.Restore();
    }

private:
    ISaleWriteHost& m_host;
    const CPreLastWrt m_lastWrt;
    const int m_lastWrtState;
    const CCliBalance m_balance;
    const int m_balanceState;
    const SaleRowState m_row;
    const SaleRowState m_earlier;
};

} // namespace

SaleWriteDescriptor CSaleWriteEngine::TopUp(SalePayment payment)
{
    SaleWriteDescriptor d;
    d.opMode = QStringLiteral("正常充值");
    d.payment = payment;
    d.cardWrite = &CSaleWriteEngine::WriteRecharge;
    return d;
}

int CSaleWriteEngine::WriteRecharge(CCardWriter& writer, const CWrtRecord& row, QString& result)
{
    return writer.WriteRechargeCard(row.GetMeterNo(), row.GetWrtValue(), result);
}

void CSaleWriteEngine::CheckDescriptor(const SaleWriteDescriptor& d)
{
    // A write kind put together wrongly fails before anything is asked or
    // stored: a row that claims a card write without a command would pass for
    // written, and a refund without its figures would be sold as energy.
    if (d.writesCard && !d.cardWrite)
        throw CKvException(QStringLiteral("%1没有写卡命令，不能写卡！").arg(d.opMode));
    if (!d.writesCard && d.cardWrite)
        throw CKvException(QStringLiteral("%1不写卡，却带有写卡命令！").arg(d.opMode));
    if (d.payment == SalePayment::Refund && !d.purchase)
        throw CKvException(QStringLiteral("%1没有退费计算，不能退费！").arg(d.opMode));
    // A payment on a balance changed since the card read is figured again
    // with the amounts step: a purchase of its own needs its own amounts.
    if (d.payment != SalePayment::None && d.purchase && !d.amounts)
        throw CKvException(QStringLiteral("%1没有应收款计算，不能收款！").arg(d.opMode));
}

SalePayment CSaleWriteEngine::ChosenPayment()
{
    CSysPara* para = GetMainSysPara();
    if (para->GetRemoteFlag() == kYes)
        return SalePayment::Remote;
    if (para->GetBuyUnit() == QStringLiteral("度"))
        return SalePayment::Energy;
    return SalePayment::Money;
}

void CSaleWriteEngine::Run(const SaleWriteDescriptor& d)
{
    CheckDescriptor(d);
    m_context = SaleWriteContext();
    m_context.host = &m_host;
    m_context.descriptor = &d;

    if (!ReadCardFigures())
        return;
    if (d.payment != SalePayment::None) {
        SumCharges();
        if (!Purchase() || !AgreeBreakdown())
            return;
    }
    if (!StorePendingRow() || !WriteCard())
        return;
    ConfirmWrite();
    if (d.payment != SalePayment::None) {
        TakePayment();
        StorePayment();
        if (d.payment == SalePayment::Remote)
            ConfirmRemote();
        ShowBalance();
        if (d.receipt)
            PrintReceipt();
    }
    RefreshHistory();
}

bool CSaleWriteEngine::ReadCardFigures()
{
    SaleWriteContext& c = m_context;
    const SaleWriteDescriptor& d = *c.descriptor;
    c.card = m_host.ReadSaleCard();
    c.totalMul = m_host.TotalMultiplier();
    if (d.payment != SalePayment::None && c.totalMul <= 0) {
        // Every figure of the sale divides by it.
        PromptBox(QStringLiteral("合计倍率不正确，不能售电！"), m_host.WriteParent());
        return false;
    }
    c.rate = d.payment == SalePayment::Energy ? m_host.SaleMeter().GetPrePayRate() : 0;
    c.balance = m_host.SaleBalance().GetThisBalance();
    return !d.checks || d.checks(c);
}

void CSaleWriteEngine::SumCharges()
{
    m_host.SumFeeLists(m_context.subCharges, m_context.feeCharges);
}

bool CSaleWriteEngine::Purchase()
{
    SaleWriteContext& c = m_context;
    c.price = m_host.WeightedPrice();
    return c.descriptor->purchase ? c.descriptor->purchase(c) : DefaultPurchase(c);
}

bool CSaleWriteEngine::AgreeBreakdown()
{
    const SaleWriteContext& c = m_context;
    const SaleWriteDescriptor& d = *c.descriptor;
    const QString text = d.breakdown ? d.breakdown(c) : DefaultBreakdown(c);
    if (AskBoxStr(text, m_host.WriteParent()) != IDNO)
        return true;
    if (d.declined)
        d.declined(c);
    return false;
}

bool CSaleWriteEngine::StorePendingRow()
{
    SaleWriteContext& c = m_context;
    const SaleWriteDescriptor& d = *c.descriptor;
    auto row = std::make_unique<CWrtRecord>();
    if (d.buildRow) {
        d.buildRow(c, *row);
    } else {
        DefaultRow(c, *row);
        if (d.fillRow)
            d.fillRow(c, *row);
    }
    if (d.writesCard && !UnitsInRange(row->GetWrtValue())) {
        PromptBox(kOutOfRange, m_host.WriteParent());
        return false;
    }
    if (!d.buildRow) {
        std::vector<CWrtPrice> shares;
        m_host.BuildWrtPrices(shares);
        row->SetWrtPrices(shares.data(), static_cast<int>(shares.size()));
    }
    if (d.agreed && !d.agreed(c))
        return false;
    if (d.withRow) {
        CAdoTransaction transaction(*GetMainDatabase());
        d.withRow(c);
        row->Save();
        transaction.Commit();
    } else {
        row->Save();
    }
    c.row = row.get();
    m_host.SaleHistory().AppendRecord(row.release());
    return true;
}

PurchaseFigures& CSaleWriteEngine::StartFigures(SaleWriteContext& c)
{
    PurchaseFigures& f = c.figures;
    f = PurchaseFigures();
    f.totalMul = c.totalMul;
    f.subCharges = c.subCharges;
    f.feeCharges = c.feeCharges;
    f.balance = c.balance;
    return f;
}

bool CSaleWriteEngine::DefaultPurchase(SaleWriteContext& c)
{
    ISaleWriteHost& host = *c.host;
    PurchaseFigures& f = StartFigures(c);
    int done = 0;
    if (c.descriptor->input) {
        done = c.descriptor->input(c, f);
    } else {
        switch (c.descriptor->payment) {
        case SalePayment::Energy:
            done = host.InputPurchaseByEnergy(f, 1);
            break;
        case SalePayment::Money:
            done = host.InputPurchaseByMoney(f);
            break;
        case SalePayment::Remote:
            done = host.InputPurchaseRemote(f);
            c.remotePayIndex = host.RemotePayIndex();
            break;
        case SalePayment::Refund: // brings its own purchase
        case SalePayment::None:
            break;
        }
    }
    if (!done)
        return false;
    if (!UnitsInRange(f.writtenUnits)) {
        PromptBox(kOutOfRange, host.WriteParent());
        return false;
    }
    if (c.descriptor->amounts)
        c.descriptor->amounts(c);
    else
        DefaultAmounts(c);
    return true;
}

void CSaleWriteEngine::DefaultAmounts(SaleWriteContext& c)
{
    const PurchaseFigures& f = c.figures;
    c.amounts = c.descriptor->payment == SalePayment::Energy
                    ? EnergySaleAmounts(f, c.price, c.rate, c.balance, c.descriptor->dueTest)
                    : MoneySaleAmounts(f, c.price, c.balance);
    c.duePaid = c.descriptor->payment == SalePayment::Energy ? c.amounts.due : c.amounts.total;
}

QString CSaleWriteEngine::DefaultBreakdown(const SaleWriteContext& c)
{
    return SaleBreakdownText(DefaultBreakdownLines(c));
}

SaleBreakdown CSaleWriteEngine::DefaultBreakdownLines(const SaleWriteContext& c)
{
    SaleBreakdown lines;
    lines.bought = c.figures.Bought();
    lines.subsidy = c.figures.subsidy;
    lines.lineLoss = c.figures.lineLoss;
    lines.transLoss = c.figures.transLoss;
    lines.fee = c.amounts.fee;
    lines.prePay = c.amounts.prePay;
    lines.withPrePay = c.descriptor->payment == SalePayment::Energy;
    lines.subCharges = c.subCharges;
    lines.feeCharges = c.feeCharges;
    lines.balance = c.balance;
    lines.due = lines.withPrePay ? c.amounts.due : c.amounts.total;
    return lines;
}

void CSaleWriteEngine::DefaultRow(const SaleWriteContext& c, CWrtRecord& row)
{
    const SaleWriteDescriptor& d = *c.descriptor;
    ISaleWriteHost& host = *c.host;
    const CCliPre& meter = host.SaleMeter();
    const CPreLastWrt& image = host.SaleLastWrt();
    const int units = c.figures.writtenUnits;

    row.SetMeterNo(meter.GetMeterNo());
    row.SetCliPreIndex(meter.GetCliPreIndex());
    row.SetWrtValue(units);
    row.SetLimitValue(d.limitFrom == SaleLimitSource::Meter ? meter.GetLimitValue() : image.GetLimitValue());
    const bool meterThresholds = d.thresholdsFrom == SaleLimitSource::Meter;
    row.SetAlarmShold(meterThresholds ? meter.GetAlarmShold() : image.GetAlarmShold());
    row.SetCloseShold(meterThresholds ? meter.GetCloseShold() : image.GetCloseShold());
    row.SetWrtNum(c.card.count + d.wrtNumStep);
    row.SetTotalMul(c.totalMul);
    switch (d.accumulation) {
    case SaleAccumulation::Advance:
        row.SetAccuBuy(c.card.purchase + units);
        row.SetAccuUse(c.card.use);
        row.SetAccuRemain(c.card.remaining + units);
        break;
    case SaleAccumulation::Restart:
        row.SetAccuBuy(units);
        row.SetAccuUse(0);
        row.SetAccuRemain(units);
        break;
    case SaleAccumulation::IcRewrite:
        row.SetAccuBuy(units - c.card.lastAmount + c.card.purchase);
        row.SetAccuUse(c.card.use);
        row.SetAccuRemain(units + c.card.remaining - c.card.lastAmount);
        break;
    case SaleAccumulation::Keep:
        row.SetAccuBuy(c.card.purchase);
        row.SetAccuUse(c.card.use);
        row.SetAccuRemain(c.card.remaining);
        break;
    }
    row.SetBuyValue(c.figures.Bought());
    row.SetFreeValue(c.figures.subsidy);
    row.SetLWaste(c.figures.lineLoss);
    row.SetTWaste(c.figures.transLoss);
    row.SetPrice(c.price);
    row.SetFee(c.amounts.fee);
    row.SetPrePay(c.amounts.prePay);
    row.SetSubFee(c.subCharges);
    row.SetFixFee(c.feeCharges);
    row.SetOpMode(d.opMode);
    row.SetState(QStringLiteral("待写"));
}

bool CSaleWriteEngine::WriteCard()
{
    const SaleWriteDescriptor& d = *m_context.descriptor;
    if (!d.writesCard)
        return true;
    CWrtRecord*& row = m_context.row;
    QString result;
    int written = 0;
    bool toolFailed = false;
    {
        CCardWriter writer(m_host.CardPort(), m_host.WriteParent());
        written = d.cardWrite(writer, *row, result);
        toolFailed = writer.GetWriteReplyLine() == QStringLiteral("ERROR");
    }
    if (written)
        return true;
    CWrtRecordList& history = m_host.SaleHistory();
    // A refused command leaves no text: nothing reached the card either.
    if (result.isEmpty() || result == QStringLiteral("写卡失败")) {
        history.DeleteRecord(row);
        row = nullptr;
        return false;
    }
    // Any other answer leaves the card's outcome open, or the operator chose
    // not to read the card back: the row is kept under the answer, unpaid, as
    // evidence.
    history.UpdateState(row, result);
    // The tool's own words have been shown; the sale has not been taken.
    if (toolFailed)
        WarningBox(QStringLiteral("写卡机报告写卡失败，本次售电未完成！\n\n请检查写卡机后重新读卡售电。"),
                   m_host.WriteParent());
    return false;
}

void CSaleWriteEngine::ConfirmWrite()
{
    const SaleWriteDescriptor& d = *m_context.descriptor;
    CWrtRecord& row = *m_context.row;
    const CSaleRecordsSnapshot before(m_host, &row, m_context.earlier);
    try {
        CAdoTransaction transaction(*GetMainDatabase());
        if (d.beforeConfirm)
            d.beforeConfirm(m_context);
        row.ConfirmWritten();
        m_host.SaleLastWrt().UpdateFromWrtRecord(row);
        if (d.linkFees)
            m_host.LinkFeesToSale(row);
        transaction.Commit();
    } catch (...) {
        before.Restore();
        throw;
    }
}

void CSaleWriteEngine::TakePayment()
{
    SaleWriteContext& c = m_context;
    SaleAmounts& a = c.amounts;
    switch (c.descriptor->payment) {
    case SalePayment::Energy:
        m_host.TakePaymentByEnergy(c.duePaid, c.change, c.paid, QString());
        // What was paid beyond the due stays on the balance, in the cents
        // taken: paying a due of 39.494995 as the 39.49 shown leaves 0.00.
        if (RoundAmountValue(c.change * 100) == 0)
            a.newBalance = RoundToCents(a.newBalance + c.paid - c.duePaid);
        break;
    case SalePayment::Money:
        c.change = a.newBalance;
        m_host.TakePaymentByMoney(a.total, c.change, c.figures.entered);
        a.newBalance = KeptBalance(a.newBalance, c.change);
        c.paid = c.figures.entered;
        break;
    case SalePayment::Remote: {
        double total = a.total;
        // A remote payment short of the total (the balance fell after the
        // card read) hands nothing back; what it lacks stays owed.
        c.change = std::max(a.newBalance, 0.0);
        m_host.ConfirmRemotePayment(total, c.change, c.figures.entered);
        a.newBalance = KeptBalance(a.newBalance, c.change);
        c.paid = c.figures.entered;
        break;
    }
    case SalePayment::Refund: {
        m_host.TakePaymentByEnergy(c.duePaid, c.change, c.paid, QStringLiteral("返卡退费"));
        // What is paid out is stored as a negative payment; the balance is
        // settled either way.
        const RefundPayment refund = RefundPaymentFor(a.due, c.paid, c.change);
        c.realPay = refund.realPay;
        a.newBalance = refund.thisBalance;
        return;
    }
    case SalePayment::None:
        return;
    }
    c.realPay = c.paid - c.change;
}

void CSaleWriteEngine::StorePayment()
{
    SaleWriteContext& c = m_context;
    CSysPara* para = GetMainSysPara();
    QString payMode;
    if (c.descriptor->payment == SalePayment::Remote)
        payMode = QStringLiteral("现金");
    else if (para->GetPayModeFlag() == kYes)
        payMode = AskBox(QStringLiteral("是现金支付吗？"), m_host.WriteParent()) == IDYES ? QStringLiteral("现金")
                                                                                          : QStringLiteral("支票");
    else
        payMode = para->GetPayMode();
    c.pay.SetPayMode(payMode);

    CCliBalance current;
    while (!StorePaymentOnHeldBalance(current))
        RetakePayment(current);
}

bool CSaleWriteEngine::StorePaymentOnHeldBalance(CCliBalance& current)
{
    SaleWriteContext& c = m_context;
    CWrtRecord& row = *c.row;
    CCliBalance& balance = m_host.SaleBalance();
    // A fresh payment: the context's copy would be left inert.
    const QString payMode = c.pay.GetPayMode();
    c.pay = CClientPay();
    CClientPay& pay = c.pay;
    pay.SetState(CKvPersistance::StateNew);
    pay.SetPayMode(payMode);
    pay.SetWrtIndex(row.GetWrtIndex());
    pay.SetWrtNum(row.GetWrtNum());
    pay.SetTotFee(c.amounts.total);
    pay.SetRealPay(c.realPay);
    pay.SetThisBalance(c.amounts.newBalance);
    pay.SetLastBalance(c.balance);

    // The payment, the balance it leaves and the row's final state are one
    // unit, stored on the balance row as this transaction holds it: a payment
    // of the same household at another counter waits for it, or has been
    // stored before and is never overwritten with a balance read earlier.
    const CSaleRecordsSnapshot before(m_host, &row, c.earlier);
    try {
        CAdoTransaction transaction(*GetMainDatabase());
        // A payment without its household would store no balance at all.
        if (balance.GetClientNo().isEmpty())
            throw CKvException(QStringLiteral("向数据库更新用户余额时发生错误!"));
        if (CCliBalanceList::LoadHeld(balance.GetClientNo(), current) && !current.SameBalanceAs(balance))
            return false; // rolled back: nothing is stored, no key drawn
        pay.Save();
        balance.SetFromClientPay(pay);
        row.ConfirmPaid();
        transaction.Commit();
    } catch (...) {
        before.Restore();
        throw;
    }
    return true;
}

void CSaleWriteEngine::RetakePayment(const CCliBalance& current)
{
    SaleWriteContext& c = m_context;
    const SaleWriteDescriptor& d = *c.descriptor;
    const double wasBalance = m_host.SaleBalance().GetThisBalance();
    m_host.SaleBalance() = current;
    m_host.SaleBalance().SetState(CKvPersistance::StateStored);
    if (d.rebase) {
        if (!d.rebase(c, current))
            throw CKvException(QStringLiteral("付款数据发生错误！"));
    } else {
        c.balance = current.GetThisBalance();
    }
    c.figures.balance = c.balance;
    if (d.amounts)
        d.amounts(c);
    else
        DefaultAmounts(c);
    // Money handed over at the counter for the units on the card that the
    // balance as it is now no longer makes up: the rest is asked for there. A
    // remote payment is what it is; what it lacks stays owed on the balance.
    SaleAmounts& a = c.amounts;
    const double owed = -RoundToCents(a.newBalance);
    if (d.payment == SalePayment::Money && owed > 0) {
        c.figures.entered += owed;
        a.newBalance += owed;
    }
    PromptBox(QStringLiteral("该用户的余额已被其他售电操作改变：读卡时为%1元，现在为%2元。\n\n"
                             "本次应收款已按现在的余额重新计算，请重新收款。")
                  .arg(BalanceText(wasBalance), BalanceText(current.GetThisBalance())),
              m_host.WriteParent());
    TakePayment();
}

void CSaleWriteEngine::ConfirmRemote()
{
    // The sale is committed: a payment that cannot be confirmed is told, the
    // sale kept.
    if (!RemoteConfirm(m_context.remotePayIndex))
        PromptBox(QStringLiteral("无法调用%1的Confirm，远程付款未确认！").arg(RemotePayLibraryName()),
                  m_host.WriteParent(), MB_OK | MB_ICONWARNING);
}

void CSaleWriteEngine::ShowBalance()
{
    m_host.ShowBalance(m_host.SaleBalance().GetThisBalance());
}

void CSaleWriteEngine::PrintReceipt()
{
    m_host.PrintReceipt(*m_context.row, m_context.pay);
}

void CSaleWriteEngine::RefreshHistory()
{
    m_host.FillWriteHistory();
}

QString RemotePayLibraryName()
{
    return QStringLiteral("Raskell.dll");
}

bool RemoteGetPay(const QString& clientNo, int& payIndex, double& amount)
{
    using GetPayFn = int (*)(const char*, int*, float*);
    CDynamicLibrary library(RemotePayLibraryName());
    const auto getPay = library.GetProc<GetPayFn>("GetPay");
    if (!getPay)
        throw CKvException(QStringLiteral("无法调用%1的GetPay！").arg(RemotePayLibraryName()));
    // A code GBK cannot hold would reach the library as another user's code.
    const QByteArray code = GbkEncodeExact(clientNo, QStringLiteral("用户代码"));
    int index = -1;
    float paid = 0;
    if (getPay(code.constData(), &index, &paid) != 0)
        return false;
    payIndex = index;
    amount = paid;
    return true;
}

bool RemoteConfirm(int payIndex)
{
    using ConfirmFn = int (*)(int);
    CDynamicLibrary library(RemotePayLibraryName());
    const auto confirm = library.GetProc<ConfirmFn>("Confirm");
    if (!confirm)
        return false;
    confirm(payIndex);
    return true;
}
