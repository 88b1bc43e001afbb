#include "CCliFixEditDlg.h"
#include "CKvEdit.h"

#include "CNumEdit.h"
#include "KvDatePicker.h"
#include "KvDialogLayout.h"
#include "KvMessage.h"
#include "KvNumberCheck.h"
#include "SysGlobals.h"

#include <QCalendarWidget>
#include <QDateEdit>
#include <QFormLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>

CCliFixEditDlg::CCliFixEditDlg(QWidget* parent, const QString& caption)
    : CKvDialog(216, parent, caption), m_BeginDate(GetServerTime()), m_EndDate(GetServerTime()),
      m_setUp(caption == QStringLiteral("设置定额收费项"))
{
    m_nameEdit = CreateControl<CKvEdit>(1066);
    m_nameEdit->setReadOnly(true);
    m_beginEdit = CreateControl<QDateEdit>(1069);
    KvMakeDatePicker(m_beginEdit);
    m_unitsEdit = CreateControl<CNumEdit>(1202);
    m_endEdit = CreateControl<QDateEdit>(1294);
    KvMakeDatePicker(m_endEdit);
    auto* ok = CreateControl<QPushButton>(1000);
    ok->setText(QStringLiteral("确定(&O)"));
    auto* cancel = CreateControl<QPushButton>(1021);
    cancel->setText(QStringLiteral("取消(&C)"));
    BindConfirm(ok);
    BindClose(cancel);
    // Choosing a start day in the calendar goes on to the quantity.
    connect(m_beginEdit->calendarWidget(), &QCalendarWidget::clicked, this,
            [this] { QTimer::singleShot(0, m_unitsEdit, [this] { m_unitsEdit->setFocus(); }); });

    auto* fields = new QFormLayout;
    fields->addRow(QStringLiteral("收费项目："), m_nameEdit);
    fields->addRow(QStringLiteral("起收日期："), m_beginEdit);
    fields->addRow(QStringLiteral("计价数量："), m_unitsEdit);
    fields->addRow(QStringLiteral("停收日期："), m_endEdit);
    KvLayOutFieldsAndButtons(this, fields, {ok, cancel});
}

bool CCliFixEditDlg::OnInitDialog()
{
    CKvDialog::OnInitDialog();
    if (m_setUp) {
        m_endEdit->setEnabled(false);
        m_unitsEdit->SetDecimals(2);
    } else {
        m_beginEdit->setEnabled(false);
        m_unitsEdit->setEnabled(false);
    }
    UpdateData(false);
    (m_setUp ? static_cast<QWidget*>(m_beginEdit) : m_endEdit)->setFocus();
    SetInitDone(1);
    return true;
}

bool CCliFixEditDlg::DoDataExchange(bool saveAndValidate)
{
    if (saveAndValidate) {
        m_Units = m_unitsEdit->text();
        m_BeginDate = QDateTime(m_beginEdit->date(), QTime(0, 0));
        m_EndDate = QDateTime(m_endEdit->date(), QTime(0, 0));
        m_ItemName = m_nameEdit->text();
    } else {
        m_unitsEdit->setText(m_Units);
        m_beginEdit->setDate(m_BeginDate.date());
        m_endEdit->setDate(m_EndDate.date());
        m_nameEdit->setText(m_ItemName);
    }
    return true;
}

void CCliFixEditDlg::OnOK()
{
    UpdateData(true);
    if (m_Units.trimmed().isEmpty()) {
        PromptBox(QStringLiteral("请输入计价数量！"), this);
        m_unitsEdit->setFocus();
        return;
    }
    // A quantity of 0 or below would lower the fee it charges.
    const KvNumberField units{QStringLiteral("计价数量"), 0, 99999999, m_unitsEdit->GetDecimals(), true};
    if (m_setUp && !KvCheckNumberFields(this, {{m_Units, units, m_unitsEdit}}))
        return;
    CKvDialog::OnOK();
}
