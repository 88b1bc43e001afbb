#pragma once

#include <QList>
#include <QString>

class CKvExtListBase;

// A column of a list in a master-data dialog: its header and the margin that is
// added to the header text's width.
struct KvListColumn
{
    QString heading;
    int extraWidth;
};

// The common look of the lists in master-data dialogs: a fixed row height,
// the button-face background and columns as wide as their headers plus their
// margins.
void KvSetupEditList(CKvExtListBase* list, int rowHeight, const QList<KvListColumn>& columns);
