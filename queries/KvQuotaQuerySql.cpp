#include "KvQuotaQuerySql.h"

#include "CAdoRecordset.h"
#include "CQueryConditionBuilder.h"
#include "KvPlaceConditions.h"
#include "KvReportText.h"

namespace {

// Amounts as the lists show them.
QString amountText(double value)
{
    return KvFixedText(value, 2);
}

void addPaid(CQueryConditionBuilder& b, int paid)
{
    b.AddFixed(paid == 0, KvSqlFragment{QStringLiteral(" and c.WrtIndex > 0")}, QStringLiteral("已收费：；"));
    b.AddFixed(paid != 0, KvSqlFragment{QStringLiteral(" and c.WrtIndex = -1")}, QStringLiteral("未收费：；"));
}

// The total row: "汇    总", the other leading cells empty, each fee column's total.
void appendTotalRow(CReportTable& table, int leading, const QList<double>& totals)
{
    table.cells << KV_SUMMARY_CAPTION;
    for (int c = 1; c < leading; ++c)
        table.cells << QString();
    for (double total : totals)
        table.cells << amountText(total);
    ++table.rows;
}

CListPrintSettings quotaSettings(const QString& title, const QString& caption, int paper)
{
    CListPrintSettings settings;
    settings.m_title = title;
    settings.m_subTitle = caption;
    settings.m_paperIndex = QuotaPaperMode(paper);
    settings.m_topMargin = settings.m_bottomMargin = settings.m_leftMargin = settings.m_rightMargin = 100;
    return settings;
}

QList<CQuotaStatGrouping> makeGroupings()
{
    const QString blockBuilding = QStringLiteral(
        "select a.BlockNo as BlockNo, b.BuildingNo as BuildingNo, %1 \t\tcount(*) as ItemCount from Block a, "
        "Building b, Client c \t\twhere (a.BlockNo = b.BlockNo or b.BlockNo = '00') and a.BlockNo = c.BlockNo and "
        "b.BuildingNo = c.BuildingNo \t\tgroup by a.BlockNo, b.BuildingNo, %2");
    return {
        {QStringLiteral("按小区统计"),
         QStringLiteral("ShowQuotaStatByBlock"),
         QStringLiteral("select a.BlockNo as BlockNo, f.BlockName as BlockName, \t\t\td.PriceName as PriceName, "
                        "sum(c.FinalFee) as FinalFee"),
         QStringLiteral(" group by a.BlockNo, f.BlockName, d.PriceName"),
         QStringLiteral("定额收费统计（按小区）"),
         {QStringLiteral("小区名称")},
         {QStringLiteral("BlockNo")},
         {QStringLiteral("BlockName")},
         QStringLiteral("select BlockNo from Block")},
        {QStringLiteral("按楼幢统计"),
         QStringLiteral("ShowQuotaStatByBuilding"),
         QStringLiteral("select a.BlockNo as BlockNo, f.BlockName as BlockName, a.BuildingNo as BuildingNo, "
                        "\t\t\tg.BuildingName as BuildingName, d.PriceName as PriceName, sum(c.FinalFee) as FinalFee"),
         QStringLiteral(" group by a.BlockNo, f.BlockName, a.BuildingNo, g.BuildingName, d.PriceName"),
         QStringLiteral("定额收费统计（按楼幢）"),
         {QStringLiteral("小区名称"), QStringLiteral("楼宇名称")},
         {QStringLiteral("BlockNo"), QStringLiteral("BuildingNo")},
         {QStringLiteral("BlockName"), QStringLiteral("BuildingName")},
         QStringLiteral("select a.BlockNo as BlockNo, b.BuildingNo as BuildingNo from Block a, Building b \t\twhere "
                        "a.BlockNo = b.BlockNo")},
        {QStringLiteral("按楼层统计"),
         QStringLiteral("ShowQuotaStatByFloor"),
         QStringLiteral("select a.BlockNo as BlockNo, f.BlockName as BlockName, a.BuildingNo as BuildingNo, "
                        "\t\t\tg.BuildingName as BuildingName, a.LayerNo as LayerNo, d.PriceName as PriceName, "
                        "sum(c.FinalFee) as FinalFee"),
         QStringLiteral(" group by a.BlockNo, f.BlockName, a.BuildingNo, g.BuildingName, a.LayerNo, d.PriceName"),
         QStringLiteral("定额收费统计（按楼层）"),
         {QStringLiteral("小区名称"), QStringLiteral("楼幢名称"), QStringLiteral("楼层")},
         {QStringLiteral("BlockNo"), QStringLiteral("BuildingNo"), QStringLiteral("LayerNo")},
         {QStringLiteral("BlockName"), QStringLiteral("BuildingName"), QStringLiteral("LayerNo")},
         blockBuilding.arg(QStringLiteral("c.LayerNo as LayerNo,"), QStringLiteral("c.LayerNo"))},
        {QStringLiteral("按房间统计"),
         QStringLiteral("ShowQuotaStatByRoom"),
         QStringLiteral("select a.BlockNo as BlockNo, f.BlockName as BlockName, a.BuildingNo as BuildingNo, "
                        "\t\t\tg.BuildingName as BuildingName, a.LayerNo as LayerNo, a.RoomNo as RoomNo, d.PriceName "
                        "as PriceName, sum(c.FinalFee) as FinalFee"),
         QStringLiteral(
             " group by a.BlockNo, f.BlockName, a.BuildingNo, g.BuildingName, a.LayerNo, a.RoomNo, d.PriceName"),
         QStringLiteral("定额收费统计（按房间）"),
         {QStringLiteral("小区名称"), QStringLiteral("楼幢名称"), QStringLiteral("楼层"), QStringLiteral("房间")},
         {QStringLiteral("BlockNo"), QStringLiteral("BuildingNo"), QStringLiteral("LayerNo"), QStringLiteral("RoomNo")},
         {QStringLiteral("BlockName"), QStringLiteral("BuildingName"), QStringLiteral("LayerNo"),
          QStringLiteral("RoomNo")},
         blockBuilding.arg(QStringLiteral("c.LayerNo as LayerNo, c.RoomNo as RoomNo,"),
                           QStringLiteral("c.LayerNo, c.RoomNo"))},
        {QStringLiteral("按单元统计"),
         QStringLiteral("ShowQuotaStatByUnit"),
         QStringLiteral("select a.BlockNo as BlockNo, f.BlockName as BlockName, \t\t\t\ta.BuildingNo as BuildingNo, "
                        "g.BuildingName as BuildingName, \t\t\t\ta.Cell as Cell, d.PriceName as PriceName, "
                        "sum(c.FinalFee) as FinalFee"),
         QStringLiteral(" group by a.BlockNo, f.BlockName, a.BuildingNo, g.BuildingName, a.Cell, d.PriceName"),
         QStringLiteral("定额收费统计（按单元）"),
         {QStringLiteral("小区名称"), QStringLiteral("楼幢名称"), QStringLiteral("单元")},
         {QStringLiteral("BlockNo"), QStringLiteral("BuildingNo"), QStringLiteral("Cell")},
         {QStringLiteral("BlockName"), QStringLiteral("BuildingName"), QStringLiteral("Cell")},
         blockBuilding.arg(QStringLiteral("c.Cell as Cell,"), QStringLiteral("c.Cell"))},
        {QStringLiteral("按部门统计"),
         QStringLiteral("ShowQuotaStatByDepartment"),
         QStringLiteral(
             "select a.DepartmentNo as DepartmentNo, h.DepartmentName as DepartmentName, \t\t\t\td.PriceName "
             "as PriceName, sum(c.FinalFee) as FinalFee"),
         QStringLiteral(" group by a.DepartmentNo, h.DepartmentName, d.PriceName"),
         QStringLiteral("定额收费统计（按部门）"),
         {QStringLiteral("部    门")},
         {QStringLiteral("DepartmentNo")},
         {QStringLiteral("DepartmentName")},
         QStringLiteral("select DepartmentNo from Department")},
        {QStringLiteral("按用户统计"),
         QStringLiteral("ShowQuotaStatByUser"),
         QStringLiteral("select a.ClientNo as ClientNo, a.ClientName as ClientName, \t\t\t\td.PriceName as PriceName, "
                        "sum(c.FinalFee) as FinalFee"),
         QStringLiteral(" group by a.ClientNo, a.ClientName, d.PriceName"),
         QStringLiteral("定额收费统计（按用户）"),
         {QStringLiteral("用户代码")},
         {QStringLiteral("ClientNo")},
         {QStringLiteral("ClientNo")},
         QStringLiteral("select distinct ClientNo from Client")},
    };
}

// The grouping columns, in their order, as an order clause.
QString orderOf(const QString& groupBy)
{
    QString order = groupBy;
    return order.replace(QStringLiteral(" group by "), QStringLiteral(" order by "));
}

double feeOf(const CAdoRecordset& rs)
{
    return rs.IsFieldNull(QStringLiteral("FinalFee")) ? 0.0 : rs.GetFieldDouble(QStringLiteral("FinalFee"));
}

} // namespace

CSaleWhere BuildQuotaQueryWhere(const CQuotaCondition& k)
{
    using P = EPlacePiece;
    CQueryConditionBuilder b(QStringLiteral("时期：全期；"));
    b.AddPeriod(k.m_bPeriod, QStringLiteral("c.ReadTime"), k.m_from, k.m_to);
    AddPlacePieces(b, k,
                   {P::Block, P::Building, P::Floor, P::Room, P::Department, P::ClientName, P::ClientNo, P::Unit});
    addPaid(b, k.m_paid);
    return CSaleWhere{b.Clauses(), b.Caption()};
}

CSaleWhere BuildQuotaStatWhere(const CQuotaCondition& k)
{
    using P = EPlacePiece;
    CQueryConditionBuilder b(QStringLiteral("全期"));
    b.AddPeriod(k.m_bPeriod, QStringLiteral("c.ReadTime"), k.m_from, k.m_to);
    AddPlacePieces(
        b, k, {P::ClientNoPrefix, P::ClientName, P::Block, P::Building, P::Floor, P::Room, P::Unit, P::Department});
    addPaid(b, k.m_paid);
    return CSaleWhere{b.Clauses(), b.Caption()};
}

QString QuotaCountSql(const CQuotaCondition& condition)
{
    return QStringLiteral("select a.ClientNo as ClientNo, c.YearMon as YearMon, count(*) as ItemCount"
                          " from Client a, FixFee c, CliFix e"
                          " where a.ClientNo = e.ClientNo and a.EndDate = CDate('2050-12-31') and \t\t\t"
                          "e.CliFixIndex = c.CliFixIndex") +
           BuildQuotaQueryWhere(condition).clauses.text + QStringLiteral(" group by a.ClientNo, c.YearMon");
}

QString QuotaDetailSql(const CQuotaCondition& condition)
{
    const QString groupBy = QStringLiteral(" group by a.ClientNo, a.ClientName, a.Addr, c.YearMon, b.PriceName");
    return QStringLiteral("select a.ClientNo as ClientNo, a.ClientName as ClientName, a.Addr as Addr, \t\t\t"
                          "c.YearMon as YearMon, b.PriceName as PriceName, sum(c.FinalFee) as FinalFee"
                          " from Client a, Price b, FixFee c, PriceVer d, CliFix e"
                          " where a.ClientNo = e.ClientNo and a.EndDate = CDate('2050-12-31') \t\t\t"
                          "and e.CliFixIndex = c.CliFixIndex and c.PriceIndex = d.PriceIndex \t\t\t"
                          "and d.PriceNo = b.PriceNo") +
           BuildQuotaQueryWhere(condition).clauses.text + groupBy + orderOf(groupBy);
}

QString QuotaQueryTitle()
{
    return QStringLiteral("定额收费明细表");
}

QList<CQuotaDetailRow> ReadQuotaDetailRows(CAdoRecordset& rs)
{
    QList<CQuotaDetailRow> rows;
    for (; !rs.IsEOF(); rs.MoveNext())
        rows.append({rs.GetFieldText(QStringLiteral("ClientNo")), rs.GetFieldText(QStringLiteral("ClientName")),
                     rs.GetFieldText(QStringLiteral("Addr")), rs.GetFieldInt(QStringLiteral("YearMon")),
                     rs.GetFieldText(QStringLiteral("PriceName")), feeOf(rs)});
    return rows;
}

CReportTable BuildQuotaQueryTable(const QList<CQuotaDetailRow>& rows, const QStringList& feeNames)
{
    constexpr int kLeading = 4;
    CReportTable table;
    table.titles = QStringList{QStringLiteral("用户代码"), QStringLiteral("用户姓名"), QStringLiteral("用户地址"),
                               QStringLiteral("年  月")} +
                   feeNames;
    table.columns = kLeading + int(feeNames.size());
    QList<double> totals(feeNames.size(), 0.0);

    QString previousCode;
    int previousMonth = -1;
    int current = -1;   // the row being filled
    bool holds = false; // whether it holds an amount of a ticked item
    for (const CQuotaDetailRow& row : rows) {
        if (row.clientNo != previousCode || row.yearMon != previousMonth) {
            previousCode = row.clientNo;
            previousMonth = row.yearMon;
            // A row that got no amount is taken again for the next user-month.
            if (current < 0 || holds) {
                current = table.rows++;
                table.cells.resize(qsizetype(table.rows) * table.columns);
            }
            holds = false;
            const QString month = QString::number(row.yearMon);
            const qsizetype at = qsizetype(current) * table.columns;
            table.cells[at] = row.clientNo;
            table.cells[at + 1] = row.clientName;
            table.cells[at + 2] = row.addr;
            table.cells[at + 3] = month.left(4) + u'-' + month.right(2);
            for (int f = 0; f < feeNames.size(); ++f)
                table.cells[at + kLeading + f] = QStringLiteral("0");
        }
        const int f = int(feeNames.indexOf(row.priceName));
        if (f < 0)
            continue;
        table.cells[qsizetype(current) * table.columns + kLeading + f] = amountText(row.finalFee);
        totals[f] += row.finalFee;
        holds = true;
    }
    if (current >= 0 && !holds) {
        --table.rows;
        table.cells.resize(qsizetype(table.rows) * table.columns);
    }
    appendTotalRow(table, kLeading, totals);
    return table;
}

CListPrintSettings QuotaQueryPrintSettings(const QString& caption, int paper, int feeCount)
{
    CListPrintSettings settings = quotaSettings(QuotaQueryTitle(), caption, paper);
    settings.m_colWidths = {180, 180, 400, 220};
    for (int f = 0; f < feeCount; ++f)
        settings.m_colWidths << 220;
    return settings;
}

const CQuotaStatGrouping* QuotaStatGrouping(int grouping)
{
    static const QList<CQuotaStatGrouping> groupings = makeGroupings();
    if (grouping < 0 || grouping >= groupings.size())
        return nullptr;
    return &groupings[grouping];
}

QString QuotaStatSql(const CQuotaStatCondition& condition)
{
    const CQuotaStatGrouping* g = QuotaStatGrouping(condition.m_grouping);
    if (!g)
        return QString();
    return g->select +
           QStringLiteral(" from Client a, CliFix b, FixFee c, Price d, PriceVer e, Block f, Building g, Department h"
                          " where a.ClientNo = b.ClientNo and a.EndDate = CDate('2050-12-31') \t\t\t"
                          "and b.CliFixIndex = c.CliFixIndex and c.PriceIndex = e.PriceIndex \t\t\t"
                          "and e.PriceNo = d.PriceNo and a.BlockNo = f.BlockNo \t\t\t"
                          "and a.BuildingNo = g.BuildingNo and a.DepartmentNo = h.DepartmentNo \t\t\t"
                          "and (g.BlockNo = f.BlockNo or g.BlockNo = '00')") +
           BuildQuotaStatWhere(condition).clauses.text + g->groupBy + orderOf(g->groupBy);
}

QList<CQuotaStatRow> ReadQuotaStatRows(CAdoRecordset& rs, const CQuotaStatGrouping& grouping)
{
    QList<CQuotaStatRow> rows;
    for (; !rs.IsEOF(); rs.MoveNext()) {
        CQuotaStatRow row;
        for (const QString& key : grouping.keyFields)
            row.keys << rs.GetFieldText(key);
        for (const QString& label : grouping.labelFields)
            row.labels << rs.GetFieldText(label);
        row.priceName = rs.GetFieldText(QStringLiteral("PriceName"));
        row.finalFee = feeOf(rs);
        rows.append(row);
    }
    return rows;
}

CReportTable BuildQuotaStatTable(const CQuotaStatGrouping& grouping, const QList<CQuotaStatRow>& rows,
                                 const QStringList& feeNames)
{
    const int leading = int(grouping.leadingTitles.size());
    CReportTable table;
    table.titles = grouping.leadingTitles + feeNames;
    table.columns = leading + int(feeNames.size());
    QList<double> totals(feeNames.size(), 0.0);

    QStringList previousKey;
    for (const CQuotaStatRow& row : rows) {
        // The table grows by a row for every group that arrives.
        if (table.rows == 0 || row.keys != previousKey) {
            previousKey = row.keys;
            ++table.rows;
            for (int c = 0; c < leading; ++c)
                table.cells << row.labels.value(c);
            for (int f = 0; f < feeNames.size(); ++f)
                table.cells << QStringLiteral("0.00");
        }
        const int f = int(feeNames.indexOf(row.priceName));
        if (f < 0)
            continue;
        table.cells[qsizetype(table.rows - 1) * table.columns + leading + f] = amountText(row.finalFee);
        totals[f] += row.finalFee;
    }
    appendTotalRow(table, leading, totals);
    return table;
}

CListPrintSettings QuotaStatPrintSettings(const CQuotaStatGrouping& grouping, const QString& caption, int paper,
                                          int feeCount)
{
    CListPrintSettings settings = quotaSettings(grouping.title, caption, paper);
    for (int c = 0; c < grouping.leadingTitles.size(); ++c)
        settings.m_colWidths << 180;
    for (int f = 0; f < feeCount; ++f)
        settings.m_colWidths << 220;
    return settings;
}
