#include "KvFreshDatabase.h"

#include "CAdoConnection.h"
#include "CAdoRecordset.h"
#include "KvClock.h"
#include "KvSchema.h"
#include "KvSql.h"
#include "SysGlobals.h"

#include <QDir>

CFreshDatabase::CFreshDatabase(const QDateTime& now)
{
    KvClock::SetFixed(now);
    ReleaseProcessObjects();
    QDir(m_app.Path()).mkpath(QStringLiteral("work"));
    CreateFreshDatabase(GetLocalDatabasePath(), now);
    OpenProgramDatabase();
}

void OpenProgramDatabase()
{
    GetLocalDatabase()->Open(0, GetLocalConnectString());
    // The network edition's build runs the same tests with its separate main
    // connection open on the same file; the server itself is what the tests
    // labelled "network" use.
    if (GetMainDatabase() != GetLocalDatabase())
        GetMainDatabase()->Open(0, GetLocalConnectString());
}

CFreshDatabase::~CFreshDatabase()
{
    ReleaseProcessObjects();
    KvClock::Reset();
}

CAdoConnection& CFreshDatabase::Db() const
{
    return *GetMainDatabase();
}

int CFreshDatabase::Count(const QString& sql) const
{
    CAdoLease<CAdoRecordset> rs(Db().AcquireRecordset());
    rs->Open(sql);
    return rs->GetRecordCount();
}

QString CFreshDatabase::Value(const QString& sql) const
{
    CAdoLease<CAdoRecordset> rs(Db().AcquireRecordset());
    rs->Open(sql);
    if (rs->IsEOF())
        return QString();
    const QVariant v = rs->GetFieldValue(0);
    return v.isValid() ? v.toString() : QString();
}

QMap<QString, QString> CFreshDatabase::Row(const QString& sql) const
{
    CAdoLease<CAdoRecordset> rs(Db().AcquireRecordset());
    rs->Open(sql);
    QMap<QString, QString> row;
    if (rs->IsEOF())
        return row;
    for (int i = 0; i < rs->GetFieldCount(); ++i)
        row.insert(rs->GetFieldName(i), rs->GetFieldText(rs->GetFieldName(i)));
    return row;
}

QString FieldText(const QDateTime& value)
{
    return KvDateText(value);
}
