#include "CSubReadCondition.h"

#include "KvClock.h"

CSubReadCondition::CSubReadCondition() : m_periodFrom(KvClock::Now()), m_periodTo(m_periodFrom) {}

CSubReadCondition::~CSubReadCondition() = default;
