#pragma once

#include "CAdoConnection.h"
#include "CAdoRecordset.h"
#include "KvPgTestServer.h"

// A suite whose database holds a first installation (main tables, seed rows,
// dialect functions), with a kind-1 connection open for each test.
class InstalledServerTest : public PgServerTest
{
protected:
    static void SetUpTestSuite();
    void SetUp() override;

    int Count(const QString& sql);
    // The first column of the first row, as text ("" for NULL).
    QString Value(const QString& sql);

    CAdoConnection db;
};
