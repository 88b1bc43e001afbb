#pragma once

#include "CKvObjectList.h"
#include "CKvPersistance.h"

#include <QString>

// One counter machine of the network edition: a two-digit number ("01" to
// "20", typed by the administrator) and a name.
class CStation : public CKvPersistance
{
public:
    CStation() = default;

    const QString& GetStationNo() const { return m_stationNo; }
    const QString& GetStationName() const { return m_stationName; }
    void SetStationNo(const QString& no) { m_stationNo = no; }
    void SetStationName(const QString& name) { m_stationName = name; }

    // The key is typed by the user: a new workstation is saved in state 1.
    void InsertNew() override {}
    void Insert() override;
    // Writes the name; the number never changes. No row changed is a failure.
    void Update() override;
    // No row deleted is a failure.
    void Delete() override;

private:
    QString m_stationNo;
    QString m_stationName;
};

// The workstations of the table Station, in the order the database gives them.
class CStationList : public CKvRecordList<CStation>
{
public:
    QList<CKvObject*>& Load(const QString& sql) override;
    QList<CKvObject*>& LoadAll();
    static bool Exists(const QString& stationNo);

    // Stores a new workstation and appends it; a failed insert appends nothing.
    void Add(const QString& stationNo, const QString& stationName);
    void Modify(CStation* station);
    // Deletes the row and removes (deletes) the record from the list.
    void Remove(CStation* station);
};
