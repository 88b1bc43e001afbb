#pragma once

#include <QValidator>

// The check of every one-line text field (CKvEdit, the text editor of list
// cells): control characters (U+0000 to U+001F, U+007F to U+009F: a NUL, a
// line feed, a tab, ...) are taken out of what is typed, pasted or dropped,
// since they would split or cut the line where it is stored or handed on; and
// the text is kept in composed form (NFC), so that an accented letter pasted
// as letter + accent is the same text as the one typed (a password field's
// text is left uncomposed).
class CKvOneLineValidator : public QValidator
{
    Q_OBJECT

public:
    using QValidator::QValidator;

    State validate(QString& input, int& pos) const override;

    // The text as the field keeps it, composed or not.
    static QString OneLine(const QString& text, bool composed = true);
};
