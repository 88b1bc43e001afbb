#pragma once

#include <QListWidget>
#include <QPixmap>

// The side panel's list of menu entries. Each row carries its menu id: a
// multiple of 100 is a group row (black text, group bitmap), any other id an
// entry row (blue text, entry bitmap). Rows are 28 pixels high on grey.
class CNavListBox : public QListWidget
{
    Q_OBJECT

public:
    static constexpr int kRowHeight = 28;

    explicit CNavListBox(QWidget* parent = nullptr);

    void SetGroupBitmap(const QPixmap& bitmap);
    void SetEntryBitmap(const QPixmap& bitmap);
    const QPixmap& GetGroupBitmap() const { return m_groupBitmap; }
    const QPixmap& GetEntryBitmap() const { return m_entryBitmap; }

    // Appends a row with its text and menu id; returns the row.
    int AddRow(const QString& text, int id);
    int GetItemData(int row) const;
    static bool IsGroupId(int id) { return id % 100 == 0; }

private:
    QPixmap m_groupBitmap;
    QPixmap m_entryBitmap;
};
