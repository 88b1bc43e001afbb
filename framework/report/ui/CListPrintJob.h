#pragma once

#include "CPrintJob.h"

#include <QPoint>
#include <QSize>

class CQueryResultDlg;

// Prints the table of a result list as ruled pages (0.1 mm): on every page the
// title, the condition under it, the column headings, as many rows as fit and
// a footer with the page number, the page count and the record count. The
// rows are taken from the dialog's list as it stands, sorted or not.
class CListPrintJob : public CPrintJob
{
public:
    // How far a heading and a cell's text stand inside their column, 0.1 mm.
    static constexpr int kHeadingInset = 15;
    static constexpr int kCellInset = 10;

    explicit CListPrintJob(CQueryResultDlg* owner);

    void Draw(CKvDC& dc) override;
    bool OnPreparePrinting(CPrintInfo& info) override;
    void OnPrepareDC(CKvDC& dc, CPrintInfo& info) override;
    void OnBeginPrinting(CKvDC& dc, CPrintInfo& info) override;
    void OnEndPrinting(CKvDC& dc, CPrintInfo& info) override;

    // The area inside the margins (measured from the paper's edge) that the
    // printer can print, in the logical units of the device's mapping mode.
    static void GetPrintArea(const CKvDC& dc, int top, int left, int right, int bottom, QPoint& origin, QSize& size);
    void GetPrintArea(const CKvDC& dc, QPoint& origin, QSize& size) const;

    int GetRowsPerPage() const { return m_rowsPerPage; }
    // The fonts of the rows and of the headings, made when printing begins.
    QFont GetBodyFont() const { return m_bodyFont.value_or(QFont()); }
    QFont GetHeadingFont() const { return m_boldBodyFont.value_or(QFont()); }
    int GetPageCount() const { return m_pageCount; }
    // "第 1 页，共 3 页，记录总数：57" for page 1.
    QString FooterText(int page) const;

private:
    void drawPage(CKvDC& dc, int page);

    CQueryResultDlg* m_dialog;
};
