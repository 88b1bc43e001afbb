#include "CPriceEditDlg.h"

#include "CKvComboBox.h"
#include "CKvEdit.h"
#include "CKvException.h"
#include "CKvExtList2.h"
#include "CNumEdit.h"
#include "KvDatePicker.h"
#include "KvEditListSetup.h"
#include "KvGuard.h"
#include "KvMessage.h"
#include "KvNumberField.h"
#include "KvNumberInput.h"
#include "KvUtil.h"
#include "SysGlobals.h"

#include <QDateEdit>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLocale>
#include <QPushButton>
#include <QVBoxLayout>
#include <cmath>

namespace {

const QString kPrepaid = QStringLiteral("预付费电价");
const QString kWater = QStringLiteral("一卡抄水价");
const QString kGas = QStringLiteral("一卡抄气价");
const QString kQuota = QStringLiteral("定额收费价");

int yearMonth(const QDate& date)
{
    return date.year() * 100 + date.month();
}

} // namespace

CPriceEditDlg::CPriceEditDlg(QWidget* parent, const QString& caption)
    : CKvDialog(152, parent, caption), m_BeginDate(GetServerTime())
{
    m_mode = caption == QStringLiteral("修改价目")   ? ModifyMode
             : caption == QStringLiteral("查看价目") ? ViewMode
                                                     : AddMode;
    m_codeEdit = CreateControl<CKvEdit>(1065);
    m_nameEdit = CreateControl<CKvEdit>(1066);
    m_typeCombo = CreateControl<CKvComboBox>(1067);
    m_unitEdit = CreateControl<CKvEdit>(1068);
    m_cycleCombo = CreateControl<CKvComboBox>(1001);
    m_cycleCombo->addItems({QStringLiteral("无"), QStringLiteral("一月"), QStringLiteral("两月"),
                            QStringLiteral("一季"), QStringLiteral("半年"), QStringLiteral("一年")});
    m_modeCombo = CreateControl<CKvComboBox>(1005);
    m_modeCombo->addItems({QStringLiteral("预付"), QStringLiteral("后付")});
    m_dateEdit = CreateControl<QDateEdit>(1069);
    KvMakeDatePicker(m_dateEdit);
    m_priceEdit = CreateControl<CNumEdit>(1000);
    m_tierList = CreateControl<CKvExtList2>(1070);
    m_appendButton = CreateControl<QPushButton>(1024);
    m_appendButton->setText(QStringLiteral("增加阶梯价(&A)"));
    m_insertButton = CreateControl<QPushButton>(1003);
    m_insertButton->setText(QStringLiteral("插入阶梯价(&I)"));
    m_deleteButton = CreateControl<QPushButton>(1026);
    m_deleteButton->setText(QStringLiteral("删除阶梯价(&D)"));
    auto* save = CreateControl<QPushButton>(1020);
    save->setText(QStringLiteral("保存(&S)"));
    auto* cancel = CreateControl<QPushButton>(1021);
    cancel->setText(QStringLiteral("取消(&C)"));
    BindConfirm(save);
    BindClose(cancel);
    for (QPushButton* button : {m_appendButton, m_insertButton, m_deleteButton})
        button->setAutoDefault(false);
    connect(m_appendButton, &QPushButton::clicked, this, KvGuarded([this](auto...) { OnAppendTier(); }));
    connect(m_insertButton, &QPushButton::clicked, this, KvGuarded([this](auto...) { OnInsertTier(); }));
    connect(m_deleteButton, &QPushButton::clicked, this, KvGuarded([this](auto...) { OnDeleteTier(); }));
    connect(m_typeCombo, &QComboBox::currentIndexChanged, this, KvGuarded([this](int) { OnTypeChanged(); }));

    auto* unit = new QHBoxLayout;
    unit->addWidget(new QLabel(QStringLiteral("元/"), this));
    unit->addWidget(m_unitEdit);
    auto* fields = new QFormLayout;
    fields->addRow(QStringLiteral("价目代码："), m_codeEdit);
    fields->addRow(QStringLiteral("价目名称："), m_nameEdit);
    fields->addRow(QStringLiteral("价目类型："), m_typeCombo);
    fields->addRow(QStringLiteral("计价单位："), unit);
    fields->addRow(QStringLiteral("计费周期："), m_cycleCombo);
    fields->addRow(QStringLiteral("收缴方式："), m_modeCombo);
    fields->addRow(QStringLiteral("有效期始："), m_dateEdit);
    fields->addRow(QStringLiteral("基本单价："), m_priceEdit);

    auto* tierButtons = new QVBoxLayout;
    tierButtons->addWidget(m_appendButton);
    tierButtons->addWidget(m_insertButton);
    tierButtons->addWidget(m_deleteButton);
    tierButtons->addStretch();
    auto* group = new QGroupBox(QStringLiteral("阶梯价"), this);
    auto* tiers = new QHBoxLayout(group);
    tiers->addWidget(m_tierList);
    tiers->addLayout(tierButtons);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(save);
    buttons->addWidget(cancel);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(fields);
    layout->addWidget(group);
    layout->addLayout(buttons);
}

void CPriceEditDlg::LoadTiers(const CRankPriceList& tiers)
{
    if (tiers.GetCount() > kMaxTiers)
        throw CKvException(QStringLiteral("阶梯太多！"));
    m_nTierCount = tiers.GetCount();
    for (int i = 0; i < m_nTierCount; ++i) {
        const CRankPrice* tier = tiers.At(i);
        m_Tiers[i].SetPriceIndex(tier->GetPriceIndex());
        m_Tiers[i].SetRankX(tier->GetRankX());
        m_Tiers[i].SetRankPrice(tier->GetRankPrice());
        m_Tiers[i].SetThreshold(tier->GetThreshold());
    }
}

bool CPriceEditDlg::DoDataExchange(bool saveAndValidate)
{
    if (saveAndValidate) {
        m_strPriceNo = m_codeEdit->text();
        m_strPriceName = m_nameEdit->text();
        m_strUnit = m_unitEdit->text();
        m_strPrice = m_priceEdit->text();
        m_BeginDate = QDateTime(m_dateEdit->date(), QTime(0, 0));
    } else {
        m_codeEdit->setText(m_strPriceNo);
        m_nameEdit->setText(m_strPriceName);
        m_unitEdit->setText(m_strUnit);
        m_priceEdit->setText(m_strPrice);
        m_dateEdit->setDate(m_BeginDate.date());
    }
    return true;
}

bool CPriceEditDlg::OnInitDialog()
{
    CKvDialog::OnInitDialog();
    KvSetupEditList(m_tierList, 20, {{QStringLiteral("阶梯底值"), 20}, {QStringLiteral("阶梯价"), 100}});
    m_tierList->SetColumnEditor(0, KV_EDIT_TEXT);
    m_tierList->SetColumnEditor(1, KV_EDIT_NUMBER);
    m_priceEdit->SetDecimals(6);

    m_typeCombo->clear();
    m_typeCombo->addItems(CPriceType::BuiltInTypes());
    KvGuard(
        [this] {
            m_types.LoadAll();
            for (int i = 0; i < m_types.GetCount(); ++i)
                m_typeCombo->addItem(m_types.At(i)->GetPriceType());
        },
        this);

    if (m_mode == AddMode) {
        m_typeCombo->setCurrentIndex(0);
        m_cycleCombo->setCurrentIndex(0);
        m_modeCombo->setCurrentIndex(0);
        m_cycleCombo->setEnabled(false);
        applyTypeRule();
        m_codeEdit->setFocus();
    } else {
        // A type renamed since the price was written matches no item; the
        // stored text is offered so that the price can still be changed.
        if (!selectItem(m_typeCombo, m_strPriceType) && !m_strPriceType.isEmpty()) {
            m_typeCombo->addItem(m_strPriceType);
            m_typeCombo->setCurrentIndex(m_typeCombo->count() - 1);
        }
        selectItem(m_cycleCombo, m_strPriceCycle);
        selectItem(m_modeCombo, m_strBalMode);
        for (QWidget* control : {static_cast<QWidget*>(m_codeEdit), static_cast<QWidget*>(m_typeCombo),
                                 static_cast<QWidget*>(m_cycleCombo), static_cast<QWidget*>(m_modeCombo)})
            control->setEnabled(false);
        if (m_mode == ViewMode) {
            for (QWidget* control : {static_cast<QWidget*>(m_dateEdit), static_cast<QWidget*>(m_priceEdit),
                                     static_cast<QWidget*>(m_nameEdit), static_cast<QWidget*>(m_unitEdit),
                                     static_cast<QWidget*>(m_appendButton), static_cast<QWidget*>(m_insertButton),
                                     static_cast<QWidget*>(m_deleteButton), static_cast<QWidget*>(m_tierList)})
                control->setEnabled(false);
        }
        for (int i = 0; i < m_nTierCount; ++i) {
            auto shown = std::make_unique<ShownTier>();
            const int row = m_tierList->InsertRow(i, shown->floor.Show(m_Tiers[i].GetThreshold(), 1), shown.get());
            m_tierList->SetItemText(row, 1, shown->price.Show(m_Tiers[i].GetRankPrice(), 4));
            m_shownTiers.push_back(std::move(shown));
        }
        m_nameEdit->setFocus();
    }
    SetInitDone(1);
    return true;
}

bool CPriceEditDlg::selectItem(CKvComboBox* combo, const QString& text)
{
    int index = combo->findText(text, Qt::MatchExactly | Qt::MatchCaseSensitive);
    if (index < 0)
        index = combo->findText(text, Qt::MatchStartsWith | Qt::MatchCaseSensitive);
    combo->setCurrentIndex(index);
    return index >= 0;
}

void CPriceEditDlg::OnTypeChanged()
{
    if (IsInitDone())
        applyTypeRule();
}

void CPriceEditDlg::applyTypeRule()
{
    const QString type = m_typeCombo->currentText();
    if (type == m_strPriceType)
        return;
    m_strPriceType = type;
    m_unitEdit->setText(type == kPrepaid ? QStringLiteral("度")
                        : type == kWater ? QStringLiteral("吨")
                        : type == kGas   ? QStringLiteral("立方")
                                         : QString());
    if (type != kQuota) {
        m_cycleCombo->setCurrentIndex(m_cycleCombo->findText(QStringLiteral("无")));
        m_cycleCombo->setEnabled(false);
        const bool prepaid = type == kPrepaid;
        m_modeCombo->setCurrentIndex(m_modeCombo->findText(prepaid ? QStringLiteral("预付") : QStringLiteral("后付")));
        m_modeCombo->setEnabled(!prepaid);
    } else {
        m_cycleCombo->setEnabled(true);
        m_modeCombo->setEnabled(true);
    }
}

bool CPriceEditDlg::tiersFull()
{
    if (m_tierList->GetItemCount() < kMaxTiers)
        return false;
    PromptBox(QStringLiteral("阶梯太多！"), this);
    return true;
}

void CPriceEditDlg::OnAppendTier()
{
    if (tiersFull())
        return;
    const int row = m_tierList->InsertRow(m_tierList->GetItemCount(), QStringLiteral("0"), nullptr);
    m_tierList->BeginEdit(row, 0);
}

void CPriceEditDlg::OnInsertTier()
{
    if (tiersFull())
        return;
    const int selected = m_tierList->GetSelectedRow();
    const int row = m_tierList->InsertRow(selected >= 0 ? selected : 0, QString(), nullptr);
    m_tierList->BeginEdit(row, 0);
}

void CPriceEditDlg::OnDeleteTier()
{
    const int row = m_tierList->GetSelectedRow();
    if (row < 0) {
        PromptBox(QStringLiteral("请选中行！"), this);
        return;
    }
    m_tierList->DeleteItem(row);
    const int count = m_tierList->GetItemCount();
    if (count > 0)
        m_tierList->BeginEdit(qMin(row, count - 1), 0);
}

bool CPriceEditDlg::refuse(const QString& text, QWidget* focus, bool owned)
{
    PromptBox(text, owned ? this : nullptr);
    focus->setFocus();
    return false;
}

bool CPriceEditDlg::checkStartDate()
{
    const QDate start = m_dateEdit->date();
    const QDate today = GetServerDate().date();
    const bool monthStart =
        QString::asprintf("%02d", start.day()) == QStringLiteral("01") && yearMonth(start) >= yearMonth(today);
    if (m_strPriceType == kQuota) {
        if (!monthStart)
            return refuse(QStringLiteral("定额收费价的起始日期应当为本月或之后某月的1日"), m_dateEdit, false);
    } else if (m_strBalMode != QStringLiteral("预付")) {
        if (!monthStart)
            return refuse(QStringLiteral("后付价格的起始日期应当为本月或之后某月的1日"), m_dateEdit, false);
    } else if (start < today) {
        return refuse(QStringLiteral("预付价格的起始日期不应早于当前日期！"), m_dateEdit);
    }
    return true;
}

bool CPriceEditDlg::checkTiers()
{
    // Each floor and price is checked as the value that is stored: a text that
    // is not wholly a number of its range is refused by the field's name.
    const KvNumberField floorField{QStringLiteral("阶梯底值"), 0, 99999999, 10, true};
    const KvNumberField priceField{QStringLiteral("阶梯价"), 0, 99999, 10, true};
    const auto refuseCell = [this](const QString& text, int row, int column) {
        PromptBox(text, this);
        m_tierList->BeginEdit(row, column);
        return false;
    };
    double previous = 0;
    for (int row = 0; row < m_tierList->GetItemCount(); ++row) {
        const QString floor = m_tierList->GetItemText(row, 0);
        if (floor.isEmpty())
            return refuseCell(QStringLiteral("请输入阶梯底值！"), row, 0);
        double value = 0;
        // The whole units of a floor must rise from row to row (0.5 counts as 0).
        // A number beyond every double (1e309) reads as 0 here but is no floor
        // out of order: the range check below refuses it.
        bool fits = false;
        const bool beyondAnyNumber = std::isinf(QLocale::c().toDouble(floor.trimmed(), &fits));
        if (!beyondAnyNumber && std::trunc(CNumEdit::TextToDouble(floor)) <= previous)
            return refuseCell(QStringLiteral("阶梯底值应大于0且逐行递增！"), row, 0);
        if (!KvReadNumber(floor, floorField, &value))
            return refuseCell(floorField.Refusal(), row, 0);
        if (value <= previous)
            return refuseCell(QStringLiteral("阶梯底值应大于0且逐行递增！"), row, 0);
        const QString price = m_tierList->GetItemText(row, 1);
        if (price.isEmpty())
            return refuseCell(QStringLiteral("请输入阶梯价！"), row, 1);
        if (double rankPrice = 0; !KvReadNumber(price, priceField, &rankPrice))
            return refuseCell(priceField.Refusal(), row, 1);
        previous = value;
    }
    return true;
}

void CPriceEditDlg::OnOK()
{
    UpdateData(true);
    TrimString(m_strPriceNo);
    TrimString(m_strPriceName);
    TrimString(m_strUnit);
    TrimString(m_strPrice);

    if (m_strPriceNo.isEmpty())
        return (void)refuse(QStringLiteral("价目代码不应为空或前后有空格！"), m_codeEdit);
    if (GbkByteLength(m_strPriceNo) > 10)
        return (void)refuse(QStringLiteral("价目代码长度不应超过10个英文字符或5个汉字！"), m_codeEdit);
    if (m_strPriceName.isEmpty())
        return (void)refuse(QStringLiteral("价目名称不应为空或前后有空格！"), m_nameEdit);
    if (GbkByteLength(m_strPriceName) > 20)
        return (void)refuse(QStringLiteral("价目名称长度不应超过20个英文字符或10个汉字！"), m_nameEdit);
    if (m_typeCombo->currentIndex() < 0)
        return (void)refuse(QStringLiteral("请选择价目类型！"), m_typeCombo);
    m_strPriceType = m_typeCombo->currentText();
    if (m_cycleCombo->currentIndex() < 0)
        return (void)refuse(QStringLiteral("请选择计费周期！"), m_cycleCombo);
    m_strPriceCycle = m_cycleCombo->currentText();
    if (m_modeCombo->currentIndex() < 0)
        return (void)refuse(QStringLiteral("请选择收费方式！"), m_modeCombo);
    m_strBalMode = m_modeCombo->currentText();
    if (m_strUnit.isEmpty())
        return (void)refuse(QStringLiteral("计价单位不应为空或前后有空格！"), m_unitEdit);
    if (GbkByteLength(m_strUnit) > 10)
        return (void)refuse(QStringLiteral("计价单位长度不应超过10个英文字符或5个汉字！"), m_unitEdit);
    if (!checkStartDate())
        return;
    if (m_strPrice.isEmpty())
        return (void)refuse(QStringLiteral("请输入基本价格！"), m_priceEdit);
    // A price of 0 or below would lower every charge made with it.
    const KvNumberField priceField{QStringLiteral("基本价格"), 0, 99999, m_priceEdit->GetDecimals(), true};
    if (double price = 0; !KvReadNumber(m_strPrice, priceField, &price))
        return (void)refuse(priceField.Refusal(), m_priceEdit);
    if (!checkTiers())
        return;

    static const ShownTier typed; // a row the operator added: its texts as typed
    m_nTierCount = m_tierList->GetItemCount();
    for (int i = 0; i < m_nTierCount; ++i) {
        const auto* filled = static_cast<const ShownTier*>(m_tierList->GetRowObject(i));
        const ShownTier& shown = filled ? *filled : typed;
        m_Tiers[i].SetRankX(i);
        m_Tiers[i].SetThreshold(shown.floor.ValueOf(m_tierList->GetItemText(i, 0)));
        m_Tiers[i].SetRankPrice(shown.price.ValueOf(m_tierList->GetItemText(i, 1)));
    }
    QDialog::accept();
}
