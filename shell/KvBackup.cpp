#include "KvBackup.h"

#include "CAdoConnection.h"
#include "CAdoRecordset.h"
#include "CSqliteEngine.h"
#include "KvEdition.h"
#include "KvSchema.h"
#include "KvSql.h"
#include "KvUtil.h"
#include "SysGlobals.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <algorithm>

namespace {

QString stamp(const QDateTime& now)
{
    return now.toString(QStringLiteral("yyMMddHHmm"));
}

bool samePath(const QString& a, const QString& b)
{
    const QFileInfo first(a);
    const QFileInfo second(b);
    const QString left = first.exists() ? first.canonicalFilePath() : first.absoluteFilePath();
    const QString right = second.exists() ? second.canonicalFilePath() : second.absoluteFilePath();
    return left == right;
}

// Removes the write-ahead log and shared-memory files of a database file.
void removeLogFiles(const QString& path)
{
    QFile::remove(path + QStringLiteral("-wal"));
    QFile::remove(path + QStringLiteral("-shm"));
}

void removeDatabaseFile(const QString& path)
{
    QFile::remove(path);
    removeLogFiles(path);
}

// work/Qrdb<stamp>.replaced.db, or with "_2", "_3", ... after the stamp when a
// restore of the same minute kept one already: a kept database (or its log) is
// never overwritten.
QString keptDatabasePath(const QString& folder, const QString& stamp)
{
    const QDir dir(folder);
    const auto taken = [](const QString& path) {
        return QFileInfo::exists(path) || QFileInfo::exists(path + QStringLiteral("-wal"));
    };
    QString path = dir.filePath(QStringLiteral("Qrdb%1.replaced.db").arg(stamp));
    for (int n = 2; taken(path); ++n)
        path = dir.filePath(QStringLiteral("Qrdb%1_%2.replaced.db").arg(stamp).arg(n));
    return path;
}

// Whether a table exists and how many rows it holds (-1: no such table).
int rowCount(CAdoConnection& db, const QString& table)
{
    CAdoLease<CAdoRecordset> rs(db.AcquireRecordset());
    rs->Open(KvFormatSql(QStringLiteral("select count(*) as n from sqlite_master where type = 'table' and name = '%s'"),
                         table));
    if (rs->GetFieldInt(QStringLiteral("n")) == 0)
        return -1;
    rs->Open(QStringLiteral("select count(*) as n from %1").arg(table));
    return rs->GetFieldInt(QStringLiteral("n"));
}

// The tables a file must hold to stand in for the local database. The
// stand-alone edition's file is the whole database: operators to log in with
// and the report layouts, beside the parameter row. A network counter's own
// file holds only the counter's tables (its parameter row and the receipt
// layout it prints with), and is no database for a stand-alone counter.
bool holdsTheProgramsTables(CAdoConnection& db)
{
    if (rowCount(db, QStringLiteral("SysPara")) != 1)
        return false;
    if (KvIsNetworkEdition()) {
        const QStringList& tables = LocalTableNames();
        return std::all_of(tables.begin(), tables.end(),
                           [&](const QString& table) { return rowCount(db, table) >= 0; });
    }
    return rowCount(db, QStringLiteral("Operator")) > 0 && rowCount(db, QStringLiteral("KvReportForm")) >= 0 &&
           rowCount(db, QStringLiteral("KvReportCol")) >= 0;
}

} // namespace

QString DefaultBackupPath(const QDateTime& now)
{
    return QDir(GetAppDirectory()).filePath(QStringLiteral("backup/Qrdb%1.db").arg(stamp(now)));
}

bool BackupDatabase(CAdoConnection& db, const QString& target)
{
    auto* engine = dynamic_cast<CSqliteEngine*>(db.GetEngine());
    if (!engine || !engine->isOpen() || target.isEmpty() || samePath(target, engine->path()))
        return false;
    const QString part = target + QStringLiteral(".part");
    removeDatabaseFile(part);
    try {
        engine->backupTo(part);
    } catch (...) {
        removeDatabaseFile(part);
        return false;
    }
    if (QFileInfo::exists(target) && !QFile::remove(target)) {
        removeDatabaseFile(part);
        return false;
    }
    removeLogFiles(target);
    if (!QFile::rename(part, target)) {
        removeDatabaseFile(part);
        return false;
    }
    return true;
}

bool IsRestorableDatabase(const QString& path)
{
    try {
        CAdoConnection candidate;
        candidate.Open(0, QStringLiteral("Data Source=%1").arg(path));
        bool sound = false;
        {
            CAdoLease<CAdoRecordset> rs(candidate.AcquireRecordset());
            rs->Open(QStringLiteral("PRAGMA integrity_check"));
            sound =
                !rs->IsEOF() && rs->GetRecordCount() == 1 && rs->GetFieldValue(0).toString() == QStringLiteral("ok");
        }
        sound = sound && holdsTheProgramsTables(candidate);
        candidate.Close();
        return sound;
    } catch (...) {
        return false;
    }
}

bool RestoreDatabase(const QString& source)
{
    const QString live = GetLocalDatabasePath();
    if (source.isEmpty() || samePath(source, live))
        return false;
    // The chosen file itself is never opened: the check runs on a copy, which
    // then moves into place by a rename.
    const QString staged = live + QStringLiteral(".restoring");
    removeDatabaseFile(staged);
    if (!CopyFileReplace(source, staged) || !IsRestorableDatabase(staged)) {
        removeDatabaseFile(staged);
        return false;
    }

    GetLocalDatabase()->Close();
    if (GetMainDatabase() != GetLocalDatabase())
        GetMainDatabase()->Close();

    const QString kept = keptDatabasePath(QFileInfo(live).path(), stamp(GetServerTime()));
    if (QFileInfo::exists(live) && !QFile::rename(live, kept)) {
        removeDatabaseFile(staged);
        return false;
    }
    // A log left beside the old name would be replayed into the restored file;
    // it belongs to the kept database.
    QFile::rename(live + QStringLiteral("-wal"), kept + QStringLiteral("-wal"));
    removeLogFiles(live);
    removeLogFiles(staged);
    if (!QFile::rename(staged, live)) {
        QFile::rename(kept, live);
        QFile::rename(kept + QStringLiteral("-wal"), live + QStringLiteral("-wal"));
        removeDatabaseFile(staged);
        return false;
    }
    return true;
}
