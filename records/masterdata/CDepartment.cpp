#include "CDepartment.h"

#include "CAdoConnection.h"
#include "CAdoRecordset.h"
#include "KvMasterRows.h"
#include "KvRowWrite.h"
#include "KvSql.h"
#include "SysGlobals.h"

void CDepartment::Insert()
{
    GetMainDatabase()->Execute(
        KvFormatSql(QStringLiteral("insert into Department(DepartmentNo, DepartmentName) values('%s', '%s')"),
                    m_DepartmentNo, m_DepartmentName),
        QStringLiteral("向数据库增加部门时发生错误！"));
    SetState(StateStored);
}

void CDepartment::Delete()
{
    KvExecuteRowChange(KvFormatSql(QStringLiteral("delete from Department where DepartmentNo = '%s'"), m_DepartmentNo),
                       QStringLiteral("从数据库删除部门时发生错误！"));
}

void CDepartment::Update()
{
    KvExecuteRowChange(
        KvFormatSql(QStringLiteral("update Department set DepartmentName = '%s' where DepartmentNo = '%s'"),
                    m_DepartmentName, m_DepartmentNo),
        QStringLiteral("向数据库更新部门时发生错误！"));
    SetState(StateStored);
}

QList<CKvObject*>& CDepartmentList::Load(const QString& sql)
{
    return LoadRows(*GetMainDatabase(), sql, [](const CAdoRecordset& rs) {
        auto* department = new CDepartment;
        department->SetDepartmentNo(rs.GetFieldText(QStringLiteral("DepartmentNo")));
        department->SetDepartmentName(rs.GetFieldText(QStringLiteral("DepartmentName")));
        return department;
    });
}

QList<CKvObject*>& CDepartmentList::LoadAll()
{
    return Load(QStringLiteral("select * from Department"));
}

QList<CKvObject*>& CDepartmentList::LoadWithoutReserved()
{
    return Load(QStringLiteral("select * from Department where DepartmentNo <> '00'"));
}

QList<CKvObject*>& CDepartmentList::LoadLike(const QString& pattern)
{
    return Load(KvFormatSql(QStringLiteral("select * from Department where DepartmentNo like '%s'"), pattern));
}

CDepartment* CDepartmentList::FindByDepartmentNo(const QString& departmentNo)
{
    LoadLike(departmentNo);
    return GetCount() > 0 ? At(0) : nullptr;
}

void CDepartmentList::DeleteRecord(CDepartment* department)
{
    KvDeleteListMember(*this, department, QStringLiteral("从数据库删除部门发生位置错误！"));
}

void CDepartmentList::UpdateRecord(CDepartment* department)
{
    KvUpdateListMember(*this, department, QStringLiteral("向数据库更新部门发生位置错误！"));
}

bool CDepartmentList::ExistsDepartmentNo(const QString& departmentNo)
{
    CAdoLease<CAdoRecordset> rs(GetMainDatabase()->AcquireRecordset());
    rs->Open(
        KvFormatSql(QStringLiteral("select DepartmentNo from Department where DepartmentNo = '%s'"), departmentNo));
    return rs->GetRecordCount() >= 1;
}
