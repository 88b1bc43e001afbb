#pragma once

#include "CCliSub.h"
#include "CProgRead.h"
#include "CSubRead.h"

#include <memory>
#include <vector>

// One batch of sub-meter readings taken at a sale, held in memory while the
// operator answers the reading and subsidy dialogs, and written in one
// transaction after the last of them: the reading rows (keys drawn then), the
// sub-meters' new reading state and the deletes of the programmer readings
// consumed. No transaction stays open while a dialog waits. Abandoning the
// batch (destroying it uncommitted) writes nothing.
//
// The sub-meter records take each accepted reading at once in memory, so that
// a later reading of the same sub-meter in the batch (a second programmer
// reading, a deferred manual entry) starts from it.
class CSubReadingBatch
{
public:
    CSubReadingBatch() = default;
    CSubReadingBatch(const CSubReadingBatch&) = delete;
    CSubReadingBatch& operator=(const CSubReadingBatch&) = delete;

    // A new reading row of the sub-meter for the write number, its previous
    // side (pulses and reading) from the sub-meter's present state.
    static std::unique_ptr<CSubRead> NewReading(const CCliSub& sub, int wrtNum);

    // Keeps an accepted reading and moves the sub-meter's state in memory to
    // it. `consumed` is the programmer reading it came from, a member of
    // `from` (a list made by NewProgReadList), or null.
    void Add(std::unique_ptr<CSubRead> reading, CCliSub& sub, CProgRead* consumed = nullptr,
             CProgReadList* from = nullptr);

    // A list of programmer readings that lives as long as the batch.
    CProgReadList& NewProgReadList();

    int GetCount() const { return static_cast<int>(m_entries.size()); }

    // Writes the batch in one transaction and hands the reading records to
    // `readings`. A failure rolls everything back and is passed on; the
    // records then stay in the batch.
    void Commit(CSubReadList& readings);

private:
    struct Entry
    {
        std::unique_ptr<CSubRead> reading;
        CCliSub* sub = nullptr;
        SubReading state;
        CProgRead* consumed = nullptr;
        CProgReadList* from = nullptr;
    };
    std::vector<Entry> m_entries;
    std::vector<std::unique_ptr<CProgReadList>> m_progLists;
};
