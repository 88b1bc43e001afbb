#pragma once

// The main database several counters share and the program folders of those
// counters. The embedded file is shared through a link from each counter's
// work/Qrdb.db (both counters then run on one WAL file); the server is a fresh
// database of the PostgreSQL test server (network edition builds).

#include "CAdoConnection.h"
#include "CAdoRecordset.h"
#include "KvSchema.h"
#include "KvTestSupport.h"

#include <QDir>
#include <QFile>
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
        m_path = m_dir.filePath(QStringLiteral("Qrdb.db"));
        CreateFreshDatabase(m_path, QDateTime::currentDateTime());
        m_db.Open(0, QStringLiteral("Data Source=%1").arg(m_path));
    }
    CAdoConnection& Db() override { return m_db; }
    void MakeCounterFolder(const QString& folder, int) override
    {
        QDir().mkpath(folder + QStringLiteral("/work"));
        QFile::link(m_path, folder + QStringLiteral("/work/Qrdb.db"));
    }

private:
    QTemporaryDir m_dir;
    QString m_path;
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
