#include "CQuotaCondition.h"

#include "KvClock.h"

CQuotaCondition::CQuotaCondition() : m_from(KvClock::Now()), m_to(m_from) {}

CQuotaCondition::~CQuotaCondition() = default;

int QuotaPaperMode(int paperIndex)
{
    switch (paperIndex) {
    case 1:
        return 1;
    case 2:
        return 3;
    case 3:
        return 4;
    default:
        return 0;
    }
}
