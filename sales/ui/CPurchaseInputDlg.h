#pragma once

#include "CKvDialog.h"

#include <QString>

class CNumEdit;
class QLabel;
class QLineEdit;

// The purchase of a top-up (申购量, 变损, 补助量), dialog 224. The caller sets
// the caption, the texts and the unit; OK requires every figure, and a
// transformer loss of 0 or more.
class CPurchaseInputDlg : public CKvDialog
{
    Q_OBJECT

public:
    CPurchaseInputDlg(QWidget* parent, const QString& caption);
    ~CPurchaseInputDlg() override;

    bool OnInitDialog() override;

    QString m_strTransLoss; // 1036
    QString m_strPurchase;  // 1029
    QString m_strUnit;      // 1038, "度" or "元"
    QString m_strFormula;   // 1037
    QString m_strSubsidy;   // 1019

protected:
    bool DoDataExchange(bool saveAndValidate) override;
    void OnOK() override;

private:
    CNumEdit* m_transLoss;
    CNumEdit* m_purchase;
    QLabel* m_unit;
    QLabel* m_formula;
    QLineEdit* m_subsidy;
};
