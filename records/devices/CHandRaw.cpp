#include "CHandRaw.h"

#include "CAdoConnection.h"
#include "CAdoRecordset.h"
#include "CKvException.h"
#include "KvRowWrite.h"
#include "KvSql.h"
#include "SysGlobals.h"

#include <memory>

CHandRaw::CHandRaw() : m_WrtTime(GetServerTime()) {}

void CHandRaw::Insert()
{
    GetMainDatabase()->Execute(
        KvFormatSql(QStringLiteral("insert into HandRaw(MeterNo, WrtNum, WrtValue, LimitValue, AlarmShold, "
                                   "CloseShold, AccuBuy, AccuUse, AccuRemain, OpMode, WrtTime) "
                                   "values('%s', %d, %d, '%s', %d, %d, %d, %f, %f, '%s', CDate('%s'))"),
                    m_MeterNo, m_WrtNum, m_WrtValue, m_LimitValue, m_AlarmShold, m_CloseShold, m_AccuBuy, m_AccuUse,
                    m_AccuRemain, m_OpMode, KvDateText(m_WrtTime)),
        QStringLiteral("向数据库增加售电数据时发生错误！"));
    SetState(StateStored);
}

void CHandRaw::Delete()
{
    // A row already gone was archived or deleted at another counter: taking
    // that for success would record the same sale twice.
    KvExecuteRowChange(KvFormatSql(QStringLiteral("delete from HandRaw where RawIndex = %d"), m_RawIndex), QString(),
                       QStringLiteral("上传的售电记录已不存在，可能已在其他工作站归档或删除！"));
}

QList<CKvObject*>& CHandRawList::Load(const QString& sql)
{
    return LoadRows(*GetMainDatabase(), sql, [](const CAdoRecordset& rs) {
        auto raw = std::make_unique<CHandRaw>();
        raw->SetRawIndex(rs.GetFieldInt(QStringLiteral("RawIndex")));
        raw->SetMeterNo(rs.GetFieldString(QStringLiteral("MeterNo")));
        raw->SetWrtNum(rs.GetFieldInt(QStringLiteral("WrtNum")));
        raw->SetWrtValue(rs.GetFieldInt(QStringLiteral("WrtValue")));
        raw->SetLimitValue(rs.GetFieldString(QStringLiteral("LimitValue")));
        raw->SetAlarmShold(rs.GetFieldInt(QStringLiteral("AlarmShold")));
        raw->SetCloseShold(rs.GetFieldInt(QStringLiteral("CloseShold")));
        raw->SetAccuBuy(rs.GetFieldInt(QStringLiteral("AccuBuy")));
        raw->SetAccuUse(rs.GetFieldDouble(QStringLiteral("AccuUse")));
        raw->SetAccuRemain(rs.GetFieldDouble(QStringLiteral("AccuRemain")));
        raw->SetOpMode(rs.GetFieldString(QStringLiteral("OpMode")));
        raw->SetWrtTime(rs.GetFieldDateTime(QStringLiteral("WrtTime")));
        return raw.release();
    });
}

QList<CKvObject*>& CHandRawList::LoadAll()
{
    return Load(QStringLiteral("select * from HandRaw"));
}

void CHandRawList::DeleteRecord(CKvObjectList& list, CKvPersistance* record)
{
    if (!record || record->GetList() != &list)
        throw CKvException(QStringLiteral("从数据库删除原始抄表时发生位置错误！"));
    record->SetState(CKvPersistance::StateDelete);
    record->Save();
    list.Remove(record);
}
