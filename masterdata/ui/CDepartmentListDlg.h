#pragma once

#include "CDepartment.h"
#include "CMasterListDlg.h"

// The departments (command 部门管理): every real department with its code and
// name. A department that users name is not deleted.
class CDepartmentListDlg : public CMasterListDlg
{
    Q_OBJECT

public:
    CDepartmentListDlg(QWidget* parent, const QString& caption);

protected:
    void FillRows(CKvExtList2& list) override;
    void OnAdd() override;
    bool ModifyRecord(CKvObject* record) override;
    QString DeleteRefusal(CKvObject* record) override;
    void DeleteRecord(CKvObject* record) override;

private:
    // Runs the edit dialog on the record's values; after OK the record holds
    // what was typed.
    bool EditDepartment(CDepartment& department, const QString& caption);

    CDepartmentList m_departmentList;
};
