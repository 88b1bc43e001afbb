#pragma once

#include "CPrintJob.h"

class CPriceListDlg;

// The printed price table (0.1 mm, A4): on every page the title, the seven
// column headings, a full ruled grid of rows filled from the price list's
// upper list as it stands, and the page number under the grid.
class CPriceTablePrintJob : public CPrintJob
{
public:
    explicit CPriceTablePrintJob(CPriceListDlg* owner);

    void Draw(CKvDC& dc) override;
    bool OnPreparePrinting(CPrintInfo& info) override;
    void OnPrepareDC(CKvDC& dc, CPrintInfo& info) override;
    void OnBeginPrinting(CKvDC& dc, CPrintInfo& info) override;
    void OnEndPrinting(CKvDC& dc, CPrintInfo& info) override;

    int GetRowsPerPage() const { return m_rowsPerPage; }
    int GetPageCount() const { return m_pageCount; }
    const QString& GetTitle() const { return m_title; }
    // "第 2 页，共 3 页" for page 2 of 3.
    QString FooterText(int page) const;

private:
    void drawPage(CKvDC& dc, int page);

    CPriceListDlg* m_dialog;
};
