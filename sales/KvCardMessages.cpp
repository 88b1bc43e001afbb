#include "KvCardMessages.h"

namespace {

QString Padded(const QStringList& fields, int index, int width)
{
    return fields.value(index).rightJustified(width, u'0');
}

} // namespace

QString KvCardDataMessage(const QString& head, const QStringList& fields, const QString& tabs)
{
    return head + tabs +
           QStringLiteral("\n\n表计卡号：%1\n\n写卡次数：%2\n\n充值数据：%3\n\n累计用量：%4\n\n累计购量：%5\n\n"
                          "累计剩余：%6\n\n限电值：%7A")
               .arg(Padded(fields, 2, 8), Padded(fields, 3, 3), Padded(fields, 4, 4), Padded(fields, 5, 6),
                    Padded(fields, 6, 6), Padded(fields, 7, 6), fields.value(8));
}

QString KvCardDataHead(const QString& code)
{
    static const struct
    {
        const char* code;
        const char* head;
    } heads[] = {
        {"01", "该卡为未用开户卡！"},
        {"02", "该卡为已用开户卡！"},
        {"03", "该卡为未用充值卡！"},
        {"04", "该卡为已用充值卡！"},
        {"05", "该卡为未用补卡！"},
        {"06", "该卡为已用补卡！"},
        {"07", "该卡为取消授权卡！"},
        {"13", "该卡为带退费标记的已用充值卡！"},
        {"14", "该卡为带退费标记的未用充值卡！"},
    };
    for (const auto& entry : heads)
        if (code == QLatin1String(entry.code))
            return QString::fromUtf8(entry.head);
    return QString();
}

QString KvInfraredCardMessage(const QStringList& fields, KvCardTabs tabs)
{
    const QString code = fields.value(1);
    const QString head = KvCardDataHead(code);
    if (!head.isEmpty()) {
        const bool refundMarked = code == QLatin1String("13") || code == QLatin1String("14");
        const int count = tabs == KvCardTabs::CardDialog && !refundMarked ? 3 : 1;
        return KvCardDataMessage(head, fields, QString(count, u'\t'));
    }
    if (code == QLatin1String("00"))
        return QStringLiteral("该卡为空白卡！");
    if (code == QLatin1String("08"))
        return QStringLiteral("该卡为设置卡！");
    if (code == QLatin1String("09"))
        return QStringLiteral("该卡为未知卡！");
    if (code == QLatin1String("10"))
        return QStringLiteral("该卡为应急卡！\n\n电量为：%1").arg(fields.value(4));
    if (code == QLatin1String("11"))
        return QStringLiteral("该卡为退费卡！");
    if (code == QLatin1String("12"))
        return QStringLiteral("该卡为清表卡！");
    if (code == QLatin1String("17"))
        return QStringLiteral("该卡为超级取消授权卡！");
    return QString();
}
