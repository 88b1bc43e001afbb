#pragma once

#include <QHash>
#include <QString>
#include <QStringList>
#include <vector>

// The rows of a result list kept compactly: each column keeps its values in
// their own type (numbers as doubles, date-times packed in an integer, texts
// as indexes into a pool of the column's distinct texts, since most of them
// repeat) and a cell becomes its display text only when it is read. A million
// rows cost a few hundred bytes each instead of a string object a cell.
//
// Rows are appended column by column (one value for every column, then
// EndRow); an optional summary row, given as texts, follows the data rows.
// Sorting reorders a permutation of the rows, never the values.
class CReportStore
{
public:
    enum class EColumnKind
    {
        Text,     // any text, pooled
        Integer,  // a whole number, shown as it is
        Fixed,    // a number shown rounded to its decimals (KvFixedText)
        DateTime, // "yyyy-MM-dd HH:mm:ss" packed; any other text pooled
    };

    CReportStore() = default;
    explicit CReportStore(const QStringList& titles) : m_titles(titles) {}

    // Adds a column; its index.
    int AddColumn(EColumnKind kind, int decimals = 0);

    void AppendText(int column, const QString& text);
    void AppendNumber(int column, double value);
    // An empty cell (a NULL).
    void AppendNull(int column);
    void EndRow() { ++m_dataRows; }
    void SetSummaryRow(const QStringList& texts);
    // Building is over: drops what only served to pool texts while appending.
    void Finish();

    const QStringList& Titles() const { return m_titles; }
    int ColumnCount() const { return static_cast<int>(m_columns.size()); }
    // The data rows and the summary row.
    int RowCount() const { return m_dataRows + (m_hasSummary ? 1 : 0); }
    bool HasSummaryRow() const { return m_hasSummary; }

    // The display text of a cell, the row as currently ordered.
    QString Cell(int row, int column) const;
    QStringList RowCells(int row) const;
    // Every cell row after row, as currently ordered.
    QStringList Cells() const;
    // Replaces the text of a cell of a text column; other kinds are left as they are.
    void SetCell(int row, int column, const QString& text);

    // Sorts the rows ascending by one column: numerically (as atof reads the
    // shown texts) or as text, byte by byte in GBK (Chinese by its reading).
    // Rows of equal value keep their current order; with `keepLastRow` the
    // last row stays last.
    void SortRows(int column, bool numeric, bool keepLastRow);

    // A store of text columns holding a row-major cell table.
    static CReportStore FromCells(const QStringList& cells, int rows, const QStringList& titles, int columns);

private:
    struct Column
    {
        EColumnKind kind = EColumnKind::Text;
        int decimals = 0;
        std::vector<quint32> ids;    // Text: index into the pool
        std::vector<double> numbers; // Integer, Fixed: NaN for an empty cell
        std::vector<qint64> stamps;  // DateTime: packed digits, -1 empty, < -1 a pooled text
        QStringList pool;
        QHash<QString, quint32> index; // while building
    };

    quint32 pooled(Column& column, const QString& text);
    QString storedCell(int stored, int column) const;
    int storedRow(int row) const { return m_order.empty() ? row : m_order[static_cast<size_t>(row)]; }
    bool isSummary(int stored) const { return m_hasSummary && stored == m_dataRows; }
    // A key a row for a text sort where the rows' order in GBK is the order
    // of their pooled texts; empty when the column has no such shortcut.
    std::vector<int> pooledTextRanks(const Column& column) const;

    QStringList m_titles;
    std::vector<Column> m_columns;
    int m_dataRows = 0;
    bool m_hasSummary = false;
    QStringList m_summary;
    std::vector<int> m_order; // shown row -> stored row; empty while unsorted
};
