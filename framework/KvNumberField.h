#pragma once

#include <QString>

// One kind of number field, as the operator sees it: its name and what it
// accepts. Every dialog reads its number fields through KvReadNumber, so a
// field either keeps exactly the value typed or is refused with a message that
// names it and its range, before anything is written.
struct KvNumberField
{
    QString name;          // the field's label, e.g. "限电值"
    double min = 0;        // the lowest value accepted (see aboveMin)
    double max = 0;        // the highest value accepted
    int decimals = 0;      // digits allowed after the point; 0 takes whole numbers only
    bool aboveMin = false; // the value must be greater than min (a price is more than 0)

    // "限电值应为0到999之间的整数！", "单价应为大于0且不超过99999的数，最多4位小数！"
    QString Refusal() const;
};

// Reads the whole text (blanks around it aside) as a number of the field: a
// sign, digits, at most one point with at most `decimals` digits after it.
// Anything else (empty, letters, an exponent, grouping, more decimals, a value
// out of range) gives false and leaves *value untouched.
bool KvReadNumber(const QString& text, const KvNumberField& field, double* value);
// The same for a whole-number field, the value as an int (the field's range
// must lie within int's).
bool KvReadNumber(const QString& text, const KvNumberField& field, int* value);

// A number as the messages show it: the shortest text, no exponent.
QString KvShortNumberText(double value);
