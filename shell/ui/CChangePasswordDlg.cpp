#include "CChangePasswordDlg.h"

#include "CKvEdit.h"
#include "KvMessage.h"
#include "KvUtil.h"

#include <QFormLayout>
#include <QHBoxLayout>
#include <QPushButton>
#include <QVBoxLayout>

CChangePasswordDlg::CChangePasswordDlg(QWidget* parent, const QString& caption) : CKvDialog(164, parent, caption)
{
    m_oldEdit = CreateControl<CKvEdit>(1139);
    m_newEdit = CreateControl<CKvEdit>(1140);
    m_confirmEdit = CreateControl<CKvEdit>(1141);
    for (CKvEdit* edit : {m_oldEdit, m_newEdit, m_confirmEdit})
        edit->setEchoMode(QLineEdit::Password);
    auto* ok = CreateControl<QPushButton>(1000);
    ok->setText(QStringLiteral("确认(&O)"));
    ok->setDefault(true);
    auto* cancel = CreateControl<QPushButton>(1021);
    cancel->setText(QStringLiteral("取消(&C)"));
    BindConfirm(ok);
    BindClose(cancel);

    auto* fields = new QFormLayout;
    fields->addRow(QStringLiteral("原密码："), m_oldEdit);
    fields->addRow(QStringLiteral("新密码："), m_newEdit);
    fields->addRow(QStringLiteral("确认新密码："), m_confirmEdit);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(ok);
    buttons->addWidget(cancel);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(fields);
    layout->addLayout(buttons);
}

bool CChangePasswordDlg::DoDataExchange(bool saveAndValidate)
{
    if (saveAndValidate) {
        m_oldPassword = m_oldEdit->text();
        m_newPassword = m_newEdit->text();
        m_confirmPassword = m_confirmEdit->text();
    } else {
        m_oldEdit->setText(m_oldPassword);
        m_newEdit->setText(m_newPassword);
        m_confirmEdit->setText(m_confirmPassword);
    }
    return true;
}

void CChangePasswordDlg::OnOK()
{
    UpdateData(true);
    m_newPassword = m_newPassword.trimmed();
    m_confirmPassword = m_confirmPassword.trimmed();
    if (m_newPassword != m_confirmPassword) {
        PromptBox(QStringLiteral("两次输入的新密码不同！"), this);
        m_newEdit->setFocus();
        return;
    }
    if (GbkByteLength(m_newPassword) > 8) {
        PromptBox(QStringLiteral("密码长度不应大于8！"));
        return;
    }
    UpdateData(false);
    QDialog::accept();
}
