#pragma once

#include "CKvObjectList.h"
#include "CKvPersistance.h"

#include <QString>

// One price share of a sale (table WrtPrice): which price version made up how
// many percent of it. A share is written with its sale and never changed.
class CWrtPrice : public CKvPersistance
{
public:
    CWrtPrice() = default;
    // Copies every field; the copy is inert.
    CWrtPrice(const CWrtPrice& other) = default;
    CWrtPrice& operator=(const CWrtPrice& other) = default;

    // The new key: counter WrtPriceIndex + 100000000; WrtIndex is the owning
    // sale's. A share outside a sale that has its key is refused.
    void InsertNew() override;
    void Insert() override;
    void Delete() override;
    void Update() override {} // a share is never rewritten

    int GetWrtPriceIndex() const { return m_WrtPriceIndex; }
    int GetWrtIndex() const { return m_WrtIndex; }
    int GetPriceIndex() const { return m_PriceIndex; }
    int GetPricePercent() const { return m_PricePercent; }
    void SetWrtPriceIndex(int value) { m_WrtPriceIndex = value; }
    void SetWrtIndex(int value) { m_WrtIndex = value; }
    void SetPriceIndex(int value) { m_PriceIndex = value; }
    void SetPricePercent(int value) { m_PricePercent = value; }

private:
    int m_WrtPriceIndex = -1;
    int m_WrtIndex = -1;
    int m_PriceIndex = -1;
    int m_PricePercent = 0;
};

class CWrtPriceList : public CKvRecordList<CWrtPrice>
{
public:
    QList<CKvObject*>& Load(const QString& sql) override;
    QList<CKvObject*>& LoadByWrtIndex(int wrtIndex);

    // Runs inside the meter deletion's transaction; opens none of its own.
    static void DeleteByClientMeter(const QString& clientNo, const QString& meterNo);
};
