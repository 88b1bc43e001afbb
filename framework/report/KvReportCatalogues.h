#pragma once

#include <QString>

class CReportFieldList;

// The five field catalogues of the reports, one per report family. Each is a
// process-wide list that its filler empties and fills again at every use.
CReportFieldList& FillSaleDetailFields();    // "售电记录明细表"
CReportFieldList& FillSubReadDetailFields(); // "附表抄收明细表"
CReportFieldList& FillSaleStatFields();      // "售电记录统计表…"
CReportFieldList& FillSubReadStatFields();   // "附表抄收统计表…"
CReportFieldList& FillBalanceFields();       // "余额明细表"

// The catalogue of a report by its name (or type), filled; null when the name
// belongs to no family. The two detail reports are recognised by their exact
// name, the others by containing their family's name.
CReportFieldList* GetReportCatalogue(const QString& reportName);

// How many of the first catalogue fields are the grouping fields of a
// statistics report: 19 for the sale statistics, 15 for the sub-meter
// statistics, none for any other report.
int GetGroupingFieldCount(const QString& reportName);
