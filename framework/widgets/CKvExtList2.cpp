#include "CKvExtList2.h"

CKvExtList2::CKvExtList2(QWidget* parent) : CKvExtList2(EditorIds{723, 724, 725, 0}, parent) {}

CKvExtList2::CKvExtList2(const EditorIds& ids, QWidget* parent) : CKvExtListBase(ids, parent) {}

void CKvExtList2::OnHeaderClick(int column)
{
    if (column >= 0 && column < columnCount() && m_headerClickCallback)
        m_headerClickCallback(column, this);
}

void CKvExtList2::OnBeforeEdit(int row, int column, CKvColumnInfo& info)
{
    if (m_beforeEditCallback)
        m_beforeEditCallback(row, column, info, this);
}

void CKvExtList2::OnCellChanged(int row, int column, const QString& previous)
{
    if (m_changeCallback)
        m_changeCallback(row, column, previous, this);
}

void CKvExtList2::OnCellColour(CKvCellDC& dc, int row, int column) const
{
    if (m_cellColourCallback)
        m_cellColourCallback(dc, row, column, const_cast<CKvExtList2*>(this));
}
