#include "CSaleStatDlg.h"

#include "KvReportFormat.h"
#include "KvSaleQuerySql.h"

#include <QAbstractButton>
#include <QButtonGroup>
#include <QGridLayout>
#include <QGroupBox>
#include <QRadioButton>

namespace {

// Dialog 184 numbers six of its boxes differently; the value controls are shared.
QHash<int, int> statCheckIds()
{
    using D = CSaleConditionDlg;
    QHash<int, int> ids = D::QueryCheckIds();
    const QHash<int, int> own{{D::Floor, 1059},      {D::Room, 1060},  {D::Unit, 1062},
                              {D::Department, 1061}, {D::Level, 1063}, {D::SuperNo, 1064}};
    ids.insert(own);
    return ids;
}

} // namespace

CSaleStatDlg::CSaleStatDlg(QWidget* parent, const QString& caption)
    : CSaleConditionDlg(184, parent, caption, statCheckIds(), QStringLiteral("统计(&T)"),
                        {QStringLiteral("开户"), QStringLiteral("正常充值"), QStringLiteral("修改充值"),
                         QStringLiteral("补卡充值"), QStringLiteral("返卡退费"), QStringLiteral("校园退费")},
                        false)
{
    auto* box = new QGroupBox(QStringLiteral("统计方式"), this);
    auto* grid = new QGridLayout(box);
    m_groupings = new QButtonGroup(this);
    for (int i = 0; i < kSaleStatGroupingCount; ++i) {
        const CSaleStatGrouping* g = SaleStatGrouping(i);
        auto* radio = CreateControl<QRadioButton>(g->radioId);
        radio->setParent(box);
        radio->setText(QString::fromUtf8(g->radioText));
        m_groupings->addButton(radio, i);
        grid->addWidget(radio, i / 2, i % 2);
    }
    Grid()->addWidget(box, 0, 4, Grid()->rowCount(), 1);
}

void CSaleStatDlg::SetStatCondition(const CSaleStatCondition& condition)
{
    SetCondition(condition);
    m_grouping = condition.m_grouping;
}

CSaleStatCondition CSaleStatDlg::GetStatCondition() const
{
    CSaleStatCondition condition;
    static_cast<CSaleCondition&>(condition) = GetCondition();
    condition.m_grouping = m_grouping;
    return condition;
}

bool CSaleStatDlg::DoDataExchange(bool save)
{
    CSaleConditionDlg::DoDataExchange(save);
    if (save) {
        m_grouping = m_groupings->checkedId();
    } else if (QAbstractButton* radio = m_groupings->button(m_grouping)) {
        radio->setChecked(true);
    }
    return true;
}

void CSaleStatDlg::OnReportFormat()
{
    UpdateData(true);
    const CSaleStatGrouping* g = SaleStatGrouping(m_grouping);
    if (!g)
        return;
    SetupReportFormat(QString::fromUtf8(g->reportType));
}
