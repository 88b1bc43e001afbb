#include "CCliSubEditDlg.h"

#include "CKvComboBox.h"
#include "CKvEdit.h"
#include "CNumEdit.h"
#include "KvAdminUi.h"
#include "KvGuard.h"
#include "KvMessage.h"
#include "KvNumberField.h"
#include "KvNumberInput.h"
#include "KvToolText.h"
#include "KvUtil.h"

#include <QCheckBox>
#include <QFormLayout>
#include <QPushButton>
#include <QSignalBlocker>
#include <QVBoxLayout>

namespace {

// Selects the item of that text, else the item at `fallback`.
void selectOr(CKvComboBox* combo, const QString& text, int fallback)
{
    const int index = combo->findText(text, Qt::MatchExactly | Qt::MatchCaseSensitive);
    combo->setCurrentIndex(index >= 0 ? index : fallback);
}

} // namespace

CCliSubEditDlg::CCliSubEditDlg(QWidget* parent, const QString& caption) : CKvDialog(176, parent, caption)
{
    m_clientNoEdit = CreateControl<CKvEdit>(1002);
    m_meterNoEdit = CreateControl<CKvEdit>(1105);
    m_subXEdit = CreateControl<CKvEdit>(1178);
    KvAcceptDigitsOnly(m_subXEdit, QStringLiteral("附表序号"));
    m_subNoEdit = CreateControl<CKvEdit>(1185);
    m_initPulsesEdit = CreateControl<CKvEdit>(1179);
    m_baseReadEdit = CreateControl<CNumEdit>(1180);
    m_levelCombo = CreateControl<CKvComboBox>(1010);
    m_levelCombo->addItems({QStringLiteral("一级"), QStringLiteral("二级"), QStringLiteral("三级"),
                            QStringLiteral("四级"), QStringLiteral("五级")});
    m_superNoEdit = CreateControl<CKvEdit>(1011);
    m_subConstCombo = CreateControl<CKvComboBox>(1181);
    m_subConstCombo->addItems({QStringLiteral("10"), QStringLiteral("100"), QStringLiteral("1000"),
                               QStringLiteral("10000"), QStringLiteral("1")});
    m_priceCombo = CreateControl<CKvComboBox>(1182);
    m_readModeCombo = CreateControl<CKvComboBox>(1028);
    m_readModeCombo->addItems({QStringLiteral("红外遥控卡"), QStringLiteral("编程器")});
    m_sameCheck = CreateControl<QCheckBox>(1015);
    m_sameCheck->setText(QStringLiteral("以下附表设置相同，不再出现本窗口"));
    for (CKvEdit* edit : {m_clientNoEdit, m_meterNoEdit, m_subNoEdit, m_initPulsesEdit})
        edit->setReadOnly(true);
    QPushButton* ok = MakeConfirmButton(this, QStringLiteral("确认(&O)"));
    QPushButton* back = MakeCloseButton(this, 1001, QStringLiteral("返回(&R)"));
    connect(m_subXEdit, &QLineEdit::textChanged, this, KvGuarded([this](const QString&) { OnSequenceChange(); }));

    auto* fields = new QFormLayout;
    fields->addRow(QStringLiteral("用户编号："), m_clientNoEdit);
    fields->addRow(QStringLiteral("主表编号："), m_meterNoEdit);
    fields->addRow(QStringLiteral("附表序号："), m_subXEdit);
    fields->addRow(QStringLiteral("附表编号："), m_subNoEdit);
    fields->addRow(QStringLiteral("初始计数："), m_initPulsesEdit);
    fields->addRow(QStringLiteral("基表初值："), m_baseReadEdit);
    fields->addRow(QStringLiteral("安装级别："), m_levelCombo);
    fields->addRow(QStringLiteral("上级表号："), m_superNoEdit);
    fields->addRow(QStringLiteral("脉冲常数："), m_subConstCombo);
    fields->addRow(QStringLiteral("价目代码："), m_priceCombo);
    fields->addRow(QStringLiteral("抄表方式："), m_readModeCombo);
    auto* body = new QVBoxLayout;
    body->addLayout(fields);
    body->addWidget(m_sameCheck);
    LayOutDialog(this, body, {}, {ok, back});
}

bool CCliSubEditDlg::OnInitDialog()
{
    CKvDialog::OnInitDialog();
    m_baseReadEdit->SetDecimals(10);

    m_priceCombo->clear();
    KvGuard(
        [this] {
            m_prices.LoadValidExceptPrepaidAndQuota();
            for (int i = 0; i < m_prices.GetCount(); ++i)
                m_priceCombo->addItem(m_prices.At(i)->GetPriceName());
        },
        this);
    int price = -1;
    for (int i = 0; i < m_prices.GetCount() && price < 0; ++i)
        if (m_prices.At(i)->GetPriceNo() == m_strPriceNo)
            price = i;
    m_priceCombo->setCurrentIndex(price >= 0 || m_priceCombo->count() == 0 ? price : 0);
    selectOr(m_levelCombo, m_strLevel, 1);
    selectOr(m_subConstCombo, m_strSubConst, 0);
    selectOr(m_readModeCombo, m_strReadMode, 0);
    m_sameCheck->setEnabled(m_bCheckEnabled != 0);

    const bool adding = GetCaption() == QStringLiteral("增加附表");
    m_subXEdit->setReadOnly(!adding);
    m_baseReadEdit->setReadOnly(!adding);
    if (adding)
        m_subXEdit->setFocus();
    else
        m_levelCombo->setFocus();
    SetInitDone(1);
    return true;
}

bool CCliSubEditDlg::DoDataExchange(bool saveAndValidate)
{
    const std::pair<QLineEdit*, QString*> edits[] = {
        {m_baseReadEdit, &m_strBaseRead}, {m_clientNoEdit, &m_strClientNo}, {m_initPulsesEdit, &m_strInitPulses},
        {m_meterNoEdit, &m_strMeterNo},   {m_subNoEdit, &m_strSubNo},       {m_superNoEdit, &m_strSuperNo},
        {m_subXEdit, &m_strSubX}};
    for (const auto& [edit, text] : edits) {
        if (saveAndValidate) {
            *text = edit->text();
        } else {
            const QSignalBlocker quiet(edit); // the sub-meter number is given with the sequence
            edit->setText(*text);
        }
    }
    if (saveAndValidate)
        m_bCheck = m_sameCheck->isChecked() ? 1 : 0;
    else
        m_sameCheck->setChecked(m_bCheck != 0);
    return true;
}

void CCliSubEditDlg::OnSequenceChange()
{
    m_strSubNo = m_strMeterNo + QStringLiteral("_") + m_subXEdit->text();
    m_subNoEdit->setText(m_strSubNo);
}

bool CCliSubEditDlg::refuse(const QString& text, QWidget* focus)
{
    PromptBox(text, this);
    if (focus)
        focus->setFocus();
    return false;
}

void CCliSubEditDlg::OnOK()
{
    UpdateData(true);
    if (m_strClientNo.isEmpty())
        return (void)refuse(QStringLiteral("无用户档案不能归档！"));
    if (m_strMeterNo.isEmpty())
        return (void)refuse(QStringLiteral("无主表编号不能归档！"));
    if (m_strSubX.isEmpty())
        return (void)refuse(QStringLiteral("无附表序号不能归档！"));
    const int sequence = m_strSubX.toInt();
    if (sequence < 1 || sequence > 8)
        return (void)refuse(QStringLiteral("附表序号必须是1到8的整数！"));
    if (!m_subXEdit->isReadOnly()) {
        // "01" is sequence 1: the number, not the typed text, names the sub-meter.
        m_strSubX = QString::number(sequence);
        m_strSubNo = m_strMeterNo + QStringLiteral("_") + m_strSubX;
    }
    if (m_strSubNo.isEmpty())
        return (void)refuse(QStringLiteral("无附表序号不能归档！"));
    if (m_strInitPulses.isEmpty())
        return (void)refuse(QStringLiteral("无初始计数不能归档！"));
    if (m_strBaseRead.isEmpty())
        return (void)refuse(QStringLiteral("无基表初值不能归档！"));
    // The first reading of a new sub-meter: a number of the readings' range,
    // never below 0. A modified sub-meter keeps its stored one.
    const KvNumberField baseRead{QStringLiteral("基表初值"), 0, 99999999, m_baseReadEdit->GetDecimals()};
    if (double read = 0; !m_baseReadEdit->isReadOnly() && !KvReadNumber(m_strBaseRead, baseRead, &read))
        return (void)refuse(baseRead.Refusal(), m_baseReadEdit);
    if (m_levelCombo->currentIndex() < 0)
        return (void)refuse(QStringLiteral("请选择安装级别！"), m_levelCombo);
    m_strLevel = m_levelCombo->currentText();
    QString superNo = m_strSuperNo;
    TrimString(superNo);
    if (const QString refusal = ToolTextRefusal(QStringLiteral("上级表号"), superNo); !refusal.isEmpty())
        return (void)refuse(refusal, m_superNoEdit);
    if (GbkByteLength(superNo) > 20)
        return (void)refuse(QStringLiteral("上级表号长度不应大于20！"), m_superNoEdit);
    m_strSuperNo = superNo;
    if (m_subConstCombo->currentIndex() < 0)
        return (void)refuse(QStringLiteral("请选择脉冲常数！"), m_subConstCombo);
    m_strSubConst = m_subConstCombo->currentText();
    const int price = m_priceCombo->currentIndex();
    if (price < 0 || price >= m_prices.GetCount())
        return (void)refuse(QStringLiteral("请选择用水性质！"), m_priceCombo);
    m_strPriceNo = m_prices.At(price)->GetPriceNo();
    if (m_readModeCombo->currentIndex() < 0)
        return (void)refuse(QStringLiteral("请选择抄表方式！"), m_readModeCombo);
    m_strReadMode = m_readModeCombo->currentText();
    QDialog::accept();
}
