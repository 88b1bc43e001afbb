#pragma once

#include "CKvObjectList.h"
#include "CKvPersistance.h"

#include <QString>

// A building (table Building), keyed by its district's code and a two-character
// building code. The row "00"/"00" with an empty name stands for no building; a
// user in a real district without a building carries the district's code and
// the building code "00".
class CBuilding : public CKvPersistance
{
public:
    CBuilding() = default;

    const QString& GetBuildingNo() const { return m_BuildingNo; }
    const QString& GetBuildingName() const { return m_BuildingName; }
    const QString& GetBlockNo() const { return m_BlockNo; }
    void SetBuildingNo(const QString& buildingNo) { m_BuildingNo = buildingNo; }
    void SetBuildingName(const QString& buildingName) { m_BuildingName = buildingName; }
    void SetBlockNo(const QString& blockNo) { m_BlockNo = blockNo; }

    // The codes are typed by the operator, so a new building is only inserted.
    void InsertNew() override { Insert(); }
    void Insert() override;
    void Delete() override;
    // Writes the name only: the two codes are the key.
    void Update() override;

private:
    QString m_BuildingNo;
    QString m_BuildingName;
    QString m_BlockNo;
};

class CBuildingList : public CKvRecordList<CBuilding>
{
public:
    QList<CKvObject*>& Load(const QString& sql) override;
    QList<CKvObject*>& LoadAll();
    // The real buildings of real districts, for the management list.
    QList<CKvObject*>& LoadWithoutReserved();
    // The buildings of one district and the reserved building (offered as
    // "none"), by district code and building code.
    QList<CKvObject*>& LoadByBlock(const QString& blockNo);
    // The building of those codes; one that does not exist yields the reserved
    // row (empty name), or null when even that is missing.
    CBuilding* FindBuilding(const QString& blockNo, const QString& buildingNo);

    // A record of another list throws and nothing is written.
    void DeleteRecord(CBuilding* building);
    void UpdateRecord(CBuilding* building);

    static bool ExistsBuilding(const QString& blockNo, const QString& buildingNo);
    // Whether any building stands in the district.
    static bool ExistsInBlock(const QString& blockNo);
};
