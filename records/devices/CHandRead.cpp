#include "CHandRead.h"

#include "CAdoConnection.h"
#include "CSysPara.h"
#include "KvSql.h"
#include "SysGlobals.h"

CHandRead::CHandRead() : m_LastReadTime(GetServerTime()), m_ThisReadTime(m_LastReadTime) {}

void CHandRead::InsertNew()
{
    m_ReadIndex = GetMainSysPara()->GetIntPara(QStringLiteral("HandReadIndex"), 1);
    Insert();
}

void CHandRead::Insert()
{
    GetMainDatabase()->Execute(
        KvFormatSql(QStringLiteral("insert into HandRead(ReadIndex, MeterNo, CliPreIndex, LastRead, ThisRead, Mul, "
                                   "RealUse, LastReadTime, ThisReadTime) "
                                   "values(%d, '%s', %d, %f, %f, %d, %f, CDate('%s'), CDate('%s'))"),
                    m_ReadIndex, m_MeterNo, m_CliPreIndex, m_LastRead, m_ThisRead, m_Mul, m_RealUse,
                    KvDateText(m_LastReadTime), KvDateText(m_ThisReadTime)),
        QString());
    SetState(StateStored);
}

void CHandRead::Delete()
{
    GetMainDatabase()->Execute(KvFormatSql(QStringLiteral("delete from HandRead where ReadIndex = %d"), m_ReadIndex),
                               QString());
}

void CHandRead::DeleteByMeterNo(const QString& meterNo)
{
    GetMainDatabase()->Execute(KvFormatSql(QStringLiteral("delete from HandRead where MeterNo = '%s'"), meterNo),
                               QString());
}
