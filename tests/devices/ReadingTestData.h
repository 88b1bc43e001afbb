#pragma once

#include "ArchiveTestData.h"
#include "CHandReadBase.h"
#include "CHandReadRaw.h"

// A current meter of type M1 (inner multiplier 1, see AddArchivePrices) with
// its HandReadBase row at a last reading.
inline void AddReadMeter(CAdoConnection& db, const QString& meterNo, double thisRead, int ct = 1,
                         const QString& modelId = QStringLiteral("M1"))
{
    AddArchiveMeter(db, QStringLiteral("R") + meterNo, meterNo, {}, modelId, ct, 1);
    CHandReadBase base;
    base.SetMeterNo(meterNo);
    base.SetLastRead(thisRead < 0 ? thisRead : 0);
    base.SetThisRead(thisRead);
    base.SetLastReadTime(QDateTime(QDate(2026, 11, 1), QTime(9, 0)));
    base.SetThisReadTime(QDateTime(QDate(2026, 11, 10), QTime(9, 30)));
    base.Save();
}

// A staged reading as an upload leaves it.
inline void StageReading(const QString& meterNo, double accuUse,
                         const QDateTime& readTime = QDateTime(QDate(2026, 12, 9), QTime(10, 45)))
{
    CHandReadRaw raw;
    raw.SetMeterNo(meterNo);
    raw.SetAccuBuy(500);
    raw.SetAccuUse(accuUse);
    raw.SetAccuRemain(500 - accuUse);
    raw.SetReadTime(readTime);
    raw.Save();
}
