#include "CNavListBox.h"
#include "KvUiTestUtil.h"

#include <QImage>
#include <gtest/gtest.h>

namespace {

QPixmap Solid(const QColor& colour)
{
    QPixmap pixmap(16, 16);
    pixmap.fill(colour);
    return pixmap;
}

bool HasPixel(const QImage& image, const QRect& area, const std::function<bool(QColor)>& test)
{
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x)
            if (test(image.pixelColor(x, y)))
                return true;
    return false;
}

TEST(NavListBox, GroupAndEntryRowsAreDrawnApart)
{
    CNavListBox list;
    list.resize(200, 120);
    list.SetGroupBitmap(Solid(Qt::red));
    list.SetEntryBitmap(Solid(Qt::green));
    list.AddRow(QStringLiteral("MMMM"), 300);
    list.AddRow(QStringLiteral("MMMM"), 301);
    ASSERT_TRUE(ShowActive(&list));

    const QRect group = list.visualItemRect(list.item(0));
    const QRect entry = list.visualItemRect(list.item(1));
    EXPECT_EQ(group.height(), CNavListBox::kRowHeight);
    const QImage image = list.viewport()->grab().toImage();

    // The bitmaps are combined with the grey row (AND) at the left edge, 8 pixels down.
    EXPECT_EQ(image.pixelColor(group.left() + 4, group.top() + 12), QColor(220, 0, 0));
    EXPECT_EQ(image.pixelColor(entry.left() + 4, entry.top() + 12), QColor(0, 220, 0));
    EXPECT_EQ(image.pixelColor(entry.left() + 4, entry.top() + 4), QColor(220, 220, 220));

    const auto blue = [](QColor c) { return c.blue() > 150 && c.red() < 100 && c.green() < 100; };
    const auto dark = [](QColor c) { return c.red() < 80 && c.green() < 80 && c.blue() < 80; };
    const QRect groupText = group.adjusted(25, 0, 0, 0);
    const QRect entryText = entry.adjusted(25, 0, 0, 0);
    EXPECT_TRUE(HasPixel(image, groupText, dark));
    EXPECT_FALSE(HasPixel(image, groupText, blue));
    EXPECT_TRUE(HasPixel(image, entryText, blue));
}

TEST(NavListBox, SelectedRowGetsADarkFrame)
{
    CNavListBox list;
    list.resize(200, 120);
    list.AddRow(QStringLiteral("a"), 300);
    list.AddRow(QStringLiteral("b"), 301);
    ASSERT_TRUE(ShowActive(&list));
    const QRect row = list.visualItemRect(list.item(1));
    EXPECT_EQ(list.viewport()->grab().toImage().pixelColor(row.left(), row.top() + 14), QColor(220, 220, 220));
    list.setCurrentRow(1);
    const QImage image = list.viewport()->grab().toImage();
    EXPECT_EQ(image.pixelColor(row.left(), row.top() + 14), QColor(35, 35, 35));
    EXPECT_EQ(image.pixelColor(row.left() + 3, row.top() + 3), QColor(220, 220, 220));
    EXPECT_EQ(list.GetItemData(1), 301);

    // A row that loses the selection loses its frame.
    list.setCurrentRow(0);
    const QImage after = list.viewport()->grab().toImage();
    EXPECT_EQ(after.pixelColor(row.left(), row.top() + 14), QColor(220, 220, 220));
    const QRect first = list.visualItemRect(list.item(0));
    EXPECT_EQ(after.pixelColor(first.left(), first.top() + 14), QColor(35, 35, 35));
    EXPECT_EQ(list.MeasureItem(), 28);
}

} // namespace
