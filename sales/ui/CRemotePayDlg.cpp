#include "CRemotePayDlg.h"

#include "KvPaymentLayout.h"

#include <QLineEdit>

CRemotePayDlg::CRemotePayDlg(QWidget* parent, const QString& caption) : CKvDialog(191, parent, caption)
{
    m_amount = CreateControl<QLineEdit>(1164);
    m_amount->setReadOnly(true);
    KvLayOutPaymentDialog(*this, {{QStringLiteral("付款额："), m_amount, QStringLiteral("元")}});
}

CRemotePayDlg::~CRemotePayDlg() = default;

bool CRemotePayDlg::DoDataExchange(bool saveAndValidate)
{
    if (saveAndValidate)
        m_strAmount = m_amount->text();
    else
        m_amount->setText(m_strAmount);
    return true;
}
