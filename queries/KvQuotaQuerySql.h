#pragma once

#include "CListPrintSettings.h"
#include "CQuotaCondition.h"
#include "CReportTable.h"
#include "KvSaleQuerySql.h"

#include <QList>
#include <QString>
#include <QStringList>

class CAdoRecordset;

// The quota fee query (定额查询) and the quota fee statistics (定额统计): the
// monthly quota fees of the current users as cross tables, one column per
// ticked fee item, with a total row. Amounts are read and added as double and
// shown with two decimals.

// The query's clauses and caption ("时期：全期；"; the user code exact).
CSaleWhere BuildQuotaQueryWhere(const CQuotaCondition& condition);
// The statistics' clauses and caption ("全期"; the user code as a prefix).
CSaleWhere BuildQuotaStatWhere(const CQuotaCondition& condition);

// One row per user and month.
QString QuotaCountSql(const CQuotaCondition& condition);
// One row per user, month and fee-item name, in the order of those columns so
// that the rows of one user and month come together.
QString QuotaDetailSql(const CQuotaCondition& condition);

QString QuotaQueryTitle();

// A row of the detail statement.
struct CQuotaDetailRow
{
    QString clientNo;
    QString clientName;
    QString addr;
    int yearMon = 0;
    QString priceName;
    double finalFee = 0;
};

QList<CQuotaDetailRow> ReadQuotaDetailRows(CAdoRecordset& rs);

// The cross table of the query: a row per user and month holding an amount of
// a ticked item (code, name, address, month "yyyy-mm", the fee columns, "0"
// where nothing was charged), then the total row. The titles are the four
// leading ones and the fee-item names; a name ticked twice fills its first column.
CReportTable BuildQuotaQueryTable(const QList<CQuotaDetailRow>& rows, const QStringList& feeNames);

// Title, caption, paper by the paper index, margins 100; user code and name
// 180, address 400, month and each fee column 220.
CListPrintSettings QuotaQueryPrintSettings(const QString& caption, int paper, int feeCount);

// One grouping of the statistics.
struct CQuotaStatGrouping
{
    QString radioText;
    QString builder; // the name of the member that lays it out
    QString select;  // the grouped statement's select part
    QString groupBy; // " group by ..."
    QString title;
    QStringList leadingTitles;
    QStringList keyFields;   // a change of any of them starts a group
    QStringList labelFields; // the leading cells
    QString enumerating;     // the statement that must find rows for a table to be shown
};

constexpr int kQuotaStatGroupingCount = 7;
// The grouping at a position 0 to 6, or null outside.
const CQuotaStatGrouping* QuotaStatGrouping(int grouping);

// The grouped statement of the condition's grouping, ordered by its grouping
// columns; empty outside 0 to 6.
QString QuotaStatSql(const CQuotaStatCondition& condition);

// A row of the grouped statement.
struct CQuotaStatRow
{
    QStringList keys;
    QStringList labels;
    QString priceName;
    double finalFee = 0;
};

QList<CQuotaStatRow> ReadQuotaStatRows(CAdoRecordset& rs, const CQuotaStatGrouping& grouping);

// The cross table of the statistics: a row per group (its leading cells, "0.00"
// in every fee column, the amounts of its ticked items), then the total row.
CReportTable BuildQuotaStatTable(const CQuotaStatGrouping& grouping, const QList<CQuotaStatRow>& rows,
                                 const QStringList& feeNames);

// Title, caption, paper by the paper index, margins 100; 180 for each
// leading column and 220 for each fee column.
CListPrintSettings QuotaStatPrintSettings(const CQuotaStatGrouping& grouping, const QString& caption, int paper,
                                          int feeCount);
