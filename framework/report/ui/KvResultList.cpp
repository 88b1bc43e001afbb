#include "KvResultList.h"

#include "CReportStore.h"
#include "CResultList.h"

#include <QHeaderView>
#include <QPalette>

void PrepareResultList(CResultList& list, const CReportStore* store, int shownColumns)
{
    list.SetRowHeight(20);
    QPalette palette = list.palette();
    palette.setColor(QPalette::Base, palette.color(QPalette::Button));
    list.setPalette(palette);
    list.SetStore(store, shownColumns);
    const QFontMetrics metrics = list.horizontalHeader()->fontMetrics();
    for (int c = 0; c < list.GetColumnCount(); ++c)
        list.setColumnWidth(c, metrics.horizontalAdvance(store->Titles().value(c)) + 20);
}
