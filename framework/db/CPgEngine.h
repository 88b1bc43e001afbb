#pragma once

#include "CDbEngine.h"

#include <QMap>
#include <QSet>
#include <QString>
#include <memory>
#include <optional>

struct pg_conn;
struct pg_result;

// The network edition's server: a PostgreSQL database reached through libpq.
// The connection string is the one the counters keep for the server:
//   "Provider=SQLOLEDB;Server=host[,port];Database=qrdb;uid=<login>;pwd=<password>"
// (keys without regard to case; "Server" as "host,port" or a bare host; a
// value in braces, "pwd={a;b}}c}", may hold any character, "}}" standing for
// "}"). The login and password must be given: nothing is taken from the
// environment or a password file.
// A connection the server closed is opened again at the next statement; a
// statement outside a transaction is then tried once more, one inside a
// transaction fails (the server has rolled the transaction back).
// Results come back as the embedded engine gives them: integers, doubles, text,
// NULL, and dates in the canonical text form ("YYYY-MM-DD" at midnight, else
// "YYYY-MM-DD HH:MM:SS").
class CPgEngine : public CDbEngine
{
public:
    // Connects; a refused or failed connection throws CKvException with the
    // server's message.
    explicit CPgEngine(const QString& connectString);
    std::unique_ptr<CDbEngine> openSibling() const override;
    ~CPgEngine() override;

    void close() override;
    bool isOpen() const override;
    int execute(const QString& sql) override;
    void executeScript(const QString& script) override;
    void query(const QString& sql, CDbResult& result) override;
    // Hands the rows on as they arrive, a block every `rowsPerBlock` rows;
    // the statement as query() runs it. A caller that stops taking rows
    // cancels the statement; inside a transaction the transaction then goes
    // on as before it. A connection the server closed before any block was
    // handed on is opened again as run() does.
    void queryBlocks(const QString& sql, int rowsPerBlock,
                     const std::function<void(CDbResult& block)>& eachBlock) override;
    void begin(int level) override;
    // Commits; a transaction a failed statement has already doomed is rolled
    // back instead and the commit throws (the server would only report the
    // rollback as the commit's tag).
    void commit(int level) override;
    bool inTransaction() const override;
    bool connectionLost() const override;

    // The key=value pairs of a connection string, keys in lower case.
    static QMap<QString, QString> ConnectPairs(const QString& connectString);
    // The libpq keywords of a counter's server connection string (host, port,
    // dbname, user, password); throws when the string names no server.
    static QMap<QString, QString> LibpqParams(const QString& connectString);

    pg_conn* handle() const { return m_conn; }

    // The text a query runs as: a statement over the sales as a whole, led by
    // them, reads the tables a sale refers to once (KvPeriodJoin.h), and its
    // totals by those tables' columns are summed per key first
    // (KvSumsFirst.h); anything else as written.
    QString adaptQuery(const QString& sql);
    // Whether an index of the table begins with the column.
    bool leadsIndex(const QString& table, const QString& column);
    // Whether the column alone is a unique key of the table (its primary key
    // or a unique index of that column only).
    bool isUniqueKey(const QString& table, const QString& column);
    // Whether the server sums the column into a bigint (an int2 or int4 column).
    bool sumsToBigint(const QString& table, const QString& column);

private:
    // What the rewrites ask of the catalogue, as "table.column" in lower
    // case: the first columns of the tables' indexes, the one-column unique
    // keys, and the int2 and int4 columns.
    struct Catalogue
    {
        QSet<QString> leading;
        QSet<QString> unique;
        QSet<QString> smallIntegers;
        // Tables with rows but never analysed: lower-case name to quoted name.
        QMap<QString, QString> unanalysed;
    };
    // The result of a statement that succeeded; a failed one throws.
    pg_result* checked(pg_result* result) const;
    // Runs one statement (`single`, through the extended protocol, which
    // refuses a second statement in the same text) or a script; opens a
    // connection the server closed again (see above); throws the server's
    // message, or the program's own text when the server cannot be reached.
    pg_result* run(const QByteArray& text, bool single);
    // Runs the adapted text of a query; when the server refuses the text
    // itself, the statement as written (see query()).
    pg_result* runAdapted(const QByteArray& adapted, const QByteArray& written);
    // How a statement read row by row ended, when it did not throw.
    enum class StreamEnd
    {
        Done,
        Refused, // the server refused the text itself (`mayBeRefused` only)
        Lost     // the server closed the connection
    };
    // Runs one statement and hands its rows on in blocks as they arrive;
    // any other failure throws the server's message. An exception from
    // `eachBlock` abandons the statement.
    StreamEnd streamRows(const QByteArray& text, int rowsPerBlock,
                         const std::function<void(CDbResult& block)>& eachBlock, bool mayBeRefused);
    // Ends a statement whose rows are still coming, so that the connection
    // takes the next one.
    void abandonStatement();
    // The catalogue's answers, asked once (again after a change of the
    // schema); null when they cannot be asked now.
    const Catalogue* catalogue();
    // A table never analysed is planned from guesses: a whole-file statistic
    // then looks a million sales up one by one (40 s instead of 2). Before an
    // adapted statement outside a transaction, the tables it names that the
    // server has no statistics of yet are analysed, once.
    void gatherStatisticsFor(const QString& sql);
    // The text a query runs as (adaptQuery), the tables of an adapted one
    // analysed first where the server has no statistics of them.
    QString textToRun(const QString& sql);
    [[noreturn]] void fail(pg_result* result) const;
    // The session settings the layer relies on, whatever the environment.
    void pinSession();
    // Connects again with the same settings; throws when the server cannot
    // be reached.
    void reopen();

    QString m_connectString;
    pg_conn* m_conn = nullptr;
    std::optional<Catalogue> m_catalogue;
};
