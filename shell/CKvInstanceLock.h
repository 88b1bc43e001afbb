#pragma once

#include <QString>
#include <memory>

class QLockFile;

// Keeps a second copy of the program from running on the same program folder.
// The lock is a file named after the single-instance name in the program
// folder; a copy that crashed leaves a file whose owner no longer runs, and
// the next start takes it over instead of being refused for good.
class CKvInstanceLock
{
public:
    static QString InstanceName() { return QStringLiteral("KV_KALDERONIS_MUTEX"); }

    CKvInstanceLock();
    ~CKvInstanceLock();
    CKvInstanceLock(const CKvInstanceLock&) = delete;
    CKvInstanceLock& operator=(const CKvInstanceLock&) = delete;

    enum Outcome
    {
        Acquired,
        HeldByAnotherCopy,
        // The lock file cannot be made (a read-only folder, a folder in its
        // place): running without it would let two copies draw the same keys.
        CannotLock,
    };

    // Takes the lock in `folder`.
    Outcome Acquire(const QString& folder);
    void Release();
    bool IsHeld() const;

    static QString LockFilePath(const QString& folder);

private:
    std::unique_ptr<QLockFile> m_lock;
};
