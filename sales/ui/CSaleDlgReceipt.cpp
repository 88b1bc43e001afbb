// The receipt of a sale: its number, then the receipt job filled from the
// sale, the payment and the dialog's lists, shown in the print preview.

#include "CSaleDlg.h"

#include "CAdoConnection.h"
#include "CClientPay.h"
#include "CInvoiceNoDlg.h"
#include "CKvExtList2.h"
#include "COperator.h"
#include "CPrintPreviewDlg.h"
#include "CReceiptDocument.h"
#include "CSysPara.h"
#include "CurrentOperator.h"
#include "KvDialogRunner.h"
#include "KvMessage.h"
#include "KvPrinterPaper.h"
#include "KvReceiptLayout.h"
#include "KvSaleReceipt.h"
#include "SysGlobals.h"

#include <cstdlib>

void CSaleDlg::PrintReceipt(CWrtRecord& sale, CClientPay& pay)
{
    CSysPara* para = GetMainSysPara();
    const bool automatic = para->GetInvoiceNoMode() == QStringLiteral("自动");
    if (automatic)
        NumberSaleReceipt(pay, m_Balance);
    if (para->GetPrintFlag() != QStringLiteral("是"))
        return;
    if (!automatic) {
        CInvoiceNoDlg dialog(this, QStringLiteral("输入票据号"));
        RunOperatorDialog(dialog);
        CAdoTransaction transaction(*GetMainDatabase());
        StoreSaleReceiptNo(pay, m_Balance, dialog.GetInvoiceNo());
        transaction.Commit();
    }

    int width = 0;
    int length = 0;
    if (!LoadReportPageSize(*GetLocalDatabase(), CReceiptDocument::ReceiptLayoutId, width, length)) {
        PromptBox(QStringLiteral("票据格式不存在！"), this);
        return;
    }
    // The layout keeps its page length negative (each copy lies lower).
    SetPrinterPaper(3, static_cast<short>(std::abs(length) / 10), static_cast<short>(std::abs(width) / 10));
    auto* receipt = static_cast<CReceiptDocument*>(m_pPrintJob);
    receipt->SetReceiptCount(para->GetInvoiceNum());
    FillReceipt(sale);

    CPrintPreviewDlg preview(nullptr);
    preview.SetPrintJob(receipt);
    RunOperatorDialog(preview);
}

void CSaleDlg::FillReceipt(CWrtRecord& sale)
{
    // The sale shown is the history's last row, the one just written.
    auto* last = static_cast<CWrtRecord*>(m_history.GetTail());
    const CWrtRecord& shown = last ? *last : sale;
    const COperator* op = GetCurrentOperator();

    SaleReceiptHeader header;
    header.client = m_pClient;
    header.meter = m_pMeter;
    header.ct = m_typeList->GetItemText(10, 1);
    header.pt = m_typeList->GetItemText(11, 1);
    header.innerMul = m_typeList->GetItemText(1, 1);
    header.operatorName = op ? op->GetOperatorName() : QString();
    header.sale = &shown;
    SumManualFees(header.manualFees);
    header.balance = &m_Balance;
    header.printTime = GetServerTime();
    header.priceName = m_priceList->GetItemCount() > 0 ? m_priceList->GetItemText(0, 0) : QString();

    QList<QStringList> prices;
    for (int row = 0; row < m_priceList->GetItemCount(); ++row)
        prices << QStringList{m_priceList->GetItemText(row, 1), m_priceList->GetItemText(row, 0),
                              m_priceList->GetItemText(row, 2), m_priceList->GetItemText(row, 3)};
    // Receipt columns 0..9 from list columns 0, 2, 3, 4, 5, 6, 1, 7, 8, 9.
    static const int subColumns[] = {0, 2, 3, 4, 5, 6, 1, 7, 8, 9};
    QList<QStringList> subs;
    for (int row = 0; row < m_subList->GetItemCount(); ++row) {
        QStringList cells;
        for (int column : subColumns)
            cells << m_subList->GetItemText(row, column);
        subs << cells;
    }
    std::vector<SaleFeeLine> fees;
    CPriceVerList versions;
    for (int row = 0; row < m_feeList->GetItemCount(); ++row) {
        const CKvObject* record = m_feeList->GetRowObject(row);
        if (!record)
            continue;
        if (record->GetClassName() == QLatin1String("CFixFee")) {
            const auto* fee = static_cast<const CFixFee*>(record);
            // A fee whose price version is gone prints without a name.
            const CPriceVer* version = versions.FindByPriceIndex(fee->GetPriceIndex());
            fees.push_back({true, version ? version->GetPriceName() : QString(), fee->GetBeginDate(),
                            fee->GetEndDate(), fee->GetDays(), fee->GetFinalFee()});
        } else if (record->GetClassName() == QLatin1String("COtherItem")) {
            const auto* item = static_cast<const COtherItem*>(record);
            fees.push_back({false, item->GetPriceName(), item->GetBeginDate(), item->GetEndDate(), item->GetDays(),
                            item->GetFinalFee()});
        }
    }
    auto* receipt = static_cast<CReceiptDocument*>(m_pPrintJob);
    FillSaleReceipt(receipt->Values(), SaleReceiptCommon(header), prices, subs, BuildFeeSummary(fees));
}
