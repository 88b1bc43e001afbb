#include "CKvInstanceLock.h"

#include <QDir>
#include <QLockFile>

CKvInstanceLock::CKvInstanceLock() = default;

CKvInstanceLock::~CKvInstanceLock()
{
    Release();
}

QString CKvInstanceLock::LockFilePath(const QString& folder)
{
    return QDir(folder).filePath(InstanceName() + QStringLiteral(".lock"));
}

CKvInstanceLock::Outcome CKvInstanceLock::Acquire(const QString& folder)
{
    Release();
    auto lock = std::make_unique<QLockFile>(LockFilePath(folder));
    // A running copy may hold the lock for days: never count it as stale by
    // age. Stale means that the process written into the file is gone.
    lock->setStaleLockTime(0);
    if (lock->tryLock(0)) {
        m_lock = std::move(lock);
        return Acquired;
    }
    // Held means a lock file naming its owner; anything in its place that
    // cannot be read as one (a folder, an unreadable file) is no running copy.
    qint64 pid = 0;
    QString host;
    QString application;
    if (lock->error() == QLockFile::LockFailedError && lock->getLockInfo(&pid, &host, &application))
        return HeldByAnotherCopy;
    return CannotLock;
}

void CKvInstanceLock::Release()
{
    if (m_lock) {
        m_lock->unlock();
        m_lock.reset();
    }
}

bool CKvInstanceLock::IsHeld() const
{
    return m_lock && m_lock->isLocked();
}
