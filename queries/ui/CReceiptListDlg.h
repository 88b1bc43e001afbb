#pragma once

#include "CKvDialog.h"

#include "CReportStore.h"

#include <QString>
#include <QStringList>
#include <memory>

class CResultList;
class CReceiptDocument;
class QLabel;

// The receipt list (dialog 182): the paid sales a receipt query found, one row
// a sale and a total row last, lent by the query. The operator sorts them by a
// column, reprints the selected sale's receipt or every listed sale's, and
// gives a sale a new bill number. Bill numbers given here are written into the
// payment row and into every listed row of the same sale.
class CReceiptListDlg : public CKvDialog
{
    Q_OBJECT

public:
    CReceiptListDlg(QWidget* parent, const QString& caption);
    ~CReceiptListDlg() override;

    // Keeps the store (the last two columns the hidden total fee and sale key)
    // by pointer; the caller frees it after the dialog has closed. Sorting
    // reorders its rows.
    void SetData(CReportStore* store);
    void SetRecordCountText(const QString& text) { m_recordCountText = text; }
    const QString& GetRecordCountText() const { return m_recordCountText; }

    const CReportStore* GetStore() const { return m_store; }
    int GetRowCount() const { return m_store ? m_store->RowCount() : 0; }
    CResultList* GetList() const { return m_list; }
    CReceiptDocument* GetReceiptDocument() const { return m_document.get(); }
    // The sale key a list row carries (0 for the total row).
    int RowWrtIndex(int row) const;

    bool OnInitDialog() override;

    // The header-click callback: orders the data rows ascending by the column.
    void SortByColumn(int column);
    void OnPrintOne();
    void OnPrintAll();
    void OnChangeBillNo();

    // Fills the receipts of one list row; false when they cannot be composed
    // (no price shares, a sale gone, a bill number not given or not stored).
    bool ComposeReceipt(int row, bool single);
    bool ComposeHead(int row, bool single);
    bool ComposePriceRows(int row, bool single);
    void ComposeReadingRows(int row, bool single);
    void ComposeFeeRows(int row, bool single);
    // Gives the sale of a row a bill number when it has none; false when the
    // sale is gone or the operator gave none.
    bool AssignBillNumber(int row, bool single);

private:
    void showRowsAnew();
    int dataRows() const { return GetRowCount() - 1; }
    QString cell(int row, int column) const;
    QStringList rowCells(int row) const;
    // The paper of the receipt layout; false (told) without a layout.
    bool setReceiptPaper();
    void showPreview();
    // Shows a bill number in every row of the sale, list and table.
    void showBillNumber(int wrtIndex, const QString& number);
    bool isDataRow(int row) const { return row >= 0 && row < dataRows(); }

    CReportStore* m_store = nullptr;
    int m_columns = 0;
    QString m_recordCountText;
    std::unique_ptr<CReceiptDocument> m_document;

    CResultList* m_list;  // 1152
    QLabel* m_countLabel; // 1284
};
