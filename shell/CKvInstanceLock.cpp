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

bool CKvInstanceLock::Acquire(const QString& folder)
{
    Release();
    auto lock = std::make_unique<QLockFile>(LockFilePath(folder));
    // A running copy may hold the lock for days: never count it as stale by
    // age. Stale means that the process written into the file is gone.
    lock->setStaleLockTime(0);
    if (lock->tryLock(0)) {
        m_lock = std::move(lock);
        return true;
    }
    return lock->error() != QLockFile::LockFailedError;
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
