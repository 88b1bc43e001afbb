#pragma once

#include <QAbstractTableModel>

class CReportStore;

// The rows of a result store as a table model: a cell's text is made when the
// view asks for it, so a list of a million rows holds no text of its own. The
// store is lent; after it has been sorted or changed the list calls
// RowsReordered or CellsChanged.
class CReportStoreModel : public QAbstractTableModel
{
    Q_OBJECT

public:
    explicit CReportStoreModel(QObject* parent = nullptr) : QAbstractTableModel(parent) {}

    // Shows the first `shownColumns` columns of a store (none: an empty list).
    void SetStore(const CReportStore* store, int shownColumns);
    const CReportStore* Store() const { return m_store; }

    void RowsReordered();
    void CellsChanged();

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

private:
    const CReportStore* m_store = nullptr;
    int m_shownColumns = 0;
};
