#include "KvNumberField.h"

#include <QLocale>
#include <cmath>

QString KvShortNumberText(double value)
{
    return QString::number(value, 'f', QLocale::FloatingPointShortest);
}

QString KvNumberField::Refusal() const
{
    const QString low = KvShortNumberText(min);
    const QString high = KvShortNumberText(max);
    const QString range =
        aboveMin ? QStringLiteral("大于%1且不超过%2").arg(low, high) : QStringLiteral("%1到%2之间").arg(low, high);
    if (decimals <= 0)
        return QStringLiteral("%1应为%2的整数！").arg(name, range);
    return QStringLiteral("%1应为%2的数，最多%3位小数！").arg(name, range).arg(decimals);
}

bool KvReadNumber(const QString& text, const KvNumberField& field, double* value)
{
    const QString t = text.trimmed();
    int i = (t.startsWith(u'-') || t.startsWith(u'+')) ? 1 : 0;
    int digits = 0;
    int point = -1;
    for (; i < t.size(); ++i) {
        const QChar c = t[i];
        if (c >= u'0' && c <= u'9')
            ++digits;
        else if (c == u'.' && point < 0)
            point = i;
        else
            return false;
    }
    if (digits == 0)
        return false;
    if (point >= 0 && t.size() - point - 1 > qMax(0, field.decimals))
        return false;
    bool ok = false;
    const double v = QLocale::c().toDouble(t, &ok);
    if (!ok || !std::isfinite(v))
        return false;
    if (v > field.max || v < field.min || (field.aboveMin && v <= field.min))
        return false;
    *value = v;
    return true;
}

bool KvReadNumber(const QString& text, const KvNumberField& field, int* value)
{
    KvNumberField whole = field;
    whole.decimals = 0;
    double v = 0;
    if (!KvReadNumber(text, whole, &v))
        return false;
    *value = static_cast<int>(v);
    return true;
}
