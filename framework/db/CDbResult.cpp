#include "CDbResult.h"

#include <mutex>

namespace {

// The blocks of results that have ended, for the next results to fill. A
// block the system has just mapped costs a page fault and a cleared page for
// every 4 KB of it; on a busy machine that is dearer than reading the rows
// themselves. Up to kKeptBytes are kept (a result of about 100,000 rows of a
// few columns), the rest is freed. Results end and start on any thread (a
// forward read fills blocks on one thread and uses them on another).
class CKeptBlocks
{
public:
    enum Kind
    {
        Cells,
        Texts
    };

    static CKeptBlocks& Instance()
    {
        // Never destroyed: a static result may end after every other static.
        static CKeptBlocks* kept = new CKeptBlocks;
        return *kept;
    }

    // A kept block of the kind, or null.
    void* Take(Kind kind)
    {
        std::lock_guard lock(m_mutex);
        std::vector<void*>& blocks = m_blocks[kind];
        if (blocks.empty())
            return nullptr;
        void* block = blocks.back();
        blocks.pop_back();
        m_bytes -= kBytes[kind];
        return block;
    }
    // False when the block is not kept: the caller frees it.
    bool Keep(Kind kind, void* block)
    {
        std::lock_guard lock(m_mutex);
        if (m_bytes + kBytes[kind] > kKeptBytes)
            return false;
        m_blocks[kind].push_back(block); // within the capacity reserved: never throws
        m_bytes += kBytes[kind];
        return true;
    }

    static constexpr std::size_t kKeptBytes = std::size_t(16) << 20;
    static constexpr std::size_t kBytes[2] = {sizeof(CDbResult::Cell) * (1u << 12), 1u << 16};

private:
    CKeptBlocks()
    {
        for (int kind : {Cells, Texts})
            m_blocks[kind].reserve(kKeptBytes / kBytes[kind]);
    }

    std::mutex m_mutex;
    std::vector<void*> m_blocks[2];
    std::size_t m_bytes = 0;
};

} // namespace

CDbResult::CellBlock CDbResult::newCellBlock()
{
    static_assert(CKeptBlocks::kBytes[CKeptBlocks::Cells] == sizeof(Cell) * kCellBlock);
    if (void* block = CKeptBlocks::Instance().Take(CKeptBlocks::Cells))
        return CellBlock(static_cast<Cell*>(block));
    return CellBlock(new Cell[kCellBlock]);
}

void CDbResult::CellBlockRelease::operator()(Cell* cells) const noexcept
{
    if (!CKeptBlocks::Instance().Keep(CKeptBlocks::Cells, cells))
        delete[] cells;
}

CDbResult::TextBlock CDbResult::newTextBlock(std::size_t size)
{
    static_assert(CKeptBlocks::kBytes[CKeptBlocks::Texts] == kTextBlock);
    char* bytes = size == kTextBlock ? static_cast<char*>(CKeptBlocks::Instance().Take(CKeptBlocks::Texts)) : nullptr;
    if (!bytes)
        bytes = new char[size];
    return TextBlock{std::unique_ptr<char[], TextBlockRelease>(bytes, TextBlockRelease{size}), size};
}

void CDbResult::TextBlockRelease::operator()(char* bytes) const noexcept
{
    // A block made for one long text is not of the kept size.
    if (size != kTextBlock || !CKeptBlocks::Instance().Keep(CKeptBlocks::Texts, bytes))
        delete[] bytes;
}
