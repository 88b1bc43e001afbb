#include "KvSql.h"

#include "CKvException.h"
#include "KvLocalTime.h"

#include <QLocale>
#include <QRegularExpression>
#include <charconv>
#include <cmath>

namespace {

struct Spec
{
    QString flags;
    int width = -1;
    int precision = -1;
    QChar conversion;
};

// Parses a conversion (flags, width, precision, letter) after the '%' at pos; returns the
// position after it.
int parseSpec(const QString& f, int pos, Spec& spec)
{
    while (pos < f.size() && QStringLiteral("-+ 0#").contains(f[pos]))
        spec.flags += f[pos++];
    int start = pos;
    while (pos < f.size() && f[pos].isDigit())
        ++pos;
    if (pos > start)
        spec.width = f.mid(start, pos - start).toInt();
    if (pos < f.size() && f[pos] == u'.') {
        ++pos;
        start = pos;
        while (pos < f.size() && f[pos].isDigit())
            ++pos;
        spec.precision = f.mid(start, pos - start).toInt();
    }
    while (pos < f.size() && (f[pos] == u'l' || f[pos] == u'h' || f[pos] == u'I'))
        ++pos; // length modifiers carry no meaning here
    if (pos >= f.size())
        throw CKvException(QStringLiteral("Sql语句格式错误！"));
    spec.conversion = f[pos++];
    return pos;
}

QString pad(QString body, const Spec& spec, bool numeric)
{
    if (spec.width <= body.size())
        return body;
    const int fill = spec.width - body.size();
    if (spec.flags.contains(u'-'))
        return body + QString(fill, u' ');
    if (spec.flags.contains(u'0')) {
        // A text pads with the character 0 too ("%08s" of a meter number gives
        // "00001234"), as the program's texts expect.
        if (!numeric)
            return QString(fill, u'0') + body;
        int signLen = (body.startsWith(u'-') || body.startsWith(u'+')) ? 1 : 0;
        return body.left(signLen) + QString(fill, u'0') + body.mid(signLen);
    }
    return QString(fill, u' ') + body;
}

QString formatInteger(long long v, const Spec& spec)
{
    QString body = QString::number(v);
    if (v >= 0 && spec.flags.contains(u'+'))
        body.prepend(u'+');
    return pad(body, spec, true);
}

// A real without a precision: six decimals, as printf's %f, or in SQL, when six
// would not read back the same value (0.0000001, 0.1 + 0.2), the shortest text
// that does, so a stored value is the one checked. A value that is exactly a
// single-precision one (the float setters, the device records) is read back as
// that float: 3.45f is written 3.45, not with the digits of its binary error.
QString realBody(double v, const Spec& spec, bool sql)
{
    if (spec.precision >= 0)
        return QString::number(v, 'f', spec.precision); // always '.', never grouped
    QString body = QString::number(v, 'f', 6);
    if (!sql || body.toDouble() == v)
        return body;
    const float single = static_cast<float>(v);
    if (static_cast<double>(single) == v) {
        char buffer[64];
        const auto [end, error] = std::to_chars(buffer, buffer + sizeof buffer, single, std::chars_format::fixed);
        if (error == std::errc())
            return QString::fromLatin1(buffer, end - buffer);
    }
    return QString::number(v, 'f', QLocale::FloatingPointShortest);
}

QString formatReal(double v, const Spec& spec, bool sql)
{
    if (!std::isfinite(v))
        throw CKvException(QStringLiteral("Sql语句中的数值无效！"));
    QString body = realBody(v, spec, sql);
    if (v >= 0 && spec.flags.contains(u'+'))
        body.prepend(u'+');
    return pad(body, spec, true);
}

} // namespace

QString KvSqlQuote(const QString& text)
{
    // The engines end a statement's text at a NUL: the rest of the statement
    // would be lost, so a text holding one never reaches them.
    if (text.contains(QChar(u'\0')))
        throw CKvException(QStringLiteral("Sql语句中的文本含有空字符(U+0000)，不能执行！"));
    QString out = text;
    out.replace(u'\'', QStringLiteral("''"));
    return out;
}

QString KvLikeLiteral(const QString& text)
{
    QString out;
    out.reserve(text.size());
    for (QChar c : text) {
        if (c == u'\\' || c == u'%' || c == u'_')
            out += u'\\';
        out += c;
    }
    return out;
}

bool KvIsSqlIdentifier(const QString& text)
{
    if (text.isEmpty() || text[0].isDigit())
        return false;
    for (QChar c : text) {
        if (!(c == u'_' || (c.unicode() < 128 && c.isLetterOrNumber())))
            return false;
    }
    return true;
}

namespace {

// The one formatting step of SQL texts and of the command lines handed to
// outside tools; `sql` adds the quoting and the checks of SQL texts.
QString formatArgs(const QString& f, const QVector<KvSqlArg>& args, bool sql)
{
    QString out;
    out.reserve(f.size() + 32 * args.size());
    int next = 0;
    int pos = 0;
    bool inQuote = false; // inside a '...' literal of the format text
    while (pos < f.size()) {
        const QChar c = f[pos];
        if (c != u'%') {
            if (c == u'\'')
                inQuote = !inQuote;
            out += c;
            ++pos;
            continue;
        }
        if (pos + 1 < f.size() && f[pos + 1] == u'%') {
            out += u'%';
            pos += 2;
            continue;
        }
        Spec spec;
        pos = parseSpec(f, pos + 1, spec);
        if (next >= args.size())
            throw CKvException(QStringLiteral("Sql语句格式错误！"));
        const KvSqlArg& arg = args[next++];
        switch (spec.conversion.unicode()) {
        case 's':
            if (arg.kind() == KvSqlArg::Integer) {
                out += formatInteger(arg.integer(), spec);
            } else if (arg.kind() == KvSqlArg::Real) {
                out += formatReal(arg.real(), spec, sql);
            } else if (!sql) {
                out += pad(arg.text(), spec, false);
            } else if (inQuote) {
                out += KvSqlQuote(pad(arg.text(), spec, false)); // the width counts the text as given
            } else if (arg.kind() == KvSqlArg::Fragment || KvIsSqlIdentifier(arg.text())) {
                out += arg.text();
            } else {
                throw CKvException(QStringLiteral("Sql语句中的名称无效: %1").arg(arg.text()));
            }
            break;
        case 'd':
        case 'i':
        case 'u':
            if (arg.kind() == KvSqlArg::Integer)
                out += formatInteger(arg.integer(), spec);
            else if (arg.kind() == KvSqlArg::Real)
                out += formatInteger(static_cast<long long>(arg.real()), spec);
            else
                throw CKvException(QStringLiteral("Sql语句格式错误！"));
            break;
        case 'f':
        case 'g':
            if (arg.kind() == KvSqlArg::Real)
                out += formatReal(arg.real(), spec, sql);
            else if (arg.kind() == KvSqlArg::Integer)
                out += formatReal(static_cast<double>(arg.integer()), spec, sql);
            else
                throw CKvException(QStringLiteral("Sql语句格式错误！"));
            break;
        default:
            throw CKvException(QStringLiteral("Sql语句格式错误！"));
        }
    }
    if (next != args.size())
        throw CKvException(QStringLiteral("Sql语句格式错误！"));
    return out;
}

} // namespace

QString KvFormatSqlArgs(const QString& f, const QVector<KvSqlArg>& args)
{
    return formatArgs(f, args, true);
}

QString KvFormatTextArgs(const QString& f, const QVector<KvSqlArg>& args)
{
    return formatArgs(f, args, false);
}

QString KvDateText(const QDateTime& value)
{
    if (!value.isValid())
        return QString();
    const QTime t = value.time();
    if (t.hour() == 0 && t.minute() == 0 && t.second() == 0)
        return value.date().toString(QStringLiteral("yyyy-MM-dd"));
    return value.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"));
}

QString KvDateText(const QDate& value)
{
    return value.isValid() ? value.toString(QStringLiteral("yyyy-MM-dd")) : QString();
}

namespace {

// The parts of a date text, as read.
struct DateParts
{
    int year = 0, month = 0, day = 0;
    bool hasTime = false;
    int hour = 0, minute = 0, second = 0;
};

// The two forms the program stores ("YYYY-MM-DD", "YYYY-MM-DD HH:MM:SS"),
// read without the regular expression: nearly every date met is one of them.
bool readStoredForm(const QString& text, DateParts& parts)
{
    const qsizetype n = text.size();
    if (n != 10 && n != 19)
        return false;
    const auto digits = [&](qsizetype from, qsizetype count, int& value) {
        value = 0;
        for (qsizetype i = from; i < from + count; ++i) {
            const char16_t c = text[i].unicode();
            if (c < u'0' || c > u'9')
                return false;
            value = value * 10 + (c - u'0');
        }
        return true;
    };
    if (text[4] != u'-' || text[7] != u'-' || !digits(0, 4, parts.year) || !digits(5, 2, parts.month) ||
        !digits(8, 2, parts.day))
        return false;
    if (n == 10)
        return true;
    parts.hasTime = true;
    return text[10] == u' ' && text[13] == u':' && text[16] == u':' && digits(11, 2, parts.hour) &&
           digits(14, 2, parts.minute) && digits(17, 2, parts.second);
}

bool readAnyForm(const QString& input, DateParts& parts)
{
    static const QRegularExpression re(QStringLiteral(
        R"(^\s*(\d{4})[-/](\d{1,2})[-/](\d{1,2})(?:(?:\s+|T)(\d{1,2}):(\d{1,2})(?::(\d{1,2})(?:\.\d+)?)?)?\s*$)"));
    const QRegularExpressionMatch m = re.match(input);
    if (!m.hasMatch())
        return false;
    parts.year = m.captured(1).toInt();
    parts.month = m.captured(2).toInt();
    parts.day = m.captured(3).toInt();
    parts.hasTime = m.capturedLength(4) > 0;
    if (parts.hasTime) {
        parts.hour = m.captured(4).toInt();
        parts.minute = m.captured(5).toInt();
        parts.second = m.capturedLength(6) > 0 ? m.captured(6).toInt() : 0;
    }
    return true;
}

} // namespace

QDateTime KvParseDateText(const QString& input)
{
    DateParts parts;
    if (!readStoredForm(input, parts) && !readAnyForm(input, parts))
        return QDateTime();
    const QDate d(parts.year, parts.month, parts.day);
    if (!d.isValid())
        return QDateTime();
    QTime t(0, 0, 0);
    if (parts.hasTime) {
        t = QTime(parts.hour, parts.minute, parts.second);
        if (!t.isValid())
            return QDateTime();
    }
    return KvLocalDateTime(d, t);
}

QString KvNumberText(double value, int decimals)
{
    return QString::number(value, 'f', decimals);
}

double KvParseNumber(const QString& text, bool* ok)
{
    // QString::toDouble is locale-independent: it always reads a '.'.
    bool good = false;
    const double v = text.trimmed().toDouble(&good);
    if (ok)
        *ok = good;
    return good ? v : 0.0;
}
