#include "CImageButton.h"

#include <QPainter>
#include <QStyleOptionButton>

CImageButton::CImageButton(QWidget* parent) : QPushButton(parent) {}

void CImageButton::SetBitmap(const QPixmap& bitmap)
{
    m_bitmap = bitmap;
    m_width = bitmap.width();
    m_height = bitmap.height();
    update();
}

void CImageButton::SetBorder(int border)
{
    m_border = border;
    update();
}

void CImageButton::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    DrawItem(&painter);
}

void CImageButton::DrawItem(QPainter* painter)
{
    QRect work = rect();
    if (m_border) {
        work.adjust(1, 1, -1, -1);
        painter->setPen(Qt::black);
        painter->setBrush(Qt::NoBrush);
        painter->drawRect(rect().adjusted(0, 0, -1, -1));
    }

    QStyleOptionButton option;
    initStyleOption(&option);
    option.rect = work;
    option.text.clear();
    option.icon = QIcon();
    option.state &= ~QStyle::State_HasFocus;
    style()->drawControl(QStyle::CE_PushButtonBevel, &option, painter, this);

    if (!m_bitmap.isNull()) {
        const QRect target(7, 7, m_width, m_height);
        if (isEnabled()) {
            painter->drawPixmap(target, m_bitmap);
        } else {
            QStyleOption plain;
            plain.initFrom(this);
            painter->drawPixmap(target, style()->generatedIconPixmap(QIcon::Disabled, m_bitmap, &plain));
        }
    }

    if (isEnabled() && hasFocus()) {
        const int inset = qMin(3, qMin(work.width(), work.height()) / 2);
        QStyleOptionFocusRect focus;
        focus.initFrom(this);
        focus.rect = work.adjusted(inset, inset, -inset, -inset);
        style()->drawPrimitive(QStyle::PE_FrameFocusRect, &focus, painter, this);
    }
}
