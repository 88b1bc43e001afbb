#pragma once

#include "CKvExtListBase.h"

#include <QPixmap>
#include <functional>

// The check-box list: column 0 shows each row object's check flag and a click
// there toggles it; the other columns are edited in place, in ticked rows only.
class CKvExtList : public CKvExtListBase
{
    Q_OBJECT

public:
    using ChangeCallback = std::function<void(int row, int column, const QString& previous, CKvExtList* list)>;
    using BeforeEditCallback = std::function<void(int row, int column, CKvColumnInfo& info, CKvExtList* list)>;
    using ClickCallback = std::function<void(int row, int column, CKvExtList* list)>;
    using CellColourCallback = std::function<void(CKvCellDC& dc, int row, int column, CKvExtList* list)>;

    explicit CKvExtList(QWidget* parent = nullptr);

    void SetChangeCallback(ChangeCallback callback) { m_changeCallback = std::move(callback); }
    void SetBeforeEditCallback(BeforeEditCallback callback) { m_beforeEditCallback = std::move(callback); }
    void SetClickCallback(ClickCallback callback) { m_clickCallback = std::move(callback); }
    void SetCellColourCallback(CellColourCallback callback) { m_cellColourCallback = std::move(callback); }

    // Loads the ticked and unticked marks of these resource numbers on the
    // first call (the dialogs use 158 and 159).
    void LoadCheckBitmaps(int tickedId, int untickedId);
    void SetHideChecks(int hide);
    int GetHideChecks() const { return m_hideChecks; }

    // The row object's check flag; 0 for a row without an object.
    int GetCheck(int row) const;
    // Sets the row object's check flag and redraws the row.
    void SetCheck(int row, int check);

protected:
    void OnCellClick(int row, int column) override;
    bool OnSpaceKey() override;
    void OnBeforeEdit(int row, int column, CKvColumnInfo& info) override;
    void OnCellChanged(int row, int column, const QString& previous) override;
    void OnCellColour(CKvCellDC& dc, int row, int column) const override;
    bool CanShowEditor(int row, int column) const override;
    int FirstEditableColumn() const override { return 1; }
    int CellTextOffset(int column) const override;
    void PaintCellDecoration(QPainter* painter, const QRect& rect, int row, int column) const override;

private:
    ChangeCallback m_changeCallback;
    BeforeEditCallback m_beforeEditCallback;
    ClickCallback m_clickCallback;
    CellColourCallback m_cellColourCallback;
    int m_bitmapsLoaded = 0;
    QPixmap m_ticked;
    QPixmap m_unticked;
    int m_hideChecks = 0;
};
