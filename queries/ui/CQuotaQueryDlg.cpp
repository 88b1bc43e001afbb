#include "CQuotaQueryDlg.h"

#include "CKvExtList.h"
#include "KvPlaceConditions.h"

#include <QButtonGroup>
#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>

namespace {

QStringList unitItems(int count)
{
    const QStringList numerals{"一", "二", "三", "四", "五", "六", "七", "八", "九", "十"};
    QStringList units;
    for (int i = 0; i < count && i < numerals.size(); ++i)
        units << numerals.at(i) + QStringLiteral("单元");
    return units;
}

} // namespace

CQuotaQueryDlg::CQuotaQueryDlg(QWidget* parent, const QString& caption)
    : CQuotaQueryDlg(165, parent, caption, QStringLiteral("查询(&Q)"), 6,
                     {QStringLiteral("A4"), QStringLiteral("A3"), QStringLiteral("A4横向"), QStringLiteral("A3横向")})
{
}

CQuotaQueryDlg::CQuotaQueryDlg(int templateId, QWidget* parent, const QString& caption, const QString& okText,
                               int unitCount, const QStringList& papers)
    : CSaleConditionDlg(templateId, parent, caption, QueryCheckIds(), okText, {}, false)
{
    for (ECondition c :
         {MeterNo, UseNature, PayMode, Operator, DevType, CardType, Phase, OpMode, Level, SuperNo, BuyValue})
        HideCondition(c);
    if (auto* format = findChild<QPushButton*>(ControlName(1112)))
        format->hide();
    if (auto* close = findChild<QPushButton*>(ControlName(1001)))
        close->setText(QStringLiteral("取消(&C)"));
    if (auto* units = findChild<QComboBox*>(ControlName(1008))) {
        units->clear();
        units->addItems(unitItems(unitCount));
    }

    auto* side = new QGridLayout;
    m_paid = new QButtonGroup(this);
    auto* paidRow = new QHBoxLayout;
    const QStringList paidTexts{QStringLiteral("已缴费"), QStringLiteral("未缴费")};
    for (int i = 0; i < paidTexts.size(); ++i) {
        auto* radio = CreateControl<QRadioButton>(1306 + i);
        radio->setText(paidTexts.at(i));
        m_paid->addButton(radio, i);
        paidRow->addWidget(radio);
    }
    side->addLayout(paidRow, 0, 0, 1, 2);
    side->addWidget(new QLabel(QStringLiteral("纸张："), this), 1, 0);
    m_paperCombo = CreateControl<QComboBox>(1308);
    m_paperCombo->addItems(papers);
    side->addWidget(m_paperCombo, 1, 1);
    m_feeItems = CreateControl<CKvExtList>(1106);
    m_feeItems->setMinimumWidth(260);
    side->addWidget(m_feeItems, 2, 0, 1, 2);
    side->setRowStretch(2, 1);
    Grid()->addLayout(side, 0, 5, Grid()->rowCount(), 1);
}

void CQuotaQueryDlg::SetQuotaCondition(const CQuotaCondition& k)
{
    m_quota = k;
    CSaleCondition s;
    CopyPlaceConditions(k, s);
    s.m_bPeriod = k.m_bPeriod;
    s.m_periodFrom = k.m_from;
    s.m_periodTo = k.m_to;
    SetCondition(s);
}

CQuotaCondition CQuotaQueryDlg::GetQuotaCondition() const
{
    const CSaleCondition& s = GetCondition();
    CQuotaCondition k = m_quota;
    CopyPlaceConditions(s, k);
    k.m_bPeriod = s.m_bPeriod;
    k.m_from = s.m_periodFrom;
    k.m_to = s.m_periodTo;
    return k;
}

bool CQuotaQueryDlg::OnInitDialog()
{
    CSaleConditionDlg::OnInitDialog();
    m_feeItems->SetRowHeight(20);
    m_feeItems->LoadCheckBitmaps(158, 159);
    m_feeItems->SetHideChecks(0);
    QPalette palette = m_feeItems->palette();
    palette.setColor(QPalette::Base, palette.color(QPalette::Button));
    m_feeItems->setPalette(palette);
    const QFontMetrics metrics = m_feeItems->fontMetrics();
    const QStringList titles{QStringLiteral("价目代码"), QStringLiteral("价目名称")};
    for (int c = 0; c < titles.size(); ++c)
        m_feeItems->InsertColumn(c, titles.at(c), metrics.horizontalAdvance(titles.at(c)) + 50);
    m_feeItemList.LoadValidOfType(QStringLiteral("定额收费价"));
    for (int i = 0; i < m_feeItemList.GetCount(); ++i) {
        CPriceVer* item = m_feeItemList.At(i);
        const int row = m_feeItems->InsertRow(i, item->GetPriceNo(), item);
        m_feeItems->SetItemText(row, 1, item->GetPriceName());
        m_feeItems->SetCheck(row, m_selection.value(i) == 1 ? 1 : 0);
    }
    return true;
}

bool CQuotaQueryDlg::DoDataExchange(bool save)
{
    CSaleConditionDlg::DoDataExchange(save);
    if (!save) {
        if (QAbstractButton* radio = m_paid->button(m_quota.m_paid))
            radio->setChecked(true);
        m_paperCombo->setCurrentIndex(m_quota.m_paper);
        return true;
    }
    m_quota.m_paid = m_paid->checkedId() == 1 ? 1 : 0;
    m_quota.m_paper = m_paperCombo->currentIndex();
    m_selection.clear();
    m_feeNames.clear();
    for (int row = 0; row < m_feeItems->GetItemCount(); ++row) {
        const bool ticked = m_feeItems->GetCheck(row) != 0;
        m_selection << (ticked ? 1 : 0);
        if (ticked)
            m_feeNames << m_feeItems->GetItemText(row, 1);
    }
    return true;
}
