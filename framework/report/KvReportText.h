#pragma once

#include <QString>

// Numbers read from the texts of a report the way the C library reads them:
// leading blanks, an optional sign, then as many digits as there are; a text
// that does not begin with a number gives 0. The locale plays no part.
int KvAtoi(const QString& text);
double KvAtof(const QString& text);

// A number as a report shows it: rounded to `decimals` places, with a '.'
// whatever the locale, and never a "-0.00": a value that rounds to zero is
// shown without a sign (a sum of 10.10, 20.20 and -30.30 is a few units of
// the last binary place below zero).
QString KvFixedText(double value, int decimals);
