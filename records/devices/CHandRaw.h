#pragma once

#include "CKvObjectList.h"
#include "CKvPersistance.h"

#include <QDateTime>
#include <QString>

// One sale uploaded by the handheld sale machine and waiting to be archived
// (table HandRaw; RawIndex is numbered by the database).
class CHandRaw : public CKvPersistance
{
public:
    CHandRaw();

    void InsertNew() override { Insert(); }
    void Insert() override;
    void Delete() override;
    void Update() override {}

    int GetRawIndex() const { return m_RawIndex; }
    QString GetMeterNo() const { return m_MeterNo; }
    int GetWrtNum() const { return m_WrtNum; }
    int GetWrtValue() const { return m_WrtValue; }
    QString GetLimitValue() const { return m_LimitValue; }
    int GetAlarmShold() const { return m_AlarmShold; }
    int GetCloseShold() const { return m_CloseShold; }
    int GetAccuBuy() const { return m_AccuBuy; }
    double GetAccuUse() const { return m_AccuUse; }
    double GetAccuRemain() const { return m_AccuRemain; }
    QString GetOpMode() const { return m_OpMode; }
    QDateTime GetWrtTime() const { return m_WrtTime; }

    void SetRawIndex(int value) { m_RawIndex = value; }
    void SetMeterNo(const QString& value) { m_MeterNo = value; }
    void SetWrtNum(int value) { m_WrtNum = value; }
    void SetWrtValue(int value) { m_WrtValue = value; }
    void SetLimitValue(const QString& value) { m_LimitValue = value; }
    void SetAlarmShold(int value) { m_AlarmShold = value; }
    void SetCloseShold(int value) { m_CloseShold = value; }
    void SetAccuBuy(int value) { m_AccuBuy = value; }
    void SetAccuUse(double value) { m_AccuUse = value; }
    void SetAccuRemain(double value) { m_AccuRemain = value; }
    void SetOpMode(const QString& value) { m_OpMode = value; }
    void SetWrtTime(const QDateTime& value) { m_WrtTime = value; }

private:
    int m_RawIndex = 0;
    QString m_MeterNo;
    int m_WrtNum = -1;
    int m_WrtValue = 0;
    QString m_LimitValue;
    int m_AlarmShold = 0;
    int m_CloseShold = 0;
    int m_AccuBuy = 0;
    double m_AccuUse = 0;
    double m_AccuRemain = 0;
    QString m_OpMode;
    QDateTime m_WrtTime;
};

class CHandRawList : public CKvRecordList<CHandRaw>
{
public:
    QList<CKvObject*>& Load(const QString& sql) override;
    QList<CKvObject*>& LoadAll();

    // Deletes a staged row of a staging list (uploaded sales or uploaded
    // readings) and takes it out of the list. A record of another list
    // throws "从数据库删除原始抄表时发生位置错误！" and nothing is deleted.
    static void DeleteRecord(CKvObjectList& list, CKvPersistance* record);
    void DeleteRecord(CKvPersistance* record) { DeleteRecord(*this, record); }
};
