#include "CSqliteEngine.h"

#include "CKvException.h"
#include "KvPeriodJoin.h"
#include "KvPlannerStatistics.h"
#include "KvSql.h"

#include <QFile>
#include <QFileInfo>
#include <algorithm>
#include <sqlite3.h>

namespace {

// CDate(text) of the Jet dialect: the canonical stored date text, so that text
// order is time order and a date equals the same day at midnight.
void cdateFunction(sqlite3_context* ctx, int argc, sqlite3_value** argv)
{
    if (argc != 1 || sqlite3_value_type(argv[0]) == SQLITE_NULL) {
        sqlite3_result_null(ctx);
        return;
    }
    const auto* raw = reinterpret_cast<const char*>(sqlite3_value_text(argv[0]));
    const QDateTime dt = KvParseDateText(QString::fromUtf8(raw));
    if (!dt.isValid()) {
        sqlite3_result_error(ctx, "CDate: invalid date", -1);
        return;
    }
    const QByteArray text = KvDateText(dt).toUtf8();
    sqlite3_result_text(ctx, text.constData(), text.size(), SQLITE_TRANSIENT);
}

// Registers the Jet-dialect functions the program's SQL uses on a handle.
void registerDialect(sqlite3* db)
{
    sqlite3_create_function_v2(db, "CDate", 1, SQLITE_UTF8 | SQLITE_DETERMINISTIC, nullptr, cdateFunction, nullptr,
                               nullptr, nullptr);
}

// Opens a handle with the dialect registered; a failure throws the engine's message.
sqlite3* openHandle(const QString& path, int flags)
{
    sqlite3* db = nullptr;
    const QByteArray name = path.toUtf8();
    if (sqlite3_open_v2(name.constData(), &db, flags, nullptr) != SQLITE_OK) {
        const QString message = db ? QString::fromUtf8(sqlite3_errmsg(db)) : QStringLiteral("out of memory");
        sqlite3_close(db);
        throw CKvException(message);
    }
    registerDialect(db);
    return db;
}

} // namespace

CSqliteEngine::CSqliteEngine(const QString& path) : m_path(path)
{
    if (!QFileInfo(path).isFile())
        throw CKvException(QStringLiteral("数据库文件不存在: %1").arg(path));
    m_db = openHandle(path, SQLITE_OPEN_READWRITE | SQLITE_OPEN_NOMUTEX);
    sqlite3_extended_result_codes(m_db, 1);
    sqlite3_busy_timeout(m_db, 5000);
    try {
        CDbResult ignored;
        query(QStringLiteral("PRAGMA journal_mode=WAL"), ignored);
        execute(QStringLiteral("PRAGMA synchronous=FULL"));
        // A counter's file holds years of sales: 64 MB of pages keep the
        // users, meters and prices a query joins to every sale in memory.
        execute(QStringLiteral("PRAGMA cache_size=-65536"));
        // Reads go through a memory map large enough for years of a
        // counter's sales (a million sales take about 400 MB), which saves a
        // copy of every page a whole-file statistic reads.
        query(QStringLiteral("PRAGMA mmap_size=1073741824"), ignored);
        // Reads the schema, so that a file that is no database fails here.
        query(QStringLiteral("select count(*) from sqlite_master"), ignored);
    } catch (...) {
        sqlite3_close(m_db);
        m_db = nullptr;
        throw;
    }
}

CSqliteEngine::~CSqliteEngine()
{
    close();
}

void CSqliteEngine::close()
{
    if (m_db) {
        // Planner statistics that describe the file, gathered again only
        // where they no longer do (KvPlannerStatistics.h). A file that
        // cannot be written now keeps what it had.
        if (sqlite3_get_autocommit(m_db)) {
            sqlite3_busy_timeout(m_db, 0);
            KvPlannerStatistics::Gather(m_db);
        }
        sqlite3_close_v2(m_db);
        m_db = nullptr;
    }
}

void CSqliteEngine::fail(sqlite3_stmt* stmt) const
{
    // The message is read before the statement is finalised, which may replace it.
    const QString message = m_db ? QString::fromUtf8(sqlite3_errmsg(m_db)) : QStringLiteral("database is closed");
    sqlite3_finalize(stmt);
    throw CKvException(message);
}

sqlite3_stmt* CSqliteEngine::prepareSingle(const QByteArray& text) const
{
    // A text is one statement: anything after it but blanks, comments and a
    // closing ';' is refused before the first statement runs, so that text
    // joined into a statement can never add a statement of its own.
    const char* end = text.constData() + text.size();
    const char* tail = nullptr;
    sqlite3_stmt* stmt = nullptr;
    if (sqlite3_prepare_v2(m_db, text.constData(), static_cast<int>(text.size()), &stmt, &tail) != SQLITE_OK)
        fail();
    while (tail && tail < end) {
        sqlite3_stmt* next = nullptr;
        const int rc = sqlite3_prepare_v2(m_db, tail, static_cast<int>(end - tail), &next, &tail);
        sqlite3_finalize(next);
        if (rc != SQLITE_OK || next) {
            sqlite3_finalize(stmt);
            throw CKvException(QStringLiteral("一次只能执行一条Sql语句"));
        }
    }
    return stmt;
}

int CSqliteEngine::execute(const QString& sql)
{
    if (!m_db)
        fail();
    sqlite3_stmt* stmt = prepareSingle(sql.toUtf8());
    if (!stmt)
        return 0; // only blanks or comments
    int rc;
    while ((rc = sqlite3_step(stmt)) == SQLITE_ROW) {
    }
    if (rc != SQLITE_DONE)
        fail(stmt);
    const int changed = sqlite3_changes(m_db);
    sqlite3_finalize(stmt);
    return changed;
}

int CSqliteEngine::executeForRows(const QString& sql, const CDbResult& rows)
{
    if (!m_db)
        fail();
    sqlite3_stmt* stmt = prepareSingle(sql.toUtf8());
    if (!stmt)
        return 0;
    std::unique_ptr<sqlite3_stmt, int (*)(sqlite3_stmt*)> statement(stmt, sqlite3_finalize);
    const int columns = static_cast<int>(rows.columns.size());
    if (columns != sqlite3_bind_parameter_count(stmt))
        throw CKvException(QStringLiteral("Sql语句错误！"));
    int changed = 0;
    for (int row = 0; row < rows.rowCount; ++row) {
        for (int i = 0; i < columns; ++i) {
            const CDbResult::Cell& cell = rows.cell(row, i);
            switch (cell.type()) {
            case CDbResult::Integer:
                sqlite3_bind_int64(stmt, i + 1, cell.integer);
                break;
            case CDbResult::Real:
                sqlite3_bind_double(stmt, i + 1, cell.real);
                break;
            case CDbResult::Text: {
                // The result outlives the step: its bytes need no copy.
                const std::string_view bytes = rows.textBytes(cell);
                sqlite3_bind_text(stmt, i + 1, bytes.data(), static_cast<int>(bytes.size()), SQLITE_STATIC);
                break;
            }
            default:
                sqlite3_bind_null(stmt, i + 1);
                break;
            }
        }
        if (sqlite3_step(stmt) != SQLITE_DONE)
            fail(statement.release());
        changed += sqlite3_changes(m_db);
        sqlite3_reset(stmt);
    }
    return changed;
}

void CSqliteEngine::executeScript(const QString& script)
{
    if (!m_db)
        fail();
    const QByteArray text = script.toUtf8();
    const char* tail = text.constData();
    const char* end = tail + text.size();
    while (tail < end) {
        sqlite3_stmt* stmt = nullptr;
        if (sqlite3_prepare_v2(m_db, tail, static_cast<int>(end - tail), &stmt, &tail) != SQLITE_OK)
            fail();
        if (!stmt)
            continue; // blanks, comments or a lone ';'
        int rc;
        while ((rc = sqlite3_step(stmt)) == SQLITE_ROW) {
        }
        if (rc != SQLITE_DONE)
            fail(stmt);
        sqlite3_finalize(stmt);
    }
}

namespace {

// The integer primary key of a table, when it is its only key column.
const char* const kRowidKeyOf = "union all select 1 from pragma_table_info(?1) t where t.pk = 1 "
                                "and t.name = ?2 collate nocase and upper(t.type) = 'INTEGER' "
                                "and (select count(*) from pragma_table_info(?1) where pk > 0) = 1";

// Whether a question about the schema, asked of a table (?1) and a column
// (?2), finds a row.
bool schemaHas(sqlite3* db, const QByteArray& question, const QString& table, const QString& column)
{
    if (!db)
        return false;
    sqlite3_stmt* stmt = nullptr;
    if (sqlite3_prepare_v2(db, question.constData(), question.size(), &stmt, nullptr) != SQLITE_OK) {
        sqlite3_finalize(stmt);
        return false;
    }
    const QByteArray t = table.toUtf8();
    const QByteArray c = column.toUtf8();
    sqlite3_bind_text(stmt, 1, t.constData(), t.size(), SQLITE_TRANSIENT);
    sqlite3_bind_text(stmt, 2, c.constData(), c.size(), SQLITE_TRANSIENT);
    const bool found = sqlite3_step(stmt) == SQLITE_ROW;
    sqlite3_finalize(stmt);
    return found;
}

} // namespace

bool CSqliteEngine::leadsIndex(const QString& table, const QString& column) const
{
    static const QByteArray question =
        QByteArray("select 1 from sqlite_master m, pragma_index_info(m.name) i where m.type = 'index' "
                   "and m.tbl_name = ?1 collate nocase and i.seqno = 0 and i.name = ?2 collate nocase ") +
        kRowidKeyOf;
    return schemaHas(m_db, question, table, column);
}

bool CSqliteEngine::isUniqueKey(const QString& table, const QString& column) const
{
    static const QByteArray question =
        QByteArray("select 1 from pragma_index_list(?1) l, pragma_index_info(l.name) i where l.\"unique\" = 1 "
                   "and i.name = ?2 collate nocase and (select count(*) from pragma_index_info(l.name)) = 1 ") +
        kRowidKeyOf;
    return schemaHas(m_db, question, table, column);
}

namespace {

// The integer the first column of a one-row question gives, or -1.
qint64 countOf(sqlite3* db, const QString& question)
{
    sqlite3_stmt* stmt = nullptr;
    const QByteArray text = question.toUtf8();
    qint64 count = -1;
    if (sqlite3_prepare_v2(db, text.constData(), text.size(), &stmt, nullptr) == SQLITE_OK &&
        sqlite3_step(stmt) == SQLITE_ROW)
        count = sqlite3_column_int64(stmt, 0);
    sqlite3_finalize(stmt);
    return count;
}

QString quotedName(const QString& name)
{
    return u'"' + QString(name).replace(u'"', QStringLiteral("\"\"")) + u'"';
}

// About the rows of a table, found in one search: its largest row number.
qint64 roughRowsOf(sqlite3* db, const QString& table)
{
    return countOf(db, QStringLiteral("select ifnull(max(rowid), 0) from ") + quotedName(table));
}

} // namespace

bool CSqliteEngine::readingOncePays(const KvLead& lead, const QStringList& onceTables) const
{
    // A lead read whole reaches every sale.
    if (lead.narrowing.isEmpty())
        return true;
    // Reading the tables a sale refers to once costs about what finding them
    // again for as many sales as the largest of them has rows does: a day's
    // or a meter's few sales find theirs one by one, as written.
    qint64 rows = 0;
    for (const QString& table : onceTables)
        rows = std::max(rows, roughRowsOf(m_db, table));
    if (rows <= 0)
        return false;
    const qint64 reached = countOf(m_db, QStringLiteral("select count(*) from (select 1 from %1 %2 where %3 limit %4)")
                                             .arg(quotedName(lead.table), lead.alias, lead.narrowing)
                                             .arg(rows));
    return reached >= rows;
}

bool CSqliteEngine::fewHouseholds(const KvLead& lead) const
{
    // A fiftieth of the households holds about a fiftieth of the sales:
    // found through their meters, those cost less than reading every sale.
    const qint64 rows = roughRowsOf(m_db, lead.householdTable);
    const qint64 limit = rows / 50 + 1;
    const qint64 found =
        countOf(m_db, QStringLiteral("select count(*) from (select 1 from %1 %2 where %3 limit %4)")
                          .arg(quotedName(lead.householdTable), lead.householdAlias, lead.householdTerms)
                          .arg(limit));
    return found >= 0 && found < limit;
}

bool CSqliteEngine::rememberedAnswer(QHash<QString, bool>& answers,
                                     bool (CSqliteEngine::*question)(const QString&, const QString&) const,
                                     const QString& table, const QString& column) const
{
    const QString key = table.toLower() + u'.' + column.toLower();
    const auto known = answers.constFind(key);
    if (known != answers.constEnd())
        return known.value();
    const bool answer = (this->*question)(table, column);
    answers.insert(key, answer);
    return answer;
}

QString CSqliteEngine::adaptQuery(const QString& sql) const
{
    // A statement asks the schema a few dozen questions: their answers are
    // kept until the schema changes.
    const qint64 version = m_db ? countOf(m_db, QStringLiteral("PRAGMA schema_version")) : -1;
    if (version != m_answersSchemaVersion) {
        m_leadsIndexAnswers.clear();
        m_uniqueKeyAnswers.clear();
        m_answersSchemaVersion = version;
    }
    const auto indexed = [this](const QString& table, const QString& column) {
        return rememberedAnswer(m_leadsIndexAnswers, &CSqliteEngine::leadsIndex, table, column);
    };
    const auto unique = [this](const QString& table, const QString& column) {
        return rememberedAnswer(m_uniqueKeyAnswers, &CSqliteEngine::isUniqueKey, table, column);
    };
    KvLead lead;
    const QString led = KvLeadingTableFirst(sql, indexed, &lead);
    if (led == sql)
        return sql;
    if (m_db && !lead.householdAlias.isEmpty() && fewHouseholds(lead)) {
        const QString byHouseholds = KvLeadingTableFirst(sql, indexed, nullptr, lead.householdAlias);
        if (byHouseholds != sql)
            return byHouseholds;
    }
    QStringList onceTables;
    const QString once = KvDimensionTablesOnce(led, unique, KvOnceForm::Materialized, &onceTables);
    if (once == led || !m_db || !readingOncePays(lead, onceTables))
        return led;
    // A column the statement names without its table cannot be told apart
    // from the outside: should the rewritten text not prepare, the statement
    // runs as led.
    sqlite3_stmt* stmt = nullptr;
    const QByteArray text = once.toUtf8();
    const bool prepares = sqlite3_prepare_v2(m_db, text.constData(), text.size(), &stmt, nullptr) == SQLITE_OK;
    sqlite3_finalize(stmt);
    return prepares ? once : led;
}

void CSqliteEngine::query(const QString& sql, CDbResult& result)
{
    step(sql, result, 0, nullptr);
}

void CSqliteEngine::queryBlocks(const QString& sql, int rowsPerBlock,
                                const std::function<void(CDbResult& block)>& eachBlock)
{
    CDbResult block;
    step(sql, block, std::max(1, rowsPerBlock), &eachBlock);
}

void CSqliteEngine::step(const QString& sql, CDbResult& result, int rowsPerBlock,
                         const std::function<void(CDbResult& block)>* eachBlock)
{
    result.clear();
    if (!m_db)
        fail();
    sqlite3_stmt* stmt = prepareSingle(adaptQuery(sql).toUtf8());
    if (!stmt)
        return;
    // Finalized however the rows end, a caller's exception included.
    std::unique_ptr<sqlite3_stmt, int (*)(sqlite3_stmt*)> statement(stmt, sqlite3_finalize);
    const int columnCount = sqlite3_column_count(stmt);
    for (int i = 0; i < columnCount; ++i)
        result.columns << QString::fromUtf8(sqlite3_column_name(stmt, i));
    int rc;
    while ((rc = sqlite3_step(stmt)) == SQLITE_ROW) {
        for (int i = 0; i < columnCount; ++i) {
            // One connection is used from one thread only, so the unprotected
            // value may be read directly (cheaper than the column_* calls).
            sqlite3_value* value = sqlite3_column_value(stmt, i);
            switch (sqlite3_value_type(value)) {
            case SQLITE_INTEGER:
                result.appendInteger(sqlite3_value_int64(value));
                break;
            case SQLITE_FLOAT:
                result.appendReal(sqlite3_value_double(value));
                break;
            case SQLITE_NULL:
                result.appendNull();
                break;
            default: {
                const auto* raw = reinterpret_cast<const char*>(sqlite3_value_text(value));
                result.appendText(raw, sqlite3_value_bytes(value));
                break;
            }
            }
        }
        ++result.rowCount;
        if (eachBlock && result.rowCount == rowsPerBlock) {
            const QStringList columns = result.columns;
            (*eachBlock)(result);
            result.clearRows();
            result.columns = columns;
        }
    }
    if (rc != SQLITE_DONE) {
        result.clear();
        fail(statement.release());
    }
    if (eachBlock && result.rowCount > 0)
        (*eachBlock)(result);
}

void CSqliteEngine::begin(int level)
{
    // The outermost transaction takes the write lock at once, so that a
    // read-then-write group cannot be refused half way through.
    execute(level <= 1 ? QStringLiteral("BEGIN IMMEDIATE") : QStringLiteral("SAVEPOINT %1").arg(SavepointName(level)));
}

void CSqliteEngine::commit(int level)
{
    execute(level <= 1 ? QStringLiteral("COMMIT") : QStringLiteral("RELEASE SAVEPOINT %1").arg(SavepointName(level)));
}

void CSqliteEngine::setProgressHandler(std::function<void()> handler)
{
    m_progress = std::move(handler);
    if (!m_db)
        return;
    if (!m_progress) {
        sqlite3_progress_handler(m_db, 0, nullptr, nullptr);
        return;
    }
    // About every millisecond of a long statement; the handler itself says
    // how often it acts. Returning 0 lets the statement go on.
    sqlite3_progress_handler(
        m_db, 20000,
        [](void* self) {
            static_cast<CSqliteEngine*>(self)->m_progress();
            return 0;
        },
        this);
}

bool CSqliteEngine::inTransaction() const
{
    return m_db && sqlite3_get_autocommit(m_db) == 0;
}

void CSqliteEngine::createFile(const QString& path, const QString& script)
{
    if (QFileInfo::exists(path))
        throw CKvException(QStringLiteral("数据库文件已存在: %1").arg(path));
    sqlite3* db = openHandle(path, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE);
    char* error = nullptr;
    const QByteArray body =
        (QStringLiteral("PRAGMA journal_mode=WAL;\nBEGIN;\n") + script + QStringLiteral("\nCOMMIT;")).toUtf8();
    if (sqlite3_exec(db, body.constData(), nullptr, nullptr, &error) != SQLITE_OK) {
        const QString message = QString::fromUtf8(error ? error : "schema script failed");
        sqlite3_free(error);
        sqlite3_close(db);
        QFile::remove(path);
        throw CKvException(message);
    }
    sqlite3_close(db);
}

void CSqliteEngine::backupTo(const QString& targetPath)
{
    if (!m_db)
        fail();
    sqlite3* target = openHandle(targetPath, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE);
    sqlite3_backup* backup = sqlite3_backup_init(target, "main", m_db, "main");
    int rc = backup ? sqlite3_backup_step(backup, -1) : SQLITE_ERROR;
    const QString message = QString::fromUtf8(sqlite3_errmsg(target));
    if (backup)
        sqlite3_backup_finish(backup);
    sqlite3_close(target);
    if (rc != SQLITE_DONE)
        throw CKvException(message);
}
