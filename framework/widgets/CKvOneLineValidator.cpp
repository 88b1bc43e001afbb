#include "CKvOneLineValidator.h"

#include <QLineEdit>

QString CKvOneLineValidator::OneLine(const QString& text, bool composed)
{
    QString kept;
    kept.reserve(text.size());
    for (QChar c : text)
        if (c.category() != QChar::Other_Control)
            kept += c;
    return composed ? kept.normalized(QString::NormalizationForm_C) : kept;
}

QValidator::State CKvOneLineValidator::validate(QString& input, int& pos) const
{
    // A password is kept as typed: the login compares it character for character.
    const auto* edit = qobject_cast<const QLineEdit*>(parent());
    const bool composed = !edit || edit->echoMode() == QLineEdit::Normal;
    const QString kept = OneLine(input, composed);
    if (kept != input) {
        // The caret stays after what was before it.
        pos = qMin(OneLine(input.left(pos), composed).size(), kept.size());
        input = kept;
    }
    return Acceptable;
}
