#include "CSubRaw.h"

#include "CAdoConnection.h"
#include "CAdoRecordset.h"
#include "CKvException.h"
#include "KvRowWrite.h"
#include "KvSql.h"
#include "SysGlobals.h"

#include <memory>

CSubRaw::CSubRaw() : m_ReadDate(GetServerDate()) {}

void CSubRaw::Insert()
{
    GetMainDatabase()->Execute(KvFormatSql(QStringLiteral("insert into SubRaw(MeterNo, SubX, ReadPulses, BaseRead, "
                                                          "ReadDate) \t\tvalues('%08s', '%s', %d, %f, CDate('%s'))"),
                                           m_MeterNo, m_SubX, m_ReadPulses, m_BaseRead, KvDateText(m_ReadDate.date())),
                               QString());
    SetState(StateStored);
}

void CSubRaw::Delete()
{
    // A row already gone (deleted at another station) must not let the same
    // record be archived twice.
    KvExecuteRowChange(KvFormatSql(QStringLiteral("delete from SubRaw where RawIndex = %d"), m_RawIndex), QString(),
                       QStringLiteral("从数据库删除附表原始读数时发生错误！"));
}

QList<CKvObject*>& CSubRawList::Load(const QString& sql)
{
    return LoadRows(*GetMainDatabase(), sql, [](const CAdoRecordset& rs) {
        auto raw = std::make_unique<CSubRaw>();
        raw->SetRawIndex(rs.GetFieldInt(QStringLiteral("RawIndex")));
        raw->SetMeterNo(rs.GetFieldString(QStringLiteral("MeterNo")));
        raw->SetSubX(rs.GetFieldString(QStringLiteral("SubX")));
        raw->SetReadPulses(rs.GetFieldInt(QStringLiteral("ReadPulses")));
        raw->SetBaseRead(rs.GetFieldDouble(QStringLiteral("BaseRead")));
        raw->SetReadDate(rs.GetFieldDateTime(QStringLiteral("ReadDate")));
        return raw.release();
    });
}

QList<CKvObject*>& CSubRawList::LoadAll()
{
    return Load(QStringLiteral("select * from SubRaw"));
}

void CSubRawList::Remove(CSubRaw* record)
{
    DeleteRow(record);
    Forget(record);
}

void CSubRawList::DeleteRow(CSubRaw* record)
{
    if (!Contains(record))
        throw CKvException(QStringLiteral("从数据库删除附表原始读数时发生位置错误！"));
    record->Delete();
}
