#pragma once

#include <QIcon>
#include <QPixmap>
#include <QVector>

// The program's own images, kept as PNG in the widget library's resources and
// drawn by scripts/draw_images.cpp. They are named by the resource numbers the
// windows ask for: the toolbar's icons, the list's ticked (158) and unticked
// (159) marks, the rights list's group (156) and entry (155) marks.

// The image of a resource number; a null pixmap when there is none.
QPixmap KvResourceImage(int id);
// Every resource number that has an image.
QVector<int> KvResourceImageIds();
// The program icon (window, task bar, About box), in several sizes.
QIcon KvProgramIcon();
