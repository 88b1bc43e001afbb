#pragma once

#include <QRect>
#include <QTransform>

class QPainter;
class QPrinter;

// Mapping modes, with the numbers of the Windows device context they stand for.
enum KvMapMode : int
{
    MM_TEXT = 1,     // device units, y down
    MM_LOMETRIC = 2, // 0.1 mm, y up
    MM_HIMETRIC = 3, // 0.01 mm, y up
};

// The device capabilities a print job reads.
enum KvDeviceCap : int
{
    HORZRES = 8,
    VERTRES = 10,
    LOGPIXELSX = 88,
    LOGPIXELSY = 90,
    PHYSICALWIDTH = 110,
    PHYSICALHEIGHT = 111,
    PHYSICALOFFSETX = 112,
    PHYSICALOFFSETY = 113,
};

// The page of a printer in its device units: the whole sheet, the printable
// area inside it (its offset from the sheet's corner) and the resolution.
struct KvPageMetrics
{
    int physicalWidth = 0;
    int physicalHeight = 0;
    int offsetX = 0;
    int offsetY = 0;
    int printableWidth = 0;
    int printableHeight = 0;
    int dpiX = 1;
    int dpiY = 1;

    static KvPageMetrics Of(const QPrinter& printer);
};

// The device a print job draws on: a painter on the printer, or on the preview
// (which shows the printer's page scaled onto the screen), together with the
// printer's page metrics. Jobs draw in logical units; the mapping mode and the
// window origin give the one transform from logical units to the printer's
// device units, and the device transform maps those onto the painter's device.
// The device origin is the corner of the printable area, as on a printer.
class CKvDC
{
public:
    CKvDC(QPainter* painter, const KvPageMetrics& metrics, const QTransform& deviceTransform = QTransform(),
          bool printing = true);

    QPainter* GetPainter() const { return m_painter; }
    void SetPainter(QPainter* painter);
    bool IsPrinting() const { return m_printing; }
    const KvPageMetrics& Metrics() const { return m_metrics; }
    int GetDeviceCaps(int index) const;

    void SetMapMode(int mode);
    int GetMapMode() const { return m_mapMode; }
    void SetWindowOrg(int x, int y);
    QPoint GetWindowOrg() const { return m_windowOrg; }

    // Logical units ⇄ printer device units, with the current mode and origin.
    QPoint LPtoDP(const QPoint& logical) const;
    QPoint DPtoLP(const QPoint& device) const;
    QRect DPtoLP(const QRect& device) const;
    // A device length (not a position) in logical units, always positive.
    int DeviceToLogicalX(int length) const;
    int DeviceToLogicalY(int length) const;
    // Logical units in one point of type height.
    double LogicalUnitsPerPoint() const;
    // Whether logical y grows upward (the metric modes).
    bool IsYUp() const { return m_mapMode != MM_TEXT; }

    // Logical units → the painter's device.
    QTransform LogicalTransform() const;
    // The same, with y turned to grow downward, for text that must stand
    // upright: a logical point (x, y) is (x, -y) there in the metric modes.
    QTransform UprightTransform() const;
    // Gives the painter the current transform (after a mode or origin change,
    // and after a new page).
    void Apply() const;

private:
    // Logical units per inch of the mode (0 for device units).
    double UnitsPerInch() const;

    QPainter* m_painter;
    KvPageMetrics m_metrics;
    QTransform m_deviceTransform;
    bool m_printing;
    int m_mapMode = MM_TEXT;
    QPoint m_windowOrg;
};
