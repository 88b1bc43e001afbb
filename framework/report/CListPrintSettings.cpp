#include "CListPrintSettings.h"

int CListPrintSettings::PrinterPaperMode() const
{
    switch (m_paperIndex) {
    case 0:
        return 1;
    case 1:
        return 2;
    case 2:
        return 3;
    case 3:
        return 4;
    case 4:
        return 5;
    default:
        return 1;
    }
}
