#include "CListPrintJob.h"

#include "CKvDC.h"
#include "CPrintInfo.h"
#include "CQueryResultDlg.h"
#include "CResultList.h"

#include <QFontMetrics>
#include <QPainter>
#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace {

// Layout lengths of the list, 0.1 mm.
constexpr int kTitleHeight = 100;
constexpr int kSubtitleHeight = 90;
constexpr int kHeaderRowHeight = 60;
constexpr int kRowHeight = 60;
constexpr int kHeadingInset = CListPrintJob::kHeadingInset;
constexpr int kCellInset = CListPrintJob::kCellInset;

} // namespace

CListPrintJob::CListPrintJob(CQueryResultDlg* owner) : CPrintJob(owner), m_dialog(owner) {}

bool CListPrintJob::OnPreparePrinting(CPrintInfo& info)
{
    return DoPreparePrinting(info);
}

void CListPrintJob::GetPrintArea(const CKvDC& dc, int top, int left, int right, int bottom, QPoint& origin, QSize& size)
{
    const int printableWidth = dc.DeviceToLogicalX(dc.GetDeviceCaps(HORZRES));
    const int printableHeight = dc.DeviceToLogicalY(dc.GetDeviceCaps(VERTRES));
    const int pageWidth = dc.DeviceToLogicalX(dc.GetDeviceCaps(PHYSICALWIDTH));
    const int pageHeight = dc.DeviceToLogicalY(dc.GetDeviceCaps(PHYSICALHEIGHT));
    const int offsetX = dc.DeviceToLogicalX(dc.GetDeviceCaps(PHYSICALOFFSETX));
    const int offsetY = dc.DeviceToLogicalY(dc.GetDeviceCaps(PHYSICALOFFSETY));
    origin.setX(std::max(0, left - offsetX));
    origin.setY(std::max(0, top - offsetY));
    size.setWidth(std::min(printableWidth, pageWidth - right - offsetX) - origin.x());
    size.setHeight(std::min(printableHeight, pageHeight - bottom - offsetY) - origin.y());
}

void CListPrintJob::GetPrintArea(const CKvDC& dc, QPoint& origin, QSize& size) const
{
    GetPrintArea(dc, m_topMargin, m_leftMargin, m_rightMargin, m_bottomMargin, origin, size);
}

void CListPrintJob::OnBeginPrinting(CKvDC& dc, CPrintInfo& info)
{
    CPrintJob::OnBeginPrinting(dc, info);
    dc.SetMapMode(MM_LOMETRIC);
    if (!m_bodyFont)
        m_bodyFont = PointFont(dc, 10, 400);
    if (!m_boldBodyFont)
        m_boldBodyFont = PointFont(dc, 10, 700);
    if (!m_titleFont)
        m_titleFont = PointFont(dc, 18, 700);
    if (!m_thickPen)
        m_thickPen = SolidPen(2);
    if (!m_thinPen)
        m_thinPen = SolidPen(1);

    const CListPrintSettings& settings = m_dialog->GetPrintSettings();
    m_topMargin = settings.m_topMargin;
    m_leftMargin = settings.m_leftMargin;
    m_rightMargin = settings.m_rightMargin;
    m_bottomMargin = settings.m_bottomMargin;
    QPoint origin;
    QSize size;
    GetPrintArea(dc, origin, size);
    m_printAreaX = origin.x();
    m_printAreaY = origin.y();
    m_printAreaWidth = size.width();
    m_printAreaHeight = size.height();

    m_titleHeight = kTitleHeight;
    m_subtitleHeight = kSubtitleHeight;
    m_headerRowHeight = kHeaderRowHeight;
    m_rowHeight = kRowHeight;
    m_spareRowHeight = 60;
    m_bodyHeight = m_printAreaHeight - 250;

    m_rowCount = m_dialog->GetList()->GetItemCount();
    // A print area too low for a row still prints one row a page.
    m_rowsPerPage = std::max(1, (m_bodyHeight - m_headerRowHeight) / m_rowHeight);
    m_pageCount = std::max(1, m_rowCount / m_rowsPerPage + (m_rowCount % m_rowsPerPage ? 1 : 0));
    info.SetMaxPage(m_pageCount);

    m_title = settings.m_title;
    m_subtitle = settings.m_subTitle;
    m_columnHeaders = m_dialog->GetTitles();
    m_columnWidths = QVector<int>(settings.m_colWidths.begin(), settings.m_colWidths.end());
    m_columnWidths.resize(m_dialog->GetColumnCount());
    m_totalWidth = 0;
    for (int width : m_columnWidths)
        m_totalWidth += width;
    m_columnInsets = QVector<int>(m_columnWidths.size(), kHeadingInset);
}

void CListPrintJob::OnPrepareDC(CKvDC& dc, CPrintInfo& info)
{
    CPrintJob::OnPrepareDC(dc, info);
    ShowPageStretch(dc, info);
}

void CListPrintJob::OnEndPrinting(CKvDC& dc, CPrintInfo& info)
{
    CPrintJob::OnEndPrinting(dc, info);
    ReleaseGraphics();
}

QString CListPrintJob::FooterText(int page) const
{
    return QStringLiteral("第 %1 页，共 %2 页，%3").arg(page).arg(m_pageCount).arg(m_dialog->GetRecordCountText());
}

void CListPrintJob::Draw(CKvDC& dc)
{
    DrawShownPage(dc, [&](int page) { drawPage(dc, page); });
}

void CListPrintJob::drawPage(CKvDC& dc, int page)
{
    QPainter* painter = dc.GetPainter();
    const int height = dc.DeviceToLogicalY(dc.GetDeviceCaps(PHYSICALHEIGHT));
    const int x0 = m_printAreaX;
    const int y0 = -m_printAreaY - page * height;
    const CReportStore* store = m_dialog->GetStore();

    painter->save();
    // Texts stand upright: their top-left corner at a logical point (x, y) is
    // (x, -y) in the upright frame.
    painter->setWorldTransform(dc.UprightTransform());
    painter->setPen(Qt::black);
    auto text = [&](const QFont& font, int x, int top, const QString& value) {
        painter->setFont(font);
        painter->drawText(QRectF(x, -top, 1e6, 1e6), Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine, value);
    };
    auto centred = [&](const QFont& font, int top, const QString& value) {
        const int width = std::min(QFontMetrics(font).horizontalAdvance(value), m_totalWidth);
        text(font, x0 + (m_totalWidth - width) / 2, top, value);
    };
    centred(*m_titleFont, y0 - 20, m_title);
    centred(*m_bodyFont, y0 - kTitleHeight - 15, m_subtitle);
    const int topRule = y0 - 190;
    int left = x0;
    for (int c = 0; c < m_columnWidths.size(); ++c) {
        text(*m_boldBodyFont, left + kHeadingInset, topRule - 15, m_columnHeaders.value(c));
        left += m_columnWidths.at(c);
    }
    int rowTop = topRule - kHeaderRowHeight;
    QList<int> ruleYs{rowTop};
    for (int slot = 0, row = page * m_rowsPerPage; slot < m_rowsPerPage && row < m_rowCount; ++slot, ++row) {
        left = x0;
        for (int c = 0; c < m_columnWidths.size(); ++c) {
            text(*m_bodyFont, left + kCellInset, rowTop - 15, store->Cell(row, c));
            left += m_columnWidths.at(c);
        }
        rowTop -= kRowHeight;
        ruleYs << rowTop;
    }
    text(*m_bodyFont, x0 + 10, y0 - m_printAreaHeight + 50, FooterText(page + 1));

    // The rules, in the logical frame.
    painter->setWorldTransform(dc.LogicalTransform());
    const int right = x0 + m_totalWidth;
    const int bottomRule = ruleYs.last();
    painter->setPen(*m_thickPen);
    painter->drawLine(x0, topRule, right, topRule);
    painter->setPen(*m_thinPen);
    for (int i = 0; i < ruleYs.size() - 1; ++i)
        painter->drawLine(x0, ruleYs.at(i), right, ruleYs.at(i));
    painter->setPen(*m_thickPen);
    painter->drawLine(x0, bottomRule, right, bottomRule);
    painter->drawLine(x0, topRule, x0, bottomRule);
    painter->setPen(*m_thinPen);
    left = x0;
    for (int c = 0; c < m_columnWidths.size(); ++c) {
        left += m_columnWidths.at(c);
        painter->drawLine(left, topRule, left, bottomRule);
    }
    painter->setPen(*m_thickPen);
    painter->drawLine(right, topRule, right, bottomRule);
    painter->restore();
}
