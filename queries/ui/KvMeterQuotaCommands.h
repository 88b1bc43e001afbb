#pragma once

#include <QString>
#include <QStringList>

class CAdoRecordset;
class CMainFrame;
struct CQuotaStatGrouping;
struct CReportTable;
class CListPrintSettings;

// 电表查询: the meter condition dialog, the meters found as the list
// "用户电表明细表", and the dialog again with the same conditions, until the
// operator cancels or a query finds nothing.
void QueryMeters(CMainFrame& frame);

// 定额查询: the quota condition dialog with its fee items, the cross table of
// users and months, and the dialog again with the same choices and ticks.
void QueryQuotaFees(CMainFrame& frame);

// 定额统计: the same loop with the statistics dialog, one row per group of the
// chosen grouping.
void StatQuotaFees(CMainFrame& frame);

// Lays the open grouped statement out as the grouping's cross table and shows
// it. Nothing is shown when the grouping's enumerating statement finds no row.
// The caller keeps and releases the statement.
void ShowQuotaStat(const CQuotaStatGrouping& grouping, const QStringList& feeNames, CAdoRecordset& grouped,
                   const QString& title, const QString& caption, int paper);

// The result list over a table, captioned "title(caption)", with the count line
// "记录总数：n".
void ShowResultTable(CReportTable& table, const CListPrintSettings& settings, const QString& title,
                     const QString& caption, int recordCount);
