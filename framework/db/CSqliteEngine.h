#pragma once

#include "CDbEngine.h"

#include <QHash>

struct KvLead;
struct sqlite3;
struct sqlite3_stmt;

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
    int executeForRows(const QString& sql, const CDbResult& rows) override;
    void executeScript(const QString& script) override;
    void query(const QString& sql, CDbResult& result) override;
    void queryBlocks(const QString& sql, int rowsPerBlock,
                     const std::function<void(CDbResult& block)>& eachBlock) override;
    void begin(int level) override;
    void commit(int level) override;
    bool inTransaction() const override;
    void setProgressHandler(std::function<void()> handler) override;

    sqlite3* handle() const { return m_db; }

    // The text a query runs as: a household, a period or else the table
    // that grows with the years drives the join, the tables a sale refers to
    // then read once where the lead reaches as many sales as they have rows
    // (KvPeriodJoin.h), or the users first where conditions on them leave
    // few; anything else as written.
    QString adaptQuery(const QString& sql) const;
    // Whether an index of the table, or its integer primary key, begins with the column.
    bool leadsIndex(const QString& table, const QString& column) const;
    // Whether the column alone is a unique key of the table (its integer
    // primary key or a unique index of that column only).
    bool isUniqueKey(const QString& table, const QString& column) const;
    const QString& path() const { return m_path; }

    // Creates a new database file from a schema script; fails when the file exists.
    static void createFile(const QString& path, const QString& script);

    // Copies the open database into a new file through SQLite's online backup.
    void backupTo(const QString& targetPath);

private:
    // Whether a statement led as `lead` reaches enough rows for the tables a
    // sale refers to to be read once rather than found again for each.
    bool readingOncePays(const KvLead& lead, const QStringList& onceTables) const;
    // Whether the literal equalities on a household table of a statement
    // the sales lead leave few households (a building's, not a district's).
    bool fewHouseholds(const KvLead& lead) const;
    // The answer to a question about the schema, asked once per schema version.
    bool rememberedAnswer(QHash<QString, bool>& answers,
                          bool (CSqliteEngine::*question)(const QString&, const QString&) const, const QString& table,
                          const QString& column) const;
    // Prepares the one statement of a text (null for blanks only); a second
    // statement throws and nothing is run.
    sqlite3_stmt* prepareSingle(const QByteArray& text) const;
    // Throws the handle's last message, finalising the failed statement first.
    [[noreturn]] void fail(sqlite3_stmt* stmt = nullptr) const;
    // Steps a query into the result: every row, or with `eachRow` one row at a time.
    // Reads the rows into `result`, or with `eachBlock` hands them on every `rowsPerBlock` rows.
    void step(const QString& sql, CDbResult& result, int rowsPerBlock,
              const std::function<void(CDbResult& block)>* eachBlock);

    sqlite3* m_db = nullptr;
    QString m_path;
    std::function<void()> m_progress;
    mutable QHash<QString, bool> m_leadsIndexAnswers;
    mutable QHash<QString, bool> m_uniqueKeyAnswers;
    mutable qint64 m_answersSchemaVersion = -1;
};
