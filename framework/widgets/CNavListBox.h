#pragma once

#include <QColor>
#include <QListWidget>
#include <QPixmap>

class QPainter;

// The side panel's list of menu entries. Each row carries its menu id: a
// multiple of 100 is a group row (black text, group bitmap), any other id an
// entry row (blue text, entry bitmap). Rows are 28 pixels high on grey.
class CNavListBox : public QListWidget
{
    Q_OBJECT

public:
    static constexpr int kRowHeight = 28;
    static QColor BackgroundColour() { return QColor(220, 220, 220); }
    static QColor FrameColour() { return QColor(35, 35, 35); }
    static QColor EntryTextColour() { return QColor(0, 0, 255); }

    explicit CNavListBox(QWidget* parent = nullptr);

    void SetGroupBitmap(const QPixmap& bitmap);
    void SetEntryBitmap(const QPixmap& bitmap);
    const QPixmap& GetGroupBitmap() const { return m_groupBitmap; }
    const QPixmap& GetEntryBitmap() const { return m_entryBitmap; }

    // Appends a row with its text and menu id; returns the row.
    int AddRow(const QString& text, int id);
    int GetItemData(int row) const;
    static bool IsGroupId(int id) { return id % 100 == 0; }

    // The height of every row.
    int MeasureItem() const { return kRowHeight; }
    // Draws one row into its rectangle: grey ground, the text from 25 pixels in,
    // the bitmap at the left edge 8 pixels down, and the frame of a selected row.
    void DrawItem(QPainter* painter, const QRect& rect, int row, bool selected) const;

private:
    QPixmap m_groupBitmap;
    QPixmap m_entryBitmap;
};
