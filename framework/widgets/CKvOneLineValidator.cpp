#include "CKvOneLineValidator.h"

QString CKvOneLineValidator::OneLine(const QString& text)
{
    QString kept;
    kept.reserve(text.size());
    for (QChar c : text)
        if (c.category() != QChar::Other_Control)
            kept += c;
    return kept.normalized(QString::NormalizationForm_C);
}

QValidator::State CKvOneLineValidator::validate(QString& input, int& pos) const
{
    const QString kept = OneLine(input);
    if (kept != input) {
        // The caret stays after what was before it.
        pos = qMin(OneLine(input.left(pos)).size(), kept.size());
        input = kept;
    }
    return Acceptable;
}
