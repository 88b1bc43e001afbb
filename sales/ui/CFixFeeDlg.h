#pragma once

#include "CKvDialog.h"

class CFixFeeList;
class CKvExtList2;
class QPushButton;

// The quota fees a sale collects (dialog 217): the user's unpaid fees, one
// row each, in which only the amount to charge can be changed. Confirming
// collects every row shown with the sale's write number in one transaction;
// declining collects none.
class CFixFeeDlg : public CKvDialog
{
    Q_OBJECT

public:
    CFixFeeDlg(QWidget* parent, const QString& caption);

    // Set by the caller before the dialog runs.
    CFixFeeList* m_pFixFeeList = nullptr; // not owned
    int m_WrtNum = -1;                    // the write number the collected rows get

    bool OnInitDialog() override;
    CKvExtList2* GetListCtrl() const { return m_List; }

protected:
    // Collects every row with the amount of its column 8; a failure rolls all
    // rows back and leaves the dialog open.
    void OnOK() override;

private:
    void FillRows();
    void OnDecline();

    CKvExtList2* m_List; // 1106
    QPushButton* m_confirm;
    QPushButton* m_decline;
};
