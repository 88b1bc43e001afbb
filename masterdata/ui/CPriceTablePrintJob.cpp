#include "CPriceTablePrintJob.h"

#include "CKvDC.h"
#include "CKvExtList2.h"
#include "CListPrintJob.h"
#include "CPriceListDlg.h"
#include "CPrintInfo.h"
#include "CSysPara.h"
#include "SysGlobals.h"

#include <QFontMetrics>
#include <QPainter>
#include <algorithm>
#include <cmath>

namespace {

// Layout lengths of the table, 0.1 mm.
constexpr int kTopMargin = 100;
constexpr int kLeftMargin = 250;
constexpr int kRightMargin = 100;
constexpr int kBottomMargin = 100;
constexpr int kTitleHeight = 150;
constexpr int kHeaderRowHeight = 60;
constexpr int kRowHeight = 60;
constexpr int kHeadingInset = 15;
constexpr int kCellInset = 10;

} // namespace

CPriceTablePrintJob::CPriceTablePrintJob(CPriceListDlg* owner) : CPrintJob(owner), m_dialog(owner) {}

bool CPriceTablePrintJob::OnPreparePrinting(CPrintInfo& info)
{
    return DoPreparePrinting(info);
}

void CPriceTablePrintJob::OnPrepareDC(CKvDC& dc, CPrintInfo& info)
{
    CPrintJob::OnPrepareDC(dc, info);
    ShowPageStretch(dc, info);
}

void CPriceTablePrintJob::OnBeginPrinting(CKvDC& dc, CPrintInfo& info)
{
    CPrintJob::OnBeginPrinting(dc, info);
    dc.SetMapMode(MM_LOMETRIC);
    if (!m_bodyFont)
        m_bodyFont = PointFont(dc, 10, QFont::Normal);
    if (!m_boldBodyFont)
        m_boldBodyFont = PointFont(dc, 10, QFont::Bold);
    if (!m_titleFont)
        m_titleFont = PointFont(dc, 16, QFont::Bold);
    if (!m_thickPen)
        m_thickPen = SolidPen(2);
    if (!m_thinPen)
        m_thinPen = SolidPen(1);

    m_topMargin = kTopMargin;
    m_leftMargin = kLeftMargin;
    m_rightMargin = kRightMargin;
    m_bottomMargin = kBottomMargin;
    QPoint origin;
    QSize size;
    CListPrintJob::GetPrintArea(dc, m_topMargin, m_leftMargin, m_rightMargin, m_bottomMargin, origin, size);
    m_printAreaX = origin.x();
    m_printAreaY = origin.y();
    m_printAreaWidth = size.width();
    m_printAreaHeight = size.height();

    m_titleHeight = kTitleHeight;
    m_headerRowHeight = kHeaderRowHeight;
    m_rowHeight = kRowHeight;
    m_spareRowHeight = 60;
    m_bodyHeight = m_printAreaHeight - 210;

    m_rowCount = m_dialog->GetUpperList()->GetItemCount();
    // A print area too low for a row still prints one row a page, rather than
    // dividing by none.
    m_rowsPerPage = std::max(1, (m_bodyHeight - m_headerRowHeight) / m_rowHeight);
    m_pageCount = m_rowCount / m_rowsPerPage + (m_rowCount % m_rowsPerPage ? 1 : 0);
    info.SetMaxPage(m_pageCount);

    m_title = GetMainSysPara()->GetClientName() + QStringLiteral("水电物业价目表");
    m_columnCount = 7;
    m_columnHeaders = {QStringLiteral("价目代码"), QStringLiteral("价目名称"), QStringLiteral("价目类型"),
                       QStringLiteral("计价单位"), QStringLiteral("单价"),     QStringLiteral("有效期始"),
                       QStringLiteral("有效期止")};
    m_columnWidths = {200, 400, 200, 200, 200, 250, 250};
    m_columnInsets = QVector<int>(m_columnCount, kHeadingInset);
    m_sourceColumns = {0, 1, 2, 3, 4, 5, 6};
    m_totalWidth = 0;
    for (int width : m_columnWidths)
        m_totalWidth += width;
}

void CPriceTablePrintJob::OnEndPrinting(CKvDC& dc, CPrintInfo& info)
{
    CPrintJob::OnEndPrinting(dc, info);
    ReleaseGraphics();
}

QString CPriceTablePrintJob::FooterText(int page) const
{
    return QStringLiteral("第 %1 页，共 %2 页").arg(page).arg(m_pageCount);
}

void CPriceTablePrintJob::Draw(CKvDC& dc)
{
    if (!m_bodyFont)
        return;
    dc.SetMapMode(MM_LOMETRIC);
    DrawShownPage(dc, [&](int page) { drawPage(dc, page); });
}

void CPriceTablePrintJob::drawPage(CKvDC& dc, int page)
{
    QPainter* painter = dc.GetPainter();
    const int height = dc.DeviceToLogicalY(dc.GetDeviceCaps(PHYSICALHEIGHT));
    const int pageTop = -page * height;
    const int x0 = m_printAreaX;
    const int right = x0 + m_totalWidth;
    const CKvExtList2* list = m_dialog->GetUpperList();

    painter->save();
    auto text = [&](const QFont& font, int x, int top, const QString& value) {
        // Texts stand upright: their top-left corner at a logical point (x, y)
        // is (x, -y) in the upright frame.
        painter->setWorldTransform(dc.UprightTransform());
        painter->setPen(Qt::black);
        painter->setFont(font);
        painter->drawText(QRectF(x, -top, 1e6, 1e6), Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine, value);
    };
    auto line = [&](const QPen& pen, int xa, int ya, int xb, int yb) {
        painter->setWorldTransform(dc.LogicalTransform());
        painter->setPen(pen);
        painter->drawLine(xa, ya, xb, yb);
    };

    int y = pageTop - m_printAreaY;
    const int titleWidth = std::min(QFontMetrics(*m_titleFont).horizontalAdvance(m_title), m_totalWidth);
    text(*m_titleFont, x0 + (m_totalWidth - titleWidth) / 2, y - 20, m_title);

    y -= m_titleHeight;
    const int topRule = y;
    line(*m_thickPen, x0, y, right, y);
    int left = x0;
    for (int c = 0; c < m_columnCount; ++c) {
        text(*m_boldBodyFont, left + m_columnInsets.at(c), y - 15, m_columnHeaders.value(c));
        left += m_columnWidths.at(c);
    }
    y -= m_headerRowHeight;
    line(*m_thinPen, x0, y, right, y);

    // Every page shows its full grid, filled as far as the rows go.
    for (int slot = 0, row = page * m_rowsPerPage; slot < m_rowsPerPage; ++slot, ++row) {
        if (row < m_rowCount) {
            left = x0;
            for (int c = 0; c < m_columnCount; ++c) {
                text(*m_bodyFont, left + kCellInset, y - 15, list->GetItemText(row, m_sourceColumns.at(c)));
                left += m_columnWidths.at(c);
            }
        }
        y -= m_rowHeight;
        line(*m_thinPen, x0, y, right, y);
    }

    line(*m_thickPen, x0, y, right, y);
    line(*m_thickPen, x0, topRule, x0, y);
    left = x0;
    for (int c = 0; c < m_columnCount; ++c) {
        left += m_columnWidths.at(c);
        line(*m_thinPen, left, topRule, left, y);
    }
    line(*m_thickPen, right, topRule, right, y);

    text(*m_bodyFont, x0 + 10, pageTop - m_printAreaY - (m_bodyHeight + m_titleHeight + 10), FooterText(page + 1));
    painter->restore();
}
