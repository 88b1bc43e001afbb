#pragma once

#include <QFont>
#include <QPen>
#include <QPointer>
#include <QString>
#include <QStringList>
#include <QVector>
#include <QWidget>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

class CKvDC;
class CLayoutItem;
struct CPrintInfo;

// A printed document: it draws its pages on a device and is printed on the
// default printer by PrintDirect, or shown by the print preview, both driving
// the same steps: prepare printing (get a printer), begin printing (measure
// the page), per page prepare the device and print, end printing.
//
// With no printer on the machine the job is written as a PDF file into the
// program folder and the operator is told where it went.
class CPrintJob
{
public:
    explicit CPrintJob(QWidget* owner = nullptr);
    virtual ~CPrintJob();
    CPrintJob(const CPrintJob&) = delete;
    CPrintJob& operator=(const CPrintJob&) = delete;

    // The window that starts the job: parent of the printing-status dialog.
    void SetOwner(QWidget* owner) { m_owner = owner; }
    QWidget* GetOwner() const { return m_owner; }

    // Draws the job's content for the page the device is set to.
    virtual void Draw(CKvDC& dc) = 0;
    virtual bool OnPreparePrinting(CPrintInfo& info);
    // Lets a page be printed while a page count was set or on page 1 only.
    virtual void OnPrepareDC(CKvDC& dc, CPrintInfo& info);
    // Measures the page of the device.
    virtual void OnBeginPrinting(CKvDC& dc, CPrintInfo& info);
    virtual void OnPrint(CKvDC& dc, CPrintInfo& info);
    virtual void OnEndPrinting(CKvDC& dc, CPrintInfo& info);

    // Gets the default printer (the PDF file when there is none) with the paper
    // set last, and sets the page range to print to the job's whole range.
    bool DoPreparePrinting(CPrintInfo& info);

    // Prints the whole job. Returns true when every page reached the printer.
    // A call made while the job prints (the page loop lets other windows work)
    // does nothing and returns false.
    bool PrintDirect(bool direct);
    bool IsPrinting() const { return m_printing; }

    // The document name of every job.
    static QString DocumentName();
    // The PDF file the last printing run wrote, empty when it went to a printer.
    const QString& GetLastOutputFile() const { return m_lastOutputFile; }

    // The layout items the job draws, in drawing order.
    const std::vector<std::unique_ptr<CLayoutItem>>& Items() const { return m_items; }

protected:
    // The end-printing step the document kinds share: releases the fonts and
    // pens they made.
    void ReleaseGraphics();

    // What the ruled table jobs share. Their pages lie one page height apart
    // in 0.1 mm: the prepare-device step of page n moves the window origin
    // onto the n-th stretch (while printing or previewing), and drawing draws
    // only the page that origin shows (every page on a device without a page
    // height), by its index from 0.
    static void ShowPageStretch(CKvDC& dc, const CPrintInfo& info);
    void DrawShownPage(const CKvDC& dc, const std::function<void(int page)>& drawPage) const;
    // A font of the table jobs' face "宋体" at a point size, in the device's logical units.
    static QFont PointFont(const CKvDC& dc, int points, int weight);
    static QPen SolidPen(int width);

    QPointer<QWidget> m_owner;
    // Page metrics of the device, in its units.
    int m_physicalWidth = 0;
    int m_physicalHeight = 0;
    int m_physicalOffsetX = 0;
    int m_physicalOffsetY = 0;
    int m_printableWidth = 0;
    int m_printableHeight = 0;
    int m_pixelsPerInchX = 0;
    int m_pixelsPerInchY = 0;
    // Margins from the paper edge, in the job's logical unit.
    int m_topMargin = 0;
    int m_leftMargin = 0;
    int m_rightMargin = 0;
    int m_bottomMargin = 0;
    // Page layout lengths that a table job sets when it begins printing.
    int m_titleHeight = 0;
    int m_subtitleHeight = 0;
    int m_headerRowHeight = 0;
    int m_rowHeight = 0;
    int m_spareRowHeight = 0;
    int m_bodyHeight = 0;
    // The area inside the margins, logical units.
    int m_printAreaX = 0;
    int m_printAreaY = 0;
    int m_printAreaWidth = 0;
    int m_printAreaHeight = 0;
    int m_rowCount = 0;
    int m_rowsPerPage = 0;
    // Pages of a table job; the receipt keeps the number of receipts here.
    int m_pageCount = 0;
    int m_columnCount = 0;
    // Made on first use by a document kind; released when it ends printing.
    std::optional<QFont> m_titleFont;
    std::optional<QFont> m_secondFont;
    std::optional<QFont> m_bodyFont;
    std::optional<QFont> m_boldBodyFont;
    std::optional<QPen> m_thickPen;
    std::optional<QPen> m_thinPen;
    QString m_title;
    QString m_subtitle;
    QStringList m_columnHeaders;
    QVector<int> m_columnWidths;
    QVector<int> m_columnInsets;
    QVector<int> m_sourceColumns;
    int m_totalWidth = 0;
    std::vector<std::unique_ptr<CLayoutItem>> m_items;

private:
    bool m_printing = false;
    QString m_lastOutputFile;
};
