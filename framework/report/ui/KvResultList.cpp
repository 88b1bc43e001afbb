#include "KvResultList.h"

#include "CReportStore.h"
#include "CResultList.h"
#include "CKvExtListBase.h"

#include <QHeaderView>
#include <QPalette>
#include <algorithm>

namespace {

// Rows measured for the column widths: a column holds values of one kind.
constexpr int kMeasuredRows = 500;

} // namespace

void PrepareResultList(CResultList& list, const CReportStore* store, int shownColumns)
{
    list.SetRowHeight(20);
    QPalette palette = list.palette();
    palette.setColor(QPalette::Base, palette.color(QPalette::Button));
    list.setPalette(palette);
    list.SetStore(store, shownColumns);
    const QFontMetrics headings = list.horizontalHeader()->fontMetrics();
    const QFontMetrics cells = list.fontMetrics();
    const int rows = list.GetItemCount();
    const int measured = std::min(rows, kMeasuredRows);
    for (int c = 0; c < list.GetColumnCount(); ++c) {
        // As wide as the title, and as what it shows: the texts of the first
        // rows and the summary row at the end.
        int width = headings.horizontalAdvance(store->Titles().value(c)) + 20;
        const auto widenFor = [&](int r) {
            const QString text = list.GetItemText(r, c);
            if (!text.isEmpty())
                width = std::max(width, cells.horizontalAdvance(text) + kKvCellTextMargins);
        };
        for (int r = 0; r < measured; ++r)
            widenFor(r);
        if (rows > measured)
            widenFor(rows - 1);
        list.setColumnWidth(c, width);
    }
}
