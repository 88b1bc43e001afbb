#include "KvLocalTime.h"

#include <QHash>
#include <cstdlib>
#include <string>

namespace {

// Enough for the distinct days and times one statement's rows bring; a table
// that fills up starts again rather than grow with every timestamp of a scan.
constexpr int kMaxEntries = 4096;

struct LocalTable
{
    bool haveZone = false;
    bool zoneSet = false;
    std::string zone;
    QHash<qint64, QDateTime> values;

    // Drops what was made under another TZ value.
    void followZone()
    {
        const char* tz = std::getenv("TZ");
        const bool set = tz != nullptr;
        if (haveZone && set == zoneSet && (!set || zone == tz))
            return;
        values.clear();
        haveZone = true;
        zoneSet = set;
        zone = set ? tz : "";
    }
};

} // namespace

QDateTime KvLocalDateTime(const QDate& date, const QTime& time)
{
    if (!date.isValid() || !time.isValid())
        return QDateTime(date, time);
    thread_local LocalTable table;
    table.followZone();
    const qint64 key = date.toJulianDay() * 86400000LL + time.msecsSinceStartOfDay();
    auto it = table.values.constFind(key);
    if (it != table.values.constEnd())
        return *it;
    if (table.values.size() >= kMaxEntries)
        table.values.clear();
    const QDateTime made(date, time);
    table.values.insert(key, made);
    return made;
}
