#pragma once

#include "CAdoRecordset.h"

#include <utility>

// Gives a pooled recordset back on every way out unless it was handed over.
class CRecordsetHold
{
public:
    explicit CRecordsetHold(CAdoRecordset* rs) : m_rs(rs) {}
    ~CRecordsetHold()
    {
        if (m_rs)
            m_rs->Release();
    }
    CRecordsetHold(const CRecordsetHold&) = delete;
    CRecordsetHold& operator=(const CRecordsetHold&) = delete;

    CAdoRecordset* Get() const { return m_rs; }
    CAdoRecordset* operator->() const { return m_rs; }
    CAdoRecordset* HandOver() { return std::exchange(m_rs, nullptr); }

private:
    CAdoRecordset* m_rs;
};
