#pragma once

#include <QString>

class QLineEdit;

// How the master-data dialogs take numbers from their edits.

// An edit that takes only digits 0-9. Unlike a validator it judges the typed
// characters alone, not the whole text: a value shown with a decimal point
// ("30.0") can still be edited by deleting characters. A paste (keys, menu,
// middle click) or input-method text holding anything else is refused whole,
// with a message naming the field; drops are not taken.
void KvAcceptDigitsOnly(QLineEdit* edit, const QString& fieldName);

// The leading integer of a text, as atoi reads it ("12a" is 12, "0.5" is 0,
// "abc" is 0).
int KvLeadingInteger(const QString& text);
