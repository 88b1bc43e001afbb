#pragma once

#include <QString>

// Numbers read from the texts of a report the way the C library reads them:
// leading blanks, an optional sign, then as many digits as there are; a text
// that does not begin with a number gives 0. The locale plays no part.
int KvAtoi(const QString& text);
double KvAtof(const QString& text);
