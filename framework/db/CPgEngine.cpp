#include "CPgEngine.h"

#include "CKvException.h"
#include "KvPeriodJoin.h"
#include "KvServerConfig.h"
#include "KvSumsFirst.h"

#include <QByteArray>
#include <QRegularExpression>
#include <QStringList>
#include <algorithm>
#include <charconv>
#include <cstdlib>
#include <libpq-fe.h>
#include <memory>
#include <string_view>
#include <vector>

namespace {

// Type oids of the built-in types a result column may have.
constexpr Oid kBool = 16;
constexpr Oid kInt8 = 20;
constexpr Oid kInt2 = 21;
constexpr Oid kInt4 = 23;
constexpr Oid kOid = 26;
constexpr Oid kFloat4 = 700;
constexpr Oid kFloat8 = 701;
constexpr Oid kNumeric = 1700;
constexpr Oid kDate = 1082;
constexpr Oid kTimestamp = 1114;
constexpr Oid kTimestampTz = 1184;

enum class Kind
{
    Integer,
    Real,
    Date,
    Text
};

Kind kindOf(Oid type)
{
    switch (type) {
    case kBool:
    case kInt8:
    case kInt2:
    case kInt4:
    case kOid:
        return Kind::Integer;
    case kFloat4:
    case kFloat8:
    case kNumeric:
        return Kind::Real;
    case kDate:
    case kTimestamp:
    case kTimestampTz:
        return Kind::Date;
    default:
        return Kind::Text;
    }
}

// A date or time stamp as the server writes it (ISO: "2026-12-10",
// "2026-12-10 08:30:00[.ffffff][+zz]") in the canonical stored form.
void appendCanonicalDate(CDbResult& result, const char* value, int bytes)
{
    if (bytes >= 19) {
        const bool midnight = std::string_view(value + 10, 9) == " 00:00:00";
        result.appendText(value, midnight ? 10 : 19);
        return;
    }
    result.appendText(value, bytes);
}

} // namespace

QMap<QString, QString> CPgEngine::ConnectPairs(const QString& connectString)
{
    QMap<QString, QString> pairs;
    const int n = connectString.size();
    int i = 0;
    while (i < n) {
        const int eq = connectString.indexOf(u'=', i);
        const int semicolon = connectString.indexOf(u';', i);
        if (eq < 0 || (semicolon >= 0 && semicolon < eq)) {
            // A part without a value.
            if (semicolon < 0)
                break;
            i = semicolon + 1;
            continue;
        }
        const QString key = connectString.mid(i, eq - i).trimmed().toLower();
        int start = eq + 1;
        while (start < n && connectString[start] == u' ')
            ++start;
        QString value;
        if (start < n && connectString[start] == u'{') {
            // A braced value holds any character; "}}" stands for "}".
            int p = start + 1;
            while (p < n) {
                if (connectString[p] == u'}') {
                    if (p + 1 < n && connectString[p + 1] == u'}') {
                        value += u'}';
                        p += 2;
                        continue;
                    }
                    break;
                }
                value += connectString[p++];
            }
            const int end = connectString.indexOf(u';', p);
            i = end < 0 ? n : end + 1;
        } else {
            const int end = connectString.indexOf(u';', start);
            value = connectString.mid(start, end < 0 ? -1 : end - start).trimmed();
            i = end < 0 ? n : end + 1;
        }
        if (!key.isEmpty())
            pairs.insert(key, value);
    }
    return pairs;
}

QMap<QString, QString> CPgEngine::LibpqParams(const QString& connectString)
{
    const QMap<QString, QString> pairs = ConnectPairs(connectString);
    QString server = pairs.value(QStringLiteral("server"));
    if (server.isEmpty())
        server = pairs.value(QStringLiteral("data source"));
    if (server.isEmpty())
        throw CKvException(QStringLiteral("the connection string names no server"));
    QMap<QString, QString> params;
    const KvServerAddress address = KvSplitServerName(server); // "host,port", "[fe80::1],5432"
    params.insert(QStringLiteral("host"), address.host);
    if (server.contains(u',')) // as before: "host," hands libpq an empty port
        params.insert(QStringLiteral("port"), address.port);
    const QString database = pairs.value(QStringLiteral("database"), pairs.value(QStringLiteral("initial catalog")));
    if (!database.isEmpty())
        params.insert(QStringLiteral("dbname"), database);
    // The login and its password come from the connection string alone: left
    // empty, libpq would take them from the environment (PGUSER, PGPASSWORD),
    // a password file or the name of the operating-system user.
    const QString user = pairs.value(QStringLiteral("uid"), pairs.value(QStringLiteral("user id")));
    const QString password = pairs.value(QStringLiteral("pwd"), pairs.value(QStringLiteral("password")));
    if (user.isEmpty() || password.isEmpty())
        throw CKvException(QStringLiteral("the connection string names no login or no password"));
    params.insert(QStringLiteral("user"), user);
    params.insert(QStringLiteral("password"), password);
    return params;
}

CPgEngine::CPgEngine(const QString& connectString) : m_connectString(connectString)
{
    QMap<QString, QString> params = LibpqParams(connectString);
    params.insert(QStringLiteral("passfile"), QStringLiteral("/dev/null"));
    params.insert(QStringLiteral("client_encoding"), QStringLiteral("UTF8"));
    params.insert(QStringLiteral("connect_timeout"), QStringLiteral("10"));
    params.insert(QStringLiteral("application_name"), QStringLiteral("Quillmer"));
    // A statement gives up after the layer's command timeout of 120 seconds
    // (a lock another counter never releases fails instead of hanging). The
    // settings the dialect relies on are pinned once connected (pinSession):
    // settings sent from the environment (PGTZ, PGDATESTYLE) would override
    // these options.
    params.insert(QStringLiteral("options"), QStringLiteral("-c statement_timeout=120s"));
    std::vector<QByteArray> keys, values;
    for (auto it = params.cbegin(); it != params.cend(); ++it) {
        keys.push_back(it.key().toUtf8());
        values.push_back(it.value().toUtf8());
    }
    std::vector<const char*> keyPtrs, valuePtrs;
    for (size_t i = 0; i < keys.size(); ++i) {
        keyPtrs.push_back(keys[i].constData());
        valuePtrs.push_back(values[i].constData());
    }
    keyPtrs.push_back(nullptr);
    valuePtrs.push_back(nullptr);
    m_conn = PQconnectdbParams(keyPtrs.data(), valuePtrs.data(), 0);
    if (!m_conn || PQstatus(m_conn) != CONNECTION_OK) {
        const QString message =
            m_conn ? QString::fromUtf8(PQerrorMessage(m_conn)).trimmed() : QStringLiteral("out of memory");
        close();
        throw CKvException(message);
    }
    PQsetErrorVerbosity(m_conn, PQERRORS_DEFAULT);
    // The server's notices ("already exists, skipping") are not for the operator.
    PQsetNoticeProcessor(
        m_conn, [](void*, const char*) {}, nullptr);
    try {
        pinSession();
    } catch (...) {
        close();
        throw;
    }
}

void CPgEngine::pinSession()
{
    // Whatever the server, the database or the environment set: dates read
    // back as "YYYY-MM-DD HH:MM:SS"; a backslash in a quoted text is an
    // ordinary character (the formatting helper doubles quotes only, so with
    // escapes on a text ending in a backslash would end its literal early);
    // and every counter's "now" is the server's own clock in the server's own
    // time zone (log_timezone: a client cannot change it), not the zone of
    // the counter's environment. Doubles come as their shortest exact text (a
    // database set to 0, the default before PostgreSQL 12, would give 15
    // digits, and a row read and saved again would lose its last ones).
    PQclear(checked(PQexec(m_conn, "select set_config('DateStyle', 'ISO, YMD', false), "
                                   "set_config('standard_conforming_strings', 'on', false), "
                                   "set_config('extra_float_digits', '3', false), "
                                   "set_config('TimeZone', current_setting('log_timezone'), false)")));
}

std::unique_ptr<CDbEngine> CPgEngine::openSibling() const
{
    return std::make_unique<CPgEngine>(m_connectString);
}

CPgEngine::~CPgEngine()
{
    close();
}

void CPgEngine::close()
{
    if (m_conn) {
        PQfinish(m_conn);
        m_conn = nullptr;
    }
}

bool CPgEngine::isOpen() const
{
    // A connection the server ended (restart, killed backend) counts as
    // closed, so that the next Open connects again.
    return m_conn != nullptr && PQstatus(m_conn) == CONNECTION_OK;
}

void CPgEngine::fail(pg_result* result) const
{
    QString message;
    if (result && PQresultErrorMessage(result)[0] != '\0')
        message = QString::fromUtf8(PQresultErrorMessage(result)).trimmed();
    else if (m_conn)
        message = QString::fromUtf8(PQerrorMessage(m_conn)).trimmed();
    else
        message = QStringLiteral("database is closed");
    PQclear(result);
    throw CKvException(message);
}

pg_result* CPgEngine::checked(pg_result* result) const
{
    const ExecStatusType status = result ? PQresultStatus(result) : PGRES_FATAL_ERROR;
    if (status != PGRES_COMMAND_OK && status != PGRES_TUPLES_OK && status != PGRES_EMPTY_QUERY)
        fail(result);
    return result;
}

namespace {

// What the operator is told when the server cannot be reached; the driver's
// own text follows for whoever looks into it.
QString connectionLostText(const QString& driverText, bool transactionLost)
{
    const QString text =
        transactionLost
            ? QStringLiteral("与业务数据库的连接已断开，本次操作没有完成，已全部撤销。请检查网络和服务器后重新操作。")
            : QStringLiteral("连接业务数据库失败！请检查网络和服务器是否正常，然后重新操作。");
    return driverText.isEmpty() ? text : QStringLiteral("%1\n(%2)").arg(text, driverText);
}

bool succeeded(pg_result* result)
{
    const ExecStatusType status = result ? PQresultStatus(result) : PGRES_FATAL_ERROR;
    return status == PGRES_COMMAND_OK || status == PGRES_TUPLES_OK || status == PGRES_EMPTY_QUERY;
}

} // namespace

void CPgEngine::reopen()
{
    PQreset(m_conn);
    if (PQstatus(m_conn) != CONNECTION_OK)
        throw CKvException(connectionLostText(QString::fromUtf8(PQerrorMessage(m_conn)).trimmed(), false));
    pinSession();
}

pg_result* CPgEngine::run(const QByteArray& text, bool single)
{
    if (!m_conn)
        fail(nullptr);
    const auto send = [&] {
        // The extended protocol takes exactly one statement: a text with a
        // second one is refused before anything of it runs, so text joined
        // into a statement can never add a statement of its own. The simple
        // protocol (scripts) runs every statement of the text in turn and
        // stops at the first failure.
        return single ? PQexecParams(m_conn, text.constData(), 0, nullptr, nullptr, nullptr, nullptr, 0)
                      : PQexec(m_conn, text.constData());
    };
    // A connection found broken holds no transaction any more (the caller
    // has been told when it broke): it is opened again first.
    if (PQstatus(m_conn) != CONNECTION_OK)
        reopen();
    const bool outsideTransaction = PQtransactionStatus(m_conn) == PQTRANS_IDLE;
    pg_result* result = send();
    if (succeeded(result) || PQstatus(m_conn) == CONNECTION_OK)
        return checked(result);
    // The server closed the connection (restart, ended session, network).
    const QString driverText = QString::fromUtf8(PQerrorMessage(m_conn)).trimmed();
    PQclear(result);
    // Inside a transaction the server has rolled it back with the
    // connection: the statements before this one are gone, so nothing may
    // go on as if they had run.
    if (!outsideTransaction)
        throw CKvException(connectionLostText(driverText, true));
    // On its own the statement is tried once more on a new connection.
    reopen();
    result = send();
    if (!succeeded(result) && PQstatus(m_conn) != CONNECTION_OK) {
        const QString again = QString::fromUtf8(PQerrorMessage(m_conn)).trimmed();
        PQclear(result);
        throw CKvException(connectionLostText(again, false));
    }
    return checked(result);
}

namespace {

// Whether a statement may change the tables or their indexes.
bool changesSchema(const QString& sql)
{
    static const QRegularExpression definition(QStringLiteral(R"(^\s*(create|drop|alter)\b)"),
                                               QRegularExpression::CaseInsensitiveOption);
    return definition.match(sql).hasMatch();
}

// Whether the server refused a statement's text (a name it does not know, a
// syntax or a feature it lacks), not the rows it met while running.
bool refusedText(pg_result* result)
{
    const char* state = result ? PQresultErrorField(result, PG_DIAG_SQLSTATE) : nullptr;
    return state && (std::string_view(state).substr(0, 2) == "42" || std::string_view(state).substr(0, 2) == "0A");
}

} // namespace

const CPgEngine::Catalogue* CPgEngine::catalogue()
{
    if (m_catalogue)
        return &*m_catalogue;
    // Asked in a doomed transaction the question would fail like any statement.
    if (!m_conn || PQstatus(m_conn) != CONNECTION_OK || PQtransactionStatus(m_conn) == PQTRANS_INERROR)
        return nullptr;
    // The tables the statements name unqualified: those of the search path.
    // An expression index (no column first) or a partial one (not every row)
    // answers neither question.
    static const QByteArray indexes = "select lower(t.relname), lower(a.attname), i.indisunique and i.indnkeyatts = 1 "
                                      "from pg_index i join pg_class t on t.oid = i.indrelid "
                                      "join pg_attribute a on a.attrelid = i.indrelid and a.attnum = i.indkey[0] "
                                      "where i.indisvalid and i.indpred is null and pg_table_is_visible(t.oid) "
                                      "and t.relnamespace <> 'pg_catalog'::regnamespace";
    static const QByteArray integers =
        "select lower(t.relname), lower(a.attname) from pg_attribute a "
        "join pg_class t on t.oid = a.attrelid "
        "where a.atttypid in ('int2'::regtype, 'int4'::regtype) and a.attnum > 0 "
        "and not a.attisdropped and t.relkind in ('r', 'p', 'v', 'm') "
        "and pg_table_is_visible(t.oid) and t.relnamespace <> 'pg_catalog'::regnamespace";
    // Tables changed since they were made but never analysed: autovacuum
    // has not come round yet after a bulk load, or is turned off.
    static const QByteArray unanalysed = "select lower(t.relname), quote_ident(t.relname) from pg_stat_user_tables s "
                                         "join pg_class t on t.oid = s.relid where s.last_analyze is null "
                                         "and s.last_autoanalyze is null and s.n_mod_since_analyze > 0 "
                                         "and pg_table_is_visible(t.oid)";
    const auto keyOf = [](PGresult* rows, int r) {
        return QString::fromUtf8(PQgetvalue(rows, r, 0)) + u'.' + QString::fromUtf8(PQgetvalue(rows, r, 1));
    };
    Catalogue catalogue;
    PGresult* rows = run(indexes, true);
    for (int r = 0; r < PQntuples(rows); ++r) {
        catalogue.leading.insert(keyOf(rows, r));
        if (PQgetvalue(rows, r, 2)[0] == 't')
            catalogue.unique.insert(keyOf(rows, r));
    }
    PQclear(rows);
    rows = run(integers, true);
    for (int r = 0; r < PQntuples(rows); ++r)
        catalogue.smallIntegers.insert(keyOf(rows, r));
    PQclear(rows);
    rows = run(unanalysed, true);
    for (int r = 0; r < PQntuples(rows); ++r)
        catalogue.unanalysed.insert(QString::fromUtf8(PQgetvalue(rows, r, 0)),
                                    QString::fromUtf8(PQgetvalue(rows, r, 1)));
    PQclear(rows);
    m_catalogue = std::move(catalogue);
    return &*m_catalogue;
}

bool CPgEngine::leadsIndex(const QString& table, const QString& column)
{
    const Catalogue* known = catalogue();
    return known && known->leading.contains(table.toLower() + u'.' + column.toLower());
}

bool CPgEngine::isUniqueKey(const QString& table, const QString& column)
{
    const Catalogue* known = catalogue();
    return known && known->unique.contains(table.toLower() + u'.' + column.toLower());
}

bool CPgEngine::sumsToBigint(const QString& table, const QString& column)
{
    const Catalogue* known = catalogue();
    return known && known->smallIntegers.contains(table.toLower() + u'.' + column.toLower());
}

QString CPgEngine::adaptQuery(const QString& sql)
{
    const QString led = KvLeadingTableFirst(
        sql, [this](const QString& table, const QString& column) { return leadsIndex(table, column); });
    if (led == sql)
        return sql;
    // Only the reading once pays on the server: it plans a list of tables in
    // its own order whatever order the list is written in.
    const QString once = KvDimensionTablesOnce(
        led, [this](const QString& table, const QString& column) { return isUniqueKey(table, column); },
        KvOnceForm::Inlined);
    if (once == led)
        return sql;
    return KvSumsFirst(
        once, [this](const QString& table, const QString& column) { return isUniqueKey(table, column); },
        [this](const QString& table, const QString& column) { return sumsToBigint(table, column); });
}

QString CPgEngine::textToRun(const QString& sql)
{
    const QString adapted = adaptQuery(sql);
    if (adapted != sql)
        gatherStatisticsFor(sql);
    return adapted;
}

void CPgEngine::gatherStatisticsFor(const QString& sql)
{
    // Inside a transaction a failed analyse would doom the caller's work.
    if (!m_catalogue || m_catalogue->unanalysed.isEmpty() || !m_conn || PQtransactionStatus(m_conn) != PQTRANS_IDLE)
        return;
    static const QRegularExpression word(QStringLiteral("\\w+"));
    QSet<QString> words;
    for (auto it = word.globalMatch(sql); it.hasNext();)
        words.insert(it.next().captured().toLower());
    QStringList tables;
    for (auto it = m_catalogue->unanalysed.begin(); it != m_catalogue->unanalysed.end();) {
        if (words.contains(it.key())) {
            tables << it.value();
            it = m_catalogue->unanalysed.erase(it);
        } else {
            ++it;
        }
    }
    if (tables.isEmpty())
        return;
    // Statistics only make the plan: a table the login may not analyse (the
    // server warns and goes on) or any other failure leaves the statement to
    // run as it would have.
    PQclear(PQexec(m_conn, "analyze " + tables.join(QStringLiteral(", ")).toUtf8()));
}

pg_result* CPgEngine::runAdapted(const QByteArray& adapted, const QByteArray& written)
{
    if (!m_conn || PQstatus(m_conn) != CONNECTION_OK || PQtransactionStatus(m_conn) == PQTRANS_INERROR)
        return run(written, true);
    // Inside a transaction a refused text would doom the caller's
    // transaction: the attempt runs under a savepoint of its own.
    const bool inTransaction = PQtransactionStatus(m_conn) != PQTRANS_IDLE;
    if (inTransaction)
        PQclear(run("SAVEPOINT kv_adapted", true));
    pg_result* result = PQexecParams(m_conn, adapted.constData(), 0, nullptr, nullptr, nullptr, nullptr, 0);
    if (succeeded(result)) {
        if (inTransaction)
            PQclear(run("RELEASE SAVEPOINT kv_adapted", true));
        return result;
    }
    if (PQstatus(m_conn) != CONNECTION_OK) {
        // As run() does: the statement is tried again on a new connection
        // outside a transaction; inside one, the operator is told.
        const QString driverText = QString::fromUtf8(PQerrorMessage(m_conn)).trimmed();
        PQclear(result);
        if (inTransaction)
            throw CKvException(connectionLostText(driverText, true));
        return run(written, true);
    }
    // An error of the rows (a timeout, a value out of range) would have met
    // the statement as written as well: it is the caller's, as is the doomed
    // transaction.
    if (!refusedText(result))
        fail(result);
    PQclear(result);
    if (inTransaction) {
        PQclear(run("ROLLBACK TO SAVEPOINT kv_adapted", true));
        PQclear(run("RELEASE SAVEPOINT kv_adapted", true));
    }
    return run(written, true);
}

int CPgEngine::execute(const QString& sql)
{
    if (changesSchema(sql))
        m_catalogue.reset();
    PGresult* result = run(sql.toUtf8(), true);
    const int changed = std::atoi(PQcmdTuples(result));
    PQclear(result);
    return changed;
}

void CPgEngine::executeScript(const QString& script)
{
    m_catalogue.reset();
    PQclear(run(script.toUtf8(), false));
}

namespace {

// The kinds of a result's columns; their names become the result's columns.
std::vector<Kind> readColumns(const PGresult* rows, CDbResult& result)
{
    const int columnCount = PQnfields(rows);
    std::vector<Kind> kinds;
    kinds.reserve(static_cast<size_t>(columnCount));
    for (int i = 0; i < columnCount; ++i) {
        result.columns << QString::fromUtf8(PQfname(rows, i));
        kinds.push_back(kindOf(PQftype(rows, i)));
    }
    return kinds;
}

// Appends row `r` of `rows` to the result in the embedded engine's form.
void appendRow(const PGresult* rows, int r, const std::vector<Kind>& kinds, CDbResult& result)
{
    const int columnCount = static_cast<int>(kinds.size());
    for (int i = 0; i < columnCount; ++i) {
        if (PQgetisnull(rows, r, i)) {
            result.appendNull();
            continue;
        }
        const char* value = PQgetvalue(rows, r, i);
        const int bytes = PQgetlength(rows, r, i);
        switch (kinds[static_cast<size_t>(i)]) {
        case Kind::Integer:
            if (value[0] == 't' || value[0] == 'f')
                result.appendInteger(value[0] == 't' ? 1 : 0);
            else
                result.appendInteger(std::strtoll(value, nullptr, 10));
            break;
        case Kind::Real: {
            // Not strtod: the program runs under the user's locale, whose
            // decimal separator may be a comma; the server writes a '.'.
            double number = 0;
            std::from_chars(value, value + bytes, number);
            result.appendReal(number);
            break;
        }
        case Kind::Date:
            appendCanonicalDate(result, value, bytes);
            break;
        case Kind::Text:
            result.appendText(value, bytes);
            break;
        }
    }
    ++result.rowCount;
}

} // namespace

void CPgEngine::query(const QString& sql, CDbResult& result)
{
    result.clear();
    // A text the rewrite got wrong (a column the statement names without its
    // table cannot be told apart from the outside) must not fail the
    // operator: the server refuses it and the statement runs as written.
    const QString adapted = textToRun(sql);
    PGresult* rows = adapted == sql ? run(sql.toUtf8(), true) : runAdapted(adapted.toUtf8(), sql.toUtf8());
    const std::vector<Kind> kinds = readColumns(rows, result);
    const int rowCount = PQntuples(rows);
    for (int r = 0; r < rowCount; ++r)
        appendRow(rows, r, kinds, result);
    PQclear(rows);
}

CPgEngine::StreamEnd CPgEngine::streamRows(const QByteArray& text, int rowsPerBlock,
                                           const std::function<void(CDbResult& block)>& eachBlock, bool mayBeRefused)
{
    if (!PQsendQueryParams(m_conn, text.constData(), 0, nullptr, nullptr, nullptr, nullptr, 0)) {
        if (PQstatus(m_conn) != CONNECTION_OK)
            return StreamEnd::Lost;
        fail(nullptr);
    }
    // One PGresult a row, freed as soon as its row is converted: the rows
    // held are those of the block, not the whole result.
    PQsetSingleRowMode(m_conn);
    using Rows = std::unique_ptr<PGresult, void (*)(PGresult*)>;
    CDbResult block;
    std::vector<Kind> kinds;
    bool described = false;
    bool anyRow = false;
    Rows failure(nullptr, PQclear);
    const auto handOn = [&] {
        const QStringList columns = block.columns;
        eachBlock(block);
        block.clearRows();
        block.columns = columns;
    };
    try {
        while (PGresult* next = PQgetResult(m_conn)) {
            Rows rows(next, PQclear);
            const ExecStatusType status = PQresultStatus(next);
            if (status != PGRES_SINGLE_TUPLE && status != PGRES_TUPLES_OK) {
                // After a failure the server sends nothing but the end of
                // the statement; the first failure is the one to report.
                if (!succeeded(next) && !failure)
                    failure = std::move(rows);
                continue;
            }
            if (!described) {
                kinds = readColumns(next, block);
                described = true;
            }
            const int rowCount = PQntuples(next);
            for (int r = 0; r < rowCount; ++r) {
                anyRow = true;
                appendRow(next, r, kinds, block);
                if (block.rowCount == rowsPerBlock)
                    handOn();
            }
        }
    } catch (...) {
        abandonStatement();
        throw;
    }
    if (failure) {
        if (PQstatus(m_conn) != CONNECTION_OK)
            return StreamEnd::Lost;
        // The server refuses a text before it produces a row.
        if (mayBeRefused && !anyRow && refusedText(failure.get()))
            return StreamEnd::Refused;
        // The rows after the last block handed on end with the statement.
        fail(failure.release());
    }
    if (block.rowCount > 0)
        handOn();
    return StreamEnd::Done;
}

void CPgEngine::abandonStatement()
{
    // Reading the rest of a long result could take as long as the statement
    // itself: the server is asked to stop it, and what it sent meanwhile is
    // read and dropped until the connection is ready for the next statement.
    if (PQstatus(m_conn) == CONNECTION_OK) {
        if (PGcancel* cancel = PQgetCancel(m_conn)) {
            char error[256];
            PQcancel(cancel, error, sizeof error);
            PQfreeCancel(cancel);
        }
    }
    while (PGresult* rest = PQgetResult(m_conn))
        PQclear(rest);
}

void CPgEngine::queryBlocks(const QString& sql, int rowsPerBlock,
                            const std::function<void(CDbResult& block)>& eachBlock)
{
    const QString adapted = textToRun(sql);
    if (!m_conn)
        fail(nullptr);
    // As run() does: a connection found broken is opened again first.
    if (PQstatus(m_conn) != CONNECTION_OK)
        reopen();
    const PGTransactionStatusType before = PQtransactionStatus(m_conn);
    const bool outsideTransaction = before == PQTRANS_IDLE;
    // Inside a transaction the statement runs under a savepoint of its own:
    // an adapted text the server refuses, or a statement cancelled because
    // the caller stopped taking its rows, would otherwise doom the caller's
    // transaction. A failure of the statement itself dooms it as anywhere.
    const bool underSavepoint = before == PQTRANS_INTRANS;
    if (underSavepoint)
        PQclear(run("SAVEPOINT kv_stream", true));
    bool handedOn = false;
    bool callerFailed = false;
    const auto handOn = [&](CDbResult& block) {
        handedOn = true;
        try {
            eachBlock(block);
        } catch (...) {
            callerFailed = true;
            throw;
        }
    };
    const QByteArray written = sql.toUtf8();
    const int perBlock = std::max(1, rowsPerBlock);
    try {
        StreamEnd end = StreamEnd::Refused;
        if (adapted != sql && before != PQTRANS_INERROR) {
            end = streamRows(adapted.toUtf8(), perBlock, handOn, true);
            if (end == StreamEnd::Refused && underSavepoint)
                PQclear(run("ROLLBACK TO SAVEPOINT kv_stream", true));
        }
        if (end == StreamEnd::Refused)
            end = streamRows(written, perBlock, handOn, false);
        if (end == StreamEnd::Lost) {
            // Inside a transaction the server has rolled it back with the
            // connection; on its own the statement is tried once more, unless
            // rows of it were handed on already: they cannot be taken back.
            const QString driverText = QString::fromUtf8(PQerrorMessage(m_conn)).trimmed();
            if (!outsideTransaction || handedOn)
                throw CKvException(connectionLostText(driverText, !outsideTransaction));
            reopen();
            if (streamRows(written, perBlock, handOn, false) == StreamEnd::Lost)
                throw CKvException(connectionLostText(QString::fromUtf8(PQerrorMessage(m_conn)).trimmed(), false));
        }
        if (underSavepoint)
            PQclear(run("RELEASE SAVEPOINT kv_stream", true));
    } catch (...) {
        // The caller's transaction goes on as it was before the statement. Should
        // the server not take even that, the transaction stays doomed and
        // its commit fails.
        if (underSavepoint && callerFailed && PQstatus(m_conn) == CONNECTION_OK)
            PQclear(PQexec(m_conn, "ROLLBACK TO SAVEPOINT kv_stream; RELEASE SAVEPOINT kv_stream"));
        throw;
    }
}

void CPgEngine::begin(int level)
{
    execute(level <= 1 ? QStringLiteral("BEGIN") : QStringLiteral("SAVEPOINT %1").arg(SavepointName(level)));
}

void CPgEngine::commit(int level)
{
    if (level <= 1) {
        if (m_conn && PQtransactionStatus(m_conn) == PQTRANS_INERROR) {
            // A statement of the group failed: the server has doomed it, and a
            // COMMIT would end it as a rollback that looks like success.
            execute(QStringLiteral("ROLLBACK"));
            throw CKvException(QStringLiteral("a statement of the transaction failed; it was rolled back"));
        }
        execute(QStringLiteral("COMMIT"));
        return;
    }
    execute(QStringLiteral("RELEASE SAVEPOINT %1").arg(SavepointName(level)));
}

bool CPgEngine::inTransaction() const
{
    if (!m_conn)
        return false;
    const PGTransactionStatusType status = PQtransactionStatus(m_conn);
    return status == PQTRANS_INTRANS || status == PQTRANS_INERROR || status == PQTRANS_ACTIVE;
}

bool CPgEngine::connectionLost() const
{
    // A connection found broken is opened again only at the next statement.
    return m_conn != nullptr && PQstatus(m_conn) != CONNECTION_OK;
}
