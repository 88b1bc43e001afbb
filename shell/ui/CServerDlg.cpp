#include "CServerDlg.h"

#include "CKvEdit.h"
#include "CSysPara.h"
#include "KvAdminUi.h"
#include "KvMessage.h"
#include "KvServerConfig.h"
#include "SysGlobals.h"

#include <QFormLayout>
#include <QPushButton>

CServerDlg::CServerDlg(QWidget* parent, const QString& caption) : CKvDialog(225, parent, caption)
{
    m_serverEdit = CreateControl<CKvEdit>(1202);
    QPushButton* ok = MakeConfirmButton(this, QStringLiteral("确认(&O)"));
    QPushButton* cancel = MakeCloseButton(this, 1021, QStringLiteral("取消(&C)"));
    auto* fields = new QFormLayout;
    fields->addRow(QStringLiteral("服务器名称："), m_serverEdit);
    LayOutDialog(this, fields, {}, {ok, cancel});
}

bool CServerDlg::OnInitDialog()
{
    CKvDialog::OnInitDialog();
    m_serverEdit->setText(GetLocalSysPara()->GetStringPara(QStringLiteral("ServerName")));
    return true;
}

void CServerDlg::OnOK()
{
    // The name goes into the connection string as it stands: a ';' or a
    // stray character there would change the connection, not name a server.
    if (const QString refusal = KvServerNameRefusal(m_serverEdit->text()); !refusal.isEmpty()) {
        PromptBox(refusal, this);
        m_serverEdit->setFocus();
        return;
    }
    GetLocalSysPara()->SetStringPara(QStringLiteral("ServerName"), m_serverEdit->text().trimmed());
    QDialog::accept();
}
