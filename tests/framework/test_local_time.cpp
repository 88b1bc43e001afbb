#include "KvLocalTime.h"
#include "KvSql.h"
#include "KvTestSupport.h"
#include "KvUtil.h"

#include <ctime>
#include <gtest/gtest.h>

namespace {

// Puts this process in another time zone for the scope's lifetime.
class CZoneScope
{
public:
    explicit CZoneScope(const char* zone) : m_had(qEnvironmentVariableIsSet("TZ")), m_old(qgetenv("TZ"))
    {
        qputenv("TZ", zone);
        tzset();
    }
    ~CZoneScope()
    {
        if (m_had)
            qputenv("TZ", m_old);
        else
            qunsetenv("TZ");
        tzset();
    }

private:
    bool m_had;
    QByteArray m_old;
};

// The same value in every way the program looks at one. In the hour that
// comes twice when summer time ends, Qt's own answer depends on the C
// library's previous conversion: there only the two readings of the hour are
// checked.
void ExpectSameValue(const QDateTime& got, const QDateTime& want, const QString& what, bool twice = false)
{
    ASSERT_EQ(got.isValid(), want.isValid()) << what.toStdString();
    EXPECT_EQ(got.timeSpec(), want.timeSpec()) << what.toStdString();
    EXPECT_EQ(KvDateText(got), KvDateText(want)) << what.toStdString();
    EXPECT_EQ(got.date(), want.date()) << what.toStdString();
    EXPECT_EQ(got.time(), want.time()) << what.toStdString();
    if (!want.isValid())
        return;
    if (twice) {
        EXPECT_TRUE(got.offsetFromUtc() == 3600 || got.offsetFromUtc() == 7200) << what.toStdString();
        return;
    }
    EXPECT_EQ(got.toMSecsSinceEpoch(), want.toMSecsSinceEpoch()) << what.toStdString();
    EXPECT_EQ(got.offsetFromUtc(), want.offsetFromUtc()) << what.toStdString();
    EXPECT_TRUE(got == want) << what.toStdString();
}

// Days and times around both changes of summer time in 2024 (Europe/Berlin:
// 02:00 → 03:00 on 31 March, 03:00 → 02:00 on 27 October), and far days.
struct TextCase
{
    const char* text;
    bool twice; // in the hour that comes twice
};
const TextCase kTexts[] = {
    {"2024-03-30", false},          {"2024-03-31", false},          {"2024-03-31 01:59:59", false},
    {"2024-03-31 02:30:00", false}, {"2024-03-31 03:00:00", false}, {"2024-04-01", false},
    {"2024-10-26 02:30:00", false}, {"2024-10-27", false},          {"2024-10-27 02:30:00", true},
    {"2024-10-27 03:00:00", false}, {"2024-10-28", false},          {"2050-12-31", false},
    {"2060-07-01 12:00:00", false}, {"1999-12-31", false},          {"2000-01-01 00:00:01", false},
};

QDateTime QtValue(const QString& text)
{
    const QDate d = QDate::fromString(text.left(10), QStringLiteral("yyyy-MM-dd"));
    const QTime t = text.size() > 10 ? QTime::fromString(text.mid(11), QStringLiteral("HH:mm:ss")) : QTime(0, 0);
    return QDateTime(d, t);
}

} // namespace

// Dates read from rows, and days added to them, are the values Qt makes
// itself, the first time and again from the table.
TEST(LocalDateTime, ReadsAndAddsAsQtAcrossSummerTimeChanges)
{
    CZoneScope zone("Europe/Berlin");
    ASSERT_FALSE(QtValue("2024-03-31 02:30:00").isValid()) << "the zone has no summer time here";
    for (int pass = 0; pass < 2; ++pass) {
        for (const TextCase& c : kTexts) {
            const QString text = QString::fromLatin1(c.text);
            const QDateTime want = QtValue(text);
            ExpectSameValue(KvParseDateText(text), want, text, c.twice);
            ExpectSameValue(KvLocalDateTime(want.date(), want.time()), want, text, c.twice);
            if (!want.isValid())
                continue;
            for (int days : {-1, 1, 7, -365, 365}) {
                const QDateTime moved = want.addDays(days);
                const bool twice = moved.date() == QDate(2024, 10, 27) && moved.time().hour() == 2;
                ExpectSameValue(AddDays(want, days), moved, text + QStringLiteral(" %1").arg(days), twice);
            }
        }
    }
    // A day added into the skipped hour moves past it, as Qt moves it.
    const QDateTime before = QtValue("2024-03-30 02:30:00");
    ExpectSameValue(AddDays(before, 1), before.addDays(1), QStringLiteral("into the gap"));
    EXPECT_EQ(KvDateText(AddDays(before, 1)), KvDateText(before.addDays(1)));
}

// A value made in one zone is not given back in another: a time Berlin skips
// exists in Shanghai, and Shanghai has no summer time.
TEST(LocalDateTime, FollowsAChangeOfZone)
{
    const QString summer = QStringLiteral("2024-07-01 12:00:00");
    const QString skipped = QStringLiteral("2024-03-31 02:30:00");
    qint64 berlin = 0;
    {
        CZoneScope zone("Europe/Berlin");
        berlin = KvParseDateText(summer).toMSecsSinceEpoch();
        EXPECT_EQ(berlin, QtValue(summer).toMSecsSinceEpoch());
        EXPECT_TRUE(KvParseDateText(summer).isDaylightTime());
        EXPECT_FALSE(KvParseDateText(skipped).isValid());
    }
    {
        CZoneScope zone("Asia/Shanghai");
        const QDateTime shanghai = KvParseDateText(summer);
        ExpectSameValue(shanghai, QtValue(summer), summer);
        EXPECT_FALSE(shanghai.isDaylightTime());
        EXPECT_EQ(berlin - shanghai.toMSecsSinceEpoch(), 6 * 3600 * 1000LL);
        ExpectSameValue(AddDays(shanghai, 1), QtValue(summer).addDays(1), summer);
        ExpectSameValue(KvParseDateText(skipped), QtValue(skipped), skipped);
        EXPECT_TRUE(KvParseDateText(skipped).isValid());
    }
}
