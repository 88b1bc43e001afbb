#pragma once

#include "CDbEngine.h"

#include <QString>

// The dBASE exchange tables of a folder as a read-only database: every
// <table>.dbf there is a table, and "select * from <table>" gives its records
// that are not flagged deleted, every field as text. An importer opens a
// connection of its own on it, as it would on any other provider.
class CDbfEngine : public CDbEngine
{
public:
    // A folder that does not exist or cannot be read throws: the connection
    // does not open.
    explicit CDbfEngine(const QString& folder);

    void close() override { m_open = false; }
    bool isOpen() const override { return m_open; }
    // The tables are only read here.
    int execute(const QString& sql) override;
    void executeScript(const QString& script) override { execute(script); }
    // "select * from <table>"; a missing table throws a text that names it.
    void query(const QString& sql, CDbResult& result) override;
    void begin(int) override {}
    void commit(int) override {}
    void rollback(int) override {}
    bool inTransaction() const override { return false; }

    // The folder of a dBASE connection string ("...;Data Source=<folder>;...").
    static QString FolderOf(const QString& connectString);

private:
    QString m_folder;
    bool m_open = true;
};
