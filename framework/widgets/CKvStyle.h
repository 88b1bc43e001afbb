#pragma once

#include <QProxyStyle>

// The program's style: the platform's, with read-only edit fields drawn on the
// button-face background as the desktop draws them, so that a value the
// operator cannot change does not look like one to type into.
class CKvStyle : public QProxyStyle
{
    Q_OBJECT

public:
    CKvStyle();

    void drawPrimitive(PrimitiveElement element, const QStyleOption* option, QPainter* painter,
                       const QWidget* widget = nullptr) const override;
};
