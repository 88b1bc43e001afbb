#include "CNavListBox.h"

#include <QPainter>
#include <QStyledItemDelegate>

namespace {

const QColor kBackground(220, 220, 220);
const QColor kSelectionFrame(35, 35, 35);

class CNavRowDelegate : public QStyledItemDelegate
{
public:
    explicit CNavRowDelegate(CNavListBox* list) : QStyledItemDelegate(list), m_list(list) {}

    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override
    {
        return QSize(QStyledItemDelegate::sizeHint(option, index).width(), CNavListBox::kRowHeight);
    }

    void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override
    {
        const QRect row = option.rect;
        const bool group = CNavListBox::IsGroupId(index.data(Qt::UserRole).toInt());
        painter->save();
        painter->fillRect(row, kBackground);
        painter->setPen(group ? QColor(Qt::black) : QColor(0, 0, 255));
        painter->setFont(option.font);
        const QRect textRect(row.left() + 25, row.top(), qMax(0, row.width() - 25), row.height());
        painter->drawText(textRect, Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine,
                          index.data(Qt::DisplayRole).toString());
        const QPixmap& bitmap = group ? m_list->GetGroupBitmap() : m_list->GetEntryBitmap();
        if (!bitmap.isNull()) {
            // Combined with the row as the bitmap's AND raster operation does.
            painter->setCompositionMode(QPainter::RasterOp_SourceAndDestination);
            painter->drawPixmap(QRect(row.left(), row.top() + 8, 16, 16), bitmap);
            painter->setCompositionMode(QPainter::CompositionMode_SourceOver);
        }
        if (option.state & QStyle::State_Selected) {
            painter->setPen(kSelectionFrame);
            painter->setBrush(Qt::NoBrush);
            painter->drawRect(row.adjusted(0, 0, -1, -1));
        }
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
    QPalette palette = viewport()->palette();
    palette.setColor(QPalette::Base, kBackground);
    palette.setColor(QPalette::Window, kBackground);
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
