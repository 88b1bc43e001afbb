#pragma once

#include "CPriceVer.h"
#include "KvClock.h"
#include "KvUtil.h"
#include "SysGlobals.h"

#include <QDateTime>
#include <QString>
#include <memory>
#include <utility>
#include <vector>

// A day as the program keeps dates: that day at 00:00:00.
inline QDateTime Day(const QString& text)
{
    return ParseDate(text);
}

// Moves "today" to another day (keeping the time of day).
inline void SetToday(const QString& text)
{
    KvClock::SetFixed(QDateTime(ParseDate(text).date(), QTime(9, 30, 0)));
}

// A new price code's first version (state 0), with tiers (floor, price).
inline std::unique_ptr<CPriceVer> NewPrice(const QString& priceNo, double price, const QString& begin,
                                           const std::vector<std::pair<double, double>>& tiers = {})
{
    auto version = std::make_unique<CPriceVer>();
    version->SetPriceNo(priceNo);
    version->SetPriceName(priceNo + QStringLiteral("名称"));
    version->SetPriceType(QStringLiteral("预付费电价"));
    version->SetBalMode(QStringLiteral("预付"));
    version->SetPrice(price);
    version->SetBeginDate(Day(begin));
    std::vector<CRankPrice> rows(tiers.size());
    for (size_t i = 0; i < tiers.size(); ++i) {
        rows[i].SetRankX(static_cast<int>(i));
        rows[i].SetThreshold(tiers[i].first);
        rows[i].SetRankPrice(tiers[i].second);
    }
    version->SetTiers(rows.data(), static_cast<int>(rows.size()));
    return version;
}

// A later version of the same code built as the price list does it.
inline CPriceVer* NextVersion(const CPriceVer& old, double price, const QString& begin)
{
    auto* version = new CPriceVer;
    version->SetPriceNo(old.GetPriceNo());
    version->SetPriceName(old.GetPriceName());
    version->SetPriceType(old.GetPriceType());
    version->SetPriceCycle(old.GetPriceCycle());
    version->SetBalMode(old.GetBalMode());
    version->SetUnit(old.GetUnit());
    version->SetPrice(price);
    version->SetBeginDate(Day(begin));
    version->SetState(QStringLiteral("修改"));
    return version;
}
