#pragma once

#include <QString>
#include <QStringList>
#include <QVariant>
#include <algorithm>
#include <cstdint>
#include <cstring>
#include <memory>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

// The whole result of one query, held in memory (the static client cursor).
// Cells are small fixed records stored row by row; the bytes of all texts sit
// in a few large blocks and become QStrings only when they are read, so
// holding a large result costs little more than stepping through it. Cells
// and texts grow in fixed blocks rather than by doubling one array: a million
// rows never hold two copies of the result while they are read. The blocks of
// a result that ends are kept for the next ones, up to a bound (see
// CDbResult.cpp): a query read again and again reuses memory the program
// already holds instead of having the system map and clear new pages.
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

#pragma pack(push, 4)
    // 12 bytes: a text's size and the cell's type share one word. Set by the
    // append calls only (a block of cells is not cleared when it is made).
    struct Cell
    {
        CellType type() const { return static_cast<CellType>(m_typeAndSize >> 30); }
        std::uint32_t size() const { return m_typeAndSize & kSizeMask; } // bytes of a text
        union {
            qint64 integer;
            double real;
            std::uint64_t offset; // of a text: its block in the high word, its place in the low one
        };

    private:
        friend class CDbResult;
        static constexpr std::uint32_t kSizeMask = (1u << 30) - 1;
        std::uint32_t m_typeAndSize;
    };
#pragma pack(pop)

    QStringList columns;
    int rowCount = 0;

    CDbResult() = default;
    CDbResult(CDbResult&& other) noexcept
    {
        *this = std::move(other);
    }
    CDbResult& operator=(CDbResult&& other) noexcept
    {
        if (this == &other)
            return *this;
        columns = std::move(other.columns);
        rowCount = std::exchange(other.rowCount, 0);
        m_cells = std::move(other.m_cells);
        m_cellCount = std::exchange(other.m_cellCount, 0);
        m_cellAt = std::exchange(other.m_cellAt, nullptr);
        m_cellEnd = std::exchange(other.m_cellEnd, nullptr);
        m_text = std::move(other.m_text);
        m_textBlock = std::exchange(other.m_textBlock, 0);
        m_textAt = std::exchange(other.m_textAt, nullptr);
        m_textLeft = std::exchange(other.m_textLeft, 0);
        other.m_cells.clear();
        other.m_text.clear();
        other.columns.clear();
        return *this;
    }

    void clear()
    {
        clearRows();
        columns.clear();
        m_cells.clear();
        m_text.clear();
    }

    // Empties the rows but keeps the columns and every block, which the next
    // rows fill again: a result read block after block reuses its memory.
    void clearRows()
    {
        m_cellCount = 0;
        m_cellAt = m_cellEnd = nullptr;
        m_textBlock = 0;
        m_textAt = nullptr;
        m_textLeft = 0;
        rowCount = 0;
    }

    void appendNull()
    {
        Cell& c = appendCell();
        c.m_typeAndSize = std::uint32_t(Null) << 30;
        c.integer = 0;
    }
    void appendInteger(qint64 v)
    {
        Cell& c = appendCell();
        c.m_typeAndSize = std::uint32_t(Integer) << 30;
        c.integer = v;
    }
    void appendReal(double v)
    {
        Cell& c = appendCell();
        c.m_typeAndSize = std::uint32_t(Real) << 30;
        c.real = v;
    }
    // A text of a gigabyte or more is not a cell of this program's results.
    void appendText(const char* utf8, int bytes)
    {
        const auto size = static_cast<std::uint32_t>(bytes) & Cell::kSizeMask;
        if (!m_textAt || size > m_textLeft)
            nextTextBlock(size);
        std::memcpy(m_textAt, utf8, size);
        Cell& c = appendCell();
        c.m_typeAndSize = (std::uint32_t(Text) << 30) | size;
        c.offset = (std::uint64_t(m_textBlock) << 32) | (m_text[m_textBlock].size - m_textLeft);
        m_textAt += size;
        m_textLeft -= size;
    }

    const Cell& cell(int row, int column) const
    {
        const std::size_t i =
            static_cast<std::size_t>(row) * static_cast<std::size_t>(columns.size()) + static_cast<std::size_t>(column);
        return m_cells[i / kCellBlock][i % kCellBlock];
    }
    QString text(const Cell& c) const
    {
        const char* block = m_text[static_cast<std::size_t>(c.offset >> 32)].bytes.get();
        return QString::fromUtf8(block + (c.offset & 0xffffffffu), static_cast<qsizetype>(c.size()));
    }
    // The UTF-8 bytes of a text, held by the result.
    std::string_view textBytes(const Cell& c) const
    {
        const char* block = m_text[static_cast<std::size_t>(c.offset >> 32)].bytes.get();
        return std::string_view(block + (c.offset & 0xffffffffu), c.size());
    }
    QVariant variant(const Cell& c) const
    {
        switch (c.type()) {
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
    // Small enough that a short result costs a small block.
    static constexpr std::size_t kCellBlock = 1u << 12;
    static constexpr std::size_t kTextBlock = 1u << 16;

    // Blocks go back to the kept ones when they are let go.
    struct CellBlockRelease
    {
        void operator()(Cell* cells) const noexcept;
    };
    struct TextBlockRelease
    {
        std::size_t size = 0;
        void operator()(char* bytes) const noexcept;
    };
    using CellBlock = std::unique_ptr<Cell[], CellBlockRelease>;
    struct TextBlock
    {
        std::unique_ptr<char[], TextBlockRelease> bytes;
        std::size_t size;
    };
    static CellBlock newCellBlock();
    static TextBlock newTextBlock(std::size_t size);

    // Moves on to a text block with room for `size` bytes: the next kept one,
    // or a new one put in its place.
    void nextTextBlock(std::size_t size)
    {
        if (m_textAt)
            ++m_textBlock;
        if (m_textBlock >= m_text.size() || m_text[m_textBlock].size < size)
            m_text.insert(m_text.begin() + static_cast<std::ptrdiff_t>(m_textBlock),
                          newTextBlock(std::max<std::size_t>(kTextBlock, size)));
        m_textAt = m_text[m_textBlock].bytes.get();
        m_textLeft = m_text[m_textBlock].size;
    }

    Cell& appendCell()
    {
        if (m_cellAt == m_cellEnd) {
            const std::size_t block = m_cellCount / kCellBlock;
            if (block >= m_cells.size())
                m_cells.push_back(newCellBlock());
            m_cellAt = m_cells[block].get();
            m_cellEnd = m_cellAt + kCellBlock;
        }
        ++m_cellCount;
        return *m_cellAt++;
    }

    std::vector<CellBlock> m_cells;
    std::size_t m_cellCount = 0;
    Cell* m_cellAt = nullptr; // the next free cell of the block being filled
    Cell* m_cellEnd = nullptr;
    std::vector<TextBlock> m_text;
    std::size_t m_textBlock = 0; // the block texts are being added to
    char* m_textAt = nullptr;    // its next free byte (null before the first text)
    std::size_t m_textLeft = 0;  // its bytes still free
};
