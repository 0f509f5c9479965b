// Raw cipher keys derived from a password and a file's salt, computed once per process.
#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

namespace jet {

// The engine keeps files in the cipher's standard passphrase format, but deriving the key from
// the passphrase costs tens of milliseconds per open. The derivation is deterministic for a
// password and a salt, so its result is cached and handed to the cipher as a raw key instead.
class KeyCache {
public:
    static constexpr int SaltSize = 16;
    static constexpr int KeySize = 32;
    static constexpr int Iterations = 64000;

    // The key text for `password` and the file's first 16 bytes, in the form "x'<64 hex>'"
    // the cipher accepts as a raw key. Thread-safe.
    // A derivation that prefetch has under way is waited for, not repeated.
    static QByteArray rawKey(const QString &password, const QByteArray &salt);
    // Starts deriving, on threads of their own, the keys of the keyed files among `paths` that are
    // not cached yet, so the opens that follow find them ready. Unreadable and plain files are
    // skipped; a failed derivation is left for the open to meet and report. Returns at once.
    static void prefetch(const QStringList &paths, const QString &password);
    // Number of derivations done so far (each costly one counts once), prefetched ones included.
    static int derivations();
    static void settle();  // waits for the derivations prefetch has under way
    static void clear();  // waits for derivations under way
};

}  // namespace jet
