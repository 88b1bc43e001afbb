#pragma once

#include "CKvDialog.h"
#include "CPreModel.h"

class CKvExtList2;

// The meter types: add, modify and delete. A type that any meter names, now or
// in its history, cannot be deleted.
class CPreModelListDlg : public CKvDialog
{
    Q_OBJECT

public:
    CPreModelListDlg(QWidget* parent, const QString& caption);

    bool OnInitDialog() override;

    void OnAdd();
    void OnModify();
    void OnDelete();

    CKvExtList2* GetList() const { return m_list; }

private:
    void refill();
    CPreModel* selectedModel();

    CPreModelList m_models;
    CKvExtList2* m_list; // 1113
};
