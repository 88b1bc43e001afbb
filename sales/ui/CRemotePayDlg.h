#pragma once

#include "CKvDialog.h"

#include <QString>

class QLineEdit;

// The payment found for the user by the remote payment library, dialog 191:
// the amount, read-only; OK takes it for the sale.
class CRemotePayDlg : public CKvDialog
{
    Q_OBJECT

public:
    CRemotePayDlg(QWidget* parent, const QString& caption);
    ~CRemotePayDlg() override;

    QString m_strAmount; // 1164

protected:
    bool DoDataExchange(bool saveAndValidate) override;

private:
    QLineEdit* m_amount;
};
