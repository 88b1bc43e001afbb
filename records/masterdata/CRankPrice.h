#pragma once

#include "CKvObjectList.h"
#include "CKvPersistance.h"

// One tier of a price version (table RankPrice): from the quantity
// `Threshold` on, the unit price is `RankPrice`. RankX numbers the tiers of a
// version from 0.
class CRankPrice : public CKvPersistance
{
public:
    CRankPrice() = default;
    // Copies every field; the copy is inert.
    CRankPrice(const CRankPrice& other) = default;
    CRankPrice& operator=(const CRankPrice& other) = default;

    // The tier takes its version's key; a tier outside a version that has its
    // key, or without its position, is refused.
    void InsertNew() override;
    void Insert() override;
    void Delete() override;
    void Update() override {} // tiers are written with their version, never rewritten

    int GetPriceIndex() const { return m_PriceIndex; }
    int GetRankX() const { return m_RankX; }
    double GetRankPrice() const { return m_RankPrice; }
    double GetThreshold() const { return m_Threshold; }
    void SetPriceIndex(int value) { m_PriceIndex = value; }
    void SetRankX(int value) { m_RankX = value; }
    void SetRankPrice(double value) { m_RankPrice = value; }
    void SetThreshold(double value) { m_Threshold = value; }

private:
    int m_PriceIndex = -1;
    int m_RankX = -1;
    double m_RankPrice = 0;
    double m_Threshold = 100000000.0;
};

// The tiers of one version (its owner record is that CPriceVer), or every
// tier of the catalogue.
class CRankPriceList : public CKvRecordList<CRankPrice>
{
public:
    QList<CKvObject*>& Load(const QString& sql) override;
    QList<CKvObject*>& LoadAll();
};
