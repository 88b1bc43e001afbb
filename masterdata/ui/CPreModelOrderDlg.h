#pragma once

#include "CKvDialog.h"
#include "CPreModel.h"

class CKvExtList2;
class CMenuButton;

// Which meter types the meter dialog offers, and in which order: the types not
// offered on the left, the offered ones on the right in their order. A type
// that a meter names cannot be withdrawn.
class CPreModelOrderDlg : public CKvDialog
{
    Q_OBJECT

public:
    CPreModelOrderDlg(QWidget* parent, const QString& caption);

    bool OnInitDialog() override;

    void OnOffer();    // 1016: left to right
    void OnWithdraw(); // 1015: right to left
    void OnUp();       // 1017
    void OnDown();     // 1018

    CKvExtList2* GetLeftList() const { return m_left; }
    CKvExtList2* GetRightList() const { return m_right; }

protected:
    void OnOK() override;

private:
    static int insertRow(CKvExtList2* list, int index, CPreModel* model);
    // Moves the selected row of `from` to the end of `to`, selects it there and
    // selects in `from` the row that took its place (or the last row).
    static void moveSelected(CKvExtList2* from, CKvExtList2* to);
    void swapWithNeighbour(int step);

    CPreModelList m_models;
    CKvExtList2* m_left;  // 1013
    CKvExtList2* m_right; // 1014
};
