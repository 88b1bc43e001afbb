#pragma once

#include <QColor>
#include <QString>
#include <QTableWidget>
#include <array>
#include <vector>

class CKvObject;
class CNumEdit;
class QComboBox;
class QLineEdit;
class QPainter;

// Editor kinds of a column.
enum KvEditorKind : int
{
    KV_EDIT_TEXT = 1,
    KV_EDIT_NUMBER = 2,
    KV_EDIT_COMBO = 3,
    KV_EDIT_DATE = 4, // CKvExtList4 only
    KV_EDIT_NONE = 5,
};

// What a column is edited with: the kind, the combo's choices separated by "|",
// and a number that the editors do not use.
struct CKvColumnInfo
{
    int m_kind = KV_EDIT_NONE;
    QString m_items;
    int m_data = 0;
};

// Text colours of value cells in lists with in-place editors, which owners set
// in their cell-colour callbacks: editable values blue, values fixed by rules dark red.
inline QColor KvEditableCellColour()
{
    return QColor(0, 0, 255);
}
inline QColor KvFixedCellColour()
{
    return QColor(180, 0, 0);
}

// The look and behaviour every list shares: whole rows selected one at a
// time, no editing or sorting by the view itself, no grid of the view's own
// (the cells draw theirs), no row numbers, left-aligned clickable headings.
void KvSetUpListView(QTableView& view);
// Draws the focus frame across a row of a list.
void KvDrawRowFocusFrame(QTableView& view, int row);

// Draws the text of a list cell, whose background is filled, and its grid:
// the cell's right edge and the row's bottom line.
void KvDrawListCellText(QPainter* painter, const QRect& rect, const QString& text, const QColor& colour,
                        bool highlighted, int textOffset);
// The room a cell needs beside its text: the text's margins on both sides
// and the grid line.
inline constexpr int kKvCellTextMargins = 2 + 2 + 2;

// The colours a cell is drawn in; the cell-colour callback may change them.
struct CKvCellDC
{
    QColor m_text;
    QColor m_background;

    void SetTextColor(const QColor& colour) { m_text = colour; }
    void SetBkColor(const QColor& colour) { m_background = colour; }
    QColor GetTextColor() const { return m_text; }
    QColor GetBkColor() const { return m_background; }
};

// What the three list controls share: rows that carry record objects (not
// owned), cells drawn with a grid and the owner's colours, and one editor per
// kind that is moved over the cell being edited. The editors write every change
// into the cell at once and report it with the text the cell had before.
class CKvExtListBase : public QTableWidget
{
    Q_OBJECT

public:
    // Control numbers of the editors: text, numeric, combo, date.
    struct EditorIds
    {
        int text;
        int number;
        int combo;
        int date;
    };

    CKvExtListBase(const EditorIds& ids, QWidget* parent);
    ~CKvExtListBase() override;

    // Report-view operations.
    int InsertColumn(int column, const QString& heading, int width = -1);
    int InsertRow(int index, const QString& text, CKvObject* data);
    CKvObject* GetRowObject(int row) const;
    CKvObject* GetItemData(int row) const { return GetRowObject(row); }
    void SetItemData(int row, CKvObject* data);
    QString GetItemText(int row, int column) const;
    void SetItemText(int row, int column, const QString& text);
    int GetItemCount() const { return rowCount(); }
    int GetColumnCount() const { return columnCount(); }
    void DeleteItem(int row);
    void DeleteAllItems();

    // The first selected row or -1; it also becomes the current row.
    int GetSelectedRow();
    void SelectRow(int row);
    // Fixes the row height on the first call; later calls do nothing.
    void SetRowHeight(int height);
    // The size that shows `rows` rows and every column without a scroll bar.
    QSize ContentSize(int rows) const;
    // Widens a column that is too narrow for a text it shows (never narrows
    // it): every column is at least as wide as its heading and the texts set
    // into it, whatever width its owner gave it.
    void WidenColumnFor(int column, const QString& text);

    // Column descriptors: allocated with defaults (kind 5) on the first click
    // unless the owner allocates and fills them after inserting the columns.
    void AllocColumnInfo();
    std::vector<CKvColumnInfo>& GetColumnInfo() { return m_columnInfo; }
    void SetColumnEditor(int column, int kind, const QString& items = QString());

    // 1 (default): selected rows are drawn highlighted and the focus is shown.
    void SetHighlight(int highlight);
    int GetHighlight() const { return m_highlight; }
    // A row >= 0 makes every click edit that row; -1 ends it.
    void SetFixedRow(int row);

    int GetCurrentRow() const { return m_curRow; }
    int GetCurrentColumn() const { return m_curCol; }

    // Opens the editor of a cell (the row is selected).
    virtual void BeginEdit(int row, int column);
    // A click on the list at a point of the viewport; the list calls it itself
    // for every left click.
    virtual void OnClick(const QPoint& pos);

    // The editors, created on first use (null before).
    QLineEdit* GetTextEditor() const { return m_textEdit; }
    CNumEdit* GetNumberEditor() const { return m_numEdit; }
    QComboBox* GetComboEditor() const { return m_combo; }
    QWidget* VisibleEditor() const;

    // Fills a combo with the "|"-separated items; a trailing "|" gives an empty last choice.
    static void FillCombo(QComboBox* combo, const QString& items);

    // Draws one cell: the owner's colours, the text, the grid.
    void PaintCell(QPainter* painter, const QRect& rect, int row, int column, bool selected) const;

protected:
    void ShowEditor(int row, int column, const QRect& rect, bool show);
    // Moves an editor over a cell and shows it (taking the focus) or only
    // positions it hidden; every other editor is hidden.
    void PlaceEditor(QWidget* chosen, const QRect& rect, bool show);
    void HideEditors();
    QRect CellRect(int row, int column) const;
    bool IsValidCell(int row, int column) const;

    // Hooks of the derived lists.
    virtual void OnBeforeEdit(int row, int column, CKvColumnInfo& info);
    virtual void OnCellChanged(int row, int column, const QString& previous);
    virtual void OnCellColour(CKvCellDC& dc, int row, int column) const;
    // Whether the editor of a cell is shown (otherwise only positioned).
    virtual bool CanShowEditor(int row, int column) const;
    // The first column that the arrow keys and BeginEdit may edit.
    virtual int FirstEditableColumn() const { return 0; }
    // Space at the start of a cell's text (the check box of the check list).
    virtual int CellTextOffset(int column) const;
    virtual void PaintCellDecoration(QPainter* painter, const QRect& rect, int row, int column) const;
    // Creates and shows an editor of a kind the base does not know; false when none.
    virtual bool ShowOtherEditor(int kind, int row, int column, const QRect& rect, bool show);
    virtual void HideOtherEditors() {}
    virtual QWidget* VisibleOtherEditor() const { return nullptr; }
    // Whether a cell of this editor kind gets an editor in this list.
    virtual bool OpensEditor(int kind) const;
    virtual void OnHeaderClick(int column);
    // A click that found its row and column: opens the column's editor there.
    virtual void OnCellClick(int row, int column);

    // The editors' keys: arrows move between cells, Tab and Shift+Tab go to
    // the next or previous editable cell (past the last or first one they leave
    // the list), Enter and Escape close the editor; their focus-out closes them.
    bool eventFilter(QObject* watched, QEvent* event) override;
    // Taking the focus by keyboard selects the current row (the first one
    // when there is none).
    void focusInEvent(QFocusEvent* event) override;
    // F2 or Enter opens the current cell's editor; Enter on a row without one
    // reports a double-click on it. Space goes to OnSpaceKey.
    void keyPressEvent(QKeyEvent* event) override;
    // Space on the focused list; true when it was used.
    virtual bool OnSpaceKey();
    // Rows from `first` on moved by `delta` (0: the edited row was removed);
    // the current row has been moved already.
    virtual void OnRowsShifted(int /*first*/, int /*delta*/) {}
    // Whether the focus is still in the editor or a pop-up of it.
    static bool FocusStaysIn(const QWidget* editor);
    // Closes the editor and moves the focus to the control after or before the list.
    void LeaveList(bool forward);
    // Opens the editor of the current cell (the first editable one of the row
    // when no column was edited yet).
    void OpenCurrentCell();
    void mouseReleaseEvent(QMouseEvent* event) override;
    void scrollContentsBy(int dx, int dy) override;
    void paintEvent(QPaintEvent* event) override;

    // Names an editor by its control number, hides it and routes its events
    // through the list's filter.
    void WatchEditor(QWidget* editor, int id);
    const EditorIds& Ids() const { return m_ids; }

    int m_clickFlag = 0;
    int m_curRow = -1;
    int m_curCol = -1;

private:
    void CreateEditors();
    std::array<QWidget*, 3> BaseEditors() const;
    void MoveEditCell(int key);
    // Whether the cell would open an editor that is shown (the before-edit hook
    // is asked as when it is opened).
    bool IsEditableCell(int row, int column);
    // Tab's move: to the next (or previous) editable cell of the row, then of
    // the following rows; from the last one out of the list.
    void StepEditCell(bool forward);
    // Moves the current row by `delta` and the open editor with it.
    void ShiftRows(int first, int delta);
    // An editor's new text goes into the cell being edited, then to the change hook.
    void WriteEditedCell(const QString& text);

    EditorIds m_ids;
    std::vector<CKvColumnInfo> m_columnInfo;
    int m_rowHeightSet = 0;
    int m_highlight = 1;
    int m_fixedRowFlag = 0;
    int m_fixedRow = -1;
    CNumEdit* m_numEdit = nullptr;
    QLineEdit* m_textEdit = nullptr;
    QComboBox* m_combo = nullptr;
    std::vector<QWidget*> m_watched; // every editor, the derived lists' too
    bool m_filling = false;
    bool m_inShowEditor = false;
};
