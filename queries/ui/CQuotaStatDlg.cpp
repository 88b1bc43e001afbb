#include "CQuotaStatDlg.h"

#include "KvQuotaQuerySql.h"

#include <QAbstractButton>
#include <QButtonGroup>
#include <QGridLayout>
#include <QGroupBox>
#include <QRadioButton>

CQuotaStatDlg::CQuotaStatDlg(QWidget* parent, const QString& caption)
    : CQuotaQueryDlg(168, parent, caption, QStringLiteral("统计(&T)"), 10,
                     {QStringLiteral("A4"), QStringLiteral("A3"), QStringLiteral("A4横向"), QStringLiteral("A3 横向")})
{
    auto* box = new QGroupBox(QStringLiteral("统计方式"), this);
    auto* grid = new QGridLayout(box);
    m_groupings = new QButtonGroup(this);
    for (int i = 0; i < kQuotaStatGroupingCount; ++i) {
        auto* radio = CreateControl<QRadioButton>(1310 + i);
        radio->setParent(box);
        radio->setText(QuotaStatGrouping(i)->radioText);
        m_groupings->addButton(radio, i);
        grid->addWidget(radio, i / 2, i % 2);
    }
    Grid()->addWidget(box, Grid()->rowCount(), 0, 1, 4);
}

void CQuotaStatDlg::SetStatCondition(const CQuotaStatCondition& condition)
{
    SetQuotaCondition(condition);
    SetFeeSelection(condition.m_feeSelection);
    m_grouping = condition.m_grouping;
}

CQuotaStatCondition CQuotaStatDlg::GetStatCondition() const
{
    CQuotaStatCondition condition;
    static_cast<CQuotaCondition&>(condition) = GetQuotaCondition();
    condition.m_feeSelection = GetFeeSelection();
    condition.m_grouping = m_grouping;
    return condition;
}

bool CQuotaStatDlg::DoDataExchange(bool save)
{
    CQuotaQueryDlg::DoDataExchange(save);
    if (save) {
        m_grouping = m_groupings->checkedId();
    } else if (QAbstractButton* radio = m_groupings->button(m_grouping)) {
        radio->setChecked(true);
    }
    return true;
}
