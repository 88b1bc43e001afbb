#pragma once

#include "CKvDC.h"

#include <QAbstractScrollArea>
#include <memory>

class CPrintJob;
struct CPrintInfo;

// A scale ratio n : d.
struct KvRatio
{
    int n = 1;
    int d = 1;
    bool operator==(const KvRatio&) const = default;
};

// The page view of the print preview: the current page of a print job, whole
// (zoom state 0, the vertical scroll bar pages), or enlarged (states 1 and 2,
// both scroll bars scroll). Clicks on the page do nothing.
class CKvPreviewView : public QAbstractScrollArea
{
    Q_OBJECT

public:
    // Where and how large one page is shown.
    struct PageInfo
    {
        QRect rectScreen;         // page with its 3-pixel shadow, view pixels
        QSize sizeUnscaled;       // the printer's sheet in screen pixels
        KvRatio sizeScale;        // the ratio shown
        KvRatio sizeZoomOutRatio; // the ratio that fits the window
    };

    explicit CKvPreviewView(QWidget* parent = nullptr);
    ~CKvPreviewView() override;

    // Prepares the job on the printer, lets it measure the page and shows page 1
    // whole. Called once.
    void SetPrintJob(CPrintJob* job);
    // A print from the preview ends with the job letting its fonts and pens
    // go; the preview makes them again for its own pages before it repaints.
    void RestoreGraphics();
    CPrintJob* GetPrintJob() const { return m_job; }

    void ZoomIn();
    void ZoomOut();
    void NextPage();
    void PrevPage();
    void SetZoomState(int state, int page, QPoint point);
    void SetCurrentPage(int page, bool clearCache);
    void PositionPage(int index);
    // The window size available for a page.
    QSize CalcPageDisplaySize() const;

    int GetZoomState() const { return m_zoomState; }
    int GetCurrentPage() const { return m_currentPage; }
    int GetMinPage() const;
    int GetMaxPage() const;
    const PageInfo& GetPageInfo() const { return *m_pPageInfo; }
    // Whether the vertical scroll bar turns the pages (state 0, 2 to 32767 pages).
    bool HasPagingScrollBar() const;

    // The ratio that fits a page into a window: limited by the width when the
    // page scaled to the window's height would be too wide, else by the height.
    static KvRatio CalcScaleRatio(QSize window, QSize page);
    // The ratio shown in a zoom state for the fitting ratio.
    static KvRatio ZoomRatio(int state, KvRatio fit);
    // The printer's sheet in screen pixels.
    static QSize ScreenPageSize(QSize printerPage, int screenPpiX, int screenPpiY, int printerPpiX, int printerPpiY);

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void scrollContentsBy(int dx, int dy) override;

private:
    void UpdateScrollBars();
    void OnVerticalValue(int value);
    QSize TrueClientSize() const;
    int PageCount() const;

    PageInfo m_pageInfo[2];
    PageInfo* m_pPageInfo = &m_pageInfo[0];
    std::unique_ptr<CPrintInfo> m_printInfo;
    KvPageMetrics m_metrics;
    CPrintJob* m_job = nullptr;
    int m_zoomState = 0;
    int m_pages = 1; // pages shown at once
    int m_currentPage = 1;
    int m_printerPpiX = 1;
    int m_printerPpiY = 1;
    bool m_updatingBars = false;
};
