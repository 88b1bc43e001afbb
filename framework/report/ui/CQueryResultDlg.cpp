#include "CQueryResultDlg.h"

#include "CListPrintJob.h"
#include "CPrintPreviewDlg.h"
#include "CReportField.h"
#include "CReportTable.h"
#include "CResultList.h"
#include "KvPrinterPaper.h"
#include "KvResultList.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPalette>
#include <QPushButton>
#include <QVBoxLayout>

CQueryResultDlg::CQueryResultDlg(QWidget* parent, const QString& caption) : CKvDialog(180, parent, caption)
{
    m_list = CreateControl<CResultList>(1200);
    m_countLabel = CreateControl<QLabel>(1262);
    auto* print = CreateControl<QPushButton>(1201);
    print->setText(QStringLiteral("打印(&P)"));
    auto* close = CreateControl<QPushButton>(1001);
    close->setText(QStringLiteral("返回(&R)"));
    BindClose(close);
    connect(print, &QPushButton::clicked, this, [this] { OnPrint(); });

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(m_countLabel);
    buttons->addStretch();
    buttons->addWidget(print);
    buttons->addWidget(close);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_list);
    layout->addLayout(buttons);
    resize(900, 600);
}

CQueryResultDlg::~CQueryResultDlg() = default;

void CQueryResultDlg::SetData(CReportStore* store, const CListPrintSettings& settings)
{
    m_store = store;
    m_columns = store ? store->ColumnCount() : 0;
    m_settings = settings;
    m_settings.m_colWidths = settings.m_colWidths.mid(0, m_columns);
    while (m_settings.m_colWidths.size() < m_columns)
        m_settings.m_colWidths.append(0);
}

void CQueryResultDlg::SetData(const QStringList* cells, int rows, const QStringList* titles, int columns,
                              const CListPrintSettings& settings)
{
    m_ownStore = CReportStore::FromCells(cells ? *cells : QStringList(), cells ? rows : 0,
                                         titles ? *titles : QStringList(), columns);
    SetData(&m_ownStore, settings);
}

const QStringList& CQueryResultDlg::GetTitles() const
{
    static const QStringList none;
    return m_store ? m_store->Titles() : none;
}

bool CQueryResultDlg::OnInitDialog()
{
    CKvDialog::OnInitDialog();
    PrepareResultList(*m_list, m_store, m_columns);
    m_list->SetHeaderClickCallback([this](int column, CResultList*) { SortByColumn(column); });
    m_countLabel->setText(m_recordCountText);
    m_printJob = std::make_unique<CListPrintJob>(this);
    return true;
}

bool CQueryResultDlg::hasSummaryRow() const
{
    if (m_summaryRow >= 0)
        return m_summaryRow == 1;
    return m_store && m_store->RowCount() > 0 && m_store->Cell(m_store->RowCount() - 1, 0) == KV_SUMMARY_CAPTION;
}

void CQueryResultDlg::SortByColumn(int column)
{
    // These lists keep the order their query gave them.
    if (GetCaption().contains(QStringLiteral("定额收费")) || GetCaption().contains(QStringLiteral("电表明细")))
        return;
    if (!m_store || column < 0 || column >= m_columns)
        return;
    // A list without a catalogue, or a column without a field, sorts as text.
    const CReportField* field = m_catalogue ? m_catalogue->FindByCaption(GetTitles().value(column)) : nullptr;
    const bool numeric = field && field->IsNumeric();
    m_store->SortRows(column, numeric, hasSummaryRow());
    m_list->RowsReordered();
}

void CQueryResultDlg::OnPrint()
{
    // The preview measures the paper the layout asks for; when it cannot be
    // set the printer's own paper is used.
    SetPrinterPaper(m_settings.PrinterPaperMode(), static_cast<short>(m_settings.m_paperLength),
                    static_cast<short>(m_settings.m_paperWidth));
    if (!m_printJob)
        m_printJob = std::make_unique<CListPrintJob>(this);
    CPrintPreviewDlg preview(this);
    preview.SetPrintJob(m_printJob.get());
    preview.DoModal();
}
