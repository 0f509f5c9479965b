// libFuzzer target: an arbitrary update journal (or journal temporary, when the input starts with
// "~") recovered over a folder with a sub-folder linked outside it. Recovery may change only the
// update's own names: every other file keeps its bytes, nothing outside changes, and a new file
// holds the bytes of one of the update's own files.
#include "unzip/Unzip.h"
#include "FuzzInput.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QMap>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <QTemporaryDir>

#include <cstdint>
#include <cstdlib>

namespace {

using Snapshot = QMap<QString, QByteArray>;

Snapshot snapshot(const QString &folder)
{
    Snapshot s;
    QDirIterator it(folder, QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = it.next();
        const QFileInfo info = it.fileInfo();
        const QString rel = path.mid(folder.size() + 1);
        if (info.isSymLink()) {
            s.insert(rel + "@", info.symLinkTarget().toUtf8());
        } else if (info.isDir()) {
            s.insert(rel + "/", QByteArray());
        } else {
            QFile f(path);
            s.insert(rel, f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<unreadable>"));
        }
    }
    return s;
}

void put(const QString &path, const QByteArray &bytes)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly) || f.write(bytes) != bytes.size())
        std::abort();
}

// Bytes no input can name: a journal can only match them by knowing them.
QByteArray unguessable()
{
    return QByteArray::number(QRandomGenerator::global()->generate64(), 16) +
           QByteArray::number(QRandomGenerator::global()->generate64(), 16);
}

bool ownName(const QString &fileName)
{
    static const QRegularExpression pattern(
        QStringLiteral("^(\\.unzip-[A-Za-z0-9]{6}(\\.old)?|\\.unzip-journal|\\.\\.unzip-journal~[A-Za-z0-9]{6})$"));
    return pattern.match(fileName).hasMatch();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    // In memory where there is such a folder: recovery syncs every folder it changes.
    static const QString base = QFileInfo(QStringLiteral("/dev/shm")).isDir() ? QStringLiteral("/dev/shm/")
                                                                            : QDir::tempPath() + "/";
    QTemporaryDir root(base + "journal-fuzz-XXXXXX");
    const QString dest = root.path() + "/dest", outside = root.path() + "/fuori";
    const QByteArray own[] = {"new database", "nuovo", "old database"};
    Snapshot victims;
    victims.insert("Metadati.mdb", unguessable());
    victims.insert("sub/keep.txt", unguessable());
    for (auto it = victims.cbegin(); it != victims.cend(); ++it)
        put(dest + "/" + it.key(), it.value());
    put(dest + "/.unzip-AbC123", own[0]);
    put(dest + "/sub/.unzip-XyZ789", own[1]);
    put(dest + "/.unzip-Qw3rTy.old", own[2]);
    put(outside + "/vittima.txt", unguessable());
    put(outside + "/.unzip-AbC123", own[0]);
    QDir().mkpath(outside + "/vuota");
    if (!QFile::link(outside, dest + "/link"))
        std::abort();

    const bool asTemporary = size > 0 && data[0] == '~';
    const QString journal = dest + (asTemporary ? "/..unzip-journal~Fz0000" : "/.unzip-journal");
    if (!fuzz::writeInput(journal, asTemporary ? data + 1 : data, asTemporary ? size - 1 : size))
        return 0;
    const Snapshot outsideBefore = snapshot(outside);

    QStringList problems;
    unzip::recoverInterrupted(dest, &problems);

    if (snapshot(outside) != outsideBefore)
        std::abort();
    if (QDir(root.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot) !=
        QStringList{"dest", "fuori"})
        std::abort();
    const Snapshot after = snapshot(dest);
    for (auto it = victims.cbegin(); it != victims.cend(); ++it)
        if (after.value(it.key()) != it.value())
            std::abort();
    if (after.value("link@") != outside.toUtf8())
        std::abort();
    for (auto it = after.cbegin(); it != after.cend(); ++it) {
        const QString name = it.key().section('/', -1);
        if (it.key().endsWith('/') || it.key().endsWith('@') || victims.contains(it.key()) || ownName(name))
            continue;
        bool placed = false;
        for (const QByteArray &bytes : own)
            placed = placed || it.value() == bytes;
        if (!placed)
            std::abort();
    }
    return 0;
}
