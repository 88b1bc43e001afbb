#include "KvClock.h"

namespace {
QDateTime g_fixed;
}

QDateTime KvClock::Now()
{
    if (g_fixed.isValid())
        return g_fixed;
    const QDateTime now = QDateTime::currentDateTime();
    // Stored times carry whole seconds.
    return QDateTime(now.date(), QTime(now.time().hour(), now.time().minute(), now.time().second()));
}

void KvClock::SetFixed(const QDateTime& now)
{
    g_fixed = now;
}

void KvClock::Reset()
{
    g_fixed = QDateTime();
}
