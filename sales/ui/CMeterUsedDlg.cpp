#include "CMeterUsedDlg.h"

#include "CNumEdit.h"
#include "KvMessage.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

CMeterUsedDlg::CMeterUsedDlg(QWidget* parent, const QString& caption) : CKvDialog(198, parent, caption)
{
    m_used = CreateControl<CNumEdit>(1158);
    auto* ok = CreateControl<QPushButton>(1000);
    ok->setText(QStringLiteral("确认(&O)"));
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, [this] { OnOK(); });
    auto* cancel = CreateControl<QPushButton>(1021);
    cancel->setText(QStringLiteral("取消(&C)"));
    BindClose(cancel);

    auto* row = new QHBoxLayout;
    row->addWidget(new QLabel(QStringLiteral("表上已用电量："), this));
    row->addWidget(m_used);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(ok);
    buttons->addWidget(cancel);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(row);
    layout->addLayout(buttons);
}

CMeterUsedDlg::~CMeterUsedDlg() = default;

bool CMeterUsedDlg::OnInitDialog()
{
    CKvDialog::OnInitDialog();
    m_used->SetDecimals(10);
    m_used->setFocus();
    return true;
}

void CMeterUsedDlg::OnOK()
{
    UpdateData(true);
    if (m_strUsed.trimmed().isEmpty()) {
        PromptBox(QStringLiteral("请输入表底读数！"), this);
        m_used->setFocus();
        return;
    }
    EndDialog(IDOK);
}

bool CMeterUsedDlg::DoDataExchange(bool saveAndValidate)
{
    if (saveAndValidate)
        m_strUsed = m_used->text();
    else
        m_used->setText(m_strUsed);
    return true;
}
