#include "KvTestQrdb.h"

#include "CAdoConnection.h"
#include "KvPgTestServer.h"
#include "KvProfile.h"
#include "KvServerConfig.h"

#include <QRandomGenerator>

namespace {

QString connectString(const QString& serverName, const QString& database, const QString& login, const QString& password)
{
    return QStringLiteral("Provider=SQLOLEDB;Server=%1;Database=%2;uid=%3;pwd=%4")
        .arg(serverName, database, login, password);
}

} // namespace

CTestQrdb::CTestQrdb()
{
    const QMap<QString, QString> pairs =
        KvPgTestServer::ParseConninfo(qEnvironmentVariable("QUILLMER_TEST_PG").trimmed());
    m_serverName = QStringLiteral("%1,%2").arg(pairs.value(QStringLiteral("host"), QStringLiteral("127.0.0.1")),
                                               pairs.value(QStringLiteral("port"), QStringLiteral("5432")));
    m_adminLogin = pairs.value(QStringLiteral("user"), QStringLiteral("postgres"));
    m_adminPassword = pairs.value(QStringLiteral("password"));
    m_maintenanceDb = pairs.value(QStringLiteral("dbname"), QStringLiteral("postgres"));
    m_login = QStringLiteral("counter");
    m_password = QStringLiteral("qr%1").arg(QRandomGenerator::global()->generate64(), 0, 16);
    RunAsAdministrator(QStringLiteral("drop database if exists %1 with (force)").arg(KvServerDatabaseName()));
    // As the administrator of a new installation does it: createuser -P counter,
    // createdb -O counter qrdb.
    RunAsAdministrator(QStringLiteral("do $$ begin if not exists (select from pg_roles where rolname = '%1') then "
                                      "create role %1 login; end if; end $$")
                           .arg(m_login));
    RunAsAdministrator(QStringLiteral("alter role %1 with login nosuperuser nocreatedb nocreaterole password '%2'")
                           .arg(m_login, m_password));
    RunAsAdministrator(QStringLiteral("create database %1 owner %2").arg(KvServerDatabaseName(), m_login));
}

CTestQrdb::~CTestQrdb()
{
    try {
        RunAsAdministrator(QStringLiteral("drop database if exists %1 with (force)").arg(KvServerDatabaseName()));
    } catch (...) {
    }
}

QString CTestQrdb::ConnectString() const
{
    return connectString(m_serverName, KvServerDatabaseName(), m_login, m_password);
}

void CTestQrdb::WriteServerProfile() const
{
    WriteAppProfileString(QStringLiteral("Server"), QStringLiteral("Login"), m_login);
    WriteAppProfileString(QStringLiteral("Server"), QStringLiteral("Password"), m_password);
}

void CTestQrdb::RunAsAdministrator(const QString& sql) const
{
    CAdoConnection admin;
    admin.Open(1, connectString(m_serverName, m_maintenanceDb, m_adminLogin, m_adminPassword));
    admin.Execute(sql, QStringLiteral("测试数据库操作失败：%1").arg(sql));
}
