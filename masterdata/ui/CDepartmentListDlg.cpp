#include "CDepartmentListDlg.h"

#include "CClient.h"
#include "CDepartmentEditDlg.h"
#include "CKvExtList2.h"

CDepartmentListDlg::CDepartmentListDlg(QWidget* parent, const QString& caption)
    : CMasterListDlg(133, parent, caption,
                     {1019,
                      {QStringLiteral("部门代码"), QStringLiteral("部门名称")},
                      50,
                      {QStringLiteral("增加部门(&A)"), QStringLiteral("修改部门(&M)"), QStringLiteral("删除部门(&D)"),
                       QStringLiteral("返回(&R)")},
                      false},
                     {QStringLiteral("请选择部门！"), QStringLiteral("请确认是否删除该部门？")})
{
}

void CDepartmentListDlg::FillRows(CKvExtList2& list)
{
    m_departmentList.LoadWithoutReserved();
    for (int i = 0; i < m_departmentList.GetCount(); ++i) {
        CDepartment* department = m_departmentList.At(i);
        const int row = list.InsertRow(i, department->GetDepartmentNo(), department);
        list.SetItemText(row, 1, department->GetDepartmentName());
    }
}

bool CDepartmentListDlg::EditDepartment(CDepartment& department, const QString& caption)
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
        m_departmentList,
        [this](CDepartment& department) { return EditDepartment(department, QStringLiteral("增加部门")); },
        [](const CDepartment& department) { return CDepartmentList::ExistsDepartmentNo(department.GetDepartmentNo()); },
        QStringLiteral("部门代码重复！"));
}

bool CDepartmentListDlg::ModifyRecord(CKvObject* record)
{
    auto* department = static_cast<CDepartment*>(record);
    if (!EditDepartment(*department, QStringLiteral("修改部门")))
        return false;
    m_departmentList.UpdateRecord(department);
    return true;
}

QString CDepartmentListDlg::DeleteRefusal(CKvObject* record)
{
    if (CClientList::ExistsInDepartment(static_cast<CDepartment*>(record)->GetDepartmentNo()))
        return QStringLiteral("该部门已建有用户档案，不能删除！");
    return QString();
}

void CDepartmentListDlg::DeleteRecord(CKvObject* record)
{
    m_departmentList.DeleteRecord(static_cast<CDepartment*>(record));
}
