#include "CSetCardDlg.h"

#include "KvAdminUi.h"
#include "KvMessage.h"
#include "KvNumberCheck.h"

#include <QButtonGroup>
#include <QComboBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpressionValidator>
#include <QVBoxLayout>

CSetCardDlg::CSetCardDlg(QWidget* parent, const QString& caption) : CKvDialog(230, parent, caption)
{
    m_outState = CreateControl<QComboBox>(1080);
    m_outState->addItem(QStringLiteral("常闭"));
    m_outState->addItem(QStringLiteral("常开"));
    auto* digits = new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9]*")), this);
    const auto edit = [this, digits](int id) {
        auto* e = CreateControl<QLineEdit>(id);
        e->setValidator(digits);
        return e;
    };
    m_pulses = edit(1078);
    m_limit = edit(1202);
    m_cutOff = edit(1342);
    m_alarm = edit(1341);
    m_meterType = CreateControl<QRadioButton>(1089);
    m_meterType->setText(QStringLiteral("预付费电表"));
    m_controllerType = CreateControl<QRadioButton>(1091);
    m_controllerType->setText(QStringLiteral("预付费控制器"));
    auto* group = new QButtonGroup(this);
    group->addButton(m_meterType);
    group->addButton(m_controllerType);
    connect(m_meterType, &QRadioButton::clicked, this, [this] { OnMeterType(); });
    connect(m_controllerType, &QRadioButton::clicked, this, [this] { OnControllerType(); });

    QPushButton* ok = MakeConfirmButton(this, QStringLiteral("确定"));
    QPushButton* cancel = MakeCloseButton(this, 1021, QStringLiteral("取消"));

    auto* types = new QHBoxLayout;
    types->addWidget(m_meterType);
    types->addWidget(m_controllerType);
    auto* form = new QFormLayout;
    form->addRow(QStringLiteral("设备类型："), types);
    form->addRow(QStringLiteral("限电值(A)："), m_limit);
    form->addRow(QStringLiteral("告警门限(度)："), m_alarm);
    form->addRow(QStringLiteral("断电门限(度)："), m_cutOff);
    form->addRow(QStringLiteral("脉冲常数："), m_pulses);
    form->addRow(QStringLiteral("输出状态："), m_outState);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(ok);
    buttons->addWidget(cancel);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addLayout(buttons);
}

bool CSetCardDlg::OnInitDialog()
{
    // Without a type the controller's card would go out with no output
    // state: the dialog starts on the prepaid meter.
    if (m_nDevType < 0)
        m_nDevType = PrepaidMeter;
    CKvDialog::OnInitDialog();
    if (m_nDevType == PrepaidController)
        OnControllerType();
    else
        OnMeterType();
    SetInitDone(1);
    return true;
}

bool CSetCardDlg::DoDataExchange(bool saveAndValidate)
{
    const std::pair<QLineEdit*, QString*> edits[] = {
        {m_alarm, &m_strAlarm}, {m_cutOff, &m_strCutOff}, {m_limit, &m_strLimit}, {m_pulses, &m_strPulses}};
    for (const auto& [control, text] : edits) {
        if (saveAndValidate)
            *text = control->text();
        else
            control->setText(*text);
    }
    if (saveAndValidate) {
        m_nOutState = m_outState->currentIndex();
        m_nDevType = m_meterType->isChecked() ? PrepaidMeter : m_controllerType->isChecked() ? PrepaidController : -1;
    } else {
        m_outState->setCurrentIndex(m_nOutState);
        m_meterType->setChecked(m_nDevType == PrepaidMeter);
        m_controllerType->setChecked(m_nDevType == PrepaidController);
    }
    return true;
}

void CSetCardDlg::OnMeterType()
{
    m_limit->setEnabled(true);
    m_alarm->setEnabled(true);
    m_cutOff->setEnabled(true);
    m_pulses->setEnabled(false);
    m_outState->setEnabled(false);
    m_limit->setFocus();
}

void CSetCardDlg::OnControllerType()
{
    m_limit->setEnabled(false);
    m_alarm->setEnabled(true);
    m_cutOff->setEnabled(true);
    m_pulses->setEnabled(true);
    m_outState->setEnabled(true);
    m_alarm->setFocus();
}

bool CSetCardDlg::Refuse(const QString& text, QWidget* focus)
{
    PromptBox(text, this);
    focus->setFocus();
    return false;
}

void CSetCardDlg::OnOK()
{
    UpdateData(true);
    if (m_nDevType == PrepaidMeter && m_strLimit.isEmpty())
        return (void)Refuse(QStringLiteral("请输入限电值！"), m_limit);
    if (m_strAlarm.isEmpty())
        return (void)Refuse(QStringLiteral("请输入告警门限！"), m_alarm);
    if (m_strCutOff.isEmpty())
        return (void)Refuse(QStringLiteral("请输入断电门限！"), m_cutOff);
    if (m_nDevType == PrepaidController && m_strPulses.isEmpty())
        return (void)Refuse(QStringLiteral("请输入脉冲常数！"), m_pulses);
    if (m_nDevType == PrepaidController && m_nOutState < 0)
        return (void)Refuse(QStringLiteral("请选择输出状态！"), m_outState);
    // Each value must fit its field of the card (three digits, two for the
    // cut-off, four for the pulse constant): a wider one would be cut short.
    // A field the device type leaves unused is not checked.
    const QString limit = m_nDevType == PrepaidMeter ? m_strLimit : QStringLiteral("0");
    const QString pulses = m_nDevType == PrepaidController ? m_strPulses : QStringLiteral("0");
    if (!KvCheckNumberFields(this, {
                                       {limit, {QStringLiteral("限电值"), 0, 999}, m_limit},
                                       {m_strAlarm, {QStringLiteral("告警门限"), 0, 999}, m_alarm},
                                       {m_strCutOff, {QStringLiteral("断电门限"), 0, 99}, m_cutOff},
                                       {pulses, {QStringLiteral("脉冲常数"), 0, 9999}, m_pulses},
                                   }))
        return;
    accept();
}
