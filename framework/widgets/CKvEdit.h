#pragma once

#include <QLineEdit>

// The edit box of one-line fields, bound by dialogs to their members. A
// pasted or dropped control character (a NUL, a line feed, a tab, ...) is left
// out, so the field keeps one line as shown (CKvOneLineValidator). A dialog
// that sets a validator of its own takes over that check; the digit-only ones
// refuse those characters anyway.
class CKvEdit : public QLineEdit
{
    Q_OBJECT

public:
    explicit CKvEdit(QWidget* parent = nullptr);
};
