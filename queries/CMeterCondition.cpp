#include "CMeterCondition.h"

#include "KvClock.h"

CMeterCondition::CMeterCondition() : m_installDate(KvClock::Now()) {}

CMeterCondition::~CMeterCondition() = default;
