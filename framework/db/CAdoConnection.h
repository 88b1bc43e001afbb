#pragma once

#include "CDbEngine.h"

#include <QString>
#include <memory>
#include <vector>

class CAdoRecordset;
class CAdoCommand;

// One open database, its transactions and two pools of reusable statement
// objects. All SQL of the program is written in the Jet dialect; ConvertSql
// makes the one change that the network edition's server needs.
//
// Connection string of kind 0 (the embedded file): "Data Source=<path>" with
// further "key=value" pairs separated by ';' ignored, or the bare path. The file
// must exist: a connection never creates a database.
class CAdoConnection
{
public:
    CAdoConnection();
    ~CAdoConnection();
    CAdoConnection(const CAdoConnection&) = delete;
    CAdoConnection& operator=(const CAdoConnection&) = delete;

    // Returns 1; every failure throws "连接数据库失败".
    int Open(int kind, const QString& connectString);
    // Binds an engine that is already open (the seam the tests use for the
    // network edition's rules). Returns 1.
    int OpenEngine(std::unique_ptr<CDbEngine> engine, int kind);
    void Close();
    bool IsOpen() const;

    // Throws "开始事务时发生错误！" while a level the engine ended by itself is
    // still owed its RollbackTrans.
    void BeginTrans();
    int CommitTrans();
    int RollbackTrans();
    int GetTransDepth() const { return m_transDepth; }

    CAdoRecordset* AcquireRecordset();
    CAdoCommand* AcquireCommand();

    QString ConvertSql(QString& sql) const;
    bool RecordExists(QString& sql, const QString& errorText);
    bool RecordExists(const QString& sql, const QString& errorText);
    // Runs one statement without rows; returns the number of rows it changed.
    // A text with a second statement throws the caller's text and runs nothing.
    int Execute(QString& sql, const QString& errorText);
    int Execute(const QString& sql, const QString& errorText);
    // Runs one insert "insert into T (columns) values (?, …)" once for every
    // row of `rows`, the values bound where the engine binds them
    // (CDbEngine::executeForRows); returns the rows changed. A failure throws
    // the caller's text.
    int ExecuteForRows(const QString& sql, const CDbResult& rows, const QString& errorText);
    // Runs a schema or upgrade script of several statements, unconverted; the
    // only way to run more than one statement in one call.
    void ExecuteScript(const QString& script, const QString& errorText);

    // The key allocator's one statement: the counter column of SysPara goes
    // up by one and its new value comes back. On the server it runs on a
    // second connection of its own, committed at once: a key draw then never
    // holds the counter row to the end of a long transaction of this
    // connection, which would stop every other counter's sale until then. A
    // key whose transaction rolls back is a gap. On the file it runs here.
    // `inCallersTransaction` draws here on the server too (a number that
    // may have no gaps, drawn in a short transaction that gives it back on a
    // rollback); no key may then be drawn later in that transaction, as the
    // second connection would wait for this one's row lock. `count` keys are
    // drawn at once with a count above 1: the counter goes up by `count` and
    // the keys are the `count` values below the one returned.
    int DrawCounter(const QString& column, bool inCallersTransaction = false, int count = 1);

    // The text of a failure in the caller's words; when the connection was
    // lost, the reason (the layer's text of the lost connection, with what to
    // do) follows them. For callers that report a group of statements in
    // words of their own.
    QString FailureText(const QString& words, const QString& reason) const;

    int GetServerFlag() const { return m_serverFlag; }
    CDbEngine* GetEngine() const { return m_engine.get(); }
    // The file of the embedded engine, empty for any other.
    QString GetFilePath() const;

    // Pool sizes, for tests of the pools.
    int RecordsetPoolSize() const { return static_cast<int>(m_recordsets.size()); }
    int CommandPoolSize() const { return static_cast<int>(m_commands.size()); }

    // The statement runners of the wrappers; they keep the depth counter in
    // step with an engine that ended a transaction by itself.
    void RunQuery(const QString& sql, CDbResult& result);
    void RunQueryBlocks(const QString& sql, int rowsPerBlock, const std::function<void(CDbResult& block)>& eachBlock);
    int RunStatement(const QString& sql);

    // "Data Source=<path>;..." → the path; a bare path is returned as it is.
    static QString DataSourceOf(const QString& connectString);
    // The dialect step of the network edition's server: every CDate( and the
    // next ) after it are removed; a CDate( without a ) throws "Sql语句错误！".
    static QString StripCDate(QString& sql);

private:
    void syncDepthWithEngine();
    // The common body of CommitTrans and RollbackTrans.
    int endTransaction(bool commit);

    std::unique_ptr<CDbEngine> m_engine;
    // The server's connection of the key draws, opened at the first draw.
    std::unique_ptr<CDbEngine> m_keyEngine;
    int m_transDepth = 0;
    // Levels the engine ended by itself: the callers still owe their
    // RollbackTrans (which then succeeds quietly) and may not commit them.
    int m_lostLevels = 0;
    // Kind 1 only: an inner level rolled back, so the one real transaction may
    // not be committed.
    bool m_rollbackOnly = false;
    std::vector<std::unique_ptr<CAdoRecordset>> m_recordsets;
    std::vector<std::unique_ptr<CAdoCommand>> m_commands;
    int m_serverFlag = 0;
};

// Gives a pooled wrapper back on every path out of a scope.
template <typename Wrapper> class CAdoLease
{
public:
    explicit CAdoLease(Wrapper* wrapper) : m_wrapper(wrapper) {}
    ~CAdoLease()
    {
        if (m_wrapper)
            m_wrapper->Release();
    }
    CAdoLease(const CAdoLease&) = delete;
    CAdoLease& operator=(const CAdoLease&) = delete;
    Wrapper* operator->() const { return m_wrapper; }
    Wrapper& operator*() const { return *m_wrapper; }
    Wrapper* get() const { return m_wrapper; }

private:
    Wrapper* m_wrapper;
};

// A group of statements that succeed together: rolls back on every path that
// did not reach Commit. A failing rollback in the destructor is swallowed (the
// first failure is the one being reported).
class CAdoTransaction
{
public:
    explicit CAdoTransaction(CAdoConnection& connection) : m_connection(connection) { m_connection.BeginTrans(); }
    ~CAdoTransaction()
    {
        if (!m_done) {
            try {
                m_connection.RollbackTrans();
            } catch (...) {
            }
        }
    }
    CAdoTransaction(const CAdoTransaction&) = delete;
    CAdoTransaction& operator=(const CAdoTransaction&) = delete;

    void Commit()
    {
        m_connection.CommitTrans();
        m_done = true;
    }
    void Rollback()
    {
        m_done = true;
        m_connection.RollbackTrans();
    }

private:
    CAdoConnection& m_connection;
    bool m_done = false;
};
