#include "KvEditListSetup.h"

#include "CKvExtListBase.h"

#include <QFontMetrics>
#include <QHeaderView>
#include <QPalette>

void KvSetupEditList(CKvExtListBase* list, int rowHeight, const QList<KvListColumn>& columns)
{
    list->SetRowHeight(rowHeight);
    QPalette palette = list->palette();
    palette.setColor(QPalette::Base, palette.color(QPalette::Button));
    list->setPalette(palette);
    const QFontMetrics metrics(list->horizontalHeader()->font());
    for (const KvListColumn& column : columns)
        list->InsertColumn(list->GetColumnCount(), column.heading,
                           metrics.horizontalAdvance(column.heading) + column.extraWidth);
    list->AllocColumnInfo();
}
