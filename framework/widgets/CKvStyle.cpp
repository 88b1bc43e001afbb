#include "CKvStyle.h"

#include <QStyleOptionFrame>

CKvStyle::CKvStyle() = default;

void CKvStyle::drawPrimitive(PrimitiveElement element, const QStyleOption* option, QPainter* painter,
                             const QWidget* widget) const
{
    const auto* frame = qstyleoption_cast<const QStyleOptionFrame*>(option);
    if (element == PE_PanelLineEdit && frame && frame->state.testFlag(State_ReadOnly)) {
        QStyleOptionFrame readOnly(*frame);
        for (QPalette::ColorGroup group : {QPalette::Active, QPalette::Inactive, QPalette::Disabled})
            readOnly.palette.setBrush(group, QPalette::Base, frame->palette.brush(group, QPalette::Button));
        QProxyStyle::drawPrimitive(element, &readOnly, painter, widget);
        return;
    }
    QProxyStyle::drawPrimitive(element, option, painter, widget);
}
