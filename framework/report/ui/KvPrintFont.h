#pragma once

#include <QFont>
#include <QString>

// A font of a face name that printed layouts use. The Chinese faces the
// shipped layouts name ("宋体") are drawn with an installed CJK face whose
// Latin letters and digits are half-width, the same on every machine that has
// it: a face Qt cannot find would otherwise fall back on whatever the machine
// offers, with wider digits that no longer fit the layouts' columns.
QFont KvPrintFont(const QString& face);
