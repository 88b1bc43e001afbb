#pragma once

#include <QTableView>
#include <functional>

class CReportStore;
class CReportStoreModel;

// The list of a query result: the rows of a lent result store shown through a
// model that makes a cell's text when it is drawn, so that a list of a million
// rows opens at once and holds no item per cell. It looks and answers as the
// other lists do (rows selected whole, a grid, the focus frame across the
// row); a click on a column heading goes to the owner, who sorts the store.
class CResultList : public QTableView
{
    Q_OBJECT

public:
    using HeaderClickCallback = std::function<void(int column, CResultList* list)>;

    explicit CResultList(QWidget* parent = nullptr);

    // Shows the first `shownColumns` columns of the store, titled by its titles.
    void SetStore(const CReportStore* store, int shownColumns);
    const CReportStore* GetStore() const;
    CReportStoreModel* GetModel() const { return m_model; }
    // The store's rows were sorted, or some of its cells changed.
    void RowsReordered();
    void CellsChanged();

    void SetHeaderClickCallback(HeaderClickCallback callback) { m_headerClickCallback = std::move(callback); }
    // Fixes the row height on the first call; later calls do nothing.
    void SetRowHeight(int height);

    int GetItemCount() const;
    int GetColumnCount() const;
    QString GetItemText(int row, int column) const;
    // The first selected row or -1.
    int GetSelectedRow() const;
    void SelectRow(int row);

protected:
    // Taking the focus by keyboard selects the current row (the first one
    // when there is none).
    void focusInEvent(QFocusEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    CReportStoreModel* m_model;
    HeaderClickCallback m_headerClickCallback;
    bool m_rowHeightSet = false;
};
