#include "CKvPreviewView.h"

#include "CPrintInfo.h"
#include "CPrintJob.h"
#include "CScreenMetrics.h"

#include <QPainter>
#include <QScrollBar>
#include <QStyle>
#include <algorithm>

namespace {

const int kMaxPagingPages = 32768;

} // namespace

CKvPreviewView::CKvPreviewView(QWidget* parent) : QAbstractScrollArea(parent)
{
    setObjectName(QStringLiteral("previewView"));
    setFrameShape(QFrame::Box);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    connect(verticalScrollBar(), &QScrollBar::valueChanged, this, &CKvPreviewView::OnVerticalValue);
    viewport()->setCursor(Qt::ArrowCursor);
}

CKvPreviewView::~CKvPreviewView()
{
    // The preview's printing run ends with the view; the job outlives it.
    if (m_job && m_printInfo) {
        CKvDC dc(nullptr, m_metrics);
        m_job->OnEndPrinting(dc, *m_printInfo);
    }
}

void CKvPreviewView::SetPrintJob(CPrintJob* job)
{
    m_job = job;
    m_printInfo = std::make_unique<CPrintInfo>();
    m_printInfo->m_bPreview = true;
    if (!m_job || !m_job->OnPreparePrinting(*m_printInfo) || !m_printInfo->m_printer) {
        m_job = nullptr;
        return;
    }
    m_metrics = KvPageMetrics::Of(*m_printInfo->m_printer);
    {
        CKvDC dc(nullptr, m_metrics);
        m_job->OnBeginPrinting(dc, *m_printInfo);
    }
    m_printerPpiX = m_metrics.dpiX;
    m_printerPpiY = m_metrics.dpiY;
    m_zoomState = -1; // so that state 0 is entered
    SetZoomState(0, 1, QPoint(0, 0));
}

void CKvPreviewView::RestoreGraphics()
{
    if (!m_job || !m_printInfo)
        return;
    CKvDC dc(nullptr, m_metrics);
    m_job->OnBeginPrinting(dc, *m_printInfo);
    viewport()->update();
}

int CKvPreviewView::GetMinPage() const
{
    return m_printInfo ? m_printInfo->GetMinPage() : 1;
}

int CKvPreviewView::GetMaxPage() const
{
    return m_printInfo ? std::max(m_printInfo->GetMaxPage(), GetMinPage()) : 1;
}

int CKvPreviewView::PageCount() const
{
    return GetMaxPage() - GetMinPage() + 1;
}

bool CKvPreviewView::HasPagingScrollBar() const
{
    return m_zoomState == 0 && PageCount() > 1 && PageCount() < kMaxPagingPages;
}

KvRatio CKvPreviewView::CalcScaleRatio(QSize window, QSize page)
{
    if (page.width() <= 0 || page.height() <= 0)
        return KvRatio{1, 1};
    if (KvMulDiv(page.width(), window.height(), page.height()) > window.width())
        return KvRatio{window.width(), page.width()};
    return KvRatio{window.height(), page.height()};
}

KvRatio CKvPreviewView::ZoomRatio(int state, KvRatio fit)
{
    const int n = fit.n;
    const int d = fit.d;
    switch (state) {
    case 1:
        return KvRatio{n < d ? (n + d) / 2 : (3 * n - d) / 2, d};
    case 2:
        return d > n ? KvRatio{1, 1} : KvRatio{2 * n - d, d};
    default:
        return fit;
    }
}

QSize CKvPreviewView::ScreenPageSize(QSize printerPage, int screenPpiX, int screenPpiY, int printerPpiX,
                                     int printerPpiY)
{
    return QSize(KvMulDiv(printerPage.width(), screenPpiX, printerPpiX),
                 KvMulDiv(printerPage.height(), screenPpiY, printerPpiY));
}

QSize CKvPreviewView::TrueClientSize() const
{
    // The client area as it would be without scroll bars.
    return QSize(width() - 2 * frameWidth(), height() - 2 * frameWidth());
}

QSize CKvPreviewView::CalcPageDisplaySize() const
{
    QSize size = TrueClientSize() - QSize(16, 16);
    if (m_zoomState == 0 && PageCount() > 1)
        size.setWidth(size.width() - style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, this));
    return size.expandedTo(QSize(1, 1));
}

void CKvPreviewView::PositionPage(int index)
{
    PageInfo& info = m_pageInfo[index];
    const CScreenMetrics& screen = CScreenMetrics::Instance();
    info.sizeUnscaled = ScreenPageSize(QSize(m_metrics.physicalWidth, m_metrics.physicalHeight),
                                       screen.m_pixelsPerInchX, screen.m_pixelsPerInchY, m_printerPpiX, m_printerPpiY);
    const QSize available = CalcPageDisplaySize();
    info.sizeZoomOutRatio = CalcScaleRatio(available, info.sizeUnscaled);
    info.sizeScale = ZoomRatio(m_zoomState, info.sizeZoomOutRatio);
    const int cx = KvMulDiv(info.sizeUnscaled.width(), info.sizeScale.n, info.sizeScale.d);
    const int cy = KvMulDiv(info.sizeUnscaled.height(), info.sizeScale.n, info.sizeScale.d);
    info.rectScreen = QRect(8, 8, cx + 3, cy + 3);
    if (m_zoomState == 0) {
        // Centred in the window; the whole page shows, nothing scrolls.
        const int x = 8 + std::max(0, (available.width() - info.rectScreen.width()) / 2);
        const int y = 8 + std::max(0, (available.height() - info.rectScreen.height()) / 2);
        info.rectScreen.moveTo(x, y);
    }
}

void CKvPreviewView::UpdateScrollBars()
{
    m_updatingBars = true;
    QScrollBar* vertical = verticalScrollBar();
    QScrollBar* horizontal = horizontalScrollBar();
    if (m_zoomState == 0) {
        setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
        horizontal->setRange(0, 0);
        if (HasPagingScrollBar()) {
            setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
            vertical->setRange(GetMinPage(), GetMaxPage());
            vertical->setSingleStep(1);
            vertical->setPageStep(std::max(1, (GetMaxPage() - GetMinPage() + 9) / 10));
            vertical->setValue(m_currentPage);
        } else {
            setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
            vertical->setRange(0, 0);
        }
    } else {
        setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
        setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
        const QSize total = m_pPageInfo->rectScreen.size() + QSize(16, 16);
        const QSize client = viewport()->size();
        horizontal->setRange(0, std::max(0, total.width() - client.width()));
        horizontal->setPageStep(std::max(1, client.width()));
        horizontal->setSingleStep(16);
        vertical->setRange(0, std::max(0, total.height() - client.height()));
        vertical->setPageStep(std::max(1, client.height()));
        vertical->setSingleStep(16);
    }
    m_updatingBars = false;
}

void CKvPreviewView::SetZoomState(int state, int page, QPoint point)
{
    if (!m_job || state < 0 || state > 2 || state == m_zoomState)
        return;
    m_zoomState = state;
    m_currentPage = page;
    PositionPage(0);
    UpdateScrollBars();
    if (state != 0) {
        // Centre the view on the point, scaled by the new ratio.
        const KvRatio ratio = m_pPageInfo->sizeScale;
        const QPoint centre(KvMulDiv(point.x(), ratio.n, ratio.d), KvMulDiv(point.y(), ratio.n, ratio.d));
        m_updatingBars = true;
        horizontalScrollBar()->setValue(centre.x() - viewport()->width() / 2);
        verticalScrollBar()->setValue(centre.y() - viewport()->height() / 2);
        m_updatingBars = false;
    }
    SetCurrentPage(page, true);
}

void CKvPreviewView::SetCurrentPage(int page, bool)
{
    if (!m_job)
        return;
    m_currentPage = std::clamp(page, GetMinPage(), GetMaxPage());
    if (HasPagingScrollBar()) {
        m_updatingBars = true;
        verticalScrollBar()->setValue(m_currentPage);
        m_updatingBars = false;
    }
    viewport()->update();
}

void CKvPreviewView::ZoomIn()
{
    if (m_zoomState < 2)
        SetZoomState(m_zoomState + 1, m_currentPage, QPoint(0, 0));
}

void CKvPreviewView::ZoomOut()
{
    if (m_zoomState > 0)
        SetZoomState(m_zoomState - 1, m_currentPage, QPoint(0, 0));
}

void CKvPreviewView::NextPage()
{
    SetCurrentPage(m_currentPage + 1, true);
}

void CKvPreviewView::PrevPage()
{
    SetCurrentPage(m_currentPage - 1, true);
}

void CKvPreviewView::OnVerticalValue(int value)
{
    // In state 0 the vertical scroll bar turns the pages.
    if (m_updatingBars || m_zoomState != 0 || !HasPagingScrollBar())
        return;
    SetCurrentPage(value, true);
}

void CKvPreviewView::scrollContentsBy(int, int)
{
    if (m_zoomState != 0)
        viewport()->update();
}

void CKvPreviewView::resizeEvent(QResizeEvent* event)
{
    QAbstractScrollArea::resizeEvent(event);
    if (!m_job)
        return;
    PositionPage(0);
    UpdateScrollBars();
}

void CKvPreviewView::paintEvent(QPaintEvent*)
{
    QPainter painter(viewport());
    painter.fillRect(viewport()->rect(), palette().color(QPalette::Dark));
    if (!m_job)
        return;
    QRect rect = m_pPageInfo->rectScreen;
    if (m_zoomState != 0)
        rect.translate(-horizontalScrollBar()->value(), -verticalScrollBar()->value());
    const QRect page = rect.adjusted(0, 0, -3, -3);
    painter.fillRect(page.translated(3, 3), Qt::black); // shadow
    painter.fillRect(page, Qt::white);
    painter.setPen(Qt::black);
    painter.drawRect(page.adjusted(0, 0, -1, -1));

    // Printer device units onto the page on the screen; the device origin is
    // the printable corner of the sheet.
    const CScreenMetrics& screen = CScreenMetrics::Instance();
    const KvRatio ratio = m_pPageInfo->sizeScale;
    const double sx = static_cast<double>(ratio.n) / ratio.d * screen.m_pixelsPerInchX / m_printerPpiX;
    const double sy = static_cast<double>(ratio.n) / ratio.d * screen.m_pixelsPerInchY / m_printerPpiY;
    const QTransform toScreen =
        QTransform::fromScale(sx, sy) *
        QTransform::fromTranslate(page.left() + m_metrics.offsetX * sx, page.top() + m_metrics.offsetY * sy);
    painter.setClipRect(page);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::TextAntialiasing);

    CKvDC dc(&painter, m_metrics, toScreen, true);
    m_printInfo->m_nCurPage = m_currentPage;
    m_printInfo->m_rectDraw = dc.DPtoLP(QRect(0, 0, m_metrics.printableWidth, m_metrics.printableHeight));
    m_job->OnPrepareDC(dc, *m_printInfo);
    if (!m_printInfo->m_bContinuePrinting) {
        // The page lies beyond the document's end: show the one before it.
        if (m_currentPage > GetMinPage()) {
            --m_currentPage;
            viewport()->update();
        }
        return;
    }
    dc.Apply();
    m_job->OnPrint(dc, *m_printInfo);
}
