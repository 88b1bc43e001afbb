#pragma once

#include "CListPrintSettings.h"
#include "CMeterCondition.h"
#include "CReportTable.h"
#include "KvSaleQuerySql.h"

#include <QDateTime>
#include <QString>

class CAdoRecordset;

// The meter query (电表查询): the current meters of the current users with
// their last card write, one row per meter, in thirteen columns.

// The clauses and caption of the ticked conditions, in the fixed order. The
// days condition counts back from `today` (the server date at midnight).
CSaleWhere BuildMeterWhere(const CMeterCondition& condition, const QDateTime& today);

// The whole statement: fixed select, from and where (today twice: only a main
// price with a version valid today lists a meter), the clauses and the order.
QString MeterQuerySql(const CMeterCondition& condition, const QDateTime& today);

QString MeterQueryTitle();

// `count` rows of the open statement, from its current row on, as the list's
// thirteen columns. A NULL cell shows empty.
CReportTable BuildMeterTable(CAdoRecordset& rs, int count);

// Title, caption as second title, A4 landscape, margins 100 and the widths.
CListPrintSettings MeterPrintSettings(const QString& caption);
