#include "KvSaleDialogSteps.h"

#include "CAdoConnection.h"
#include "CCardClassifier.h"
#include "CCliBalance.h"
#include "CClientPay.h"
#include "CInvoiceNoDlg.h"
#include "CKvException.h"
#include "CKvExtList2.h"
#include "CNumEdit.h"
#include "CPaymentDlg.h"
#include "CPreLastWrt.h"
#include "CPriceVer.h"
#include "CPrintPreviewDlg.h"
#include "CPurchaseInputDlg.h"
#include "CReceiptDocument.h"
#include "CSysPara.h"
#include "CWrtPrice.h"
#include "KvDialogRunner.h"
#include "KvMessage.h"
#include "KvPrinterPaper.h"
#include "KvReceiptLayout.h"
#include "KvSaleReceipt.h"
#include "KvUtil.h"
#include "SysGlobals.h"

#include <cmath>
#include <cstdlib>

namespace {

const QString kYes = QStringLiteral("是");

QString Money(double value)
{
    return QString::asprintf("%0.2f", value);
}

} // namespace

void KvBuildWrtPrices(const CKvExtList2* list, std::vector<CWrtPrice>& shares)
{
    const int count = list->GetItemCount();
    if (count < 1)
        throw CKvException(QStringLiteral("没有电价！"));
    shares.assign(count, CWrtPrice());
    for (int i = 0; i < count; ++i) {
        const auto* price = static_cast<const CPriceVer*>(list->GetRowObject(i));
        shares[i].SetPriceIndex(price ? price->GetPriceIndex() : -1);
        shares[i].SetPricePercent(CCardClassifier::CellInt(list->GetItemText(i, 3)));
    }
}

bool KvRunPurchaseInput(QWidget* parent, const CPreLastWrt& image, double monthly, const QString& caption,
                        const QString& unit, double& amount, double& transLoss, int& subsidy)
{
    // Whole days since the meter's last card write, both at midnight.
    const QDateTime last(image.GetWrtTime().date(), QTime(0, 0));
    const int days = std::abs(DaysBetween(last, GetServerDate()));
    const bool charged = GetMainSysPara()->GetTransLossFlag() == kYes;

    CPurchaseInputDlg dialog(parent, caption);
    dialog.m_strTransLoss = QString::asprintf("%0.1f", DefaultTransLoss(days, monthly, charged));
    dialog.m_strPurchase = QStringLiteral("0");
    dialog.m_strSubsidy = QStringLiteral("0");
    dialog.m_strUnit = unit;
    dialog.m_strFormula = QString::asprintf("%0.1f / 30", monthly);
    if (RunOperatorDialog(dialog) != IDOK)
        return false;
    amount = CNumEdit::TextToDouble(dialog.m_strPurchase);
    transLoss = CNumEdit::TextToDouble(dialog.m_strTransLoss);
    subsidy = CCardClassifier::CellInt(dialog.m_strSubsidy);
    return true;
}

int KvPurchaseOutcome(QWidget* parent, PurchaseResult result, const QString& tooLittle, const QString& subsidyShort)
{
    QString refusal;
    switch (result) {
    case PurchaseResult::Ok:
        return 1;
    case PurchaseResult::SubsidyTooLarge:
        refusal = QStringLiteral("申购量太小，无法满足补助量！");
        break;
    case PurchaseResult::TooLittle:
        refusal = tooLittle;
        break;
    case PurchaseResult::SubsidyShort:
        refusal = subsidyShort.isEmpty() ? tooLittle : subsidyShort;
        break;
    case PurchaseResult::OutOfRange:
        refusal = QStringLiteral("写卡量超出有效值范围！");
        break;
    }
    PromptBox(refusal, parent);
    return 0;
}

void KvHandChange(QWidget* parent, double& change)
{
    if (RoundAmount(change * 100) == 0)
        return;
    if (GetMainSysPara()->GetChangeFlag() == kYes)
        change = 0;
    else
        PromptBox(QString::asprintf("应找零: %0.2f元", change), parent);
}

namespace {

// Dialog 173 until it is confirmed: the operator cannot leave a payment once
// the card is written.
void RunPaymentDialog(CPaymentDlg& dialog)
{
    while (RunOperatorDialog(dialog) != IDOK) {
    }
}

QString PaymentCaption(double due)
{
    return RoundAmount(due * 100) < 0 ? QStringLiteral("输入退款额") : QStringLiteral("输入交款额");
}

void SetPaymentLabels(CPaymentDlg& dialog, double due)
{
    const bool refund = RoundAmount(due * 100) < 0;
    dialog.m_strLabel1 = refund ? QStringLiteral("应退款：") : QStringLiteral("应付款：");
    dialog.m_strLabel2 = refund ? QStringLiteral("退款额：") : QStringLiteral("交款额：");
}

} // namespace

void KvTakePaymentByEnergy(QWidget* parent, double due, double& change, double& paid, const QString& mode,
                           RefundRule rule)
{
    for (;;) {
        CPaymentDlg dialog(parent, PaymentCaption(due));
        SetPaymentLabels(dialog, due);
        dialog.m_strDue = Money(std::fabs(due));
        dialog.m_strPaid = dialog.m_strDue;
        dialog.m_strMode = mode;
        RunPaymentDialog(dialog);
        paid = std::fabs(CNumEdit::TextToDouble(dialog.m_strPaid));
        const PaymentCheck check = CheckPayment(due, paid, rule);
        if (!check.refusal.isEmpty()) {
            PromptBox(check.refusal, parent);
            continue;
        }
        change = check.change;
        KvHandChange(parent, change);
        return;
    }
}

void KvTakePaymentByMoney(QWidget* parent, double due, double& change, double money)
{
    CPaymentDlg dialog(parent, PaymentCaption(due));
    SetPaymentLabels(dialog, due);
    dialog.m_strDue = Money(std::fabs(due));
    dialog.m_strPaid = Money(money);
    RunPaymentDialog(dialog);
    KvHandChange(parent, change);
}

void KvPrintReceipt(QWidget* parent, CClientPay& pay, CCliBalance& balance, CReceiptDocument& receipt,
                    const std::function<void()>& fill)
{
    CSysPara* para = GetMainSysPara();
    const bool automatic = para->GetInvoiceNoMode() == QStringLiteral("自动");
    if (automatic)
        NumberSaleReceipt(pay, balance);
    if (para->GetPrintFlag() != kYes)
        return;
    if (!automatic) {
        CInvoiceNoDlg dialog(parent, QStringLiteral("输入票据号"));
        RunOperatorDialog(dialog);
        CAdoTransaction transaction(*GetMainDatabase());
        StoreSaleReceiptNo(pay, balance, dialog.GetInvoiceNo());
        transaction.Commit();
    }

    int width = 0;
    int length = 0;
    if (!LoadReportPageSize(*GetLocalDatabase(), CReceiptDocument::ReceiptLayoutId, width, length)) {
        PromptBox(QStringLiteral("票据格式不存在！"), parent);
        return;
    }
    // The layout keeps its page length negative (each copy lies lower).
    SetPrinterPaper(3, static_cast<short>(std::abs(length) / 10), static_cast<short>(std::abs(width) / 10));
    receipt.SetReceiptCount(CReceiptValues::CopiesPerReceipt(para->GetInvoiceNum()));
    fill();

    CPrintPreviewDlg preview(nullptr);
    preview.SetPrintJob(&receipt);
    RunOperatorDialog(preview);
}

QList<QStringList> KvReceiptPriceRows(const CKvExtList2* list)
{
    QList<QStringList> prices;
    for (int row = 0; row < list->GetItemCount(); ++row)
        prices << QStringList{list->GetItemText(row, 1), list->GetItemText(row, 0), list->GetItemText(row, 2),
                              list->GetItemText(row, 3)};
    return prices;
}
