#pragma once

// Quota prices and fixed-fee items for the tests of the fixed fees and the
// quota fees generated from them.

#include "CCliFix.h"
#include "MasterDataTestHelpers.h"

// A stored quota price code (type "定额收费价") with its first version; its
// PriceIndex.
inline int SaveQuotaPrice(const QString& priceNo, double price, const QString& begin)
{
    auto version = NewPrice(priceNo, price, begin);
    version->SetPriceType(QStringLiteral("定额收费价"));
    version->SetUnit(QStringLiteral("平方米"));
    version->Save();
    return version->GetPriceIndex();
}

// A stored fixed-fee item; its CliFixIndex.
inline int SaveItem(const QString& clientNo, const QString& priceNo, double units, const QString& begin,
                    const QString& end = QStringLiteral("2050-12-31"))
{
    CCliFix item;
    item.SetClientNo(clientNo);
    item.SetPriceNo(priceNo);
    item.SetUnits(units);
    item.SetBeginDate(Day(begin));
    item.SetEndDate(Day(end));
    item.SetLastTermEndDate(AddDays(Day(begin), -1));
    item.Save();
    return item.GetCliFixIndex();
}
