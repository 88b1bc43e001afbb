#include "CSubReadingBatch.h"

#include "CAdoConnection.h"
#include "SysGlobals.h"

std::unique_ptr<CSubRead> CSubReadingBatch::NewReading(const CCliSub& sub, int wrtNum)
{
    auto reading = std::make_unique<CSubRead>();
    reading->SetSubNo(sub.GetSubNo());
    reading->SetCliSubIndex(sub.GetCliSubIndex());
    reading->SetWrtNum(wrtNum);
    reading->SetLastPulses(sub.GetThisPulses());
    reading->SetLastRead(sub.GetThisRead());
    return reading;
}

void CSubReadingBatch::Add(std::unique_ptr<CSubRead> reading, CCliSub& sub, CProgRead* consumed, CProgReadList* from)
{
    Entry entry;
    entry.state.m_WrtIndex = -1;
    entry.state.m_WrtNum = reading->GetWrtNum();
    entry.state.m_ThisPulses = reading->GetThisPulses();
    entry.state.m_LastPulses = reading->GetLastPulses();
    entry.state.m_ThisRead = reading->GetThisRead();
    entry.state.m_LastRead = reading->GetLastRead();
    entry.state.m_ReadDate = reading->GetReadTime();
    sub.SetWrtIndex(entry.state.m_WrtIndex);
    sub.SetWrtNum(entry.state.m_WrtNum);
    sub.SetThisPulses(entry.state.m_ThisPulses);
    sub.SetLastPulses(entry.state.m_LastPulses);
    sub.SetThisRead(entry.state.m_ThisRead);
    sub.SetLastRead(entry.state.m_LastRead);
    sub.SetReadDate(entry.state.m_ReadDate);
    entry.reading = std::move(reading);
    entry.sub = &sub;
    entry.consumed = consumed;
    entry.from = from;
    m_entries.push_back(std::move(entry));
}

CProgReadList& CSubReadingBatch::NewProgReadList()
{
    m_progLists.push_back(std::make_unique<CProgReadList>());
    return *m_progLists.back();
}

void CSubReadingBatch::Commit(CSubReadList& readings)
{
    {
        CAdoTransaction transaction(*GetMainDatabase());
        for (Entry& entry : m_entries) {
            entry.reading->SetState(CKvPersistance::StateNew);
            entry.reading->Save();
            entry.sub->UpdateReading(entry.state);
            if (entry.consumed)
                entry.from->Remove(entry.consumed);
            entry.consumed = nullptr;
        }
        transaction.Commit();
    }
    for (Entry& entry : m_entries)
        readings.AppendRecord(entry.reading.release());
    m_entries.clear();
}
