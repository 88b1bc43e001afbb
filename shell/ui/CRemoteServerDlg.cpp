#include "CRemoteServerDlg.h"

#include "CKvEdit.h"
#include "KvAdminUi.h"

#include <QFormLayout>
#include <QPushButton>

CRemoteServerDlg::CRemoteServerDlg(QWidget* parent, const QString& caption) : CKvDialog(209, parent, caption)
{
    m_addressEdit = CreateControl<CKvEdit>(1168);
    m_addressEdit->setMaxLength(MaxAddressBytes);
    m_portEdit = CreateControl<CKvEdit>(1169);
    m_portEdit->setMaxLength(MaxPortBytes);
    QPushButton* ok = MakeConfirmButton(this, QStringLiteral("确认(&O)"));
    auto* fields = new QFormLayout;
    fields->addRow(QStringLiteral("远程计算机IP地址："), m_addressEdit);
    fields->addRow(QStringLiteral("远程计算机监听端口"), m_portEdit);
    LayOutDialog(this, fields, {}, {ok});
}

bool CRemoteServerDlg::DoDataExchange(bool saveAndValidate)
{
    if (saveAndValidate) {
        m_address = m_addressEdit->text();
        m_port = m_portEdit->text();
    } else {
        m_addressEdit->setText(m_address);
        m_portEdit->setText(m_port);
    }
    return true;
}
