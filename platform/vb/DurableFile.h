// Writing a file so that a full disk, a failed write or a crash never leaves a damaged target:
// the new content goes to a hidden file beside the target and replaces it only once all of it is on disk.
#pragma once

#include "Error.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

namespace vb {

// One new file in the folder of `target`. Every failure throws vb::Error with an Italian
// description naming the target ("Impossibile scrivere il file ..."), the system's own text in
// detail(), and the number 61 (disk full), 76 (folder missing) or 75 (anything else); the target
// is never touched by a failure. The new file is removed when the object goes without commit()
// or release().
class DurableFile {
public:
    // Creates the new file as `prefix` plus six random characters; an empty prefix gives
    // "." + the target's name + "~".
    explicit DurableFile(const QString &target, const QString &prefix = QString());
    ~DurableFile();
    DurableFile(const DurableFile &) = delete;
    DurableFile &operator=(const DurableFile &) = delete;

    // All of it, or an error: a short write is an error.
    void write(const char *data, qint64 size);
    void write(const QByteArray &bytes) { write(bytes.constData(), bytes.size()); }
    // Drops what was written so far (to write the content again).
    void restart();
    // Flushes, syncs and closes the new file, then renames it over the target (which keeps its
    // access rights) and syncs the folder.
    void commit();
    // Flushes, syncs and closes the new file and hands it to the caller, who places or removes it.
    QString release();

    const QString &path() const { return m_path; }
    const QString &target() const { return m_target; }

private:
    void finish();
    [[noreturn]] void fail(int error, const char *operation);
    void discard();

    QString m_target;
    QString m_path;
    int m_fd = -1;
};

// Replaces the file at path with bytes through a DurableFile; throws as DurableFile does.
void replaceFile(const QString &path, const QByteArray &bytes);

// Removes from folder what a crash left of replacing the files named: the new files of
// DurableFile's own default form, "." + name + "~" + six letters or digits (name matched without
// regard to letter case). Nothing else is touched; answers how many were removed.
int removeLeftTemporaries(const QString &folder, const QStringList &targetNames);

// Makes a folder's entries (a rename, a new or removed file) durable; failures are ignored.
void syncFolder(const QString &folder);

// The error DurableFile throws for the system error number `error` on `target`.
Error writeError(const QString &target, int error, const QString &detail);

// Test seam: once `bytes` more bytes have gone through DurableFile::write, every further write
// fails as on a full disk (a short write, then "no space"). A negative value lifts the limit.
void failWritesAfter(qint64 bytes);

}  // namespace vb
