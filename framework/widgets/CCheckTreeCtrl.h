#pragma once

#include <QTreeWidget>

// A tree with three-state check boxes in column 0. Ticking an item ticks its
// whole subtree; every ancestor then shows whether all, some or none of its
// children are ticked. States: 1 not ticked, 2 ticked, 3 partly ticked
// (0: the item has no check box). The rules are the tree's own, not Qt's
// automatic tristate: a click on a partly ticked item unticks it.
class CCheckTreeCtrl : public QTreeWidget
{
    Q_OBJECT

public:
    explicit CCheckTreeCtrl(QWidget* parent = nullptr);

    // The check boxes are drawn by the style; the icon numbers are kept for the
    // callers and only the first call counts.
    void LoadStateIcons(int icon0, int icon1, int icon2, int icon3);

    int GetCheckState(const QTreeWidgetItem* item) const;
    void SetCheckState(QTreeWidgetItem* item, int state);
    void SetCheckRecursive(QTreeWidgetItem* item, int state);
    // Recomputes every ancestor of the item from its children; the clicked item
    // counts 2 when ticked and 0 otherwise.
    void UpdateParents(QTreeWidgetItem* item, QTreeWidgetItem* clicked);

    // While locked a click changes no state.
    void SetLocked(int locked) { m_locked = locked; }
    int IsLocked() const { return m_locked; }

    // A click on the item's check box: selects the item, then applies the rules.
    void OnClickItem(QTreeWidgetItem* item);
    // Where the item's check box is drawn, in viewport coordinates.
    QRect StateIconRect(QTreeWidgetItem* item) const;

protected:
    void mouseReleaseEvent(QMouseEvent* event) override;
    // Space on the current item acts as a click on its check box.
    void keyPressEvent(QKeyEvent* event) override;

private:
    int m_iconsLoaded = 0;
    int m_locked = 0;
};
