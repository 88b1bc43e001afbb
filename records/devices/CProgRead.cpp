#include "CProgRead.h"

#include "CAdoConnection.h"
#include "CAdoRecordset.h"
#include "CKvException.h"
#include "KvSql.h"
#include "SysGlobals.h"

#include <memory>

CProgRead::CProgRead() : m_ReadDate(GetServerDate()) {}

void CProgRead::Insert()
{
    GetMainDatabase()->Execute(KvFormatSql(QStringLiteral("insert into ProgRead(SubNo, ReadPulses, ReadDate) "
                                                          "\t\tvalues('%s', %d, CDate('%s'))"),
                                           m_SubNo, m_ReadPulses, KvDateText(m_ReadDate.date())),
                               QString());
    SetState(StateStored);
}

void CProgRead::Delete()
{
    GetMainDatabase()->Execute(KvFormatSql(QStringLiteral("delete from ProgRead where ProgIndex = %d"), m_ProgIndex),
                               QString());
}

void CProgRead::Update()
{
    GetMainDatabase()->Execute(KvFormatSql(QStringLiteral("update ProgRead set SubNo = '%s', ReadPulses = %d, "
                                                          "ReadDate = CDate('%s') \t\twhere ProgIndex = %d"),
                                           m_SubNo, m_ReadPulses, KvDateText(m_ReadDate.date()), m_ProgIndex),
                               QString());
    SetState(StateStored);
}

QList<CKvObject*>& CProgReadList::Load(const QString& sql)
{
    return LoadRows(*GetMainDatabase(), sql, [](const CAdoRecordset& rs) {
        auto read = std::make_unique<CProgRead>();
        read->SetProgIndex(rs.GetFieldInt(QStringLiteral("ProgIndex")));
        read->SetSubNo(rs.GetFieldString(QStringLiteral("SubNo")));
        read->SetReadPulses(rs.GetFieldInt(QStringLiteral("ReadPulses")));
        read->SetReadDate(rs.GetFieldDateTime(QStringLiteral("ReadDate")));
        return read.release();
    });
}

QList<CKvObject*>& CProgReadList::LoadBySubNo(const QString& subNo)
{
    return Load(KvFormatSql(QStringLiteral("select * from ProgRead where SubNo = '%s' order by ReadDate"), subNo));
}

void CProgReadList::Remove(CProgRead* record)
{
    if (!Contains(record))
        throw CKvException(QStringLiteral("从数据库删除抄表数发生位置错误！"));
    record->SetState(CKvPersistance::StateDelete);
    record->Save();
    CKvObjectList::Remove(record);
}

void CProgReadList::DeleteBySubNo(const QString& subNo)
{
    GetMainDatabase()->Execute(KvFormatSql(QStringLiteral("delete from ProgRead where SubNo = '%s'"), subNo),
                               QString());
}
