#include "CReportTable.h"

#include "CAdoRecordset.h"
#include "CKvException.h"
#include "CReportField.h"
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

// The cell of a date column: the program stores dates in the canonical form,
// which is taken as it stands (parsing every row of a large report costs more
// than the rest of its cell); any other form is read and written anew.
QString DateCell(const QVariant& value, bool withTime)
{
    const QString text = TextOf(value);
    auto digits = [&](int from, int count) {
        int number = 0;
        for (int i = from; i < from + count; ++i) {
            const QChar c = text.at(i);
            if (c < u'0' || c > u'9')
                return -1;
            number = number * 10 + (c.unicode() - u'0');
        }
        return number;
    };
    const bool canonicalDay = (text.size() == 10 || text.size() == 19) && text.at(4) == u'-' && text.at(7) == u'-' &&
                              QDate::isValid(digits(0, 4), digits(5, 2), digits(8, 2));
    const bool canonicalTime = text.size() == 19 && text.at(10) == u' ' && text.at(13) == u':' && text.at(16) == u':' &&
                               QTime::isValid(digits(11, 2), digits(14, 2), digits(17, 2));
    if (canonicalDay && text.size() == 10)
        return withTime ? text + QStringLiteral(" 00:00:00") : text;
    if (canonicalDay && canonicalTime)
        return withTime ? text : text.left(10);
    const QDateTime dt = KvParseDateText(text);
    if (!dt.isValid())
        throw CKvException(QStringLiteral("类型不匹配: %1").arg(text));
    return dt.toString(withTime ? QStringLiteral("yyyy-MM-dd HH:mm:ss") : QStringLiteral("yyyy-MM-dd"));
}

// The cell text of a value by the field's kind; NULL and unknown kinds give "".
QString FormatCell(const CReportField& field, const QVariant& value)
{
    if (!value.isValid() || value.isNull())
        return QString();
    const QString& type = field.GetType();
    if (type == KV_CHAR)
        return TextOf(value);
    if (type == KV_LONG)
        return QString::number(static_cast<int>(std::llround(NumberOf(value))));
    if (type == KV_FLOAT)
        return KvFixedText(NumberOf(value), field.GetDecimals());
    if (type == KV_DT)
        return DateCell(value, true);
    if (type == KV_D)
        return DateCell(value, false);
    return QString();
}

} // namespace

CReportTable BuildReportTable(CAdoRecordset& rs, int recordCount, const QStringList& headings,
                              const CReportFieldList& catalogue)
{
    CReportTable table;
    table.titles = headings;
    table.columns = static_cast<int>(headings.size());
    table.rows = recordCount + 1;
    table.cells.resize(static_cast<qsizetype>(table.rows) * table.columns);

    std::vector<ResolvedColumn> columns(static_cast<size_t>(table.columns));
    for (int c = 0; c < table.columns; ++c) {
        ResolvedColumn& column = columns[static_cast<size_t>(c)];
        column.field = catalogue.FindByCaption(headings.at(c));
        if (column.field && recordCount > 0) {
            column.source = rs.FindField(column.field->GetColumnName());
            if (column.source < 0)
                throw CKvException(QStringLiteral("找不到字段: %1").arg(column.field->GetColumnName()));
        }
    }

    for (int r = 0; r < recordCount; ++r) {
        for (int c = 0; c < table.columns; ++c) {
            ResolvedColumn& column = columns[static_cast<size_t>(c)];
            if (!column.field)
                continue; // no field to format it: the cell stays empty
            QString text = FormatCell(*column.field, rs.GetFieldValue(column.source));
            if (column.field->IsSummed()) {
                // The sums are those of the texts shown, as the reader adds them up.
                if (column.field->GetType() == KV_LONG)
                    column.sum += KvAtoi(text);
                else if (column.field->GetType() == KV_FLOAT)
                    column.sum += KvAtof(text);
            }
            table.cells[static_cast<qsizetype>(r) * table.columns + c] = std::move(text);
        }
        rs.MoveNext();
    }

    const qsizetype summary = static_cast<qsizetype>(recordCount) * table.columns;
    if (table.columns > 0)
        table.cells[summary] = KV_SUMMARY_CAPTION;
    for (int c = 0; c < table.columns; ++c) {
        const ResolvedColumn& column = columns[static_cast<size_t>(c)];
        if (!column.field || !column.field->IsSummed())
            continue;
        if (column.field->GetType() == KV_LONG)
            table.cells[summary + c] = KvFixedText(column.sum, 0);
        else if (column.field->GetType() == KV_FLOAT)
            table.cells[summary + c] = KvFixedText(column.sum, column.field->GetDecimals());
    }
    return table;
}

void SortReportRows(QStringList& cells, int rows, int columns, int column, bool numeric, bool keepLastRow)
{
    if (column < 0 || column >= columns || rows <= 0)
        return;
    const int sorted = keepLastRow ? rows - 1 : rows;
    if (sorted < 2)
        return;
    std::vector<int> order(static_cast<size_t>(sorted));
    std::iota(order.begin(), order.end(), 0);
    auto cellAt = [&](int row) -> const QString& { return cells.at(static_cast<qsizetype>(row) * columns + column); };
    if (numeric) {
        std::vector<double> keys(static_cast<size_t>(sorted));
        for (int r = 0; r < sorted; ++r)
            keys[static_cast<size_t>(r)] = KvAtof(cellAt(r));
        std::stable_sort(order.begin(), order.end(),
                         [&](int a, int b) { return keys[static_cast<size_t>(a)] < keys[static_cast<size_t>(b)]; });
    } else {
        // Texts compare by their bytes in the code page of the program's texts,
        // which puts Chinese names in the order of their reading.
        std::vector<QByteArray> keys(static_cast<size_t>(sorted));
        for (int r = 0; r < sorted; ++r)
            keys[static_cast<size_t>(r)] = GbkEncode(cellAt(r));
        std::stable_sort(order.begin(), order.end(),
                         [&](int a, int b) { return keys[static_cast<size_t>(a)] < keys[static_cast<size_t>(b)]; });
    }
    QStringList result;
    result.reserve(cells.size());
    for (int r : order)
        for (int c = 0; c < columns; ++c)
            result.append(std::move(cells[static_cast<qsizetype>(r) * columns + c]));
    for (qsizetype i = static_cast<qsizetype>(sorted) * columns; i < cells.size(); ++i)
        result.append(std::move(cells[i]));
    cells = std::move(result);
}
