// The replacement card with a purchase (写补卡 with bCompWrt "是"): a new paid
// top-up under the next write number, or the last purchase written again,
// both by the sale write sequence with the replacement top-up command.

#include "CCardWriteDlg.h"

#include "CCardWriter.h"
#include "CCliPre.h"
#include "CClient.h"
#include "CKvException.h"
#include "CReissueCaseDlg.h"
#include "CSysPara.h"
#include "KvDialogRunner.h"
#include "KvMessage.h"
#include "KvSaleWriteMembers.h"
#include "SysGlobals.h"

namespace {

const QString kTopUp = QStringLiteral("补卡充值2");
const QString kResupply = QStringLiteral("补卡补值2");

// The replacement top-up command carries the write number, so that the meter
// takes the new card in place of the lost one.
int WriteReplacementTopUpCard(CCardWriter& writer, const CWrtRecord& row, QString& result)
{
    return writer.WriteReplacementRecharge(row.GetMeterNo(), row.GetWrtNum(), row.GetWrtValue(), result);
}

} // namespace

void CCardWriteDlg::WriteReplacementWithTopUp()
{
    CReissueCaseDlg chooser(this);
    if (RunOperatorDialog(chooser) != IDOK)
        return;
    m_WrtRecords.LoadMeterHistory(m_pClient->GetClientNo(), m_pMeter->GetMeterNo());
    switch (chooser.m_nCase) {
    case CReissueCaseDlg::NotSupplied:
        ResupplyLastPurchase(1);
        break;
    case CReissueCaseDlg::Supplied:
        ReplacementTopUp(1);
        break;
    case CReissueCaseDlg::NoCommunication: {
        // The last replacement decides what is missing on the meter.
        if (!CheckedLastWrite())
            return;
        const QString lastMode = m_LastWrt.GetOpMode();
        if (lastMode == kResupply)
            ReplacementTopUp(0);
        else if (lastMode == kTopUp)
            ResupplyLastPurchase(0);
        else
            PromptBox(QStringLiteral("上次的操作类型与您选择的补卡背景不符！"), this);
        break;
    }
    default:
        break;
    }
}

CWrtRecord* CCardWriteDlg::CheckedLastWrite()
{
    auto* last = static_cast<CWrtRecord*>(m_WrtRecords.GetTail());
    if (!last) {
        PromptBox(QStringLiteral("找不到上次写卡记录！"), this);
        return nullptr;
    }
    if (last->GetWrtNum() != m_LastWrt.GetWrtNum()) {
        PromptBox(QStringLiteral("上次写卡次数校验错误！"), this);
        return nullptr;
    }
    return last;
}

void CCardWriteDlg::ReplacementTopUp(int)
{
    if (GetMainSysPara()->GetBuyUnit() == QStringLiteral("度"))
        ReplacementTopUpByEnergy();
    else
        ReplacementTopUpByMoney();
}

void CCardWriteDlg::ReplacementTopUpByEnergy()
{
    RunReplacementTopUp(SalePayment::Energy);
}

void CCardWriteDlg::ReplacementTopUpByMoney()
{
    RunReplacementTopUp(SalePayment::Money);
}

void CCardWriteDlg::RunReplacementTopUp(SalePayment payment)
{
    SaleWriteDescriptor d;
    d.opMode = kTopUp;
    d.payment = payment;
    d.linkFees = false;
    // The last write stands for the lost card: the new one goes on from its
    // cumulative figures under the next write number.
    d.checks = [this](SaleWriteContext& c) {
        CWrtRecord* last = CheckedLastWrite();
        if (!last)
            return false;
        c.earlier = last;
        c.card.count = m_LastWrt.GetWrtNum();
        c.card.purchase = last->GetAccuBuy();
        c.card.use = last->GetAccuUse();
        c.card.remaining = last->GetAccuRemain();
        return true;
    };
    if (payment == SalePayment::Money)
        d.input = [this](SaleWriteContext&, PurchaseFigures& figures) { return InputReplacementPurchase(figures); };
    d.amounts = &CCardWriteDlg::OpeningAmounts;
    d.breakdown = [](const SaleWriteContext& c) {
        return OpeningBreakdown(c, QString::asprintf("补卡购电费为：%d 度\t\t\t\n\n", c.figures.Bought()));
    };
    d.cardWrite = &WriteReplacementTopUpCard;

    CSaleWriteEngine engine(*this);
    engine.Run(d);
}

void CCardWriteDlg::ResupplyLastPurchase(int flag)
{
    CWrtRecord* last = CheckedLastWrite();
    if (!last)
        return;
    CWrtRecord* source = last;
    CWrtRecord* failed = nullptr;
    if (flag == 0) {
        // The 补卡充值2 never reached the meter: the write before it is
        // what the meter still expects.
        if (last->GetOpMode() != kTopUp) {
            PromptBox(QStringLiteral("对不起，上次操作不是直接补卡充值"), this);
            return;
        }
        source = static_cast<CWrtRecord*>(m_WrtRecords.GetPrev(last));
        if (!source)
            throw CKvException(QStringLiteral("以前的写卡记录丢失！"));
        if (source->GetWrtNum() + 1 != m_LastWrt.GetWrtNum()) {
            PromptBox(QStringLiteral("对不起，直接补卡充值前的写卡记录丢失！"), this);
            return;
        }
        failed = last;
    }

    // A copy of the source under its own write number; nothing is paid.
    SaleWriteDescriptor d = ReissueRestoreWrite();
    d.opMode = kResupply;
    d.checks = [source](SaleWriteContext& c) {
        c.earlier = source;
        return true;
    };
    d.buildRow = [copy = d.buildRow](SaleWriteContext& c, CWrtRecord& row) {
        copy(c, row);
        // The source's sale collected its fees; the copy collects nothing.
        row.SetSubFee(0);
        row.SetFixFee(0);
    };
    d.cardWrite = &WriteReplacementTopUpCard;
    if (failed)
        d.beforeConfirm = [failed](SaleWriteContext&) { failed->SetVoid(); };

    CSaleWriteEngine engine(*this);
    engine.Run(d);
    if (failed && failed->GetStateWord() == QStringLiteral("作废"))
        PromptBox(QStringLiteral("请将上次补卡充值所收款项返还用户！"), this);
}
