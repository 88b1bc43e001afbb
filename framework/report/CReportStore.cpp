#include "CReportStore.h"

#include "KvGbk.h"
#include "KvReportText.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <numeric>

namespace {

constexpr qint64 kEmptyStamp = -1;

// "yyyy-MM-dd HH:mm:ss" as the number yyyyMMddHHmmss; -1 for any other text.
qint64 packDateTime(const QString& text)
{
    static constexpr int kDigits[] = {0, 1, 2, 3, 5, 6, 8, 9, 11, 12, 14, 15, 17, 18};
    if (text.size() != 19 || text.at(4) != u'-' || text.at(7) != u'-' || text.at(10) != u' ' || text.at(13) != u':' ||
        text.at(16) != u':')
        return -1;
    qint64 packed = 0;
    for (int i : kDigits) {
        const char16_t c = text.at(i).unicode();
        if (c < u'0' || c > u'9')
            return -1;
        packed = packed * 10 + (c - u'0');
    }
    return packed;
}

QString unpackDateTime(qint64 packed)
{
    char16_t text[19];
    static constexpr int kDigitsFromRight[] = {18, 17, 15, 14, 12, 11, 9, 8, 6, 5, 3, 2, 1, 0};
    for (int i : kDigitsFromRight) {
        text[i] = static_cast<char16_t>(u'0' + packed % 10);
        packed /= 10;
    }
    text[4] = text[7] = u'-';
    text[10] = u' ';
    text[13] = text[16] = u':';
    return QString(reinterpret_cast<const QChar*>(text), 19);
}

} // namespace

int CReportStore::AddColumn(EColumnKind kind, int decimals)
{
    Column& column = m_columns.emplace_back();
    column.kind = kind;
    column.decimals = decimals;
    return static_cast<int>(m_columns.size()) - 1;
}

quint32 CReportStore::pooled(Column& column, const QString& text)
{
    const auto found = column.index.constFind(text);
    if (found != column.index.constEnd())
        return found.value();
    const auto id = static_cast<quint32>(column.pool.size());
    column.pool.append(text);
    column.index.insert(text, id);
    return id;
}

void CReportStore::AppendText(int column, const QString& text)
{
    Column& target = m_columns[static_cast<size_t>(column)];
    switch (target.kind) {
    case EColumnKind::Text:
        target.ids.push_back(pooled(target, text));
        break;
    case EColumnKind::DateTime: {
        if (text.isEmpty()) {
            target.stamps.push_back(kEmptyStamp);
            break;
        }
        const qint64 packed = packDateTime(text);
        target.stamps.push_back(packed >= 0 ? packed : -2 - static_cast<qint64>(pooled(target, text)));
        break;
    }
    case EColumnKind::Integer:
    case EColumnKind::Fixed:
        // A number column holds numbers only; a text is no value of it.
        target.numbers.push_back(text.isEmpty() ? std::numeric_limits<double>::quiet_NaN() : KvAtof(text));
        break;
    }
}

void CReportStore::AppendNumber(int column, double value)
{
    Column& target = m_columns[static_cast<size_t>(column)];
    if (target.kind == EColumnKind::Integer || target.kind == EColumnKind::Fixed)
        target.numbers.push_back(value);
    else
        AppendText(column, KvFixedText(value, target.decimals));
}

void CReportStore::AppendNull(int column)
{
    Column& target = m_columns[static_cast<size_t>(column)];
    switch (target.kind) {
    case EColumnKind::Text:
        target.ids.push_back(pooled(target, QString()));
        break;
    case EColumnKind::DateTime:
        target.stamps.push_back(kEmptyStamp);
        break;
    case EColumnKind::Integer:
    case EColumnKind::Fixed:
        target.numbers.push_back(std::numeric_limits<double>::quiet_NaN());
        break;
    }
}

void CReportStore::SetSummaryRow(const QStringList& texts)
{
    m_hasSummary = true;
    m_summary = texts;
}

void CReportStore::Finish()
{
    for (Column& column : m_columns) {
        column.index = {};
        column.ids.shrink_to_fit();
        column.numbers.shrink_to_fit();
        column.stamps.shrink_to_fit();
    }
}

QString CReportStore::storedCell(int stored, int column) const
{
    if (column < 0 || column >= ColumnCount() || stored < 0 || stored >= RowCount())
        return QString();
    if (isSummary(stored))
        return m_summary.value(column);
    const Column& source = m_columns[static_cast<size_t>(column)];
    const auto at = static_cast<size_t>(stored);
    switch (source.kind) {
    case EColumnKind::Text:
        return source.pool.at(source.ids[at]);
    case EColumnKind::DateTime: {
        const qint64 stamp = source.stamps[at];
        if (stamp == kEmptyStamp)
            return QString();
        return stamp >= 0 ? unpackDateTime(stamp) : source.pool.at(-2 - stamp);
    }
    case EColumnKind::Integer: {
        const double value = source.numbers[at];
        return std::isnan(value) ? QString() : QString::number(static_cast<qint64>(value));
    }
    case EColumnKind::Fixed: {
        const double value = source.numbers[at];
        return std::isnan(value) ? QString() : KvFixedText(value, source.decimals);
    }
    }
    return QString();
}

QString CReportStore::Cell(int row, int column) const
{
    if (row < 0 || row >= RowCount())
        return QString();
    return storedCell(storedRow(row), column);
}

QStringList CReportStore::RowCells(int row) const
{
    QStringList cells;
    cells.reserve(ColumnCount());
    for (int c = 0; c < ColumnCount(); ++c)
        cells << Cell(row, c);
    return cells;
}

QStringList CReportStore::Cells() const
{
    QStringList cells;
    cells.reserve(static_cast<qsizetype>(RowCount()) * ColumnCount());
    for (int r = 0; r < RowCount(); ++r)
        cells << RowCells(r);
    return cells;
}

void CReportStore::SetCell(int row, int column, const QString& text)
{
    if (row < 0 || row >= RowCount() || column < 0 || column >= ColumnCount())
        return;
    const int stored = storedRow(row);
    if (isSummary(stored)) {
        while (m_summary.size() <= column)
            m_summary.append(QString());
        m_summary[column] = text;
        return;
    }
    Column& target = m_columns[static_cast<size_t>(column)];
    if (target.kind != EColumnKind::Text)
        return;
    // After Finish the texts are no longer looked up: a new one is added.
    const auto found = std::find(target.pool.cbegin(), target.pool.cend(), text);
    quint32 id = static_cast<quint32>(found - target.pool.cbegin());
    if (found == target.pool.cend())
        target.pool.append(text);
    target.ids[static_cast<size_t>(stored)] = id;
}

std::vector<int> CReportStore::pooledTextRanks(const Column& column) const
{
    if (column.kind != EColumnKind::Text)
        return {};
    std::vector<QByteArray> keys;
    keys.reserve(static_cast<size_t>(column.pool.size()));
    for (const QString& text : column.pool)
        keys.push_back(GbkEncode(text));
    std::vector<int> byKey(keys.size());
    std::iota(byKey.begin(), byKey.end(), 0);
    std::sort(byKey.begin(), byKey.end(),
              [&](int a, int b) { return keys[static_cast<size_t>(a)] < keys[static_cast<size_t>(b)]; });
    // Equal texts (a text given twice by SetCell) share their rank.
    std::vector<int> ranks(keys.size());
    int rank = 0;
    for (size_t i = 0; i < byKey.size(); ++i) {
        if (i > 0 && keys[static_cast<size_t>(byKey[i - 1])] != keys[static_cast<size_t>(byKey[i])])
            ++rank;
        ranks[static_cast<size_t>(byKey[i])] = rank;
    }
    return ranks;
}

void CReportStore::SortRows(int column, bool numeric, bool keepLastRow)
{
    const int rows = RowCount();
    if (column < 0 || column >= ColumnCount() || rows <= 0)
        return;
    const int sorted = keepLastRow ? rows - 1 : rows;
    if (sorted < 2)
        return;
    if (m_order.empty()) {
        m_order.resize(static_cast<size_t>(rows));
        std::iota(m_order.begin(), m_order.end(), 0);
    }
    const auto first = m_order.begin();
    const auto last = m_order.begin() + sorted;
    const Column& source = m_columns[static_cast<size_t>(column)];
    const bool summaryTakesPart = std::any_of(first, last, [&](int stored) { return isSummary(stored); });

    // Keys by stored row, read from the texts shown (a Fixed number rounds as shown).
    if (numeric) {
        std::vector<double> keys(static_cast<size_t>(rows));
        for (auto it = first; it != last; ++it) {
            const auto at = static_cast<size_t>(*it);
            if (source.kind == EColumnKind::Integer && !isSummary(*it))
                keys[at] = std::isnan(source.numbers[at]) ? 0.0 : static_cast<double>(qint64(source.numbers[at]));
            else
                keys[at] = KvAtof(storedCell(*it, column));
        }
        std::stable_sort(first, last,
                         [&](int a, int b) { return keys[static_cast<size_t>(a)] < keys[static_cast<size_t>(b)]; });
        return;
    }
    const std::vector<int> ranks = summaryTakesPart ? std::vector<int>() : pooledTextRanks(source);
    if (!ranks.empty()) {
        // Texts compare by the rank of their pooled text.
        std::stable_sort(first, last, [&](int a, int b) {
            return ranks[source.ids[static_cast<size_t>(a)]] < ranks[source.ids[static_cast<size_t>(b)]];
        });
        return;
    }
    // Texts compare by their bytes in the code page of the program's texts,
    // which puts Chinese names in the order of their reading.
    std::vector<QByteArray> keys(static_cast<size_t>(rows));
    for (auto it = first; it != last; ++it)
        keys[static_cast<size_t>(*it)] = GbkEncode(storedCell(*it, column));
    std::stable_sort(first, last,
                     [&](int a, int b) { return keys[static_cast<size_t>(a)] < keys[static_cast<size_t>(b)]; });
}

CReportStore CReportStore::FromCells(const QStringList& cells, int rows, const QStringList& titles, int columns)
{
    CReportStore store(titles);
    for (int c = 0; c < columns; ++c)
        store.AddColumn(EColumnKind::Text);
    for (int r = 0; r < rows; ++r) {
        for (int c = 0; c < columns; ++c)
            store.AppendText(c, cells.value(static_cast<qsizetype>(r) * columns + c));
        store.EndRow();
    }
    store.Finish();
    return store;
}
