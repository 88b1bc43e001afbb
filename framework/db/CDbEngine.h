#pragma once

#include "CDbResult.h"

#include <QString>
#include <functional>
#include <memory>

// The database engine behind a CAdoConnection. The connection keeps the rules
// (dialect step, transaction depth, pools, thrown texts); an engine only runs
// statements. Every method throws CKvException with the engine's own message.
class CDbEngine
{
public:
    virtual ~CDbEngine() = default;

    virtual void close() = 0;
    virtual bool isOpen() const = 0;

    // Runs one statement that returns no rows; returns the number of rows it
    // changed. A text with a second statement throws and runs nothing.
    virtual int execute(const QString& sql) = 0;
    // Runs one insert "insert into T (columns) values (?, ?, …)" once for
    // every row of `rows` (its cells in the order of the placeholders);
    // returns the rows changed. An engine that binds the values runs the
    // statement prepared once, its values never written into the text. This
    // one writes the rows into as few statements of the same insert as the
    // longest text allows (quotes doubled, numbers with a '.').
    virtual int executeForRows(const QString& sql, const CDbResult& rows);
    // Runs every statement of a script in turn (schema and upgrade scripts only).
    virtual void executeScript(const QString& script) = 0;
    // Runs one query and replaces the result with all of its rows; a text with
    // a second statement throws.
    virtual void query(const QString& sql, CDbResult& result) = 0;
    // Runs one query and hands its rows on in blocks, each a result with the
    // query's columns. `eachBlock` takes the rows it keeps by swapping the
    // block with a result of its own whose rows it has used (whose memory the
    // next block then fills again); whatever it leaves is emptied. An engine
    // that reads its rows in steps hands on a block every `rowsPerBlock` rows
    // and holds no more; the others read the whole result and hand it on as
    // one block. A query without rows hands on nothing. An exception from
    // `eachBlock` ends the query.
    virtual void queryBlocks(const QString& sql, int rowsPerBlock,
                             const std::function<void(CDbResult& block)>& eachBlock)
    {
        (void)rowsPerBlock;
        CDbResult result;
        query(sql, result);
        if (result.rowCount > 0)
            eachBlock(result);
    }

    // Transactions by nesting level: level 1 is the outermost one.
    virtual void begin(int level) = 0;
    virtual void commit(int level) = 0;
    // Level 1 rolls the transaction back; an inner level returns to its
    // savepoint and lets it go, so the outer levels go on.
    virtual void rollback(int level);
    // True while the engine itself holds an open transaction; it may have ended
    // one on its own (a full disk, an I/O error).
    virtual bool inTransaction() const = 0;

    // True while the connection to the database is lost (the server closed
    // it, or it could not be opened again): the failure just thrown then
    // lost the statement's transaction with it, whatever it was.
    virtual bool connectionLost() const { return false; }

    // A second connection to the same database, for work that may not wait
    // for this connection's transaction (the key draws of the server); null
    // where the engine has none.
    virtual std::unique_ptr<CDbEngine> openSibling() const { return nullptr; }

    // Called now and then while a statement runs, on the thread that runs it
    // (an empty function: never). The callback must not use the connection.
    // An engine that cannot call back mid-statement ignores it.
    virtual void setProgressHandler(std::function<void()> handler) { (void)handler; }

protected:
    // The savepoint that stands for a nested level.
    static QString SavepointName(int level) { return QStringLiteral("kv_level_%1").arg(level); }
};

inline void CDbEngine::rollback(int level)
{
    if (level <= 1) {
        execute(QStringLiteral("ROLLBACK"));
        return;
    }
    const QString name = SavepointName(level);
    execute(QStringLiteral("ROLLBACK TO SAVEPOINT %1").arg(name));
    execute(QStringLiteral("RELEASE SAVEPOINT %1").arg(name));
}
