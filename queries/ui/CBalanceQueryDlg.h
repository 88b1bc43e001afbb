#pragma once

#include "CKvDialog.h"

class QButtonGroup;

// The balance query dialog (193): the total of all balances (余额汇总, the
// choice 0, preselected) or the balance of each user (余额明细, 1).
class CBalanceQueryDlg : public CKvDialog
{
    Q_OBJECT

public:
    CBalanceQueryDlg(QWidget* parent, const QString& caption);

    int GetChoice() const { return m_choice; }

protected:
    bool DoDataExchange(bool saveAndValidate) override;

private:
    int m_choice = 0;
    QButtonGroup* m_choices;
};
