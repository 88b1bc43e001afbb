#include "CReportTable.h"

#include "CAdoRecordset.h"
#include "CKvException.h"
#include "CReportField.h"
#include "CReportStore.h"
#include "KvGbk.h"
#include "KvReportText.h"
#include "KvSql.h"

#include <QMetaType>
#include <QVariant>
#include <algorithm>
#include <cmath>
#include <numeric>
#include <vector>

namespace {

// A layout column resolved once for the whole table: its field (null when the
// heading is no caption of the catalogue) and the recordset column it reads.
struct ResolvedColumn
{
    const CReportField* field = nullptr;
    int source = -1;
    double sum = 0;
};

QString TextOf(const QVariant& value)
{
    if (value.typeId() == QMetaType::Double)
        return QString::number(value.toDouble(), 'g', 15);
    return value.toString();
}

// The number of a value in a numeric column. A text that is no number is no
// value of the column: it raises the recordset's conversion error, as a typed
// read of it would, rather than showing as 0.
double NumberOf(const QVariant& value)
{
    if (value.typeId() == QMetaType::QString) {
        const QString text = value.toString();
        bool ok = false;
        const double number = KvParseNumber(text, &ok);
        if (!ok)
            throw CKvException(QStringLiteral("类型不匹配: %1").arg(text));
        return number;
    }
    return value.toDouble();
}

// The cell of a date column.
QString DateCell(const QVariant& value, bool withTime)
{
    return KvReportDateText(TextOf(value), withTime);
}

// The store column of a field: its values kept in their own type.
CReportStore::EColumnKind KindOf(const CReportField* field)
{
    if (!field)
        return CReportStore::EColumnKind::Text;
    const QString& type = field->GetType();
    if (type == KV_LONG)
        return CReportStore::EColumnKind::Integer;
    if (type == KV_FLOAT)
        return CReportStore::EColumnKind::Fixed;
    if (type == KV_DT)
        return CReportStore::EColumnKind::DateTime;
    return CReportStore::EColumnKind::Text;
}

// Appends the cell of a value by the field's kind; NULL and unknown kinds
// give an empty cell. The number shown is returned for the column's sum.
double AppendCell(CReportStore& store, int c, const CReportField& field, const QVariant& value)
{
    if (!value.isValid() || value.isNull()) {
        store.AppendNull(c);
        return 0;
    }
    const QString& type = field.GetType();
    if (type == KV_CHAR) {
        store.AppendText(c, TextOf(value));
    } else if (type == KV_LONG) {
        const int number = static_cast<int>(std::llround(NumberOf(value)));
        store.AppendNumber(c, number);
        return number;
    } else if (type == KV_FLOAT) {
        const double number = NumberOf(value);
        store.AppendNumber(c, number);
        // The sums are those of the texts shown, as the reader adds them up.
        return KvAtof(KvFixedText(number, field.GetDecimals()));
    } else if (type == KV_DT) {
        store.AppendText(c, DateCell(value, true));
    } else if (type == KV_D) {
        store.AppendText(c, DateCell(value, false));
    } else {
        store.AppendNull(c);
    }
    return 0;
}

} // namespace

CReportStore BuildReportStore(CAdoRecordset& rs, int recordCount, const QStringList& headings,
                              const CReportFieldList& catalogue)
{
    CReportStore store(headings);
    store.Reserve(recordCount);
    const int columnCount = static_cast<int>(headings.size());
    std::vector<ResolvedColumn> columns(static_cast<size_t>(columnCount));
    for (int c = 0; c < columnCount; ++c) {
        ResolvedColumn& column = columns[static_cast<size_t>(c)];
        column.field = catalogue.FindByCaption(headings.at(c));
        store.AddColumn(KindOf(column.field), column.field ? column.field->GetDecimals() : 0);
        if (column.field && recordCount > 0) {
            column.source = rs.FindField(column.field->GetColumnName());
            if (column.source < 0)
                throw CKvException(QStringLiteral("找不到字段: %1").arg(column.field->GetColumnName()));
        }
    }

    for (int r = 0; r < recordCount; ++r) {
        for (int c = 0; c < columnCount; ++c) {
            ResolvedColumn& column = columns[static_cast<size_t>(c)];
            if (!column.field) {
                store.AppendNull(c); // no field to format it: the cell stays empty
                continue;
            }
            const double shown = AppendCell(store, c, *column.field, rs.GetFieldValue(column.source));
            if (column.field->IsSummed())
                column.sum += shown;
        }
        store.EndRow();
        rs.MoveNext();
    }

    QStringList summary;
    for (int c = 0; c < columnCount; ++c) {
        const ResolvedColumn& column = columns[static_cast<size_t>(c)];
        QString text;
        if (c == 0)
            text = KV_SUMMARY_CAPTION;
        if (column.field && column.field->IsSummed()) {
            if (column.field->GetType() == KV_LONG)
                text = KvFixedText(column.sum, 0);
            else if (column.field->GetType() == KV_FLOAT)
                text = KvFixedText(column.sum, column.field->GetDecimals());
        }
        summary << text;
    }
    store.SetSummaryRow(summary);
    store.Finish();
    return store;
}

CReportTable ReportTableOf(const CReportStore& store)
{
    CReportTable table;
    table.titles = store.Titles();
    table.columns = store.ColumnCount();
    table.rows = store.RowCount();
    table.cells = store.Cells();
    return table;
}

CReportTable BuildReportTable(CAdoRecordset& rs, int recordCount, const QStringList& headings,
                              const CReportFieldList& catalogue)
{
    return ReportTableOf(BuildReportStore(rs, recordCount, headings, catalogue));
}

void SortReportRows(QStringList& cells, int rows, int columns, int column, bool numeric, bool keepLastRow)
{
    if (column < 0 || column >= columns || rows <= 0)
        return;
    CReportStore store = CReportStore::FromCells(cells, rows, QStringList(), columns);
    store.SortRows(column, numeric, keepLastRow);
    cells = store.Cells();
}
