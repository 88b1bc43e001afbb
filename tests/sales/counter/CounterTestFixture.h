#pragma once

// The main database several counters share and the program folders of those
// counters. The embedded file is shared through a link from each counter's
// work/Qrdb.db (both counters then run on one WAL file); the server is the
// database qrdb, freshly installed, on the PostgreSQL test server named by
// QUILLMER_TEST_PG (network edition builds only: there the counters' main
// connection is the server).

#include "CAdoConnection.h"
#include "CAdoRecordset.h"
#include "KvEdition.h"
#include "KvPgTestServer.h"
#include "KvSchema.h"
#include "KvServerConfig.h"
#include "KvTestSupport.h"

#include <QDir>
#include <QFile>
#include <QLockFile>
#include <QSettings>
#include <QTemporaryDir>
#include <memory>

class CSharedMain
{
public:
    virtual ~CSharedMain() = default;
    // Why the counters cannot be set up here (the test is skipped), or "".
    virtual QString SkipReason() const { return QString(); }
    // A connection of the test's own to the main database, for the archive
    // and for the checks.
    virtual CAdoConnection& Db() = 0;
    // Makes `folder` the program folder of the counter with that workstation
    // number, its main database this one.
    virtual void MakeCounterFolder(const QString& folder, int station) = 0;
};

class CSharedFile : public CSharedMain
{
public:
    CSharedFile()
    {
        if (KvIsNetworkEdition()) {
            m_skip = QStringLiteral("the counters of the network edition keep their main database on the server");
            return;
        }
        m_path = m_dir.filePath(QStringLiteral("Qrdb.db"));
        CreateFreshDatabase(m_path, QDateTime::currentDateTime());
        m_db.Open(0, QStringLiteral("Data Source=%1").arg(m_path));
    }
    QString SkipReason() const override { return m_skip; }
    CAdoConnection& Db() override { return m_db; }
    void MakeCounterFolder(const QString& folder, int) override
    {
        QDir().mkpath(folder + QStringLiteral("/work"));
        QFile::link(m_path, folder + QStringLiteral("/work/Qrdb.db"));
    }

private:
    QString m_skip;
    QTemporaryDir m_dir;
    QString m_path;
    CAdoConnection m_db;
};

// Every counter reaches the server database by its one name, so the tests that
// install it take turns (a lock file per server, across test processes).
class CSharedServer : public CSharedMain
{
public:
    CSharedServer()
    {
        if (!KvIsNetworkEdition()) {
            m_skip = QStringLiteral("the counters of the stand-alone edition keep their main database in their file");
            return;
        }
        if (!KvPgTestServer::Available()) {
            m_skip = QStringLiteral("QUILLMER_TEST_PG is not set: no PostgreSQL server for the network edition's tests");
            return;
        }
        const auto pairs = KvPgTestServer::ParseConninfo(QString::fromLocal8Bit(qgetenv("QUILLMER_TEST_PG")));
        m_serverName = QStringLiteral("%1,%2").arg(pairs.value(QStringLiteral("host"), QStringLiteral("127.0.0.1")),
                                                    pairs.value(QStringLiteral("port"), QStringLiteral("5432")));
        m_login = pairs.value(QStringLiteral("user"), QStringLiteral("postgres"));
        m_password = pairs.value(QStringLiteral("password"));
        m_maintenance = pairs.value(QStringLiteral("dbname"), QStringLiteral("postgres"));
        m_lock = std::make_unique<QLockFile>(
            QDir::temp().filePath(QStringLiteral("quillmer-qrdb-%1.lock").arg(m_serverName)));
        m_lock->setStaleLockTime(0);
        if (!m_lock->tryLock(15 * 60 * 1000)) {
            m_skip = QStringLiteral("the server database is held by another test for too long");
            return;
        }
        Maintenance(QStringLiteral("drop database if exists %1 with (force)").arg(KvServerDatabaseName()));
        Maintenance(QStringLiteral("create database %1").arg(KvServerDatabaseName()));
        m_db.Open(1, ConnectStringFor(KvServerDatabaseName()));
        InstallServerDatabase(m_db, QDateTime::currentDateTime());
    }
    ~CSharedServer() override
    {
        if (!m_db.IsOpen())
            return;
        m_db.Close();
        try {
            Maintenance(QStringLiteral("drop database if exists %1 with (force)").arg(KvServerDatabaseName()));
        } catch (...) {
        }
    }
    QString SkipReason() const override { return m_skip; }
    CAdoConnection& Db() override { return m_db; }
    // The counter's own file names the server; the installation's profile
    // holds the login.
    void MakeCounterFolder(const QString& folder, int station) override
    {
        QDir().mkpath(folder + QStringLiteral("/work"));
        const QString path = folder + QStringLiteral("/work/Qrdb.db");
        CreateLocalNetworkDatabase(path, QDateTime::currentDateTime(), m_serverName);
        {
            CAdoConnection local;
            local.Open(0, QStringLiteral("Data Source=%1").arg(path));
            local.Execute(QStringLiteral("update SysPara set StationNo = %1").arg(station), QString());
        }
        QSettings profile(folder + QStringLiteral("/Quillmer.ini"), QSettings::IniFormat);
        profile.setValue(QStringLiteral("Server/Login"), m_login);
        profile.setValue(QStringLiteral("Server/Password"), m_password);
    }
    QString ConnectStringFor(const QString& database) const
    {
        return QStringLiteral("Provider=SQLOLEDB;Server=%1;Database=%2;uid=%3;pwd=%4")
            .arg(m_serverName, database, m_login, m_password);
    }

private:
    void Maintenance(const QString& sql) const
    {
        CAdoConnection admin;
        admin.Open(1, ConnectStringFor(m_maintenance));
        admin.Execute(sql, QString());
    }

    QString m_skip;
    QString m_serverName;
    QString m_login;
    QString m_password;
    QString m_maintenance;
    std::unique_ptr<QLockFile> m_lock;
    CAdoConnection m_db;
};

// One value of a one-row query of the main database, as text ("" for none).
inline QString MainValue(CAdoConnection& db, const QString& sql)
{
    CAdoLease<CAdoRecordset> rs(db.AcquireRecordset());
    rs->Open(sql);
    if (rs->IsEOF())
        return QString();
    const QVariant v = rs->GetFieldValue(0);
    return v.isValid() ? v.toString() : QString();
}

inline int MainCount(CAdoConnection& db, const QString& sql)
{
    return MainValue(db, QStringLiteral("select count(*) from (") + sql + QStringLiteral(") as t")).toInt();
}

// The first column of every row.
inline QStringList MainColumn(CAdoConnection& db, const QString& sql)
{
    CAdoLease<CAdoRecordset> rs(db.AcquireRecordset());
    rs->Open(sql);
    QStringList values;
    for (; !rs->IsEOF(); rs->MoveNext())
        values << rs->GetFieldValue(0).toString();
    return values;
}
