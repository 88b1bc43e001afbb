#pragma once

// Checks that controls show their texts whole, measured with the fonts they
// draw with: list cells and headings within their columns, a date box's date
// within its edit field, clear of its arrow.

#include <QDateTimeEdit>
#include <QFontMetrics>
#include <QHeaderView>
#include <QLineEdit>
#include <QStringList>
#include <QStyle>
#include <QStyleOptionComboBox>
#include <QTableView>

// The texts of a list that its columns cut: a cell's text wider than its
// column less the two 2-pixel text margins of a cell (`firstColumnOffset`
// more in column 0, the check box of a check list), a heading wider than its
// section less the header's margins. Empty when every text shows whole.
inline QStringList CutListTexts(const QTableView& list, int firstColumnOffset = 0)
{
    QStringList cut;
    const QAbstractItemModel* model = list.model();
    const QFontMetrics cells(list.font());
    const QFontMetrics headings(list.horizontalHeader()->font());
    const int headerMargins = 2 * list.style()->pixelMetric(QStyle::PM_HeaderMargin, nullptr, list.horizontalHeader());
    for (int c = 0; c < model->columnCount(); ++c) {
        const int width = list.columnWidth(c);
        const QString heading = model->headerData(c, Qt::Horizontal).toString();
        if (headings.horizontalAdvance(heading) + headerMargins > width)
            cut << QStringLiteral("%1 (heading, %2 px)").arg(heading).arg(width);
        for (int r = 0; r < model->rowCount(); ++r) {
            const QString text = model->data(model->index(r, c)).toString();
            if (cells.horizontalAdvance(text) + 4 + (c == 0 ? firstColumnOffset : 0) > width)
                cut << QStringLiteral("%1 (column %2, %3 px)").arg(text).arg(c).arg(width);
        }
    }
    return cut;
}

// Whether a calendar date box, laid out, shows its whole date in its edit
// field with at least a digit's width of space between the date and the
// drop-down arrow.
inline bool DateBoxShowsItsDate(QDateTimeEdit* box, QString* why)
{
    auto* edit = box->findChild<QLineEdit*>();
    if (!edit) {
        *why = QStringLiteral("no edit field");
        return false;
    }
    QStyleOptionComboBox option;
    option.initFrom(box);
    option.editable = true;
    option.frame = true;
    option.subControls = QStyle::SC_All;
    const QRect arrow = box->style()->subControlRect(QStyle::CC_ComboBox, &option, QStyle::SC_ComboBoxArrow, box);
    const QFontMetrics metrics(edit->font());
    // A line edit begins its text 2 pixels inside its contents.
    const int textEnd =
        edit->geometry().left() + edit->contentsRect().left() + 2 + metrics.horizontalAdvance(box->text());
    const int fieldEnd = edit->geometry().left() + edit->contentsRect().right() - 2;
    const int gap = arrow.left() - textEnd;
    *why = QStringLiteral("%1 ends at %2, its field at %3, the arrow begins at %4")
               .arg(box->text())
               .arg(textEnd)
               .arg(fieldEnd)
               .arg(arrow.left());
    return textEnd <= fieldEnd && gap >= metrics.horizontalAdvance(u'0');
}
