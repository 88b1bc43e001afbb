#include "CSubReadConditionDlg.h"
#include "CKvEdit.h"

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
    : CConditionDlg(templateId, parent, caption)
{
    auto combo = [this](int id, const QStringList& items = {}) {
        auto* c = CreateControl<QComboBox>(id);
        c->addItems(items);
        return c;
    };
    auto edit = [this](int id) { return CreateControl<CKvEdit>(id); };

    m_fromDate = CreateControl<QDateEdit>(1206);
    m_toDate = CreateControl<QDateEdit>(1207);
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

    AddPeriodRow(Period, CheckBoxId(Period), m_fromDate, m_toDate, 2);
    AddConditionRow(ClientNo, CheckBoxId(ClientNo), QStringLiteral("用户代码："), {m_clientNoEdit});
    AddConditionRow(ClientName, CheckBoxId(ClientName), QStringLiteral("用户姓名："), {m_nameEdit});
    AddConditionRow(MeterNo, CheckBoxId(MeterNo), QStringLiteral("电表编号："), {m_meterEdit});
    AddConditionRow(Category, CheckBoxId(Category), QStringLiteral("计量类别："), {m_categoryCombo});
    AddConditionRow(FeeNature, CheckBoxId(FeeNature), QStringLiteral("收费性质："), {m_priceCombo});
    AddConditionRow(SubNo, CheckBoxId(SubNo), QStringLiteral("附表编号："), {m_subNoEdit});
    AddConditionRow(Operator, CheckBoxId(Operator), QStringLiteral("操作员："), {m_operatorCombo});
    AddConditionRow(Block, CheckBoxId(Block), QStringLiteral("小区名称："), {m_blockCombo});
    AddConditionRow(Building, CheckBoxId(Building), QStringLiteral("楼幢名称："), {m_buildingCombo});
    AddConditionRow(Floor, CheckBoxId(Floor), QStringLiteral("楼    层："), {m_floorCombo});
    AddConditionRow(Room, CheckBoxId(Room), QStringLiteral("房    间："), {m_roomFromCombo, m_roomToCombo});
    AddConditionRow(Unit, CheckBoxId(Unit), QStringLiteral("单    元："), {m_unitCombo});
    AddConditionRow(Department, CheckBoxId(Department), QStringLiteral("部    门："), {m_deptCombo});
    AddConditionRow(Level, CheckBoxId(Level), QStringLiteral("安装级别："), {m_levelCombo});
    AddConditionRow(SuperNo, CheckBoxId(SuperNo), QStringLiteral("上级表号："), {m_superEdit});

    AddButtons(okText);
    SetPlaceCombos(m_blockCombo, m_buildingCombo);
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

bool CSubReadConditionDlg::OnInitDialog()
{
    CKvDialog::OnInitDialog();
    m_operatorList.LoadAll();
    m_blockList.LoadWithoutReserved();
    Buildings().LoadAll();
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
        FillBuildings(m_cond.m_blockNo);
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

void CSubReadConditionDlg::OnCheckClicked(int condition)
{
    OnCheck(static_cast<ECondition>(condition));
}

void CSubReadConditionDlg::OnCheck(ECondition condition)
{
    // A place inside a building is only found within its district and building; a fee nature belongs to its category.
    static const QHash<int, QList<int>> within{{Room, {Floor, Building, Block}},
                                               {Floor, {Building, Block}},
                                               {Unit, {Building, Block}},
                                               {Building, {Block}},
                                               {FeeNature, {Category}}};
    ApplyCheck(condition, within.value(condition), condition == Period);
}

void CSubReadConditionDlg::fillFeeNatures(const QString& category)
{
    m_priceCombo->clear();
    m_priceList.LoadValidOfType(category);
    for (int i = 0; i < m_priceList.GetCount(); ++i)
        m_priceCombo->addItem(m_priceList.At(i)->GetPriceName(), m_priceList.At(i)->GetPriceNo());
    m_priceCombo->setCurrentIndex(-1);
}

void CSubReadConditionDlg::OnSelchangeCategory()
{
    // A category emptied by clearing its box keeps the natures offered.
    if (m_categoryCombo->currentIndex() < 0)
        return;
    m_cond.m_category = m_categoryCombo->currentText();
    fillFeeNatures(m_cond.m_category);
}

void CSubReadConditionDlg::OnSelchangeBlock()
{
    RefillBuildingsOfChosenBlock(m_cond.m_blockNo);
}

bool CSubReadConditionDlg::DoDataExchange(bool save)
{
    CConditionBindings b;
    b.flags = {&m_cond.m_bPeriod,     &m_cond.m_bClientNo,  &m_cond.m_bClientName, &m_cond.m_bMeterNo,
               &m_cond.m_bSubNo,      &m_cond.m_bFeeNature, &m_cond.m_bOperator,   &m_cond.m_bCategory,
               &m_cond.m_bBlock,      &m_cond.m_bBuilding,  &m_cond.m_bFloor,      &m_cond.m_bRoom,
               &m_cond.m_bDepartment, &m_cond.m_bUnit,      &m_cond.m_bLevel,      &m_cond.m_bSuperNo};
    b.fromDate = m_fromDate;
    b.toDate = m_toDate;
    b.periodFrom = &m_cond.m_periodFrom;
    b.periodTo = &m_cond.m_periodTo;
    b.edits = {{m_clientNoEdit, &m_cond.m_clientNo},
               {m_nameEdit, &m_cond.m_clientName},
               {m_meterEdit, &m_cond.m_meterNo},
               {m_subNoEdit, &m_cond.m_subNo},
               {m_superEdit, &m_cond.m_superNo}};
    b.chosen = {{m_priceCombo, {&m_cond.m_priceNo, &m_cond.m_priceName}},
                {m_operatorCombo, {&m_cond.m_operatorNo, &m_cond.m_operatorName}},
                {m_blockCombo, {&m_cond.m_blockNo, &m_cond.m_blockName}},
                {m_buildingCombo, {&m_cond.m_buildingNo, &m_cond.m_buildingName}},
                {m_deptCombo, {&m_cond.m_departmentNo, &m_cond.m_departmentName}}};
    b.shown = {{m_categoryCombo, &m_cond.m_category}, {m_floorCombo, &m_cond.m_floor},
               {m_roomFromCombo, &m_cond.m_roomFrom}, {m_roomToCombo, &m_cond.m_roomTo},
               {m_unitCombo, &m_cond.m_unit},         {m_levelCombo, &m_cond.m_level}};
    ExchangeConditions(save, b);
    return true;
}
