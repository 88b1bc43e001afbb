#include "CDepartmentListDlg.h"

#include "CClient.h"
#include "CDepartmentEditDlg.h"
#include "CKvExtList2.h"

CDepartmentListDlg::CDepartmentListDlg(QWidget* parent, const QString& caption)
    : CRecordListDlg(133, parent, caption,
                     {1019,
                      {QStringLiteral("部门代码"), QStringLiteral("部门名称")},
                      50,
                      {QStringLiteral("增加部门(&A)"), QStringLiteral("修改部门(&M)"), QStringLiteral("删除部门(&D)"),
                       QStringLiteral("返回(&R)")},
                      false},
                     {QStringLiteral("请选择部门！"), QStringLiteral("请确认是否删除该部门？")},
                     QStringLiteral("修改部门"))
{
}

void CDepartmentListDlg::FillRows(CKvExtList2& list)
{
    m_records.LoadWithoutReserved();
    for (int i = 0; i < m_records.GetCount(); ++i) {
        CDepartment* department = m_records.At(i);
        const int row = list.InsertRow(i, department->GetDepartmentNo(), department);
        list.SetItemText(row, 1, department->GetDepartmentName());
    }
}

bool CDepartmentListDlg::Edit(CDepartment& department, const QString& caption)
{
    CDepartmentEditDlg dlg(this, caption);
    dlg.m_strCode = department.GetDepartmentNo();
    dlg.m_strName = department.GetDepartmentName();
    if (dlg.DoModal() != IDOK)
        return false;
    department.SetDepartmentNo(dlg.m_strCode);
    department.SetDepartmentName(dlg.m_strName);
    return true;
}

void CDepartmentListDlg::OnAdd()
{
    RunAdd<CDepartment>(
        m_records, [this](CDepartment& department) { return Edit(department, QStringLiteral("增加部门")); },
        [](const CDepartment& department) { return CDepartmentList::ExistsDepartmentNo(department.GetDepartmentNo()); },
        QStringLiteral("部门代码重复！"));
}

QString CDepartmentListDlg::DeleteRefusal(CKvObject* record)
{
    if (CClientList::ExistsInDepartment(static_cast<CDepartment*>(record)->GetDepartmentNo()))
        return QStringLiteral("该部门已建有用户档案，不能删除！");
    return QString();
}
