#include "CQueryResultDlg.h"

#include "CKvExtList2.h"
#include "CListPrintJob.h"
#include "CPrintPreviewDlg.h"
#include "CReportField.h"
#include "CReportTable.h"
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
    m_list = CreateControl<CKvExtList2>(1200);
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

void CQueryResultDlg::SetData(QStringList* cells, int rows, QStringList* titles, int columns,
                              const CListPrintSettings& settings)
{
    m_cells = cells;
    m_rows = rows;
    m_titles = titles;
    m_columns = columns;
    m_settings = settings;
    m_settings.m_colWidths = settings.m_colWidths.mid(0, columns);
    while (m_settings.m_colWidths.size() < columns)
        m_settings.m_colWidths.append(0);
}

const QStringList& CQueryResultDlg::GetTitles() const
{
    static const QStringList none;
    return m_titles ? *m_titles : none;
}

bool CQueryResultDlg::OnInitDialog()
{
    CKvDialog::OnInitDialog();
    PrepareResultList(*m_list, m_titles, m_columns);
    m_list->SetHeaderClickCallback([this](int column, CKvExtList2*) { SortByColumn(column); });
    fillRows();
    m_countLabel->setText(m_recordCountText);
    m_printJob = std::make_unique<CListPrintJob>(this);
    return true;
}

void CQueryResultDlg::fillRows()
{
    FillResultList(*m_list, m_cells, m_rows, m_columns, m_columns);
}

bool CQueryResultDlg::hasSummaryRow() const
{
    if (m_summaryRow >= 0)
        return m_summaryRow == 1;
    return m_cells && m_rows > 0 && m_columns > 0 &&
           m_cells->value(static_cast<qsizetype>(m_rows - 1) * m_columns) == KV_SUMMARY_CAPTION;
}

void CQueryResultDlg::SortByColumn(int column)
{
    // These lists keep the order their query gave them.
    if (GetCaption().contains(QStringLiteral("定额收费")) || GetCaption().contains(QStringLiteral("电表明细")))
        return;
    if (!m_cells || column < 0 || column >= m_columns)
        return;
    // A list without a catalogue, or a column without a field, sorts as text.
    const CReportField* field = m_catalogue && m_titles ? m_catalogue->FindByCaption(m_titles->value(column)) : nullptr;
    const bool numeric = field && field->IsNumeric();
    SortReportRows(*m_cells, m_rows, m_columns, column, numeric, hasSummaryRow());
    fillRows();
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
