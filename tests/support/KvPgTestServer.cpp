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
    m_user = pairs.value(QStringLiteral("user"), QStringLiteral("postgres"));
    m_password = pairs.value(QStringLiteral("password"));
    m_maintenanceDb = pairs.value(QStringLiteral("dbname"), QStringLiteral("postgres"));
    m_database = QStringLiteral("%1_%2_%3")
                     .arg(prefix.toLower())
                     .arg(QCoreApplication::applicationPid())
                     .arg(QRandomGenerator::global()->bounded(1u << 30));
    runOnMaintenanceDb(QStringLiteral("create database %1").arg(m_database));
}

KvPgTestServer::~KvPgTestServer()
{
    try {
        runOnMaintenanceDb(QStringLiteral("drop database if exists %1 with (force)").arg(m_database));
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

void KvPgTestServer::runOnMaintenanceDb(const QString& sql) const
{
    CAdoConnection admin;
    admin.Open(1, ConnectStringFor(m_maintenanceDb));
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
