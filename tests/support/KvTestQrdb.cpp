#include "KvTestQrdb.h"

#include "CAdoConnection.h"
#include "KvPgTestServer.h"
#include "KvProfile.h"
#include "KvServerConfig.h"

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
    m_login = pairs.value(QStringLiteral("user"), QStringLiteral("postgres"));
    m_password = pairs.value(QStringLiteral("password"));
    m_maintenanceDb = pairs.value(QStringLiteral("dbname"), QStringLiteral("postgres"));
    runOnMaintenanceDb(QStringLiteral("drop database if exists %1 with (force)").arg(KvServerDatabaseName()));
    runOnMaintenanceDb(QStringLiteral("create database %1").arg(KvServerDatabaseName()));
}

CTestQrdb::~CTestQrdb()
{
    try {
        runOnMaintenanceDb(QStringLiteral("drop database if exists %1 with (force)").arg(KvServerDatabaseName()));
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

void CTestQrdb::runOnMaintenanceDb(const QString& sql) const
{
    CAdoConnection admin;
    admin.Open(1, connectString(m_serverName, m_maintenanceDb, m_login, m_password));
    admin.Execute(sql, QStringLiteral("测试数据库操作失败：%1").arg(sql));
}
