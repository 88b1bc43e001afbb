#include "CFindClientDlg.h"
#include "CKvEdit.h"

#include "KvDialogLayout.h"

#include <QGridLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>

CFindClientDlg::CFindClientDlg(QWidget* parent, const QString& caption) : CKvDialog(157, parent, caption)
{
    const int radioIds[3] = {1089, 1091, 1160};
    const QString labels[3] = {QStringLiteral("用户代码："), QStringLiteral("电表编号："),
                               QStringLiteral("用户姓名：")};
    for (int i = 0; i < 3; ++i) {
        m_radios[i] = CreateControl<QRadioButton>(radioIds[i]);
        m_radios[i]->setText(labels[i]);
        connect(m_radios[i], &QRadioButton::clicked, this, [this, i] { OnMode(i); });
    }
    m_clientNoEdit = CreateControl<CKvEdit>(1002);
    m_meterNoEdit = CreateControl<CKvEdit>(1105);
    m_clientNameEdit = CreateControl<CKvEdit>(1009);
    auto* ok = CreateControl<QPushButton>(1000);
    ok->setText(QStringLiteral("确认(&O)"));
    auto* cancel = CreateControl<QPushButton>(1021);
    cancel->setText(QStringLiteral("取消(&C)"));
    BindConfirm(ok);
    BindClose(cancel);

    auto* fields = new QGridLayout;
    QLineEdit* edits[3] = {m_clientNoEdit, m_meterNoEdit, m_clientNameEdit};
    for (int i = 0; i < 3; ++i) {
        fields->addWidget(m_radios[i], i, 0);
        fields->addWidget(edits[i], i, 1);
    }
    KvLayOutFieldsAndButtons(this, fields, {ok, cancel});
}

bool CFindClientDlg::OnInitDialog()
{
    CKvDialog::OnInitDialog();
    OnMode(m_SearchMode == ByClientNo || m_SearchMode == ByMeterNo ? m_SearchMode : ByClientName);
    SetInitDone(1);
    return true;
}

void CFindClientDlg::OnMode(int mode)
{
    m_SearchMode = mode;
    QLineEdit* edits[3] = {m_clientNoEdit, m_meterNoEdit, m_clientNameEdit};
    for (int i = 0; i < 3; ++i)
        edits[i]->setEnabled(i == mode);
    UpdateData(false);
    edits[mode]->setFocus();
}

bool CFindClientDlg::DoDataExchange(bool saveAndValidate)
{
    if (saveAndValidate) {
        m_SearchMode = -1;
        for (int i = 0; i < 3; ++i)
            if (m_radios[i]->isChecked())
                m_SearchMode = i;
        m_ClientNo = m_clientNoEdit->text();
        m_MeterNo = m_meterNoEdit->text();
        m_ClientName = m_clientNameEdit->text();
    } else {
        for (int i = 0; i < 3; ++i)
            m_radios[i]->setChecked(i == m_SearchMode);
        m_clientNoEdit->setText(m_ClientNo);
        m_meterNoEdit->setText(m_MeterNo);
        m_clientNameEdit->setText(m_ClientName);
    }
    return true;
}
