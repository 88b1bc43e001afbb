#include "KvReportText.h"

#include "CKvException.h"
#include "KvSql.h"

#include <QByteArray>
#include <QDateTime>
#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <locale.h>

namespace {

// The C locale, once: strtod of the C library follows the process locale.
locale_t CLocale()
{
    static const locale_t locale = newlocale(LC_ALL_MASK, "C", static_cast<locale_t>(nullptr));
    return locale;
}

} // namespace

int KvAtoi(const QString& text)
{
    const QByteArray bytes = text.toLatin1();
    const long long value = std::strtoll(bytes.constData(), nullptr, 10);
    // atoi's range: beyond it the nearest end, not a wrapped value.
    if (value > INT_MAX)
        return INT_MAX;
    if (value < INT_MIN)
        return INT_MIN;
    return static_cast<int>(value);
}

double KvAtof(const QString& text)
{
    const QByteArray bytes = text.toLatin1();
    return strtod_l(bytes.constData(), nullptr, CLocale());
}

QString KvFixedText(double value, int decimals)
{
    QString text = QString::number(value, 'f', decimals);
    if (text.startsWith(u'-') &&
        std::all_of(text.cbegin() + 1, text.cend(), [](QChar c) { return c == u'0' || c == u'.'; }))
        text.remove(0, 1);
    return text;
}

QString KvReportDateText(const QString& text, bool withTime)
{
    auto digits = [&](int from, int count) {
        int number = 0;
        for (int i = from; i < from + count; ++i) {
            const QChar c = text.at(i);
            if (c < u'0' || c > u'9')
                return -1;
            number = number * 10 + (c.unicode() - u'0');
        }
        return number;
    };
    const bool canonicalDay = (text.size() == 10 || text.size() == 19) && text.at(4) == u'-' && text.at(7) == u'-' &&
                              QDate::isValid(digits(0, 4), digits(5, 2), digits(8, 2));
    const bool canonicalTime = text.size() == 19 && text.at(10) == u' ' && text.at(13) == u':' && text.at(16) == u':' &&
                               QTime::isValid(digits(11, 2), digits(14, 2), digits(17, 2));
    if (canonicalDay && text.size() == 10)
        return withTime ? text + QStringLiteral(" 00:00:00") : text;
    if (canonicalDay && canonicalTime)
        return withTime ? text : text.left(10);
    const QDateTime dt = KvParseDateText(text);
    if (!dt.isValid())
        throw CKvException(QStringLiteral("类型不匹配: %1").arg(text));
    return dt.toString(withTime ? QStringLiteral("yyyy-MM-dd HH:mm:ss") : QStringLiteral("yyyy-MM-dd"));
}
