#include "CReportStoreModel.h"

#include "CReportStore.h"

void CReportStoreModel::SetStore(const CReportStore* store, int shownColumns)
{
    beginResetModel();
    m_store = store;
    m_shownColumns = store ? qBound(0, shownColumns, store->ColumnCount()) : 0;
    endResetModel();
}

void CReportStoreModel::RowsReordered()
{
    // Every row may hold another record now: the view forgets its selection
    // as it did when the list was filled anew.
    beginResetModel();
    endResetModel();
}

void CReportStoreModel::CellsChanged()
{
    if (rowCount() > 0 && columnCount() > 0)
        Q_EMIT dataChanged(index(0, 0), index(rowCount() - 1, columnCount() - 1), {Qt::DisplayRole});
}

int CReportStoreModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() || !m_store || m_shownColumns == 0 ? 0 : m_store->RowCount();
}

int CReportStoreModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : m_shownColumns;
}

QVariant CReportStoreModel::data(const QModelIndex& index, int role) const
{
    if (!m_store || !index.isValid() || (role != Qt::DisplayRole && role != Qt::EditRole))
        return {};
    return m_store->Cell(index.row(), index.column());
}

QVariant CReportStoreModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole || !m_store)
        return {};
    return m_store->Titles().value(section);
}
