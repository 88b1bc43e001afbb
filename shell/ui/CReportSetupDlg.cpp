#include "CReportSetupDlg.h"

#include "CKvEdit.h"
#include "CKvExtList.h"
#include "CKvExtList2.h"
#include "CKvReportCol.h"
#include "CMenuButton.h"
#include "CReportField.h"
#include "KvMessage.h"
#include "KvNumberCheck.h"
#include "KvReportCatalogues.h"
#include "KvReportText.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

// Width and length of the standard papers, 0.1 mm, by paper index; the custom
// entry (2) keeps what is typed.
struct PaperSize
{
    const char* width;
    const char* length;
};
const PaperSize kPapers[] = {
    {"2100", "2970"}, {"2970", "4200"}, {nullptr, nullptr}, {"2970", "2100"}, {"4200", "2970"}};

QWidget* WithUnit(QWidget* edit)
{
    auto* box = new QWidget;
    auto* row = new QHBoxLayout(box);
    row->setContentsMargins(0, 0, 0, 0);
    row->addWidget(edit);
    row->addWidget(new QLabel(QStringLiteral("单位：0.1毫米")));
    return box;
}

} // namespace

CReportSetupDlg::CReportSetupDlg(QWidget* parent, const QString& caption)
    : CKvDialog(204, parent, caption.isEmpty() ? QStringLiteral("页面设置") : caption)
{
    auto* ok = CreateControl<QPushButton>(1000);
    ok->setText(QStringLiteral("确认(&O)"));
    ok->setDefault(true);
    auto* cancel = CreateControl<QPushButton>(1172);
    cancel->setText(QStringLiteral("取消(&C)"));
    BindConfirm(ok);
    BindClose(cancel);

    m_fieldList = CreateControl<CKvExtList>(1108);
    m_columnList = CreateControl<CKvExtList2>(1179);
    m_upButton = CreateControl<CMenuButton>(1017);
    m_downButton = CreateControl<CMenuButton>(1018);
    m_titleEdit = CreateControl<CKvEdit>(1176);
    m_titleEdit->setReadOnly(true);
    m_paperCombo = CreateControl<QComboBox>(1173);
    m_paperCombo->addItems({QStringLiteral("A4纵向"), QStringLiteral("A3纵向"), QStringLiteral("自定义"),
                            QStringLiteral("A4横向"), QStringLiteral("A3横向")});
    m_continuousBox = CreateControl<QCheckBox>(1177);
    m_continuousBox->setText(QStringLiteral("横向走纸"));
    m_continuousBox->setEnabled(false);
    m_lengthEdit = CreateControl<CKvEdit>(1178);
    m_widthEdit = CreateControl<CKvEdit>(1026);
    m_topEdit = CreateControl<CKvEdit>(1027);
    m_bottomEdit = CreateControl<CKvEdit>(1028);
    m_leftEdit = CreateControl<CKvEdit>(1029);
    m_rightEdit = CreateControl<CKvEdit>(1030);

    connect(m_upButton, &QPushButton::clicked, this, [this] { OnMoveUp(); });
    connect(m_downButton, &QPushButton::clicked, this, [this] { OnMoveDown(); });
    connect(m_paperCombo, &QComboBox::currentIndexChanged, this, [this] {
        if (IsInitDone())
            OnPaperChanged();
    });

    auto* fieldGroup = new QGroupBox(QStringLiteral("选择字段"));
    (new QVBoxLayout(fieldGroup))->addWidget(m_fieldList);

    auto* paperForm = new QFormLayout;
    paperForm->addRow(QStringLiteral("标题："), m_titleEdit);
    paperForm->addRow(QStringLiteral("纸张大小："), m_paperCombo);
    paperForm->addRow(QString(), m_continuousBox);
    auto* customGroup = new QGroupBox(QStringLiteral("自定义"));
    auto* customForm = new QFormLayout(customGroup);
    customForm->addRow(QStringLiteral("纵向："), WithUnit(m_lengthEdit));
    customForm->addRow(QStringLiteral("横向："), WithUnit(m_widthEdit));
    auto* marginGroup = new QGroupBox(QStringLiteral("页边距"));
    auto* marginForm = new QFormLayout(marginGroup);
    marginForm->addRow(QStringLiteral("顶边："), WithUnit(m_topEdit));
    marginForm->addRow(QStringLiteral("底边："), WithUnit(m_bottomEdit));
    marginForm->addRow(QStringLiteral("左边："), WithUnit(m_leftEdit));
    marginForm->addRow(QStringLiteral("右边："), WithUnit(m_rightEdit));

    auto* columnGroup = new QGroupBox(QStringLiteral("设置列宽"));
    auto* columnLayout = new QVBoxLayout(columnGroup);
    columnLayout->addWidget(m_columnList);
    auto* arrows = new QHBoxLayout;
    arrows->addStretch();
    arrows->addWidget(m_upButton);
    arrows->addWidget(m_downButton);
    columnLayout->addLayout(arrows);

    auto* right = new QVBoxLayout;
    right->addLayout(paperForm);
    right->addWidget(customGroup);
    right->addWidget(marginGroup);
    right->addWidget(columnGroup, 1);

    auto* body = new QHBoxLayout;
    body->addWidget(fieldGroup, 1);
    body->addLayout(right, 1);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(ok);
    buttons->addWidget(cancel);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(body);
    layout->addLayout(buttons);
    resize(760, 520);
}

bool CReportSetupDlg::OnInitDialog()
{
    CKvDialog::OnInitDialog();
    m_upButton->SetArrowKind(4);
    m_downButton->SetArrowKind(1);

    // The fields of the catalogue, ticked when the layout prints them.
    m_fieldList->SetRowHeight(20);
    m_fieldList->LoadCheckBitmaps(158, 159);
    m_fieldList->SetHideChecks(0);
    QPalette palette = m_fieldList->palette();
    palette.setColor(QPalette::Base, palette.color(QPalette::Button));
    m_fieldList->setPalette(palette);
    m_fieldList->SetClickCallback([this](int row, int column, CKvExtList*) {
        if (column == 0)
            OnFieldChecked(row);
    });
    const QString fieldTitle = QStringLiteral("字段名称");
    m_fieldList->InsertColumn(0, fieldTitle, m_fieldList->fontMetrics().horizontalAdvance(fieldTitle) + 50);
    m_fieldList->DeleteAllItems();
    CKvReportColList columns;
    if (m_layout)
        m_layout->LoadColumns(columns);
    m_groupingRows = GetGroupingFieldCount(m_reportName);
    if (CReportFieldList* catalogue = GetReportCatalogue(m_reportName)) {
        for (int i = 0; i < catalogue->GetCount(); ++i) {
            CReportField* field = catalogue->At(i);
            const int row = m_fieldList->InsertRow(i, field->GetCaption(), field);
            m_fieldList->SetCheck(row, columns.HasColumn(field->GetCaption()) ? 1 : 0);
        }
    }

    if (m_layout) {
        m_paperIndex = m_layout->GetPaperSize();
        m_paperWidth = QString::number(m_layout->GetPaperWidth());
        m_paperLength = QString::number(m_layout->GetPaperLength());
        m_leftOffset = QString::number(m_layout->GetLeftOffset());
        m_rightOffset = QString::number(m_layout->GetRightOffset());
        m_topOffset = QString::number(m_layout->GetTopOffset());
        m_bottomOffset = QString::number(m_layout->GetBottomOffset());
    }

    // The chosen columns: headings fixed, widths edited in place.
    palette = m_columnList->palette();
    palette.setColor(QPalette::Base, palette.color(QPalette::Button));
    m_columnList->setPalette(palette);
    m_columnList->SetRowHeight(20);
    m_columnList->SetCellColourCallback([](CKvCellDC& dc, int, int column, CKvExtList2* list) {
        const QPalette& colours = list->palette();
        if (column == 0) {
            dc.SetTextColor(colours.color(QPalette::ButtonText));
            dc.SetBkColor(colours.color(QPalette::Button));
        } else {
            dc.SetTextColor(KvEditableCellColour());
            dc.SetBkColor(colours.color(QPalette::Window));
        }
    });
    const QString headingTitle = QStringLiteral("列标题");
    const QString widthTitle = QStringLiteral("列宽(0.1毫米)");
    const QFontMetrics metrics = m_columnList->fontMetrics();
    m_columnList->InsertColumn(0, headingTitle, metrics.horizontalAdvance(headingTitle) + 50);
    m_columnList->InsertColumn(1, widthTitle, metrics.horizontalAdvance(widthTitle) + 40);
    m_columnList->SetColumnEditor(0, KV_EDIT_NONE);
    m_columnList->SetColumnEditor(1, KV_EDIT_NUMBER);

    UpdateData(false);
    for (int i = 0; i < columns.GetCount(); ++i) {
        const CKvReportCol* column = columns.At(i);
        const int row = m_columnList->InsertRow(i, column->GetColHeader(), nullptr);
        m_columnList->SetItemText(row, 1, QString::number(column->GetColWidth()));
    }
    OnPaperChanged();
    SetInitDone(1);
    return true;
}

bool CReportSetupDlg::DoDataExchange(bool saveAndValidate)
{
    struct EditValue
    {
        CKvEdit* edit;
        QString* value;
    };
    const EditValue edits[] = {{m_widthEdit, &m_paperWidth},    {m_leftEdit, &m_leftOffset},
                               {m_rightEdit, &m_rightOffset},   {m_titleEdit, &m_title},
                               {m_bottomEdit, &m_bottomOffset}, {m_topEdit, &m_topOffset},
                               {m_lengthEdit, &m_paperLength}};
    if (saveAndValidate) {
        m_paperIndex = m_paperCombo->currentIndex();
        m_continuousPaper = m_continuousBox->isChecked();
        for (const EditValue& e : edits)
            *e.value = e.edit->text();
    } else {
        const QSignalBlocker blocker(m_paperCombo);
        m_paperCombo->setCurrentIndex(m_paperIndex);
        m_continuousBox->setChecked(m_continuousPaper);
        for (const EditValue& e : edits)
            e.edit->setText(*e.value);
    }
    return true;
}

void CReportSetupDlg::OnPaperChanged()
{
    UpdateData(true);
    const int index = m_paperCombo->currentIndex();
    const bool custom = index == 2;
    m_lengthEdit->setEnabled(custom);
    m_widthEdit->setEnabled(custom);
    if (index >= 0 && index < int(std::size(kPapers)) && kPapers[index].width) {
        m_paperWidth = QString::fromLatin1(kPapers[index].width);
        m_paperLength = QString::fromLatin1(kPapers[index].length);
    }
    UpdateData(false);
}

int CReportSetupDlg::GetGroupingCount() const
{
    int count = 0;
    for (int row = 0; row < m_groupingRows && row < m_fieldList->GetItemCount(); ++row)
        if (m_fieldList->GetCheck(row))
            ++count;
    return count;
}

void CReportSetupDlg::OnFieldChecked(int row)
{
    if (!m_editable || row < 0 || row >= m_fieldList->GetItemCount())
        return;
    const bool ticked = m_fieldList->GetCheck(row) != 0;
    // Grouping fields are the statistics' own columns: their state stays.
    if (row < m_groupingRows) {
        m_fieldList->SetCheck(row, ticked ? 0 : 1);
        return;
    }
    const QString caption = m_fieldList->GetItemText(row, 0);
    if (ticked) {
        const int added = m_columnList->InsertRow(m_columnList->GetItemCount(), caption, nullptr);
        m_columnList->SetItemText(added, 1, QStringLiteral("200"));
        return;
    }
    for (int i = 0; i < m_columnList->GetItemCount(); ++i) {
        if (m_columnList->GetItemText(i, 0) == caption) {
            m_columnList->DeleteItem(i);
            return;
        }
    }
}

void CReportSetupDlg::moveColumn(int from, int to)
{
    const QString heading = m_columnList->GetItemText(from, 0);
    const QString width = m_columnList->GetItemText(from, 1);
    m_columnList->DeleteItem(from);
    const int row = m_columnList->InsertRow(to, heading, nullptr);
    m_columnList->SetItemText(row, 1, width);
    m_columnList->SelectRow(row);
}

void CReportSetupDlg::OnMoveUp()
{
    const int selected = m_columnList->GetSelectedRow();
    if (selected >= 1 && selected > GetGroupingCount())
        moveColumn(selected, selected - 1);
}

void CReportSetupDlg::OnMoveDown()
{
    const int selected = m_columnList->GetSelectedRow();
    if (selected >= 0 && selected >= GetGroupingCount() && selected < m_columnList->GetItemCount() - 1)
        moveColumn(selected, selected + 1);
}

void CReportSetupDlg::OnOK()
{
    UpdateData(true);
    // Sizes in 0.1 mm that the preview and the print can lay out: a text that
    // is not wholly a number, or beyond these bounds, is refused by its name.
    if (!KvCheckNumberFields(this, {
                                       {m_paperLength, {QStringLiteral("纸张纵向"), 100, 10000}, m_lengthEdit},
                                       {m_paperWidth, {QStringLiteral("纸张横向"), 100, 10000}, m_widthEdit},
                                       {m_topOffset, {QStringLiteral("顶边"), 0, 1000}, m_topEdit},
                                       {m_bottomOffset, {QStringLiteral("底边"), 0, 1000}, m_bottomEdit},
                                       {m_leftOffset, {QStringLiteral("左边"), 0, 1000}, m_leftEdit},
                                       {m_rightOffset, {QStringLiteral("右边"), 0, 1000}, m_rightEdit},
                                   }))
        return;
    // An emptied width is a column of width 0.
    const KvNumberField widthField{QStringLiteral("列宽"), 0, 5000};
    QVector<int> widths;
    for (int row = 0; row < m_columnList->GetItemCount(); ++row) {
        const QString text = m_columnList->GetItemText(row, 1);
        int width = 0;
        if (!text.trimmed().isEmpty() && !KvReadNumber(text, widthField, &width)) {
            PromptBox(widthField.Refusal(), this);
            m_columnList->BeginEdit(row, 1);
            return;
        }
        widths << width;
    }
    m_paperIndex = m_paperCombo->currentIndex();
    m_headings.clear();
    m_widths = widths;
    for (int row = 0; row < m_columnList->GetItemCount(); ++row)
        m_headings << m_columnList->GetItemText(row, 0);
    EndDialog(IDOK);
}

CKvReportLayoutChoice CReportSetupDlg::GetChoice() const
{
    CKvReportLayoutChoice choice;
    choice.paperIndex = m_paperIndex;
    choice.paperLength = m_paperLength;
    choice.paperWidth = m_paperWidth;
    choice.leftOffset = m_leftOffset;
    choice.rightOffset = m_rightOffset;
    choice.topOffset = m_topOffset;
    choice.bottomOffset = m_bottomOffset;
    choice.headings = m_headings;
    choice.widths = m_widths;
    return choice;
}

bool EditReportFormat(const QString& reportType, const QString& reportName, const QString& title)
{
    CKvReportFormList layouts;
    CKvReportForm* layout = layouts.LoadLayout(reportType);
    if (!layout)
        return false;
    CReportSetupDlg dialog(nullptr, QStringLiteral("设置报表格式"));
    dialog.SetLayout(layout);
    dialog.SetReportName(reportType);
    dialog.SetTitle(title);
    if (dialog.DoModal() != IDOK)
        return false;
    layout->SaveLayout(reportName, reportType, dialog.GetChoice());
    return true;
}
