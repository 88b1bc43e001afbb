#include "CServerDlg.h"

#include "CKvEdit.h"
#include "CSysPara.h"
#include "KvAdminUi.h"
#include "SysGlobals.h"

#include <QFormLayout>
#include <QHBoxLayout>
#include <QPushButton>
#include <QVBoxLayout>

CServerDlg::CServerDlg(QWidget* parent, const QString& caption) : CKvDialog(225, parent, caption)
{
    m_serverEdit = CreateControl<CKvEdit>(1202);
    QPushButton* ok = MakeDialogButton(this, 1000, QStringLiteral("确认(&O)"));
    ok->setDefault(true);
    QPushButton* cancel = MakeDialogButton(this, 1021, QStringLiteral("取消(&C)"));
    BindConfirm(ok);
    BindClose(cancel);

    auto* fields = new QFormLayout;
    fields->addRow(QStringLiteral("服务器名称："), m_serverEdit);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(ok);
    buttons->addWidget(cancel);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(fields);
    layout->addLayout(buttons);
}

bool CServerDlg::OnInitDialog()
{
    CKvDialog::OnInitDialog();
    m_serverEdit->setText(GetLocalSysPara()->GetStringPara(QStringLiteral("ServerName")));
    return true;
}

void CServerDlg::OnOK()
{
    GetLocalSysPara()->SetStringPara(QStringLiteral("ServerName"), m_serverEdit->text());
    QDialog::accept();
}
