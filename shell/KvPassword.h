#pragma once

#include <QString>

// Operator passwords are kept as salted, slow hashes (Argon2id through
// libsodium). A stored value that is not such a hash is a password from before
// hashing (the administrator's empty password after an initialisation, or an
// older database): it is compared as text and replaced by its hash at the next
// successful login.

// The stored form of a newly typed password. A failure throws CKvException.
QString KvHashPassword(const QString& password);

// True when a stored value is a hash made by KvHashPassword. Plain passwords
// are at most 8 bytes long, so they can never be mistaken for one.
bool KvIsPasswordHash(const QString& stored);

// Checks a typed password against a stored value: through the hash, or, for a
// plain stored value, by an exact (case-sensitive) comparison.
bool KvVerifyPassword(const QString& stored, const QString& typed);
