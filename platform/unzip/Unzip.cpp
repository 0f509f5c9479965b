// UnZip interface over libzip: names checked, every entry verified into temporary files beside its
// target, then all renamed under a journal that lets an interrupted run be finished or undone.
#include "Unzip.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QStringList>
#include <QDirIterator>
#include <QRegularExpression>

#include "vb/DurableFile.h"
#include "vb/Error.h"

#include <zip.h>
#include <zlib.h>
#undef zlib_version  // zlib's macro would rename the version record's field

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <memory>
#include <optional>
#include <set>
#include <vector>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace unzip {

namespace {

constexpr int MaxPasswordTries = 3;
const QString TempPrefix = QStringLiteral(".unzip-");
const QString BackupSuffix = QStringLiteral(".old");
const QString JournalName = QStringLiteral(".unzip-journal");
const QString JournalHead = QStringLiteral("unzip-journal");

void (*g_renameHook)(int) = nullptr;
constexpr int PasswordBufferSize = 81;

// Size and CRC-32 of a file's bytes: what the journal records of each file it names.
struct Stamp {
    qint64 size = -1;
    quint32 crc = 0;
    bool operator==(const Stamp &o) const { return size == o.size && crc == o.crc; }
};

struct Entry {
    zip_uint64_t index = 0;
    QString name;        // as stored (UTF-8, CP437 converted by libzip)
    QStringList parts;   // the safe relative path, folders then file
    bool directory = false;
    bool encrypted = false;
    zip_uint64_t size = 0;
    zip_uint64_t compressedSize = 0;
    quint32 crc = 0;
    quint16 method = 0;
    time_t mtime = 0;
    QString target;      // resolved destination path, set when the entry is written
    QString temp;        // verified contents in the target's folder, renamed over target at the end
    Stamp stamp;         // of the bytes written into temp
};

struct ArchiveCloser {
    void operator()(zip_t *za) const { zip_discard(za); }
};

// Splits a stored name into path components; false when it would leave the destination.
bool safeParts(const QString &stored, QStringList *parts)
{
    QString name = stored;
    name.replace('\\', '/');
    if (name.startsWith('/'))
        return false;
    const QStringList raw = name.split('/', Qt::SkipEmptyParts);
    for (int i = 0; i < raw.size(); ++i) {
        const QString &c = raw[i];
        if (c == ".")
            continue;
        if (c == "..")
            return false;
        if (i == 0 && c.size() >= 2 && c[1] == ':' && c[0].isLetter())
            return false;
        for (QChar ch : c)
            if (ch.unicode() < 0x20)
                return false;
        parts->append(c);
    }
    return true;
}

bool isSymlink(zip_t *za, zip_uint64_t index)
{
    zip_uint8_t opsys = 0;
    zip_uint32_t attributes = 0;
    if (zip_file_get_external_attributes(za, index, 0, &opsys, &attributes) != 0)
        return false;
    return opsys == ZIP_OPSYS_UNIX && ((attributes >> 16) & 0170000) == 0120000;
}

// The existing child of folder named like name without regard to case, else folder/name.
QString resolveNoCase(const QString &folder, const QString &name)
{
    const QString exact = folder + "/" + name;
    if (QFileInfo::exists(exact))
        return exact;
    const QStringList children = QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot);
    for (const QString &child : children)
        if (child.compare(name, Qt::CaseInsensitive) == 0)
            return folder + "/" + child;
    return exact;
}

QString resolvePath(const QString &destination, const QStringList &parts)
{
    QString path = destination;
    for (const QString &p : parts)
        path = resolveNoCase(path, p);
    return path;
}

QByteArray native(const QString &path)
{
    return QFile::encodeName(path);
}

// Present in the folder, whatever it is (lstat: a dangling link counts).
bool present(const QString &path)
{
    struct stat st;
    return ::lstat(native(path).constData(), &st) == 0;
}

QString parentOf(const QString &path)
{
    return path.left(path.lastIndexOf('/'));
}

// Creates the missing folders of path one level at a time, recording each one made.
bool makeFolders(const QString &path, QStringList *created)
{
    if (QFileInfo(path).isDir())
        return true;
    const QString parent = parentOf(path);
    if (parent.isEmpty() || parent == path || !makeFolders(parent, created))
        return false;
    if (!QDir().mkdir(path))
        return false;
    created->append(path);
    return true;
}

void removeFolders(const QStringList &created)
{
    for (qsizetype i = created.size() - 1; i >= 0; --i)
        QDir().rmdir(created[i]);  // only when empty
}

// A temporary file of this layer: ".unzip-XXXXXX" (its backup is the same name and ".old").
bool ownTemporary(const QString &fileName)
{
    static const QRegularExpression pattern(QStringLiteral("^\\.unzip-[A-Za-z0-9]{6}$"));
    return pattern.match(fileName).hasMatch();
}

// The durable replace's own temporary of the journal, left by a crash before its rename.
bool journalTemporary(const QString &fileName)
{
    static const QRegularExpression pattern(QStringLiteral("^\\.\\.unzip-journal~[A-Za-z0-9]{6}$"));
    return pattern.match(fileName).hasMatch();
}

// A name of this layer's own files, which no entry of an archive may take.
bool reservedName(const QString &fileName)
{
    const QString lower = fileName.toLower();
    return ownTemporary(fileName) || (lower.endsWith(BackupSuffix) && ownTemporary(fileName.chopped(4))) ||
           lower == JournalName || journalTemporary(fileName);
}

constexpr qint64 MaxJournalBytes = 16 * 1024 * 1024;

// The stamp of a regular file (a symbolic link is none); nullopt when there is none or it cannot be read.
std::optional<Stamp> stampOf(const QString &path)
{
    const int fd = ::open(native(path).constData(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW);
    if (fd < 0)
        return std::nullopt;
    struct stat st;
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        ::close(fd);
        return std::nullopt;
    }
    Stamp s;
    s.size = 0;
    uLong crc = ::crc32(0L, Z_NULL, 0);
    std::vector<char> chunk(256 * 1024);
    for (;;) {
        const ssize_t n = ::read(fd, chunk.data(), chunk.size());
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0) {
            ::close(fd);
            return std::nullopt;
        }
        if (n == 0)
            break;
        crc = ::crc32(crc, reinterpret_cast<const Bytef *>(chunk.data()), uInt(n));
        s.size += n;
    }
    ::close(fd);
    s.crc = quint32(crc);
    return s;
}

bool holds(const QString &path, const Stamp &stamp)
{
    const std::optional<Stamp> s = stampOf(path);
    return s && *s == stamp;
}

QString stampText(const Stamp &s)
{
    return QString::number(s.size) + "\t" + QString::number(s.crc, 16);
}

bool parseStamp(const QString &size, const QString &crc, Stamp *s)
{
    bool okSize = false, okCrc = false;
    s->size = size.toLongLong(&okSize);
    s->crc = crc.toUInt(&okCrc, 16);
    return okSize && okCrc && s->size >= 0;
}

struct Placement {
    QString target;
    QString temp;
    QString backup;  // empty when the target is new
    Stamp fresh;     // the entry's bytes: the temporary file, then the target once placed
    Stamp old;       // the replaced file's bytes, kept under the backup name
};

// The renames of one run. Written down before the first of them, so that a run cut short by a
// crash or a power cut is finished (or, when that cannot be done, undone) at the next start.
// Read back, the journal is a claim: only the run's own temporary and backup names in the journal's
// folder are acted on, and a file only when its bytes are those the journal recorded for it; any
// other file is left as it is and named in problems().
class Commit {
public:
    // trusted: the run that made the files commits them itself, so they are not checked again.
    Commit(QString root, bool trusted) : m_root(std::move(root)), m_trusted(trusted) {}

    std::vector<Placement> items;
    QStringList folders;  // made by the run, in the order made

    bool writeJournal(bool undoing);
    // Reads the journal file at path; false, touching nothing, when it is not one this layer wrote.
    bool readJournal(const QString &path, bool *undoing);
    // Renames every entry in order; false at the first that cannot be placed. What is already in
    // place (after an interruption) is skipped.
    bool place(bool withHook);
    // Puts every replaced file back and removes the new ones and the new folders; true when all was
    // put back and the journal is gone.
    bool undo();
    // Everything in place: the backups and the journal go; true when they went.
    bool finish();
    // Removes the temporary files and the empty new folders of a run stopped before its renames.
    bool discardTemporaries();

    const QStringList &problems() const { return m_problems; }
    int removed() const { return m_removed; }  // files this object deleted
    QString journal() const { return m_root + "/" + JournalName; }

private:
    QString relative(const QString &path) const { return path.mid(m_root.size() + 1); }
    bool absolute(const QString &rel, QString *path) const;
    void syncTargets() const;
    bool remove(const QString &path);
    bool move(const QString &from, const QString &to);
    void leftAlone(const QString &path) { m_problems << relative(path) + ": diverso da quanto registrato, lasciato com'è"; }

    QString m_root;
    bool m_trusted;
    QStringList m_problems;
    int m_removed = 0;
};

bool Commit::remove(const QString &path)
{
    if (::unlink(native(path).constData()) == 0) {
        ++m_removed;
        return true;
    }
    if (errno == ENOENT)
        return true;
    m_problems << relative(path) + ": impossibile eliminarlo";
    return false;
}

bool Commit::move(const QString &from, const QString &to)
{
    if (std::rename(native(from).constData(), native(to).constData()) == 0)
        return true;
    m_problems << relative(from) + ": impossibile rinominarlo in " + relative(to);
    return false;
}

bool Commit::writeJournal(bool undoing)
{
    // The folders of the temporary files must be durable before the journal that names them.
    std::set<QString> synced;
    for (const Placement &p : items)
        if (synced.insert(parentOf(p.temp)).second)
            vb::syncFolder(parentOf(p.temp));
    for (const QString &f : folders)
        if (synced.insert(parentOf(f)).second)
            vb::syncFolder(parentOf(f));
    QString text = JournalHead + "\n" + (undoing ? "mode\tundo\n" : "mode\tplace\n");
    for (const QString &f : folders)
        if (f.size() > m_root.size())  // the destination itself is removed by the run only
            text += "folder\t" + relative(f) + "\n";
    for (const Placement &p : items)
        text += "file\t" + relative(p.target) + "\t" + relative(p.temp) + "\t" +
                (p.backup.isEmpty() ? QString() : relative(p.backup)) + "\t" + stampText(p.fresh) + "\t" +
                (p.backup.isEmpty() ? QStringLiteral("\t") : stampText(p.old)) + "\n";
    text += "end\n";
    try {
        vb::replaceFile(journal(), text.toUtf8());
        return true;
    } catch (const vb::Error &) {
        return false;
    }
}

// A path the journal names, inside its folder and reached through no symbolic link.
bool Commit::absolute(const QString &rel, QString *path) const
{
    QStringList parts;
    if (rel.isEmpty() || !safeParts(rel, &parts) || parts.isEmpty() || parts.join('/') != rel)
        return false;
    QString at = m_root;
    for (qsizetype i = 0; i + 1 < parts.size(); ++i) {
        at += "/" + parts[i];
        struct stat st;
        if (::lstat(native(at).constData(), &st) == 0 && !S_ISDIR(st.st_mode))
            return false;  // a link, or a file where a folder should be
    }
    *path = m_root + "/" + rel;
    return true;
}

bool Commit::readJournal(const QString &path, bool *undoing)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly) || file.size() > MaxJournalBytes)
        return false;
    const QStringList lines = QString::fromUtf8(file.read(MaxJournalBytes)).split('\n');
    if (lines.size() < 3 || lines[0] != JournalHead)
        return false;
    bool moded = false;
    for (const QString &line : lines.mid(1)) {
        if (line == "end")
            return moded;
        const QStringList f = line.split('\t');
        if (f.size() == 2 && f[0] == "mode" && !moded && (f[1] == "undo" || f[1] == "place")) {
            *undoing = f[1] == "undo";
            moded = true;
        } else if (f.size() == 2 && f[0] == "folder") {
            QString folder;
            if (!absolute(f[1], &folder))
                return false;
            folders << folder;
        } else if (f.size() == 8 && f[0] == "file") {
            Placement p;
            if (!absolute(f[1], &p.target) || !absolute(f[2], &p.temp) || !parseStamp(f[4], f[5], &p.fresh))
                return false;
            // The temporary file is made in its target's own folder, and its backup is its own name too.
            if (!ownTemporary(QFileInfo(p.temp).fileName()) || parentOf(p.temp) != parentOf(p.target) ||
                reservedName(QFileInfo(p.target).fileName()))
                return false;
            if (!f[3].isEmpty()) {
                if (f[3] != f[2] + BackupSuffix || !absolute(f[3], &p.backup) || !parseStamp(f[6], f[7], &p.old))
                    return false;
            } else if (!f[6].isEmpty() || !f[7].isEmpty()) {
                return false;
            }
            items.push_back(p);
        } else {
            return false;
        }
    }
    return false;
}

bool Commit::place(bool withHook)
{
    for (size_t i = 0; i < items.size(); ++i) {
        if (withHook && g_renameHook)
            g_renameHook(int(i));
        const Placement &p = items[i];
        if (!present(p.temp)) {
            // Renamed before an interruption: the target must now be that entry.
            if (!m_trusted && !holds(p.target, p.fresh)) {
                leftAlone(p.target);
                return false;
            }
            continue;
        }
        if (!m_trusted) {
            const bool targetAsRecorded = p.backup.isEmpty()
                ? !present(p.target)
                : (holds(p.target, p.old) || (!present(p.target) && holds(p.backup, p.old)));
            if (!holds(p.temp, p.fresh) || !targetAsRecorded) {
                leftAlone(holds(p.temp, p.fresh) ? p.target : p.temp);
                return false;
            }
        }
        // A hard link keeps the old file under its name until the new one takes it; where the file
        // system has none, the old file moves aside.
        if (!p.backup.isEmpty() && !present(p.backup) && present(p.target) &&
            ::link(native(p.target).constData(), native(p.backup).constData()) != 0 && !move(p.target, p.backup))
            return false;
        if (!move(p.temp, p.target))
            return false;
    }
    syncTargets();
    return true;
}

bool Commit::undo()
{
    if (!writeJournal(true) && !present(journal()))
        return false;
    // A file that is not as recorded is left alone; the undo fails only where a replaced file
    // cannot be put back or a rename or removal fails.
    bool all = true;
    for (auto it = items.rbegin(); it != items.rend(); ++it) {
        const Placement &p = *it;
        if (present(p.temp)) {
            // Not renamed yet: the target was at most moved aside (or linked) to its backup.
            if (!p.backup.isEmpty() && present(p.backup)) {
                if (!m_trusted && !holds(p.backup, p.old)) {
                    leftAlone(p.backup);
                    all = all && present(p.target);
                } else if (!present(p.target) ? !move(p.backup, p.target) : !remove(p.backup)) {
                    all = false;
                }
            }
            if (!m_trusted && !holds(p.temp, p.fresh))
                leftAlone(p.temp);
            else if (!remove(p.temp))
                all = false;
            continue;
        }
        const bool targetFresh = m_trusted || holds(p.target, p.fresh);
        if (p.backup.isEmpty()) {
            if (present(p.target) && !targetFresh)
                leftAlone(p.target);  // not the entry: the run never wrote it
            else if (!remove(p.target))
                all = false;
            continue;
        }
        if (!present(p.backup)) {
            // Already put back by an earlier undo, or lost.
            if (!m_trusted && !holds(p.target, p.old)) {
                leftAlone(p.target);
                all = false;
            }
            continue;
        }
        if (!m_trusted && (!holds(p.backup, p.old) || (present(p.target) && !targetFresh && !holds(p.target, p.old)))) {
            leftAlone(holds(p.backup, p.old) ? p.target : p.backup);
            all = false;
            continue;
        }
        // Renaming a link over the same file changes nothing: the link then simply goes.
        if (!move(p.backup, p.target))
            all = false;
        else if (present(p.backup) && !remove(p.backup))
            all = false;
    }
    if (!all)
        return false;
    syncTargets();
    if (!remove(journal()))
        return false;
    removeFolders(folders);  // the destination itself among them, when the run made it
    vb::syncFolder(QFileInfo::exists(m_root) ? m_root : parentOf(m_root));
    return true;
}

bool Commit::finish()
{
    bool all = true;
    for (const Placement &p : items)
        if (!p.backup.isEmpty() && present(p.backup)) {
            if (!m_trusted && !holds(p.backup, p.old)) {
                leftAlone(p.backup);
                all = false;
            } else if (!remove(p.backup)) {
                all = false;
            }
        }
    syncTargets();
    if (!all || !remove(journal()))
        return false;
    vb::syncFolder(m_root);
    return true;
}

bool Commit::discardTemporaries()
{
    bool all = true;
    for (const Placement &p : items) {
        if (!present(p.temp))
            continue;
        if (!holds(p.temp, p.fresh)) {
            leftAlone(p.temp);
        } else if (!remove(p.temp)) {
            all = false;
        }
    }
    removeFolders(folders);
    return all;
}

void Commit::syncTargets() const
{
    std::set<QString> synced;
    for (const Placement &p : items)
        if (synced.insert(parentOf(p.target)).second)
            vb::syncFolder(parentOf(p.target));
}

bool listed(const QString &name, int count, char **names, bool caseSensitive)
{
    for (int i = 0; i < count; ++i)
        if (names && names[i] &&
            name.compare(QString::fromUtf8(names[i]), caseSensitive ? Qt::CaseSensitive : Qt::CaseInsensitive) == 0)
            return true;
    return false;
}

// True when something already in the destination stands in the entry's way: a file where one of
// its folders would go, or a folder where the file would go.
bool blocked(const QString &destination, const QStringList &parts, bool directory)
{
    QString path = destination;
    for (qsizetype i = 0; i < parts.size(); ++i) {
        path = resolveNoCase(path, parts[i]);
        const QFileInfo existing(path);
        if (!existing.exists())
            return false;
        const bool folderPart = directory || i + 1 < parts.size();
        if (folderPart != existing.isDir())
            return true;
    }
    return false;
}

class Run {
public:
    Run(DCL &dcl, USERFUNCTIONS *callbacks) : m_dcl(dcl), m_cb(callbacks) {}
    ~Run() { discardTemps(); }

    int execute(int ifnc, char **ifnv, int xfnc, char **xfnv);

private:
    void print(const QString &text) const
    {
        if (m_cb && m_cb->print) {
            const QByteArray bytes = text.toLocal8Bit();
            m_cb->print(bytes.constData(), static_cast<unsigned long>(bytes.size()));
        }
    }
    void discardTemps()
    {
        for (Entry &e : m_entries)
            if (!e.temp.isEmpty()) {
                QFile::remove(e.temp);
                e.temp.clear();
            }
    }
    int fail(int code)
    {
        discardTemps();
        removeFolders(m_createdFolders);
        m_createdFolders.clear();
        return code;
    }
    // In-archive clashes, letter case aside (the folders are case-blind for the program): one path
    // both a file and a folder, as "leggimi" and "leggimi/nota.txt", or two files of one name, as
    // "Metadati.mdb" and "METADATI.MDB".
    bool clashes() const;
    // Folders and a temporary file in the entry's own target folder, the entry verified into it.
    int prepare(Entry &e);
    int commit(const std::vector<Entry *> &chosen);
    bool wanted(const Entry &e, bool *skipAll);
    // Decompresses one entry into sink (a file, or nothing for test/list); answers a code.
    int extractEntry(Entry &e, vb::DurableFile *sink);
    int readEntry(Entry &e, vb::DurableFile *sink, const char *password);
    bool askPassword(const Entry &e);

    DCL &m_dcl;
    USERFUNCTIONS *m_cb;
    std::unique_ptr<zip_t, ArchiveCloser> m_za;
    QString m_destination;
    std::vector<Entry> m_entries;
    QStringList m_createdFolders;
    QByteArray m_password;
    bool m_havePassword = false;
    bool m_passwordGivenUp = false;
};

bool Run::wanted(const Entry &e, bool *skipAll)
{
    if (e.directory || m_dcl.nvflag || m_dcl.ntflag || m_dcl.ncflag)
        return true;
    const QString target = resolvePath(m_destination, e.parts);
    const QFileInfo existing(target);
    if (!existing.exists())
        return !m_dcl.nfflag;
    if (existing.isDir())
        return false;
    const qint64 entryTime = static_cast<qint64>(e.mtime);
    if ((m_dcl.ExtractOnlyNewer || m_dcl.nfflag) && existing.lastModified().toSecsSinceEpoch() >= entryTime)
        return false;
    if (m_dcl.noflag && !m_dcl.PromptToOverwrite)
        return true;
    if (*skipAll || !m_dcl.PromptToOverwrite || !m_cb || !m_cb->replace)
        return false;
    const QByteArray name = target.toLocal8Bit();
    const int answer = m_cb->replace(name.constData());
    if (answer == IDM_REPLACE_NONE)
        *skipAll = true;
    return answer == IDM_REPLACE_YES;
}

bool Run::askPassword(const Entry &e)
{
    if (m_passwordGivenUp || !m_cb || !m_cb->password)
        return false;
    char buffer[PasswordBufferSize] = {};
    const QByteArray entry = e.name.toLocal8Bit();
    const int answer = m_cb->password(buffer, PasswordBufferSize, "Enter password:", entry.constData());
    buffer[PasswordBufferSize - 1] = '\0';
    if (answer != IZ_PW_ENTERED) {
        m_passwordGivenUp = true;
        return false;
    }
    m_password = QByteArray(buffer);
    m_havePassword = true;
    return true;
}

int Run::readEntry(Entry &e, vb::DurableFile *sink, const char *password)
{
    zip_file_t *zf = password ? zip_fopen_index_encrypted(m_za.get(), e.index, 0, password)
                              : zip_fopen_index(m_za.get(), e.index, 0);
    if (!zf) {
        const int ze = zip_error_code_zip(zip_get_error(m_za.get()));
        zip_error_clear(m_za.get());
        if (ze == ZIP_ER_WRONGPASSWD || ze == ZIP_ER_NOPASSWD)
            return IZ_BADPWD;
        if (ze == ZIP_ER_COMPNOTSUPP || ze == ZIP_ER_ENCRNOTSUPP)
            return IZ_UNSUP;
        if (ze == ZIP_ER_MEMORY)
            return PK_MEM;
        return PK_BADERR;
    }
    char chunk[64 * 1024];
    zip_uint64_t total = 0;
    uLong crc = ::crc32(0L, Z_NULL, 0);
    int code = PK_OK;
    QByteArray shown;
    for (;;) {
        const zip_int64_t n = zip_fread(zf, chunk, sizeof chunk);
        if (n < 0) {
            const int ze = zip_error_code_zip(zip_file_get_error(zf));
            code = ze == ZIP_ER_CRC ? (password ? IZ_BADPWD : PK_ERR) : PK_BADERR;
            break;
        }
        if (n == 0)
            break;
        total += static_cast<zip_uint64_t>(n);
        if (total > e.size) {
            code = PK_BADERR;
            break;
        }
        crc = ::crc32(crc, reinterpret_cast<const Bytef *>(chunk), uInt(n));
        if (sink) {
            try {
                sink->write(chunk, n);
            } catch (const vb::Error &) {
                code = PK_DISK;
                break;
            }
        }
        if (m_dcl.ncflag && m_cb && m_cb->print)
            m_cb->print(chunk, static_cast<unsigned long>(n));
    }
    zip_fclose(zf);
    if (code == PK_OK && total != e.size)
        code = PK_BADERR;
    e.stamp = {qint64(total), quint32(crc)};
    return code;
}

int Run::extractEntry(Entry &e, vb::DurableFile *sink)
{
    if (!e.encrypted)
        return readEntry(e, sink, nullptr);
    for (int attempt = 0; attempt < MaxPasswordTries; ++attempt) {
        if (!m_havePassword && !askPassword(e))
            return IZ_BADPWD;
        if (sink) {
            try {
                sink->restart();
            } catch (const vb::Error &) {
                return PK_DISK;
            }
        }
        const int code = readEntry(e, sink, m_password.constData());
        if (code != IZ_BADPWD)
            return code;
        m_havePassword = false;  // wrong: ask again
    }
    return IZ_BADPWD;
}

bool Run::clashes() const
{
    QHash<QString, bool> kinds;  // lower-cased path: a folder?
    const auto claim = [&kinds](const QString &path, bool folder) {
        const auto it = kinds.constFind(path);
        if (it != kinds.constEnd())
            return folder && *it;  // a folder may be named again, a file only once
        kinds.insert(path, folder);
        return true;
    };
    for (const Entry &e : m_entries) {
        QString path;
        for (qsizetype i = 0; i < e.parts.size(); ++i) {
            path += (i ? "/" : "") + e.parts[i].toLower();
            if (!claim(path, e.directory || i + 1 < e.parts.size()))
                return true;
        }
    }
    return false;
}

int Run::prepare(Entry &e)
{
    QString folder = m_destination;
    if (!makeFolders(folder, &m_createdFolders))
        return PK_DISK;
    for (qsizetype i = 0; i + 1 < e.parts.size(); ++i) {
        folder = resolveNoCase(folder, e.parts[i]);
        if (!makeFolders(folder, &m_createdFolders))
            return PK_DISK;
    }
    e.target = resolveNoCase(folder, e.parts.last());
    try {
        // In the target's own folder: a rename never crosses into another file system.
        vb::DurableFile temp(e.target, TempPrefix);
        if (const int code = extractEntry(e, &temp); code != PK_OK)
            return code;
        e.temp = temp.release();
    } catch (const vb::Error &) {
        return PK_DISK;
    }
    QFile placed(e.temp);
    QFile::Permissions rights = QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup | QFile::ReadOther;
    if (QFileInfo::exists(e.target) && !m_dcl.fPrivilege)
        rights = QFileInfo(e.target).permissions();
    placed.setPermissions(rights);
    if (e.mtime && placed.open(QIODevice::Append)) {
        placed.setFileTime(QDateTime::fromSecsSinceEpoch(e.mtime), QFileDevice::FileModificationTime);
        placed.close();
    }
    return PK_OK;
}

int Run::commit(const std::vector<Entry *> &chosen)
{
    Commit commit(m_destination, true);
    commit.folders = m_createdFolders;
    for (const Entry *e : chosen) {
        Placement p{e->target, e->temp, QString(), e->stamp, Stamp()};
        if (present(e->target)) {
            // What the backup will hold, so that a later recovery knows the file it puts back.
            const std::optional<Stamp> old = stampOf(e->target);
            if (!old)
                return fail(PK_DISK);
            p.backup = e->temp + BackupSuffix;
            p.old = *old;
        }
        commit.items.push_back(p);
    }
    if (!commit.writeJournal(false))
        return fail(PK_DISK);
    // From here the journal answers for the temporary files and the new folders.
    for (Entry *e : chosen)
        e->temp.clear();
    m_createdFolders.clear();
    if (!commit.place(true)) {
        commit.undo();  // what cannot be put back now is put back at the next start
        return PK_DISK;
    }
    // Backups or a journal that cannot go are settled at the next start; the entries are in place.
    (void)commit.finish();
    if (m_dcl.fQuiet < 2)
        for (const Entry *e : chosen)
            print("  inflating: " + e->target + "\n");
    return PK_OK;
}

int Run::execute(int ifnc, char **ifnv, int xfnc, char **xfnv)
{
    if (!m_dcl.lpszZipFN || !*m_dcl.lpszZipFN)
        return PK_PARAM;
    const bool writes = !m_dcl.nvflag && !m_dcl.ntflag && !m_dcl.ncflag;
    m_destination = QFile::decodeName(m_dcl.lpszExtractDir ? m_dcl.lpszExtractDir : "");
    while (m_destination.size() > 1 && m_destination.endsWith('/'))
        m_destination.chop(1);
    // A missing destination is made when the first entry is written.
    if (writes && (m_destination.isEmpty() || (present(m_destination) && !QFileInfo(m_destination).isDir())))
        return PK_PARAM;

    int zerr = 0;
    const QByteArray archive(m_dcl.lpszZipFN);
    if (!QFileInfo::exists(QFile::decodeName(archive)))
        return PK_NOZIP;
    m_za.reset(zip_open(archive.constData(), ZIP_RDONLY | ZIP_CHECKCONS, &zerr));
    if (!m_za)
        return zerr == ZIP_ER_NOENT || zerr == ZIP_ER_OPEN ? PK_NOZIP : (zerr == ZIP_ER_MEMORY ? PK_MEM : PK_BADERR);

    // Every name is checked before anything is read or written.
    const zip_int64_t count = zip_get_num_entries(m_za.get(), 0);
    bool anyIncluded = false;
    for (zip_int64_t i = 0; i < count; ++i) {
        zip_stat_t st;
        zip_stat_init(&st);
        if (zip_stat_index(m_za.get(), static_cast<zip_uint64_t>(i), 0, &st) != 0 || !(st.valid & ZIP_STAT_NAME))
            return PK_BADERR;
        Entry e;
        e.index = static_cast<zip_uint64_t>(i);
        e.name = QString::fromUtf8(st.name);
        if (m_dcl.SpaceToUnderscore)
            e.name.replace(' ', '_');
        if (!safeParts(e.name, &e.parts) || isSymlink(m_za.get(), e.index) ||
            (!e.parts.isEmpty() && reservedName(e.parts.last())))
            return PK_ERR;
        e.directory = e.name.endsWith('/') || e.name.endsWith('\\');
        if (e.parts.isEmpty()) {
            if (!e.directory)
                return PK_ERR;
            continue;  // "./": the destination itself
        }
        if (!m_dcl.ndflag) {
            if (e.directory)
                continue;
            e.parts = QStringList{e.parts.last()};
        }
        e.encrypted = (st.valid & ZIP_STAT_ENCRYPTION_METHOD) && st.encryption_method != ZIP_EM_NONE;
        e.size = (st.valid & ZIP_STAT_SIZE) ? st.size : 0;
        e.compressedSize = (st.valid & ZIP_STAT_COMP_SIZE) ? st.comp_size : 0;
        e.crc = (st.valid & ZIP_STAT_CRC) ? st.crc : 0;
        e.method = (st.valid & ZIP_STAT_COMP_METHOD) ? st.comp_method : 0;
        e.mtime = (st.valid & ZIP_STAT_MTIME) ? st.mtime : 0;
        const bool caseSensitive = m_dcl.C_flag != 0;
        if (ifnc > 0 && !listed(e.name, ifnc, ifnv, caseSensitive))
            continue;
        if (xfnc > 0 && listed(e.name, xfnc, xfnv, caseSensitive))
            continue;
        anyIncluded = true;
        m_entries.push_back(std::move(e));
    }
    if (ifnc > 0 && !anyIncluded)
        return PK_FIND;
    if (writes && clashes())
        return PK_ERR;

    if (m_dcl.nzflag) {
        int length = 0;
        if (const char *comment = zip_get_archive_comment(m_za.get(), &length, 0); comment && length > 0) {
            print(QString::fromUtf8(comment, length) + "\n");
            if (m_cb)
                m_cb->cchComment = static_cast<unsigned>(length);
        }
    }

    // Every wanted entry is decompressed and verified before any target is touched.
    bool skipAll = false, skipped = false;
    std::vector<Entry *> chosen;
    for (Entry &e : m_entries) {
        if (m_cb) {
            m_cb->NumMembers++;
            m_cb->TotalSize += e.size;
            m_cb->TotalSizeComp += e.compressedSize;
        }
        if (m_cb && m_cb->service) {
            const QByteArray name = e.name.toLocal8Bit();
            if (m_cb->service(name.constData(), static_cast<unsigned long>(e.size)) != 0)
                return fail(IZ_CTRLC);
        }
        if (m_dcl.nvflag) {
            if (m_cb && m_cb->message) {
                const QDateTime when = QDateTime::fromSecsSinceEpoch(e.mtime);
                const unsigned ratio = e.size ? static_cast<unsigned>(100 - (e.compressedSize * 100 / e.size)) : 0;
                const QByteArray name = e.name.toLocal8Bit();
                m_cb->message(static_cast<unsigned long>(e.size), static_cast<unsigned long>(e.compressedSize),
                              ratio, when.date().month(), when.date().day(), when.date().year(),
                              when.time().hour(), when.time().minute(), name.constData(),
                              e.method == ZIP_CM_STORE ? "Stored" : "Defl:N", e.crc, e.encrypted);
            }
            continue;
        }
        // Refused before anything is written, so the run changes nothing.
        if (writes && blocked(m_destination, e.parts, e.directory))
            return fail(PK_ERR);
        if (e.directory) {
            if (writes && !makeFolders(resolvePath(m_destination, e.parts), &m_createdFolders))
                return fail(PK_DISK);
            continue;
        }
        if (!wanted(e, &skipAll)) {
            skipped = true;
            continue;
        }
        if (!writes) {
            const int code = extractEntry(e, nullptr);
            if (code != PK_OK)
                return fail(code);
            if (m_dcl.fQuiet < 2)
                print("    testing: " + e.name + "   OK\n");
            continue;
        }
        if (const int code = prepare(e); code != PK_OK)
            return fail(code);
        chosen.push_back(&e);
    }
    if (m_cb && m_cb->TotalSize)
        m_cb->CompFactor = static_cast<unsigned long>(100 - (m_cb->TotalSizeComp * 100 / m_cb->TotalSize));
    if (m_dcl.nZIflag)
        print(QString("%1 entries, %2 bytes uncompressed, %3 bytes compressed\n")
                  .arg(m_entries.size()).arg(m_cb ? m_cb->TotalSize : 0).arg(m_cb ? m_cb->TotalSizeComp : 0));
    if (!writes)
        return PK_OK;
    // The journal of a run never finished is settled first: it is the only record of that run.
    if (recoverInterrupted(m_destination) == Recovery::Failed)
        return fail(PK_DISK);
    if (const int code = commit(chosen); code != PK_OK)
        return code;
    return skipped ? PK_WARN : PK_OK;
}

}  // namespace

Recovery recoverInterrupted(const QString &folder, QStringList *problems)
{
    QString root = folder;
    while (root.size() > 1 && root.endsWith('/'))
        root.chop(1);
    if (root.isEmpty() || !QFileInfo(root).isDir())
        return Recovery::Nothing;
    Recovery result = Recovery::Nothing;
    QStringList found;
    if (present(root + "/" + JournalName)) {
        Commit commit(root, false);
        bool undoing = false;
        if (!commit.readJournal(commit.journal(), &undoing)) {
            found << JournalName + ": registro non valido, nessun file toccato";
            result = Recovery::Failed;
        } else if (!undoing && commit.place(false)) {
            result = commit.finish() ? Recovery::Finished : Recovery::Failed;
        } else {
            result = commit.undo() ? Recovery::Undone : Recovery::Failed;
        }
        found << commit.problems();
    }
    // A journal whose rename a crash prevented names the temporary files of a run that renamed
    // nothing yet. While a journal is unsettled its files are left for it.
    if (result != Recovery::Failed) {
        const QStringList names = QDir(root).entryList(QDir::Files | QDir::Hidden | QDir::System);
        for (const QString &name : names) {
            if (!journalTemporary(name))
                continue;
            Commit commit(root, false);
            bool undoing = false;
            if (commit.readJournal(root + "/" + name, &undoing)) {
                const bool all = commit.discardTemporaries();
                found << commit.problems();
                if (!all)
                    result = Recovery::Failed;
                else if (commit.removed() > 0 && result == Recovery::Nothing)
                    result = Recovery::Undone;
            }
            if (::unlink(native(root + "/" + name).constData()) != 0 && errno != ENOENT) {
                found << name + ": impossibile eliminarlo";
                result = Recovery::Failed;
            }
        }
    }
    found.removeDuplicates();
    if (problems)
        *problems = found;
    return result;
}

void setRenameHook(void (*hook)(int renamesDone))
{
    g_renameHook = hook;
}

void UzpVersion2(UZPVER *version)
{
    if (!version)
        return;
    UZPVER full;
    full.structlen = version->structlen;
    full.flag = 0;
    std::strncpy(full.betalevel, "", sizeof full.betalevel);
    std::strncpy(full.date, "2024", sizeof full.date - 1);
    const char *zv = zip_libzip_version();
    std::strncpy(full.zlib_version, zv ? zv : "", sizeof full.zlib_version - 1);
    full.unzip[0] = 6;
    full.windll[0] = 6;
    const size_t n = std::min<size_t>(version->structlen, sizeof(UZPVER));
    std::memcpy(version, &full, n);
}

int Wiz_SingleEntryUnzip(int ifnc, char **ifnv, int xfnc, char **xfnv, DCL *lpC, USERFUNCTIONS *lpUserFunc)
{
    if (!lpC)
        return PK_PARAM;
    if (lpUserFunc) {
        lpUserFunc->TotalSizeComp = lpUserFunc->TotalSize = lpUserFunc->CompFactor = lpUserFunc->NumMembers = 0;
        lpUserFunc->cchComment = 0;
    }
    try {
        Run run(*lpC, lpUserFunc);
        return run.execute(ifnc, ifnv, xfnc, xfnv);
    } catch (const std::bad_alloc &) {
        return PK_MEM;
    } catch (...) {
        return PK_BADERR;
    }
}

}  // namespace unzip
