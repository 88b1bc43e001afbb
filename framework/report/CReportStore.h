#pragma once

#include <QString>
#include <QStringList>
#include <QStringView>
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
        Integer,  // a whole number of 32 bits, shown as it is
        Fixed,    // a number shown rounded to its decimals (KvFixedText)
        DateTime, // "yyyy-MM-dd HH:mm:ss" packed; any other text pooled
    };

    CReportStore() = default;
    explicit CReportStore(const QStringList& titles) : m_titles(titles) {}

    // Room for the rows about to be appended.
    void Reserve(int rows);
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
    // The ids of a column's cells, a row each, one byte wide while there are
    // few distinct values and wider once there are more.
    class CIdVector
    {
    public:
        void Push(quint32 id);
        quint32 At(size_t row) const;
        void Set(size_t row, quint32 id);
        void Reserve(size_t rows);
        void Finish();

    private:
        void widen(quint32 id);

        int m_bytes = 1;
        std::vector<quint8> m_narrow;
        std::vector<quint16> m_middle;
        std::vector<quint32> m_wide;
    };

    // The distinct texts of a column, one after the other in one buffer: a
    // column of texts that never repeat (bill numbers) costs their characters
    // and an offset each. While building, an open-addressing table of their
    // ids finds a text given before.
    class CTextPool
    {
    public:
        quint32 Intern(QStringView text);
        // Adds a text without looking for it (after Finish).
        quint32 Add(QStringView text);
        QStringView At(quint32 id) const;
        quint32 Size() const { return static_cast<quint32>(m_starts.size()) - 1; }
        void Finish();

    private:
        QString m_chars;
        std::vector<quint32> m_starts{0};
        std::vector<quint64> m_slots; // hash << 32 | id + 1, 0 for a free slot
    };

    // The distinct values of a number or date-time column, by their bits.
    class CValuePool
    {
    public:
        quint32 Intern(quint64 bits);
        quint64 At(quint32 id) const { return m_values[id]; }
        quint32 Size() const { return static_cast<quint32>(m_values.size()); }
        void Finish();

    private:
        std::vector<quint64> m_values;
        std::vector<quint64> m_slots; // hash << 32 | id + 1, 0 for a free slot
    };

    struct Column
    {
        EColumnKind kind = EColumnKind::Text;
        int decimals = 0;
        CIdVector ids;     // a row each: its text (Text) or its value
        CTextPool texts;   // Text, and DateTime texts of another form
        CValuePool values; // Integer, Fixed (double bits), DateTime (packed digits or a text id)
    };

    // The display text of a column's text or value.
    QString idText(const Column& column, quint32 id) const;
    QString storedCell(int stored, int column) const;
    int storedRow(int row) const { return m_order.empty() ? row : m_order[static_cast<size_t>(row)]; }
    bool isSummary(int stored) const { return m_hasSummary && stored == m_dataRows; }
    // The texts or values of a column ranked in GBK order of their display
    // texts; equal texts share a rank.
    std::vector<int> textRanks(const Column& column) const;

    QStringList m_titles;
    std::vector<Column> m_columns;
    int m_dataRows = 0;
    bool m_hasSummary = false;
    QStringList m_summary;
    std::vector<int> m_order; // shown row -> stored row; empty while unsorted
    int m_reserved = 0;
};
