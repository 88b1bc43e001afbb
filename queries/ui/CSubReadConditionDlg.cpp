#include "CSubReadConditionDlg.h"

#include "KvConditionCombos.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

CSubReadConditionDlg::CSubReadConditionDlg(int templateId, QWidget* parent, const QString& caption,
                                           const QString& okText)
    : CKvDialog(templateId, parent, caption)
{
    auto combo = [this](int id, const QStringList& items = {}) {
        auto* c = CreateControl<QComboBox>(id);
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
    m_categoryCombo = combo(1083);
    m_priceCombo = combo(1182);
    m_subNoEdit = edit(1185);
    m_operatorCombo = combo(1257);
    m_blockCombo = combo(1042);
    m_buildingCombo = combo(1043);
    m_floorCombo = combo(1044, NumberedItems(50));
    m_roomFromCombo = combo(1045, NumberedItems(99));
    m_roomToCombo = combo(1046, NumberedItems(99));
    m_unitCombo = combo(1008, UnitItems());
    m_deptCombo = combo(1007);
    m_levelCombo = combo(1010, LevelItems());
    m_superEdit = edit(1011);

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
    m_grid->addWidget(period, m_row - 1, 1, 1, 2);
    addRow(ClientNo, QStringLiteral("用户代码："), {m_clientNoEdit});
    addRow(ClientName, QStringLiteral("用户姓名："), {m_nameEdit});
    addRow(MeterNo, QStringLiteral("电表编号："), {m_meterEdit});
    addRow(Category, QStringLiteral("计量类别："), {m_categoryCombo});
    addRow(FeeNature, QStringLiteral("收费性质："), {m_priceCombo});
    addRow(SubNo, QStringLiteral("附表编号："), {m_subNoEdit});
    addRow(Operator, QStringLiteral("操作员："), {m_operatorCombo});
    addRow(Block, QStringLiteral("小区名称："), {m_blockCombo});
    addRow(Building, QStringLiteral("楼幢名称："), {m_buildingCombo});
    addRow(Floor, QStringLiteral("楼    层："), {m_floorCombo});
    addRow(Room, QStringLiteral("房    间："), {m_roomFromCombo, m_roomToCombo});
    addRow(Unit, QStringLiteral("单    元："), {m_unitCombo});
    addRow(Department, QStringLiteral("部    门："), {m_deptCombo});
    addRow(Level, QStringLiteral("安装级别："), {m_levelCombo});
    addRow(SuperNo, QStringLiteral("上级表号："), {m_superEdit});

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
    connect(m_categoryCombo, &QComboBox::currentIndexChanged, this, [this] {
        if (IsInitDone())
            OnSelchangeCategory();
    });
}

int CSubReadConditionDlg::CheckBoxId(ECondition condition)
{
    static const int ids[ConditionCount] = {1204, 1051, 1263, 1251, 1086, 1252, 1256, 1084,
                                            1041, 1053, 1054, 1055, 1056, 1059, 1060, 1061};
    return condition >= 0 && condition < ConditionCount ? ids[condition] : -1;
}

void CSubReadConditionDlg::addRow(ECondition condition, const QString& text, QList<QWidget*> values)
{
    auto* box = CreateControl<QCheckBox>(CheckBoxId(condition));
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

bool CSubReadConditionDlg::OnInitDialog()
{
    CKvDialog::OnInitDialog();
    m_operatorList.LoadAll();
    m_blockList.LoadWithoutReserved();
    m_buildingList.LoadAll();
    m_departmentList.LoadWithoutReserved();
    m_priceTypeList.LoadAll();

    for (int i = 0; i < m_operatorList.GetCount(); ++i)
        m_operatorCombo->addItem(m_operatorList.At(i)->GetOperatorName(), m_operatorList.At(i)->GetOperatorNo());
    for (int i = 0; i < m_blockList.GetCount(); ++i)
        m_blockCombo->addItem(m_blockList.At(i)->GetBlockName(), m_blockList.At(i)->GetBlockNo());
    for (int i = 0; i < m_departmentList.GetCount(); ++i)
        m_deptCombo->addItem(m_departmentList.At(i)->GetDepartmentName(), m_departmentList.At(i)->GetDepartmentNo());
    m_categoryCombo->addItems(CPriceType::BuiltInTypes());
    for (int i = 0; i < m_priceTypeList.GetCount(); ++i)
        m_categoryCombo->addItem(m_priceTypeList.At(i)->GetPriceType());
    m_buildingCombo->clear();

    SelectComboText(m_categoryCombo, m_cond.m_category);
    if (m_categoryCombo->currentIndex() >= 0)
        fillFeeNatures(m_cond.m_category);
    SelectComboCode(m_priceCombo, m_cond.m_priceNo);
    SelectComboCode(m_operatorCombo, m_cond.m_operatorNo);
    SelectComboCode(m_blockCombo, m_cond.m_blockNo);
    if (m_blockCombo->currentIndex() >= 0)
        fillBuildings(m_cond.m_blockNo);
    SelectComboCode(m_buildingCombo, m_cond.m_buildingNo);
    SelectComboCode(m_deptCombo, m_cond.m_departmentNo);
    SelectComboText(m_floorCombo, m_cond.m_floor);
    SelectComboText(m_roomFromCombo, m_cond.m_roomFrom);
    SelectComboText(m_roomToCombo, m_cond.m_roomTo);
    SelectComboText(m_unitCombo, m_cond.m_unit);
    SelectComboText(m_levelCombo, m_cond.m_level);

    for (int c = 0; c < ConditionCount; ++c)
        OnCheck(static_cast<ECondition>(c));
    SetInitDone(1);
    return true;
}

void CSubReadConditionDlg::tick(ECondition condition)
{
    TickCondition(m_boxes.value(condition), m_values.value(condition));
}

void CSubReadConditionDlg::OnCheck(ECondition condition)
{
    const bool on = m_boxes.value(condition)->isChecked();
    if (on) {
        // A place inside a building is only found within its district and
        // building; a fee nature belongs to its category.
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
        case FeeNature:
            tick(Category);
            break;
        default:
            break;
        }
    }
    ApplyConditionBox(on, m_values.value(condition), condition == Period);
}

void CSubReadConditionDlg::fillBuildings(const QString& blockNo)
{
    m_buildingCombo->clear();
    m_buildingList.LoadByBlock(blockNo);
    for (int i = 0; i < m_buildingList.GetCount(); ++i)
        m_buildingCombo->addItem(m_buildingList.At(i)->GetBuildingName(), m_buildingList.At(i)->GetBuildingNo());
    m_buildingCombo->setCurrentIndex(-1);
}

void CSubReadConditionDlg::fillFeeNatures(const QString& category)
{
    m_priceCombo->clear();
    m_priceList.LoadValidOfType(category);
    for (int i = 0; i < m_priceList.GetCount(); ++i)
        m_priceCombo->addItem(m_priceList.At(i)->GetPriceName(), m_priceList.At(i)->GetPriceNo());
    m_priceCombo->setCurrentIndex(-1);
}

void CSubReadConditionDlg::OnSelchangeBlock()
{
    if (m_blockCombo->currentIndex() < 0)
        return;
    m_cond.m_blockNo = ChosenComboCode(m_blockCombo);
    fillBuildings(m_cond.m_blockNo);
}

void CSubReadConditionDlg::OnSelchangeCategory()
{
    // A category emptied by clearing its box keeps the natures offered.
    if (m_categoryCombo->currentIndex() < 0)
        return;
    m_cond.m_category = m_categoryCombo->currentText();
    fillFeeNatures(m_cond.m_category);
}

bool CSubReadConditionDlg::DoDataExchange(bool save)
{
    int* const flags[ConditionCount] = {
        &m_cond.m_bPeriod,     &m_cond.m_bClientNo,  &m_cond.m_bClientName, &m_cond.m_bMeterNo,
        &m_cond.m_bSubNo,      &m_cond.m_bFeeNature, &m_cond.m_bOperator,   &m_cond.m_bCategory,
        &m_cond.m_bBlock,      &m_cond.m_bBuilding,  &m_cond.m_bFloor,      &m_cond.m_bRoom,
        &m_cond.m_bDepartment, &m_cond.m_bUnit,      &m_cond.m_bLevel,      &m_cond.m_bSuperNo};
    const QList<QPair<QLineEdit*, QString*>> edits{{m_clientNoEdit, &m_cond.m_clientNo},
                                                   {m_nameEdit, &m_cond.m_clientName},
                                                   {m_meterEdit, &m_cond.m_meterNo},
                                                   {m_subNoEdit, &m_cond.m_subNo},
                                                   {m_superEdit, &m_cond.m_superNo}};
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
        *target.first = ChosenComboCode(combo);
        *target.second = combo->currentText();
    }
    const QList<QPair<QComboBox*, QString*>> shown{
        {m_categoryCombo, &m_cond.m_category}, {m_floorCombo, &m_cond.m_floor}, {m_roomFromCombo, &m_cond.m_roomFrom},
        {m_roomToCombo, &m_cond.m_roomTo},     {m_unitCombo, &m_cond.m_unit},   {m_levelCombo, &m_cond.m_level}};
    for (const auto& [combo, text] : shown)
        *text = combo->currentText();
    return true;
}
