#include "CBuilding.h"

#include "CAdoConnection.h"
#include "CAdoRecordset.h"
#include "KvMasterRows.h"
#include "KvRowWrite.h"
#include "KvSql.h"
#include "SysGlobals.h"

void CBuilding::Insert()
{
    GetMainDatabase()->Execute(
        KvFormatSql(QStringLiteral("insert into Building(BlockNo, BuildingNo, BuildingName) values('%s', '%s', '%s')"),
                    m_BlockNo, m_BuildingNo, m_BuildingName),
        QStringLiteral("向数据库增加楼幢时发生错误！"));
    SetState(StateStored);
}

void CBuilding::Delete()
{
    KvExecuteRowChange(KvFormatSql(QStringLiteral("delete from Building where BlockNo = '%s' and BuildingNo = '%s'"),
                                   m_BlockNo, m_BuildingNo),
                       QStringLiteral("从数据库删除楼幢时发生错误！"));
}

void CBuilding::Update()
{
    KvExecuteRowChange(
        KvFormatSql(
            QStringLiteral("update Building set BuildingName = '%s' where BlockNo = '%s' and BuildingNo = '%s'"),
            m_BuildingName, m_BlockNo, m_BuildingNo),
        QStringLiteral("向数据库更新楼幢时发生错误！"));
    SetState(StateStored);
}

QList<CKvObject*>& CBuildingList::Load(const QString& sql)
{
    return LoadRows(*GetMainDatabase(), sql, [](const CAdoRecordset& rs) {
        auto* building = new CBuilding;
        building->SetBlockNo(rs.GetFieldText(QStringLiteral("BlockNo")));
        building->SetBuildingNo(rs.GetFieldText(QStringLiteral("BuildingNo")));
        building->SetBuildingName(rs.GetFieldText(QStringLiteral("BuildingName")));
        return building;
    });
}

QList<CKvObject*>& CBuildingList::LoadAll()
{
    return Load(QStringLiteral("select * from Building"));
}

QList<CKvObject*>& CBuildingList::LoadWithoutReserved()
{
    return Load(QStringLiteral("select * from Building where BuildingNo <> '00' and BlockNo <> '00'"));
}

QList<CKvObject*>& CBuildingList::LoadByBlock(const QString& blockNo)
{
    return Load(KvFormatSql(QStringLiteral("select * from Building where BlockNo = '%s' or (BlockNo = '00' and "
                                           "BuildingNo = '00') order by BlockNo, BuildingNo"),
                            blockNo));
}

CBuilding* CBuildingList::FindBuilding(const QString& blockNo, const QString& buildingNo)
{
    Load(KvFormatSql(QStringLiteral("select * from Building where BlockNo = '%s' and BuildingNo = '%s'"), blockNo,
                     buildingNo));
    if (GetCount() == 0)
        Load(QStringLiteral("select * from Building where BlockNo = '00'"));
    return GetCount() > 0 ? At(0) : nullptr;
}

void CBuildingList::DeleteRecord(CBuilding* building)
{
    KvDeleteListMember(*this, building, QStringLiteral("从数据库删除楼幢发生位置错误！"));
}

void CBuildingList::UpdateRecord(CBuilding* building)
{
    KvUpdateListMember(*this, building, QStringLiteral("向数据库更新楼幢发生位置错误！"));
}

bool CBuildingList::ExistsBuilding(const QString& blockNo, const QString& buildingNo)
{
    return GetMainDatabase()->RecordExists(
        KvFormatSql(QStringLiteral("select BuildingNo from Building where BlockNo = '%s' and BuildingNo = '%s'"),
                    blockNo, buildingNo),
        QString());
}

bool CBuildingList::ExistsInBlock(const QString& blockNo)
{
    return GetMainDatabase()->RecordExists(
        KvFormatSql(QStringLiteral("select BuildingNo from Building where BlockNo = '%s'"), blockNo), QString());
}
