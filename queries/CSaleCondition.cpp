#include "CSaleCondition.h"

#include "KvClock.h"

CSaleCondition::CSaleCondition()
    : m_periodFrom(KvClock::Now()), m_periodTo(m_periodFrom), m_buyFrom(QStringLiteral("0")),
      m_buyTo(QStringLiteral("0"))
{
}

CSaleCondition::~CSaleCondition() = default;
