#include "KvBackup.h"

#include "CAdoConnection.h"
#include "CAdoRecordset.h"
#include "CSqliteEngine.h"
#include "KvUtil.h"
#include "SysGlobals.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

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
            if (sound) {
                rs->Open(QStringLiteral("select count(*) as n from SysPara"));
                sound = rs->GetFieldInt(QStringLiteral("n")) == 1;
            }
        }
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

    const QString kept =
        QDir(QFileInfo(live).path()).filePath(QStringLiteral("Qrdb%1.replaced.db").arg(stamp(GetServerTime())));
    removeDatabaseFile(kept);
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
        removeDatabaseFile(staged);
        return false;
    }
    return true;
}
