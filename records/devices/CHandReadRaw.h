#pragma once

#include "CKvObjectList.h"
#include "CKvPersistance.h"

#include <QDateTime>
#include <QString>

// One meter reading uploaded by the meter reader and waiting to be archived
// (table HandReadRaw; RawIndex is numbered by the database).
class CHandReadRaw : public CKvPersistance
{
public:
    CHandReadRaw();

    void InsertNew() override { Insert(); }
    void Insert() override;
    void Delete() override;
    void Update() override {}

    int GetRawIndex() const { return m_RawIndex; }
    QString GetMeterNo() const { return m_MeterNo; }
    int GetAccuBuy() const { return m_AccuBuy; }
    double GetAccuUse() const { return m_AccuUse; }
    double GetAccuRemain() const { return m_AccuRemain; }
    QDateTime GetReadTime() const { return m_ReadTime; }

    void SetRawIndex(int value) { m_RawIndex = value; }
    void SetMeterNo(const QString& value) { m_MeterNo = value; }
    void SetAccuBuy(int value) { m_AccuBuy = value; }
    void SetAccuUse(double value) { m_AccuUse = value; }
    void SetAccuRemain(double value) { m_AccuRemain = value; }
    void SetReadTime(const QDateTime& value) { m_ReadTime = value; }

private:
    int m_RawIndex = 0;
    QString m_MeterNo;
    int m_AccuBuy = 0;
    double m_AccuUse = 0;
    double m_AccuRemain = 0;
    QDateTime m_ReadTime;
};

class CHandReadRawList : public CKvRecordList<CHandReadRaw>
{
public:
    QList<CKvObject*>& Load(const QString& sql) override;
    QList<CKvObject*>& LoadAll();
};
