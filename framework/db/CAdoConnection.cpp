#include "CAdoConnection.h"

#include "CAdoCommand.h"
#include "CAdoRecordset.h"
#include "CKvException.h"
#include "CSqliteEngine.h"
#include "KvSql.h"
#ifdef QUILLMER_HAVE_LIBPQ
#include "CPgEngine.h"
#endif

#include <algorithm>

namespace {

// The text RecordExists and Execute throw: the caller's. An empty caller text
// would hide what went wrong, so the engine's own message is kept behind a
// fixed text instead.
QString callerText(const QString& errorText, const QString& engineMessage)
{
    if (!errorText.isEmpty())
        return errorText;
    return QStringLiteral("执行Sql语句时发生错误！%1").arg(engineMessage);
}

// The caller's text of a failure, followed by the engine's when the
// connection was lost: that text says the whole operation was undone and
// what to check, which the caller's words ("提交事务时发生错误！") do not.
QString failureText(const CDbEngine* engine, const QString& text, const QString& engineMessage)
{
    if (!engine || !engine->connectionLost() || engineMessage.isEmpty() || text.contains(engineMessage))
        return text;
    return text + QStringLiteral("\n\n") + engineMessage;
}

// Runs a statement body and turns any failure into the caller's text.
template <class Body> auto withCallerText(const CDbEngine* engine, const QString& errorText, Body&& body)
{
    try {
        return body();
    } catch (const CKvException& e) {
        throw CKvException(failureText(engine, callerText(errorText, e.text()), e.text()));
    } catch (...) {
        throw CKvException(callerText(errorText, QString()));
    }
}

// The first free wrapper of a pool, or a new one when all are in use.
template <class Wrapper> Wrapper* acquireFrom(std::vector<std::unique_ptr<Wrapper>>& pool, CAdoConnection* owner)
{
    auto free = std::find_if(pool.begin(), pool.end(), [](const auto& w) { return !w->IsInUse(); });
    if (free == pool.end()) {
        pool.push_back(std::make_unique<Wrapper>(owner));
        free = pool.end() - 1;
    }
    (*free)->SetInUse(true);
    return free->get();
}

} // namespace

CAdoConnection::CAdoConnection() = default;

CAdoConnection::~CAdoConnection()
{
    try {
        Close();
    } catch (...) {
    }
}

QString CAdoConnection::DataSourceOf(const QString& connectString)
{
    if (!connectString.contains(u'='))
        return connectString.trimmed();
    const QStringList parts = connectString.split(u';', Qt::SkipEmptyParts);
    for (const QString& part : parts) {
        const int eq = part.indexOf(u'=');
        if (eq > 0 && part.left(eq).trimmed().compare(QStringLiteral("Data Source"), Qt::CaseInsensitive) == 0)
            return part.mid(eq + 1).trimmed();
    }
    return QString();
}

int CAdoConnection::Open(int kind, const QString& connectString)
{
    if (IsOpen())
        return 1;
    try {
        if (kind == 1) {
#ifdef QUILLMER_HAVE_LIBPQ
            return OpenEngine(std::make_unique<CPgEngine>(connectString), kind);
#else
            throw CKvException(QStringLiteral("the network edition's engine is not built"));
#endif
        }
        if (kind != 0)
            throw CKvException(QStringLiteral("unknown connection kind"));
        const QString path = DataSourceOf(connectString);
        if (path.isEmpty())
            throw CKvException(QStringLiteral("no data source"));
        return OpenEngine(std::make_unique<CSqliteEngine>(path), kind);
    } catch (...) {
        throw CKvException(QStringLiteral("连接数据库失败"));
    }
}

int CAdoConnection::OpenEngine(std::unique_ptr<CDbEngine> engine, int kind)
{
    if (IsOpen())
        return 1;
    m_engine = std::move(engine);
    m_keyEngine.reset();
    m_transDepth = 0;
    m_lostLevels = 0;
    m_rollbackOnly = false;
    m_serverFlag = kind;
    return 1;
}

void CAdoConnection::Close()
{
    for (auto& rs : m_recordsets)
        rs->Close();
    m_keyEngine.reset();
    if (m_engine) {
        m_engine->close();
        m_engine.reset();
    }
    m_transDepth = 0;
    m_lostLevels = 0;
    m_rollbackOnly = false;
}

bool CAdoConnection::IsOpen() const
{
    return m_engine && m_engine->isOpen();
}

QString CAdoConnection::GetFilePath() const
{
    if (auto* sqlite = dynamic_cast<CSqliteEngine*>(m_engine.get()))
        return sqlite->path();
    return QString();
}

void CAdoConnection::syncDepthWithEngine()
{
    // SQLite ends a transaction by itself on some failures (a full disk, an I/O
    // error); the counter follows it, so the next BeginTrans starts a real one.
    // The callers of those levels still unwind them: their rollbacks have
    // nothing left to do, and a commit of them must not report success.
    if (m_transDepth > 0 && m_engine && !m_engine->inTransaction()) {
        m_lostLevels += m_transDepth;
        m_transDepth = 0;
        m_rollbackOnly = false;
    }
}

void CAdoConnection::BeginTrans()
{
    // While levels the engine ended are still owed their rollback, a new
    // transaction would be taken for the lost one: those callers' rollback
    // would undo it, or their later statements would land in it.
    if (m_lostLevels > 0)
        throw CKvException(QStringLiteral("开始事务时发生错误！"));
    ++m_transDepth;
    if (m_transDepth > 1 && m_serverFlag == 1)
        return;
    QString reason;
    try {
        if (!m_engine)
            throw CKvException(QString());
        m_engine->begin(m_transDepth);
        return;
    } catch (const CKvException& e) {
        reason = e.text();
    } catch (...) {
    }
    --m_transDepth;
    syncDepthWithEngine();
    throw CKvException(failureText(m_engine.get(), QStringLiteral("开始事务时发生错误！"), reason));
}

int CAdoConnection::endTransaction(bool commit)
{
    if (m_transDepth == 0 && m_lostLevels > 0) {
        // The engine has rolled this level back already: a rollback has
        // nothing left to do, a commit must not report success.
        --m_lostLevels;
        if (commit)
            throw CKvException(QStringLiteral("提交事务时发生错误！"));
        return 1;
    }
    if (m_transDepth == 0) {
        // No level is open (a guard's rollback after its failed commit has
        // ended the level already): nothing to roll back, nothing to commit.
        // Sent on, a ROLLBACK would succeed on a connection opened anew and
        // leave the depth below zero.
        if (commit)
            throw CKvException(QStringLiteral("提交事务时发生错误！"));
        return 1;
    }
    --m_transDepth;
    if (m_transDepth > 0 && m_serverFlag == 1) {
        // The server has one real transaction for all levels: an inner
        // rollback cannot undo its own part alone, so the whole transaction
        // may only end in a rollback now. Without this the outer caller would
        // commit the work the inner one rolled back.
        if (!commit)
            m_rollbackOnly = true;
        return 1;
    }
    if (commit && m_rollbackOnly) {
        // The outermost commit of a transaction an inner level rolled back:
        // roll it back for real and fail. The caller's rollback, still owed,
        // then has nothing left to do. Should the rollback fail, the group
        // stays doomed: a later commit fails again.
        try {
            if (m_engine)
                m_engine->rollback(1);
        } catch (...) {
        }
        ++m_transDepth;
        syncDepthWithEngine();
        throw CKvException(QStringLiteral("提交事务时发生错误！"));
    }
    if (m_transDepth == 0)
        m_rollbackOnly = false;
    QString reason;
    try {
        if (!m_engine)
            throw CKvException(QString());
        if (commit)
            m_engine->commit(m_transDepth + 1);
        else
            m_engine->rollback(m_transDepth + 1);
        return 1;
    } catch (const CKvException& e) {
        reason = e.text();
    } catch (...) {
    }
    ++m_transDepth;
    syncDepthWithEngine();
    throw CKvException(failureText(m_engine.get(),
                                   commit ? QStringLiteral("提交事务时发生错误！") : QStringLiteral("回滚事务时发生错误！"),
                                   reason));
}

int CAdoConnection::CommitTrans()
{
    return endTransaction(true);
}

int CAdoConnection::RollbackTrans()
{
    return endTransaction(false);
}

CAdoRecordset* CAdoConnection::AcquireRecordset()
{
    return acquireFrom(m_recordsets, this);
}

CAdoCommand* CAdoConnection::AcquireCommand()
{
    return acquireFrom(m_commands, this);
}

QString CAdoConnection::StripCDate(QString& sql)
{
    // One pass: each marker takes the first ')' after it that no earlier
    // marker took. A many-row insert holds tens of thousands of markers, so
    // the text is copied once rather than shifted at every one.
    const QString marker = QStringLiteral("CDate(");
    if (!sql.contains(marker, Qt::CaseSensitive))
        return sql;
    QString out;
    out.reserve(sql.size());
    int open = 0;
    qsizetype i = 0;
    for (;;) {
        const qsizetype next = sql.indexOf(marker, i, Qt::CaseSensitive);
        const qsizetype end = next < 0 ? sql.size() : next;
        for (; i < end; ++i) {
            if (open > 0 && sql[i] == u')')
                --open;
            else
                out += sql[i];
        }
        if (next < 0)
            break;
        ++open;
        i = next + marker.size();
    }
    if (open > 0)
        throw CKvException(QStringLiteral("Sql语句错误！"));
    sql = out;
    return sql;
}

QString CAdoConnection::ConvertSql(QString& sql) const
{
    if (m_serverFlag == 0)
        return sql;
    return StripCDate(sql);
}

void CAdoConnection::RunQuery(const QString& sql, CDbResult& result)
{
    if (!m_engine)
        throw CKvException(QStringLiteral("数据库没有打开！"));
    try {
        m_engine->query(sql, result);
    } catch (...) {
        syncDepthWithEngine();
        throw;
    }
}

void CAdoConnection::RunQueryBlocks(const QString& sql, int rowsPerBlock,
                                    const std::function<void(CDbResult& block)>& eachBlock)
{
    if (!m_engine)
        throw CKvException(QStringLiteral("数据库没有打开！"));
    try {
        m_engine->queryBlocks(sql, rowsPerBlock, eachBlock);
    } catch (...) {
        syncDepthWithEngine();
        throw;
    }
}

int CAdoConnection::RunStatement(const QString& sql)
{
    if (!m_engine)
        throw CKvException(QStringLiteral("数据库没有打开！"));
    try {
        return m_engine->execute(sql);
    } catch (...) {
        syncDepthWithEngine();
        throw;
    }
}

int CAdoConnection::DrawCounter(const QString& column, bool inCallersTransaction, int count)
{
    if (count < 1)
        throw CKvException(QStringLiteral("获取系统参数时发生错误！"));
    const QString sql = KvFormatSql("update SysPara set %s = %s + %d returning %s", column, column, count, column);
    if (!m_engine)
        throw CKvException(QStringLiteral("数据库没有打开！"));
    if (!m_keyEngine && !inCallersTransaction)
        m_keyEngine = m_engine->openSibling();
    CDbResult result;
    if (m_keyEngine && !inCallersTransaction)
        m_keyEngine->query(sql, result);
    else
        RunQuery(sql, result);
    if (result.rowCount < 1 || result.columns.isEmpty())
        throw CKvException(QStringLiteral("获取系统参数时发生错误！"));
    bool ok = false;
    const int value = result.variant(result.cell(0, 0)).toInt(&ok);
    if (!ok)
        throw CKvException(QStringLiteral("获取系统参数时发生错误！"));
    return value;
}

QString CAdoConnection::FailureText(const QString& words, const QString& reason) const
{
    return failureText(m_engine.get(), words, reason);
}

bool CAdoConnection::RecordExists(QString& sql, const QString& errorText)
{
    return withCallerText(m_engine.get(), errorText, [&] {
        CAdoLease<CAdoRecordset> rs(AcquireRecordset());
        rs->Open(sql);
        return rs->GetRecordCount() >= 1;
    });
}

bool CAdoConnection::RecordExists(const QString& sql, const QString& errorText)
{
    QString copy = sql;
    return RecordExists(copy, errorText);
}

int CAdoConnection::ExecuteForRows(const QString& sql, const CDbResult& rows, const QString& errorText)
{
    return withCallerText(m_engine.get(), errorText, [&] {
        if (!m_engine)
            throw CKvException(QStringLiteral("数据库没有打开！"));
        try {
            return m_engine->executeForRows(sql, rows);
        } catch (...) {
            syncDepthWithEngine();
            throw;
        }
    });
}

void CAdoConnection::ExecuteScript(const QString& script, const QString& errorText)
{
    withCallerText(m_engine.get(), errorText, [&] {
        if (!m_engine)
            throw CKvException(QStringLiteral("数据库没有打开！"));
        try {
            m_engine->executeScript(script);
        } catch (...) {
            syncDepthWithEngine();
            throw;
        }
    });
}

int CAdoConnection::Execute(QString& sql, const QString& errorText)
{
    return withCallerText(m_engine.get(), errorText, [&] {
        CAdoLease<CAdoCommand> cmd(AcquireCommand());
        return cmd->Execute(sql);
    });
}

int CAdoConnection::Execute(const QString& sql, const QString& errorText)
{
    QString copy = sql;
    return Execute(copy, errorText);
}
