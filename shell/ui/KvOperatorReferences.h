#pragma once

#include <QString>

// Why an operator may not be deleted: the refusal of the first kind of row
// that still carries the code (sales, meters, users, prices, in that order),
// or an empty text when none does.
QString OperatorReferenceRefusal(const QString& operatorNo);
