#include "CResultList.h"

#include "CKvExtListBase.h"
#include "CReportStoreModel.h"

#include <QApplication>
#include <QFocusEvent>
#include <QHeaderView>
#include <QPainter>
#include <QStyledItemDelegate>

namespace {

// Cells drawn as the other lists draw them: the system's colours, the
// selection highlighted, the text and the grid.
class CResultCellDelegate : public QStyledItemDelegate
{
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override
    {
        const QPalette system = QApplication::palette();
        const bool selected = option.state.testFlag(QStyle::State_Selected);
        painter->save();
        painter->setClipRect(option.rect);
        painter->fillRect(option.rect, system.color(QPalette::Active, selected ? QPalette::Highlight : QPalette::Base));
        KvDrawListCellText(painter, option.rect, index.data().toString(),
                           system.color(QPalette::Active, selected ? QPalette::HighlightedText : QPalette::Text),
                           selected, 0);
        painter->restore();
    }
};

} // namespace

CResultList::CResultList(QWidget* parent) : QTableView(parent), m_model(new CReportStoreModel(this))
{
    setModel(m_model);
    KvSetUpListView(*this);
    setItemDelegate(new CResultCellDelegate(this));
    connect(horizontalHeader(), &QHeaderView::sectionClicked, this, [this](int column) {
        if (column >= 0 && column < GetColumnCount() && m_headerClickCallback)
            m_headerClickCallback(column, this);
    });
}

void CResultList::SetStore(const CReportStore* store, int shownColumns)
{
    m_model->SetStore(store, shownColumns);
}

const CReportStore* CResultList::GetStore() const
{
    return m_model->Store();
}

void CResultList::RowsReordered()
{
    m_model->RowsReordered();
}

void CResultList::CellsChanged()
{
    m_model->CellsChanged();
}

void CResultList::SetRowHeight(int height)
{
    if (m_rowHeightSet || height <= 0)
        return;
    m_rowHeightSet = true;
    QHeaderView* rows = verticalHeader();
    rows->setMinimumSectionSize(qMin(rows->minimumSectionSize(), height));
    rows->setDefaultSectionSize(height);
    rows->setSectionResizeMode(QHeaderView::Fixed);
}

int CResultList::GetItemCount() const
{
    return m_model->rowCount();
}

int CResultList::GetColumnCount() const
{
    return m_model->columnCount();
}

QString CResultList::GetItemText(int row, int column) const
{
    if (row < 0 || row >= GetItemCount() || column < 0 || column >= GetColumnCount())
        return QString();
    return m_model->index(row, column).data().toString();
}

int CResultList::GetSelectedRow() const
{
    int first = -1;
    const QModelIndexList rows = selectionModel() ? selectionModel()->selectedRows() : QModelIndexList();
    for (const QModelIndex& index : rows)
        if (first < 0 || index.row() < first)
            first = index.row();
    return first;
}

void CResultList::SelectRow(int row)
{
    if (row < 0 || row >= GetItemCount())
        return;
    const QModelIndex index = m_model->index(row, qMax(0, currentIndex().column()));
    selectionModel()->setCurrentIndex(index, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
}

void CResultList::focusInEvent(QFocusEvent* event)
{
    QTableView::focusInEvent(event);
    // The row the focus frame stands on is the selected one, so that a command
    // on "the selected row" starts from what is shown. A click selects its own row.
    if (event->reason() != Qt::MouseFocusReason && GetItemCount() > 0 && selectionModel() &&
        !selectionModel()->hasSelection())
        SelectRow(currentIndex().isValid() ? currentIndex().row() : 0);
}

void CResultList::paintEvent(QPaintEvent* event)
{
    QTableView::paintEvent(event);
    const int row = currentIndex().row();
    if (!hasFocus() || row < 0 || GetColumnCount() == 0)
        return;
    KvDrawRowFocusFrame(*this, row);
}
