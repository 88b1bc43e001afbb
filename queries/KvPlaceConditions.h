#pragma once

#include "CQueryConditionBuilder.h"

#include <initializer_list>

// The person and place conditions that the condition blocks share under the
// same member names (CSaleCondition, CMeterCondition, CQuotaCondition): user
// code and name, district, building, floor, room, unit and department, each
// compared on the user row `a` and captioned with "；" after its piece.
enum class EPlacePiece
{
    ClientNo,       // exact code
    ClientNoPrefix, // code as a prefix
    ClientName,
    Block,
    Building,
    Floor,
    Room,
    Unit,
    Department
};

template <class K> void AddPlacePiece(CQueryConditionBuilder& b, const K& k, EPlacePiece piece)
{
    switch (piece) {
    case EPlacePiece::ClientNo:
        b.AddText(k.m_bClientNo, QStringLiteral(" and a.ClientNo = '%s'"), k.m_clientNo, QStringLiteral("用户代码："),
                  k.m_clientNo);
        break;
    case EPlacePiece::ClientNoPrefix:
        b.AddText(k.m_bClientNo, QStringLiteral(" and a.ClientNo like '%s%%' escape '\\'"), KvLikeLiteral(k.m_clientNo),
                  QStringLiteral("用户代码："), k.m_clientNo);
        break;
    case EPlacePiece::ClientName:
        b.AddText(k.m_bClientName, QStringLiteral(" and a.ClientName = '%s'"), k.m_clientName,
                  QStringLiteral("用户姓名："), k.m_clientName);
        break;
    case EPlacePiece::Block:
        b.AddText(k.m_bBlock, QStringLiteral(" and a.BlockNo = '%s'"), k.m_blockNo, QStringLiteral("小区："),
                  k.m_blockName);
        break;
    case EPlacePiece::Building:
        b.AddText(k.m_bBuilding, QStringLiteral(" and a.BuildingNo = '%s'"), k.m_buildingNo, QStringLiteral("楼幢："),
                  k.m_buildingName);
        break;
    case EPlacePiece::Floor:
        b.AddText(k.m_bFloor, QStringLiteral(" and a.LayerNo = '%s'"), k.m_floor, QStringLiteral("楼层："), k.m_floor);
        break;
    case EPlacePiece::Room:
        b.AddRoom(k.m_bRoom, QStringLiteral("a.RoomNo"), k.m_roomFrom, k.m_roomTo, QStringLiteral("房间："));
        break;
    case EPlacePiece::Unit:
        b.AddText(k.m_bUnit, QStringLiteral(" and a.Cell = '%s'"), k.m_unit, QStringLiteral("单元："), k.m_unit);
        break;
    case EPlacePiece::Department:
        b.AddText(k.m_bDepartment, QStringLiteral(" and a.DepartmentNo = '%s'"), k.m_departmentNo,
                  QStringLiteral("部门："), k.m_departmentName);
        break;
    }
}

// The pieces in the order the query appends them.
template <class K> void AddPlacePieces(CQueryConditionBuilder& b, const K& k, std::initializer_list<EPlacePiece> order)
{
    for (EPlacePiece piece : order)
        AddPlacePiece(b, k, piece);
}

// Copies the shared conditions between two condition blocks.
template <class From, class To> void CopyPlaceConditions(const From& from, To& to)
{
    to.m_bClientName = from.m_bClientName;
    to.m_bClientNo = from.m_bClientNo;
    to.m_bBlock = from.m_bBlock;
    to.m_bBuilding = from.m_bBuilding;
    to.m_bFloor = from.m_bFloor;
    to.m_bRoom = from.m_bRoom;
    to.m_bDepartment = from.m_bDepartment;
    to.m_bUnit = from.m_bUnit;
    to.m_clientName = from.m_clientName;
    to.m_clientNo = from.m_clientNo;
    to.m_blockNo = from.m_blockNo;
    to.m_buildingNo = from.m_buildingNo;
    to.m_floor = from.m_floor;
    to.m_roomFrom = from.m_roomFrom;
    to.m_roomTo = from.m_roomTo;
    to.m_departmentNo = from.m_departmentNo;
    to.m_unit = from.m_unit;
    to.m_blockName = from.m_blockName;
    to.m_buildingName = from.m_buildingName;
    to.m_departmentName = from.m_departmentName;
}
