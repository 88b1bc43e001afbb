#include "CCodeNameEditDlg.h"

#include "CKvEdit.h"
#include "KvMessage.h"

#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

CCodeNameEditDlg::CCodeNameEditDlg(int templateId, QWidget* parent, const QString& caption,
                                   const QString& modifyCaption, const Controls& controls, const Rules& rules)
    : CKvDialog(templateId, parent, caption), m_modify(caption == modifyCaption), m_controls(controls), m_rules(rules)
{
    m_codeEdit = CreateControl<CKvEdit>(controls.codeId);
    m_nameEdit = CreateControl<CKvEdit>(controls.nameId);
    m_codeLabel = controls.codeLabelId >= 0 ? CreateControl<QLabel>(controls.codeLabelId) : new QLabel(this);
    m_nameLabel = controls.nameLabelId >= 0 ? CreateControl<QLabel>(controls.nameLabelId) : new QLabel(this);
    if (controls.codeLabelId < 0)
        m_codeLabel->setText(controls.codeLabel);
    if (controls.nameLabelId < 0)
        m_nameLabel->setText(controls.nameLabel);
    m_save = CreateControl<QPushButton>(1020);
    m_save->setText(QStringLiteral("保存(&S)"));
    m_cancel = CreateControl<QPushButton>(1021);
    m_cancel->setText(QStringLiteral("取消(&C)"));
    BindConfirm(m_save);
    BindClose(m_cancel);

    m_form = new QFormLayout;
    m_form->addRow(m_codeLabel, m_codeEdit);
    m_form->addRow(m_nameLabel, m_nameEdit);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(m_save);
    buttons->addWidget(m_cancel);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(m_form);
    layout->addLayout(buttons);
}

bool CCodeNameEditDlg::OnInitDialog()
{
    CKvDialog::OnInitDialog();
    m_codeEdit->setEnabled(!m_modify);
    (m_modify ? m_nameEdit : m_codeEdit)->setFocus();
    // Numbered labels are named by the dialog itself.
    if (m_controls.codeLabelId >= 0)
        m_codeLabel->setText(m_controls.codeLabel);
    if (m_controls.nameLabelId >= 0)
        m_nameLabel->setText(m_controls.nameLabel);
    UpdateData(false);
    SetInitDone(1);
    return false; // the focus is set
}

bool CCodeNameEditDlg::DoDataExchange(bool saveAndValidate)
{
    if (saveAndValidate) {
        m_strCode = m_codeEdit->text();
        m_strName = m_nameEdit->text();
    } else {
        m_codeEdit->setText(m_strCode);
        m_nameEdit->setText(m_strName);
    }
    return true;
}

bool CCodeNameEditDlg::Refuse(const QString& text, QWidget* focus)
{
    PromptBox(text);
    focus->setFocus();
    return false;
}

void CCodeNameEditDlg::OnOK()
{
    UpdateData(true);
    if (!CheckBeforeCode())
        return;
    m_strCode = m_strCode.trimmed();
    if (const QString refusal = KvCodeRefusal(m_strCode, m_rules.code); !refusal.isEmpty()) {
        Refuse(refusal, m_codeEdit);
        return;
    }
    m_strName = m_strName.trimmed();
    if (const QString refusal = KvNameRefusal(m_strName, m_rules.nameEmptyText, m_rules.nameTooLongText);
        !refusal.isEmpty()) {
        Refuse(refusal, m_nameEdit);
        return;
    }
    UpdateData(false);
    QDialog::accept();
}
