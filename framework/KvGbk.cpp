#include "KvGbk.h"

#include "db/CKvException.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <iconv.h>

namespace {

// One conversion with glibc's iconv. `onInvalid` is what replaces an input
// sequence the conversion rejects; `skip` tells how many input bytes it covers.
template <typename Skip>
QByteArray convert(const char* to, const char* from, const QByteArray& input, const QByteArray& onInvalid, Skip skip)
{
    QByteArray out;
    if (input.isEmpty())
        return out;
    iconv_t cd = iconv_open(to, from);
    if (cd == reinterpret_cast<iconv_t>(-1))
        return out;
    out.resize(input.size() * 2 + 16);
    char* in = const_cast<char*>(input.constData());
    size_t inLeft = static_cast<size_t>(input.size());
    size_t written = 0;
    while (inLeft > 0) {
        char* outPtr = out.data() + written;
        size_t outLeft = static_cast<size_t>(out.size()) - written;
        const size_t rc = iconv(cd, &in, &inLeft, &outPtr, &outLeft);
        written = static_cast<size_t>(outPtr - out.data());
        if (rc != static_cast<size_t>(-1))
            break;
        if (errno == E2BIG) {
            out.resize(out.size() * 2);
            continue;
        }
        // EILSEQ or EINVAL: replace the sequence and go on after it.
        if (static_cast<size_t>(out.size()) - written < static_cast<size_t>(onInvalid.size()))
            out.resize(out.size() * 2);
        memcpy(out.data() + written, onInvalid.constData(), static_cast<size_t>(onInvalid.size()));
        written += static_cast<size_t>(onInvalid.size());
        const size_t n = std::min(inLeft, skip(static_cast<unsigned char>(*in)));
        in += n;
        inLeft -= n;
        iconv(cd, nullptr, nullptr, nullptr, nullptr); // back to the initial state
    }
    iconv_close(cd);
    out.resize(static_cast<qsizetype>(written));
    return out;
}

// The length of the UTF-8 sequence that starts with `lead`.
size_t utf8Length(unsigned char lead)
{
    if (lead >= 0xF0)
        return 4;
    if (lead >= 0xE0)
        return 3;
    if (lead >= 0xC0)
        return 2;
    return 1;
}

} // namespace

QByteArray GbkEncode(const QString& text)
{
    // Composed first: a letter typed as letter + accent is the one GBK holds.
    return convert("GBK", "UTF-8", text.normalized(QString::NormalizationForm_C).toUtf8(), QByteArrayLiteral("?"),
                   utf8Length);
}

QString GbkDecode(const QByteArray& bytes)
{
    return QString::fromUtf8(
        convert("UTF-8", "GBK", bytes, QByteArrayLiteral("\xEF\xBF\xBD"), [](unsigned char) { return size_t(1); }));
}

bool GbkCanHold(const QString& text)
{
    // A one-way mapping (a character GBK writes as another one's bytes) is a
    // loss too: the tool would read another character.
    return GbkDecode(GbkEncode(text)) == text.normalized(QString::NormalizationForm_C);
}

QString GbkFirstUnheld(const QString& text)
{
    if (GbkCanHold(text))
        return QString();
    const QString composed = text.normalized(QString::NormalizationForm_C);
    for (qsizetype i = 0; i < composed.size(); ++i) {
        // A character outside the BMP is a surrogate pair: tested whole. A
        // surrogate without its partner is a character of its own.
        const bool pair = composed[i].isHighSurrogate() && i + 1 < composed.size() && composed[i + 1].isLowSurrogate();
        const qsizetype n = pair ? 2 : 1;
        const QString one = composed.mid(i, n);
        if (!GbkCanHold(one))
            return one;
        i += n - 1;
    }
    return QString();
}

QString GbkCharacterName(const QString& character)
{
    if (character.isEmpty())
        return QString();
    const char32_t code = character.size() > 1 && character[0].isHighSurrogate() && character[1].isLowSurrogate()
                              ? QChar::surrogateToUcs4(character[0], character[1])
                              : character[0].unicode();
    switch (QChar::category(code)) {
    case QChar::Separator_Space:
    case QChar::Separator_Line:
    case QChar::Separator_Paragraph:
    case QChar::Other_Control:
    case QChar::Other_Format:
    case QChar::Other_Surrogate:
    case QChar::Other_PrivateUse:
    case QChar::Other_NotAssigned:
    case QChar::Mark_NonSpacing:
    case QChar::Mark_SpacingCombining:
    case QChar::Mark_Enclosing:
        // Nothing to see between quotes (a blank, a zero-width character, a
        // lone accent or half a pair): named by its code.
        return QStringLiteral("U+%1").arg(QString::number(code, 16).toUpper(), 4, u'0');
    default:
        return QStringLiteral("“%1”").arg(character);
    }
}

QByteArray GbkEncodeExact(const QString& text, const QString& what)
{
    const QByteArray bytes = GbkEncode(text);
    if (!GbkCanHold(text))
        throw CKvException(QStringLiteral("%1“%2”含有无法交给外部程序的字符%3！")
                               .arg(what, text, GbkCharacterName(GbkFirstUnheld(text))));
    return bytes;
}
