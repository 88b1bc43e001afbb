#include "CCliPreEditDlg.h"

#include "CKvComboBox.h"
#include "CKvEdit.h"
#include "CKvException.h"
#include "CKvExtList2.h"
#include "CMenuButton.h"
#include "CNumEdit.h"
#include "CPriceVer.h"
#include "CSysPara.h"
#include "KvAdminUi.h"
#include "KvEditListSetup.h"
#include "KvGuard.h"
#include "KvMessage.h"
#include "KvNumberField.h"
#include "KvNumberInput.h"
#include "KvToolText.h"
#include "KvUtil.h"
#include "SysGlobals.h"

#include <QCheckBox>
#include <QFormLayout>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QMenu>
#include <QPalette>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>
#include <algorithm>
#include <cmath>

namespace {

const QString kInfrared = QStringLiteral("红外遥控卡");
const QString kIcKey = QStringLiteral("IC钥匙卡");
const QString kMeter = QStringLiteral("预付费电表");
const QString kController = QStringLiteral("预付费控制器");
const QString kNo = QStringLiteral("否");
const QString kPrepaid = QStringLiteral("预付费电价");

// Columns of the price list.
enum
{
    PriceName,
    PriceCode,
    PriceUnit,
    PricePercent
};

// Empty after trimming, or beginning with a full stop: a number not given.
bool missing(QString text)
{
    TrimString(text);
    return text.isEmpty() || text.startsWith(u'.');
}

const char* const kParamNames[] = {"CT倍率", "PT倍率", "限电值", "告警门限", "断电门限", "脉冲常数", "输出状态"};
const char* const kTypeRows[] = {"表计型号", "表计规格",   "内部倍率",   "设备类型", "通讯方式", "相线",
                                 "基本电流", "最大限电流", "最小限电流", "可外接CT", "可外接PT"};

// The default limit of a type: amperes for an infrared-card type, otherwise
// the maximum current in whole multiples of the base current, in percent.
int defaultLimit(const CPreModel& model)
{
    if (model.GetCardType() == kInfrared)
        return RoundAmount(model.GetMaxLimit());
    const double quotient = model.GetBaseValue() > 0 ? model.GetMaxLimit() / model.GetBaseValue() : 0;
    return RoundAmount(quotient) * 100;
}

// The highest limit of an IC key-card type, a percentage of the base current:
// the maximum current, or the type's own default where that rounds higher, so
// the default is never refused.
double icLimitBound(const CPreModel& model)
{
    const double exact = model.GetBaseValue() > 0 ? model.GetMaxLimit() / model.GetBaseValue() * 100 : 0;
    return qMax(exact, double(defaultLimit(model)));
}

// The widest limit the card field takes, unless an IC type's own bound is wider.
constexpr double kLimitFieldMax = 999;

} // namespace

CCliPreEditDlg::CCliPreEditDlg(QWidget* parent, const QString& caption) : CKvDialog(160, parent, caption)
{
    m_mode = caption == QStringLiteral("修改配表")   ? ModifyMode
             : caption == QStringLiteral("查看配表") ? ViewMode
                                                     : AddMode;
    m_clientNoEdit = CreateControl<CKvEdit>(1002);
    m_clientNameEdit = CreateControl<CKvEdit>(1009);
    m_clientNoEdit->setReadOnly(true);
    m_clientNameEdit->setReadOnly(true);
    m_meterNoEdit = CreateControl<CKvEdit>(1105);
    m_levelCombo = CreateControl<CKvComboBox>(1010);
    m_levelCombo->addItems({QStringLiteral("一级"), QStringLiteral("二级"), QStringLiteral("三级"),
                            QStringLiteral("四级"), QStringLiteral("五级")});
    m_superNoEdit = CreateControl<CKvEdit>(1011);
    m_lineLossBox = CreateControl<QCheckBox>(1025);
    m_lineLossBox->setText(QStringLiteral("计线损："));
    m_lineLossEdit = CreateControl<CNumEdit>(1022);
    m_transLossBox = CreateControl<QCheckBox>(1026);
    m_transLossBox->setText(QStringLiteral("计变损："));
    m_transLossEdit = CreateControl<CNumEdit>(1023);
    m_prePayEdit = CreateControl<CKvEdit>(1157);
    KvAcceptDigitsOnly(m_prePayEdit, QStringLiteral("预提比例"));
    m_modelCombo = CreateControl<CKvComboBox>(1111);
    m_typeList = CreateControl<CKvExtList2>(1113);
    m_paramList = CreateControl<CKvExtList2>(1110);
    m_priceList = CreateControl<CKvExtList2>(1074);
    m_descripEdit = CreateControl<QPlainTextEdit>(1014);
    m_okButton = MakeConfirmButton(this, QStringLiteral("确认(&O)"));
    QPushButton* cancel = MakeCloseButton(this, 1021, QStringLiteral("取消(&C)"));
    m_priceButton = CreateControl<CMenuButton>(1050);
    m_priceButton->setText(QStringLiteral("增删电价(&P)"));
    m_priceButton->setAutoDefault(false);

    connect(m_modelCombo, &QComboBox::currentIndexChanged, this, KvGuarded([this](int) { OnModelChange(); }));
    connect(m_levelCombo, &QComboBox::currentIndexChanged, this,
            [this](int) { m_strLevel = m_levelCombo->currentText(); });
    connect(m_lineLossBox, &QCheckBox::clicked, this, KvGuarded([this](bool) { OnLineLossBox(); }));
    connect(m_transLossBox, &QCheckBox::clicked, this, KvGuarded([this](bool) { OnTransLossBox(); }));
    // Menu 179: its first sub-menu holds the price-row commands.
    auto* menu = new QMenu(this);
    QMenu* rows = menu->addMenu(QStringLiteral("电价"));
    const std::pair<int, const char*> commands[] = {
        {ID_PRICE_APPEND, "添加电价"}, {ID_PRICE_INSERT, "插入电价"}, {ID_PRICE_DELETE, "删除电价"}};
    for (const auto& [id, text] : commands)
        rows->addAction(QString::fromUtf8(text))->setData(id);
    connect(m_priceButton, &QPushButton::clicked, this,
            KvGuarded([this, menu](bool) { OnPriceCommand(m_priceButton->TrackMenu(menu, 0)); }));
    m_priceList->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(m_priceList, &QWidget::customContextMenuRequested, this, KvGuarded([this, rows](const QPoint& at) {
                const QSignalBlocker quiet(rows);
                QAction* chosen = rows->exec(m_priceList->viewport()->mapToGlobal(at));
                OnPriceCommand(chosen ? chosen->data().toInt() : 0);
            }));

    auto* top = new QFormLayout;
    top->addRow(QStringLiteral("用户代码："), m_clientNoEdit);
    top->addRow(QStringLiteral("用户姓名："), m_clientNameEdit);
    top->addRow(QStringLiteral("表计编号："), m_meterNoEdit);
    top->addRow(QStringLiteral("安装级别："), m_levelCombo);
    top->addRow(QStringLiteral("上级表号："), m_superNoEdit);
    auto* losses = new QGridLayout;
    losses->addWidget(m_lineLossBox, 0, 0);
    losses->addWidget(m_lineLossEdit, 0, 1);
    losses->addWidget(new QLabel(QStringLiteral("%"), this), 0, 2);
    losses->addWidget(m_transLossBox, 1, 0);
    losses->addWidget(m_transLossEdit, 1, 1);
    losses->addWidget(new QLabel(QStringLiteral("度/月"), this), 1, 2);
    losses->addWidget(new QLabel(QStringLiteral("预提比例："), this), 2, 0);
    losses->addWidget(m_prePayEdit, 2, 1);
    losses->addWidget(new QLabel(QStringLiteral("% 购电金额"), this), 2, 2);
    losses->addWidget(new QLabel(QStringLiteral("表计型别："), this), 3, 0);
    losses->addWidget(m_modelCombo, 3, 1, 1, 2);
    auto* left = new QVBoxLayout;
    left->addLayout(top);
    left->addLayout(losses);
    left->addWidget(m_typeList);
    auto* right = new QVBoxLayout;
    right->addWidget(m_paramList);
    right->addWidget(m_priceList);
    right->addWidget(m_priceButton);
    right->addWidget(new QLabel(QStringLiteral("备注说明："), this));
    right->addWidget(m_descripEdit);
    auto* body = new QHBoxLayout;
    body->addLayout(left);
    body->addLayout(right);
    LayOutDialog(this, body, {}, {m_okButton, cancel});
    resize(760, 560);
}

void CCliPreEditDlg::SetPriceShares(const CPrePriceList& shares)
{
    if (shares.GetCount() > kMaxShares)
        throw CKvException(QStringLiteral("组合电价太多！"));
    m_nPriceCount = shares.GetCount();
    for (int i = 0; i < m_nPriceCount; ++i)
        m_PriceShares[i] = *shares.At(i);
}

bool CCliPreEditDlg::DoDataExchange(bool saveAndValidate)
{
    const std::pair<QLineEdit*, QString*> edits[] = {
        {m_clientNoEdit, &m_strClientNo}, {m_clientNameEdit, &m_strClientName}, {m_meterNoEdit, &m_strMeterNo},
        {m_superNoEdit, &m_strSuperNo},   {m_lineLossEdit, &m_strLineLoss},     {m_transLossEdit, &m_strTransLoss},
        {m_prePayEdit, &m_strPrePayRate}};
    for (const auto& [edit, text] : edits) {
        if (saveAndValidate)
            *text = edit->text();
        else
            edit->setText(*text);
    }
    if (saveAndValidate) {
        m_strDescrip = m_descripEdit->toPlainText();
        m_bLineLoss = m_lineLossBox->isChecked() ? 1 : 0;
        m_bTransLoss = m_transLossBox->isChecked() ? 1 : 0;
    } else {
        m_descripEdit->setPlainText(m_strDescrip);
        m_lineLossBox->setChecked(m_bLineLoss != 0);
        m_transLossBox->setChecked(m_bTransLoss != 0);
    }
    return true;
}

bool CCliPreEditDlg::OnInitDialog()
{
    CKvDialog::OnInitDialog();
    m_lineLossEdit->SetDecimals(10);
    m_transLossEdit->SetDecimals(10);
    KvSetupEditList(m_typeList, 20,
                    {{QStringLiteral("参数名称"), 50}, {QStringLiteral("参数值"), 80}, {QStringLiteral("单位"), 0}});
    KvSetupEditList(
        m_paramList, 20,
        {{QStringLiteral("参数名称"), 50}, {QStringLiteral("参数值"), 80}, {QStringLiteral("参数单位"), 0}});
    KvSetupEditList(m_priceList, 20,
                    {{QStringLiteral("价目名称"), 40},
                     {QStringLiteral("价目代码"), 20},
                     {QStringLiteral("单价"), 30},
                     {QStringLiteral("百分比%"), 20}});
    m_typeList->setEnabled(false);
    m_paramList->SetColumnEditor(1, KV_EDIT_NUMBER);
    m_paramList->SetBeforeEditCallback([this](int row, int column, CKvColumnInfo& info, CKvExtList2*) {
        if (column == 1)
            ParamEditKind(row, info);
    });
    m_paramList->SetCellColourCallback(
        [this](CKvCellDC& dc, int row, int column, CKvExtList2*) { ParamCellColour(dc, row, column); });
    m_priceList->SetColumnEditor(PriceName, KV_EDIT_COMBO);
    m_priceList->SetColumnEditor(PricePercent, KV_EDIT_TEXT);
    m_priceList->SetChangeCallback([this](int row, int column, const QString&, CKvExtList2*) {
        if (column == PriceName)
            KvGuard([&] { OnPriceNameChanged(row); }, this);
    });
    m_priceList->SetCellColourCallback(
        [this](CKvCellDC& dc, int row, int column, CKvExtList2*) { PriceCellColour(dc, row, column); });
    m_typeList->SetCellColourCallback([](CKvCellDC& dc, int, int column, CKvExtList2* list) {
        if (column == 0) {
            dc.SetBkColor(list->palette().color(QPalette::Button));
            dc.SetTextColor(list->palette().color(QPalette::ButtonText));
        } else {
            dc.SetTextColor(KvFixedCellColour());
        }
    });
    for (int i = 0; i < static_cast<int>(std::size(kTypeRows)); ++i) {
        const int row = m_typeList->InsertRow(i, QString::fromUtf8(kTypeRows[i]), nullptr);
        if (i >= 6 && i <= 8)
            m_typeList->SetItemText(row, 2, QStringLiteral("A"));
    }

    // Offered types, in their order.
    KvGuard([this] { m_models.LoadOffered(); }, this);
    {
        const QSignalBlocker quiet(m_modelCombo);
        int chosen = -1;
        for (int i = 0; i < m_models.GetCount(); ++i) {
            m_modelCombo->addItem(m_models.At(i)->GetModelId());
            if (m_models.At(i)->GetModelId() == m_strModelId)
                chosen = i;
        }
        m_modelCombo->setCurrentIndex(chosen < 0 && m_modelCombo->count() > 0 ? 0 : chosen);
    }
    m_lineLossEdit->setReadOnly(!m_lineLossBox->isChecked());
    m_transLossEdit->setReadOnly(!m_transLossBox->isChecked());
    KvGuard([this] { OnModelChange(); }, this);
    // The type's and the parameters' rows are fixed: the two lists are never
    // lower than all of them (输出状态 is the last), and the dialog grows to hold them.
    m_typeList->setMinimumSize(m_typeList->ContentSize(static_cast<int>(std::size(kTypeRows))));
    m_paramList->setMinimumSize(m_paramList->ContentSize(ParamCount));

    if (m_mode == AddMode) {
        m_levelCombo->setCurrentIndex(1);
        m_strLevel = m_levelCombo->currentText();
        m_modelCombo->setFocus();
    } else {
        m_meterNoEdit->setReadOnly(true);
        m_modelCombo->setEnabled(false);
        m_levelCombo->setCurrentIndex(m_levelCombo->findText(m_strLevel, Qt::MatchExactly | Qt::MatchCaseSensitive));
        findChild<QPushButton*>(ControlName(1021))->setFocus();
        if (m_mode == ViewMode) {
            for (QWidget* control : {static_cast<QWidget*>(m_paramList), static_cast<QWidget*>(m_priceList),
                                     static_cast<QWidget*>(m_lineLossBox), static_cast<QWidget*>(m_transLossBox),
                                     static_cast<QWidget*>(m_priceButton), static_cast<QWidget*>(m_okButton)})
                control->setEnabled(false);
            m_descripEdit->setReadOnly(true);
            m_lineLossEdit->setReadOnly(true);
            m_transLossEdit->setReadOnly(true);
        }
    }
    SetInitDone(1);
    return true;
}

const CPreModel* CCliPreEditDlg::selectedModel() const
{
    const int index = m_modelCombo->currentIndex();
    return index >= 0 && index < m_models.GetCount() ? m_models.At(index) : nullptr;
}

QString CCliPreEditDlg::offeredPriceNames() const
{
    return m_priceNames.join(u'|');
}

void CCliPreEditDlg::OnModelChange()
{
    const CPreModel* model = selectedModel();
    if (!model || (model == m_pApplied && IsInitDone()))
        return;
    m_pApplied = model;
    const bool given = m_firstFill && m_mode != AddMode;
    m_firstFill = false;

    const QString values[] = {model->GetModel(),
                              model->GetSpec(),
                              QString::asprintf("%d", model->GetInnerMul()),
                              model->GetDevType(),
                              model->GetCardType(),
                              model->GetPhase(),
                              QString::asprintf("%0.1f", model->GetBaseValue()),
                              QString::asprintf("%0.1f", model->GetMaxLimit()),
                              QString::asprintf("%0.1f", model->GetMinLimit()),
                              model->GetbCt(),
                              model->GetbPt()};
    for (int row = 0; row < static_cast<int>(std::size(values)); ++row)
        m_typeList->SetItemText(row, 1, values[row]);

    m_paramList->DeleteAllItems();
    const QString limitUnit = model->GetCardType() == kInfrared ? QStringLiteral("A")
                              : model->GetCardType() == kIcKey  ? QStringLiteral("%")
                                                                : QString();
    const QString units[] = {QString(), QString(), limitUnit, QStringLiteral("度"), QStringLiteral("度"),
                             QString(), QString()};
    const QString defaults[] = {
        QStringLiteral("1"),   QStringLiteral("1"),  QString::asprintf("%d", defaultLimit(*model)),
        QStringLiteral("30"),  QStringLiteral("20"), QStringLiteral("0"),
        QStringLiteral("常闭")};
    for (int row = 0; row < ParamCount; ++row) {
        m_paramList->InsertRow(row, QString::fromUtf8(kParamNames[row]), nullptr);
        m_paramList->SetItemText(row, 1, given ? m_strParams[row] : defaults[row]);
        m_paramList->SetItemText(row, 2, units[row]);
    }

    m_priceList->DeleteAllItems();
    CPriceVerList prices;
    prices.LoadValidOfType(kPrepaid);
    m_priceNames.clear();
    for (int i = 0; i < prices.GetCount(); ++i)
        m_priceNames << prices.At(i)->GetPriceName();
    m_priceList->SetColumnEditor(PriceName, KV_EDIT_COMBO, offeredPriceNames());
    if (given) {
        for (int i = 0; i < m_nPriceCount; ++i) {
            CPriceVerList valid;
            const CPriceVer* version = valid.FindValidTodayByPriceNo(m_PriceShares[i].GetPriceNo());
            const int row = m_priceList->InsertRow(i, QString(), nullptr);
            m_priceList->SetItemText(row, PricePercent, QString::asprintf("%d", m_PriceShares[i].GetPricePercent()));
            if (version) {
                setPriceRow(row, version->GetPriceName());
            } else {
                // A price with no version valid today keeps its code; the name
                // must be chosen again before the meter can be confirmed.
                m_priceList->SetItemText(row, PriceCode, m_PriceShares[i].GetPriceNo());
            }
        }
    } else {
        const int row = m_priceList->InsertRow(0, QString(), nullptr);
        m_priceList->SetItemText(row, PricePercent, QStringLiteral("100"));
        setPriceRow(row, m_priceNames.value(0));
    }
}

void CCliPreEditDlg::setPriceRow(int row, const QString& name)
{
    m_priceList->SetItemText(row, PriceName, name);
    OnPriceNameChanged(row);
}

void CCliPreEditDlg::OnPriceNameChanged(int row)
{
    const QString name = m_priceList->GetItemText(row, PriceName);
    if (name.isEmpty())
        return;
    CPriceVerList valid;
    const CPriceVer* version = valid.FindValidTodayByPriceName(name);
    if (!version)
        return;
    m_priceList->SetItemText(row, PriceCode, version->GetPriceNo());
    m_priceList->SetItemText(row, PriceUnit, QString::asprintf("%0.4f", version->GetPrice()));
}

bool CCliPreEditDlg::priceRowsFull()
{
    if (m_priceList->GetItemCount() < kMaxShares)
        return false;
    PromptBox(QStringLiteral("组合电价太多！"), this);
    return true;
}

void CCliPreEditDlg::OnPriceCommand(int command)
{
    switch (command) {
    case ID_PRICE_APPEND: {
        if (priceRowsFull())
            return;
        const int row = m_priceList->InsertRow(m_priceList->GetItemCount(), QString(), nullptr);
        m_priceList->BeginEdit(row, PriceName);
        break;
    }
    case ID_PRICE_INSERT: {
        if (priceRowsFull())
            return;
        const int selected = m_priceList->GetSelectedRow();
        const int row =
            m_priceList->InsertRow(selected >= 0 ? selected + 1 : m_priceList->GetItemCount(), QString(), nullptr);
        m_priceList->BeginEdit(row, PriceName);
        break;
    }
    case ID_PRICE_DELETE: {
        const int row = m_priceList->GetSelectedRow();
        if (row < 0) {
            PromptBox(QStringLiteral("请选中行！"), this);
            return;
        }
        m_priceList->DeleteItem(row);
        if (row > 0)
            m_priceList->BeginEdit(row - 1, PriceName);
        break;
    }
    default:
        break;
    }
}

void CCliPreEditDlg::OnLineLossBox()
{
    if (m_lineLossBox->isChecked()) {
        m_lineLossEdit->setReadOnly(false);
        m_lineLossEdit->setText(m_LineLossShown.Show(GetMainSysPara()->GetFloatPara(QStringLiteral("LWaste")), 2));
        m_lineLossEdit->setFocus();
    } else {
        m_lineLossEdit->setReadOnly(true);
        m_LineLossShown.Forget();
        m_lineLossEdit->setText(QStringLiteral("0.00"));
    }
}

void CCliPreEditDlg::OnTransLossBox()
{
    if (m_transLossBox->isChecked()) {
        m_transLossEdit->setReadOnly(false);
        m_transLossEdit->setFocus();
    } else {
        m_transLossEdit->setReadOnly(true);
        m_TransLossShown.Forget();
        m_transLossEdit->setText(QStringLiteral("0.00"));
    }
}

bool CCliPreEditDlg::paramFixed(int row, QString* value) const
{
    const QString devType = m_typeList->GetItemText(3, 1);
    QString fixed;
    bool isFixed = false;
    switch (row) {
    case ParamCt:
    case ParamPt:
        isFixed = m_typeList->GetItemText(row == ParamCt ? 9 : 10, 1) == kNo;
        fixed = QStringLiteral("1");
        break;
    case ParamLimit:
        isFixed = devType == kController;
        break;
    case ParamPulses:
        isFixed = devType == kMeter;
        fixed = QStringLiteral("0");
        break;
    case ParamOutState:
        isFixed = devType == kMeter;
        fixed = QStringLiteral("常闭");
        break;
    default:
        break;
    }
    if (value)
        *value = fixed;
    return isFixed;
}

bool CCliPreEditDlg::ParamEditKind(int row, CKvColumnInfo& info)
{
    QString fixed;
    if (paramFixed(row, &fixed)) {
        if (!fixed.isNull())
            m_paramList->SetItemText(row, 1, fixed);
        info.m_kind = KV_EDIT_NONE;
        return false;
    }
    if (row == ParamOutState) {
        info.m_kind = KV_EDIT_COMBO;
        info.m_items = QStringLiteral("常开|常闭");
    } else {
        info.m_kind = KV_EDIT_NUMBER;
    }
    return true;
}

void CCliPreEditDlg::ParamCellColour(CKvCellDC& dc, int row, int column) const
{
    const QPalette palette = m_paramList->palette();
    if (column == 0) {
        dc.SetBkColor(palette.color(QPalette::Button));
        dc.SetTextColor(palette.color(QPalette::ButtonText));
        return;
    }
    dc.SetBkColor(palette.color(QPalette::Window));
    if (column == 2) {
        dc.SetTextColor(KvFixedCellColour());
        return;
    }
    dc.SetTextColor(paramFixed(row, nullptr) ? KvFixedCellColour() : KvEditableCellColour());
}

void CCliPreEditDlg::PriceCellColour(CKvCellDC& dc, int, int column) const
{
    dc.SetTextColor(column == PriceName || column == PricePercent ? KvEditableCellColour() : KvFixedCellColour());
}

bool CCliPreEditDlg::refuse(const QString& text, QWidget* focus)
{
    PromptBox(text, this);
    if (focus)
        focus->setFocus();
    return false;
}

bool CCliPreEditDlg::refuseCell(const QString& text, CKvExtList2* list, int row, int column)
{
    PromptBox(text, this);
    if (row >= 0 && row < list->GetItemCount())
        list->BeginEdit(row, column);
    return false;
}

bool CCliPreEditDlg::checkParams()
{
    const auto value = [this](int row) {
        return row < m_paramList->GetItemCount() ? m_paramList->GetItemText(row, 1) : QString();
    };
    const auto refuseParam = [this](const char* text, int row) {
        return refuseCell(QString::fromUtf8(text), m_paramList, row, 1);
    };
    // Each parameter is stored as it reads here: a text that is not wholly a
    // whole number of its field's range is refused by the field's name.
    const auto refuseRange = [&](int row, const KvNumberField& field) {
        int read = 0;
        return KvReadNumber(value(row), field, &read) || refuseCell(field.Refusal(), m_paramList, row, 1);
    };
    if (missing(value(ParamCt)))
        return refuseParam("请输入CT", ParamCt);
    // Sales divide by CT and PT: neither may be 0.
    if (CNumEdit::TextToDouble(value(ParamCt)) <= 0)
        return refuseParam("CT倍率应大于0！", ParamCt);
    if (!refuseRange(ParamCt, {QStringLiteral("CT倍率"), 1, 9999}))
        return false;
    if (missing(value(ParamPt)))
        return refuseParam("请输入PT", ParamPt);
    if (CNumEdit::TextToDouble(value(ParamPt)) <= 0)
        return refuseParam("PT倍率应大于0！", ParamPt);
    if (!refuseRange(ParamPt, {QStringLiteral("PT倍率"), 1, 9999}))
        return false;
    if (missing(value(ParamLimit)))
        return refuseParam("请输入限电值", ParamLimit);
    // The type's rules speak first; the range then refuses what is not wholly
    // a whole number.
    double limitMax = kLimitFieldMax;
    if (const CPreModel* model = m_pApplied) {
        const int limit = KvLeadingInteger(value(ParamLimit));
        if (model->GetCardType() == kInfrared && limit > model->GetMaxLimit())
            return refuseParam("限电流不应大于最大电流！", ParamLimit);
        if (model->GetCardType() == kIcKey) {
            const double bound = icLimitBound(*model);
            if (limit > bound)
                return refuseParam("限电值太大！", ParamLimit);
            limitMax = qMax(limitMax, std::floor(bound));
        }
    }
    if (!refuseRange(ParamLimit, {QStringLiteral("限电值"), 0, limitMax}))
        return false;
    if (missing(value(ParamAlarm)))
        return refuseParam("请输入告警门限", ParamAlarm);
    if (value(ParamAlarm).trimmed().size() > 3)
        return refuseParam("告警门限不应大于999", ParamAlarm);
    if (!refuseRange(ParamAlarm, {QStringLiteral("告警门限"), 0, 999}))
        return false;
    if (missing(value(ParamClose)))
        return refuseParam("请输入断电门限", ParamClose);
    if (value(ParamClose).trimmed().size() > 2)
        return refuseParam("断电门限不应大于99", ParamClose);
    if (!refuseRange(ParamClose, {QStringLiteral("断电门限"), 0, 99}))
        return false;
    if (missing(value(ParamPulses)))
        return refuseParam("请输入脉冲常数", ParamPulses);
    return refuseRange(ParamPulses, {QStringLiteral("脉冲常数"), 0, 9999});
}

bool CCliPreEditDlg::checkPrices()
{
    const int rows = m_priceList->GetItemCount();
    if (rows == 0)
        return refuse(QStringLiteral("请添加电价！"), nullptr);
    int total = 0;
    for (int row = 0; row < rows; ++row) {
        if (m_priceList->GetItemText(row, PriceName).trimmed().isEmpty())
            return refuseCell(QStringLiteral("请选择电价！"), m_priceList, row, PriceName);
        const QString percent = m_priceList->GetItemText(row, PricePercent).trimmed();
        if (percent.isEmpty())
            return refuseCell(QStringLiteral("请输入电价百分比！"), m_priceList, row, PricePercent);
        int share = 0;
        if (!KvReadNumber(percent, KvNumberField{QStringLiteral("百分比"), 0, 100}, &share))
            return refuseCell(QStringLiteral("请设置合法的比例！"), m_priceList, row, PricePercent);
        total += share;
    }
    if (total != 100)
        return refuseCell(QStringLiteral("全部价格百分比之和不为100！"), m_priceList, rows - 1, PricePercent);
    return true;
}

void CCliPreEditDlg::OnOK()
{
    UpdateData(true);
    QString meterNo = m_strMeterNo;
    TrimString(meterNo);
    if (meterNo.isEmpty())
        return (void)refuse(QStringLiteral("请输入表号"), m_meterNoEdit);
    if (meterNo.size() != 8)
        return (void)refuse(QStringLiteral("表号长度应为8！"), m_meterNoEdit);
    // Eight ASCII digits, not all zeros: a sign or any other character is refused.
    const bool digitsOnly =
        std::all_of(meterNo.cbegin(), meterNo.cend(), [](QChar c) { return c >= u'0' && c <= u'9'; });
    if (!digitsOnly || meterNo.toInt() == 0)
        return (void)refuse(QStringLiteral("表号应为数字，且不全为0！"), m_meterNoEdit);
    // A loss below 0 would lower the charge of every sale.
    const KvNumberField transLoss{QStringLiteral("变损"), 0, 99999999, 10};
    const KvNumberField lineLoss{QStringLiteral("线损"), 0, 100, 10};
    double loss = 0;
    if (missing(m_strTransLoss))
        return (void)refuse(QStringLiteral("请输入变损"), m_transLossEdit);
    if (!KvReadNumber(m_strTransLoss, transLoss, &loss))
        return (void)refuse(transLoss.Refusal(), m_transLossEdit);
    if (missing(m_strLineLoss))
        return (void)refuse(QStringLiteral("请输入线损"), m_lineLossEdit);
    if (!KvReadNumber(m_strLineLoss, lineLoss, &loss))
        return (void)refuse(lineLoss.Refusal(), m_lineLossEdit);
    QString prePay = m_strPrePayRate;
    TrimString(prePay);
    if (prePay.isEmpty())
        return (void)refuse(QStringLiteral("请输入预付比例"), m_prePayEdit);
    if (CNumEdit::TextToDouble(prePay) < 0)
        return (void)refuse(QStringLiteral("预付比例应大于0！"), m_prePayEdit);
    const KvNumberField prePayField{QStringLiteral("预提比例"), 0, 100};
    if (int rate = 0; !KvReadNumber(prePay, prePayField, &rate))
        return (void)refuse(prePayField.Refusal(), m_prePayEdit);
    // The parent meter goes into the carrier's record (23 bytes there).
    if (const QString refusal = ToolTextRefusal(QStringLiteral("上级表号"), m_strSuperNo); !refusal.isEmpty())
        return (void)refuse(refusal, m_superNoEdit);
    if (GbkByteLength(m_strSuperNo) > 20)
        return (void)refuse(QStringLiteral("上级表号长度不应大于20！"), m_superNoEdit);
    if (!checkParams() || !checkPrices())
        return;

    m_strMeterNo = meterNo;
    m_strModelId = m_modelCombo->currentText();
    m_strLevel = m_levelCombo->currentText();
    for (int row = 0; row < ParamCount; ++row)
        m_strParams[row] = m_paramList->GetItemText(row, 1);
    m_nPriceCount = m_priceList->GetItemCount();
    for (int row = 0; row < m_nPriceCount; ++row) {
        m_PriceShares[row] = CPrePrice();
        m_PriceShares[row].SetPriceX(row);
        m_PriceShares[row].SetPriceNo(m_priceList->GetItemText(row, PriceCode));
        m_PriceShares[row].SetPricePercent(KvLeadingInteger(m_priceList->GetItemText(row, PricePercent)));
    }
    UpdateData(false);
    QDialog::accept();
}
