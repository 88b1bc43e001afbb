#pragma once

#include <QDate>
#include <QDateTime>
#include <QString>
#include <QVector>
#include <type_traits>

// Formatting of the printf-style SQL texts of the program.
//
// Every statement is built through KvFormatSql so that operator text can never
// change the meaning of a statement:
//   '%s'  an argument inside single quotes: its quotes are doubled (a NUL in
//         it throws, see KvSqlQuote); a width
//         pads on the left, with the character 0 when flagged ('%08s');
//   %s    a bare argument: it must be a plain identifier (a column or table
//         name, as in "select %s from SysPara"), or a KvSqlFragment that was
//         itself built through this helper;
//   %d %ld %02d ...  an integer; %f %.2f ...  a number, always with a '.';
//   %%    a percent sign.
// A mismatch between the placeholders and the arguments throws CKvException.

// An already formatted piece of SQL (a condition, a column list) that may be
// put into a bare %s.
struct KvSqlFragment
{
    QString text;
};

class KvSqlArg
{
public:
    enum Kind
    {
        Text,
        Integer,
        Real,
        Fragment
    };

    KvSqlArg(const QString& v) : m_kind(Text), m_text(v) {}
    KvSqlArg(const char* v) : m_kind(Text), m_text(QString::fromUtf8(v)) {}
    KvSqlArg(const KvSqlFragment& v) : m_kind(Fragment), m_text(v.text) {}
    KvSqlArg(double v) : m_kind(Real), m_real(v) {}
    KvSqlArg(float v) : m_kind(Real), m_real(v) {}
    template <typename T, std::enable_if_t<std::is_integral_v<T>, int> = 0>
    KvSqlArg(T v) : m_kind(Integer), m_int(static_cast<long long>(v))
    {
    }

    Kind kind() const { return m_kind; }
    const QString& text() const { return m_text; }
    long long integer() const { return m_int; }
    double real() const { return m_real; }

private:
    Kind m_kind;
    QString m_text;
    long long m_int = 0;
    double m_real = 0;
};

QString KvFormatSqlArgs(const QString& format, const QVector<KvSqlArg>& args);

template <typename... Args> QString KvFormatSql(const QString& format, const Args&... args)
{
    return KvFormatSqlArgs(format, QVector<KvSqlArg>{KvSqlArg(args)...});
}

// The same conversions for texts that are not SQL (the command lines of the
// outside tools): a text argument goes in as it is, padded like '%08s' above
// ("%08s" of "1234" gives "00001234", where C's printf would pad with blanks).
QString KvFormatTextArgs(const QString& format, const QVector<KvSqlArg>& args);

template <typename... Args> QString KvFormatText(const QString& format, const Args&... args)
{
    return KvFormatTextArgs(format, QVector<KvSqlArg>{KvSqlArg(args)...});
}

// Doubles the single quotes of a text for use between quotes in SQL. A text
// holding a NUL (U+0000) throws CKvException naming it.
QString KvSqlQuote(const QString& text);

// A typed text matched literally inside a LIKE pattern written with
// "escape '\'": its '%', '_' and '\' stop acting as wildcards.
QString KvLikeLiteral(const QString& text);

// True when the text is a plain identifier (letters, digits, '_', not starting with a digit).
bool KvIsSqlIdentifier(const QString& text);

// The canonical stored form of dates: "YYYY-MM-DD" at midnight, else
// "YYYY-MM-DD HH:MM:SS". Text order of that form is time order.
QString KvDateText(const QDateTime& value);
QString KvDateText(const QDate& value);

// Reads every date form the program writes or meets in stored rows ("YYYY-MM-DD",
// "YYYY-MM-DD HH:MM:SS", "YYYY-M-D", '/' as separator, a 'T' between date and
// time). An unreadable text gives an invalid QDateTime.
QDateTime KvParseDateText(const QString& text);

// Numbers written and read with a '.' whatever the locale.
QString KvNumberText(double value, int decimals = 6);
double KvParseNumber(const QString& text, bool* ok = nullptr);
