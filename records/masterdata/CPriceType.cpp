#include "CPriceType.h"

#include "CAdoConnection.h"
#include "CAdoRecordset.h"
#include "KvRowWrite.h"
#include "KvSql.h"
#include "SysGlobals.h"

#include <memory>

QStringList CPriceType::BuiltInTypes()
{
    return {QStringLiteral("预付费电价"), QStringLiteral("一卡抄水价"), QStringLiteral("一卡抄气价"),
            QStringLiteral("定额收费价")};
}

void CPriceType::InsertNew()
{
    Insert();
}

void CPriceType::Insert()
{
    GetMainDatabase()->Execute(
        KvFormatSql(QStringLiteral("insert into PriceType(PriceType, ReportTitle) \t\tvalues('%s', '%s')"), m_PriceType,
                    m_ReportTitle),
        QString());
    SetState(StateStored);
}

void CPriceType::Delete()
{
    KvExecuteRowChange(KvFormatSql(QStringLiteral("delete from PriceType where TypeIndex = %d"), m_TypeIndex),
                       QString());
}

void CPriceType::Update()
{
    KvExecuteRowChange(KvFormatSql(QStringLiteral("update PriceType set PriceType = '%s', ReportTitle = '%s' "
                                                  "where TypeIndex = %d"),
                                   m_PriceType, m_ReportTitle, m_TypeIndex),
                       QString());
    SetState(StateStored);
}

QList<CKvObject*>& CPriceTypeList::Load(const QString& sql)
{
    return LoadRows(*GetMainDatabase(), sql, [](const CAdoRecordset& rs) {
        auto type = std::make_unique<CPriceType>();
        type->SetTypeIndex(rs.GetFieldInt(QStringLiteral("TypeIndex")));
        type->SetPriceType(rs.GetFieldString(QStringLiteral("PriceType")));
        type->SetReportTitle(rs.GetFieldString(QStringLiteral("ReportTitle")));
        return type.release();
    });
}

QList<CKvObject*>& CPriceTypeList::LoadAll()
{
    return Load(QStringLiteral("select * from PriceType"));
}
