#include "KvSaleQuerySql.h"

#include "CQueryConditionBuilder.h"

namespace {

const QString kNoSep;

QString sepOf(ESaleCaptionStyle style)
{
    // The record and receipt captions run district to parent meter together.
    return style == ESaleCaptionStyle::Statistics ? CQueryConditionBuilder::Separator() : kNoSep;
}

const CSaleStatGrouping kGroupings[kSaleStatGroupingCount] = {
    {1258, "按用户电表统计", "a.ClientNo as ClientNo, a.ClientName as ClientName, b.MeterNo as MeterNo",
     " group by a.ClientNo, a.ClientName, b.MeterNo", "售电记录统计（按用户电表）", "售电记录统计表_按用户电表"},
    {1235, "按电卡类型统计", "g.CardType as CardType", " group by g.CardType", "售电记录统计（按电卡类型）",
     "售电记录统计表_按电卡类型"},
    {1234, "按用电性质统计", "e.PriceNo as PriceNo, e.PriceName as PriceName", " group by e.PriceNo, e.PriceName",
     "售电记录统计（按用电性质）", "售电记录统计表_按用电性质"},
    {1054, "按电表相线统计", "g.Phase as Phase", " group by g.Phase", "售电记录统计（按电表相线）",
     "售电记录统计表_按电表相线"},
    {1301, "按付款方式统计", "d.PayMode as PayMode", " group by d.PayMode", "售电记录统计（按付款方式）",
     "售电记录统计表_按付款方式"},
    {1055, "按设备类型统计", "g.DevType as DevType", " group by g.DevType", "售电记录统计（按设备类型）",
     "售电记录统计表_按设备类型"},
    {1232, "按操作员统计", "h.OperatorNo as OperatorNo, h.OperatorName as OperatorName",
     " group by h.OperatorNo, h.OperatorName", "售电记录统计（按操作员）", "售电记录统计表_按操作员"},
    {1056, "按操作方式统计", "c.OpMode as OpMode", " group by c.OpMode", "售电记录统计（按操作方式）",
     "售电记录统计表_按操作方式"},
    {1070, "按小区统计", "a.BlockNo as BlockNo, q.BlockName as BlockName", " group by a.BlockNo, q.BlockName",
     "售电记录统计（按小区）", "售电记录统计表_按小区"},
    {1066, "按单元统计",
     "a.BlockNo as BlockNo, q.BlockName as BlockName, a.BuildingNo as BuildingNo, r.BuildingName as BuildingName, "
     "a.Cell as Cell",
     " group by a.BlockNo, q.BlockName, a.BuildingNo, r.BuildingName, a.Cell", "售电记录统计（按单元）",
     "售电记录统计表_按单元"},
    {1071, "按楼幢统计",
     "a.BlockNo as BlockNo, q.BlockName as BlockName, a.BuildingNo as BuildingNo, r.BuildingName as BuildingName",
     " group by a.BlockNo, q.BlockName, a.BuildingNo, r.BuildingName", "售电记录统计（按楼幢）",
     "售电记录统计表_按楼幢"},
    {1067, "按部门统计", "a.DepartmentNo as DepartmentNo, s.DepartmentName as DepartmentName",
     " group by a.DepartmentNo, s.DepartmentName", "售电记录统计（按部门）", "售电记录统计表_按部门"},
    {1072, "按楼层统计",
     "a.BlockNo as BlockNo, q.BlockName as BlockName, a.BuildingNo as BuildingNo, r.BuildingName as BuildingName, "
     "a.LayerNo as LayerNo",
     " group by a.BlockNo, q.BlockName, a.BuildingNo, r.BuildingName, a.LayerNo", "售电记录统计（按楼层）",
     "售电记录统计表_按楼层"},
    {1068, "按安装级别统计", "b.MeterLevel as MeterLevel", " group by b.MeterLevel", "售电记录统计（按安装级别）",
     "售电记录统计表_按安装级别"},
    {1065, "按房间统计",
     "a.BlockNo as BlockNo, q.BlockName as BlockName, a.BuildingNo as BuildingNo, r.BuildingName as BuildingName, "
     "a.LayerNo as LayerNo, a.RoomNo as RoomNo",
     " group by a.BlockNo, q.BlockName, a.BuildingNo, r.BuildingName, a.LayerNo, a.RoomNo", "售电记录统计（按房号）",
     "售电记录统计表_按房号"},
    {1069, "按上级表号统计", "b.SuperNo as SuperNo", " group by b.SuperNo", "售电记录统计（按上级表号）",
     "售电记录统计表_按上级表号"},
};

const char* const kStatTotals =
    "count(*) as ItemCount, sum(c.BuyValue) as BuyValue, sum(c.FreeValue) as FreeValue, sum(c.LWaste) as LWaste, "
    "sum(c.TWaste) as TWaste, sum(c.Fee) as Fee, sum(c.PrePay) as PrePay, sum(c.SubFee) as SubFee, "
    "sum(c.FixFee) as FixFee, sum(d.TotFee) as TotFee, sum(d.RealPay) as RealPay";

const char* const kRecordColumns =
    "a.ClientNo as ClientNo, a.ClientName as ClientName, a.Addr as Addr, a.Tel as Tel, b.MeterNo as MeterNo, "
    "g.Phase as Phase, e.PriceName as PriceName, c.BuyValue as BuyValue, c.FreeValue as FreeValue, "
    "c.LWaste as LWaste, c.TWaste as TWaste, c.Price as Price, h.OperatorName as OperatorName, c.Fee as Fee, "
    "c.PrePay as PrePay, c.SubFee as SubFee, c.FixFee as FixFee, d.TotFee as TotFee, d.RealPay as RealPay, "
    "d.LastBalance as LastBalance, d.ThisBalance as ThisBalance, d.PayMode as PayMode, d.InvoiceNo as InvoiceNo, "
    "c.OpMode as OpMode, c.WrtTime as WrtTime";

} // namespace

CSaleWhere BuildSaleWhere(const CSaleCondition& k, ESaleCaptionStyle style)
{
    const bool stat = style == ESaleCaptionStyle::Statistics;
    const QString sep = CQueryConditionBuilder::Separator();
    const QString tail = sepOf(style);
    CQueryConditionBuilder b(stat ? QStringLiteral("全期；") : QStringLiteral("时期：全期；"));
    b.AddPeriod(k.m_bPeriod, QStringLiteral("c.WrtTime"), k.m_periodFrom, k.m_periodTo);
    b.AddText(k.m_bClientNo, QStringLiteral(" and a.ClientNo like '%s%%' escape '\\'"), KvLikeLiteral(k.m_clientNo),
              QStringLiteral("用户代码："), k.m_clientNo);
    b.AddText(k.m_bClientName, QStringLiteral(" and a.ClientName = '%s'"), k.m_clientName, QStringLiteral("用户姓名："),
              k.m_clientName);
    b.AddText(k.m_bMeterNo, QStringLiteral(" and b.MeterNo like '%s%%' escape '\\'"), KvLikeLiteral(k.m_meterNo),
              QStringLiteral("电表编号："), k.m_meterNo);
    b.AddText(k.m_bUseNature, QStringLiteral(" and e.PriceNo = '%s'"), k.m_priceNo, QStringLiteral("用电性质："),
              k.m_priceName);
    b.AddText(k.m_bPayMode, QStringLiteral(" and d.PayMode = '%s'"), k.m_payMode, QStringLiteral("付款方式："),
              k.m_payMode);
    b.AddText(k.m_bOperator, QStringLiteral(" and c.OperatorNo = '%s'"), k.m_operatorNo, QStringLiteral("操作员："),
              k.m_operatorName);
    b.AddText(k.m_bDevType, QStringLiteral(" and g.DevType = '%s'"), k.m_devType, QStringLiteral("设备类型："),
              k.m_devType);
    b.AddText(k.m_bCardType, QStringLiteral(" and g.CardType = '%s'"), k.m_cardType, QStringLiteral("电卡类型："),
              k.m_cardType);
    b.AddText(k.m_bPhase, QStringLiteral(" and g.Phase = '%s'"), k.m_phase, QStringLiteral("电表相线："), k.m_phase);
    b.AddText(k.m_bOpMode, QStringLiteral(" and c.OpMode = '%s'"), k.m_opMode, QStringLiteral("操作方式："),
              k.m_opMode);
    b.AddText(k.m_bBlock, QStringLiteral(" and a.BlockNo = '%s'"), k.m_blockNo, QStringLiteral("小区："), k.m_blockName,
              tail);
    b.AddText(k.m_bBuilding, QStringLiteral(" and a.BuildingNo = '%s'"), k.m_buildingNo, QStringLiteral("楼幢："),
              k.m_buildingName, tail);
    b.AddText(k.m_bFloor, QStringLiteral(" and a.LayerNo = '%s'"), k.m_floor, QStringLiteral("楼层："), k.m_floor,
              tail);
    b.AddRoom(k.m_bRoom, QStringLiteral("a.RoomNo"), k.m_roomFrom, k.m_roomTo, QStringLiteral("房间："), sep);
    const auto unit = [&] {
        b.AddText(k.m_bUnit, QStringLiteral(" and a.Cell = '%s'"), k.m_unit, QStringLiteral("单元："), k.m_unit, tail);
    };
    const auto department = [&] {
        b.AddText(k.m_bDepartment, QStringLiteral(" and a.DepartmentNo = '%s'"), k.m_departmentNo,
                  QStringLiteral("部门："), k.m_departmentName, tail);
    };
    if (stat) {
        department();
        unit();
    } else {
        unit();
        department();
    }
    b.AddText(k.m_bLevel, QStringLiteral(" and b.MeterLevel = '%s'"), k.m_level, QStringLiteral("安装级别："),
              k.m_level, tail);
    b.AddText(k.m_bSuperNo, QStringLiteral(" and b.SuperNo = '%s'"), k.m_superNo, QStringLiteral("上级表号："),
              k.m_superNo, tail);
    if (style != ESaleCaptionStyle::ReceiptQuery)
        b.AddIntRange(k.m_bBuyValue, QStringLiteral(" and c.BuyValue >= %d and c.BuyValue <= %d"), k.m_buyFrom,
                      k.m_buyTo, QStringLiteral("购电量大于等于%1，且小于等于%2"));
    return CSaleWhere{b.Clauses(), b.Caption()};
}

QString SaleFromWhereText()
{
    return QStringLiteral(
        " from Client a, CliPre b, WrtRecord c, ClientPay d, Price e, PrePrice f, PreModel g, Operator h, "
        "WrtPrice k, PriceVer p, Block q, Building r, Department s"
        " where c.State = '收讫' and c.CliPreIndex = b.CliPreIndex and b.ClientNo = a.ClientNo"
        " and a.EndDate = CDate('2050-12-31') and b.CliPreIndex = f.CliPreIndex and f.PriceX = 0"
        " and f.PriceNo = e.PriceNo and d.WrtIndex = c.WrtIndex and g.ModelId = b.ModelId"
        " and k.WrtIndex = c.WrtIndex and k.PriceIndex = p.PriceIndex and p.PriceNo = e.PriceNo"
        " and c.OperatorNo = h.OperatorNo and q.BlockNo = a.BlockNo and r.BuildingNo = a.BuildingNo"
        " and s.DepartmentNo = a.DepartmentNo and (r.BlockNo = q.BlockNo or r.BlockNo = '00')");
}

QString SaleRecordReportType()
{
    return QStringLiteral("售电记录明细表");
}

QString SaleRecordQuerySql(const CSaleCondition& condition)
{
    const CSaleWhere where = BuildSaleWhere(condition, ESaleCaptionStyle::RecordQuery);
    return QStringLiteral("select ") + QString::fromUtf8(kRecordColumns) + SaleFromWhereText() + where.clauses.text +
           QStringLiteral(" order by c.WrtTime");
}

const CSaleStatGrouping* SaleStatGrouping(int grouping)
{
    if (grouping < 0 || grouping >= kSaleStatGroupingCount)
        return nullptr;
    return &kGroupings[grouping];
}

QString SaleStatSql(const CSaleStatCondition& condition)
{
    const CSaleStatGrouping* g = SaleStatGrouping(condition.m_grouping);
    if (!g)
        return QString();
    const CSaleWhere where = BuildSaleWhere(condition, ESaleCaptionStyle::Statistics);
    return QStringLiteral("select ") + QString::fromUtf8(g->columns) + QStringLiteral(", ") +
           QString::fromUtf8(kStatTotals) + SaleFromWhereText() + where.clauses.text + QString::fromUtf8(g->groupBy);
}
