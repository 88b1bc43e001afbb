#pragma once

#include "CKvObjectList.h"
#include "CKvPersistance.h"

#include <QString>

// The payment of one sale (table ClientPay). The records open no transaction:
// they take part in the caller's.
class CClientPay : public CKvPersistance
{
public:
    CClientPay() = default;
    // Copies every field; the copy is inert.
    CClientPay(const CClientPay& other) = default;
    CClientPay& operator=(const CClientPay& other) = default;

    // Refuses a payment without a sale before a key is drawn; the key is the
    // counter PayIndex + 100000000.
    void InsertNew() override;
    void Insert() override;
    void Delete() override;
    void Update() override;

    int GetPayIndex() const { return m_PayIndex; }
    int GetWrtIndex() const { return m_WrtIndex; }
    int GetWrtNum() const { return m_WrtNum; }
    double GetTotFee() const { return m_TotFee; }
    double GetRealPay() const { return m_RealPay; }
    QString GetPayMode() const { return m_PayMode; }
    double GetThisBalance() const { return m_ThisBalance; }
    double GetLastBalance() const { return m_LastBalance; }
    QString GetInvoiceNo() const { return m_InvoiceNo; }
    QString GetStateWord() const { return m_State; }

    void SetPayIndex(int value) { m_PayIndex = value; }
    void SetWrtIndex(int value) { m_WrtIndex = value; }
    void SetWrtNum(int value) { m_WrtNum = value; }
    void SetTotFee(double value) { m_TotFee = value; }
    void SetRealPay(double value) { m_RealPay = value; }
    void SetPayMode(const QString& value) { m_PayMode = value; }
    void SetThisBalance(double value) { m_ThisBalance = value; }
    void SetLastBalance(double value) { m_LastBalance = value; }
    void SetInvoiceNo(const QString& value) { m_InvoiceNo = value; }
    // The state word of the row ("正常"), not the save state.
    void SetState(const QString& value) { m_State = value; }
    using CKvPersistance::SetState;

private:
    int m_PayIndex = -1;
    int m_WrtIndex = -1;
    int m_WrtNum = 0;
    double m_TotFee = 0;
    double m_RealPay = 0;
    QString m_PayMode;
    double m_ThisBalance = 0;
    double m_LastBalance = 0;
    QString m_InvoiceNo;
    QString m_State = QStringLiteral("正常");
};

class CClientPayList : public CKvRecordList<CClientPay>
{
public:
    QList<CKvObject*>& Load(const QString& sql) override;
    CClientPay* LoadByWrtIndex(int wrtIndex);

    // Both run inside the caller's transaction and carry no text of their own.
    static void DeleteByWrtIndex(int wrtIndex);
    static void DeleteByClientMeter(const QString& clientNo, const QString& meterNo);
};
