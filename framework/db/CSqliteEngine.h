#pragma once

#include "CDbEngine.h"

struct sqlite3;

// The embedded engine: one SQLite file in WAL mode with synchronous=FULL.
// The Jet functions the program's SQL uses (CDate) are registered on the handle.
class CSqliteEngine : public CDbEngine
{
public:
    // Opens an existing file; a missing or unreadable file throws CKvException.
    explicit CSqliteEngine(const QString& path);
    ~CSqliteEngine() override;

    void close() override;
    bool isOpen() const override { return m_db != nullptr; }
    int execute(const QString& sql) override;
    void query(const QString& sql, CDbResult& result) override;
    void begin(int level) override;
    void commit(int level) override;
    void rollback(int level) override;
    bool inTransaction() const override;

    sqlite3* handle() const { return m_db; }
    const QString& path() const { return m_path; }

    // Registers the Jet-dialect functions on a handle (also used by the file creator).
    static void registerDialect(sqlite3* db);

    // Creates a new database file from a schema script; fails when the file exists.
    static void createFile(const QString& path, const QString& script);

    // Copies the open database into a new file through SQLite's online backup.
    void backupTo(const QString& targetPath);

private:
    [[noreturn]] void fail(const QString& what) const;

    sqlite3* m_db = nullptr;
    QString m_path;
};
