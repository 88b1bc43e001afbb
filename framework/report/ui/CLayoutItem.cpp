#include "CLayoutItem.h"

#include "CKvDC.h"
#include "KvPrintFont.h"

#include <QPainter>
#include <cmath>

namespace {

Qt::PenStyle PenStyleOf(int style)
{
    switch (style) {
    case 1:
        return Qt::DashLine;
    case 2:
        return Qt::DotLine;
    case 3:
        return Qt::DashDotLine;
    case 4:
        return Qt::DashDotDotLine;
    case 5:
        return Qt::NoPen;
    default:
        return Qt::SolidLine;
    }
}

// Gives the painter the text settings of an item and returns it, state saved.
QPainter* BeginText(CKvDC& dc, int bkMode, const QColor& colour, const KvLogFont& font)
{
    QPainter* painter = dc.GetPainter();
    if (!painter)
        return nullptr;
    painter->save();
    painter->setBackgroundMode(bkMode == 2 ? Qt::OpaqueMode : Qt::TransparentMode);
    painter->setBackground(Qt::white);
    painter->setPen(colour);
    painter->setFont(KvFontOf(font, dc));
    painter->setWorldTransform(dc.UprightTransform());
    return painter;
}

// A logical y in the upright frame of the text.
int UprightY(const CKvDC& dc, int y)
{
    return dc.IsYUp() ? -y : y;
}

} // namespace

QFont KvFontOf(const KvLogFont& font, const CKvDC& dc)
{
    QFont f = KvPrintFont(font.lfFaceName);
    const double points = std::abs(font.lfHeight) / 10.0;
    f.setPixelSize(std::max(1, static_cast<int>(std::lround(points * dc.LogicalUnitsPerPoint()))));
    // Windows weights and Qt's share the scale 100-900; 0 means normal.
    f.setWeight(font.lfWeight > 0 ? static_cast<QFont::Weight>(std::clamp(font.lfWeight, 100, 900)) : QFont::Normal);
    f.setItalic(font.lfItalic != 0);
    f.setUnderline(font.lfUnderline != 0);
    f.setStrikeOut(font.lfStrikeOut != 0);
    return f;
}

void CLayoutItem::Offset(int dx, int dy)
{
    m_left += dx;
    m_right += dx;
    m_top += dy;
    m_bottom += dy;
}

void CLineItem::Draw(CKvDC& dc)
{
    QPainter* painter = dc.GetPainter();
    if (!painter)
        return;
    QPoint from;
    QPoint to;
    switch (m_kind) {
    case 1:
        from = QPoint(m_left, m_top);
        to = QPoint(m_right, m_top);
        break;
    case 2:
        from = QPoint(m_left, m_top);
        to = QPoint(m_left, m_bottom);
        break;
    case 3:
        from = QPoint(m_right, m_top);
        to = QPoint(m_left, m_bottom);
        break;
    case 4:
        from = QPoint(m_left, m_top);
        to = QPoint(m_right, m_bottom);
        break;
    default:
        return;
    }
    painter->save();
    // The stored width is in 0.1 mm, ten logical units.
    QPen pen(m_colour, m_width * 10, PenStyleOf(m_penStyle), Qt::FlatCap);
    painter->setPen(pen);
    painter->setWorldTransform(dc.LogicalTransform());
    painter->drawLine(from, to);
    painter->restore();
}

void CTextItem::Draw(CKvDC& dc)
{
    QPainter* painter = BeginText(dc, m_bkMode, m_textColour, m_font);
    if (!painter)
        return;
    // Written as from the top-left corner of its first character cell, 0.8 mm
    // below the top of the box.
    const QPointF anchor(m_left, UprightY(dc, m_top - 80));
    painter->translate(anchor);
    if (m_font.lfEscapement != 0)
        painter->rotate(-m_font.lfEscapement / 10.0); // tenths of a degree, counter-clockwise
    painter->drawText(QRectF(0, 0, 1e7, 1e7), Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine | Qt::TextDontClip,
                      m_text);
    painter->restore();
}

void CFieldItem::Draw(CKvDC& dc)
{
    QPainter* painter = BeginText(dc, m_bkMode, m_textColour, m_font);
    if (!painter)
        return;
    const int top = UprightY(dc, m_top);
    const int bottom = UprightY(dc, m_bottom);
    const QRectF box = QRectF(QPointF(m_left, top), QPointF(m_right, bottom)).normalized();
    painter->setClipRect(box, Qt::IntersectClip);
    painter->drawText(box, Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine, m_text);
    painter->restore();
}
