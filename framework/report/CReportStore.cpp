#include "CReportStore.h"

#include "KvGbk.h"
#include "KvReportText.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <limits>
#include <numeric>

namespace {

constexpr qint64 kEmptyStamp = -1;
// An empty whole-number cell: out of the 32-bit range of the values.
constexpr qint64 kEmptyWhole = qint64(1) << 40;
// An empty Fixed cell: a NaN.
const quint64 kEmptyFixed = std::bit_cast<quint64>(std::numeric_limits<double>::quiet_NaN());

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

// The id of a value in a pool found through an open-addressing table kept at
// most half full. A slot holds the value's hash in its high word and id + 1 in
// its low one (0 for a free slot): a probe compares values only where the
// hashes agree, and growing the table reads no value. A value not there yet
// is added.
template <typename Same, typename Add>
quint32 FindOrAdd(std::vector<quint64>& table, quint32 count, quint32 hash, Same same, Add add)
{
    if ((static_cast<size_t>(count) + 1) * 2 > table.size()) {
        std::vector<quint64> grown(std::max<size_t>(64, table.size() * 2), 0);
        const size_t mask = grown.size() - 1;
        for (const quint64 taken : table) {
            if (taken == 0)
                continue;
            size_t slot = (taken >> 32) & mask;
            while (grown[slot] != 0)
                slot = (slot + 1) & mask;
            grown[slot] = taken;
        }
        table = std::move(grown);
    }
    const size_t mask = table.size() - 1;
    for (size_t slot = hash & mask;; slot = (slot + 1) & mask) {
        const quint64 taken = table[slot];
        if (taken == 0) {
            const quint32 id = add();
            table[slot] = (quint64(hash) << 32) | (quint64(id) + 1);
            return id;
        }
        if (static_cast<quint32>(taken >> 32) == hash && same(static_cast<quint32>(taken) - 1))
            return static_cast<quint32>(taken) - 1;
    }
}

// A hash of 32 bits that spreads the low bits, which index the table.
quint32 spread(size_t hash)
{
    const quint64 mixed = static_cast<quint64>(hash) * 0x9E3779B97F4A7C15ull;
    return static_cast<quint32>(mixed >> 32);
}

} // namespace

void CReportStore::CIdVector::widen(quint32 id)
{
    const int bytes = id > 0xFFFF ? 4 : id > 0xFF ? 2 : 1;
    if (bytes <= m_bytes)
        return;
    const size_t rows = m_bytes == 1 ? m_narrow.size() : m_middle.size();
    const size_t room = std::max(rows + 1, m_bytes == 1 ? m_narrow.capacity() : m_middle.capacity());
    if (bytes == 2) {
        m_middle.reserve(room);
        m_middle.assign(m_narrow.begin(), m_narrow.end());
    } else {
        m_wide.reserve(room);
        if (m_bytes == 1)
            m_wide.assign(m_narrow.begin(), m_narrow.end());
        else
            m_wide.assign(m_middle.begin(), m_middle.end());
        m_middle = {};
    }
    m_narrow = {};
    m_bytes = bytes;
}

void CReportStore::CIdVector::Push(quint32 id)
{
    widen(id);
    if (m_bytes == 1)
        m_narrow.push_back(static_cast<quint8>(id));
    else if (m_bytes == 2)
        m_middle.push_back(static_cast<quint16>(id));
    else
        m_wide.push_back(id);
}

quint32 CReportStore::CIdVector::At(size_t row) const
{
    return m_bytes == 1 ? m_narrow[row] : m_bytes == 2 ? m_middle[row] : m_wide[row];
}

void CReportStore::CIdVector::Set(size_t row, quint32 id)
{
    widen(id);
    if (m_bytes == 1)
        m_narrow[row] = static_cast<quint8>(id);
    else if (m_bytes == 2)
        m_middle[row] = static_cast<quint16>(id);
    else
        m_wide[row] = id;
}

void CReportStore::CIdVector::Reserve(size_t rows)
{
    if (m_bytes == 1)
        m_narrow.reserve(rows);
    else if (m_bytes == 2)
        m_middle.reserve(rows);
    else
        m_wide.reserve(rows);
}

void CReportStore::CIdVector::Finish()
{
    m_narrow.shrink_to_fit();
    m_middle.shrink_to_fit();
    m_wide.shrink_to_fit();
}

quint32 CReportStore::CTextPool::Add(QStringView text)
{
    m_chars.append(text);
    m_starts.push_back(static_cast<quint32>(m_chars.size()));
    return Size() - 1;
}

QStringView CReportStore::CTextPool::At(quint32 id) const
{
    return QStringView(m_chars).mid(m_starts[id], m_starts[id + 1] - m_starts[id]);
}

quint32 CReportStore::CTextPool::Intern(QStringView text)
{
    return FindOrAdd(
        m_slots, Size(), spread(qHash(text)), [&](quint32 id) { return At(id) == text; },
        [&] { return Add(text); });
}

void CReportStore::CTextPool::Finish()
{
    m_slots = {};
    m_chars.squeeze();
    m_starts.shrink_to_fit();
}

quint32 CReportStore::CValuePool::Intern(quint64 bits)
{
    return FindOrAdd(
        m_slots, Size(), spread(qHash(bits)), [&](quint32 id) { return m_values[id] == bits; },
        [&] {
            m_values.push_back(bits);
            return Size() - 1;
        });
}

void CReportStore::CValuePool::Finish()
{
    m_slots = {};
    m_values.shrink_to_fit();
}

void CReportStore::Reserve(int rows)
{
    m_reserved = std::max(0, rows);
    for (Column& column : m_columns)
        column.ids.Reserve(static_cast<size_t>(m_reserved));
}

int CReportStore::AddColumn(EColumnKind kind, int decimals)
{
    Column& column = m_columns.emplace_back();
    column.kind = kind;
    column.decimals = decimals;
    column.ids.Reserve(static_cast<size_t>(m_reserved));
    return static_cast<int>(m_columns.size()) - 1;
}

void CReportStore::AppendText(int column, const QString& text)
{
    Column& target = m_columns[static_cast<size_t>(column)];
    switch (target.kind) {
    case EColumnKind::Text:
        target.ids.Push(target.texts.Intern(text));
        break;
    case EColumnKind::DateTime: {
        if (text.isEmpty()) {
            AppendNull(column);
            break;
        }
        const qint64 packed = packDateTime(text);
        const qint64 stamp = packed >= 0 ? packed : -2 - static_cast<qint64>(target.texts.Intern(text));
        target.ids.Push(target.values.Intern(static_cast<quint64>(stamp)));
        break;
    }
    case EColumnKind::Integer:
    case EColumnKind::Fixed:
        // A number column holds numbers only; a text is no value of it.
        if (text.isEmpty())
            AppendNull(column);
        else
            AppendNumber(column, KvAtof(text));
        break;
    }
}

void CReportStore::AppendNumber(int column, double value)
{
    Column& target = m_columns[static_cast<size_t>(column)];
    if (target.kind == EColumnKind::Integer)
        target.ids.Push(target.values.Intern(static_cast<quint64>(static_cast<qint64>(static_cast<qint32>(value)))));
    else if (target.kind == EColumnKind::Fixed)
        target.ids.Push(target.values.Intern(std::bit_cast<quint64>(value)));
    else
        AppendText(column, KvFixedText(value, target.decimals));
}

void CReportStore::AppendNull(int column)
{
    Column& target = m_columns[static_cast<size_t>(column)];
    switch (target.kind) {
    case EColumnKind::Text:
        target.ids.Push(target.texts.Intern(QStringView()));
        break;
    case EColumnKind::DateTime:
        target.ids.Push(target.values.Intern(static_cast<quint64>(kEmptyStamp)));
        break;
    case EColumnKind::Integer:
        target.ids.Push(target.values.Intern(static_cast<quint64>(kEmptyWhole)));
        break;
    case EColumnKind::Fixed:
        target.ids.Push(target.values.Intern(kEmptyFixed));
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
        column.ids.Finish();
        column.texts.Finish();
        column.values.Finish();
    }
}

QString CReportStore::idText(const Column& column, quint32 id) const
{
    if (column.kind == EColumnKind::Text)
        return column.texts.At(id).toString();
    const quint64 bits = column.values.At(id);
    switch (column.kind) {
    case EColumnKind::Text:
        break;
    case EColumnKind::DateTime: {
        const auto stamp = static_cast<qint64>(bits);
        if (stamp == kEmptyStamp)
            return QString();
        return stamp >= 0 ? unpackDateTime(stamp) : column.texts.At(static_cast<quint32>(-2 - stamp)).toString();
    }
    case EColumnKind::Integer: {
        const auto value = static_cast<qint64>(bits);
        return value == kEmptyWhole ? QString() : QString::number(value);
    }
    case EColumnKind::Fixed:
        return bits == kEmptyFixed ? QString() : KvFixedText(std::bit_cast<double>(bits), column.decimals);
    }
    return QString();
}

QString CReportStore::storedCell(int stored, int column) const
{
    if (column < 0 || column >= ColumnCount() || stored < 0 || stored >= RowCount())
        return QString();
    if (isSummary(stored))
        return m_summary.value(column);
    const Column& source = m_columns[static_cast<size_t>(column)];
    return idText(source, source.ids.At(static_cast<size_t>(stored)));
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
    // After Finish the texts are no longer looked up: the text is added
    // again, and sorts as equal to any other copy of it.
    target.ids.Set(static_cast<size_t>(stored), target.texts.Add(text));
}

std::vector<int> CReportStore::textRanks(const Column& column) const
{
    const quint32 count = column.kind == EColumnKind::Text ? column.texts.Size() : column.values.Size();
    std::vector<QByteArray> keys;
    keys.reserve(count);
    for (quint32 id = 0; id < count; ++id)
        keys.push_back(GbkEncode(idText(column, id)));
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

    // Keys of the column's distinct texts or values, read from the texts
    // shown (a Fixed number rounds as shown); the summary row's of its text.
    if (numeric) {
        const quint32 count = source.kind == EColumnKind::Text ? source.texts.Size() : source.values.Size();
        std::vector<double> idKeys(count);
        for (quint32 id = 0; id < count; ++id)
            idKeys[id] = KvAtof(idText(source, id));
        const auto key = [&](int stored) {
            return isSummary(stored) ? KvAtof(m_summary.value(column))
                                     : idKeys[source.ids.At(static_cast<size_t>(stored))];
        };
        std::stable_sort(first, last, [&](int a, int b) { return key(a) < key(b); });
        return;
    }
    if (!summaryTakesPart) {
        // Texts compare by the rank of their display text.
        const std::vector<int> ranks = textRanks(source);
        const auto rank = [&](int stored) { return ranks[source.ids.At(static_cast<size_t>(stored))]; };
        std::stable_sort(first, last, [&](int a, int b) { return rank(a) < rank(b); });
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
