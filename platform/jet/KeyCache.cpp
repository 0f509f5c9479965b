// PBKDF2-HMAC-SHA1 key derivation with a per-process cache.
#include "KeyCache.h"

#include "vb/Error.h"

#include <openssl/evp.h>

#include <QHash>
#include <QMutex>

namespace jet {

namespace {
QMutex cacheMutex;
QHash<QByteArray, QByteArray> cache;  // password bytes + salt -> key text
int derivationCount = 0;
}  // namespace

QByteArray KeyCache::rawKey(const QString &password, const QByteArray &salt)
{
    const QByteArray pass = password.toUtf8();
    const QByteArray id = pass + '\0' + salt;
    {
        QMutexLocker lock(&cacheMutex);
        const auto it = cache.constFind(id);
        if (it != cache.constEnd())
            return it.value();
    }
    // Derive outside the lock: two threads on a new file may both derive, which is harmless.
    unsigned char key[KeySize];
    if (PKCS5_PBKDF2_HMAC_SHA1(pass.constData(), pass.size(),
                               reinterpret_cast<const unsigned char *>(salt.constData()),
                               salt.size(), Iterations, KeySize, key) != 1)
        throw vb::Error(vb::err::EngineRefused, QStringLiteral("Key derivation failed."),
                        QStringLiteral("jet"));
    const QByteArray text = "x'" + QByteArray(reinterpret_cast<const char *>(key), KeySize).toHex().toUpper() + "'";
    QMutexLocker lock(&cacheMutex);
    ++derivationCount;
    cache.insert(id, text);
    return text;
}

int KeyCache::derivations()
{
    QMutexLocker lock(&cacheMutex);
    return derivationCount;
}

void KeyCache::clear()
{
    QMutexLocker lock(&cacheMutex);
    cache.clear();
}

}  // namespace jet
