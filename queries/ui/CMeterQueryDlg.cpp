#include "CMeterQueryDlg.h"

#include "KvMessage.h"
#include "KvPlaceConditions.h"

#include <QCheckBox>
#include <QDateEdit>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpressionValidator>

CMeterQueryDlg::CMeterQueryDlg(QWidget* parent, const QString& caption)
    : CSaleConditionDlg(158, parent, caption, QueryCheckIds(), QStringLiteral("确认(&O)"), {}, false)
{
    HideCondition(PayMode);
    HideCondition(OpMode);
    HideCondition(BuyValue);
    // The install date is one date: the period's end and its two labels go.
    CheckBox(Period)->setText(QStringLiteral("起始日期："));
    if (auto* to = findChild<QDateEdit*>(ControlName(1207))) {
        for (QLabel* label : to->parentWidget()->findChildren<QLabel*>())
            label->hide();
        to->hide();
    }
    if (auto* format = findChild<QPushButton*>(ControlName(1112)))
        format->hide();

    m_daysBox = CreateControl<QCheckBox>(1072);
    m_daysEdit = CreateControl<QLineEdit>(1197);
    m_daysEdit->setValidator(new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9]*")), m_daysEdit));
    const int row = Grid()->rowCount();
    Grid()->addWidget(m_daysBox, row, 0);
    Grid()->addWidget(m_daysEdit, row, 1);
    Grid()->addWidget(new QLabel(QStringLiteral("天没来买电"), this), row, 2);
    connect(m_daysBox, &QCheckBox::clicked, this, [this] { OnCheckDays(); });
}

namespace {

// The meter's own conditions, which the sale conditions name alike; the
// install date rides on the period's start.
template <class From, class To> void copyMeterConditions(const From& from, To& to)
{
    CopyPlaceConditions(from, to);
    to.m_bCardType = from.m_bCardType;
    to.m_bDevType = from.m_bDevType;
    to.m_bMeterNo = from.m_bMeterNo;
    to.m_bOperator = from.m_bOperator;
    to.m_bPhase = from.m_bPhase;
    to.m_bUseNature = from.m_bUseNature;
    to.m_bLevel = from.m_bLevel;
    to.m_bSuperNo = from.m_bSuperNo;
    to.m_meterNo = from.m_meterNo;
    to.m_priceNo = from.m_priceNo;
    to.m_operatorNo = from.m_operatorNo;
    to.m_phase = from.m_phase;
    to.m_devType = from.m_devType;
    to.m_cardType = from.m_cardType;
    to.m_level = from.m_level;
    to.m_superNo = from.m_superNo;
    to.m_priceName = from.m_priceName;
    to.m_operatorName = from.m_operatorName;
}

} // namespace

void CMeterQueryDlg::SetMeterCondition(const CMeterCondition& k)
{
    m_meter = k;
    CSaleCondition s;
    copyMeterConditions(k, s);
    s.m_bPeriod = k.m_bInstallDate;
    s.m_periodFrom = s.m_periodTo = k.m_installDate;
    SetCondition(s);
}

const CMeterCondition& CMeterQueryDlg::GetMeterCondition()
{
    const CSaleCondition& s = GetCondition();
    copyMeterConditions(s, m_meter);
    m_meter.m_bInstallDate = s.m_bPeriod;
    m_meter.m_installDate = s.m_periodFrom;
    return m_meter;
}

bool CMeterQueryDlg::OnInitDialog()
{
    CSaleConditionDlg::OnInitDialog();
    OnCheckDays();
    return true;
}

void CMeterQueryDlg::OnCheckDays()
{
    const bool on = m_daysBox->isChecked();
    m_daysEdit->setReadOnly(!on);
    if (on)
        m_daysEdit->setFocus();
    else
        m_daysEdit->clear();
}

bool CMeterQueryDlg::DoDataExchange(bool save)
{
    CSaleConditionDlg::DoDataExchange(save);
    if (save) {
        m_meter.m_bDays = m_daysBox->isChecked() ? 1 : 0;
        m_meter.m_days = m_daysEdit->text().trimmed();
    } else {
        m_daysBox->setChecked(m_meter.m_bDays != 0);
        m_daysEdit->setText(m_meter.m_days);
    }
    return true;
}

void CMeterQueryDlg::OnOK()
{
    UpdateData(true);
    if (m_meter.m_bDays && m_meter.m_days.isEmpty()) {
        PromptBox(QStringLiteral("请输入天数"), this);
        return;
    }
    // A bound further back than a hundred years finds nothing more, and a
    // far bigger number has no date at all.
    bool fits = false;
    const qlonglong days = m_meter.m_days.toLongLong(&fits);
    if (m_meter.m_bDays && (!fits || days > MaxDaysWithoutPurchase)) {
        PromptBox(QStringLiteral("天没来买电的天数不应大于%1！").arg(MaxDaysWithoutPurchase), this);
        m_daysEdit->setFocus();
        return;
    }
    QDialog::accept();
}
