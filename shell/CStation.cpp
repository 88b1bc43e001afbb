#include "CStation.h"

#include "CAdoCommand.h"
#include "CAdoConnection.h"
#include "CAdoRecordset.h"
#include "CKvException.h"
#include "KvSql.h"
#include "SysGlobals.h"

namespace {

// Runs one statement on the main connection; a statement that changes no row
// has not done what it was for, and says so with `failure`.
void executeChangingOne(const QString& sql, const QString& failure)
{
    CAdoLease<CAdoCommand> command(GetMainDatabase()->AcquireCommand());
    if (command->Execute(sql) == 0)
        throw CKvException(failure);
}

} // namespace

void CStation::Insert()
{
    executeChangingOne(KvFormatSql(QStringLiteral("insert into Station(StationNo, StationName) \t\tvalues('%s', '%s')"),
                                   m_stationNo, m_stationName),
                       QStringLiteral("向数据库增加工作站时发生错误！"));
    SetState(StateStored);
}

void CStation::Update()
{
    executeChangingOne(KvFormatSql(QStringLiteral("update Station set StationName = '%s' where StationNo = '%s'"),
                                   m_stationName, m_stationNo),
                       QStringLiteral("向数据库更新工作站时发生错误！"));
    SetState(StateStored);
}

void CStation::Delete()
{
    executeChangingOne(KvFormatSql(QStringLiteral("delete from Station where StationNo = '%s'"), m_stationNo),
                       QStringLiteral("从数据库删除工作站时发生错误！"));
}

QList<CKvObject*>& CStationList::Load(const QString& sql)
{
    return LoadRows(*GetMainDatabase(), sql, [](const CAdoRecordset& rs) -> CKvObject* {
        auto* station = new CStation;
        station->SetStationNo(rs.GetFieldText(QStringLiteral("StationNo")));
        station->SetStationName(rs.GetFieldText(QStringLiteral("StationName")));
        return station;
    });
}

QList<CKvObject*>& CStationList::LoadAll()
{
    return Load(QStringLiteral("select * from Station"));
}

bool CStationList::Exists(const QString& stationNo)
{
    CAdoLease<CAdoRecordset> rs(GetMainDatabase()->AcquireRecordset());
    rs->Open(KvFormatSql(QStringLiteral("select StationNo from Station where StationNo = '%s'"), stationNo));
    return !rs->IsEOF();
}

void CStationList::Add(const QString& stationNo, const QString& stationName)
{
    auto* station = new CStation;
    station->SetStationNo(stationNo);
    station->SetStationName(stationName);
    station->SetState(CKvPersistance::StateNewKeyed);
    try {
        station->Save();
    } catch (...) {
        delete station;
        throw;
    }
    CKvObjectList::Add(station);
}

void CStationList::Modify(CStation* station)
{
    station->SetState(CKvPersistance::StateChanged);
    station->Save();
}

void CStationList::Remove(CStation* station)
{
    station->SetState(CKvPersistance::StateDelete);
    station->Save();
    CKvObjectList::Remove(station);
}
