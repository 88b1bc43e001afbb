#include "CConditionDlg.h"

#include "KvConditionCombos.h"
#include "KvDatePicker.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

CConditionDlg::CConditionDlg(int templateId, QWidget* parent, const QString& caption)
    : CKvDialog(templateId, parent, caption)
{
    auto* outer = new QVBoxLayout(this);
    m_grid = new QGridLayout;
    outer->addLayout(m_grid);
}

void CConditionDlg::addBox(int condition, int checkId, const QString& text, const QList<QWidget*>& values)
{
    auto* box = CreateControl<QCheckBox>(checkId);
    box->setText(text);
    m_boxes.insert(condition, box);
    m_values.insert(condition, values);
    m_grid->addWidget(box, m_row, 0);
    connect(box, &QCheckBox::clicked, this, [this, condition] { OnCheckClicked(condition); });
}

void CConditionDlg::AddConditionRow(int condition, int checkId, const QString& text, const QList<QWidget*>& values)
{
    addBox(condition, checkId, text, values);
    for (int i = 0; i < values.size(); ++i)
        m_grid->addWidget(values.at(i), m_row, 1 + i);
    ++m_row;
}

void CConditionDlg::HideCondition(int condition)
{
    m_boxes.value(condition)->hide();
    for (QWidget* w : m_values.value(condition))
        w->hide();
}

void CConditionDlg::AddPeriodRow(int condition, int checkId, QDateEdit* from, QDateEdit* to, int span)
{
    for (QDateEdit* d : {from, to})
        KvMakeDatePicker(d);
    auto* period = new QWidget(this);
    auto* row = new QHBoxLayout(period);
    row->setContentsMargins(0, 0, 0, 0);
    row->addWidget(new QLabel(QStringLiteral("从"), period));
    row->addWidget(from);
    row->addWidget(new QLabel(QStringLiteral("到"), period));
    row->addWidget(to);
    addBox(condition, checkId, QString(), {from, to});
    m_grid->addWidget(period, m_row, 1, 1, span);
    ++m_row;
}

void CConditionDlg::AddButtons(const QString& okText)
{
    auto* buttons = new QHBoxLayout;
    auto* ok = CreateControl<QPushButton>(1000);
    ok->setText(okText);
    ok->setDefault(true);
    auto* format = CreateControl<QPushButton>(1112);
    format->setText(QStringLiteral("报表格式(&F)"));
    auto* close = CreateControl<QPushButton>(1001);
    close->setText(QStringLiteral("返回(&R)"));
    buttons->addWidget(ok);
    buttons->addWidget(format);
    buttons->addWidget(close);
    static_cast<QVBoxLayout*>(layout())->addLayout(buttons);
    BindConfirm(ok);
    BindClose(close);
    connect(format, &QPushButton::clicked, this, [this] { OnReportFormat(); });
}

void CConditionDlg::SetPlaceCombos(QComboBox* block, QComboBox* building)
{
    m_placeBlock = block;
    m_placeBuilding = building;
    connect(block, &QComboBox::currentIndexChanged, this, [this] {
        if (IsInitDone())
            OnSelchangeBlock();
    });
}

void CConditionDlg::ApplyCheck(int condition, const QList<int>& within, bool keepValues)
{
    const bool on = m_boxes.value(condition)->isChecked();
    if (on)
        for (int outer : within)
            TickCondition(m_boxes.value(outer), m_values.value(outer));
    ApplyConditionBox(on, m_values.value(condition), keepValues);
}

void CConditionDlg::FillBuildings(const QString& blockNo)
{
    m_placeBuilding->clear();
    m_placeBuildings.LoadByBlock(blockNo);
    for (int i = 0; i < m_placeBuildings.GetCount(); ++i)
        m_placeBuilding->addItem(m_placeBuildings.At(i)->GetBuildingName(), m_placeBuildings.At(i)->GetBuildingNo());
    m_placeBuilding->setCurrentIndex(-1);
}

void CConditionDlg::RefillBuildingsOfChosenBlock(QString& blockNo)
{
    if (m_placeBlock->currentIndex() < 0)
        return;
    blockNo = ChosenComboCode(m_placeBlock);
    FillBuildings(blockNo);
}

void CConditionDlg::ExchangeConditions(bool save, const CConditionBindings& b)
{
    if (!save) {
        for (int c = 0; c < b.flags.size(); ++c)
            ConditionBox(c)->setChecked(*b.flags.at(c) != 0);
        b.fromDate->setDate(b.periodFrom->date());
        b.toDate->setDate(b.periodTo->date());
        for (const auto& [e, text] : b.edits)
            e->setText(*text);
        return;
    }
    for (int c = 0; c < b.flags.size(); ++c)
        *b.flags.at(c) = ConditionBox(c)->isChecked() ? 1 : 0;
    *b.periodFrom = QDateTime(b.fromDate->date(), b.periodFrom->time());
    *b.periodTo = QDateTime(b.toDate->date(), b.periodTo->time());
    for (const auto& [e, text] : b.edits)
        *text = e->text();
    for (const auto& [combo, target] : b.chosen) {
        *target.first = ChosenComboCode(combo);
        *target.second = combo->currentText();
    }
    for (const auto& [combo, text] : b.shown)
        *text = combo->currentText();
}
