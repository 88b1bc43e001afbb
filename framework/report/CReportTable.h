#pragma once

#include "CReportStore.h"

#include <QString>
#include <QStringList>

class CAdoRecordset;
class CReportFieldList;

// The text table of a report: cells row after row (row r, column c at
// r * columns + c) and the column titles. The last row may be the summary row.
struct CReportTable
{
    QStringList cells;
    QStringList titles;
    int rows = 0;
    int columns = 0;

    QString Cell(int row, int column) const { return cells.value(row * columns + column); }
};

// The first cell of a summary row (four blanks inside).
inline const QString KV_SUMMARY_CAPTION = QStringLiteral("汇    总");

// Turns `recordCount` rows of an open recordset, from its current row on, into
// the rows of a result list: one column per heading, formatted by the
// catalogue field of that caption; then a summary row with the sums of the
// summed fields, taken from the written texts. A heading that is no caption of
// the catalogue gives empty cells. A field whose column the recordset lacks
// throws the recordset's error.
CReportStore BuildReportStore(CAdoRecordset& rs, int recordCount, const QStringList& headings,
                              const CReportFieldList& catalogue);
// The same rows as a text table.
CReportTable BuildReportTable(CAdoRecordset& rs, int recordCount, const QStringList& headings,
                              const CReportFieldList& catalogue);

// The rows of a store as a text table, in their current order.
CReportTable ReportTableOf(const CReportStore& store);

// Sorts the rows of a cell table ascending by one column: numerically (as atof
// reads the texts) or as text, byte by byte in GBK (Chinese by its reading).
// With `keepLastRow` the last row stays last (the summary row). Rows of equal
// value keep their order.
void SortReportRows(QStringList& cells, int rows, int columns, int column, bool numeric, bool keepLastRow);
