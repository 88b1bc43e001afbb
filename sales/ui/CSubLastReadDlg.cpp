#include "CSubLastReadDlg.h"

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

CSubLastReadDlg::CSubLastReadDlg(QWidget* parent, const QString& caption)
    : CKvDialog(220, parent, caption), m_LastReadDate(GetServerTime())
{
    m_date = CreateControl<QDateTimeEdit>(1276);
    KvMakeDatePicker(m_date);
    m_pulses = CreateControl<QLineEdit>(1271);
    m_read = CreateControl<QLineEdit>(1187);
    m_subNo = CreateControl<QLineEdit>(1185);
    m_subNo->setReadOnly(true);

    auto* form = new QFormLayout;
    form->addRow(QStringLiteral("附表编号："), m_subNo);
    form->addRow(QStringLiteral("上次抄表日："), m_date);
    form->addRow(QStringLiteral("上次脉冲数："), m_pulses);
    form->addRow(QStringLiteral("上次抄量："), m_read);

    QHBoxLayout* buttons = MakeConfirmCancelRow(*this, QStringLiteral("确认(&O)"));

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addLayout(buttons);
}

bool CSubLastReadDlg::OnInitDialog()
{
    CKvDialog::OnInitDialog();
    m_read->setFocus();
    SetInitDone(1);
    return true;
}

bool CSubLastReadDlg::DoDataExchange(bool saveAndValidate)
{
    if (saveAndValidate) {
        m_LastReadDate = m_date->dateTime();
        m_strLastPulses = m_pulses->text();
        m_strLastRead = m_read->text();
        m_strSubNo = m_subNo->text();
    } else {
        m_date->setDateTime(m_LastReadDate);
        m_pulses->setText(m_strLastPulses);
        m_read->setText(m_strLastRead);
        m_subNo->setText(m_strSubNo);
    }
    return true;
}

void CSubLastReadDlg::OnOK()
{
    UpdateData(true);
    if (m_strLastRead.isEmpty()) {
        PromptBox(QStringLiteral("请输入上次抄数！"), this);
        m_read->setFocus();
        return;
    }
    if (m_strLastPulses.isEmpty()) {
        PromptBox(QStringLiteral("请输入上次脉冲数！"), this);
        m_pulses->setFocus();
        return;
    }
    // The archive takes them as read here: a text that is not wholly a number
    // of its field's range is refused by name, never stored as 0, cut or inf.
    if (!KvCheckNumberFields(this, {{m_strLastRead, {QStringLiteral("上次抄量"), 0, 99999999, 4}, m_read},
                                    {m_strLastPulses, {QStringLiteral("上次脉冲数"), 0, 99999999}, m_pulses}}))
        return;
    CKvDialog::OnOK();
}
