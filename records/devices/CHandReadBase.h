#pragma once

#include "CKvObjectList.h"
#include "CKvPersistance.h"

#include <QDateTime>
#include <QString>

// The two latest readings of a meter (table HandReadBase, key MeterNo); -1
// stands for "never read".
class CHandReadBase : public CKvPersistance
{
public:
    CHandReadBase();

    void InsertNew() override { Insert(); }
    void Insert() override;
    void Delete() override;
    void Update() override;

    QString GetMeterNo() const { return m_MeterNo; }
    double GetLastRead() const { return m_LastRead; }
    double GetThisRead() const { return m_ThisRead; }
    QDateTime GetLastReadTime() const { return m_LastReadTime; }
    QDateTime GetThisReadTime() const { return m_ThisReadTime; }

    void SetMeterNo(const QString& value) { m_MeterNo = value; }
    void SetLastRead(double value) { m_LastRead = value; }
    void SetThisRead(double value) { m_ThisRead = value; }
    void SetLastReadTime(const QDateTime& value) { m_LastReadTime = value; }
    void SetThisReadTime(const QDateTime& value) { m_ThisReadTime = value; }

private:
    QString m_MeterNo;
    double m_LastRead = -1.0;
    double m_ThisRead = -1.0;
    QDateTime m_LastReadTime;
    QDateTime m_ThisReadTime;
};

class CHandReadBaseList : public CKvRecordList<CHandReadBase>
{
public:
    QList<CKvObject*>& Load(const QString& sql) override;
    CHandReadBase* LoadByMeterNo(const QString& meterNo);

    static bool ExistsMeterNo(const QString& meterNo);
    static void DeleteByMeterNo(const QString& meterNo);
};
