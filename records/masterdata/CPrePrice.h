#pragma once

#include "CKvObjectList.h"
#include "CKvPersistance.h"

#include <QString>

// One share of a meter's price mix (table PrePrice): which price code a sale
// on the meter is charged by, and for how many percent. PriceX 0 is the
// meter's main price. A mix is changed by deleting and inserting shares.
class CPrePrice : public CKvPersistance
{
public:
    CPrePrice() = default;
    // Copies every field; the copy is inert.
    CPrePrice(const CPrePrice& other) = default;
    CPrePrice& operator=(const CPrePrice& other) = default;

    // The share must sit in the mix of a meter that has its key, with its
    // position set; it draws PrePriceIndex and takes the meter's key.
    void InsertNew() override;
    void Insert() override;
    void Delete() override;
    void Update() override {} // shares are never rewritten

    int GetPrePriceIndex() const { return m_PrePriceIndex; }
    int GetCliPreIndex() const { return m_CliPreIndex; }
    int GetPriceX() const { return m_PriceX; }
    QString GetPriceNo() const { return m_PriceNo; }
    int GetPricePercent() const { return m_PricePercent; }
    void SetPrePriceIndex(int value) { m_PrePriceIndex = value; }
    void SetCliPreIndex(int value) { m_CliPreIndex = value; }
    void SetPriceX(int value) { m_PriceX = value; }
    void SetPriceNo(const QString& value) { m_PriceNo = value; }
    void SetPricePercent(int value) { m_PricePercent = value; }

private:
    int m_PrePriceIndex = -1;
    int m_CliPreIndex = -1;
    int m_PriceX = -1;
    QString m_PriceNo;
    int m_PricePercent = 100;
};

// The price mix of one meter; its owner record is that CCliPre.
class CPrePriceList : public CKvRecordList<CPrePrice>
{
public:
    QList<CKvObject*>& Load(const QString& sql) override;
    QList<CKvObject*>& LoadByCliPreIndex(int cliPreIndex);

    static bool PriceNoInUse(const QString& priceNo);
    // The shares of every version of a user's meter; runs inside the
    // caller's transaction.
    static void DeleteForMeter(const QString& clientNo, const QString& meterNo);
};
