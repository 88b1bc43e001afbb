#pragma once

#include "CKvObjectList.h"
#include "CKvPersistance.h"

#include <QString>

// A department (table Department): a code of 1 to 10 bytes and a name. The row
// "00" with an empty name stands for no department.
class CDepartment : public CKvPersistance
{
public:
    CDepartment() = default;

    const QString& GetDepartmentNo() const { return m_DepartmentNo; }
    const QString& GetDepartmentName() const { return m_DepartmentName; }
    void SetDepartmentNo(const QString& departmentNo) { m_DepartmentNo = departmentNo; }
    void SetDepartmentName(const QString& departmentName) { m_DepartmentName = departmentName; }

    // The code is typed by the operator, so a new department is only inserted.
    void InsertNew() override { Insert(); }
    void Insert() override;
    void Delete() override;
    // Writes the name only: the code is the key.
    void Update() override;

private:
    QString m_DepartmentNo;
    QString m_DepartmentName;
};

class CDepartmentList : public CKvRecordList<CDepartment>
{
public:
    QList<CKvObject*>& Load(const QString& sql) override;
    // Every department, the reserved one included (pick lists offer it as "none").
    QList<CKvObject*>& LoadAll();
    // The real departments, for the management list.
    QList<CKvObject*>& LoadWithoutReserved();
    // The departments whose code matches a LIKE pattern: its wildcards act.
    QList<CKvObject*>& LoadLike(const QString& pattern);
    // The first department that LoadLike finds with the code as the pattern, or
    // null: a code holding LIKE wildcards matches more than itself.
    CDepartment* FindByDepartmentNo(const QString& departmentNo);

    // A record of another list throws and nothing is written.
    void DeleteRecord(CDepartment* department);
    void UpdateRecord(CDepartment* department);

    // A failed query passes the database layer's error on.
    static bool ExistsDepartmentNo(const QString& departmentNo);
};
