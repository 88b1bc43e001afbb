#include "KvPassword.h"

#include "CKvException.h"

#include <QByteArray>
#include <mutex>
#include <sodium.h>

namespace {

// Interactive strength in time with a smaller memory budget: a login on the
// counter machine stays quick and tests that hash many times stay fast, while
// every hash is still salted and costs an attacker real work per guess.
constexpr unsigned long long kOpsLimit = crypto_pwhash_OPSLIMIT_INTERACTIVE;
constexpr size_t kMemLimit = 8u * 1024u * 1024u;

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
