#include "KvPassword.h"

#include "CKvException.h"

#include <QByteArray>
#include <mutex>
#include <sodium.h>

namespace {

// Argon2id with two passes over 19 MiB: the usual minimum for stored login
// passwords, and still well under a tenth of a second per login.
// The parameters travel inside each hash, so older hashes keep verifying if
// they are ever changed.
constexpr unsigned long long kOpsLimit = 2;
constexpr size_t kMemLimit = 19u * 1024u * 1024u;

const QByteArray kHashPrefix = QByteArrayLiteral("$argon2");

void initSodium()
{
    static std::once_flag once;
    std::call_once(once, [] {
        if (sodium_init() < 0)
            throw CKvException(QStringLiteral("密码加密失败！"));
    });
}

} // namespace

QString KvHashPassword(const QString& password)
{
    initSodium();
    const QByteArray bytes = password.toUtf8();
    char out[crypto_pwhash_STRBYTES];
    if (crypto_pwhash_str(out, bytes.constData(), static_cast<unsigned long long>(bytes.size()), kOpsLimit,
                          kMemLimit) != 0)
        throw CKvException(QStringLiteral("密码加密失败！"));
    return QString::fromLatin1(out);
}

bool KvIsPasswordHash(const QString& stored)
{
    return stored.size() > 8 && stored.toLatin1().startsWith(kHashPrefix);
}

bool KvVerifyPassword(const QString& stored, const QString& typed)
{
    if (!KvIsPasswordHash(stored))
        return stored == typed;
    initSodium();
    const QByteArray hash = stored.toLatin1();
    const QByteArray bytes = typed.toUtf8();
    return crypto_pwhash_str_verify(hash.constData(), bytes.constData(),
                                    static_cast<unsigned long long>(bytes.size())) == 0;
}
