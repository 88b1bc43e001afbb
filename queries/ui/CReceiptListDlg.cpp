#include "CReceiptListDlg.h"

#include "CAdoConnection.h"
#include "CClientPay.h"
#include "CInvoiceNoDlg.h"
#include "CKvException.h"
#include "CManualFee.h"
#include "COperator.h"
#include "CPrintPreviewDlg.h"
#include "CQuillmerApp.h"
#include "CReceiptDocument.h"
#include "CResultList.h"
#include "CSysPara.h"
#include "CWaitCursor.h"
#include "CurrentOperator.h"
#include "KvMessage.h"
#include "KvReceiptCompose.h"
#include "KvReceiptLayout.h"
#include "KvReceiptQuery.h"
#include "KvReportText.h"
#include "KvResultList.h"
#include "SysGlobals.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>
#include <cstdlib>

namespace {

const QString kBillCaption = QStringLiteral("输入票据号");

// Runs a step of a print or number command; a failure of the database layer
// is shown and ends the command as a failed step does.
template <typename Step> bool guarded(QWidget* owner, Step step)
{
    try {
        return step();
    } catch (const CKvException& e) {
        ErrorBox(e.text(), owner);
        return false;
    }
}

// The receipts of a row: the copies of print one, or the row's place in print all.
CReceiptCopies copiesOf(int row, bool single)
{
    const int n = CReceiptValues::CopiesPerReceipt(GetMainSysPara()->GetInvoiceNum());
    return single ? CReceiptCopies::Single(n) : CReceiptCopies::Batch(row, n);
}

} // namespace

CReceiptListDlg::CReceiptListDlg(QWidget* parent, const QString& caption) : CKvDialog(182, parent, caption)
{
    m_list = CreateControl<CResultList>(1152);
    m_countLabel = CreateControl<QLabel>(1284);
    m_countLabel->setText(QStringLiteral("记录数："));
    auto* printOne = CreateControl<QPushButton>(1283);
    printOne->setText(QStringLiteral("打印单行(&P)"));
    auto* printAll = CreateControl<QPushButton>(1282);
    printAll->setText(QStringLiteral("打印全部(&A)"));
    auto* change = CreateControl<QPushButton>(1077);
    change->setText(QStringLiteral("修改票号(&G)"));
    auto* close = CreateControl<QPushButton>(1021);
    close->setText(QStringLiteral("取消(&C)"));
    BindClose(close);
    connect(printOne, &QPushButton::clicked, this, [this] { OnPrintOne(); });
    connect(printAll, &QPushButton::clicked, this, [this] { OnPrintAll(); });
    connect(change, &QPushButton::clicked, this, [this] { OnChangeBillNo(); });

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(m_countLabel);
    buttons->addStretch();
    buttons->addWidget(printOne);
    buttons->addWidget(printAll);
    buttons->addWidget(change);
    buttons->addWidget(close);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_list);
    layout->addLayout(buttons);
    resize(900, 600);
}

CReceiptListDlg::~CReceiptListDlg() = default;

void CReceiptListDlg::SetData(CReportStore* store)
{
    m_store = store;
    m_columns = store ? store->ColumnCount() : 0;
}

bool CReceiptListDlg::OnInitDialog()
{
    CKvDialog::OnInitDialog();
    // The last two columns (total fee, sale key) stay hidden.
    PrepareResultList(*m_list, m_store, m_columns - 2);
    m_list->SetHeaderClickCallback([this](int column, CResultList*) { SortByColumn(column); });
    showRowsAnew();
    m_countLabel->setText(m_recordCountText);
    m_document = std::make_unique<CReceiptDocument>(*GetLocalDatabase(), this);
    return true;
}

QString CReceiptListDlg::cell(int row, int column) const
{
    return m_store ? m_store->Cell(row, column) : QString();
}

QStringList CReceiptListDlg::rowCells(int row) const
{
    return m_store ? m_store->RowCells(row) : QStringList();
}

int CReceiptListDlg::RowWrtIndex(int row) const
{
    // Each row carries its sale's key, the integer of its last cell.
    return row >= 0 && row < m_list->GetItemCount() ? KvAtoi(cell(row, m_columns - 1)) : 0;
}

void CReceiptListDlg::showRowsAnew()
{
    m_list->RowsReordered();
    m_list->clearSelection();
    m_list->setCurrentIndex(QModelIndex());
}

void CReceiptListDlg::SortByColumn(int column)
{
    if (!m_store || column < 0 || column >= m_columns)
        return;
    // A stable O(n log n) sort, ascending, the total row kept last; hidden
    // cells move with their row. Numbers compare by their leading number,
    // texts by their GBK bytes.
    m_store->SortRows(column, IsReceiptNumericColumn(column), true);
    showRowsAnew();
}

bool CReceiptListDlg::setReceiptPaper()
{
    int width = 0;
    int length = 0;
    if (!LoadReportPageSize(*GetLocalDatabase(), CReceiptDocument::ReceiptLayoutId, width, length)) {
        PromptBox(QStringLiteral("票据格式不存在！"), this);
        return false;
    }
    CQuillmerApp::SetPrinterPaper(3, static_cast<short>(std::abs(length) / 10),
                                  static_cast<short>(std::abs(width) / 10));
    return true;
}

void CReceiptListDlg::OnPrintOne()
{
    const int row = m_list->GetSelectedRow();
    if (!isDataRow(row)) {
        PromptBox(QStringLiteral("请选择记录！"), this);
        return;
    }
    if (!setReceiptPaper())
        return;
    m_document->SetReceiptCount(CReceiptValues::CopiesPerReceipt(GetMainSysPara()->GetInvoiceNum()));
    if (!guarded(this, [&] { return ComposeReceipt(row, true); }))
        return;
    showPreview();
}

void CReceiptListDlg::showPreview()
{
    CPrintPreviewDlg preview(nullptr);
    preview.SetPrintJob(m_document.get());
    preview.DoModal();
}

void CReceiptListDlg::OnPrintAll()
{
    if (AskBox(QStringLiteral("对于未有票号的售电数据将自动生成票号，继续吗？"), this) == IDNO)
        return;
    if (!setReceiptPaper())
        return;
    const int n = m_list->GetItemCount() - 1;
    if (n < 1)
        return;
    CWaitCursor wait;
    m_document->SetReceiptCount(CReceiptValues::CopiesPerReceipt(GetMainSysPara()->GetInvoiceNum()) * n);
    for (int r = 0; r < n; ++r)
        if (!guarded(this, [&] { return ComposeReceipt(r, false); }))
            return;
    showPreview();
}

void CReceiptListDlg::OnChangeBillNo()
{
    const int row = m_list->GetSelectedRow();
    if (!isDataRow(row)) {
        PromptBox(QStringLiteral("请选择售电记录！"));
        return;
    }
    const int wrtIndex = RowWrtIndex(row);
    guarded(this, [&] {
        CClientPay pay;
        if (!LoadSalePayment(wrtIndex, pay)) {
            ErrorBox(MissingSaleText(), this);
            return false;
        }
        CInvoiceNoDlg dialog(nullptr, kBillCaption);
        // Closing the dialog without confirming keeps the number as it is.
        if (dialog.DoModal() != IDOK)
            return false;
        StoreBillNumber(pay, dialog.GetInvoiceNo());
        showBillNumber(wrtIndex, dialog.GetInvoiceNo());
        return true;
    });
}

void CReceiptListDlg::showBillNumber(int wrtIndex, const QString& number)
{
    // A sale is listed once per share of its main price: every one of its
    // rows shows the number, so none of them draws another.
    for (int r = 0; r < dataRows(); ++r) {
        if (KvAtoi(cell(r, m_columns - 1)) != wrtIndex)
            continue;
        m_store->SetCell(r, 0, number);
    }
    m_list->CellsChanged();
}

bool CReceiptListDlg::AssignBillNumber(int row, bool single)
{
    if (!cell(row, 0).isEmpty())
        return true;
    const int wrtIndex = RowWrtIndex(row);
    // The payment is loaded before a number is chosen: a sale that is gone
    // consumes no number.
    CClientPay pay;
    if (!LoadSalePayment(wrtIndex, pay)) {
        ErrorBox(MissingSaleText(), this);
        return false;
    }
    QString number;
    if (!single || GetMainSysPara()->GetInvoiceNoMode() == QStringLiteral("自动")) {
        number = DrawBillNumber(pay);
    } else {
        CInvoiceNoDlg dialog(nullptr, kBillCaption);
        // Closing without confirming gives no number: nothing is written and
        // the receipt is not printed.
        if (dialog.DoModal() != IDOK)
            return false;
        number = dialog.GetInvoiceNo();
        StoreBillNumber(pay, number);
    }
    showBillNumber(wrtIndex, number);
    return true;
}

bool CReceiptListDlg::ComposeReceipt(int row, bool single)
{
    if (!ComposeHead(row, single))
        return false;
    if (!ComposePriceRows(row, single))
        return false;
    ComposeReadingRows(row, single);
    ComposeFeeRows(row, single);
    return true;
}

bool CReceiptListDlg::ComposeHead(int row, bool single)
{
    const CReceiptCopies copies = copiesOf(row, single);
    if (copies.count >= 1 && !AssignBillNumber(row, single))
        return false;
    const double manualFees = CManualFeeList::SumTotalFee(RowWrtIndex(row));
    const COperator* op = GetCurrentOperator();
    ComposeReceiptHead(m_document->Values(), rowCells(row), copies, single, manualFees,
                       op ? op->GetOperatorName() : QString(), GetServerTime());
    return true;
}

bool CReceiptListDlg::ComposePriceRows(int row, bool single)
{
    return ComposeReceiptPriceRows(m_document->Values(), RowWrtIndex(row), copiesOf(row, single));
}

void CReceiptListDlg::ComposeReadingRows(int row, bool single)
{
    ComposeReceiptReadingRows(m_document->Values(), RowWrtIndex(row), copiesOf(row, single), single);
}

void CReceiptListDlg::ComposeFeeRows(int row, bool single)
{
    ComposeReceiptFeeRows(m_document->Values(), RowWrtIndex(row), copiesOf(row, single));
}
