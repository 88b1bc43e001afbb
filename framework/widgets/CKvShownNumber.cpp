#include "CKvShownNumber.h"

#include "CNumEdit.h"

QString CKvShownNumber::Show(double stored, int decimals)
{
    m_shown = true;
    m_stored = stored;
    m_text = QString::number(stored, 'f', decimals);
    return m_text;
}

double CKvShownNumber::ValueOf(const QString& text) const
{
    if (m_shown && text.trimmed() == m_text)
        return m_stored;
    return CNumEdit::TextToDouble(text);
}
