#pragma once

#include "CKvExtListBase.h"

#include <functional>

// The common list with in-place editors: text, number or combo, per column.
// The owner is told before a cell is edited, after its text changed, while a
// cell is drawn and when a header is clicked (the list itself never sorts).
class CKvExtList2 : public CKvExtListBase
{
    Q_OBJECT

public:
    using ChangeCallback = std::function<void(int row, int column, const QString& previous, CKvExtList2* list)>;
    using BeforeEditCallback = std::function<void(int row, int column, CKvColumnInfo& info, CKvExtList2* list)>;
    using CellColourCallback = std::function<void(CKvCellDC& dc, int row, int column, CKvExtList2* list)>;
    using HeaderClickCallback = std::function<void(int column, CKvExtList2* list)>;

    explicit CKvExtList2(QWidget* parent = nullptr);

    void SetChangeCallback(ChangeCallback callback) { m_changeCallback = std::move(callback); }
    void SetBeforeEditCallback(BeforeEditCallback callback) { m_beforeEditCallback = std::move(callback); }
    void SetCellColourCallback(CellColourCallback callback) { m_cellColourCallback = std::move(callback); }
    void SetHeaderClickCallback(HeaderClickCallback callback) { m_headerClickCallback = std::move(callback); }

    // Hands a header click (by column) to the header-click callback.
    void OnHeaderClick(int column) override;

protected:
    CKvExtList2(const EditorIds& ids, QWidget* parent);

    void OnBeforeEdit(int row, int column, CKvColumnInfo& info) override;
    void OnCellChanged(int row, int column, const QString& previous) override;
    void OnCellColour(CKvCellDC& dc, int row, int column) const override;

private:
    ChangeCallback m_changeCallback;
    BeforeEditCallback m_beforeEditCallback;
    CellColourCallback m_cellColourCallback;
    HeaderClickCallback m_headerClickCallback;
};
