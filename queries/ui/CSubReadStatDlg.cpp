#include "CSubReadStatDlg.h"

#include "KvReportFormat.h"
#include "KvSubReadQuerySql.h"

#include <QAbstractButton>
#include <QButtonGroup>
#include <QGridLayout>
#include <QGroupBox>
#include <QRadioButton>

CSubReadStatDlg::CSubReadStatDlg(QWidget* parent, const QString& caption)
    : CSubReadConditionDlg(172, parent, caption, QStringLiteral("统计(&T)"))
{
    auto* box = new QGroupBox(QStringLiteral("统计方式"), this);
    auto* grid = new QGridLayout(box);
    m_modes = new QButtonGroup(this);
    for (int i = 0; i < kSubReadStatModeCount; ++i) {
        const CSubReadStatMode* m = SubReadStatMode(i);
        auto* radio = CreateControl<QRadioButton>(m->radioId);
        radio->setParent(box);
        radio->setText(QString::fromUtf8(m->radioText));
        m_modes->addButton(radio, i);
        grid->addWidget(radio, i / 2, i % 2);
    }
    Grid()->addWidget(box, 0, 3, Grid()->rowCount(), 1);
}

void CSubReadStatDlg::SetStatCondition(const CSubReadStatCondition& condition)
{
    SetCondition(condition);
    m_mode = condition.m_mode;
}

CSubReadStatCondition CSubReadStatDlg::GetStatCondition() const
{
    CSubReadStatCondition condition;
    static_cast<CSubReadCondition&>(condition) = GetCondition();
    condition.m_mode = m_mode;
    return condition;
}

bool CSubReadStatDlg::DoDataExchange(bool save)
{
    CSubReadConditionDlg::DoDataExchange(save);
    if (save) {
        m_mode = m_modes->checkedId();
    } else if (QAbstractButton* radio = m_modes->button(m_mode)) {
        radio->setChecked(true);
    }
    return true;
}

void CSubReadStatDlg::OnReportFormat()
{
    UpdateData(true);
    if (const CSubReadStatMode* m = SubReadStatMode(m_mode))
        EditReportFormat(QString::fromUtf8(m->reportType));
}

void CSubReadStatDlg::EditReportFormat(const QString& reportType)
{
    SetupReportFormat(reportType);
}
