#pragma once

#include <QRect>

class QWidget;

// The frame rectangle of a window whose frame is `frameSize`, centred on
// `over` and kept inside the screen's `available` area: a window larger than
// the area is shrunk to it, one that would stick out is moved back in.
QRect KvPlaceInside(QSize frameSize, const QRect& over, const QRect& available);

// Orders the Tab chain of a window's controls as its layout places them: row
// by row through grids and forms, item by item through boxes, into the
// layouts of group boxes and frames. Controls outside the layout keep their place.
void KvOrderTabsByLayout(QWidget* window);
