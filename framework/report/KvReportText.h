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

// A stored date as a report shows it, "yyyy-MM-dd" or with `withTime`
// "yyyy-MM-dd HH:mm:ss". The canonical stored form is taken as it stands
// (parsing every row of a large report costs more than the rest of its cell,
// and a local time costs the C library a look at the time zone file); any
// other form is read and written anew. A text that is no date throws the
// conversion error.
QString KvReportDateText(const QString& text, bool withTime);
