// The write button of the sales dialog and what the write engine asks of it:
// the dispatch, the purchase inputs, the payments and the price shares.

#include "CSaleDlg.h"

#include "CCardClassifier.h"
#include "CKvException.h"
#include "CKvExtList2.h"
#include "CNumEdit.h"
#include "CPayConfirmDlg.h"
#include "CPaymentDlg.h"
#include "CPurchaseInputDlg.h"
#include "CRemotePayDlg.h"
#include "CSysPara.h"
#include "KvDialogRunner.h"
#include "KvGuard.h"
#include "KvSaleDialogSteps.h"
#include "KvMessage.h"
#include "KvUtil.h"
#include "SysGlobals.h"

#include <QComboBox>
#include <QPushButton>
#include <cmath>

namespace {

const QString kYes = QStringLiteral("是");
const QString kInfraredCard = QStringLiteral("红外遥控卡");
const QString kIcCard = QStringLiteral("IC钥匙卡");

QString Money(double value)
{
    return QString::asprintf("%0.2f", value);
}

} // namespace

// ---------------------------------------------------------------- write button

void CSaleDlg::OnWriteCard()
{
    // The return-card refund closes the dialog whatever it did; a failure is
    // told first.
    if (!IsSaleMode()) {
        EnableWrite(false);
        KvGuard([this] { ReturnCardRefund(); }, this);
        accept();
        return;
    }
    const QString cardType = m_cardType->currentText();
    if (cardType != m_typeList->GetItemText(3, 1)) {
        PromptBox(QStringLiteral("所选卡类型与档案不符！"), this);
        return;
    }
    // Disabled until the next card read, whatever the write does.
    EnableWrite(false);
    if (cardType == kInfraredCard)
        WriteInfraredCard();
    else if (cardType == kIcCard)
        WriteIcCard();
}

void CSaleDlg::WriteInfraredCard()
{
    switch (m_nCardState) {
    case 2:
    case 4:
        WriteTopUp();
        break;
    case 3:
        WriteModifyTopUp();
        break;
    case 6:
        WriteReissueTopUp();
        break;
    case 13:
        if (m_LastWrt.GetOpMode() == QStringLiteral("校园退费"))
            WriteContinuedUse();
        else
            WriteTopUp();
        break;
    case 56:
        WriteReissueRestore();
        break;
    default:
        break;
    }
}

void CSaleDlg::WriteTopUp()
{
    switch (CSaleWriteEngine::ChosenPayment()) {
    case SalePayment::Remote:
        WriteTopUpRemote();
        break;
    case SalePayment::Energy:
        WriteTopUpByEnergy();
        break;
    default:
        WriteTopUpByMoney();
        break;
    }
}

void CSaleDlg::WriteTopUpByEnergy()
{
    RunWrite(CSaleWriteEngine::TopUp(SalePayment::Energy));
}

void CSaleDlg::WriteTopUpByMoney()
{
    RunWrite(CSaleWriteEngine::TopUp(SalePayment::Money));
}

void CSaleDlg::WriteTopUpRemote()
{
    RunWrite(CSaleWriteEngine::TopUp(SalePayment::Remote));
}

void CSaleDlg::RunWrite(const SaleWriteDescriptor& descriptor)
{
    if (!m_pMeter || !m_pClient)
        return;
    CSaleWriteEngine engine(*this);
    engine.Run(descriptor);
}

// ---------------------------------------------------------------- what the engine reads

SaleCard CSaleDlg::ReadSaleCard() const
{
    const auto text = [this](int row) { return m_cardList->GetItemText(row, 1); };
    SaleCard card;
    card.meterNo = text(1);
    card.count = CCardClassifier::CellInt(text(2));
    card.lastAmount = CCardClassifier::CellInt(text(3));
    card.use = CCardClassifier::CellFloat(text(4));
    card.purchase = CCardClassifier::CellInt(text(5));
    card.remaining = CCardClassifier::CellFloat(text(6));
    card.archiveLimit = text(15);
    return card;
}

int CSaleDlg::TotalMultiplier() const
{
    const auto value = [this](int row) { return CCardClassifier::CellInt(m_typeList->GetItemText(row, 1)); };
    return value(1) * value(10) * value(11);
}

double CSaleDlg::LineLossPercent() const
{
    return CCardClassifier::CellFloat(m_typeList->GetItemText(8, 1));
}

void CSaleDlg::GetHistoryTotals(int& bought, int& free) const
{
    const int last = m_historyList->GetItemCount() - 1;
    bought = last < 0 ? 0 : CCardClassifier::CellInt(m_historyList->GetItemText(last, 3));
    free = last < 0 ? 0 : CCardClassifier::CellInt(m_historyList->GetItemText(last, 4));
}

void CSaleDlg::ShowBalance(double balance)
{
    SetCell(m_userList, 4, 1, BalanceText(balance));
}

void CSaleDlg::BuildWrtPrices(std::vector<CWrtPrice>& shares)
{
    KvBuildWrtPrices(m_priceList, shares);
}

bool CSaleDlg::RunPurchaseInput(const QString& caption, const QString& unit, double& amount, double& transLoss,
                                int& subsidy)
{
    return KvRunPurchaseInput(this, m_LastWrt, m_pMeter->GetTTWaste(), caption, unit, amount, transLoss, subsidy);
}

int CSaleDlg::PurchaseOutcome(PurchaseResult result, const QString& tooLittle)
{
    return KvPurchaseOutcome(this, result, tooLittle);
}

// ---------------------------------------------------------------- purchase inputs

int CSaleDlg::InputPurchaseByEnergy(PurchaseFigures& figures, int purpose)
{
    double amount = 0;
    double transLoss = 0;
    int subsidy = 0;
    const QString caption = purpose == 1 ? QStringLiteral("输入申购量") : QStringLiteral("输入应退变损");
    if (!RunPurchaseInput(caption, QStringLiteral("度"), amount, transLoss, subsidy))
        return 0;
    const bool lineLoss = GetMainSysPara()->GetLineLossFlag() == kYes;
    return PurchaseOutcome(PurchaseByEnergy(figures, amount, transLoss, subsidy, LineLossPercent(), lineLoss),
                           QString());
}

int CSaleDlg::InputPurchaseByMoney(PurchaseFigures& figures)
{
    double money = 0;
    double transLoss = 0;
    int subsidy = 0;
    if (!RunPurchaseInput(QStringLiteral("输入申购量"), QStringLiteral("元"), money, transLoss, subsidy))
        return 0;
    const bool lineLoss = GetMainSysPara()->GetLineLossFlag() == kYes;
    return PurchaseOutcome(
        PurchaseByMoney(figures, money, transLoss, subsidy, LineLossPercent(), lineLoss, m_WeightedPrice),
        QStringLiteral("金额太少，不足以支付应收费用！"));
}

int CSaleDlg::InputPurchaseRemote(PurchaseFigures& figures)
{
    int payIndex = -1;
    double amount = 0;
    if (!RemoteGetPay(m_pClient->GetClientNo(), payIndex, amount)) {
        ErrorBox(QStringLiteral("没有付款记录！"), this);
        return 0;
    }
    m_nRemotePayIndex = payIndex;
    CRemotePayDlg dialog(this, QStringLiteral("付款情况"));
    dialog.m_strAmount = Money(amount);
    if (RunOperatorDialog(dialog) != IDOK)
        return 0;
    return PurchaseOutcome(PurchaseRemote(figures, CNumEdit::TextToDouble(dialog.m_strAmount), m_WeightedPrice),
                           QStringLiteral("金额太少！"));
}

// ---------------------------------------------------------------- payments

void CSaleDlg::HandChange(double& change)
{
    KvHandChange(this, change);
}

void CSaleDlg::TakePaymentByEnergy(double due, double& change, double& paid, const QString& mode)
{
    KvTakePaymentByEnergy(this, due, change, paid, mode, RefundRule::Exact);
}

void CSaleDlg::TakePaymentByMoney(double due, double& change, double money)
{
    KvTakePaymentByMoney(this, due, change, money);
}



void CSaleDlg::ConfirmRemotePayment(double& due, double& change, double paid)
{
    CPayConfirmDlg dialog(this, QStringLiteral("确认交款额"));
    dialog.m_strDue = Money(std::fabs(due));
    dialog.m_strPaid = Money(paid);
    while (RunOperatorDialog(dialog) != IDOK) {
    }
    HandChange(change);
}
