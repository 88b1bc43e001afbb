#include "KvInstalledServer.h"

#include "CKvException.h"
#include "KvSchema.h"

#include <gtest/gtest.h>

void InstalledServerTest::SetUpTestSuite()
{
    PgServerTest::SetUpTestSuite();
    if (!KvPgTestServer::Available())
        return;
    if (!HasServer())
        return;
    try {
        CAdoConnection server;
        server.Open(1, Server().ConnectString());
        InstallServerDatabase(server, QDateTime(QDate(2026, 12, 10), QTime(9, 30, 0)));
    } catch (const CKvException& e) {
        SuiteSetupFailed(e.what());
    }
}

void InstalledServerTest::SetUp()
{
    PgServerTest::SetUp();
    if (IsSkipped() || HasFatalFailure())
        return;
    db.Open(1, Server().ConnectString());
}

int InstalledServerTest::Count(const QString& sql)
{
    CAdoLease<CAdoRecordset> rs(db.AcquireRecordset());
    rs->Open(sql);
    return rs->GetRecordCount();
}

QString InstalledServerTest::Value(const QString& sql)
{
    CAdoLease<CAdoRecordset> rs(db.AcquireRecordset());
    rs->Open(sql);
    return rs->GetFieldText(rs->GetFieldName(0));
}
