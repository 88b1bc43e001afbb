#pragma once

#include "CKvDialog.h"

#include <QString>

class QLineEdit;

// The confirmation of a remotely paid sale, dialog 192: the amount due and the
// amount paid, both read-only.
class CPayConfirmDlg : public CKvDialog
{
    Q_OBJECT

public:
    CPayConfirmDlg(QWidget* parent, const QString& caption);
    ~CPayConfirmDlg() override;

    QString m_strDue;  // 1163
    QString m_strPaid; // 1164

protected:
    bool DoDataExchange(bool saveAndValidate) override;

private:
    QLineEdit* m_due;
    QLineEdit* m_paid;
};
