// The sale conditions as SQL clauses and captions, and the statements of the
// sale record query and the sale statistics.
#include "CQueryConditionBuilder.h"
#include "KvSaleQuerySql.h"

#include <QRegularExpression>
#include <functional>
#include <gtest/gtest.h>

namespace {

QString fold(QString sql)
{
    return sql.replace(QRegularExpression(QStringLiteral("\\s+")), QStringLiteral(" ")).trimmed();
}

const QDateTime kFrom(QDate(2024, 3, 1), QTime(15, 20));
const QDateTime kTo(QDate(2024, 3, 31), QTime(8, 5));

struct ConditionCase
{
    const char* name;
    std::function<void(CSaleCondition&)> set;
    ESaleCaptionStyle style;
    const char* clauses;
    const char* caption;
};

} // namespace

TEST(SaleConditions, ClausesAndCaptions)
{
    using S = ESaleCaptionStyle;
    const ConditionCase cases[] = {
        {"nothing ticked", [](CSaleCondition&) {}, S::RecordQuery, "", "时期：全期；"},
        {"nothing ticked, statistics", [](CSaleCondition&) {}, S::Statistics, "", "全期；"},
        {"period: end plus one day, end shown as chosen",
         [](CSaleCondition& k) {
             k.m_bPeriod = 1;
             k.m_periodFrom = kFrom;
             k.m_periodTo = kTo;
         },
         S::RecordQuery, " and c.WrtTime >= CDate('2024-03-01') and c.WrtTime < CDate('2024-04-01')",
         "时期：2024-03-01 至 2024-03-31；"},
        {"single room",
         [](CSaleCondition& k) {
             k.m_bRoom = 1;
             k.m_roomFrom = "05";
         },
         S::RecordQuery, " and a.RoomNo = '05'", "时期：全期；房间：05；"},
        {"room range 03 to 01",
         [](CSaleCondition& k) {
             k.m_bRoom = 1;
             k.m_roomFrom = "03";
             k.m_roomTo = "01";
         },
         S::RecordQuery, " and a.RoomNo >= '03' and a.RoomNo <= '01'", "时期：全期；房间：03 - 01；"},
        {"ticked with an empty value still compares",
         [](CSaleCondition& k) {
             k.m_bClientName = 1;
             k.m_bClientNo = 1;
         },
         S::RecordQuery, " and a.ClientNo like '%' escape '\\' and a.ClientName = ''", "时期：全期；用户代码：；用户姓名：；"},
        {"kWh 100 to 50",
         [](CSaleCondition& k) {
             k.m_bBuyValue = 1;
             k.m_buyFrom = "100";
             k.m_buyTo = "50";
         },
         S::RecordQuery, " and c.BuyValue >= 100 and c.BuyValue <= 50", "时期：全期；购电量大于等于100，且小于等于50"},
        {"kWh empty bounds count as 0",
         [](CSaleCondition& k) {
             k.m_bBuyValue = 1;
             k.m_buyFrom = "";
             k.m_buyTo = "";
         },
         S::Statistics, " and c.BuyValue >= 0 and c.BuyValue <= 0", "全期；购电量大于等于0，且小于等于0"},
        {"receipts ignore the kWh range", [](CSaleCondition& k) { k.m_bBuyValue = 1; }, S::ReceiptQuery, "",
         "时期：全期；"},
        {"district and building run together; names shown, codes compared",
         [](CSaleCondition& k) {
             k.m_bBlock = k.m_bBuilding = 1;
             k.m_blockNo = "01";
             k.m_blockName = "东区";
             k.m_buildingNo = "02";
             k.m_buildingName = "二幢";
         },
         S::RecordQuery, " and a.BlockNo = '01' and a.BuildingNo = '02'", "时期：全期；小区：东区楼幢：二幢"},
        {"a quote is compared as typed",
         [](CSaleCondition& k) {
             k.m_bClientName = 1;
             k.m_clientName = "O'Brien";
         },
         S::RecordQuery, " and a.ClientName = 'O''Brien'", "时期：全期；用户姓名：O'Brien；"},
        {"record order: unit before department, no separators",
         [](CSaleCondition& k) {
             k.m_bUnit = k.m_bDepartment = k.m_bLevel = k.m_bSuperNo = k.m_bFloor = 1;
             k.m_unit = "一单元";
             k.m_departmentNo = "03";
             k.m_departmentName = "财务";
             k.m_level = "一级";
             k.m_superNo = "S1";
             k.m_floor = "02";
         },
         S::RecordQuery,
         " and a.LayerNo = '02' and a.Cell = '一单元' and a.DepartmentNo = '03' and b.MeterLevel = '一级'"
         " and b.SuperNo = 'S1'",
         "时期：全期；楼层：02单元：一单元部门：财务安装级别：一级上级表号：S1"},
        {"statistics order: department before unit, a separator after each piece but the kWh one",
         [](CSaleCondition& k) {
             k.m_bUnit = k.m_bDepartment = k.m_bBlock = k.m_bBuyValue = k.m_bOperator = 1;
             k.m_unit = "一单元";
             k.m_departmentNo = "03";
             k.m_departmentName = "财务";
             k.m_blockNo = "01";
             k.m_blockName = "东区";
             k.m_operatorNo = "";
             k.m_operatorName = "typed";
             k.m_buyFrom = "1";
             k.m_buyTo = "9";
         },
         S::Statistics,
         " and c.OperatorNo = '' and a.BlockNo = '01' and a.DepartmentNo = '03' and a.Cell = '一单元'"
         " and c.BuyValue >= 1 and c.BuyValue <= 9",
         "全期；操作员：typed；小区：东区；部门：财务；单元：一单元；购电量大于等于1，且小于等于9"},
    };
    for (const ConditionCase& c : cases) {
        CSaleCondition k;
        c.set(k);
        const CSaleWhere where = BuildSaleWhere(k, c.style);
        EXPECT_EQ(where.clauses.text, QString::fromUtf8(c.clauses)) << c.name;
        EXPECT_EQ(where.caption, QString::fromUtf8(c.caption)) << c.name;
    }
}

TEST(SaleConditions, LeadingIntegerOfDigitEdits)
{
    EXPECT_EQ(CQueryConditionBuilder::LeadingInt("120"), 120);
    EXPECT_EQ(CQueryConditionBuilder::LeadingInt(""), 0);
    EXPECT_EQ(CQueryConditionBuilder::LeadingInt("12ab"), 12);
    EXPECT_EQ(CQueryConditionBuilder::LeadingInt("x5"), 0);
}

namespace {

const char* const kFixedFromWhere =
    " from Client a, CliPre b, WrtRecord c, ClientPay d, Price e, PrePrice f, PreModel g, Operator h, WrtPrice k, "
    "PriceVer p, Block q, Building r, Department s where c.State = '收讫' and c.CliPreIndex = b.CliPreIndex and "
    "b.ClientNo = a.ClientNo and a.EndDate = CDate('2050-12-31') and b.CliPreIndex = f.CliPreIndex and f.PriceX = 0 "
    "and f.PriceNo = e.PriceNo and d.WrtIndex = c.WrtIndex and g.ModelId = b.ModelId and k.WrtIndex = c.WrtIndex and "
    "k.PriceIndex = p.PriceIndex and p.PriceNo = e.PriceNo and c.OperatorNo = h.OperatorNo and q.BlockNo = a.BlockNo "
    "and r.BuildingNo = a.BuildingNo and s.DepartmentNo = a.DepartmentNo and (r.BlockNo = q.BlockNo or r.BlockNo = "
    "'00')";

const char* const kRecordSelect =
    "select a.ClientNo as ClientNo, a.ClientName as ClientName, a.Addr as Addr, a.Tel as Tel, b.MeterNo as MeterNo, "
    "g.Phase as Phase, e.PriceName as PriceName, c.BuyValue as BuyValue, c.FreeValue as FreeValue, c.LWaste as "
    "LWaste, c.TWaste as TWaste, c.Price as Price, h.OperatorName as OperatorName, c.Fee as Fee, c.PrePay as PrePay, "
    "c.SubFee as SubFee, c.FixFee as FixFee, d.TotFee as TotFee, d.RealPay as RealPay, d.LastBalance as LastBalance, "
    "d.ThisBalance as ThisBalance, d.PayMode as PayMode, d.InvoiceNo as InvoiceNo, c.OpMode as OpMode, c.WrtTime as "
    "WrtTime";

const char* const kTotals =
    "count(*) as ItemCount, sum(c.BuyValue) as BuyValue, sum(c.FreeValue) as FreeValue, sum(c.LWaste) as LWaste, "
    "sum(c.TWaste) as TWaste, sum(c.Fee) as Fee, sum(c.PrePay) as PrePay, sum(c.SubFee) as SubFee, sum(c.FixFee) as "
    "FixFee, sum(d.TotFee) as TotFee, sum(d.RealPay) as RealPay";

CSaleCondition everyCondition()
{
    CSaleCondition k;
    k.m_bCardType = k.m_bClientName = k.m_bClientNo = k.m_bPeriod = k.m_bDevType = k.m_bMeterNo = k.m_bOperator =
        k.m_bPayMode = k.m_bPhase = k.m_bUseNature = k.m_bOpMode = k.m_bBlock = k.m_bBuilding = k.m_bFloor = k.m_bRoom =
            k.m_bDepartment = k.m_bUnit = k.m_bLevel = k.m_bSuperNo = k.m_bBuyValue = 1;
    k.m_periodFrom = kFrom;
    k.m_periodTo = kTo;
    k.m_clientName = "张三";
    k.m_clientNo = "01";
    k.m_meterNo = "M";
    k.m_priceNo = "P1";
    k.m_operatorNo = "op";
    k.m_phase = "单相二线";
    k.m_payMode = "现金";
    k.m_devType = "预付费电表";
    k.m_cardType = "IC片卡";
    k.m_opMode = "开户";
    k.m_blockNo = "01";
    k.m_buildingNo = "02";
    k.m_floor = "03";
    k.m_roomFrom = "01";
    k.m_roomTo = "05";
    k.m_departmentNo = "04";
    k.m_unit = "一单元";
    k.m_level = "一级";
    k.m_superNo = "S";
    k.m_buyFrom = "10";
    k.m_buyTo = "20";
    return k;
}

} // namespace

TEST(SaleConditions, RecordQueryStatement)
{
    EXPECT_EQ(fold(SaleRecordQuerySql(CSaleCondition())),
              fold(QString::fromUtf8(kRecordSelect) + kFixedFromWhere + " order by c.WrtTime"));
    const QString all =
        " and c.WrtTime >= CDate('2024-03-01') and c.WrtTime < CDate('2024-04-01') and a.ClientNo like '01%' escape '\\'"
        " and a.ClientName = '张三' and b.MeterNo like 'M%' escape '\\' and e.PriceNo = 'P1' and d.PayMode = '现金'"
        " and c.OperatorNo = 'op' and g.DevType = '预付费电表' and g.CardType = 'IC片卡' and g.Phase = '单相二线'"
        " and c.OpMode = '开户' and a.BlockNo = '01' and a.BuildingNo = '02' and a.LayerNo = '03'"
        " and a.RoomNo >= '01' and a.RoomNo <= '05' and a.Cell = '一单元' and a.DepartmentNo = '04'"
        " and b.MeterLevel = '一级' and b.SuperNo = 'S' and c.BuyValue >= 10 and c.BuyValue <= 20";
    EXPECT_EQ(fold(SaleRecordQuerySql(everyCondition())),
              fold(QString::fromUtf8(kRecordSelect) + kFixedFromWhere + all + " order by c.WrtTime"));
}

TEST(SaleConditions, StatisticsStatementsAndGroupings)
{
    CSaleStatCondition k;
    EXPECT_EQ(k.m_grouping, 0);
    EXPECT_EQ(fold(SaleStatSql(k)),
              fold(QStringLiteral("select a.ClientNo as ClientNo, a.ClientName as ClientName, b.MeterNo as MeterNo, ") +
                   kTotals + kFixedFromWhere + " group by a.ClientNo, a.ClientName, b.MeterNo"));
    k.m_grouping = 14;
    k.m_bRoom = 1;
    k.m_roomFrom = "01";
    k.m_roomTo = "05";
    EXPECT_EQ(fold(SaleStatSql(k)),
              fold(QStringLiteral("select a.BlockNo as BlockNo, q.BlockName as BlockName, a.BuildingNo as BuildingNo, "
                                  "r.BuildingName as BuildingName, a.LayerNo as LayerNo, a.RoomNo as RoomNo, ") +
                   kTotals + kFixedFromWhere +
                   " and a.RoomNo >= '01' and a.RoomNo <= '05' group by a.BlockNo, q.BlockName, a.BuildingNo, "
                   "r.BuildingName, a.LayerNo, a.RoomNo"));
    EXPECT_EQ(QString::fromUtf8(SaleStatGrouping(14)->reportType), QStringLiteral("售电记录统计表_按房号"));
    EXPECT_EQ(QString::fromUtf8(SaleStatGrouping(14)->title), QStringLiteral("售电记录统计（按房号）"));
    EXPECT_EQ(SaleStatGrouping(14)->radioId, 1065);
    EXPECT_EQ(SaleStatGrouping(-1), nullptr);
    EXPECT_EQ(SaleStatGrouping(16), nullptr);
    k.m_grouping = 16;
    EXPECT_TRUE(SaleStatSql(k).isEmpty());
    // Every grouping's report type is one the installation ships a layout for.
    for (int i = 0; i < kSaleStatGroupingCount; ++i)
        EXPECT_TRUE(QString::fromUtf8(SaleStatGrouping(i)->reportType).startsWith(QStringLiteral("售电记录统计表_按")));
}
