#include "CLoginDlg.h"
#include "CKvEdit.h"

#include "KvMessage.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

CLoginDlg::CLoginDlg(QWidget* parent) : CKvDialog(143, parent, QStringLiteral("登录"))
{
    m_codeLabel = CreateControl<QLabel>(1146);
    m_passwordLabel = CreateControl<QLabel>(1147);
    m_codeEdit = CreateControl<CKvEdit>(1031);
    m_passwordEdit = CreateControl<QLineEdit>(1044);
    m_passwordEdit->setEchoMode(QLineEdit::Password);
    m_okButton = CreateControl<QPushButton>(1000);
    m_cancelButton = CreateControl<QPushButton>(1021);
    BindConfirm(m_okButton);
    BindClose(m_cancelButton);

    auto* fields = new QGridLayout;
    fields->addWidget(m_codeLabel, 0, 0);
    fields->addWidget(m_codeEdit, 0, 1);
    fields->addWidget(m_passwordLabel, 1, 0);
    fields->addWidget(m_passwordEdit, 1, 1);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(m_okButton);
    buttons->addWidget(m_cancelButton);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(fields);
    layout->addLayout(buttons);
    setMinimumWidth(280);
}

bool CLoginDlg::OnInitDialog()
{
    CKvDialog::OnInitDialog();
    m_codeEdit->setFocus();
    m_codeLabel->setText(QStringLiteral("操作员代码"));
    m_passwordLabel->setText(QStringLiteral("操作员密码"));
    m_okButton->setText(QStringLiteral("确认(&O)"));
    m_okButton->setDefault(true);
    m_cancelButton->setText(QStringLiteral("取消(&C)"));
    UpdateData(false);
    return false; // the focus stays on the code
}

bool CLoginDlg::DoDataExchange(bool saveAndValidate)
{
    if (saveAndValidate) {
        m_operatorNo = m_codeEdit->text();
        m_operatorPw = m_passwordEdit->text();
    } else {
        m_codeEdit->setText(m_operatorNo);
        m_passwordEdit->setText(m_operatorPw);
    }
    return true;
}

void CLoginDlg::OnOK()
{
    UpdateData(true);
    const QString code = m_operatorNo.trimmed();
    if (code.isEmpty()) {
        PromptBox(QStringLiteral("请输入操作员代码！"), this);
        m_codeEdit->setFocus();
        return;
    }
    m_operatorNo = code;
    m_codeEdit->setText(code);
    QDialog::accept();
}
