#include "CPaymentDlg.h"

#include "CNumEdit.h"
#include "CSysPara.h"
#include "KvPaymentLayout.h"
#include "SysGlobals.h"

#include <QLabel>
#include <QLineEdit>

CPaymentDlg::CPaymentDlg(QWidget* parent, const QString& caption)
    : CKvDialog(173, parent, caption), m_strLabel1(QStringLiteral("应付款：")), m_strLabel2(QStringLiteral("交款额："))
{
    m_paid = CreateControl<CNumEdit>(1164);
    m_due = CreateControl<QLineEdit>(1163);
    m_due->setReadOnly(true);
    m_label1 = CreateControl<QLabel>(1165);
    m_label2 = CreateControl<QLabel>(1166);
    KvLayOutPaymentDialog(*this, {{QString(), m_due, QStringLiteral("元"), m_label1},
                                  {QString(), m_paid, QStringLiteral("元"), m_label2}});
}

CPaymentDlg::~CPaymentDlg() = default;

bool CPaymentDlg::OnInitDialog()
{
    CKvDialog::OnInitDialog();
    m_paid->SetDecimals(10);
    const bool byMoney =
        GetMainSysPara()->GetBuyUnit() == QStringLiteral("元") && m_strLabel1 == QStringLiteral("应付款：");
    if (byMoney || GetCaption() == QStringLiteral("输入退款额") || m_strMode == QStringLiteral("返卡退费"))
        m_paid->setReadOnly(true);
    m_paid->setFocus();
    SetInitDone(1);
    return true;
}

bool CPaymentDlg::DoDataExchange(bool saveAndValidate)
{
    if (saveAndValidate) {
        m_strPaid = m_paid->text();
        m_strDue = m_due->text();
    } else {
        m_paid->setText(m_strPaid);
        m_due->setText(m_strDue);
        m_label1->setText(m_strLabel1);
        m_label2->setText(m_strLabel2);
    }
    return true;
}
