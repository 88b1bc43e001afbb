#include "CSaleConditionDlg.h"

#include "KvReportFormat.h"
#include "KvSaleQuerySql.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpressionValidator>
#include <QVBoxLayout>

namespace {

QStringList numberedItems(int last)
{
    QStringList items{QString()};
    for (int i = 1; i <= last; ++i)
        items << QStringLiteral("%1").arg(i, 2, 10, QLatin1Char('0'));
    return items;
}

// A fixed list is restored by exact text; nothing matching leaves no selection.
void selectText(QComboBox* combo, const QString& text)
{
    combo->setCurrentIndex(combo->findText(text, Qt::MatchExactly | Qt::MatchCaseSensitive));
}

// A master-data choice keeps its record's code as item data.
void selectCode(QComboBox* combo, const QString& code)
{
    int found = -1;
    for (int i = 0; i < combo->count() && found < 0; ++i)
        if (combo->itemData(i).toString() == code)
            found = i;
    combo->setCurrentIndex(found);
}

// The code of the chosen item; a text typed without choosing an item has none.
QString chosenCode(const QComboBox* combo)
{
    const int i = combo->currentIndex();
    if (i < 0 || combo->itemText(i) != combo->currentText())
        return QString();
    return combo->itemData(i).toString();
}

} // namespace

CSaleConditionDlg::CSaleConditionDlg(int templateId, QWidget* parent, const QString& caption,
                                     const QHash<int, int>& checkIds, const QString& okText, const QStringList& opModes,
                                     bool opModeTyped)
    : CKvDialog(templateId, parent, caption), m_checkIds(checkIds)
{
    auto combo = [this](int id, const QStringList& items = {}, bool typed = false) {
        auto* c = CreateControl<QComboBox>(id);
        c->setEditable(typed);
        c->addItems(items);
        return c;
    };
    auto edit = [this](int id) { return CreateControl<QLineEdit>(id); };

    m_fromDate = CreateControl<QDateEdit>(1206);
    m_toDate = CreateControl<QDateEdit>(1207);
    for (QDateEdit* d : {m_fromDate, m_toDate}) {
        d->setCalendarPopup(true);
        d->setDisplayFormat(QStringLiteral("yyyy-MM-dd"));
    }
    m_clientNoEdit = edit(1002);
    m_nameEdit = edit(1009);
    m_meterEdit = edit(1105);
    m_priceCombo = combo(1182, {}, true);
    m_payCombo = combo(1300, {QStringLiteral("现金"), QStringLiteral("支票")});
    m_operatorCombo = combo(1257, {}, true);
    m_devCombo = combo(1238, {QStringLiteral("预付费电表"), QStringLiteral("预付费控制器")});
    m_cardCombo = combo(1153, {QStringLiteral("红外遥控卡"), QStringLiteral("IC钥匙卡"), QStringLiteral("IC片卡")});
    m_phaseCombo = combo(1241, {QStringLiteral("单相二线"), QStringLiteral("三相四线"), QStringLiteral("三相三线")});
    m_opModeCombo = combo(1058, opModes, opModeTyped);
    if (opModeTyped)
        m_opModeCombo->model()->sort(0);
    m_blockCombo = combo(1042);
    m_buildingCombo = combo(1043);
    m_floorCombo = combo(1044, numberedItems(50));
    m_roomFromCombo = combo(1045, numberedItems(99));
    m_roomToCombo = combo(1046, numberedItems(99));
    QStringList units;
    const QStringList numerals{"一", "二", "三", "四", "五", "六", "七", "八", "九", "十"};
    for (const QString& n : numerals)
        units << n + QStringLiteral("单元");
    m_unitCombo = combo(1008, units);
    m_deptCombo = combo(1007);
    m_levelCombo = combo(1010, {QStringLiteral("一级"), QStringLiteral("二级"), QStringLiteral("三级"),
                                QStringLiteral("四级"), QStringLiteral("五级")});
    m_superEdit = edit(1011);
    m_buyFromEdit = edit(1155);
    m_buyToEdit = edit(1156);
    for (QLineEdit* e : {m_buyFromEdit, m_buyToEdit})
        e->setValidator(new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9]*")), e));

    auto* outer = new QVBoxLayout(this);
    m_grid = new QGridLayout;
    outer->addLayout(m_grid);
    auto* period = new QWidget(this);
    auto* periodRow = new QHBoxLayout(period);
    periodRow->setContentsMargins(0, 0, 0, 0);
    periodRow->addWidget(new QLabel(QStringLiteral("从"), period));
    periodRow->addWidget(m_fromDate);
    periodRow->addWidget(new QLabel(QStringLiteral("到"), period));
    periodRow->addWidget(m_toDate);
    addRow(Period, QString(), {m_fromDate, m_toDate});
    m_grid->addWidget(period, m_row - 1, 1, 1, 3);
    addRow(ClientNo, QStringLiteral("用户代码："), {m_clientNoEdit});
    addRow(ClientName, QStringLiteral("用户姓名："), {m_nameEdit});
    addRow(MeterNo, QStringLiteral("电表编号："), {m_meterEdit});
    addRow(UseNature, QStringLiteral("用电性质："), {m_priceCombo});
    addRow(PayMode, QStringLiteral("付款方式："), {m_payCombo});
    addRow(Operator, QStringLiteral("操作员："), {m_operatorCombo});
    addRow(DevType, QStringLiteral("设备类型："), {m_devCombo});
    addRow(CardType, QStringLiteral("电卡类型："), {m_cardCombo});
    addRow(Phase, QStringLiteral("电表相线："), {m_phaseCombo});
    addRow(OpMode, QStringLiteral("操作方式："), {m_opModeCombo});
    addRow(Block, QStringLiteral("小区名称："), {m_blockCombo});
    addRow(Building, QStringLiteral("楼幢名称："), {m_buildingCombo});
    addRow(Floor, QStringLiteral("楼    层："), {m_floorCombo});
    addRow(Room, QStringLiteral("房    间："), {m_roomFromCombo, m_roomToCombo});
    addRow(Unit, QStringLiteral("单    元："), {m_unitCombo});
    addRow(Department, QStringLiteral("部    门："), {m_deptCombo});
    addRow(Level, QStringLiteral("安装级别："), {m_levelCombo});
    addRow(SuperNo, QStringLiteral("上级表号："), {m_superEdit});
    addRow(BuyValue, QStringLiteral("购 电 量："), {m_buyFromEdit, m_buyToEdit});

    auto* buttons = new QHBoxLayout;
    auto* ok = CreateControl<QPushButton>(1000);
    ok->setText(okText);
    ok->setDefault(true);
    auto* format = CreateControl<QPushButton>(1112);
    format->setText(QStringLiteral("报表格式(&F)"));
    auto* close = CreateControl<QPushButton>(1001);
    close->setText(QStringLiteral("返回(&R)"));
    buttons->addWidget(ok);
    buttons->addWidget(format);
    buttons->addWidget(close);
    outer->addLayout(buttons);
    BindConfirm(ok);
    BindClose(close);
    connect(format, &QPushButton::clicked, this, [this] { OnReportFormat(); });
    connect(m_blockCombo, &QComboBox::currentIndexChanged, this, [this] {
        if (IsInitDone())
            OnSelchangeBlock();
    });
}

void CSaleConditionDlg::addRow(ECondition condition, const QString& text, QList<QWidget*> values)
{
    auto* box = CreateControl<QCheckBox>(m_checkIds.value(condition));
    box->setText(text);
    m_boxes.insert(condition, box);
    m_values.insert(condition, values);
    m_grid->addWidget(box, m_row, 0);
    if (condition != Period)
        for (int i = 0; i < values.size(); ++i)
            m_grid->addWidget(values.at(i), m_row, 1 + i);
    ++m_row;
    connect(box, &QCheckBox::clicked, this, [this, condition] { OnCheck(condition); });
}

bool CSaleConditionDlg::OnInitDialog()
{
    CKvDialog::OnInitDialog();
    m_priceList.LoadValidOfType(QStringLiteral("预付费电价"));
    m_operatorList.LoadAll();
    m_blockList.LoadWithoutReserved();
    m_buildingList.LoadAll();
    m_departmentList.LoadWithoutReserved();

    for (int i = 0; i < m_priceList.GetCount(); ++i)
        m_priceCombo->addItem(m_priceList.At(i)->GetPriceName(), m_priceList.At(i)->GetPriceNo());
    m_priceCombo->model()->sort(0);
    for (int i = 0; i < m_operatorList.GetCount(); ++i)
        m_operatorCombo->addItem(m_operatorList.At(i)->GetOperatorName(), m_operatorList.At(i)->GetOperatorNo());
    m_operatorCombo->model()->sort(0);
    for (int i = 0; i < m_blockList.GetCount(); ++i)
        m_blockCombo->addItem(m_blockList.At(i)->GetBlockName(), m_blockList.At(i)->GetBlockNo());
    for (int i = 0; i < m_departmentList.GetCount(); ++i)
        m_deptCombo->addItem(m_departmentList.At(i)->GetDepartmentName(), m_departmentList.At(i)->GetDepartmentNo());
    m_buildingCombo->clear();

    selectCode(m_priceCombo, m_cond.m_priceNo);
    selectCode(m_operatorCombo, m_cond.m_operatorNo);
    selectCode(m_blockCombo, m_cond.m_blockNo);
    if (m_blockCombo->currentIndex() >= 0)
        fillBuildings(m_cond.m_blockNo);
    selectCode(m_buildingCombo, m_cond.m_buildingNo);
    selectCode(m_deptCombo, m_cond.m_departmentNo);
    selectText(m_payCombo, m_cond.m_payMode);
    selectText(m_devCombo, m_cond.m_devType);
    selectText(m_cardCombo, m_cond.m_cardType);
    selectText(m_phaseCombo, m_cond.m_phase);
    selectText(m_opModeCombo, m_cond.m_opMode);
    selectText(m_floorCombo, m_cond.m_floor);
    selectText(m_roomFromCombo, m_cond.m_roomFrom);
    selectText(m_roomToCombo, m_cond.m_roomTo);
    selectText(m_unitCombo, m_cond.m_unit);
    selectText(m_levelCombo, m_cond.m_level);

    for (int c = 0; c < ConditionCount; ++c)
        OnCheck(static_cast<ECondition>(c));
    SetInitDone(1);
    return true;
}

void CSaleConditionDlg::HideCondition(ECondition condition)
{
    m_boxes.value(condition)->hide();
    for (QWidget* w : m_values.value(condition))
        w->hide();
}

void CSaleConditionDlg::setValueEnabled(ECondition condition, bool on)
{
    for (QWidget* w : m_values.value(condition)) {
        if (auto* e = qobject_cast<QLineEdit*>(w))
            e->setReadOnly(!on);
        else
            w->setEnabled(on);
    }
}

void CSaleConditionDlg::tick(ECondition condition)
{
    m_boxes.value(condition)->setChecked(true);
    setValueEnabled(condition, true);
}

void CSaleConditionDlg::OnCheck(ECondition condition)
{
    const bool on = m_boxes.value(condition)->isChecked();
    setValueEnabled(condition, on);
    const QList<QWidget*> values = m_values.value(condition);
    if (on) {
        // A place inside a building is only found within its district and building.
        switch (condition) {
        case Room:
            tick(Floor);
            [[fallthrough]];
        case Floor:
        case Unit:
            tick(Building);
            [[fallthrough]];
        case Building:
            tick(Block);
            break;
        default:
            break;
        }
        if (!values.isEmpty())
            values.first()->setFocus();
        return;
    }
    if (condition == Period)
        return;
    for (QWidget* w : values) {
        if (auto* e = qobject_cast<QLineEdit*>(w))
            e->clear();
        else if (auto* c = qobject_cast<QComboBox*>(w))
            c->setCurrentIndex(-1);
    }
}

void CSaleConditionDlg::fillBuildings(const QString& blockNo)
{
    m_buildingCombo->clear();
    m_buildingList.LoadByBlock(blockNo);
    for (int i = 0; i < m_buildingList.GetCount(); ++i)
        m_buildingCombo->addItem(m_buildingList.At(i)->GetBuildingName(), m_buildingList.At(i)->GetBuildingNo());
    m_buildingCombo->setCurrentIndex(-1);
}

void CSaleConditionDlg::OnSelchangeBlock()
{
    if (m_blockCombo->currentIndex() < 0)
        return;
    m_cond.m_blockNo = chosenCode(m_blockCombo);
    fillBuildings(m_cond.m_blockNo);
}

bool CSaleConditionDlg::DoDataExchange(bool save)
{
    int* const flags[ConditionCount] = {
        &m_cond.m_bPeriod,     &m_cond.m_bClientNo, &m_cond.m_bClientName, &m_cond.m_bMeterNo,  &m_cond.m_bUseNature,
        &m_cond.m_bPayMode,    &m_cond.m_bOperator, &m_cond.m_bDevType,    &m_cond.m_bCardType, &m_cond.m_bPhase,
        &m_cond.m_bOpMode,     &m_cond.m_bBlock,    &m_cond.m_bBuilding,   &m_cond.m_bFloor,    &m_cond.m_bRoom,
        &m_cond.m_bDepartment, &m_cond.m_bUnit,     &m_cond.m_bLevel,      &m_cond.m_bSuperNo,  &m_cond.m_bBuyValue};
    const QList<QPair<QLineEdit*, QString*>> edits{
        {m_clientNoEdit, &m_cond.m_clientNo}, {m_nameEdit, &m_cond.m_clientName}, {m_meterEdit, &m_cond.m_meterNo},
        {m_superEdit, &m_cond.m_superNo},     {m_buyFromEdit, &m_cond.m_buyFrom}, {m_buyToEdit, &m_cond.m_buyTo}};
    if (!save) {
        for (int c = 0; c < ConditionCount; ++c)
            m_boxes.value(c)->setChecked(*flags[c] != 0);
        m_fromDate->setDate(m_cond.m_periodFrom.date());
        m_toDate->setDate(m_cond.m_periodTo.date());
        for (const auto& [e, text] : edits)
            e->setText(*text);
        return true;
    }
    for (int c = 0; c < ConditionCount; ++c)
        *flags[c] = m_boxes.value(c)->isChecked() ? 1 : 0;
    m_cond.m_periodFrom = QDateTime(m_fromDate->date(), m_cond.m_periodFrom.time());
    m_cond.m_periodTo = QDateTime(m_toDate->date(), m_cond.m_periodTo.time());
    for (const auto& [e, text] : edits)
        *text = e->text();
    const QList<QPair<QComboBox*, QPair<QString*, QString*>>> chosen{
        {m_priceCombo, {&m_cond.m_priceNo, &m_cond.m_priceName}},
        {m_operatorCombo, {&m_cond.m_operatorNo, &m_cond.m_operatorName}},
        {m_blockCombo, {&m_cond.m_blockNo, &m_cond.m_blockName}},
        {m_buildingCombo, {&m_cond.m_buildingNo, &m_cond.m_buildingName}},
        {m_deptCombo, {&m_cond.m_departmentNo, &m_cond.m_departmentName}}};
    for (const auto& [combo, target] : chosen) {
        *target.first = chosenCode(combo);
        *target.second = combo->currentText();
    }
    const QList<QPair<QComboBox*, QString*>> shown{
        {m_payCombo, &m_cond.m_payMode},       {m_devCombo, &m_cond.m_devType},   {m_cardCombo, &m_cond.m_cardType},
        {m_phaseCombo, &m_cond.m_phase},       {m_opModeCombo, &m_cond.m_opMode}, {m_floorCombo, &m_cond.m_floor},
        {m_roomFromCombo, &m_cond.m_roomFrom}, {m_roomToCombo, &m_cond.m_roomTo}, {m_unitCombo, &m_cond.m_unit},
        {m_levelCombo, &m_cond.m_level}};
    for (const auto& [combo, text] : shown)
        *text = combo->currentText();
    return true;
}

QHash<int, int> CSaleConditionDlg::QueryCheckIds()
{
    using D = CSaleConditionDlg;
    return {{D::Period, 1204},  {D::ClientNo, 1051},   {D::ClientName, 1263}, {D::MeterNo, 1251},  {D::UseNature, 1252},
            {D::PayMode, 1299}, {D::Operator, 1256},   {D::DevType, 1237},    {D::CardType, 1239}, {D::Phase, 1246},
            {D::OpMode, 1057},  {D::Block, 1041},      {D::Building, 1053},   {D::Floor, 1054},    {D::Room, 1055},
            {D::Unit, 1059},    {D::Department, 1056}, {D::Level, 1060},      {D::SuperNo, 1061},  {D::BuyValue, 1152}};
}

CSaleQueryDlg::CSaleQueryDlg(QWidget* parent, const QString& caption)
    : CSaleConditionDlg(183, parent, caption, QueryCheckIds(), QStringLiteral("查询(&Q)"),
                        {QStringLiteral("开户"), QStringLiteral("正常充值"), QStringLiteral("修改充值"),
                         QStringLiteral("补卡充值"), QStringLiteral("补卡充值2"), QStringLiteral("返卡退费"),
                         QStringLiteral("校园退费")},
                        true)
{
}

void CSaleQueryDlg::OnReportFormat()
{
    SetupReportFormat(SaleRecordReportType());
}
