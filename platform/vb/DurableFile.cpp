// New files written beside their target with every write, the sync and the rename checked.
#include "DurableFile.h"

#include "Error.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QRegularExpression>

#include <atomic>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace vb {

namespace {

std::atomic<qint64> g_writeBudget{-1};

QString systemText(int error, const char *operation, const QString &path)
{
    return QStringLiteral("%1 %2: %3").arg(QString::fromLatin1(operation), path, QString::fromLocal8Bit(std::strerror(error)));
}

QString randomSuffix()
{
    static const char chars[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";
    QString s;
    for (int i = 0; i < 6; ++i)
        s += QLatin1Char(chars[QRandomGenerator::global()->bounded(int(sizeof chars - 1))]);
    return s;
}

// The bytes the seam still lets through out of `size` (all of them when it is off).
qint64 allowedBytes(qint64 size)
{
    qint64 budget = g_writeBudget.load();
    while (budget >= 0) {
        const qint64 allowed = std::min(budget, size);
        if (g_writeBudget.compare_exchange_weak(budget, budget - allowed))
            return allowed;
    }
    return size;
}

}  // namespace

Error writeError(const QString &target, int error, const QString &detail)
{
    qint32 number = err::PathFileAccess;
    QString reason;
    switch (error) {
    case ENOSPC:
    case EDQUOT:
    case EFBIG:
        number = err::DiskFull;
        reason = QStringLiteral(" (disco pieno)");
        break;
    case ENOENT:
    case ENOTDIR:
        number = err::PathNotFound;
        reason = QStringLiteral(" (cartella inesistente)");
        break;
    case EACCES:
    case EPERM:
    case EROFS:
        reason = QStringLiteral(" (accesso negato)");
        break;
    case EISDIR:
        reason = QStringLiteral(" (al suo posto c'è una cartella)");
        break;
    case ENAMETOOLONG:
        reason = QStringLiteral(" (nome troppo lungo)");
        break;
    default:
        break;
    }
    return Error(number, QStringLiteral("Impossibile scrivere il file ") + target + reason, QString(), detail);
}

DurableFile::DurableFile(const QString &target, const QString &prefix) : m_target(target)
{
    const QFileInfo info(target);
    const QString folder = info.absolutePath();
    const QString start = prefix.isEmpty() ? QStringLiteral(".") + info.fileName().left(64) + QStringLiteral("~") : prefix;
    for (int attempt = 0; attempt < 100; ++attempt) {
        const QString candidate = folder + QLatin1Char('/') + start + randomSuffix();
        m_fd = ::open(QFile::encodeName(candidate).constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (m_fd >= 0) {
            m_path = candidate;
            break;
        }
        if (errno != EEXIST) {
            const int error = errno;
            throw writeError(m_target, error, systemText(error, "open", candidate));
        }
    }
    if (m_fd < 0)
        throw writeError(m_target, EEXIST, systemText(EEXIST, "open", folder));
    // A replaced file keeps who may read and write it.
    struct stat old;
    if (::stat(QFile::encodeName(target).constData(), &old) == 0 && S_ISREG(old.st_mode))
        ::fchmod(m_fd, old.st_mode & 07777);
}

DurableFile::~DurableFile()
{
    discard();
}

void DurableFile::discard()
{
    if (m_fd >= 0) {
        ::close(m_fd);
        m_fd = -1;
    }
    if (!m_path.isEmpty()) {
        ::unlink(QFile::encodeName(m_path).constData());
        m_path.clear();
    }
}

void DurableFile::fail(int error, const char *operation)
{
    const QString detail = systemText(error, operation, m_path);
    discard();
    throw writeError(m_target, error, detail);
}

void DurableFile::write(const char *data, qint64 size)
{
    if (m_fd < 0)
        fail(EBADF, "write");
    while (size > 0) {
        const qint64 allowed = allowedBytes(size);
        if (allowed == 0)
            fail(ENOSPC, "write");
        const ssize_t n = ::write(m_fd, data, size_t(allowed));
        if (n < 0) {
            if (errno == EINTR)
                continue;
            fail(errno, "write");
        }
        if (n == 0)
            fail(ENOSPC, "write");
        data += n;
        size -= n;
    }
}

void DurableFile::restart()
{
    if (m_fd < 0)
        fail(EBADF, "truncate");
    if (::ftruncate(m_fd, 0) != 0 || ::lseek(m_fd, 0, SEEK_SET) != 0)
        fail(errno, "truncate");
}

void DurableFile::finish()
{
    if (m_fd < 0)
        fail(EBADF, "close");
    // A delayed allocation failure shows up only here: the sync is what says it is on disk.
    if (::fsync(m_fd) != 0)
        fail(errno, "fsync");
    const int fd = m_fd;
    m_fd = -1;
    if (::close(fd) != 0)
        fail(errno, "close");
}

void DurableFile::commit()
{
    finish();
    if (std::rename(QFile::encodeName(m_path).constData(), QFile::encodeName(m_target).constData()) != 0)
        fail(errno, "rename");
    m_path.clear();
    syncFolder(QFileInfo(m_target).absolutePath());
}

QString DurableFile::release()
{
    finish();
    const QString path = m_path;
    m_path.clear();
    return path;
}

void replaceFile(const QString &path, const QByteArray &bytes)
{
    DurableFile file(path);
    file.write(bytes);
    file.commit();
}

int removeLeftTemporaries(const QString &folder, const QStringList &targetNames)
{
    if (folder.isEmpty() || targetNames.isEmpty())
        return 0;
    QStringList names;
    for (const QString &name : targetNames)
        names << QRegularExpression::escape(name.left(64));
    const QRegularExpression own(QStringLiteral("^\\.(%1)~[A-Za-z0-9]{6}$").arg(names.join(QLatin1Char('|'))),
                                 QRegularExpression::CaseInsensitiveOption);
    int removed = 0;
    const QDir dir(folder);
    for (const QString &entry : dir.entryList(QDir::Files | QDir::Hidden | QDir::System))
        if (own.match(entry).hasMatch() && ::unlink(QFile::encodeName(dir.filePath(entry)).constData()) == 0)
            ++removed;
    if (removed > 0)
        syncFolder(folder);
    return removed;
}

void syncFolder(const QString &folder)
{
    const int fd = ::open(QFile::encodeName(folder).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        return;
    ::fsync(fd);
    ::close(fd);
}

void failWritesAfter(qint64 bytes)
{
    g_writeBudget.store(bytes < 0 ? -1 : bytes);
}

}  // namespace vb
