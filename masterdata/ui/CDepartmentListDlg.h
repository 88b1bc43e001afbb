#pragma once

#include "CDepartment.h"
#include "CMasterListDlg.h"

// The departments (command 部门管理): every real department with its code and
// name. A department that users name is not deleted.
class CDepartmentListDlg : public CRecordListDlg<CDepartment, CDepartmentList>
{
    Q_OBJECT

public:
    CDepartmentListDlg(QWidget* parent, const QString& caption);

protected:
    void FillRows(CKvExtList2& list) override;
    void OnAdd() override;
    QString DeleteRefusal(CKvObject* record) override;
    bool Edit(CDepartment& department, const QString& caption) override;
};
