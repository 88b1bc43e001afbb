#include "CPurchaseInputDlg.h"

#include "CNumEdit.h"
#include "COperator.h"
#include "CSysPara.h"
#include "CurrentOperator.h"
#include "KvMessage.h"
#include "KvNumberCheck.h"
#include "SysGlobals.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpressionValidator>
#include <QVBoxLayout>

namespace {

constexpr int kRightSubsidy = 110; // 补助处理

// Empty, or a decimal point without a digit before it.
bool Unset(const QString& text)
{
    return text.isEmpty() || text.startsWith(u'.');
}

} // namespace

CPurchaseInputDlg::CPurchaseInputDlg(QWidget* parent, const QString& caption) : CKvDialog(224, parent, caption)
{
    m_transLoss = CreateControl<CNumEdit>(1036);
    m_purchase = CreateControl<CNumEdit>(1029);
    m_unit = CreateControl<QLabel>(1038);
    m_formula = CreateControl<QLabel>(1037);
    m_subsidy = CreateControl<QLineEdit>(1019);
    m_subsidy->setValidator(new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9]*")), m_subsidy));

    auto* grid = new QGridLayout;
    grid->addWidget(new QLabel(QStringLiteral("实际变损："), this), 0, 0);
    grid->addWidget(m_transLoss, 0, 1);
    grid->addWidget(new QLabel(QStringLiteral("度"), this), 0, 2);
    auto* formula = new QHBoxLayout;
    formula->addWidget(new QLabel(QStringLiteral("变损 = 实用天数 X "), this));
    formula->addWidget(m_formula);
    formula->addStretch();
    grid->addLayout(formula, 1, 1, 1, 2);
    grid->addWidget(new QLabel(QStringLiteral("申 购 量："), this), 2, 0);
    grid->addWidget(m_purchase, 2, 1);
    grid->addWidget(m_unit, 2, 2);
    grid->addWidget(new QLabel(QStringLiteral("补 助 量："), this), 3, 0);
    grid->addWidget(m_subsidy, 3, 1);
    grid->addWidget(new QLabel(QStringLiteral("度"), this), 3, 2);

    auto* ok = CreateControl<QPushButton>(1000);
    ok->setText(QStringLiteral("确认(&O)"));
    BindConfirm(ok);
    auto* cancel = CreateControl<QPushButton>(1021);
    cancel->setText(QStringLiteral("取消(&C)"));
    BindClose(cancel);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(ok);
    buttons->addWidget(cancel);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(grid);
    layout->addLayout(buttons);
}

CPurchaseInputDlg::~CPurchaseInputDlg() = default;

bool CPurchaseInputDlg::OnInitDialog()
{
    CKvDialog::OnInitDialog();
    m_transLoss->SetDecimals(10);
    m_purchase->SetDecimals(10);
    const COperator* op = GetCurrentOperator();
    if (!op || !op->HasRight(kRightSubsidy))
        m_subsidy->setReadOnly(true);
    if (GetMainSysPara()->GetTransLossFlag() != QStringLiteral("是"))
        m_transLoss->setReadOnly(true);
    if (GetCaption() != QStringLiteral("输入申购量")) {
        m_purchase->setReadOnly(true);
        m_subsidy->setReadOnly(true);
        m_transLoss->setFocus();
    } else {
        m_purchase->setFocus();
    }
    SetInitDone(1);
    return true;
}

bool CPurchaseInputDlg::DoDataExchange(bool saveAndValidate)
{
    if (saveAndValidate) {
        m_strTransLoss = m_transLoss->text();
        m_strPurchase = m_purchase->text();
        m_strSubsidy = m_subsidy->text();
    } else {
        m_transLoss->setText(m_strTransLoss);
        m_purchase->setText(m_strPurchase);
        m_unit->setText(m_strUnit);
        m_formula->setText(m_strFormula);
        m_subsidy->setText(m_strSubsidy);
    }
    return true;
}

void CPurchaseInputDlg::OnOK()
{
    UpdateData(true);
    m_strTransLoss = m_strTransLoss.trimmed();
    // A loss below 0 would lower the charge of the sale: refused as unset.
    if (Unset(m_strTransLoss) || CNumEdit::TextToDouble(m_strTransLoss) < 0) {
        PromptBox(QStringLiteral("请输入变损！"), this);
        m_transLoss->setFocus();
        return;
    }
    m_strPurchase = m_strPurchase.trimmed();
    // Nor is a purchase of money below 0: it would buy from the balance. One
    // in kWh is refused by the purchase itself, as too small for the subsidy.
    const bool byMoney = m_strUnit != QStringLiteral("度");
    if (Unset(m_strPurchase) || (byMoney && CNumEdit::TextToDouble(m_strPurchase) < 0)) {
        PromptBox(QStringLiteral("请输入申购量！"), this);
        m_purchase->setFocus();
        return;
    }
    if (m_strSubsidy.isEmpty()) {
        PromptBox(QStringLiteral("请输入补助量！"), this);
        m_subsidy->setFocus();
        return;
    }
    // Read whole and within a range, a subsidy never overflows to 0.
    if (!KvCheckNumberFields(this, {{m_strSubsidy, {QStringLiteral("补助量"), 0, 99999999}, m_subsidy}}))
        return;
    CKvDialog::OnOK();
}
