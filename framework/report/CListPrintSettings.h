#pragma once

#include <QList>
#include <QString>

// What the result list needs to print a table: titles, paper, margins and the
// width of every column. Lengths in 0.1 mm.
class CListPrintSettings
{
public:
    CListPrintSettings() = default;
    virtual ~CListPrintSettings() = default;

    QString m_title;           // printed large
    QString m_subTitle;        // the query condition, under the title
    int m_paperIndex = 0;      // 0 A4, 1 A3, 2 custom, 3 A4 landscape, 4 A3 landscape
    int m_continuousPaper = 0; // kept from the layout, not used for printing
    int m_paperWidth = 0;
    int m_paperLength = 0;
    int m_topMargin = 0;
    int m_bottomMargin = 0;
    int m_leftMargin = 0;
    int m_rightMargin = 0;
    QList<int> m_colWidths;
    int m_reserved = 0; // the report output stores 2; nobody reads it

    // The mode of SetPrinterPaper for the paper index: 1 A4, 2 A3, 3 custom,
    // 4 A4 landscape, 5 A3 landscape; an unknown index prints on A4.
    int PrinterPaperMode() const;
};
