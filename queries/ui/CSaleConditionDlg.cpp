#include "CSaleConditionDlg.h"
#include "CKvEdit.h"

#include "KvConditionCombos.h"
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

CSaleConditionDlg::CSaleConditionDlg(int templateId, QWidget* parent, const QString& caption,
                                     const QHash<int, int>& checkIds, const QString& okText, const QStringList& opModes,
                                     bool opModeTyped)
    : CConditionDlg(templateId, parent, caption), m_checkIds(checkIds)
{
    auto combo = [this](int id, const QStringList& items = {}, bool typed = false) {
        auto* c = CreateControl<QComboBox>(id);
        c->setEditable(typed);
        c->addItems(items);
        return c;
    };
    auto edit = [this](int id) { return CreateControl<CKvEdit>(id); };

    m_fromDate = CreateControl<QDateEdit>(1206);
    m_toDate = CreateControl<QDateEdit>(1207);
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
    m_floorCombo = combo(1044, NumberedItems(50));
    m_roomFromCombo = combo(1045, NumberedItems(99));
    m_roomToCombo = combo(1046, NumberedItems(99));
    m_unitCombo = combo(1008, UnitItems());
    m_deptCombo = combo(1007);
    m_levelCombo = combo(1010, LevelItems());
    m_superEdit = edit(1011);
    m_buyFromEdit = edit(1155);
    m_buyToEdit = edit(1156);
    for (QLineEdit* e : {m_buyFromEdit, m_buyToEdit})
        e->setValidator(new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9]*")), e));

    AddPeriodRow(Period, CheckBoxId(Period), m_fromDate, m_toDate, 3);
    AddConditionRow(ClientNo, CheckBoxId(ClientNo), QStringLiteral("用户代码："), {m_clientNoEdit});
    AddConditionRow(ClientName, CheckBoxId(ClientName), QStringLiteral("用户姓名："), {m_nameEdit});
    AddConditionRow(MeterNo, CheckBoxId(MeterNo), QStringLiteral("电表编号："), {m_meterEdit});
    AddConditionRow(UseNature, CheckBoxId(UseNature), QStringLiteral("用电性质："), {m_priceCombo});
    AddConditionRow(PayMode, CheckBoxId(PayMode), QStringLiteral("付款方式："), {m_payCombo});
    AddConditionRow(Operator, CheckBoxId(Operator), QStringLiteral("操作员："), {m_operatorCombo});
    AddConditionRow(DevType, CheckBoxId(DevType), QStringLiteral("设备类型："), {m_devCombo});
    AddConditionRow(CardType, CheckBoxId(CardType), QStringLiteral("电卡类型："), {m_cardCombo});
    AddConditionRow(Phase, CheckBoxId(Phase), QStringLiteral("电表相线："), {m_phaseCombo});
    AddConditionRow(OpMode, CheckBoxId(OpMode), QStringLiteral("操作方式："), {m_opModeCombo});
    AddConditionRow(Block, CheckBoxId(Block), QStringLiteral("小区名称："), {m_blockCombo});
    AddConditionRow(Building, CheckBoxId(Building), QStringLiteral("楼幢名称："), {m_buildingCombo});
    AddConditionRow(Floor, CheckBoxId(Floor), QStringLiteral("楼    层："), {m_floorCombo});
    AddConditionRow(Room, CheckBoxId(Room), QStringLiteral("房    间："), {m_roomFromCombo, m_roomToCombo});
    AddConditionRow(Unit, CheckBoxId(Unit), QStringLiteral("单    元："), {m_unitCombo});
    AddConditionRow(Department, CheckBoxId(Department), QStringLiteral("部    门："), {m_deptCombo});
    AddConditionRow(Level, CheckBoxId(Level), QStringLiteral("安装级别："), {m_levelCombo});
    AddConditionRow(SuperNo, CheckBoxId(SuperNo), QStringLiteral("上级表号："), {m_superEdit});
    AddConditionRow(BuyValue, CheckBoxId(BuyValue), QStringLiteral("购 电 量："), {m_buyFromEdit, m_buyToEdit});

    AddButtons(okText);
    SetPlaceCombos(m_blockCombo, m_buildingCombo);
}

bool CSaleConditionDlg::OnInitDialog()
{
    CKvDialog::OnInitDialog();
    m_priceList.LoadValidOfType(QStringLiteral("预付费电价"));
    m_operatorList.LoadAll();
    m_blockList.LoadWithoutReserved();
    Buildings().LoadAll();
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

    SelectComboCode(m_priceCombo, m_cond.m_priceNo);
    SelectComboCode(m_operatorCombo, m_cond.m_operatorNo);
    SelectComboCode(m_blockCombo, m_cond.m_blockNo);
    if (m_blockCombo->currentIndex() >= 0)
        FillBuildings(m_cond.m_blockNo);
    SelectComboCode(m_buildingCombo, m_cond.m_buildingNo);
    SelectComboCode(m_deptCombo, m_cond.m_departmentNo);
    SelectComboText(m_payCombo, m_cond.m_payMode);
    SelectComboText(m_devCombo, m_cond.m_devType);
    SelectComboText(m_cardCombo, m_cond.m_cardType);
    SelectComboText(m_phaseCombo, m_cond.m_phase);
    SelectComboText(m_opModeCombo, m_cond.m_opMode);
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

void CSaleConditionDlg::OnCheckClicked(int condition)
{
    OnCheck(static_cast<ECondition>(condition));
}

void CSaleConditionDlg::OnCheck(ECondition condition)
{
    // A place inside a building is only found within its district and building.
    static const QHash<int, QList<int>> within{
        {Room, {Floor, Building, Block}}, {Floor, {Building, Block}}, {Unit, {Building, Block}}, {Building, {Block}}};
    ApplyCheck(condition, within.value(condition), condition == Period);
}

void CSaleConditionDlg::OnSelchangeBlock()
{
    RefillBuildingsOfChosenBlock(m_cond.m_blockNo);
}

bool CSaleConditionDlg::DoDataExchange(bool save)
{
    CConditionBindings b;
    b.flags = {&m_cond.m_bPeriod,    &m_cond.m_bClientNo, &m_cond.m_bClientName, &m_cond.m_bMeterNo,
               &m_cond.m_bUseNature, &m_cond.m_bPayMode,  &m_cond.m_bOperator,   &m_cond.m_bDevType,
               &m_cond.m_bCardType,  &m_cond.m_bPhase,    &m_cond.m_bOpMode,     &m_cond.m_bBlock,
               &m_cond.m_bBuilding,  &m_cond.m_bFloor,    &m_cond.m_bRoom,       &m_cond.m_bDepartment,
               &m_cond.m_bUnit,      &m_cond.m_bLevel,    &m_cond.m_bSuperNo,    &m_cond.m_bBuyValue};
    b.fromDate = m_fromDate;
    b.toDate = m_toDate;
    b.periodFrom = &m_cond.m_periodFrom;
    b.periodTo = &m_cond.m_periodTo;
    b.edits = {{m_clientNoEdit, &m_cond.m_clientNo}, {m_nameEdit, &m_cond.m_clientName},
               {m_meterEdit, &m_cond.m_meterNo},     {m_superEdit, &m_cond.m_superNo},
               {m_buyFromEdit, &m_cond.m_buyFrom},   {m_buyToEdit, &m_cond.m_buyTo}};
    b.chosen = {{m_priceCombo, {&m_cond.m_priceNo, &m_cond.m_priceName}},
                {m_operatorCombo, {&m_cond.m_operatorNo, &m_cond.m_operatorName}},
                {m_blockCombo, {&m_cond.m_blockNo, &m_cond.m_blockName}},
                {m_buildingCombo, {&m_cond.m_buildingNo, &m_cond.m_buildingName}},
                {m_deptCombo, {&m_cond.m_departmentNo, &m_cond.m_departmentName}}};
    b.shown = {{m_payCombo, &m_cond.m_payMode},       {m_devCombo, &m_cond.m_devType},
               {m_cardCombo, &m_cond.m_cardType},     {m_phaseCombo, &m_cond.m_phase},
               {m_opModeCombo, &m_cond.m_opMode},     {m_floorCombo, &m_cond.m_floor},
               {m_roomFromCombo, &m_cond.m_roomFrom}, {m_roomToCombo, &m_cond.m_roomTo},
               {m_unitCombo, &m_cond.m_unit},         {m_levelCombo, &m_cond.m_level}};
    ExchangeConditions(save, b);
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
