#include "CInvoiceNoDlg.h"

#include "CKvEdit.h"
#include "KvMessage.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

CInvoiceNoDlg::CInvoiceNoDlg(QWidget* parent, const QString& caption) : CKvDialog(166, parent, caption)
{
    auto* prompt = new QLabel(QStringLiteral("请输入票据编号："), this);
    m_edit = CreateControl<CKvEdit>(1076);
    auto* ok = CreateControl<QPushButton>(1000);
    ok->setText(QStringLiteral("确认(&O)"));
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, [this] { OnOK(); });

    auto* row = new QHBoxLayout;
    row->addWidget(prompt);
    row->addWidget(m_edit, 1);
    row->addWidget(ok);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(row);
    // 187 x 50 dialog units.
    resize(374, 100);
}

bool CInvoiceNoDlg::OnInitDialog()
{
    CKvDialog::OnInitDialog();
    m_edit->setFocus();
    SetInitDone(1);
    return true;
}

void CInvoiceNoDlg::OnOK()
{
    const QString number = m_edit->text().trimmed();
    if (number.isEmpty() && AskBox(QStringLiteral("票据号为空，继续吗？"), this) != IDYES) {
        m_edit->setFocus();
        return;
    }
    m_invoiceNo = number;
    QDialog::accept();
}
