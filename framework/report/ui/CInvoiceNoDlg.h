#pragma once

#include "CKvDialog.h"

class CKvEdit;

// Asks for the number of the receipt about to be printed. An empty number is
// taken only after the operator confirms it.
class CInvoiceNoDlg : public CKvDialog
{
    Q_OBJECT

public:
    CInvoiceNoDlg(QWidget* parent, const QString& caption);

    // The number entered (trimmed); empty after Cancel.
    const QString& GetInvoiceNo() const { return m_invoiceNo; }

    bool OnInitDialog() override;

protected:
    void OnOK() override;

private:
    QString m_invoiceNo;
    CKvEdit* m_edit; // 1076
};
