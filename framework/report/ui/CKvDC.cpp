#include "CKvDC.h"

#include <QPainter>
#include <QPrinter>
#include <cmath>

KvPageMetrics KvPageMetrics::Of(const QPrinter& printer)
{
    const QRectF paper = printer.paperRect(QPrinter::DevicePixel);
    const QRectF page = printer.pageRect(QPrinter::DevicePixel);
    KvPageMetrics m;
    m.physicalWidth = qRound(paper.width());
    m.physicalHeight = qRound(paper.height());
    m.offsetX = qRound(page.left() - paper.left());
    m.offsetY = qRound(page.top() - paper.top());
    m.printableWidth = qRound(page.width());
    m.printableHeight = qRound(page.height());
    m.dpiX = std::max(1, printer.logicalDpiX());
    m.dpiY = std::max(1, printer.logicalDpiY());
    return m;
}

CKvDC::CKvDC(QPainter* painter, const KvPageMetrics& metrics, const QTransform& deviceTransform, bool printing)
    : m_painter(painter), m_metrics(metrics), m_deviceTransform(deviceTransform), m_printing(printing)
{
}

void CKvDC::SetPainter(QPainter* painter)
{
    m_painter = painter;
    Apply();
}

int CKvDC::GetDeviceCaps(int index) const
{
    switch (index) {
    case HORZRES:
        return m_metrics.printableWidth;
    case VERTRES:
        return m_metrics.printableHeight;
    case LOGPIXELSX:
        return m_metrics.dpiX;
    case LOGPIXELSY:
        return m_metrics.dpiY;
    case PHYSICALWIDTH:
        return m_metrics.physicalWidth;
    case PHYSICALHEIGHT:
        return m_metrics.physicalHeight;
    case PHYSICALOFFSETX:
        return m_metrics.offsetX;
    case PHYSICALOFFSETY:
        return m_metrics.offsetY;
    default:
        return 0;
    }
}

void CKvDC::SetMapMode(int mode)
{
    m_mapMode = mode == MM_LOMETRIC || mode == MM_HIMETRIC ? mode : MM_TEXT;
    Apply();
}

void CKvDC::SetWindowOrg(int x, int y)
{
    m_windowOrg = QPoint(x, y);
    Apply();
}

double CKvDC::UnitsPerInch() const
{
    switch (m_mapMode) {
    case MM_LOMETRIC:
        return 254.0;
    case MM_HIMETRIC:
        return 2540.0;
    default:
        return 0.0;
    }
}

QTransform CKvDC::LogicalTransform() const
{
    const double perInch = UnitsPerInch();
    const double sx = perInch > 0 ? m_metrics.dpiX / perInch : 1.0;
    const double sy = perInch > 0 ? -m_metrics.dpiY / perInch : 1.0;
    const QTransform toDevice(sx, 0, 0, sy, -m_windowOrg.x() * sx, -m_windowOrg.y() * sy);
    return toDevice * m_deviceTransform;
}

QTransform CKvDC::UprightTransform() const
{
    return IsYUp() ? QTransform(1, 0, 0, -1, 0, 0) * LogicalTransform() : LogicalTransform();
}

void CKvDC::Apply() const
{
    if (m_painter && m_painter->isActive())
        m_painter->setWorldTransform(LogicalTransform());
}

QPoint CKvDC::LPtoDP(const QPoint& logical) const
{
    const double perInch = UnitsPerInch();
    if (perInch <= 0)
        return logical - m_windowOrg;
    const QPoint d = logical - m_windowOrg;
    return QPoint(qRound(d.x() * m_metrics.dpiX / perInch), qRound(-d.y() * m_metrics.dpiY / perInch));
}

QPoint CKvDC::DPtoLP(const QPoint& device) const
{
    const double perInch = UnitsPerInch();
    if (perInch <= 0)
        return device + m_windowOrg;
    return QPoint(qRound(device.x() * perInch / m_metrics.dpiX), qRound(-device.y() * perInch / m_metrics.dpiY)) +
           m_windowOrg;
}

QRect CKvDC::DPtoLP(const QRect& device) const
{
    const QPoint topLeft = DPtoLP(device.topLeft());
    const QPoint bottomRight = DPtoLP(QPoint(device.left() + device.width(), device.top() + device.height()));
    return QRect(topLeft, QSize(bottomRight.x() - topLeft.x(), bottomRight.y() - topLeft.y()));
}

int CKvDC::DeviceToLogicalX(int length) const
{
    const double perInch = UnitsPerInch();
    return perInch <= 0 ? std::abs(length) : qRound(std::abs(length) * perInch / m_metrics.dpiX);
}

int CKvDC::DeviceToLogicalY(int length) const
{
    const double perInch = UnitsPerInch();
    return perInch <= 0 ? std::abs(length) : qRound(std::abs(length) * perInch / m_metrics.dpiY);
}

double CKvDC::LogicalUnitsPerPoint() const
{
    const double perInch = UnitsPerInch();
    return (perInch > 0 ? perInch : m_metrics.dpiY) / 72.0;
}
