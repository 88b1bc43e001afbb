#pragma once

#include <QString>
#include <QStringList>
#include <QVariant>
#include <cstdint>
#include <string>
#include <vector>

// The whole result of one query, held in memory (the static client cursor).
// Cells are small fixed records stored row by row; the bytes of all texts sit
// in one buffer and become QStrings only when they are read, so holding a
// large result costs little more than stepping through it.
class CDbResult
{
public:
    enum CellType : std::uint8_t
    {
        Null,
        Integer,
        Real,
        Text
    };

    struct Cell
    {
        CellType type = Null;
        std::uint32_t size = 0; // bytes of a text
        union {
            qint64 integer;
            double real;
            std::uint64_t offset; // of a text in the buffer
        };
        Cell() : integer(0) {}
    };

    QStringList columns;
    int rowCount = 0;

    void clear()
    {
        columns.clear();
        m_cells.clear();
        m_text.clear();
        rowCount = 0;
    }

    void appendNull() { m_cells.emplace_back(); }
    void appendInteger(qint64 v)
    {
        Cell& c = m_cells.emplace_back();
        c.type = Integer;
        c.integer = v;
    }
    void appendReal(double v)
    {
        Cell& c = m_cells.emplace_back();
        c.type = Real;
        c.real = v;
    }
    void appendText(const char* utf8, int bytes)
    {
        Cell& c = m_cells.emplace_back();
        c.type = Text;
        c.offset = m_text.size();
        c.size = static_cast<std::uint32_t>(bytes);
        m_text.append(utf8, static_cast<size_t>(bytes));
    }

    const Cell& cell(int row, int column) const
    {
        return m_cells[static_cast<size_t>(row) * static_cast<size_t>(columns.size()) + static_cast<size_t>(column)];
    }
    QString text(const Cell& c) const { return QString::fromUtf8(m_text.data() + c.offset, c.size); }
    QVariant variant(const Cell& c) const
    {
        switch (c.type) {
        case Integer:
            return QVariant(static_cast<qlonglong>(c.integer));
        case Real:
            return QVariant(c.real);
        case Text:
            return QVariant(text(c));
        default:
            return QVariant();
        }
    }

private:
    std::vector<Cell> m_cells;
    std::string m_text;
};
