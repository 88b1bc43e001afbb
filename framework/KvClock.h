#pragma once

#include <QDateTime>

// The one source of "now" for the whole program. Tests fix it; the program
// reads the local clock through it (GetServerTime builds on it).
namespace KvClock {
QDateTime Now();
void SetFixed(const QDateTime& now); // an invalid value returns to the real clock
void Reset();
} // namespace KvClock
