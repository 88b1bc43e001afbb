#include "KvSubReadQuerySql.h"

#include "CQueryConditionBuilder.h"

#include <cmath>

namespace {

const QString kNoSep;

const CSubReadStatMode kModes[kSubReadStatModeCount] = {
    {1070, "按小区统计", "a.BlockNo as BlockNo, q.BlockName as BlockName", "group by a.BlockNo, q.BlockName",
     "附表抄收统计（按小区）", "附表抄收统计表_按小区"},
    {1066, "按单元统计",
     "a.BlockNo as BlockNo, q.BlockName as BlockName, a.BuildingNo as BuildingNo, r.BuildingName as BuildingName, "
     "a.Cell as Cell",
     "group by a.BlockNo, q.BlockName, a.BuildingNo, r.BuildingName, a.Cell", "附表抄收统计（按单元）",
     "附表抄收统计表_按单元"},
    {1071, "按楼幢统计",
     "a.BlockNo as BlockNo, q.BlockName as BlockName, a.BuildingNo as BuildingNo, r.BuildingName as BuildingName",
     "group by a.BlockNo, q.BlockName, a.BuildingNo, r.BuildingName", "附表抄收统计（按楼幢）",
     "附表抄收统计表_按楼幢"},
    {1067, "按部门统计", "a.DepartmentNo as DepartmentNo, s.DepartmentName as DepartmentName",
     "group by a.DepartmentNo, s.DepartmentName", "附表抄收统计（按部门）", "附表抄收统计表_按部门"},
    {1072, "按楼层统计",
     "a.BlockNo as BlockNo, q.BlockName as BlockName, a.BuildingNo as BuildingNo, r.BuildingName as BuildingName, "
     "a.LayerNo as LayerNo",
     "group by a.BlockNo, q.BlockName, a.BuildingNo, r.BuildingName, a.LayerNo", "附表抄收统计（按楼层）",
     "附表抄收统计表_按楼层"},
    {1068, "按安装级别统计", "c.MeterLevel as MeterLevel", "group by c.MeterLevel", "附表抄收统计（按安装级别）",
     "附表抄收统计表_按安装级别"},
    {1065, "按房间统计",
     "a.BlockNo as BlockNo, q.BlockName as BlockName, a.BuildingNo as BuildingNo, r.BuildingName as BuildingName, "
     "a.LayerNo as LayerNo, a.RoomNo as RoomNo",
     "group by a.BlockNo, q.BlockName, a.BuildingNo, r.BuildingName, a.LayerNo, a.RoomNo", "附表抄收统计（按房号）",
     "附表抄收统计表_按房号"},
    {1069, "按上级表号统计", "c.SuperNo as SuperNo", "group by c.SuperNo", "附表抄收统计（按上级表号）",
     "附表抄收统计表_按上级表号"},
    {1090, "按用户统计", "a.ClientNo as ClientNo, a.ClientName as ClientName", "group by a.ClientNo, a.ClientName",
     "附表抄收统计（按用户）", "附表抄收统计表_按用户"},
    {1091, "按电表统计", "a.ClientNo as ClientNo, a.ClientName as ClientName, c.MeterNo as MeterNo",
     "group by a.ClientNo, a.ClientName, c.MeterNo", "附表抄收统计（按电表）", "附表抄收统计表_按用户电表"},
    {1092, "按附表统计", "a.ClientNo as ClientNo, a.ClientName as ClientName, d.SubNo as SubNo",
     "group by a.ClientNo, a.ClientName, d.SubNo", "附表抄收统计（按附表）", "附表抄收统计表_按附表"},
    {1232, "按操作员统计", "g.OperatorNo as OperatorNo, h.OperatorName as OperatorName",
     "group by g.OperatorNo, h.OperatorName", "附表抄收统计（按操作员）", "附表抄收统计表_按操作员"},
    {1093, "按计量类别统计", "e.PriceType as PriceType", "group by e.PriceType", "附表抄收统计（按计量类别）",
     "附表抄收统计表_按计量类别"},
    {1094, "按收费性质统计", "e.PriceType as PriceType, e.PriceNo as PriceNo, e.PriceName as PriceName",
     "group by e.PriceType, e.PriceNo, e.PriceName", "附表抄收统计（按收费性质）", "附表抄收统计表_按收费性质"},
};

const char* const kStatTotals = "count(*) as ItemCount, sum(d.BuyValue) as BuyValue, sum(d.FreeValue) as FreeValue, "
                                "sum(d.RealUse) as RealUse, sum(d.Fee) as Fee";

const char* const kQueryColumns =
    "select a.ClientNo as ClientNo, a.ClientName as ClientName, a.Addr as Addr, a.Tel as Tel,"
    "\t\t\td.SubNo as SubNo, e.PriceType as PriceType, e.PriceName as PriceName, d.LastRead as LastRead,"
    "\t\t\td.ThisRead as ThisRead, d.RealUse as RealUse, d.BuyValue as BuyValue, d.FreeValue as FreeValue,"
    "\t\t\td.Price as Price, d.Fee as Fee, d.ReadTime as ReadTime, h.OperatorName as OperatorName";

} // namespace

CSubReadWhere BuildSubReadWhere(const CSubReadCondition& k, ESubReadCaptionStyle style)
{
    const bool stat = style == ESubReadCaptionStyle::Statistics;
    CQueryConditionBuilder b(stat ? QStringLiteral("全期；") : QStringLiteral("时期：全期；"));
    b.AddPeriod(k.m_bPeriod, QStringLiteral("d.ReadTime"), k.m_periodFrom, k.m_periodTo);
    b.AddText(k.m_bClientNo, QStringLiteral(" and a.ClientNo like '%s%%' escape '\\'"), KvLikeLiteral(k.m_clientNo),
              QStringLiteral("用户代码："), k.m_clientNo);
    b.AddText(k.m_bClientName, QStringLiteral(" and a.ClientName = '%s'"), k.m_clientName, QStringLiteral("用户姓名："),
              k.m_clientName);
    b.AddText(k.m_bMeterNo, QStringLiteral(" and c.MeterNo like '%s%%' escape '\\'"), KvLikeLiteral(k.m_meterNo),
              QStringLiteral("电表编号："), k.m_meterNo);
    const auto category = [&] {
        b.AddText(k.m_bCategory, QStringLiteral(" and e.PriceType = '%s'"), k.m_category, QStringLiteral("计量类别："),
                  k.m_category);
    };
    const auto feeNature = [&] {
        b.AddText(k.m_bFeeNature, QStringLiteral(" and e.PriceNo = '%s'"), k.m_priceNo,
                  stat ? QStringLiteral("用电性质：") : QStringLiteral("收费性质："), k.m_priceName);
    };
    const auto subNo = [&] {
        b.AddText(k.m_bSubNo, QStringLiteral(" and d.SubNo = '%s'"), k.m_subNo, QStringLiteral("附表编号："),
                  k.m_subNo);
    };
    const auto operatorNo = [&] {
        b.AddText(k.m_bOperator, QStringLiteral(" and g.OperatorNo = '%s'"), k.m_operatorNo, QStringLiteral("操作员："),
                  k.m_operatorName);
    };
    if (stat) {
        feeNature();
        subNo();
        operatorNo();
        category();
    } else {
        category();
        feeNature();
        subNo();
        operatorNo();
    }
    b.AddText(k.m_bBlock, QStringLiteral(" and a.BlockNo = '%s'"), k.m_blockNo, QStringLiteral("小区："), k.m_blockName,
              kNoSep);
    b.AddText(k.m_bBuilding, QStringLiteral(" and a.BuildingNo = '%s'"), k.m_buildingNo, QStringLiteral("楼幢："),
              k.m_buildingName, kNoSep);
    b.AddText(k.m_bFloor, QStringLiteral(" and a.LayerNo = '%s'"), k.m_floor, QStringLiteral("楼层："), k.m_floor,
              kNoSep);
    b.AddRoom(k.m_bRoom, QStringLiteral("a.RoomNo"), k.m_roomFrom, k.m_roomTo, QStringLiteral("房间："));
    b.AddText(k.m_bUnit, QStringLiteral(" and a.Cell = '%s'"), k.m_unit, QStringLiteral("单元："), k.m_unit, kNoSep);
    b.AddText(k.m_bDepartment, QStringLiteral(" and a.DepartmentNo = '%s'"), k.m_departmentNo, QStringLiteral("部门："),
              k.m_departmentName, kNoSep);
    b.AddText(k.m_bLevel, QStringLiteral(" and c.MeterLevel = '%s'"), k.m_level, QStringLiteral("安装级别："),
              k.m_level, kNoSep);
    b.AddText(k.m_bSuperNo, QStringLiteral(" and c.SuperNo = '%s'"), k.m_superNo, QStringLiteral("上级表号："),
              k.m_superNo, kNoSep);
    return CSubReadWhere{b.Clauses(), b.Caption()};
}

QString SubReadFromWhereText()
{
    return QStringLiteral(" from Client a, CliSub c, SubRead d, Price e, PriceVer f,"
                          "\t\t\tWrtRecord g, Operator h, Block q, Building r, Department s"
                          " where d.WrtIndex = g.WrtIndex and g.State = '收讫'"
                          "\t\t\tand d.CliSubIndex = c.CliSubIndex and a.ClientNo = c.ClientNo"
                          " and a.EndDate = CDate('2050-12-31')"
                          "\t\t\tand d.PriceIndex = f.PriceIndex and f.PriceNo = e.PriceNo"
                          "\t\t\tand g.OperatorNo = h.OperatorNo and q.BlockNo = a.BlockNo"
                          "\t\t\tand r.BuildingNo = a.BuildingNo and s.DepartmentNo = a.DepartmentNo"
                          "\t\t\tand (r.BlockNo = q.BlockNo or r.BlockNo = '00')");
}

QString SubReadQuerySql(const CSubReadCondition& condition)
{
    const CSubReadWhere where = BuildSubReadWhere(condition, ESubReadCaptionStyle::Query);
    return QString::fromUtf8(kQueryColumns) + SubReadFromWhereText() + where.clauses.text +
           QStringLiteral(" order by g.WrtIndex, d.SubNo");
}

QString SubReadReportType()
{
    return QStringLiteral("附表抄收明细表");
}

QString SubReadReportName()
{
    return QStringLiteral("水量水费明细表");
}

const CSubReadStatMode* SubReadStatMode(int mode)
{
    if (mode < 0 || mode >= kSubReadStatModeCount)
        return nullptr;
    return &kModes[mode];
}

QString SubReadStatSql(const CSubReadStatCondition& condition)
{
    const CSubReadStatMode* m = SubReadStatMode(condition.m_mode);
    if (!m)
        return QString();
    const CSubReadWhere where = BuildSubReadWhere(condition, ESubReadCaptionStyle::Statistics);
    return QStringLiteral("select ") + QString::fromUtf8(m->columns) + QStringLiteral(", ") +
           QString::fromUtf8(kStatTotals) + SubReadFromWhereText() + where.clauses.text + QStringLiteral(" ") +
           QString::fromUtf8(m->groupBy);
}

QString BalanceSumSql()
{
    return QStringLiteral("select sum(ThisBalance) as ThisBalance from CliBalance");
}

QString BalanceDetailSql()
{
    return QStringLiteral("select a.ClientNo as ClientNo, a.ClientName as ClientName, b.ThisBalance as ThisBalance "
                          "\t\t\tfrom Client a, CliBalance b where a.EndDate = CDate('2050-12-31') and a.ClientNo = "
                          "b.ClientNo");
}

QString BalanceReportType()
{
    return QStringLiteral("余额明细表");
}

QString BalanceTotalMessage(double total)
{
    // Rounded to cents first, so that a total a hair below zero shows 0.00.
    const double cents = std::round(total * 100.0) / 100.0;
    return QString::asprintf("当前余额总额是：%0.2f", cents == 0.0 ? 0.0 : cents);
}
