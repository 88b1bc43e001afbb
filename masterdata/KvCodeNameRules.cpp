#include "KvCodeNameRules.h"

#include "KvUtil.h"

QString KvCodeRefusal(const QString& code, const KvCodeRule& rule)
{
    if (code.isEmpty())
        return rule.emptyText;
    const int bytes = GbkByteLength(code);
    if (rule.exactBytes > 0 ? bytes != rule.exactBytes : bytes > rule.maxBytes)
        return rule.lengthText;
    if (code == QLatin1String("00"))
        return rule.reservedText;
    return QString();
}

QString KvNameRefusal(const QString& name, const QString& emptyText, const QString& tooLongText)
{
    if (name.isEmpty())
        return emptyText;
    if (GbkByteLength(name) > 20)
        return tooLongText;
    return QString();
}
