#include "CKvExtList.h"

#include "CKvObject.h"
#include "KvImages.h"

#include <QPainter>
#include <QStyleOptionButton>

namespace {

// A 16 x 16 check mark on white, so that combining it with a cell (AND) keeps
// the cell's colour around the box.
QPixmap MakeCheckMark(QWidget* widget, bool ticked)
{
    QPixmap mark(16, 16);
    mark.fill(Qt::white);
    QPainter painter(&mark);
    QStyleOptionButton option;
    option.initFrom(widget);
    option.rect = QRect(1, 1, 13, 13);
    option.state = QStyle::State_Enabled | (ticked ? QStyle::State_On : QStyle::State_Off);
    option.palette.setColor(QPalette::Base, Qt::white);
    option.palette.setColor(QPalette::Window, Qt::white);
    widget->style()->drawPrimitive(QStyle::PE_IndicatorCheckBox, &option, &painter, widget);
    return mark;
}

} // namespace

CKvExtList::CKvExtList(QWidget* parent) : CKvExtListBase(EditorIds{713, 714, 715, 0}, parent) {}

void CKvExtList::LoadCheckBitmaps(int tickedId, int untickedId)
{
    if (m_bitmapsLoaded)
        return;
    m_bitmapsLoaded = 1;
    // The program's own marks; a number without an image gets the style's box.
    m_ticked = KvResourceImage(tickedId);
    m_unticked = KvResourceImage(untickedId);
    if (m_ticked.isNull())
        m_ticked = MakeCheckMark(this, true);
    if (m_unticked.isNull())
        m_unticked = MakeCheckMark(this, false);
    viewport()->update();
}

void CKvExtList::SetHideChecks(int hide)
{
    m_hideChecks = hide;
    viewport()->update();
}

int CKvExtList::GetCheck(int row) const
{
    const CKvObject* object = GetRowObject(row);
    return object ? object->GetCheck() : 0;
}

void CKvExtList::SetCheck(int row, int check)
{
    CKvObject* object = GetRowObject(row);
    if (!object)
        return;
    object->SetCheck(check);
    for (int column = 0; column < columnCount(); ++column)
        viewport()->update(CellRect(row, column));
}

void CKvExtList::OnCellClick(int row, int column)
{
    if (column == 0) {
        SetCheck(row, GetCheck(row) ? 0 : 1);
        if (m_clickCallback)
            m_clickCallback(row, 0, this);
        return;
    }
    const std::vector<CKvColumnInfo>& info = GetColumnInfo();
    if (column < int(info.size()) && info[column].m_kind == KV_EDIT_NONE) {
        HideEditors();
        if (m_clickCallback)
            m_clickCallback(row, column, this);
        return;
    }
    // In an unticked row the editor is only positioned, not shown.
    ShowEditor(row, column, CellRect(row, column), CanShowEditor(row, column));
    SelectRow(row);
}

bool CKvExtList::OnSpaceKey()
{
    // The keyboard's click on the current row's box, with the same rules.
    const int row = currentRow();
    if (row < 0 || row >= rowCount())
        return false;
    m_curRow = row;
    m_curCol = 0;
    OnCellClick(row, 0);
    return true;
}

bool CKvExtList::CanShowEditor(int row, int column) const
{
    return column > 0 && GetCheck(row) != 0;
}

void CKvExtList::OnBeforeEdit(int row, int column, CKvColumnInfo& info)
{
    if (m_beforeEditCallback)
        m_beforeEditCallback(row, column, info, this);
}

void CKvExtList::OnCellChanged(int row, int column, const QString& previous)
{
    if (m_changeCallback)
        m_changeCallback(row, column, previous, this);
}

void CKvExtList::OnCellColour(CKvCellDC& dc, int row, int column) const
{
    if (m_cellColourCallback)
        m_cellColourCallback(dc, row, column, const_cast<CKvExtList*>(this));
}

int CKvExtList::CellTextOffset(int column) const
{
    return column == 0 && !m_hideChecks ? 16 : 0;
}

void CKvExtList::PaintCellDecoration(QPainter* painter, const QRect& rect, int row, int column) const
{
    if (column != 0 || m_hideChecks || !m_bitmapsLoaded)
        return;
    painter->save();
    painter->setCompositionMode(QPainter::RasterOp_SourceAndDestination);
    painter->drawPixmap(rect.left(), rect.top() + 1, GetCheck(row) ? m_ticked : m_unticked);
    painter->restore();
}
