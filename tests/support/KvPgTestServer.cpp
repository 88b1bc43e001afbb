#include "KvPgTestServer.h"

#include "CAdoConnection.h"
#include "CKvException.h"

#include <QCoreApplication>
#include <QMap>
#include <QRandomGenerator>

std::unique_ptr<KvPgTestServer> PgServerTest::s_server;

namespace {
QString conninfoFromEnvironment()
{
    return qEnvironmentVariable("QUILLMER_TEST_PG").trimmed();
}
} // namespace

bool KvPgTestServer::Available()
{
    return !conninfoFromEnvironment().isEmpty();
}

QMap<QString, QString> KvPgTestServer::ParseConninfo(const QString& conninfo)
{
    QMap<QString, QString> pairs;
    int i = 0;
    const int n = conninfo.size();
    while (i < n) {
        while (i < n && conninfo[i].isSpace())
            ++i;
        const int eq = conninfo.indexOf(u'=', i);
        if (eq < 0)
            break;
        const QString key = conninfo.mid(i, eq - i).trimmed();
        i = eq + 1;
        while (i < n && conninfo[i].isSpace())
            ++i;
        QString value;
        if (i < n && conninfo[i] == u'\'') {
            ++i;
            while (i < n && conninfo[i] != u'\'') {
                if (conninfo[i] == u'\\' && i + 1 < n)
                    ++i;
                value += conninfo[i++];
            }
            ++i;
        } else {
            while (i < n && !conninfo[i].isSpace())
                value += conninfo[i++];
        }
        pairs.insert(key, value);
    }
    return pairs;
}

KvPgTestServer::KvPgTestServer(const QString& prefix)
{
    const QMap<QString, QString> pairs = ParseConninfo(conninfoFromEnvironment());
    m_host = pairs.value(QStringLiteral("host"), QStringLiteral("127.0.0.1"));
    m_port = pairs.value(QStringLiteral("port"), QStringLiteral("5432"));
    m_adminUser = pairs.value(QStringLiteral("user"), QStringLiteral("postgres"));
    m_adminPassword = pairs.value(QStringLiteral("password"));
    m_maintenanceDb = pairs.value(QStringLiteral("dbname"), QStringLiteral("postgres"));
    m_database = QStringLiteral("%1_%2_%3")
                     .arg(prefix.toLower())
                     .arg(QCoreApplication::applicationPid())
                     .arg(QRandomGenerator::global()->bounded(1u << 30));
    // The login is named as its database: each instance has its own, so
    // suites running side by side never share or drop another's login.
    m_user = m_database;
    m_password = QStringLiteral("t%1").arg(QRandomGenerator::global()->generate64(), 0, 16);
    runOnMaintenanceDb(QStringLiteral("create role %1 login nosuperuser nocreatedb nocreaterole password '%2'")
                           .arg(m_user, m_password));
    try {
        runOnMaintenanceDb(QStringLiteral("create database %1 owner %2").arg(m_database, m_user));
    } catch (...) {
        dropRole();
        throw;
    }
}

KvPgTestServer::~KvPgTestServer()
{
    try {
        runOnMaintenanceDb(QStringLiteral("drop database if exists %1 with (force)").arg(m_database));
    } catch (...) {
    }
    dropRole();
}

void KvPgTestServer::dropRole() const
{
    try {
        runOnMaintenanceDb(QStringLiteral("drop role if exists %1").arg(m_user));
    } catch (...) {
    }
}

QString KvPgTestServer::ServerName() const
{
    return QStringLiteral("%1,%2").arg(m_host, m_port);
}

QString KvPgTestServer::ConnectStringFor(const QString& database) const
{
    return QStringLiteral("Provider=SQLOLEDB;Server=%1;Database=%2;uid=%3;pwd=%4")
        .arg(ServerName(), database, m_user, m_password);
}

QString KvPgTestServer::AdminConnectStringFor(const QString& database) const
{
    return QStringLiteral("Provider=SQLOLEDB;Server=%1;Database=%2;uid=%3;pwd=%4")
        .arg(ServerName(), database, m_adminUser, m_adminPassword);
}

QString KvPgTestServer::LibpqConninfo() const
{
    const auto quoted = [](QString value) {
        return QChar(u'\'') + value.replace(u'\\', QStringLiteral("\\\\")).replace(u'\'', QStringLiteral("\\'")) + u'\'';
    };
    return QStringLiteral("host=%1 port=%2 dbname=%3 user=%4 password=%5")
        .arg(quoted(m_host), quoted(m_port), quoted(m_database), quoted(m_user), quoted(m_password));
}

void KvPgTestServer::runOnMaintenanceDb(const QString& sql) const
{
    CAdoConnection admin;
    admin.Open(1, AdminConnectStringFor(m_maintenanceDb));
    admin.Execute(sql, QStringLiteral("测试数据库操作失败：%1").arg(sql));
}

std::string PgServerTest::s_setupFailure;

void PgServerTest::SetUpTestSuite()
{
    s_setupFailure.clear();
    if (!KvPgTestServer::Available())
        return;
    try {
        s_server = std::make_unique<KvPgTestServer>();
    } catch (const CKvException& e) {
        s_setupFailure = e.what();
    }
}

void PgServerTest::SuiteSetupFailed(const std::string& what)
{
    s_setupFailure = what;
    s_server.reset();
}

void PgServerTest::TearDownTestSuite()
{
    s_server.reset();
}

void PgServerTest::SetUp()
{
    KV_REQUIRE_PG_SERVER();
    ASSERT_TRUE(s_server) << "the test database could not be made ready: " << s_setupFailure;
}
