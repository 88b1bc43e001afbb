#pragma once

#include <QString>

// The server database of a network-edition counter on the test server
// (QUILLMER_TEST_PG, see KvPgTestServer.h): qrdb, made new and empty as the
// server's administrator makes it for a new installation (the README's
// createuser / createdb: an ordinary login "counter" that owns qrdb, not the
// superuser), and dropped at the end. A counter's connection string always
// names qrdb, so the tests that use it run one at a time (ctest RESOURCE_LOCK
// "qrdb").
class CTestQrdb
{
public:
    // Throws CKvException when the server refuses.
    CTestQrdb();
    ~CTestQrdb();
    CTestQrdb(const CTestQrdb&) = delete;
    CTestQrdb& operator=(const CTestQrdb&) = delete;

    // "host,port", as a counter's SysPara.ServerName holds it.
    QString ServerName() const { return m_serverName; }
    // The installation's login ("counter") and its password.
    QString Login() const { return m_login; }
    QString Password() const { return m_password; }
    // The counters' connection string of qrdb, for CAdoConnection::Open(1, …).
    QString ConnectString() const;
    // Writes the login and password into the [Server] section of the current
    // program folder's profile (Quillmer.ini), as an installation does.
    void WriteServerProfile() const;
    // Runs a statement as the server's administrator (the superuser of
    // QUILLMER_TEST_PG) on its maintenance database.
    void RunAsAdministrator(const QString& sql) const;

private:
    QString m_serverName;
    QString m_login;
    QString m_password;
    QString m_adminLogin;
    QString m_adminPassword;
    QString m_maintenanceDb;
};
