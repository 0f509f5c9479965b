// PBKDF2-HMAC-SHA1 key derivation with a per-process cache, and derivation ahead of time.
#include "KeyCache.h"

#include "vb/Error.h"

#include <openssl/evp.h>

#include <QFile>
#include <QHash>
#include <QSet>

#include <condition_variable>
#include <mutex>
#include <thread>
#include <vector>

namespace jet {

namespace {

const QByteArray plainHeader("SQLite format 3\0", 16);

struct Cache {
    std::mutex mutex;
    std::condition_variable done;           // a pending derivation finished
    QHash<QByteArray, QByteArray> keys;     // password bytes + salt -> key text
    QSet<QByteArray> pending;               // being derived by a prefetch worker
    int derivations = 0;
};

Cache &cache()
{
    static Cache c;
    return c;
}

// Workers of prefetch. Destroyed before the cache (constructed after it), joining what still runs.
struct Workers {
    std::mutex mutex;
    std::vector<std::thread> threads;
    ~Workers()
    {
        std::lock_guard lock(mutex);
        for (std::thread &t : threads)
            if (t.joinable())
                t.join();
    }
};

Workers &workers()
{
    cache();
    static Workers w;
    return w;
}

QByteArray idOf(const QByteArray &pass, const QByteArray &salt)
{
    return pass + '\0' + salt;
}

QByteArray derive(const QByteArray &pass, const QByteArray &salt)
{
    unsigned char key[KeyCache::KeySize];
    if (PKCS5_PBKDF2_HMAC_SHA1(pass.constData(), pass.size(),
                               reinterpret_cast<const unsigned char *>(salt.constData()), salt.size(),
                               KeyCache::Iterations, KeyCache::KeySize, key) != 1)
        return QByteArray();
    return "x'" + QByteArray(reinterpret_cast<const char *>(key), KeyCache::KeySize).toHex().toUpper() + "'";
}

}  // namespace

QByteArray KeyCache::rawKey(const QString &password, const QByteArray &salt)
{
    const QByteArray pass = password.toUtf8();
    const QByteArray id = idOf(pass, salt);
    Cache &c = cache();
    {
        std::unique_lock lock(c.mutex);
        // A prefetch already deriving this key is waited for rather than repeated.
        c.done.wait(lock, [&] { return !c.pending.contains(id); });
        const auto it = c.keys.constFind(id);
        if (it != c.keys.constEnd())
            return it.value();
    }
    // Derive outside the lock: two threads on a new file may both derive, which is harmless.
    const QByteArray text = derive(pass, salt);
    if (text.isEmpty())
        throw vb::Error::of(vb::err::EngineRefused, QStringLiteral("jet"), QString(), QStringLiteral("Key derivation failed."));
    std::lock_guard lock(c.mutex);
    ++c.derivations;
    c.keys.insert(id, text);
    return text;
}

void KeyCache::prefetch(const QStringList &paths, const QString &password)
{
    const QByteArray pass = password.toUtf8();
    if (pass.isEmpty())
        return;
    QList<QByteArray> salts;
    Cache &c = cache();
    {
        std::lock_guard lock(c.mutex);
        for (const QString &path : paths) {
            QFile file(path);
            if (!file.open(QIODevice::ReadOnly))
                continue;
            const QByteArray salt = file.read(SaltSize);
            const QByteArray id = idOf(pass, salt);
            if (salt.size() < SaltSize || salt == plainHeader || c.keys.contains(id) || c.pending.contains(id))
                continue;
            c.pending.insert(id);
            salts << salt;
        }
    }
    Workers &w = workers();
    std::lock_guard lock(w.mutex);
    for (const QByteArray &salt : salts) {
        w.threads.emplace_back([pass, salt] {
            const QByteArray text = derive(pass, salt);
            Cache &c = cache();
            {
                std::lock_guard lock(c.mutex);
                if (!text.isEmpty()) {
                    ++c.derivations;
                    c.keys.insert(idOf(pass, salt), text);
                }
                c.pending.remove(idOf(pass, salt));  // a failure is met again, and reported, when the file opens
            }
            c.done.notify_all();
        });
    }
}

int KeyCache::derivations()
{
    std::lock_guard lock(cache().mutex);
    return cache().derivations;
}

void KeyCache::settle()
{
    Cache &c = cache();
    std::unique_lock lock(c.mutex);
    c.done.wait(lock, [&] { return c.pending.isEmpty(); });
}

void KeyCache::clear()
{
    Cache &c = cache();
    std::unique_lock lock(c.mutex);
    c.done.wait(lock, [&] { return c.pending.isEmpty(); });
    c.keys.clear();
}

}  // namespace jet
