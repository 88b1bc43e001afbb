#pragma once

#include "CAdoConnection.h"
#include "CKvException.h"
#include "KvSql.h"
#include "KvTestSupport.h"

#include <QString>

// A meter row of a user, with only what the sales statements join on.
inline void AddMeterRow(CAdoConnection& db, int cliPreIndex, const QString& clientNo, const QString& meterNo)
{
    db.Execute(KvFormatSql("insert into CliPre(CliPreIndex, ClientNo, MeterNo, BeginDate, EndDate) "
                           "values(%d, '%s', '%s', '2020-01-01', '2050-12-31')",
                           cliPreIndex, clientNo, meterNo),
               QString());
}
