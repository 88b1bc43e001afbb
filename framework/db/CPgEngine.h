#pragma once

#include "CDbEngine.h"

#include <QMap>
#include <QString>

struct pg_conn;
struct pg_result;

// The network edition's server: a PostgreSQL database reached through libpq.
// The connection string is the one the counters keep for the server:
//   "Provider=SQLOLEDB;Server=host[,port];Database=qrdb;uid=<login>;pwd=<password>"
// (keys without regard to case; "Server" as "host,port" or a bare host).
// Results come back as the embedded engine gives them: integers, doubles, text,
// NULL, and dates in the canonical text form ("YYYY-MM-DD" at midnight, else
// "YYYY-MM-DD HH:MM:SS").
class CPgEngine : public CDbEngine
{
public:
    // Connects; a refused or failed connection throws CKvException with the
    // server's message.
    explicit CPgEngine(const QString& connectString);
    ~CPgEngine() override;

    void close() override;
    bool isOpen() const override;
    int execute(const QString& sql) override;
    void executeScript(const QString& script) override;
    void query(const QString& sql, CDbResult& result) override;
    void begin(int level) override;
    // Commits; a transaction a failed statement has already doomed is rolled
    // back instead and the commit throws (the server would only report the
    // rollback as the commit's tag).
    void commit(int level) override;
    bool inTransaction() const override;

    // The key=value pairs of a connection string, keys in lower case.
    static QMap<QString, QString> ConnectPairs(const QString& connectString);
    // The libpq keywords of a counter's server connection string (host, port,
    // dbname, user, password); throws when the string names no server.
    static QMap<QString, QString> LibpqParams(const QString& connectString);

    pg_conn* handle() const { return m_conn; }

private:
    // The result of a statement that succeeded; a failed one throws.
    pg_result* checked(pg_result* result) const;
    // Runs one statement through the extended protocol, which refuses a
    // second statement in the same text; throws the server's message.
    pg_result* runSingle(const QString& sql);
    [[noreturn]] void fail(pg_result* result) const;

    pg_conn* m_conn = nullptr;
};
