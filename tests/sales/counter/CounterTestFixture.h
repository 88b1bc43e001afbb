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
#include "KvTestQrdb.h"
#include "KvTestSupport.h"

#include <QDir>
#include <QFile>
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

// The server database every counter names (qrdb), new and installed as a
// first installation leaves it; its tests run one at a time (CTest's
// RESOURCE_LOCK "qrdb").
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
        m_qrdb = std::make_unique<CTestQrdb>();
        m_db.Open(1, m_qrdb->ConnectString());
        InstallServerDatabase(m_db, QDateTime::currentDateTime());
    }
    ~CSharedServer() override { m_db.Close(); }
    QString SkipReason() const override { return m_skip; }
    CAdoConnection& Db() override { return m_db; }
    // The counter's own file names the server; the installation's profile
    // holds the login.
    void MakeCounterFolder(const QString& folder, int station) override
    {
        QDir().mkpath(folder + QStringLiteral("/work"));
        const QString path = folder + QStringLiteral("/work/Qrdb.db");
        CreateLocalNetworkDatabase(path, QDateTime::currentDateTime(), m_qrdb->ServerName());
        {
            CAdoConnection local;
            local.Open(0, QStringLiteral("Data Source=%1").arg(path));
            local.Execute(QStringLiteral("update SysPara set StationNo = %1").arg(station), QString());
        }
        QSettings profile(folder + QStringLiteral("/Quillmer.ini"), QSettings::IniFormat);
        profile.setValue(QStringLiteral("Server/Login"), m_qrdb->Login());
        profile.setValue(QStringLiteral("Server/Password"), m_qrdb->Password());
    }
    // The counters' connection string of the server database.
    QString ConnectString() const { return m_qrdb->ConnectString(); }

private:
    QString m_skip;
    std::unique_ptr<CTestQrdb> m_qrdb;
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
