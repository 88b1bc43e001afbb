#include "KvPrintFont.h"

#include <QStringList>

namespace {

// The CJK faces with half-width Latin that stand for a layout's Chinese face,
// the first installed one taken (fonts-wqy-microhei is part of the set-up).
const QStringList& CjkPrintFaces()
{
    static const QStringList faces{QStringLiteral("WenQuanYi Micro Hei"), QStringLiteral("Noto Sans CJK SC"),
                                   QStringLiteral("Noto Serif CJK SC")};
    return faces;
}

bool IsShippedChineseFace(const QString& face)
{
    return face == QStringLiteral("宋体");
}

} // namespace

QFont KvPrintFont(const QString& face)
{
    QFont font;
    if (IsShippedChineseFace(face))
        font.setFamilies(CjkPrintFaces() + QStringList{face});
    else if (!face.isEmpty())
        font.setFamily(face);
    return font;
}
