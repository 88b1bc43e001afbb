#include "CSubReadingDlg.h"

#include "CNumEdit.h"
#include "KvDatePicker.h"
#include "KvMessage.h"
#include "KvNumberCheck.h"
#include "KvSaleDialogButtons.h"
#include "SysGlobals.h"

#include <QDateTimeEdit>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QVBoxLayout>

CSubReadingDlg::CSubReadingDlg(QWidget* parent, const QString& caption)
    : CKvDialog(187, parent, caption), m_ReadDate(GetServerTime())
{
    m_thisRead = CreateControl<CNumEdit>(1202);
    m_date = CreateControl<QDateTimeEdit>(1278);
    KvMakeDatePicker(m_date);
    m_subNo = CreateControl<QLineEdit>(1185);
    m_subNo->setReadOnly(true);
    m_lastRead = CreateControl<CNumEdit>(1161);
    m_lastRead->setReadOnly(true);

    auto* form = new QFormLayout;
    form->addRow(QStringLiteral("本期读数："), m_thisRead);
    form->addRow(QStringLiteral("抄表日期："), m_date);
    form->addRow(QStringLiteral("附表号："), m_subNo);
    form->addRow(QStringLiteral("上期读数："), m_lastRead);

    QHBoxLayout* buttons = MakeConfirmCancelRow(*this, QStringLiteral("确定(&O)"));

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addLayout(buttons);
}

bool CSubReadingDlg::OnInitDialog()
{
    CKvDialog::OnInitDialog();
    m_thisRead->SetDecimals(4);
    m_lastRead->SetDecimals(4);
    m_thisRead->setFocus();
    SetInitDone(1);
    return true;
}

bool CSubReadingDlg::DoDataExchange(bool saveAndValidate)
{
    if (saveAndValidate) {
        m_strThisRead = m_thisRead->text();
        m_ReadDate = m_date->dateTime();
        m_strSubNo = m_subNo->text();
        m_strLastRead = m_lastRead->text();
    } else {
        m_thisRead->setText(m_strThisRead);
        m_date->setDateTime(m_ReadDate);
        m_subNo->setText(m_strSubNo);
        m_lastRead->setText(m_strLastRead);
    }
    return true;
}

void CSubReadingDlg::OnOK()
{
    UpdateData(true);
    if (m_strThisRead.isEmpty()) {
        PromptBox(QStringLiteral("请输入本期读数！"), this);
        m_thisRead->setFocus();
        return;
    }
    // A lone sign or point is no reading (it would read as 0), nor is a
    // number beyond the range.
    if (!KvCheckNumberFields(this, {{m_strThisRead, {QStringLiteral("本期读数"), 0, 99999999, 4}, m_thisRead}}))
        return;
    CKvDialog::OnOK();
}
