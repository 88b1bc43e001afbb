#include "CHandReadRaw.h"

#include "CAdoConnection.h"
#include "CAdoRecordset.h"
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
    GetMainDatabase()->Execute(KvFormatSql(QStringLiteral("delete from HandReadRaw where RawIndex = %d"), m_RawIndex),
                               QString());
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
