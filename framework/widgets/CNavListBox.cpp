#include "CNavListBox.h"

#include <QPainter>
#include <QStyledItemDelegate>

namespace {

class CNavRowDelegate : public QStyledItemDelegate
{
public:
    explicit CNavRowDelegate(CNavListBox* list) : QStyledItemDelegate(list), m_list(list) {}

    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override
    {
        return QSize(QStyledItemDelegate::sizeHint(option, index).width(), m_list->MeasureItem());
    }

    void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override
    {
        painter->save();
        painter->setFont(option.font);
        m_list->DrawItem(painter, option.rect, index.row(), option.state.testFlag(QStyle::State_Selected));
        painter->restore();
    }

private:
    CNavListBox* m_list;
};

} // namespace

CNavListBox::CNavListBox(QWidget* parent) : QListWidget(parent)
{
    setItemDelegate(new CNavRowDelegate(this));
    setUniformItemSizes(true);
    setSelectionMode(QAbstractItemView::SingleSelection);
    // The background erase: the whole client area in the row grey.
    QPalette palette = viewport()->palette();
    palette.setColor(QPalette::Base, BackgroundColour());
    palette.setColor(QPalette::Window, BackgroundColour());
    viewport()->setPalette(palette);
    viewport()->setAutoFillBackground(true);
    setPalette(palette);
}

void CNavListBox::SetGroupBitmap(const QPixmap& bitmap)
{
    m_groupBitmap = bitmap;
    viewport()->update();
}

void CNavListBox::SetEntryBitmap(const QPixmap& bitmap)
{
    m_entryBitmap = bitmap;
    viewport()->update();
}

int CNavListBox::AddRow(const QString& text, int id)
{
    auto* item = new QListWidgetItem(text, this);
    item->setData(Qt::UserRole, id);
    return row(item);
}

int CNavListBox::GetItemData(int row) const
{
    const QListWidgetItem* entry = item(row);
    return entry ? entry->data(Qt::UserRole).toInt() : 0;
}

void CNavListBox::DrawItem(QPainter* painter, const QRect& rect, int row, bool selected) const
{
    const QListWidgetItem* entry = item(row);
    if (!entry)
        return;
    const bool group = IsGroupId(GetItemData(row));
    painter->save();
    painter->fillRect(rect, BackgroundColour());
    painter->setPen(group ? QColor(Qt::black) : EntryTextColour());
    const QRect textRect(rect.left() + 25, rect.top(), qMax(0, rect.width() - 25), rect.height());
    painter->drawText(textRect, Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine, entry->text());
    const QPixmap& bitmap = group ? m_groupBitmap : m_entryBitmap;
    if (!bitmap.isNull()) {
        // Combined with the row as the bitmap's AND raster operation does.
        painter->setCompositionMode(QPainter::RasterOp_SourceAndDestination);
        painter->drawPixmap(QRect(rect.left(), rect.top() + 8, 16, 16), bitmap);
        painter->setCompositionMode(QPainter::CompositionMode_SourceOver);
    }
    // The row is drawn whole each time, so a row that lost the selection has its
    // frame painted over by the ground.
    if (selected) {
        painter->setPen(FrameColour());
        painter->setBrush(Qt::NoBrush);
        painter->drawRect(rect.adjusted(0, 0, -1, -1));
    }
    painter->restore();
}
