#include "CHandReadRaw.h"

#include "CAdoConnection.h"
#include "CAdoRecordset.h"
#include "KvRowWrite.h"
#include "KvSql.h"
#include "SysGlobals.h"

#include <memory>

CHandReadRaw::CHandReadRaw() : m_ReadTime(GetServerTime()) {}

void CHandReadRaw::Insert()
{
    GetMainDatabase()->Execute(
        KvFormatSql(QStringLiteral("insert into HandReadRaw(MeterNo, AccuBuy, AccuUse, AccuRemain, "
                                   "ReadTime) values('%s', %d, %f, %f, CDate('%s'))"),
                    m_MeterNo, m_AccuBuy, m_AccuUse, m_AccuRemain, KvDateText(m_ReadTime)),
        QString());
    SetState(StateStored);
}

void CHandReadRaw::Delete()
{
    // A row already gone was archived or deleted at another counter: taking
    // that for success would archive the same reading twice.
    KvExecuteRowChange(KvFormatSql(QStringLiteral("delete from HandReadRaw where RawIndex = %d"), m_RawIndex),
                       QString(), QStringLiteral("上传的抄表记录已不存在，可能已在其他工作站归档或删除！"));
}

QList<CKvObject*>& CHandReadRawList::Load(const QString& sql)
{
    return LoadRows(*GetMainDatabase(), sql, [](const CAdoRecordset& rs) {
        auto raw = std::make_unique<CHandReadRaw>();
        raw->SetRawIndex(rs.GetFieldInt(QStringLiteral("RawIndex")));
        raw->SetMeterNo(rs.GetFieldString(QStringLiteral("MeterNo")));
        raw->SetAccuBuy(rs.GetFieldInt(QStringLiteral("AccuBuy")));
        raw->SetAccuUse(rs.GetFieldDouble(QStringLiteral("AccuUse")));
        raw->SetAccuRemain(rs.GetFieldDouble(QStringLiteral("AccuRemain")));
        raw->SetReadTime(rs.GetFieldDateTime(QStringLiteral("ReadTime")));
        return raw.release();
    });
}

QList<CKvObject*>& CHandReadRawList::LoadAll()
{
    return Load(QStringLiteral("select * from HandReadRaw"));
}
