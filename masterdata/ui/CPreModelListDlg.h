#pragma once

#include "CMasterListDlg.h"
#include "CPreModel.h"

// The meter types: add, modify and delete. A type that any meter names, now or
// in its history, cannot be deleted.
class CPreModelListDlg : public CMasterListDlg
{
    Q_OBJECT

public:
    CPreModelListDlg(QWidget* parent, const QString& caption);

    CKvExtList2* GetList() const { return GetListCtrl(); }

    bool OnInitDialog() override;

protected:
    void FillRows(CKvExtList2& list) override;
    void OnAdd() override;
    bool ModifyRecord(CKvObject* record) override;
    QString DeleteRefusal(CKvObject* record) override;
    void DeleteRecord(CKvObject* record) override;

private:
    bool editModel(CPreModel& model, const QString& caption);

    CPreModelList m_models;
};
