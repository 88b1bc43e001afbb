#include "CHandReadBase.h"

#include "CAdoConnection.h"
#include "CAdoRecordset.h"
#include "KvSql.h"
#include "SysGlobals.h"

#include <memory>

CHandReadBase::CHandReadBase() : m_LastReadTime(GetServerTime()), m_ThisReadTime(m_LastReadTime) {}

void CHandReadBase::Insert()
{
    GetMainDatabase()->Execute(
        KvFormatSql(QStringLiteral("insert into HandReadBase(MeterNo, LastRead, ThisRead, LastReadTime, ThisReadTime) "
                                   "values('%s', %f, %f, CDate('%s'), CDate('%s'))"),
                    m_MeterNo, m_LastRead, m_ThisRead, KvDateText(m_LastReadTime), KvDateText(m_ThisReadTime)),
        QString());
    SetState(StateStored);
}

void CHandReadBase::Delete()
{
    CHandReadBaseList::DeleteByMeterNo(m_MeterNo);
}

void CHandReadBase::Update()
{
    GetMainDatabase()->Execute(KvFormatSql(QStringLiteral("update HandReadBase set LastRead = %f, ThisRead = %f, "
                                                          "\t\tLastReadTime = CDate('%s'), ThisReadTime = CDate('%s') "
                                                          "where MeterNo = '%s'"),
                                           m_LastRead, m_ThisRead, KvDateText(m_LastReadTime),
                                           KvDateText(m_ThisReadTime), m_MeterNo),
                               QString());
    SetState(StateStored);
}

QList<CKvObject*>& CHandReadBaseList::Load(const QString& sql)
{
    return LoadRows(*GetMainDatabase(), sql, [](const CAdoRecordset& rs) {
        auto base = std::make_unique<CHandReadBase>();
        base->SetMeterNo(rs.GetFieldString(QStringLiteral("MeterNo")));
        base->SetLastRead(rs.GetFieldDouble(QStringLiteral("LastRead")));
        base->SetThisRead(rs.GetFieldDouble(QStringLiteral("ThisRead")));
        base->SetLastReadTime(rs.GetFieldDateTime(QStringLiteral("LastReadTime")));
        base->SetThisReadTime(rs.GetFieldDateTime(QStringLiteral("ThisReadTime")));
        return base.release();
    });
}

CHandReadBase* CHandReadBaseList::LoadByMeterNo(const QString& meterNo)
{
    Load(KvFormatSql(QStringLiteral("select * from HandReadBase where MeterNo = '%s'"), meterNo));
    return static_cast<CHandReadBase*>(GetHead());
}

bool CHandReadBaseList::ExistsMeterNo(const QString& meterNo)
{
    return GetMainDatabase()->RecordExists(
        KvFormatSql(QStringLiteral("select * from HandReadBase where MeterNo = '%s'"), meterNo), QString());
}

void CHandReadBaseList::DeleteByMeterNo(const QString& meterNo)
{
    GetMainDatabase()->Execute(KvFormatSql(QStringLiteral("delete from HandReadBase where MeterNo = '%s'"), meterNo),
                               QString());
}
