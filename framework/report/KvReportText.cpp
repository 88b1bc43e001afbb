#include "KvReportText.h"

#include <QByteArray>
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
