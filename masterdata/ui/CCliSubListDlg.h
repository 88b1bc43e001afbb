#pragma once

#include "CCliSub.h"
#include "CKvDialog.h"

class CCliPre;
class CKvExtList2;
class QPushButton;

// The current sub-meters of one main meter: add, modify (a new version),
// delete every row of a number with its readings, remove (the current row
// ends today). Deleting and removing need their rights.
class CCliSubListDlg : public CKvDialog
{
    Q_OBJECT

public:
    CCliSubListDlg(QWidget* parent, const QString& caption);

    // The main meter, set by the opener before the dialog runs; not owned.
    void SetCliPre(CCliPre* meter) { m_pCliPre = meter; }

    bool OnInitDialog() override;

    // Rows for the sub-meters of the list still in service, in list order.
    void FillList();
    void SetRow(int row, CCliSub* sub);

    void OnAdd();
    void OnModify();
    void OnDelete();
    void OnRemove();

    CKvExtList2* GetList() const { return m_list; }
    CCliSubList& GetSubList() { return m_subs; }

private:
    CCliSub* selectedSub();
    void reload();

    CCliPre* m_pCliPre = nullptr;
    CCliSubList m_subs;
    QPushButton* m_removeButton; // 1118
    QPushButton* m_deleteButton; // 1026
    CKvExtList2* m_list;         // 1170
};
