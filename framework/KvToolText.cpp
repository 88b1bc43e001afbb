#include "KvToolText.h"

#include "KvGbk.h"

namespace {

QString controlName(QChar c)
{
    switch (c.unicode()) {
    case '\n':
        return QStringLiteral("换行符");
    case '\r':
        return QStringLiteral("回车符");
    case '\t':
        return QStringLiteral("制表符");
    default:
        return QStringLiteral("控制字符");
    }
}

QString refusal(const QString& fieldName, const QString& what)
{
    return QStringLiteral("%1含有无法使用的%2，只能输入汉字、字母、数字和常用符号！").arg(fieldName, what);
}

} // namespace

QString ToolTextRefusal(const QString& fieldName, const QString& text)
{
    for (QChar c : text) {
        if (c.category() == QChar::Other_Control)
            return refusal(fieldName, controlName(c));
    }
    if (GbkCanHold(text))
        return QString();
    const QString unheld = GbkFirstUnheld(text);
    return refusal(fieldName, QStringLiteral("字符") + GbkCharacterName(unheld));
}
