// The account opening of the card dialog: the first card of a meter with a
// first purchase, run by the sale write sequence with the opening's own
// steps (reading, history shift, carrier, open card).

#include "CCardWriteDlg.h"

#include "CAdoConnection.h"
#include "CCardClassifier.h"
#include "CCardWriter.h"
#include "CCarrierLink.h"
#include "CCliPre.h"
#include "CClient.h"
#include "CHandRead.h"
#include "CHandReadBase.h"
#include "CKvExtList2.h"
#include "CMeterUsedDlg.h"
#include "CNumEdit.h"
#include "COperator.h"
#include "CReceiptDocument.h"
#include "CurrentOperator.h"
#include "KvSaleReceipt.h"
#include "CSysPara.h"
#include "CWrtPrice.h"
#include "KvDialogRunner.h"
#include "KvMessage.h"
#include "KvSaleDialogSteps.h"
#include "KvSql.h"
#include "KvUtil.h"
#include "SysGlobals.h"

#include <memory>

namespace {

const QString kYes = QStringLiteral("是");

// Rows of the lists the purchase reads.
constexpr int kTypeInnerMul = 3;
constexpr int kArchiveLineLoss = 1;
constexpr int kArchiveCt = 3;
constexpr int kArchivePt = 4;

// The receipt value a sale fills with the total of its manual fees (代收费).
constexpr int kReceiptManualFees = 26;

// The reading step of an infrared opening in kWh.
struct OpeningReading
{
    std::unique_ptr<CHandReadBaseList> bases;
    CHandReadBase* base = nullptr;
    bool hasReading = false; // the meter had a previous reading
    double previous = 0;
    double used = 0;
};

} // namespace

SaleCard CCardWriteDlg::ReadSaleCard() const
{
    SaleCard card;
    card.meterNo = m_pMeter->GetMeterNo();
    return card;
}

int CCardWriteDlg::TotalMultiplier() const
{
    const auto cell = [](const CKvExtList2* list, int row) { return CCardClassifier::CellInt(list->GetItemText(row, 1)); };
    return cell(m_typeList, kTypeInnerMul) * cell(m_archiveList, kArchiveCt) * cell(m_archiveList, kArchivePt);
}

double CCardWriteDlg::LineLossPercent() const
{
    return CNumEdit::TextToDouble(m_archiveList->GetItemText(kArchiveLineLoss, 1));
}

void CCardWriteDlg::GetHistoryTotals(int& bought, int& free) const
{
    bought = 0;
    free = 0;
}

void CCardWriteDlg::SumFeeLists(double& subCharges, double& feeCharges) const
{
    subCharges = 0;
    feeCharges = 0;
}

int CCardWriteDlg::InputPurchaseByEnergy(PurchaseFigures& figures, int)
{
    double amount = 0;
    double transLoss = 0;
    int subsidy = 0;
    if (!KvRunPurchaseInput(this, m_LastWrt, m_pMeter->GetTTWaste(), QStringLiteral("输入申购量"),
                            QStringLiteral("度"), amount, transLoss, subsidy))
        return 0;
    const bool lineLoss = GetMainSysPara()->GetLineLossFlag() == kYes;
    return KvPurchaseOutcome(this, PurchaseByEnergy(figures, amount, transLoss, subsidy, LineLossPercent(), lineLoss),
                             QString());
}

int CCardWriteDlg::InputPurchaseByMoney(PurchaseFigures& figures)
{
    double money = 0;
    double transLoss = 0;
    int subsidy = 0;
    if (!KvRunPurchaseInput(this, m_LastWrt, m_pMeter->GetTTWaste(), QStringLiteral("输入申购量"),
                            QStringLiteral("元"), money, transLoss, subsidy))
        return 0;
    const bool lineLoss = GetMainSysPara()->GetLineLossFlag() == kYes;
    return KvPurchaseOutcome(
        this, PurchaseByMoney(figures, money, transLoss, subsidy, LineLossPercent(), lineLoss, m_WeightedPrice),
        QStringLiteral("金额太少，不足以支付变损！"), QStringLiteral("金额太少，无法满足补助量！"));
}

int CCardWriteDlg::InputReplacementPurchase(PurchaseFigures& figures)
{
    const QString unit = GetMainSysPara()->GetBuyUnit();
    double entered = 0;
    double transLoss = 0;
    int subsidy = 0;
    if (!KvRunPurchaseInput(this, m_LastWrt, m_pMeter->GetTTWaste(), QStringLiteral("输入申购量"), unit, entered,
                            transLoss, subsidy))
        return 0;
    const bool lineLoss = GetMainSysPara()->GetLineLossFlag() == kYes;
    const PurchaseResult result =
        unit == QStringLiteral("元")
            ? PurchaseReplacementByMoney(figures, entered, transLoss, subsidy, LineLossPercent(), lineLoss,
                                         m_WeightedPrice)
            : PurchaseReplacementByEnergy(figures, entered, transLoss, subsidy, LineLossPercent(), lineLoss);
    return KvPurchaseOutcome(this, result, QStringLiteral("金额太少，不足以支付变损！"));
}

int CCardWriteDlg::InputPurchaseRemote(PurchaseFigures&)
{
    return 0;
}

void CCardWriteDlg::BuildWrtPrices(std::vector<CWrtPrice>& shares)
{
    KvBuildWrtPrices(m_priceList, shares);
}

void CCardWriteDlg::TakePaymentByEnergy(double due, double& change, double& paid, const QString& mode)
{
    // A refund here may be paid back in part; the rest is change.
    KvTakePaymentByEnergy(this, due, change, paid, mode, RefundRule::AtMost);
}

void CCardWriteDlg::TakePaymentByMoney(double due, double& change, double money)
{
    KvTakePaymentByMoney(this, due, change, money);
}

void CCardWriteDlg::ConfirmRemotePayment(double&, double&, double) {}

void CCardWriteDlg::PrintReceipt(CWrtRecord& sale, CClientPay& pay)
{
    KvPrintReceipt(this, pay, m_Balance, *static_cast<CReceiptDocument*>(m_pPrintJob), [&] { FillReceipt(sale); });
}

void CCardWriteDlg::FillReceipt(const CWrtRecord& sale)
{
    const COperator* op = GetCurrentOperator();
    SaleReceiptHeader header;
    header.client = m_pClient;
    header.meter = m_pMeter;
    header.ct = m_archiveList->GetItemText(kArchiveCt, 1);
    header.pt = m_archiveList->GetItemText(kArchivePt, 1);
    header.innerMul = m_typeList->GetItemText(kTypeInnerMul, 1);
    header.operatorName = op ? op->GetOperatorName() : QString();
    header.sale = &sale;
    header.balance = &m_Balance;
    header.printTime = GetServerTime();
    header.priceName = m_priceList->GetItemCount() > 0 ? m_priceList->GetItemText(0, 0) : QString();
    QStringList common = SaleReceiptCommon(header);
    // No manual fees are collected with a card of this dialog: 代收费 stays empty.
    common[kReceiptManualFees] = QString();
    auto* receipt = static_cast<CReceiptDocument*>(m_pPrintJob);
    FillSaleReceipt(receipt->Values(), common, KvReceiptPriceRows(m_priceList), {}, {});
}

// ---------------------------------------------------------------- opening

bool CCardWriteDlg::WriteOpenAccount(const QString&)
{
    if (m_CardType == QStringLiteral("IC钥匙卡"))
        OpenIcAccount();
    else
        OpenAccount();
    return true;
}

void CCardWriteDlg::OpenAccount()
{
    RunOpening(false, GetMainSysPara()->GetBuyUnit() == QStringLiteral("度"));
}

void CCardWriteDlg::OpenIcAccount()
{
    RunOpening(true, GetMainSysPara()->GetBuyUnit() == QStringLiteral("度"));
}

void CCardWriteDlg::OpeningAmounts(SaleWriteContext& c)
{
    CSaleWriteEngine::DefaultAmounts(c);
    if (c.descriptor->payment == SalePayment::Energy && c.rate != 0) {
        // The withholding is paid at the counter and credited; the old
        // balance pays nothing.
        SaleAmounts& a = c.amounts;
        a.total = a.due = a.fee + a.prePay;
        a.newBalance = c.balance + a.prePay;
        c.duePaid = a.due;
    }
}

QString CCardWriteDlg::OpeningBreakdown(const SaleWriteContext& c, const QString& firstLine)
{
    const bool energy = c.descriptor->payment == SalePayment::Energy;
    QString text = firstLine;
    text += QString::asprintf("补助电量为：%d 度\n\n", c.figures.subsidy);
    text += QString::asprintf("根据线损计算方法，另计线损：%0.1f度\n\n", c.figures.lineLoss);
    text += QString::asprintf("根据变压器使用情况，另计变损：%0.1f度\n\n", c.figures.transLoss);
    text += QString::asprintf("应缴电费：%0.2f 元\n\n", c.amounts.fee);
    if (energy)
        text += QString::asprintf("应缴预提：%0.2f 元\n\n", c.amounts.prePay);
    text += QStringLiteral("用户余额：%1元\n\n").arg(BalanceText(c.balance));
    text += QString::asprintf("本次应收款为：%.2f元\n\n继续吗？", energy ? c.amounts.due : c.amounts.fee);
    return text;
}

void CCardWriteDlg::RunOpening(bool ic, bool byEnergy)
{
    const bool withReading = !ic && byEnergy;
    OpeningReading reading;
    const QString meterNo = m_pMeter->GetMeterNo();
    const QString clientNo = m_pClient->GetClientNo();
    // Every earlier write of the meter and the user moves below the new one.
    const int shift = m_LastWrt.GetWrtNum() + 100;

    SaleWriteDescriptor d;
    d.opMode = QStringLiteral("开户");
    d.payment = byEnergy ? SalePayment::Energy : SalePayment::Money;
    d.limitFrom = SaleLimitSource::Meter;
    d.thresholdsFrom = SaleLimitSource::Meter;
    d.accumulation = SaleAccumulation::Restart;
    d.linkFees = false;

    if (withReading) {
        d.checks = [&](SaleWriteContext&) {
            reading.bases = std::make_unique<CHandReadBaseList>();
            reading.base = reading.bases->LoadByMeterNo(meterNo);
            if (!reading.base) {
                PromptBox(QStringLiteral("该表没有抄表档案！"), this);
                return false;
            }
            reading.previous = reading.base->GetThisRead();
            if (RoundAmount(reading.previous) == -1) {
                reading.previous = 0;
                reading.used = 0;
                return true;
            }
            CMeterUsedDlg dialog(this, QStringLiteral("请输入表上已用电量"));
            if (RunOperatorDialog(dialog) != IDOK)
                return false;
            reading.used = CNumEdit::TextToDouble(dialog.m_strUsed);
            if (RoundAmount(reading.used) < RoundAmount(reading.previous)) {
                PromptBox(QStringLiteral("表上已用量不应小于上次表上已用量！"), this);
                return false;
            }
            reading.hasReading = true;
            return true;
        };
    }
    d.amounts = &CCardWriteDlg::OpeningAmounts;
    d.breakdown = [](const SaleWriteContext& c) {
        return OpeningBreakdown(c, QString::asprintf("开户购电量为：%d 度\t\t\t\n\n", c.figures.Bought()));
    };
    d.fillRow = [](SaleWriteContext&, CWrtRecord& row) { row.SetWrtNum(0); };
    if (withReading) {
        // The carrier hears of the reopened account before anything is stored:
        // a refusal leaves no trace.
        d.agreed = [&](SaleWriteContext&) {
            if (!reading.hasReading)
                return true;
            CCarrierLink carrier;
            return carrier.ReOpenAccount(meterNo, reading.used);
        };
    }
    d.withRow = [&](SaleWriteContext&) {
        CAdoConnection& db = *GetMainDatabase();
        const QString failed = QStringLiteral("开户失败！");
        db.Execute(KvFormatSql("update WrtRecord set WrtNum = WrtNum - %d where MeterNo = '%s'", shift, meterNo),
                   failed);
        db.Execute(KvFormatSql("update CliSub set WrtNum = 0 where MeterNo = '%s' and \t\t\tEndDate = "
                               "CDate('2050-12-31')",
                               meterNo),
                   failed);
        db.Execute(KvFormatSql("update SubRead set WrtNum = WrtNum - %d where \t\t\tCliSubIndex in (select "
                               "CliSubIndex from CliSub where MeterNo = '%s')",
                               shift, meterNo),
                   failed);
        db.Execute(KvFormatSql("update FixFee set WrtNum = WrtNum - %d where \t\t\tCliFixIndex in (select "
                               "CliFixIndex from CliFix where ClientNo = '%s')",
                               shift, clientNo),
                   failed);
        db.Execute(KvFormatSql("update ManItem set WrtNum = WrtNum - %d where \t\t\tClientNo = '%s'", shift, clientNo),
                   failed);
        db.Execute(
            KvFormatSql("update OtherItem set WrtNum = WrtNum - %d where \t\t\tClientNo = '%s'", shift, clientNo),
            failed);
    };
    if (ic) {
        const int limit = CCardClassifier::CellInt(m_pMeter->GetLimitValue());
        d.cardWrite = [limit](CCardWriter& writer, const CWrtRecord& row, QString& result) {
            return writer.WriteIcOpenCard(row.GetMeterNo(), row.GetWrtValue(), limit, row.GetAlarmShold(),
                                          row.GetCloseShold(), result);
        };
    } else {
        d.cardWrite = [](CCardWriter& writer, const CWrtRecord& row, QString& result) {
            return writer.WriteOpenCard(row.GetMeterNo(), row.GetWrtValue(), result);
        };
    }
    if (withReading) {
        d.beforeConfirm = [&](SaleWriteContext& c) {
            CHandReadBase& base = *reading.base;
            const QDateTime now = GetServerTime();
            if (reading.hasReading) {
                CHandRead archived;
                archived.SetMeterNo(meterNo);
                archived.SetCliPreIndex(m_pMeter->GetCliPreIndex());
                archived.SetMul(c.totalMul);
                archived.SetLastRead(reading.previous);
                archived.SetThisRead(reading.used);
                archived.SetRealUse((reading.used - reading.previous) * c.totalMul);
                archived.SetLastReadTime(base.GetThisReadTime());
                archived.SetThisReadTime(now);
                archived.SetState(CKvPersistance::StateNew);
                archived.Save();
            }
            base.SetLastReadTime(base.GetThisReadTime());
            base.SetThisReadTime(now);
            base.SetLastRead(0);
            base.SetThisRead(0);
            base.SetState(CKvPersistance::StateChanged);
            base.Save();
        };
    }

    CSaleWriteEngine engine(*this);
    engine.Run(d);
}
