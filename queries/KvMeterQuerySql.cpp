#include "KvMeterQuerySql.h"

#include "CAdoRecordset.h"
#include "CQueryConditionBuilder.h"
#include "KvPlaceConditions.h"
#include "KvReportText.h"
#include "KvUtil.h"

#include <iterator>

namespace {

// The lines of each fixed text are joined by three tabs (white space to the database).
const QString kLineJoin = QStringLiteral("\t\t\t");

QString joinLines(std::initializer_list<const char*> lines)
{
    QStringList texts;
    for (const char* line : lines)
        texts << QString::fromUtf8(line);
    return texts.join(kLineJoin);
}

enum class ECellKind
{
    Text,
    Integer,
    OneDecimal,
    Day
};

struct CMeterColumn
{
    const char* title;
    const char* column;
    ECellKind kind;
    int width; // 0.1 mm
};

const CMeterColumn kColumns[] = {
    {"用户代码", "ClientNo", ECellKind::Text, 180},
    {"用户姓名", "ClientName", ECellKind::Text, 180},
    {"用户地址", "Addr", ECellKind::Text, 340},
    {"电表编号", "MeterNo", ECellKind::Text, 180},
    {"电表型别", "ModelId", ECellKind::Text, 420},
    {"CT", "Ct", ECellKind::Integer, 110},
    {"PT", "Pt", ECellKind::Integer, 110},
    {"线损(%)", "TLWaste", ECellKind::OneDecimal, 170},
    {"变损(月)", "TTWaste", ECellKind::OneDecimal, 170},
    {"设备类型", "DevType", ECellKind::Text, 240},
    {"用电性质", "PriceName", ECellKind::Text, 180},
    {"更新日期", "ModiTime", ECellKind::Day, 200},
    {"上次写卡日期", "WrtTime", ECellKind::Day, 250},
};
constexpr int kColumnCount = int(std::size(kColumns));

QString cellText(const CAdoRecordset& rs, const CMeterColumn& column)
{
    const QString name = QString::fromUtf8(column.column);
    if (rs.IsFieldNull(name))
        return QString();
    switch (column.kind) {
    case ECellKind::Integer:
        return QString::number(rs.GetFieldInt(name));
    case ECellKind::OneDecimal:
        return KvFixedText(rs.GetFieldDouble(name), 1);
    case ECellKind::Day: {
        const QDateTime when = rs.GetFieldDateTime(name);
        return when.isValid() ? when.date().toString(QStringLiteral("yyyy-MM-dd")) : QString();
    }
    case ECellKind::Text:
        break;
    }
    return rs.GetFieldText(name);
}

} // namespace

CSaleWhere BuildMeterWhere(const CMeterCondition& k, const QDateTime& today)
{
    const QString none;
    const QString installDay = CQueryConditionBuilder::DayText(k.m_installDate);
    // The install date is a lower bound alone; it takes the place of "全期".
    CQueryConditionBuilder b(k.m_bInstallDate ? QStringLiteral("装表日期从：") + installDay + QStringLiteral("；")
                                              : QStringLiteral("装表日期从：全期；"));
    b.AddText(k.m_bInstallDate, QStringLiteral(" and b.ModiTime >= CDate('%s')"), installDay, none, none, none);
    AddPlacePieces(b, k, {EPlacePiece::ClientNoPrefix, EPlacePiece::ClientName});
    b.AddText(k.m_bMeterNo, QStringLiteral(" and b.MeterNo like '%s%%' escape '\\'"), KvLikeLiteral(k.m_meterNo),
              QStringLiteral("电表编号："), k.m_meterNo);
    b.AddText(k.m_bUseNature, QStringLiteral(" and e.PriceNo = '%s'"), k.m_priceNo, QStringLiteral("用电性质："),
              k.m_priceName);
    b.AddText(k.m_bOperator, QStringLiteral(" and b.OperatorNo = '%s'"), k.m_operatorNo, QStringLiteral("操作员："),
              k.m_operatorName);
    b.AddText(k.m_bDevType, QStringLiteral(" and c.DevType = '%s'"), k.m_devType, QStringLiteral("设备类型："),
              k.m_devType);
    b.AddText(k.m_bCardType, QStringLiteral(" and c.CardType = '%s'"), k.m_cardType, QStringLiteral("电卡类型："),
              k.m_cardType);
    b.AddText(k.m_bPhase, QStringLiteral(" and c.Phase = '%s'"), k.m_phase, QStringLiteral("电表相线："), k.m_phase);
    const int days = CQueryConditionBuilder::LeadingInt(k.m_days);
    b.AddText(k.m_bDays, QStringLiteral(" and d.WrtTime < CDate('%s')"),
              CQueryConditionBuilder::DayText(AddDays(today, -days)), none, k.m_days.trimmed(),
              QStringLiteral("天没来买电；"));
    AddPlacePieces(b, k,
                   {EPlacePiece::Block, EPlacePiece::Building, EPlacePiece::Floor, EPlacePiece::Room, EPlacePiece::Unit,
                    EPlacePiece::Department});
    b.AddText(k.m_bLevel, QStringLiteral(" and b.MeterLevel = '%s'"), k.m_level, QStringLiteral("安装级别："),
              k.m_level);
    b.AddText(k.m_bSuperNo, QStringLiteral(" and b.SuperNo = '%s'"), k.m_superNo, QStringLiteral("上级表号："),
              k.m_superNo);
    return CSaleWhere{b.Clauses(), b.Caption()};
}

QString MeterQuerySql(const CMeterCondition& condition, const QDateTime& today)
{
    const QString select =
        joinLines({"select a.ClientNo as ClientNo, a.ClientName as ClientName, ",
                   "a.Addr as Addr, b.MeterNo as MeterNo, b.ModelId as ModelId, b.Ct as Ct, b.Pt as Pt, ",
                   "b.TLWaste as TLWaste, b.TTWaste as TTWaste, c.DevType as DevType, e.PriceName as PriceName, ",
                   "b.ModiTime as ModiTime, d.WrtTime as WrtTime"});
    const QString from = joinLines(
        {" from Client a, CliPre b, PreModel c, PreLastWrt d, Price e, PrePrice f, ", "Operator g, PriceVer p"});
    const QString where =
        joinLines({" where b.EndDate = CDate('2050-12-31') and a.ClientNo = b.ClientNo ",
                   "and a.EndDate = CDate('2050-12-31') and c.ModelId = b.ModelId and d.MeterNo = b.MeterNo ",
                   "and f.CliPreIndex = b.CliPreIndex and f.PriceX = 0 and f.PriceNo = e.PriceNo ",
                   "and e.PriceNo = p.PriceNo and p.BeginDate <= CDate('%s') and p.EndDate >= CDate('%s') ",
                   "and g.OperatorNo = b.OperatorNo"});
    const QString day = CQueryConditionBuilder::DayText(today);
    return select + from + KvFormatSql(where, day, day) + BuildMeterWhere(condition, today).clauses.text +
           QStringLiteral(" order by b.ClientNo, b.MeterNo");
}

QString MeterQueryTitle()
{
    return QStringLiteral("用户电表明细表");
}

CReportTable BuildMeterTable(CAdoRecordset& rs, int count)
{
    CReportTable table;
    table.columns = kColumnCount;
    for (const CMeterColumn& column : kColumns)
        table.titles << QString::fromUtf8(column.title);
    for (int r = 0; r < count && !rs.IsEOF(); ++r) {
        for (const CMeterColumn& column : kColumns)
            table.cells << cellText(rs, column);
        ++table.rows;
        rs.MoveNext();
    }
    return table;
}

CListPrintSettings MeterPrintSettings(const QString& caption)
{
    CListPrintSettings settings;
    settings.m_title = MeterQueryTitle();
    settings.m_subTitle = caption;
    settings.m_paperIndex = 3;
    settings.m_topMargin = settings.m_bottomMargin = settings.m_leftMargin = settings.m_rightMargin = 100;
    for (const CMeterColumn& column : kColumns)
        settings.m_colWidths << column.width;
    return settings;
}
