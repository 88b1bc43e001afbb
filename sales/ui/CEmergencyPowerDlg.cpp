#include "CEmergencyPowerDlg.h"

#include "KvAdminUi.h"
#include "KvMessage.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpressionValidator>
#include <QVBoxLayout>

CEmergencyPowerDlg::CEmergencyPowerDlg(QWidget* parent, const QString& caption) : CKvDialog(229, parent, caption)
{
    m_powerEdit = CreateControl<QLineEdit>(1202);
    m_powerEdit->setValidator(new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9]*")), this));
    QPushButton* ok = MakeConfirmButton(this, QStringLiteral("确定"));
    QPushButton* cancel = MakeCloseButton(this, 1021, QStringLiteral("取消"));

    auto* row = new QHBoxLayout;
    row->addWidget(new QLabel(QStringLiteral("应急电量："), this));
    row->addWidget(m_powerEdit);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(ok);
    buttons->addWidget(cancel);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(row);
    layout->addLayout(buttons);
}

bool CEmergencyPowerDlg::DoDataExchange(bool saveAndValidate)
{
    if (saveAndValidate)
        m_strPower = m_powerEdit->text();
    else
        m_powerEdit->setText(m_strPower);
    return true;
}

void CEmergencyPowerDlg::OnOK()
{
    UpdateData(true);
    if (m_strPower.isEmpty()) {
        PromptBox(QStringLiteral("请输入应急电量！"), this);
        m_powerEdit->setFocus();
        return;
    }
    // A number too long for an integer is no small amount either.
    bool ok = false;
    const qlonglong power = m_strPower.toLongLong(&ok);
    if (!ok || power >= 50) {
        PromptBox(QStringLiteral("应急电量应小于50"), this);
        m_powerEdit->setFocus();
        return;
    }
    accept();
}
