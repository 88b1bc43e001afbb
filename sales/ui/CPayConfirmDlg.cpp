#include "CPayConfirmDlg.h"

#include "KvPaymentLayout.h"

#include <QLineEdit>

CPayConfirmDlg::CPayConfirmDlg(QWidget* parent, const QString& caption) : CKvDialog(192, parent, caption)
{
    m_due = CreateControl<QLineEdit>(1163);
    m_due->setReadOnly(true);
    m_paid = CreateControl<QLineEdit>(1164);
    m_paid->setReadOnly(true);
    KvLayOutPaymentDialog(*this, {{QStringLiteral("应付款："), m_due, QStringLiteral("元")},
                                  {QStringLiteral("交款额："), m_paid, QStringLiteral("元")}});
}

CPayConfirmDlg::~CPayConfirmDlg() = default;

bool CPayConfirmDlg::DoDataExchange(bool saveAndValidate)
{
    if (saveAndValidate) {
        m_strDue = m_due->text();
        m_strPaid = m_paid->text();
    } else {
        m_due->setText(m_strDue);
        m_paid->setText(m_strPaid);
    }
    return true;
}
