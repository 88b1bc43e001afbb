#pragma once

#include "KvReceiptLayout.h"

#include <QColor>
#include <QFont>
#include <QString>

class CKvDC;

// The drawable items of a stored layout: a box in logical units with y up
// (left, top, right, bottom; top above bottom) and a way to draw itself.
class CLayoutItem
{
public:
    virtual ~CLayoutItem() = default;
    virtual void Draw(CKvDC& dc) = 0;

    // Moves the box by (dx, dy) in logical units.
    void Offset(int dx, int dy);

    int m_left = 0;
    int m_top = 0;
    int m_right = 200;
    int m_bottom = -60;
};

// A ruled line: its pen (style 0 solid, width in 0.1 mm, colour) and its kind:
// 1 along the top edge, 2 along the left edge, 3 the diagonal from the top
// right, 4 the diagonal from the top left; any other kind draws nothing.
class CLineItem : public CLayoutItem
{
public:
    void Draw(CKvDC& dc) override;

    int m_penStyle = 0;
    int m_width = 1;
    QColor m_colour = Qt::black;
    int m_kind = 0;
};

// A fixed label, written from 0.8 mm below the top of its box; never clipped.
class CTextItem : public CLayoutItem
{
public:
    void Draw(CKvDC& dc) override;

    int m_bkMode = 1; // 1 transparent, 2 opaque
    QString m_text = QStringLiteral("文本标签");
    QColor m_textColour = Qt::black;
    KvLogFont m_font;
    int m_height = -13; // kept with the row, not used for drawing
};

// A value: one line, vertically centred and left-aligned in its box, cut off
// at the box.
class CFieldItem : public CLayoutItem
{
public:
    void Draw(CKvDC& dc) override;

    int m_bkMode = 1;
    QString m_text = QStringLiteral("字段名称");
    QString m_caption;
    QString m_fieldType = QStringLiteral("住户信息");
    QString m_rankNo;
    QString m_priceNo;
    QString m_monthNo;
    QString m_meterNo;
    QColor m_textColour = Qt::black;
    KvLogFont m_font;
    int m_height = -13;
};

// The font of a stored LOGFONT as a point font on this device: lfHeight is in
// tenths of a point, sized in the device's logical units.
QFont KvFontOf(const KvLogFont& font, const CKvDC& dc);
