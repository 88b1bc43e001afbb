#include "KvResultList.h"

#include "CKvExtList2.h"

#include <QHeaderView>
#include <QPalette>
#include <algorithm>

void PrepareResultList(CKvExtList2& list, const QStringList* titles, int shownColumns)
{
    list.SetRowHeight(20);
    QPalette palette = list.palette();
    palette.setColor(QPalette::Base, palette.color(QPalette::Button));
    list.setPalette(palette);
    if (!titles || shownColumns <= 0) {
        list.InsertColumn(0, QString(), 100);
        return;
    }
    const QFontMetrics metrics = list.horizontalHeader()->fontMetrics();
    for (int c = 0; c < shownColumns; ++c) {
        const QString title = titles->value(c);
        list.InsertColumn(c, title, metrics.horizontalAdvance(title) + 20);
    }
}

void FillResultList(CKvExtList2& list, const QStringList* cells, int rows, int columns, int shownColumns)
{
    list.DeleteAllItems();
    if (!cells || shownColumns <= 0 || rows <= 0)
        return;
    // Every cell gets its item at once (one InsertRow a row costs a relayout a row).
    list.setRowCount(rows);
    {
        // The view learns of the new cells once, below, not once a cell.
        const QSignalBlocker blocker(list.model());
        for (int r = 0; r < rows; ++r)
            for (int c = 0; c < shownColumns; ++c)
                list.setItem(r, c, new QTableWidgetItem(cells->value(static_cast<qsizetype>(r) * columns + c)));
    }
    Q_EMIT list.model()->dataChanged(list.model()->index(0, 0), list.model()->index(rows - 1, shownColumns - 1));
    // The columns widen to what they show: the texts of the first rows (a
    // column holds values of one kind) and the summary row at the end.
    const auto widenFor = [&](int r) {
        for (int c = 0; c < shownColumns; ++c)
            list.WidenColumnFor(c, list.item(r, c)->text());
    };
    constexpr int kMeasuredRows = 500;
    const int measured = std::min(rows, kMeasuredRows);
    for (int r = 0; r < measured; ++r)
        widenFor(r);
    if (rows > measured)
        widenFor(rows - 1);
}
