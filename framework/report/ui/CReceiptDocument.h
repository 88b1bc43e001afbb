#pragma once

#include "CPrintJob.h"
#include "CReceiptValues.h"

class CAdoConnection;

// The print job of sale receipts: one receipt a page, drawn from the stored
// receipt layout 1 of the local database. The creator sets the number of
// copies, fills the texts of every copy and hands the document to the print
// preview. The layout is read again every time printing begins.
class CReceiptDocument : public CPrintJob
{
public:
    // The layout that receipts are drawn from.
    static constexpr int ReceiptLayoutId = 1;

    // `localDb` holds the receipt layout; it must outlive the document.
    explicit CReceiptDocument(CAdoConnection& localDb, QWidget* owner = nullptr);

    // Discards the texts held and makes n copies of empty texts.
    void SetReceiptCount(int n);
    int GetReceiptCount() const { return m_values.GetReceiptCount(); }

    // The texts of the copies, by the indices of CReceiptValues.
    CReceiptValues& Values() { return m_values; }
    const CReceiptValues& Values() const { return m_values; }
    void SetCommonValue(int copy, int j, const QString& text) { m_values.SetCommon(copy, j, text); }
    void SetPriceValue(int copy, int row, int column, const QString& text)
    {
        m_values.SetPrice(copy, row, column, text);
    }
    void SetSubValue(int copy, int row, int column, const QString& text) { m_values.SetSub(copy, row, column, text); }
    void SetFeeValue(int copy, int row, int column, const QString& text) { m_values.SetFee(copy, row, column, text); }

    void Draw(CKvDC& dc) override;
    bool OnPreparePrinting(CPrintInfo& info) override;
    void OnPrepareDC(CKvDC& dc, CPrintInfo& info) override;
    void OnBeginPrinting(CKvDC& dc, CPrintInfo& info) override;
    void OnEndPrinting(CKvDC& dc, CPrintInfo& info) override;

    // Rebuilds the items of every copy from the layout rows; copy k lies k page
    // lengths lower. Begin printing calls it.
    void BuildItems();

private:
    CAdoConnection& m_db;
    CReceiptValues m_values;
};
