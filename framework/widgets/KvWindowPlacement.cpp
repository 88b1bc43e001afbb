#include "KvWindowPlacement.h"

#include <QFormLayout>
#include <QGridLayout>
#include <QLayout>
#include <QWidget>
#include <algorithm>
#include <map>
#include <utility>

QRect KvPlaceInside(QSize frameSize, const QRect& over, const QRect& available)
{
    frameSize = frameSize.boundedTo(available.size());
    QRect placed(QPoint(0, 0), frameSize);
    placed.moveCenter(over.center());
    placed.moveLeft(std::clamp(placed.left(), available.left(), available.right() + 1 - frameSize.width()));
    placed.moveTop(std::clamp(placed.top(), available.top(), available.bottom() + 1 - frameSize.height()));
    return placed;
}

namespace {

void CollectLayout(const QLayout* layout, QList<QWidget*>& chain);

void CollectItem(QLayoutItem* item, QList<QWidget*>& chain)
{
    if (!item)
        return;
    if (const QLayout* inner = item->layout()) {
        CollectLayout(inner, chain);
        return;
    }
    QWidget* widget = item->widget();
    if (!widget)
        return;
    if (widget->focusPolicy() & Qt::TabFocus) {
        chain << widget;
        return;
    }
    // A container (a group box, a frame): its own controls in its layout's order.
    if (widget->layout())
        CollectLayout(widget->layout(), chain);
}

void CollectLayout(const QLayout* layout, QList<QWidget*>& chain)
{
    if (const auto* grid = qobject_cast<const QGridLayout*>(layout)) {
        std::map<std::pair<int, int>, QLayoutItem*> cells; // (row, column)
        for (int i = 0; i < grid->count(); ++i) {
            int row, column, rowSpan, columnSpan;
            grid->getItemPosition(i, &row, &column, &rowSpan, &columnSpan);
            cells.emplace(std::pair{row, column}, grid->itemAt(i));
        }
        for (const auto& cell : cells)
            CollectItem(cell.second, chain);
        return;
    }
    if (const auto* form = qobject_cast<const QFormLayout*>(layout)) {
        for (int row = 0; row < form->rowCount(); ++row)
            for (QFormLayout::ItemRole role :
                 {QFormLayout::LabelRole, QFormLayout::FieldRole, QFormLayout::SpanningRole})
                CollectItem(form->itemAt(row, role), chain);
        return;
    }
    for (int i = 0; i < layout->count(); ++i)
        CollectItem(layout->itemAt(i), chain);
}

} // namespace

void KvOrderTabsByLayout(QWidget* window)
{
    if (!window->layout())
        return;
    QList<QWidget*> chain;
    CollectLayout(window->layout(), chain);
    for (qsizetype i = 1; i < chain.size(); ++i)
        QWidget::setTabOrder(chain.at(i - 1), chain.at(i));
}
