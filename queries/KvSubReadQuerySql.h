#pragma once

#include "CSubReadCondition.h"
#include "KvSql.h"

#include <QString>

// The statements of the sub-meter reading query and statistics, and their
// captions, built from a sub-meter reading condition block. Both list the
// readings charged with a paid sale ("收讫") of a user that has a current row.

// Which of the two caption conventions (and condition orders) applies.
enum class ESubReadCaptionStyle
{
    Query,     // "时期：全期；"; category before fee nature, "收费性质："
    Statistics // "全期；"; fee nature before sub-meter number, "用电性质："
};

struct CSubReadWhere
{
    KvSqlFragment clauses; // the " and " clauses of the ticked conditions
    QString caption;
};

// The clauses and caption of the ticked conditions, in the style's fixed order.
CSubReadWhere BuildSubReadWhere(const CSubReadCondition& condition, ESubReadCaptionStyle style);

// The ten tables and the fixed predicates shared by both statements.
QString SubReadFromWhereText();

// The reading query: 16 columns, ordered by sale and sub-meter number.
QString SubReadQuerySql(const CSubReadCondition& condition);
QString SubReadReportType();
// The name the format button stores for the detail layout.
QString SubReadReportName();

// One grouping of the statistics.
struct CSubReadStatMode
{
    int radioId;
    const char* radioText;
    const char* columns; // the key columns, joined by ", "
    const char* groupBy; // "group by ..."
    const char* title;
    const char* reportType;
};

constexpr int kSubReadStatModeCount = 14;
// The grouping at a position 0 to 13, or null outside.
const CSubReadStatMode* SubReadStatMode(int mode);
// The grouped statement of the chosen grouping (no order clause); empty outside 0 to 13.
QString SubReadStatSql(const CSubReadStatCondition& condition);

// The balance query: the total of every balance, and the balances of the
// users that have a current row.
QString BalanceSumSql();
QString BalanceDetailSql();
QString BalanceReportType();
// "当前余额总额是：%0.2f"; the total is rounded to cents.
QString BalanceTotalMessage(double total);
