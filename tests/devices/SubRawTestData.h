#pragma once

#include "CAdoConnection.h"
#include "CSubRaw.h"
#include "KvSql.h"

#include <QDate>
#include <QDateTime>
#include <QString>

// A programmer record as an upload stages it.
inline void StageSubRaw(const QString& meterNo, const QString& subX, int pulses, double baseRead, const QDate& date)
{
    CSubRaw raw;
    raw.SetMeterNo(meterNo);
    raw.SetSubX(subX);
    raw.SetReadPulses(pulses);
    raw.SetBaseRead(baseRead);
    raw.SetReadDate(QDateTime(date, QTime()));
    raw.Save();
}

// The last card written for a meter, carrying its card number.
inline void AddCardWritten(CAdoConnection& db, const QString& meterNo, const QString& vNo)
{
    db.Execute(KvFormatSql(QStringLiteral("insert into PreLastWrt values('%s', '%s', 1, 1, 10, '200A', 30, 20, 10, 0, "
                                          "10, '购电', '2026-12-01')"),
                           meterNo, vNo),
               QString());
}
