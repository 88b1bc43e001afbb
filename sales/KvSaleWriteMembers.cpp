#include "KvSaleWriteMembers.h"

#include "CCardWriter.h"
#include "CCliBalance.h"
#include "CCliPre.h"
#include "CPreLastWrt.h"
#include "CWrtRecord.h"
#include "KvMessage.h"
#include "KvWriteMemberFigures.h"

#include <memory>

namespace {

const QString kContinuedUse = QStringLiteral("续用充值");
const QString kCapacity = QStringLiteral("增容充值");

// The meter's last write (the last row of the history) must be there and
// carry the last card image's write number. Both messages have no owner.
bool TakeLastWrite(SaleWriteContext& c)
{
    auto* last = static_cast<CWrtRecord*>(c.host->SaleHistory().GetTail());
    if (!last) {
        PromptBox(QStringLiteral("找不到上次写卡记录！"));
        return false;
    }
    if (last->GetWrtNum() != c.host->SaleLastWrt().GetWrtNum()) {
        PromptBox(QStringLiteral("上次写卡次数校验错误！"));
        return false;
    }
    c.earlier = last;
    return true;
}

// IC writes other than the top-up: op 04 with the row's thresholds.
int WriteIcModify(CCardWriter& writer, const CWrtRecord& row, QString& result)
{
    return writer.WriteIcModifyCard(row.GetMeterNo(), row.GetWrtValue(), row.GetAlarmShold(), row.GetCloseShold(),
                                    result);
}

// The IC writes that differ from their infrared twins only in the card
// command and where the thresholds come from.
SaleWriteDescriptor IcTwin(SaleWriteDescriptor d)
{
    d.thresholdsFrom = SaleLimitSource::Meter;
    d.cardWrite = &WriteIcModify;
    return d;
}

// What the rewrite starts from on the user's balance row: the card's earlier
// sale paid or not.
RewriteBase RewriteBaseOf(const SaleWriteContext& c, const CCliBalance& balance)
{
    return RewriteBaseFor(balance.GetWrtNum(), c.card.count, balance.GetThisBalance(), balance.GetLastBalance(),
                          balance.GetRealPay());
}

// The rewrite's checks: the earlier sale whose energy is still on the card,
// and what the new sale starts from.
bool RewriteChecks(SaleWriteContext& c)
{
    if (!TakeLastWrite(c))
        return false;
    if (c.host->SaleLastWrt().GetOpMode() == QStringLiteral("补卡补值")) {
        PromptBox(QStringLiteral("该卡是未用的补卡补值卡，不能进行改写电量！"));
        return false;
    }
    QObject* parent = c.host->WriteParent();
    if (AskBox(QStringLiteral("对未用充值卡写卡，将使卡上电量作废，继续吗？"), parent) != IDYES)
        return false;
    const RewriteBase base = RewriteBaseOf(c, c.host->SaleBalance());
    switch (base.outcome) {
    case RewriteBase::Unpaid:
        if (AskBox(QStringLiteral("未用充值尚未付款，确认吗？"), parent) != IDYES)
            return false;
        break;
    case RewriteBase::Paid:
        if (AskBox(QStringLiteral("未用充值已经付款，确认吗？"), parent) != IDYES)
            return false;
        break;
    case RewriteBase::Inconsistent:
        PromptBox(QStringLiteral("付款数据发生错误！"), parent);
        return false;
    }
    c.balance = base.baseBalance;
    c.received = base.received;
    return true;
}

} // namespace

SaleWriteDescriptor ModifyTopUpWrite(SalePayment payment)
{
    SaleWriteDescriptor d = CSaleWriteEngine::TopUp(payment);
    d.opMode = QStringLiteral("修改充值");
    d.wrtNumStep = 0; // the new sale replaces the earlier one under its number
    d.checks = &RewriteChecks;
    // The last line nets what was received for the earlier sale; the payment
    // still asks for the new sale's full amount.
    d.breakdown = [](const SaleWriteContext& c) {
        SaleBreakdown lines = CSaleWriteEngine::DefaultBreakdownLines(c);
        lines.due -= c.received;
        lines.refundLine = true;
        return SaleBreakdownText(lines);
    };
    d.declined = [](const SaleWriteContext& c) {
        if (RewriteNeedsZeroReminder(c.received))
            PromptBox(QStringLiteral("未用充值未收费，请充零值后再交给用户！"), c.host->WriteParent());
    };
    // The void and the new write's confirmation are one unit.
    d.beforeConfirm = [](SaleWriteContext& c) { c.earlier->SetVoid(); };
    // The balance row changed before the payment: the base as the checks
    // take it, from the row as it is now.
    d.rebase = [](SaleWriteContext& c, const CCliBalance& balance) {
        const RewriteBase base = RewriteBaseOf(c, balance);
        if (base.outcome == RewriteBase::Inconsistent)
            return false;
        c.balance = base.baseBalance;
        c.received = base.received;
        return true;
    };
    return d;
}

SaleWriteDescriptor IcModifyTopUpWrite(SalePayment payment)
{
    SaleWriteDescriptor d = IcTwin(ModifyTopUpWrite(payment));
    d.accumulation = SaleAccumulation::IcRewrite;
    return d;
}

SaleWriteDescriptor ReissueTopUpWrite(SalePayment payment)
{
    SaleWriteDescriptor d = CSaleWriteEngine::TopUp(payment);
    d.opMode = QStringLiteral("补卡充值");
    d.wrtNumStep = 0;
    return d;
}

SaleWriteDescriptor IcReissueTopUpWrite(SalePayment payment)
{
    SaleWriteDescriptor d = IcTwin(ReissueTopUpWrite(payment));
    d.wrtNumStep = 1;
    return d;
}

SaleWriteDescriptor ReissueRestoreWrite()
{
    SaleWriteDescriptor d;
    d.opMode = QStringLiteral("补卡补值");
    d.payment = SalePayment::None;
    d.linkFees = false;
    d.receipt = false;
    d.checks = &TakeLastWrite;
    // A copy of the last write under its own write number, with new price
    // shares of the same mix.
    d.buildRow = [](SaleWriteContext& c, CWrtRecord& row) {
        const CWrtRecord& last = *c.earlier;
        row.SetMeterNo(last.GetMeterNo());
        row.SetCliPreIndex(last.GetCliPreIndex());
        row.SetWrtValue(last.GetWrtValue());
        row.SetLimitValue(last.GetLimitValue());
        row.SetAlarmShold(last.GetAlarmShold());
        row.SetCloseShold(last.GetCloseShold());
        row.SetWrtNum(last.GetWrtNum());
        row.SetTotalMul(last.GetTotalMul());
        row.SetBuyValue(last.GetBuyValue());
        row.SetFreeValue(last.GetFreeValue());
        row.SetAccuBuy(last.GetAccuBuy());
        row.SetAccuUse(last.GetAccuUse());
        row.SetAccuRemain(last.GetAccuRemain());
        row.SetLWaste(last.GetLWaste());
        row.SetTWaste(last.GetTWaste());
        row.SetPrice(last.GetPrice());
        row.SetFee(last.GetFee());
        row.SetPrePay(last.GetPrePay());
        row.SetSubFee(last.GetSubFee());
        row.SetFixFee(last.GetFixFee());
        row.SetOpMode(c.descriptor->opMode);
        row.SetState(QStringLiteral("待写"));
        row.SetPriceList(&last.GetPriceList());
    };
    d.cardWrite = &CSaleWriteEngine::WriteRecharge;
    return d;
}

SaleWriteDescriptor IcReissueRestoreWrite()
{
    SaleWriteDescriptor d = ReissueRestoreWrite();
    d.cardWrite = &WriteIcModify; // the copied thresholds, limit 800
    return d;
}

SaleWriteDescriptor ContinuedUseWrite(SalePayment payment)
{
    SaleWriteDescriptor d = CSaleWriteEngine::TopUp(payment);
    d.checks = &TakeLastWrite;
    // The last write, not the card image the dispatch looked at, decides.
    d.fillRow = [](SaleWriteContext& c, CWrtRecord& row) {
        if (c.earlier->GetOpMode() != QStringLiteral("校园退费"))
            return;
        const int units = row.GetWrtValue();
        row.SetOpMode(kContinuedUse);
        row.SetAccuBuy(units);
        row.SetAccuUse(0);
        row.SetAccuRemain(units);
    };
    d.cardWrite = [](CCardWriter& writer, const CWrtRecord& row, QString& result) {
        if (row.GetOpMode() == kContinuedUse)
            return writer.WriteContinueCard(row.GetMeterNo(), row.GetWrtValue(), result);
        return CSaleWriteEngine::WriteRecharge(writer, row, result);
    };
    return d;
}

SaleWriteDescriptor IcTopUpWrite(SalePayment payment)
{
    SaleWriteDescriptor d = CSaleWriteEngine::TopUp(payment);
    d.dueTest = SaleDueTest::NonNegative;
    // The limit test on the card list's 档案限电值 and the image's limit text.
    d.fillRow = [](SaleWriteContext& c, CWrtRecord& row) {
        const CCliPre& meter = c.host->SaleMeter();
        if (IsCapacityIncrease(c.card.archiveLimit, c.host->SaleLastWrt().GetLimitValue())) {
            row.SetOpMode(kCapacity);
            row.SetLimitValue(meter.GetLimitValue());
        } else {
            row.SetAlarmShold(meter.GetAlarmShold());
            row.SetCloseShold(meter.GetCloseShold());
        }
    };
    // The row's operation word carries the same test to the card.
    d.cardWrite = [](CCardWriter& writer, const CWrtRecord& row, QString& result) {
        if (row.GetOpMode() == kCapacity)
            return writer.WriteIcCapacityCard(row.GetMeterNo(), row.GetWrtValue(), LimitTextValue(row.GetLimitValue()),
                                              result);
        return writer.WriteIcRechargeCard(row.GetMeterNo(), row.GetWrtValue(), row.GetAlarmShold(), row.GetCloseShold(),
                                          result);
    };
    return d;
}

SaleWriteDescriptor ReturnCardRefundWrite(const QString& refundMode, const QString& refundMeterNo, int cardState)
{
    // What the purchase step works out and the breakdown shows.
    struct Refund
    {
        RefundInput in;
        RefundFigures figures;
    };
    const auto refund = std::make_shared<Refund>();

    SaleWriteDescriptor d;
    d.opMode = refundMode;
    d.payment = SalePayment::Refund;
    // No card command: the row counts as written at once.
    d.writesCard = false;
    d.wrtNumStep = RefundWrtNumStep(cardState);
    d.accumulation = SaleAccumulation::Keep;
    d.checks = [refundMeterNo](SaleWriteContext& c) {
        if (c.card.meterNo != refundMeterNo) {
            PromptBox(QStringLiteral("最近读过的卡号与用户卡号不符！"), c.host->WriteParent());
            return false;
        }
        return TakeLastWrite(c);
    };
    d.purchase = [refund](SaleWriteContext& c) {
        ISaleWriteHost& host = *c.host;
        PurchaseFigures& f = CSaleWriteEngine::StartFigures(c);
        if (!host.InputPurchaseByEnergy(f, 0))
            return false;

        RefundInput& in = refund->in;
        in.totalMul = c.totalMul;
        in.cardRemaining = c.card.remaining;
        host.GetHistoryTotals(in.boughtTotal, in.freeTotal);
        in.lineLossPercent = host.LineLossPercent();
        in.transLoss = f.transLoss; // only the transformer loss of the input counts
        in.lastPrice = c.earlier->GetPrice();
        in.subCharges = c.subCharges;
        in.feeCharges = c.feeCharges;
        c.descriptor->amounts(c);
        return true;
    };
    // The refund on the base balance: what is paid out or asked for nets it.
    d.amounts = [refund](SaleWriteContext& c) {
        PurchaseFigures& f = c.figures;
        RefundInput& in = refund->in;
        in.balance = c.balance;
        const RefundFigures& r = refund->figures = ComputeRefund(in);

        // The row's figures, negative where they are bought back.
        f.writtenUnits = -r.units;
        f.totalEnergy = -r.refundable;
        f.subsidy = 0;
        f.lineLoss = -r.lineLoss;
        c.price = in.lastPrice;
        c.amounts = SaleAmounts();
        c.amounts.fee = -r.fee;
        c.amounts.total = c.amounts.due = r.due;
        c.amounts.newBalance = 0;
        c.duePaid = r.due;
    };
    d.breakdown = [refund](const SaleWriteContext&) { return RefundBreakdownText(refund->figures, refund->in); };
    d.buildRow = [](SaleWriteContext& c, CWrtRecord& row) {
        CSaleWriteEngine::DefaultRow(c, row);
        row.SetPriceList(&c.earlier->GetPriceList());
    };
    return d;
}
