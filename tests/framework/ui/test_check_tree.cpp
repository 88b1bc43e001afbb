#include "CCheckTreeCtrl.h"
#include "KvUiTestUtil.h"

#include <gtest/gtest.h>

namespace {

using States = std::vector<int>;

// 全部权限
//   A: a1 a2 a3
//   B: b1
class CheckTree : public ::testing::Test
{
protected:
    void SetUp() override
    {
        m_tree.LoadStateIcons(140, 138, 139, 142);
        m_root = new QTreeWidgetItem(&m_tree, QStringList{QStringLiteral("全部权限")});
        m_a = new QTreeWidgetItem(m_root, QStringList{QStringLiteral("A")});
        for (const char* name : {"a1", "a2", "a3"})
            m_as.push_back(new QTreeWidgetItem(m_a, QStringList{QString::fromLatin1(name)}));
        m_b = new QTreeWidgetItem(m_root, QStringList{QStringLiteral("B")});
        m_b1 = new QTreeWidgetItem(m_b, QStringList{QStringLiteral("b1")});
        m_tree.SetCheckRecursive(m_root, 1);
        m_tree.expandAll();
    }

    // States of root, A, a1, a2, a3, B, b1.
    States Snapshot() const
    {
        States states{m_tree.GetCheckState(m_root), m_tree.GetCheckState(m_a)};
        for (QTreeWidgetItem* item : m_as)
            states.push_back(m_tree.GetCheckState(item));
        states.push_back(m_tree.GetCheckState(m_b));
        states.push_back(m_tree.GetCheckState(m_b1));
        return states;
    }

    CCheckTreeCtrl m_tree;
    QTreeWidgetItem* m_root = nullptr;
    QTreeWidgetItem* m_a = nullptr;
    std::vector<QTreeWidgetItem*> m_as;
    QTreeWidgetItem* m_b = nullptr;
    QTreeWidgetItem* m_b1 = nullptr;
};

TEST_F(CheckTree, TickingAndUntickingAGroupAndItsEntries)
{
    m_tree.OnClickItem(m_a);
    EXPECT_EQ(Snapshot(), (States{3, 2, 2, 2, 2, 1, 1}));
    m_tree.OnClickItem(m_as[0]);
    EXPECT_EQ(Snapshot(), (States{3, 3, 1, 2, 2, 1, 1}));
    m_tree.OnClickItem(m_as[1]);
    m_tree.OnClickItem(m_as[2]);
    EXPECT_EQ(Snapshot(), (States{1, 1, 1, 1, 1, 1, 1}));
    m_tree.OnClickItem(m_b1);
    EXPECT_EQ(Snapshot(), (States{3, 1, 1, 1, 1, 2, 2}));
    m_tree.OnClickItem(m_a);
    EXPECT_EQ(Snapshot(), (States{2, 2, 2, 2, 2, 2, 2}));
}

TEST_F(CheckTree, ClickOnAPartlyTickedItemUnticksItsWholeSubtree)
{
    m_tree.OnClickItem(m_as[1]);
    m_tree.OnClickItem(m_b1);
    ASSERT_EQ(Snapshot(), (States{3, 3, 1, 2, 1, 2, 2}));
    m_tree.OnClickItem(m_a);
    EXPECT_EQ(Snapshot(), (States{3, 1, 1, 1, 1, 2, 2}));
    m_tree.OnClickItem(m_as[1]);
    ASSERT_EQ(m_tree.GetCheckState(m_root), 3);
    m_tree.OnClickItem(m_root);
    EXPECT_EQ(Snapshot(), (States{1, 1, 1, 1, 1, 1, 1}));
}

TEST_F(CheckTree, APartlyTickedChildKeepsItsParentPartlyTicked)
{
    // B ticked (2) and A partly ticked (1) score 3 of 4.
    m_tree.OnClickItem(m_b1);
    m_tree.OnClickItem(m_as[0]);
    EXPECT_EQ(m_tree.GetCheckState(m_root), 3);
    // Loading rights the way the operator editor does.
    m_tree.SetCheckRecursive(m_as[1], 2);
    m_tree.UpdateParents(m_as[1], m_as[1]);
    m_tree.SetCheckRecursive(m_as[2], 2);
    m_tree.UpdateParents(m_as[2], m_as[2]);
    EXPECT_EQ(Snapshot(), (States{2, 2, 2, 2, 2, 2, 2}));
}

TEST_F(CheckTree, LockedTreeChangesNoState)
{
    m_tree.OnClickItem(m_as[0]);
    const States before = Snapshot();
    m_tree.SetLocked(1);
    for (QTreeWidgetItem* item : {m_root, m_a, m_as[0], m_as[1], m_b1})
        m_tree.OnClickItem(item);
    EXPECT_EQ(Snapshot(), before);
    EXPECT_EQ(m_tree.currentItem(), m_b1); // the click still selects
}

TEST_F(CheckTree, OnlyAClickOnTheCheckBoxCounts)
{
    m_tree.resize(300, 300);
    ASSERT_TRUE(ShowActive(&m_tree));
    const QRect box = m_tree.StateIconRect(m_a);
    ASSERT_TRUE(box.isValid());
    const QRect row = m_tree.visualItemRect(m_a);
    MouseClick(m_tree.viewport(), QPoint(row.right() - 5, row.center().y())); // on the text
    EXPECT_EQ(m_tree.GetCheckState(m_a), 1);
    MouseClick(m_tree.viewport(), box.center());
    EXPECT_EQ(Snapshot(), (States{3, 2, 2, 2, 2, 1, 1}));
    EXPECT_EQ(m_tree.currentItem(), m_a);
}

TEST_F(CheckTree, SpaceOnTheCurrentItemAppliesTheRulesOfAClick)
{
    m_tree.resize(300, 300);
    ASSERT_TRUE(ShowActive(&m_tree));
    m_tree.setFocus();
    m_tree.setCurrentItem(m_a);
    PressKey(&m_tree, Qt::Key_Space, QStringLiteral(" "));
    EXPECT_EQ(Snapshot(), (States{3, 2, 2, 2, 2, 1, 1}));
    PressKey(&m_tree, Qt::Key_Down); // to the first child
    PressKey(&m_tree, Qt::Key_Space, QStringLiteral(" "));
    EXPECT_EQ(m_tree.GetCheckState(m_a), 3) << "a parent follows its children";
    PressKey(&m_tree, Qt::Key_Up);
    PressKey(&m_tree, Qt::Key_Space, QStringLiteral(" ")); // a partly ticked item is unticked
    EXPECT_EQ(Snapshot(), (States{1, 1, 1, 1, 1, 1, 1}));
    m_tree.SetLocked(1);
    PressKey(&m_tree, Qt::Key_Space, QStringLiteral(" "));
    EXPECT_EQ(m_tree.GetCheckState(m_a), 1) << "locked";
}

} // namespace
