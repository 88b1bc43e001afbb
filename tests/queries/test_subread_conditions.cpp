// The sub-meter reading conditions as SQL clauses and captions, the statements
// of the reading query and statistics, and the balance texts.
#include "KvSubReadQuerySql.h"

#include <QRegularExpression>
#include <functional>
#include <gtest/gtest.h>

namespace {

QString fold(QString sql)
{
    return sql.replace(QRegularExpression(QStringLiteral("\\s+")), QStringLiteral(" ")).trimmed();
}

struct SubReadCase
{
    const char* name;
    std::function<void(CSubReadCondition&)> set;
    ESubReadCaptionStyle style;
    const char* clauses;
    const char* caption;
};

const char* const kFromWhere =
    " from Client a, CliSub c, SubRead d, Price e, PriceVer f, WrtRecord g, Operator h, Block q, Building r, "
    "Department s where d.WrtIndex = g.WrtIndex and g.State = '收讫' and d.CliSubIndex = c.CliSubIndex and "
    "a.ClientNo = c.ClientNo and a.EndDate = CDate('2050-12-31') and d.PriceIndex = f.PriceIndex and f.PriceNo = "
    "e.PriceNo and g.OperatorNo = h.OperatorNo and q.BlockNo = a.BlockNo and r.BuildingNo = a.BuildingNo and "
    "s.DepartmentNo = a.DepartmentNo and (r.BlockNo = q.BlockNo or r.BlockNo = '00')";

const char* const kTotals = "count(*) as ItemCount, sum(d.BuyValue) as BuyValue, sum(d.FreeValue) as FreeValue, "
                            "sum(d.RealUse) as RealUse, sum(d.Fee) as Fee";

void tickAll(CSubReadCondition& k)
{
    k.m_bPeriod = k.m_bClientNo = k.m_bClientName = k.m_bMeterNo = k.m_bCategory = k.m_bFeeNature = k.m_bSubNo =
        k.m_bOperator = k.m_bBlock = k.m_bBuilding = k.m_bFloor = k.m_bRoom = k.m_bUnit = k.m_bDepartment = k.m_bLevel =
            k.m_bSuperNo = 1;
    k.m_periodFrom = QDateTime(QDate(2024, 3, 1), QTime(15, 20));
    k.m_periodTo = QDateTime(QDate(2024, 3, 31), QTime(8, 5));
    k.m_clientNo = "01";
    k.m_clientName = "王五";
    k.m_meterNo = "M";
    k.m_category = "一卡抄水价";
    k.m_priceNo = "W1";
    k.m_priceName = "居民冷水";
    k.m_subNo = "W0101";
    k.m_operatorNo = "op1";
    k.m_operatorName = "张出纳";
    k.m_blockNo = "01";
    k.m_blockName = "东区";
    k.m_buildingNo = "02";
    k.m_buildingName = "二幢";
    k.m_floor = "03";
    k.m_roomFrom = "05";
    k.m_roomTo = "09";
    k.m_unit = "一单元";
    k.m_departmentNo = "04";
    k.m_departmentName = "财务部";
    k.m_level = "二级";
    k.m_superNo = "S1";
}

} // namespace

TEST(SubReadConditions, ClausesAndCaptions)
{
    using S = ESubReadCaptionStyle;
    const SubReadCase cases[] = {
        {"nothing ticked", [](CSubReadCondition&) {}, S::Query, "", "时期：全期；"},
        {"nothing ticked, statistics", [](CSubReadCondition&) {}, S::Statistics, "", "全期；"},
        {"period: end plus one day, end shown as chosen",
         [](CSubReadCondition& k) {
             k.m_bPeriod = 1;
             k.m_periodFrom = QDateTime(QDate(2024, 3, 1), QTime(23, 59));
             k.m_periodTo = QDateTime(QDate(2024, 3, 31), QTime(0, 1));
         },
         S::Query, " and d.ReadTime >= CDate('2024-03-01') and d.ReadTime < CDate('2024-04-01')",
         "时期：2024-03-01 至 2024-03-31；"},
        {"room 05 alone",
         [](CSubReadCondition& k) {
             k.m_bRoom = 1;
             k.m_roomFrom = "05";
         },
         S::Query, " and a.RoomNo = '05'", "时期：全期；房间：05；"},
        {"room 05 to 09",
         [](CSubReadCondition& k) {
             k.m_bRoom = 1;
             k.m_roomFrom = "05";
             k.m_roomTo = "09";
         },
         S::Query, " and a.RoomNo >= '05' and a.RoomNo <= '09'", "时期：全期；房间：05 - 09；"},
        {"room 05 to 05 keeps the range form",
         [](CSubReadCondition& k) {
             k.m_bRoom = 1;
             k.m_roomFrom = k.m_roomTo = "05";
         },
         S::Query, " and a.RoomNo >= '05' and a.RoomNo <= '05'", "时期：全期；房间：05 - 05；"},
        {"ticked combos with nothing chosen compare with ''",
         [](CSubReadCondition& k) { k.m_bOperator = k.m_bFeeNature = k.m_bCategory = 1; }, S::Query,
         " and e.PriceType = '' and e.PriceNo = '' and g.OperatorNo = ''",
         "时期：全期；计量类别：；收费性质：；操作员：；"},
        {"a quote is compared as typed",
         [](CSubReadCondition& k) {
             k.m_bClientName = k.m_bSubNo = 1;
             k.m_clientName = "O'Brien";
             k.m_subNo = "W'1";
         },
         S::Query, " and a.ClientName = 'O''Brien' and d.SubNo = 'W''1'",
         "时期：全期；用户姓名：O'Brien；附表编号：W'1；"},
        {"every condition, query order", [](CSubReadCondition& k) { tickAll(k); }, S::Query,
         " and d.ReadTime >= CDate('2024-03-01') and d.ReadTime < CDate('2024-04-01') and a.ClientNo like '01%' escape '\\'"
         " and a.ClientName = '王五' and c.MeterNo like 'M%' escape '\\' and e.PriceType = '一卡抄水价' and e.PriceNo = 'W1'"
         " and d.SubNo = 'W0101' and g.OperatorNo = 'op1' and a.BlockNo = '01' and a.BuildingNo = '02'"
         " and a.LayerNo = '03' and a.RoomNo >= '05' and a.RoomNo <= '09' and a.Cell = '一单元'"
         " and a.DepartmentNo = '04' and c.MeterLevel = '二级' and c.SuperNo = 'S1'",
         "时期：2024-03-01 至 2024-03-31；用户代码：01；用户姓名：王五；电表编号：M；计量类别：一卡抄水价；"
         "收费性质：居民冷水；附表编号：W0101；操作员：张出纳；小区：东区楼幢：二幢楼层：03房间：05 - 09；"
         "单元：一单元部门：财务部安装级别：二级上级表号：S1"},
        {"every condition, statistics order and 用电性质", [](CSubReadCondition& k) { tickAll(k); }, S::Statistics,
         " and d.ReadTime >= CDate('2024-03-01') and d.ReadTime < CDate('2024-04-01') and a.ClientNo like '01%' escape '\\'"
         " and a.ClientName = '王五' and c.MeterNo like 'M%' escape '\\' and e.PriceNo = 'W1' and d.SubNo = 'W0101'"
         " and g.OperatorNo = 'op1' and e.PriceType = '一卡抄水价' and a.BlockNo = '01' and a.BuildingNo = '02'"
         " and a.LayerNo = '03' and a.RoomNo >= '05' and a.RoomNo <= '09' and a.Cell = '一单元'"
         " and a.DepartmentNo = '04' and c.MeterLevel = '二级' and c.SuperNo = 'S1'",
         "时期：2024-03-01 至 2024-03-31；用户代码：01；用户姓名：王五；电表编号：M；用电性质：居民冷水；"
         "附表编号：W0101；操作员：张出纳；计量类别：一卡抄水价；小区：东区楼幢：二幢楼层：03房间：05 - 09；"
         "单元：一单元部门：财务部安装级别：二级上级表号：S1"},
        {"statistics without a period starts 全期",
         [](CSubReadCondition& k) {
             k.m_bFeeNature = 1;
             k.m_priceNo = "H1";
             k.m_priceName = "热水";
         },
         S::Statistics, " and e.PriceNo = 'H1'", "全期；用电性质：热水；"},
    };
    for (const SubReadCase& c : cases) {
        CSubReadCondition k;
        c.set(k);
        const CSubReadWhere where = BuildSubReadWhere(k, c.style);
        EXPECT_EQ(where.clauses.text, QString::fromUtf8(c.clauses)) << c.name;
        EXPECT_EQ(where.caption, QString::fromUtf8(c.caption)) << c.name;
    }
}

TEST(SubReadConditions, QueryStatement)
{
    const QString select =
        "select a.ClientNo as ClientNo, a.ClientName as ClientName, a.Addr as Addr, a.Tel as Tel, d.SubNo as SubNo, "
        "e.PriceType as PriceType, e.PriceName as PriceName, d.LastRead as LastRead, d.ThisRead as ThisRead, "
        "d.RealUse as RealUse, d.BuyValue as BuyValue, d.FreeValue as FreeValue, d.Price as Price, d.Fee as Fee, "
        "d.ReadTime as ReadTime, h.OperatorName as OperatorName";
    EXPECT_EQ(fold(SubReadQuerySql(CSubReadCondition())), fold(select + kFromWhere + " order by g.WrtIndex, d.SubNo"));
    CSubReadCondition k;
    k.m_bMeterNo = 1;
    k.m_meterNo = "M01";
    EXPECT_EQ(fold(SubReadQuerySql(k)),
              fold(select + kFromWhere + " and c.MeterNo like 'M01%' escape '\\' order by g.WrtIndex, d.SubNo"));
    EXPECT_EQ(SubReadReportType(), "附表抄收明细表");
    EXPECT_EQ(SubReadReportName(), "水量水费明细表");
}

TEST(SubReadConditions, FourteenGroupings)
{
    struct Expected
    {
        int radio;
        const char* keys;
        const char* title;
        const char* type;
    };
    // The key columns; the group clause groups by the same expressions.
    const Expected modes[kSubReadStatModeCount] = {
        {1070, "a.BlockNo, q.BlockName", "按小区", "按小区"},
        {1066, "a.BlockNo, q.BlockName, a.BuildingNo, r.BuildingName, a.Cell", "按单元", "按单元"},
        {1071, "a.BlockNo, q.BlockName, a.BuildingNo, r.BuildingName", "按楼幢", "按楼幢"},
        {1067, "a.DepartmentNo, s.DepartmentName", "按部门", "按部门"},
        {1072, "a.BlockNo, q.BlockName, a.BuildingNo, r.BuildingName, a.LayerNo", "按楼层", "按楼层"},
        {1068, "c.MeterLevel", "按安装级别", "按安装级别"},
        {1065, "a.BlockNo, q.BlockName, a.BuildingNo, r.BuildingName, a.LayerNo, a.RoomNo", "按房号", "按房号"},
        {1069, "c.SuperNo", "按上级表号", "按上级表号"},
        {1090, "a.ClientNo, a.ClientName", "按用户", "按用户"},
        {1091, "a.ClientNo, a.ClientName, c.MeterNo", "按电表", "按用户电表"},
        {1092, "a.ClientNo, a.ClientName, d.SubNo", "按附表", "按附表"},
        {1232, "g.OperatorNo, h.OperatorName", "按操作员", "按操作员"},
        {1093, "e.PriceType", "按计量类别", "按计量类别"},
        {1094, "e.PriceType, e.PriceNo, e.PriceName", "按收费性质", "按收费性质"},
    };
    for (int i = 0; i < kSubReadStatModeCount; ++i) {
        const CSubReadStatMode* m = SubReadStatMode(i);
        ASSERT_NE(m, nullptr);
        const Expected& e = modes[i];
        EXPECT_EQ(m->radioId, e.radio) << i;
        EXPECT_EQ(QString::fromUtf8(m->title), QStringLiteral("附表抄收统计（%1）").arg(QString::fromUtf8(e.title)));
        EXPECT_EQ(QString::fromUtf8(m->reportType), QStringLiteral("附表抄收统计表_%1").arg(QString::fromUtf8(e.type)));
        EXPECT_EQ(QString::fromUtf8(m->groupBy), QStringLiteral("group by ") + QString::fromUtf8(e.keys)) << i;
        // Each key expression is selected under its own column name.
        QStringList selected;
        for (const QString& key : QString::fromUtf8(e.keys).split(QStringLiteral(", ")))
            selected << key + QStringLiteral(" as ") + key.mid(2);
        EXPECT_EQ(QString::fromUtf8(m->columns), selected.join(QStringLiteral(", "))) << i;
    }
    EXPECT_EQ(SubReadStatMode(-1), nullptr);
    EXPECT_EQ(SubReadStatMode(14), nullptr);

    CSubReadStatCondition k;
    EXPECT_EQ(k.m_mode, 0);
    EXPECT_EQ(fold(SubReadStatSql(k)), fold(QStringLiteral("select a.BlockNo as BlockNo, q.BlockName as BlockName, ") +
                                            kTotals + kFromWhere + " group by a.BlockNo, q.BlockName"));
    k.m_mode = 9;
    k.m_bUnit = 1;
    k.m_unit = "二单元";
    EXPECT_EQ(fold(SubReadStatSql(k)),
              fold(QStringLiteral("select a.ClientNo as ClientNo, a.ClientName as ClientName, c.MeterNo as MeterNo, ") +
                   kTotals + kFromWhere + " and a.Cell = '二单元' group by a.ClientNo, a.ClientName, c.MeterNo"));
    k.m_mode = 14;
    EXPECT_TRUE(SubReadStatSql(k).isEmpty());
}

TEST(BalanceQuery, StatementsAndTotalText)
{
    EXPECT_EQ(BalanceSumSql(), "select sum(ThisBalance) as ThisBalance from CliBalance");
    EXPECT_EQ(fold(BalanceDetailSql()),
              "select a.ClientNo as ClientNo, a.ClientName as ClientName, b.ThisBalance as ThisBalance from Client a, "
              "CliBalance b where a.EndDate = CDate('2050-12-31') and a.ClientNo = b.ClientNo");
    EXPECT_TRUE(BalanceDetailSql().contains("ThisBalance \t\t\tfrom"));
    EXPECT_EQ(BalanceTotalMessage(120.75), "当前余额总额是：120.75");
    EXPECT_EQ(BalanceTotalMessage(-0.001), "当前余额总额是：0.00");
    // Beyond what single precision keeps: every cent stays.
    EXPECT_EQ(BalanceTotalMessage(12345678.91), "当前余额总额是：12345678.91");
}
