#pragma once

#include <QPrinter>
#include <QRect>
#include <QString>
#include <memory>

// What one printing run knows: the printer (made by the job's preparation and
// living as long as the run), the page range and the page being printed.
struct CPrintInfo
{
    enum : int
    {
        NoPageLimit = 0xFFFF // a maximum page a job never set
    };

    std::unique_ptr<QPrinter> m_printer;
    // The PDF file the run writes when the machine has no printer, else empty.
    QString m_outputFile;
    bool m_bDirect = false;
    bool m_bPreview = false;
    bool m_bContinuePrinting = true;
    int m_nCurPage = 1;
    int m_nNumPreviewPages = 1;
    QRect m_rectDraw;

    int GetMinPage() const { return m_minPage; }
    int GetMaxPage() const { return m_maxPage; }
    void SetMinPage(int page) { m_minPage = page; }
    void SetMaxPage(int page) { m_maxPage = page; }
    int GetFromPage() const { return m_fromPage; }
    int GetToPage() const { return m_toPage; }
    void SetFromPage(int page) { m_fromPage = page; }
    void SetToPage(int page) { m_toPage = page; }

private:
    int m_minPage = 1;
    int m_maxPage = NoPageLimit;
    int m_fromPage = 1;
    int m_toPage = NoPageLimit;
};
