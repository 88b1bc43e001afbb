#pragma once

#include "CAdoConnection.h"
#include "CAdoRecordset.h"
#include "KvPgTestServer.h"

// A suite whose server database holds a first installation (main tables, seed
// rows, dialect functions; installed at 2026-12-10 09:30), with a kind-1
// connection `db` open for each test. Skipped without QUILLMER_TEST_PG.
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
