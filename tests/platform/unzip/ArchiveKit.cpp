// Test archives and folder snapshots.
#include "ArchiveKit.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QProcess>

#include <zip.h>

#include "unzip/Unzip.h"

#include <csignal>
#include <stdexcept>
#include <sys/wait.h>
#include <unistd.h>

namespace archivekit {

void runZip(const QString &folder, const QStringList &args)
{
    QProcess p;
    p.setWorkingDirectory(folder);
    p.start("zip", args);
    if (!p.waitForFinished(30000) || p.exitStatus() != QProcess::NormalExit || p.exitCode() != 0)
        throw std::runtime_error(("zip failed: " + p.readAllStandardError()).toStdString());
}

void buildArchive(const QString &path, const std::vector<Member> &members)
{
    QFile::remove(path);
    int err = 0;
    zip_t *za = zip_open(QFile::encodeName(path).constData(), ZIP_CREATE | ZIP_TRUNCATE, &err);
    if (!za)
        throw std::runtime_error("zip_open failed");
    for (const Member &m : members) {
        void *copy = malloc(static_cast<size_t>(m.data.size()) + 1);
        memcpy(copy, m.data.constData(), static_cast<size_t>(m.data.size()));
        zip_source_t *src = zip_source_buffer(za, copy, static_cast<zip_uint64_t>(m.data.size()), 1);
        const QByteArray name = m.name.toUtf8();
        const zip_int64_t index = zip_file_add(za, name.constData(), src, ZIP_FL_ENC_UTF_8);
        if (index < 0) {
            zip_source_free(src);
            zip_discard(za);
            throw std::runtime_error("zip_file_add failed");
        }
        if (m.store)
            zip_set_file_compression(za, static_cast<zip_uint64_t>(index), ZIP_CM_STORE, 0);
        if (m.symlink)
            zip_file_set_external_attributes(za, static_cast<zip_uint64_t>(index), 0, ZIP_OPSYS_UNIX,
                                             (0120777u) << 16);
    }
    if (zip_close(za) != 0) {
        zip_discard(za);
        throw std::runtime_error("zip_close failed");
    }
}

QMap<QString, QByteArray> snapshot(const QString &folder)
{
    QMap<QString, QByteArray> out;
    QDirIterator it(folder, QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot | QDir::System,
                    QDirIterator::Subdirectories);
    const QDir base(folder);
    while (it.hasNext()) {
        const QString path = it.next();
        const QFileInfo info(path);
        const QString rel = base.relativeFilePath(path);
        if (info.isDir() && !info.isSymLink())
            out.insert(rel + "/", QByteArray());
        else
            out.insert(rel, info.isSymLink() ? QByteArray("<link>") : readFile(path));
    }
    return out;
}

QByteArray readFile(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

void writeFile(const QString &path, const QByteArray &bytes)
{
    QDir().mkpath(QFileInfo(path).path());
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly) || f.write(bytes) != bytes.size())
        throw std::runtime_error("cannot write test file");
}

namespace {
int g_killAt = -1;
void killHere(int renamesDone)
{
    if (renamesDone == g_killAt)
        ::kill(::getpid(), SIGKILL);
}
}  // namespace

bool killedBetweenRenames(const std::function<void()> &work, int killAt)
{
    g_killAt = killAt;
    const pid_t child = ::fork();
    if (child < 0)
        return false;
    if (child == 0) {
        unzip::setRenameHook(killHere);
        work();
        ::_exit(0);  // the run never reached the rename: the caller sees false
    }
    int status = 0;
    ::waitpid(child, &status, 0);
    return WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL;
}

}  // namespace archivekit
