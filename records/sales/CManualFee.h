#pragma once

#include "CKvObjectList.h"
#include "CKvPersistance.h"

#include <QDateTime>
#include <QString>

// A fee per user, meter and period made by an outside program (table
// ManualFee). This system moves uncollected fees to the coming sale, marks them
// collected and sums them; it never inserts or deletes a row.
class CManualFee : public CKvPersistance
{
public:
    CManualFee();

    QString GetClassName() const override { return QStringLiteral("CManualFee"); }
    void InsertNew() override {} // rows are made outside
    void Insert() override {}
    void Delete() override {} // rows are never deleted here
    void Update() override;

    // Marks the fee collected by the sale and writes that at once.
    void MarkCollected(int wrtIndex, const QDateTime& wrtTime, const QString& operatorName);

    int GetManualIndex() const { return m_ManualIndex; }
    QString GetMeterNo() const { return m_MeterNo; }
    int GetWrtNum() const { return m_WrtNum; }
    int GetWrtIndex() const { return m_WrtIndex; }
    QString GetClientName() const { return m_ClientName; }
    QString GetDepartment() const { return m_Department; }
    QString GetClientNo() const { return m_ClientNo; }
    QString GetYearMonth() const { return m_YearMonth; }
    double GetSubRead() const { return m_SubRead; }
    double GetElecRead() const { return m_ElecRead; }
    double GetSubFee() const { return m_SubFee; }
    double GetElecFee() const { return m_ElecFee; }
    double GetTenementArea() const { return m_TenementArea; }
    double GetFee() const { return m_Fee; }
    double GetTotalFee() const { return m_TotalFee; }
    double GetTeneFee() const { return m_TeneFee; }
    QString GetStateWord() const { return m_State; }
    QDateTime GetWrtTime() const { return m_WrtTime; }
    QString GetOperatorName() const { return m_OperatorName; }

    void SetManualIndex(int value) { m_ManualIndex = value; }
    void SetMeterNo(const QString& value) { m_MeterNo = value; }
    void SetWrtNum(int value) { m_WrtNum = value; }
    void SetWrtIndex(int value) { m_WrtIndex = value; }
    void SetClientName(const QString& value) { m_ClientName = value; }
    void SetDepartment(const QString& value) { m_Department = value; }
    void SetClientNo(const QString& value) { m_ClientNo = value; }
    void SetYearMonth(const QString& value) { m_YearMonth = value; }
    void SetSubRead(double value) { m_SubRead = value; }
    void SetElecRead(double value) { m_ElecRead = value; }
    void SetSubFee(double value) { m_SubFee = value; }
    void SetElecFee(double value) { m_ElecFee = value; }
    void SetTenementArea(double value) { m_TenementArea = value; }
    void SetFee(double value) { m_Fee = value; }
    void SetTotalFee(double value) { m_TotalFee = value; }
    void SetTeneFee(double value) { m_TeneFee = value; }
    // The collection word ("未收费"/"已收费"), not the save state.
    void SetState(const QString& value) { m_State = value; }
    using CKvPersistance::SetState;
    void SetWrtTime(const QDateTime& value) { m_WrtTime = value; }
    void SetOperatorName(const QString& value) { m_OperatorName = value; }

private:
    int m_ManualIndex = 0;
    QString m_MeterNo;
    int m_WrtNum = -1;
    int m_WrtIndex = -1;
    QString m_ClientName;
    QString m_Department;
    QString m_ClientNo;
    QString m_YearMonth;
    double m_SubRead = 0;
    double m_ElecRead = 0;
    double m_SubFee = 0;
    double m_ElecFee = 0;
    double m_TenementArea = 0;
    double m_Fee = 0;
    double m_TotalFee = 0;
    double m_TeneFee = 0;
    QString m_State;
    QDateTime m_WrtTime;
    QString m_OperatorName;
};

class CManualFeeList : public CKvRecordList<CManualFee>
{
public:
    // WrtTime and OperatorName are not read: they keep a new record's values.
    QList<CKvObject*>& Load(const QString& sql) override;
    QList<CKvObject*>& LoadByClientMeterWrtNum(const QString& clientNo, const QString& meterNo, int wrtNum);

    // Moves every uncollected fee of the user to this meter and write number.
    static void RebindUnpaid(const QString& clientNo, const QString& meterNo, int wrtNum);
    // The manual fees collected by one sale; 0 when there are none.
    static double SumTotalFee(int wrtIndex);
};
