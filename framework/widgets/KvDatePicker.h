#pragma once

#include <QString>

class QDateTimeEdit;

// Makes a date box a calendar picker that shows its dates in `format` and is
// never narrower than such a date beside its drop-down arrow (again after a
// change of its font or style).
void KvMakeDatePicker(QDateTimeEdit* box, const QString& format = QStringLiteral("yyyy-MM-dd"));

// The width a date box needs to show the widest date of its format beside its
// button (the drop-down arrow of a calendar picker, else the spin buttons).
int KvDateBoxWidth(const QDateTimeEdit& box);
