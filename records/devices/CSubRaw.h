#pragma once

#include "CKvObjectList.h"
#include "CKvPersistance.h"

#include <QDateTime>
#include <QString>

// One sub-meter record delivered by the programmer and waiting to be archived
// as a sub-meter's settings or as a pulse reading (table SubRaw; RawIndex is
// numbered by the database).
class CSubRaw : public CKvPersistance
{
public:
    CSubRaw();

    void InsertNew() override { Insert(); }
    // The meter number goes in left-padded with 0 to at least 8 characters.
    void Insert() override;
    void Delete() override;
    void Update() override {}

    int GetRawIndex() const { return m_RawIndex; }
    QString GetMeterNo() const { return m_MeterNo; }
    QString GetSubX() const { return m_SubX; }
    int GetReadPulses() const { return m_ReadPulses; }
    double GetBaseRead() const { return m_BaseRead; }
    QDateTime GetReadDate() const { return m_ReadDate; }

    void SetRawIndex(int value) { m_RawIndex = value; }
    void SetMeterNo(const QString& value) { m_MeterNo = value; }
    void SetSubX(const QString& value) { m_SubX = value; }
    void SetReadPulses(int value) { m_ReadPulses = value; }
    void SetBaseRead(double value) { m_BaseRead = value; }
    void SetReadDate(const QDateTime& value) { m_ReadDate = value; }

private:
    int m_RawIndex = 0;
    QString m_MeterNo;
    QString m_SubX;
    int m_ReadPulses = 0;
    double m_BaseRead = 0;
    QDateTime m_ReadDate;
};

class CSubRawList : public CKvRecordList<CSubRaw>
{
public:
    QList<CKvObject*>& Load(const QString& sql) override;
    QList<CKvObject*>& LoadAll();
    // Deletes the record's row, then takes it out of the list and frees it.
    // A record of another list throws "从数据库删除附表原始读数时发生位置错误！"
    // and nothing is deleted; a failed delete leaves it in the list.
    void Remove(CSubRaw* record);
    // The two steps of Remove for an archive, whose transaction may still
    // fail after the row is deleted: DeleteRow inside the transaction (the
    // record stays listed), Forget after the commit.
    void DeleteRow(CSubRaw* record);
    void Forget(CSubRaw* record) { CKvObjectList::Remove(record); }
};
