#pragma once

#include "CKvObjectList.h"
#include "CKvPersistance.h"

#include <QString>

class CClientPay;

// A user's latest payment and balance (table CliBalance, key ClientNo).
class CCliBalance : public CKvPersistance
{
public:
    CCliBalance() = default;
    // Copies every field; the copy is inert (saving it does nothing).
    CCliBalance(const CCliBalance& other) = default;
    CCliBalance& operator=(const CCliBalance& other) = default;

    // Takes over the payment's figures and writes them to the user's row at
    // once. A user without a row gets one inserted instead, so that the
    // payment's balance is never silently dropped; a record without ClientNo
    // writes nothing. A payment does not name its user, so callers must set
    // ClientNo on a default balance (a user without a row yet) before this call.
    void SetFromClientPay(const CClientPay& pay);
    // The receipt number of the payment this record repeats, on the record and
    // on the user's row while that row still repeats the payment: a later
    // payment of the household (at another counter) has taken the row over,
    // and its figures stay as they are.
    void SetInvoiceNoOf(const CClientPay& pay);

    // Whether the row holds the balance this record was read with: the same
    // latest payment and the same balance as stored.
    bool SameBalanceAs(const CCliBalance& other) const;

    // Refuses an empty ClientNo; no key is drawn.
    void InsertNew() override;
    void Insert() override;
    void Delete() override;
    void Update() override;

    QString GetClientNo() const { return m_ClientNo; }
    int GetPayIndex() const { return m_PayIndex; }
    int GetWrtNum() const { return m_WrtNum; }
    double GetTotFee() const { return m_TotFee; }
    double GetRealPay() const { return m_RealPay; }
    QString GetPayMode() const { return m_PayMode; }
    double GetThisBalance() const { return m_ThisBalance; }
    double GetLastBalance() const { return m_LastBalance; }
    QString GetInvoiceNo() const { return m_InvoiceNo; }

    void SetClientNo(const QString& value) { m_ClientNo = value; }
    void SetPayIndex(int value) { m_PayIndex = value; }
    void SetWrtNum(int value) { m_WrtNum = value; }
    void SetTotFee(double value) { m_TotFee = value; }
    void SetRealPay(double value) { m_RealPay = value; }
    void SetPayMode(const QString& value) { m_PayMode = value; }
    void SetThisBalance(double value) { m_ThisBalance = value; }
    void SetLastBalance(double value) { m_LastBalance = value; }
    void SetInvoiceNo(const QString& value) { m_InvoiceNo = value; }

private:
    // The UPDATE; returns the number of rows it changed.
    int updateRow();

    QString m_ClientNo;
    int m_PayIndex = -1;
    int m_WrtNum = 0;
    double m_TotFee = 0;
    double m_RealPay = 0;
    QString m_PayMode = QStringLiteral("现金");
    double m_ThisBalance = 0;
    double m_LastBalance = 0;
    QString m_InvoiceNo;
};

class CCliBalanceList : public CKvRecordList<CCliBalance>
{
public:
    QList<CKvObject*>& Load(const QString& sql) override;
    CCliBalance* LoadByClientNo(const QString& clientNo);
    // The user's row as it is now, held until the caller's transaction ends
    // (only inside one): on the server under a row lock, so that another
    // counter's payment to the same household waits for this one and then
    // reads what it left; the file's write transaction holds the whole
    // database already. False, `row` untouched, when the user has no row.
    static bool LoadHeld(const QString& clientNo, CCliBalance& row);

    // Runs inside the caller's transaction.
    static void DeleteByClientNo(const QString& clientNo);
};
