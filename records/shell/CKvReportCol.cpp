#include "CKvReportCol.h"

#include "CAdoConnection.h"
#include "CAdoRecordset.h"
#include "KvSql.h"
#include "SysGlobals.h"

#include <memory>

void CKvReportCol::InsertNew()
{
    Insert();
}

void CKvReportCol::Insert()
{
    GetMainDatabase()->Execute(
        KvFormatSql(QStringLiteral("insert into KvReportCol(ReportId, ColHeader, ColX, ColWidth) "
                                   "\t\tvalues(%d, '%s', %d, %d)"),
                    m_ReportId, m_ColHeader, m_ColX, m_ColWidth),
        QStringLiteral("向数据库增加报表列时发生错误！"));
    SetState(StateStored);
}

void CKvReportCol::Delete()
{
    GetMainDatabase()->Execute(KvFormatSql(QStringLiteral("delete from KvReportCol where ColIndex = %d"), m_ColIndex),
                               QStringLiteral("从数据库删除报表列时发生错误！"));
}

QList<CKvObject*>& CKvReportColList::Load(const QString& sql)
{
    return LoadRows(*GetMainDatabase(), sql, [](const CAdoRecordset& rs) {
        auto column = std::make_unique<CKvReportCol>();
        column->SetColIndex(rs.GetFieldInt(QStringLiteral("ColIndex")));
        column->SetColHeader(rs.GetFieldString(QStringLiteral("ColHeader")));
        column->SetReportId(rs.GetFieldInt(QStringLiteral("ReportId")));
        column->SetColX(rs.GetFieldInt(QStringLiteral("ColX")));
        column->SetColWidth(rs.GetFieldInt(QStringLiteral("ColWidth")));
        return column.release();
    });
}

QList<CKvObject*>& CKvReportColList::LoadByReport(int reportId)
{
    return Load(KvFormatSql(QStringLiteral("select * from KvReportCol where ReportId = %d order by ColX"), reportId));
}

bool CKvReportColList::HasColumn(const QString& heading) const
{
    for (const CKvObject* object : GetObList())
        if (static_cast<const CKvReportCol*>(object)->GetColHeader() == heading)
            return true;
    return false;
}

void CKvReportColList::DeleteByReport(int reportId)
{
    GetMainDatabase()->Execute(KvFormatSql(QStringLiteral("delete from KvReportCol where ReportId = %d"), reportId),
                               QStringLiteral("从数据库删除报表列时发生错误！"));
}
