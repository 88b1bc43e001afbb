#pragma once

#include <QString>

class QDateTimeEdit;

// Makes a date box a calendar picker that shows its dates in `format`, is
// never narrower than such a date beside its drop-down arrow (again after a
// change of its font or style) and is left by Tab (KvTabLeavesDateBox).
void KvMakeDatePicker(QDateTimeEdit* box, const QString& format = QStringLiteral("yyyy-MM-dd"));

// Tab and Shift+Tab in the date box go to the next and previous control
// instead of through the date's parts; the arrow keys and typing move between
// the parts. Every date box of the program gets this, through KvMakeDatePicker
// or on its own.
void KvTabLeavesDateBox(QDateTimeEdit* box);

// The width a date box needs to show the widest date of its format beside its
// button (the drop-down arrow of a calendar picker, else the spin buttons).
int KvDateBoxWidth(const QDateTimeEdit& box);
