#include "CPgEngine.h"

#include "CKvException.h"

#include <QByteArray>
#include <QStringList>
#include <charconv>
#include <cstdlib>
#include <libpq-fe.h>
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
    const QStringList parts = connectString.split(u';', Qt::SkipEmptyParts);
    for (const QString& part : parts) {
        const int eq = part.indexOf(u'=');
        if (eq > 0)
            pairs.insert(part.left(eq).trimmed().toLower(), part.mid(eq + 1).trimmed());
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
    const int comma = server.indexOf(u',');
    params.insert(QStringLiteral("host"), (comma < 0 ? server : server.left(comma)).trimmed());
    if (comma >= 0)
        params.insert(QStringLiteral("port"), server.mid(comma + 1).trimmed());
    const QString database = pairs.value(QStringLiteral("database"), pairs.value(QStringLiteral("initial catalog")));
    if (!database.isEmpty())
        params.insert(QStringLiteral("dbname"), database);
    const QString user = pairs.value(QStringLiteral("uid"), pairs.value(QStringLiteral("user id")));
    if (!user.isEmpty())
        params.insert(QStringLiteral("user"), user);
    const QString password = pairs.value(QStringLiteral("pwd"), pairs.value(QStringLiteral("password")));
    if (!password.isEmpty())
        params.insert(QStringLiteral("password"), password);
    return params;
}

CPgEngine::CPgEngine(const QString& connectString)
{
    QMap<QString, QString> params = LibpqParams(connectString);
    params.insert(QStringLiteral("client_encoding"), QStringLiteral("UTF8"));
    params.insert(QStringLiteral("connect_timeout"), QStringLiteral("10"));
    params.insert(QStringLiteral("application_name"), QStringLiteral("Quillmer"));
    // Dates come back as "YYYY-MM-DD HH:MM:SS" whatever the server's default;
    // a statement gives up after the layer's command timeout of 120 seconds
    // (a lock another counter never releases fails instead of hanging).
    params.insert(QStringLiteral("options"), QStringLiteral("-c DateStyle=ISO,YMD -c statement_timeout=120s"));
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
    PQsetNoticeProcessor(m_conn, [](void*, const char*) {}, nullptr);
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

pg_result* CPgEngine::runSingle(const QString& sql)
{
    if (!m_conn)
        fail(nullptr);
    const QByteArray text = sql.toUtf8();
    // The extended protocol takes exactly one statement: a text with a second
    // one is refused before anything of it runs, so text joined into a
    // statement can never add a statement of its own.
    return checked(PQexecParams(m_conn, text.constData(), 0, nullptr, nullptr, nullptr, nullptr, 0));
}

int CPgEngine::execute(const QString& sql)
{
    PGresult* result = runSingle(sql);
    const int changed = std::atoi(PQcmdTuples(result));
    PQclear(result);
    return changed;
}

void CPgEngine::executeScript(const QString& script)
{
    if (!m_conn)
        fail(nullptr);
    const QByteArray text = script.toUtf8();
    // The simple protocol runs every statement of the text in turn and stops
    // at the first failure.
    PQclear(checked(PQexec(m_conn, text.constData())));
}

void CPgEngine::query(const QString& sql, CDbResult& result)
{
    result.clear();
    PGresult* rows = runSingle(sql);
    const int columnCount = PQnfields(rows);
    std::vector<Kind> kinds;
    kinds.reserve(static_cast<size_t>(columnCount));
    for (int i = 0; i < columnCount; ++i) {
        result.columns << QString::fromUtf8(PQfname(rows, i));
        kinds.push_back(kindOf(PQftype(rows, i)));
    }
    const int rowCount = PQntuples(rows);
    for (int r = 0; r < rowCount; ++r) {
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
    PQclear(rows);
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
