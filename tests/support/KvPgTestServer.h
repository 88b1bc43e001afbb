#pragma once

#include <QMap>
#include <QString>
#include <gtest/gtest.h>
#include <memory>
#include <string>

// A fresh database on the PostgreSQL test server, for the network edition's
// tests. The server is named by the environment variable QUILLMER_TEST_PG, a
// libpq connection string of a superuser ("host=127.0.0.1 port=45790
// user=postgres password=… dbname=postgres", as scripts/pg-cluster.sh writes
// it into DIR/conninfo). Each instance makes, as that superuser, an ordinary
// login (no superuser, no createdb, no createrole) and a database of its own
// owned by it, as a server's administrator makes them for an installation; the
// tests then connect as that login, so a privilege the installation lacks
// shows. Both are dropped again at the end.
class KvPgTestServer
{
public:
    // Whether QUILLMER_TEST_PG names a server.
    static bool Available();

    // Creates the database; throws CKvException when the server refuses.
    explicit KvPgTestServer(const QString& prefix = QStringLiteral("kvt"));
    ~KvPgTestServer();
    KvPgTestServer(const KvPgTestServer&) = delete;
    KvPgTestServer& operator=(const KvPgTestServer&) = delete;

    const QString& DatabaseName() const { return m_database; }
    // The counters' form of the server connection string, for
    // CAdoConnection::Open(1, …): "Provider=SQLOLEDB;Server=host,port;Database=…;uid=…;pwd=…".
    QString ConnectString() const { return ConnectStringFor(m_database); }
    QString ConnectStringFor(const QString& database) const;
    // The same, logged in as the superuser of QUILLMER_TEST_PG: only for what
    // a server's administrator does (altering or dropping a database).
    QString AdminConnectStringFor(const QString& database) const;
    // A libpq connection string of the test database as the ordinary login,
    // for the tests and benchmarks that read the server raw.
    QString LibpqConninfo() const;
    // "host,port", as SysPara.ServerName holds it.
    QString ServerName() const;
    // The ordinary login of the test database and its password.
    QString User() const { return m_user; }
    QString Password() const { return m_password; }

    // The key=value pairs of a libpq connection string (values may be quoted).
    static QMap<QString, QString> ParseConninfo(const QString& conninfo);

private:
    void runOnMaintenanceDb(const QString& sql) const;
    void dropRole() const;

    QString m_host;
    QString m_port;
    QString m_adminUser;
    QString m_adminPassword;
    QString m_maintenanceDb;
    QString m_user;
    QString m_password;
    QString m_database;
};

// A test suite with one fresh server database shared by its tests; every test
// is skipped when no server is named.
class PgServerTest : public ::testing::Test
{
protected:
    static void SetUpTestSuite();
    static void TearDownTestSuite();
    void SetUp() override;

    static KvPgTestServer& Server() { return *s_server; }
    static bool HasServer() { return s_server != nullptr; }
    // A derived suite whose own preparation failed: its tests fail with `what`.
    static void SuiteSetupFailed(const std::string& what);

private:
    static std::unique_ptr<KvPgTestServer> s_server;
    static std::string s_setupFailure;
};

// Skips the current test when no server is named.
#define KV_REQUIRE_PG_SERVER()                                                                                         \
    do {                                                                                                               \
        if (!KvPgTestServer::Available())                                                                              \
            GTEST_SKIP() << "QUILLMER_TEST_PG is not set: no PostgreSQL server for the network edition's tests";      \
    } while (0)
