#include "CPreModelEditDlg.h"

#include "CKvComboBox.h"
#include "CKvEdit.h"
#include "CNumEdit.h"
#include "CPreModel.h"
#include "KvAdminUi.h"
#include "KvMessage.h"
#include "KvNumberCheck.h"
#include "KvNumberInput.h"

#include <QCheckBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

const QString kYes = QStringLiteral("是");
const QString kNo = QStringLiteral("否");

void selectExactly(CKvComboBox* combo, const QString& text)
{
    combo->setCurrentIndex(combo->findText(text, Qt::MatchExactly | Qt::MatchCaseSensitive));
}

} // namespace

CPreModelEditDlg::CPreModelEditDlg(QWidget* parent, const QString& caption) : CKvDialog(177, parent, caption)
{
    m_idEdit = CreateControl<CKvEdit>(1138);
    m_modelEdit = CreateControl<CKvEdit>(1024);
    m_specEdit = CreateControl<CKvEdit>(1026);
    m_devCombo = CreateControl<CKvComboBox>(1238);
    m_devCombo->addItems({QStringLiteral("预付费电表"), QStringLiteral("预付费控制器")});
    m_cardCombo = CreateControl<CKvComboBox>(1153);
    m_cardCombo->addItems({QStringLiteral("红外遥控卡"), QStringLiteral("IC钥匙卡"), QStringLiteral("IC片卡")});
    m_innerMulEdit = CreateControl<CKvEdit>(1025);
    m_phaseCombo = CreateControl<CKvComboBox>(1241);
    m_phaseCombo->addItems({QStringLiteral("单相二线"), QStringLiteral("三相四线"), QStringLiteral("三相三线")});
    m_baseEdit = CreateControl<CKvEdit>(1031);
    m_maxEdit = CreateControl<CKvEdit>(1027);
    m_minEdit = CreateControl<CKvEdit>(1028);
    KvAcceptDigitsOnly(m_innerMulEdit, QStringLiteral("内部倍率"));
    KvAcceptDigitsOnly(m_maxEdit, QStringLiteral("最大限电流"));
    m_ctCheck = CreateControl<QCheckBox>(1070);
    m_ctCheck->setText(QStringLiteral("可外接CT"));
    m_ptCheck = CreateControl<QCheckBox>(1071);
    m_ptCheck->setText(QStringLiteral("可外接PT"));
    QPushButton* ok = MakeConfirmButton(this, QStringLiteral("确认(&O)"));
    QPushButton* cancel = MakeCloseButton(this, 1021, QStringLiteral("取消(&C)"));

    auto* fields = new QFormLayout;
    fields->addRow(QStringLiteral("型    别："), m_idEdit);
    fields->addRow(QStringLiteral("表    型："), m_modelEdit);
    fields->addRow(QStringLiteral("规    格："), m_specEdit);
    fields->addRow(QStringLiteral("设备类型："), m_devCombo);
    fields->addRow(QStringLiteral("通讯方式："), m_cardCombo);
    fields->addRow(QStringLiteral("内部倍率："), m_innerMulEdit);
    fields->addRow(QStringLiteral("相    线："), m_phaseCombo);
    fields->addRow(QStringLiteral("基本电流："), m_baseEdit);
    fields->addRow(QStringLiteral("最大限电流："), m_maxEdit);
    fields->addRow(QStringLiteral("最小限电流："), m_minEdit);
    auto* checks = new QHBoxLayout;
    checks->addWidget(m_ctCheck);
    checks->addWidget(m_ptCheck);
    auto* body = new QVBoxLayout;
    body->addLayout(fields);
    body->addLayout(checks);
    LayOutDialog(this, body, {}, {ok, cancel});
}

void CPreModelEditDlg::SetFrom(const CPreModel& model)
{
    m_strModelId = model.GetModelId();
    m_strModel = model.GetModel();
    m_strSpec = model.GetSpec();
    m_strInnerMul = QString::asprintf("%d", model.GetInnerMul());
    m_strDevType = model.GetDevType();
    m_strCardType = model.GetCardType();
    m_strPhase = model.GetPhase();
    m_strBaseValue = QString::asprintf("%0.1f", model.GetBaseValue());
    m_strMaxLimit = QString::asprintf("%0.1f", model.GetMaxLimit());
    m_strMinLimit = QString::asprintf("%0.1f", model.GetMinLimit());
    m_bCt = model.GetbCt();
    m_bPt = model.GetbPt();
}

void CPreModelEditDlg::CopyTo(CPreModel& model) const
{
    model.SetModelId(m_strModelId);
    model.SetModel(m_strModel);
    model.SetSpec(m_strSpec);
    model.SetInnerMul(m_strInnerMul.toInt());
    model.SetDevType(m_strDevType);
    model.SetCardType(m_strCardType);
    model.SetPhase(m_strPhase);
    model.SetBaseValue(CNumEdit::TextToDouble(m_strBaseValue));
    model.SetMaxLimit(CNumEdit::TextToDouble(m_strMaxLimit));
    model.SetMinLimit(CNumEdit::TextToDouble(m_strMinLimit));
    model.SetbCt(m_bCt);
    model.SetbPt(m_bPt);
}

bool CPreModelEditDlg::OnInitDialog()
{
    CKvDialog::OnInitDialog();
    selectExactly(m_devCombo, m_strDevType);
    selectExactly(m_cardCombo, m_strCardType);
    selectExactly(m_phaseCombo, m_strPhase);
    m_ctCheck->setChecked(m_bCt == kYes);
    m_ptCheck->setChecked(m_bPt == kYes);
    if (GetCaption() != QStringLiteral("增加表型")) {
        m_idEdit->setReadOnly(true);
        m_modelEdit->setFocus();
    } else {
        m_idEdit->setFocus();
    }
    SetInitDone(1);
    return true;
}

bool CPreModelEditDlg::DoDataExchange(bool saveAndValidate)
{
    const std::pair<CKvEdit*, QString*> edits[] = {{m_idEdit, &m_strModelId},     {m_modelEdit, &m_strModel},
                                                   {m_specEdit, &m_strSpec},      {m_innerMulEdit, &m_strInnerMul},
                                                   {m_baseEdit, &m_strBaseValue}, {m_maxEdit, &m_strMaxLimit},
                                                   {m_minEdit, &m_strMinLimit}};
    for (const auto& [edit, text] : edits) {
        if (saveAndValidate)
            *text = edit->text();
        else
            edit->setText(*text);
    }
    return true;
}

bool CPreModelEditDlg::refuse(const QString& text, QWidget* focus)
{
    PromptBox(text, this);
    focus->setFocus();
    return false;
}

void CPreModelEditDlg::OnOK()
{
    UpdateData(true);
    const struct
    {
        const QString& text;
        const char* message;
        QWidget* focus;
    } required[] = {
        {m_strModelId, "请输入型别", m_idEdit},         {m_strModel, "请输入表型", m_modelEdit},
        {m_strSpec, "请输入规格", m_specEdit},          {m_strInnerMul, "请输入内部内部倍率", m_innerMulEdit},
        {m_strBaseValue, "请输入基本电流", m_baseEdit}, {m_strMaxLimit, "请输入最大限电值", m_maxEdit},
        {m_strMinLimit, "请输入最小限电值", m_minEdit}};
    for (const auto& field : required)
        if (field.text.isEmpty())
            return (void)refuse(QString::fromUtf8(field.message), field.focus);
    const struct
    {
        CKvComboBox* combo;
        QString* text;
        const char* message;
    } choices[] = {{m_devCombo, &m_strDevType, "请选择设备类型"},
                   {m_cardCombo, &m_strCardType, "请选择通讯方式"},
                   {m_phaseCombo, &m_strPhase, "请选择相线"}};
    for (const auto& choice : choices) {
        if (choice.combo->currentIndex() < 0)
            return (void)refuse(QString::fromUtf8(choice.message), choice.combo);
        *choice.text = choice.combo->currentText();
    }
    // A sale divides by the multiplier and the default limit of a meter by the
    // base current: neither may be 0.
    if (CNumEdit::TextToDouble(m_strInnerMul) <= 0)
        return (void)refuse(QStringLiteral("内部倍率应大于0！"), m_innerMulEdit);
    if (CNumEdit::TextToDouble(m_strBaseValue) <= 0)
        return (void)refuse(QStringLiteral("基本电流应大于0！"), m_baseEdit);
    // Each number is stored as it reads here (the currents are shown back with
    // one decimal), so a text that is not wholly one is refused.
    if (!KvCheckNumberFields(this, {
                                       {m_strInnerMul, {QStringLiteral("内部倍率"), 1, 9999}, m_innerMulEdit},
                                       {m_strBaseValue, {QStringLiteral("基本电流"), 0, 999, 1, true}, m_baseEdit},
                                       {m_strMaxLimit, {QStringLiteral("最大限电流"), 0, 999, 1}, m_maxEdit},
                                       {m_strMinLimit, {QStringLiteral("最小限电流"), 0, 999, 1}, m_minEdit},
                                   }))
        return;
    m_bCt = m_ctCheck->isChecked() ? kYes : kNo;
    m_bPt = m_ptCheck->isChecked() ? kYes : kNo;
    QDialog::accept();
}
