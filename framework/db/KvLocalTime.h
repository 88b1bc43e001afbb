#pragma once

#include <QDateTime>

// QDateTime(date, time) in local time, as Qt makes it, from a small per-thread
// table of the values made before. Qt asks the C library for the zone's offset
// at every such construction, and the C library looks at the zone file each
// time; the dates of a month's rows are few, so after the first of each they
// cost a table lookup. The table is dropped when TZ changes. Every value is
// the very one QDateTime(date, time) gives: an invalid one (a local time that
// a change to summer time skips) stays invalid.
QDateTime KvLocalDateTime(const QDate& date, const QTime& time);
