#pragma once

#include "CKvDialog.h"

#include <QString>

class CNumEdit;
class QLabel;
class QLineEdit;

// The money paid in or out at the counter, dialog 173: the amount due,
// read-only, and the amount paid, which is read-only too where it cannot
// differ (a sale by money, a refund).
class CPaymentDlg : public CKvDialog
{
    Q_OBJECT

public:
    CPaymentDlg(QWidget* parent, const QString& caption);
    ~CPaymentDlg() override;

    bool OnInitDialog() override;

    QString m_strMode;   // compared with "返卡退费"
    QString m_strPaid;   // 1164
    QString m_strDue;    // 1163
    QString m_strLabel1; // 1165, "应付款：" or "应退款："
    QString m_strLabel2; // 1166, "交款额：" or "退款额："

protected:
    bool DoDataExchange(bool saveAndValidate) override;

private:
    CNumEdit* m_paid;
    QLineEdit* m_due;
    QLabel* m_label1;
    QLabel* m_label2;
};
