#pragma once

#include "CKvObjectList.h"
#include "CKvPersistance.h"

#include <QDateTime>
#include <QString>

// One sub-meter pulse reading uploaded by the programmer (table ProgRead;
// ProgIndex is numbered by the database).
class CProgRead : public CKvPersistance
{
public:
    CProgRead();

    void InsertNew() override { Insert(); }
    void Insert() override;
    void Delete() override;
    void Update() override;

    int GetProgIndex() const { return m_ProgIndex; }
    QString GetSubNo() const { return m_SubNo; }
    int GetReadPulses() const { return m_ReadPulses; }
    QDateTime GetReadDate() const { return m_ReadDate; }

    void SetProgIndex(int value) { m_ProgIndex = value; }
    void SetSubNo(const QString& value) { m_SubNo = value; }
    void SetReadPulses(int value) { m_ReadPulses = value; }
    void SetReadDate(const QDateTime& value) { m_ReadDate = value; }

private:
    int m_ProgIndex = 0;
    QString m_SubNo;
    int m_ReadPulses = 0;
    QDateTime m_ReadDate;
};

class CProgReadList : public CKvRecordList<CProgRead>
{
public:
    QList<CKvObject*>& Load(const QString& sql) override;
    // Oldest first.
    QList<CKvObject*>& LoadBySubNo(const QString& subNo);
    // Deletes the reading's row, then takes it out of the list and frees it;
    // a failed delete leaves it in the list.
    void Remove(CProgRead* record);

    static void DeleteBySubNo(const QString& subNo);
};
