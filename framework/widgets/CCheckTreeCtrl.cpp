#include "CCheckTreeCtrl.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QStyledItemDelegate>

namespace {

// Draws items as usual but never toggles a check box by itself: clicks reach
// the tree's own rules (Space on the current item is one too, see keyPressEvent).
class CCheckTreeDelegate : public QStyledItemDelegate
{
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    bool editorEvent(QEvent*, QAbstractItemModel*, const QStyleOptionViewItem&, const QModelIndex&) override
    {
        return false;
    }

    void InitOption(QStyleOptionViewItem* option, const QModelIndex& index) const { initStyleOption(option, index); }
};

} // namespace

CCheckTreeCtrl::CCheckTreeCtrl(QWidget* parent) : QTreeWidget(parent)
{
    setItemDelegate(new CCheckTreeDelegate(this));
    setHeaderHidden(true);
}

void CCheckTreeCtrl::LoadStateIcons(int, int, int, int)
{
    if (m_iconsLoaded)
        return;
    m_iconsLoaded = 1;
    viewport()->update();
}

int CCheckTreeCtrl::GetCheckState(const QTreeWidgetItem* item) const
{
    if (!item)
        return 0;
    const QVariant value = item->data(0, Qt::CheckStateRole);
    if (!value.isValid())
        return 0;
    switch (value.value<Qt::CheckState>()) {
    case Qt::Checked:
        return 2;
    case Qt::PartiallyChecked:
        return 3;
    default:
        return 1;
    }
}

void CCheckTreeCtrl::SetCheckState(QTreeWidgetItem* item, int state)
{
    if (!item)
        return;
    switch (state) {
    case 1:
        item->setData(0, Qt::CheckStateRole, Qt::Unchecked);
        break;
    case 2:
        item->setData(0, Qt::CheckStateRole, Qt::Checked);
        break;
    case 3:
        item->setData(0, Qt::CheckStateRole, Qt::PartiallyChecked);
        break;
    default:
        item->setData(0, Qt::CheckStateRole, QVariant());
        break;
    }
}

void CCheckTreeCtrl::SetCheckRecursive(QTreeWidgetItem* item, int state)
{
    if (!item)
        return;
    SetCheckState(item, state);
    for (int i = 0; i < item->childCount(); ++i)
        SetCheckRecursive(item->child(i), state);
}

void CCheckTreeCtrl::UpdateParents(QTreeWidgetItem* item, QTreeWidgetItem* clicked)
{
    for (QTreeWidgetItem* ancestor = item ? item->parent() : nullptr; ancestor; ancestor = ancestor->parent()) {
        const int children = ancestor->childCount();
        int score = 0;
        for (int i = 0; i < children; ++i) {
            const QTreeWidgetItem* child = ancestor->child(i);
            const int state = GetCheckState(child);
            if (child == clicked)
                score += state == 2 ? 2 : 0;
            else
                score += state == 2 ? 2 : state == 3 ? 1 : 0;
        }
        if (children == 0 || score == 0)
            SetCheckState(ancestor, 1);
        else if (score == 2 * children)
            SetCheckState(ancestor, 2);
        else
            SetCheckState(ancestor, 3);
    }
}

void CCheckTreeCtrl::OnClickItem(QTreeWidgetItem* item)
{
    const int state = GetCheckState(item);
    if (state == 0)
        return;
    setCurrentItem(item);
    if (m_locked)
        return;
    const int next = state == 1 ? 2 : 1; // a partly ticked item is unticked
    SetCheckRecursive(item, next);
    UpdateParents(item, item);
}

QRect CCheckTreeCtrl::StateIconRect(QTreeWidgetItem* item) const
{
    if (GetCheckState(item) == 0)
        return {}; // no item, or one without a check box
    const QModelIndex index = indexFromItem(item, 0);
    auto* delegate = dynamic_cast<CCheckTreeDelegate*>(itemDelegateForIndex(index));
    if (!index.isValid() || !delegate)
        return {};
    QStyleOptionViewItem option;
    initViewItemOption(&option);
    option.rect = visualRect(index);
    delegate->InitOption(&option, index);
    return style()->subElementRect(QStyle::SE_ItemViewItemCheckIndicator, &option, this);
}

void CCheckTreeCtrl::keyPressEvent(QKeyEvent* event)
{
    // Space is the keyboard's click on the current item's box.
    if (event->key() == Qt::Key_Space && event->modifiers() == Qt::NoModifier && currentItem()) {
        OnClickItem(currentItem());
        return;
    }
    QTreeWidget::keyPressEvent(event);
}

void CCheckTreeCtrl::mouseReleaseEvent(QMouseEvent* event)
{
    QTreeWidget::mouseReleaseEvent(event);
    if (event->button() != Qt::LeftButton)
        return;
    const QPoint pos = event->position().toPoint();
    QTreeWidgetItem* item = itemAt(pos);
    if (item && StateIconRect(item).contains(pos))
        OnClickItem(item);
}
