#include "CDevicePortDlg.h"

#include "CKvComboBox.h"
#include "CSysPara.h"
#include "KvGuard.h"
#include "SysGlobals.h"

#include <QCloseEvent>

CDevicePortDlg::CDevicePortDlg(int resource, QWidget* parent, const QString& caption)
    : CKvDialog(resource, parent, caption)
{
    m_portList = CreateControl<CKvComboBox>(1136);
    for (int i = 1; i <= 20; ++i)
        m_portList->addItem(QStringLiteral("com%1").arg(i));
}

bool CDevicePortDlg::OnInitDialog()
{
    CKvDialog::OnInitDialog();
    m_port = GetLocalSysPara()->GetIntPara(QStringLiteral("BravikCom"));
    UpdateData(false);
    return true;
}

bool CDevicePortDlg::DoDataExchange(bool saveAndValidate)
{
    if (saveAndValidate)
        m_port = m_portList->currentIndex();
    else
        m_portList->setCurrentIndex(m_port >= 0 && m_port < m_portList->count() ? m_port : -1);
    return true;
}

void CDevicePortDlg::OnClose()
{
    UpdateData(true);
    GetLocalSysPara()->SetIntPara(QStringLiteral("BravikCom"), m_port);
}

void CDevicePortDlg::closeEvent(QCloseEvent* event)
{
    // Only the window's close box comes here: Escape and 返回 store nothing.
    if (isVisible())
        KvGuard([this] { OnClose(); }, this);
    CKvDialog::closeEvent(event);
}
