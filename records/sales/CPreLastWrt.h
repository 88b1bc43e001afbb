#pragma once

#include "CKvObjectList.h"
#include "CKvPersistance.h"

#include <QDateTime>
#include <QString>

class CWrtRecord;

// The image of the last card written for a meter (table PreLastWrt, key
// MeterNo). VNo, "9" and the last seven characters of the meter number, is the
// number by which a meter-reading card finds its meter.
class CPreLastWrt : public CKvPersistance
{
public:
    CPreLastWrt();
    // Copies every field; the copy is inert.
    CPreLastWrt(const CPreLastWrt& other) = default;
    CPreLastWrt& operator=(const CPreLastWrt& other) = default;

    static QString MakeVNo(const QString& meterNo);

    // Takes over the sale's card figures and writes them to the meter's row
    // at once. A meter without a row gets one inserted instead, so that the
    // card image is never silently lost. A default image (no MeterNo yet)
    // takes the sale's meter number.
    void UpdateFromWrtRecord(const CWrtRecord& sale);

    // Refuses an empty MeterNo; no key is drawn.
    void InsertNew() override;
    // Always writes the VNo of the current meter number.
    void Insert() override;
    void Delete() override;
    // Never rewrites MeterNo or VNo.
    void Update() override;

    QString GetMeterNo() const { return m_MeterNo; }
    QString GetVNo() const { return m_VNo; }
    int GetWrtIndex() const { return m_WrtIndex; }
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

    // Sets VNo with it.
    void SetMeterNo(const QString& value);
    void SetVNo(const QString& value) { m_VNo = value; }
    void SetWrtIndex(int value) { m_WrtIndex = value; }
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
    // The UPDATE; returns the number of rows it changed.
    int updateRow();

    QString m_MeterNo;
    QString m_VNo;
    int m_WrtIndex = -1;
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

class CPreLastWrtList : public CKvRecordList<CPreLastWrt>
{
public:
    QList<CKvObject*>& Load(const QString& sql) override;
    CPreLastWrt* LoadByMeterNo(const QString& meterNo);

    // The meter of a reading card; empty when no row has that VNo.
    static QString FindMeterNoByVNo(const QString& vNo);
    static bool ExistsMeterNo(const QString& meterNo);
    // Runs inside the caller's transaction.
    static void DeleteByMeterNo(const QString& meterNo);
};
