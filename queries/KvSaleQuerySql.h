#pragma once

#include "CSaleCondition.h"
#include "KvSql.h"

#include <QString>
#include <QStringList>

// The statements of the sale record query and the sale statistics, and their
// captions, built from a sale condition block.

// Which of the sale condition dialog's caption conventions applies.
enum class ESaleCaptionStyle
{
    RecordQuery, // "时期：全期；"; district…parent meter without "；"; unit before department; kWh range applied
    ReceiptQuery, // as RecordQuery, without the kWh range
    Statistics    // "全期；"; "；" after every piece but the kWh range; department before unit
};

struct CSaleWhere
{
    KvSqlFragment clauses; // the " and " clauses of the ticked conditions
    QString caption;
};

// The clauses and caption of the ticked conditions, in the fixed order.
CSaleWhere BuildSaleWhere(const CSaleCondition& condition, ESaleCaptionStyle style);

// The thirteen tables and seventeen fixed predicates shared by both statements.
QString SaleFromWhereText();

// The sale record query: 25 columns, ordered by the time of the card write.
QString SaleRecordQuerySql(const CSaleCondition& condition);
QString SaleRecordReportType();

// One grouping of the sale statistics.
struct CSaleStatGrouping
{
    int radioId;
    const char* radioText;
    const char* columns; // the group columns, joined by ", "
    const char* groupBy; // " group by ..."
    const char* title;
    const char* reportType;
};

constexpr int kSaleStatGroupingCount = 16;
// The grouping at a position 0 to 15, or null outside.
const CSaleStatGrouping* SaleStatGrouping(int grouping);
// The grouped statement of a grouping (no order clause); empty outside 0 to 15.
QString SaleStatSql(const CSaleStatCondition& condition);
