#include "KvSchema.h"

#include "CAdoConnection.h"
#include "CAdoRecordset.h"
#include "CKvException.h"
#include "CSqliteEngine.h"
#include "KvSchemaScripts.h"
#include "KvSql.h"

namespace {

// One step of the schema: the statements that bring a file of version - 1 to
// `version`. Steps only add (tables, columns, indexes) or move rows; they never
// drop what holds data.
struct VersionStep
{
    int version;
    const char* sql;
    // Rows the step adds through code of its own (null when none), after its SQL.
    void (*addRows)(CAdoConnection& db) = nullptr;
};

bool TableExists(CAdoConnection& db, const char* table)
{
    return db.RecordExists(
        KvFormatSql(QStringLiteral("select name from sqlite_master where type = 'table' and name = '%s'"),
                    QString::fromLatin1(table)),
        QString());
}

// Version 5: the stored report layouts that ship with the database. Their seed
// adds only the layouts still missing and raises ReportIndex above every key.
// A file without the layout tables is no database of this program: nothing to fill.
void AddShippedReportLayouts(CAdoConnection& db)
{
    for (const char* table : {"SysPara", "KvReportForm", "KvReportCol"})
        if (!TableExists(db, table))
            return;
    db.Execute(QString::fromUtf8(KvSeedFileText("seed_reports.sql")), QString());
}

// Version 1 is the first kept version. A file made before versions were kept
// already holds its tables (ManualFee is the helper library's own step), so the
// step only records the number. Steps stand in rising order; a number may be
// missing (each is given out to one piece of work and lands when it does).
const VersionStep kVersionSteps[] = {
    {1, ""},
    {5, "", &AddShippedReportLayouts},
};

} // namespace

int CurrentSchemaVersion()
{
    return kVersionSteps[std::size(kVersionSteps) - 1].version;
}

QString ManualFeeCreateStatement()
{
    // Concatenated piece by piece, nothing added between the pieces.
    return QStringLiteral("create table ManualFee (") + QStringLiteral("ManualIndex int primary key, ") +
           QStringLiteral("MeterNo Varchar(20), ") + QStringLiteral("WrtNum int, ") + QStringLiteral("WrtIndex int, ") +
           QStringLiteral("ClientName Varchar(100), ") + QStringLiteral("Department Varchar(20), ") +
           QStringLiteral("ClientNo Varchar(20), ") + QStringLiteral("YearMonth Varchar(20), ") +
           QStringLiteral("SubRead float, ") + QStringLiteral("ElecRead float, ") + QStringLiteral("SubFee float, ") +
           QStringLiteral("ElecFee float, ") + QStringLiteral("TenementArea float, ") + QStringLiteral("Fee float, ") +
           QStringLiteral("TotalFee float, ") + QStringLiteral("TeneFee float, ") +
           QStringLiteral("State Varchar(20), ") + QStringLiteral("WrtTime DateTime, ") +
           QStringLiteral("OperatorName Varchar(20))");
}

QString FreshDatabaseScript(const QDateTime& now)
{
    if (!now.isValid())
        throw CKvException(QStringLiteral("the creation time of the database is not valid"));
    const QDate today = now.date();
    QString script = QString::fromUtf8(KvSchemaSqlText());
    script += QStringLiteral("\n");
    script += QString::fromUtf8(KvSeedSqlText());
    script += QStringLiteral("\n");
    // The values a fresh installation takes from the clock: the quota month is
    // the current month, the last backup is today at midnight.
    script += KvFormatSql(QStringLiteral("update SysPara set FixYearMon = %d, LastBackDate = CDate('%s');\n"),
                          today.year() * 100 + today.month(), KvDateText(today));
    script += KvFormatSql(QStringLiteral("PRAGMA user_version = %d;\n"), CurrentSchemaVersion());
    return script;
}

void CreateFreshDatabase(const QString& path, const QDateTime& now)
{
    // The script is complete before the file is touched; createFile refuses an
    // existing file and removes its own file again when the script fails.
    CSqliteEngine::createFile(path, FreshDatabaseScript(now));
}

int ReadSchemaVersion(CAdoConnection& db)
{
    CAdoLease<CAdoRecordset> rs(db.AcquireRecordset());
    rs->Open(QStringLiteral("PRAGMA user_version"));
    if (rs->IsEOF())
        return 0;
    return rs->GetFieldInt(QStringLiteral("user_version"));
}

int UpdateSchemaVersion(CAdoConnection& db)
{
    const int version = ReadSchemaVersion(db);
    const int current = CurrentSchemaVersion();
    if (version >= current)
        return version;
    CAdoTransaction transaction(db);
    for (const VersionStep& step : kVersionSteps) {
        if (step.version <= version)
            continue;
        const QString sql = QString::fromUtf8(step.sql).trimmed();
        if (!sql.isEmpty())
            db.Execute(sql, QString());
        if (step.addRows)
            step.addRows(db);
    }
    db.Execute(KvFormatSql(QStringLiteral("PRAGMA user_version = %d"), current), QString());
    transaction.Commit();
    return current;
}
