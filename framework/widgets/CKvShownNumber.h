#pragma once

#include <QString>

// A stored number as a dialog's field shows it. A field may show fewer
// decimals than the value has (a loss of 0.125 as "0.13", a tier price of
// 0.523456 as "0.5235"). While the operator leaves the field's text as it was
// shown, saving takes the stored value back instead of reading the rounded
// text, so that opening a record and saving it never changes a number the
// operator did not touch. A text that was changed is read as typed.
class CKvShownNumber
{
public:
    CKvShownNumber() = default;

    // Remembers `stored` and gives its text with `decimals` places.
    QString Show(double stored, int decimals);
    // Forgets the stored value: the field's text is read as typed from now on.
    void Forget() { m_shown = false; }

    // The value to save for the field's text: the stored one while the text
    // (blanks around it aside) is the one shown, else the text read as atof
    // reads it.
    double ValueOf(const QString& text) const;

private:
    bool m_shown = false;
    double m_stored = 0;
    QString m_text;
};
