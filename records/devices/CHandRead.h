#pragma once

#include "CKvPersistance.h"

#include <QDateTime>
#include <QString>

// One archived meter reading with its consumption (table HandRead). Nothing
// lists these rows, so there is no list class.
class CHandRead : public CKvPersistance
{
public:
    CHandRead();

    // ReadIndex is the counter HandReadIndex itself.
    void InsertNew() override;
    void Insert() override;
    void Delete() override;
    void Update() override {}

    static void DeleteByMeterNo(const QString& meterNo);

    int GetReadIndex() const { return m_ReadIndex; }
    QString GetMeterNo() const { return m_MeterNo; }
    int GetCliPreIndex() const { return m_CliPreIndex; }
    double GetLastRead() const { return m_LastRead; }
    double GetThisRead() const { return m_ThisRead; }
    int GetMul() const { return m_Mul; }
    double GetRealUse() const { return m_RealUse; }
    QDateTime GetLastReadTime() const { return m_LastReadTime; }
    QDateTime GetThisReadTime() const { return m_ThisReadTime; }

    void SetReadIndex(int value) { m_ReadIndex = value; }
    void SetMeterNo(const QString& value) { m_MeterNo = value; }
    void SetCliPreIndex(int value) { m_CliPreIndex = value; }
    void SetLastRead(double value) { m_LastRead = value; }
    void SetThisRead(double value) { m_ThisRead = value; }
    void SetMul(int value) { m_Mul = value; }
    void SetRealUse(double value) { m_RealUse = value; }
    void SetLastReadTime(const QDateTime& value) { m_LastReadTime = value; }
    void SetThisReadTime(const QDateTime& value) { m_ThisReadTime = value; }

private:
    int m_ReadIndex = 0;
    QString m_MeterNo;
    int m_CliPreIndex = 0;
    double m_LastRead = 0;
    double m_ThisRead = 0;
    int m_Mul = 1;
    double m_RealUse = 0;
    QDateTime m_LastReadTime;
    QDateTime m_ThisReadTime;
};
