// Windows-1252 text files and file lookup that ignores letter case.
#include "TextFile.h"

#include "DurableFile.h"
#include "Error.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStringDecoder>
#include <QStringEncoder>

namespace vb {

namespace {

// The code page's characters at 0x80..0x9F; 0 where the code page leaves the byte undefined.
constexpr char16_t high[32] = {
    0x20AC, 0, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0, 0x017D, 0,
    0, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0, 0x017E, 0x0178,
};

QString joinPath(const QString &folder, const QString &name)
{
    if (folder.isEmpty())
        return name;
    return folder.endsWith(u'/') ? folder + name : folder + u'/' + name;
}

const QByteArray utf8Mark("\xEF\xBB\xBF");

// The byte of the code page for `u`, or -1. Undefined bytes read as C1 controls go back unchanged.
int cp1252Byte(char16_t u)
{
    if (u < 0x80 || (u >= 0xA0 && u <= 0xFF))
        return u;
    for (int i = 0; i < 32; ++i) {
        if (high[i] == u || (high[i] == 0 && u == 0x80 + i))
            return 0x80 + i;
    }
    return -1;
}

QByteArray readBytes(const QString &path)
{
    const QString resolved = resolvePathNoCase(path);
    QFile file(resolved);
    const QFileInfo info(resolved);
    if (!info.isFile())
        throw Error::of(err::FileNotFound, resolved, resolved);
    if (info.size() > MaxTextBytes)
        throw Error::of(err::OutOfMemory, resolved, resolved,
                        QStringLiteral("%1 bytes in %2").arg(info.size()).arg(resolved));
    if (!file.open(QIODevice::ReadOnly))
        throw Error::of(err::PathFileAccess, resolved, resolved, file.errorString());
    QByteArray bytes = file.readAll();
    if (bytes.size() != info.size() && file.error() != QFileDevice::NoError)
        throw Error::of(err::PathFileAccess, resolved, resolved, file.errorString());
    return bytes;
}

void writeBytes(const QString &path, const QString &text, QIODevice::OpenMode mode)
{
    const QString resolved = resolvePathNoCase(path);
    const QFileInfo info(resolved);
    if (!info.absoluteDir().exists())
        throw Error::of(err::PathNotFound, resolved, info.absolutePath());
    QByteArray bytes;
    if (mode & QIODevice::Append) {
        QFile old(resolved);
        QByteArray head;
        if (old.open(QIODevice::ReadOnly))
            head = old.read(utf8Mark.size());
        if (head == utf8Mark) {
            bytes = text.toUtf8();
        } else if (head.size() < utf8Mark.size() && (!fitsCp1252(text) || (head + toCp1252(text)).startsWith(utf8Mark))) {
            // A file that holds less than the mark (read whole above) may still become UTF-8.
            bytes = encodeText(fromCp1252(head) + text);
            mode = QIODevice::WriteOnly | QIODevice::Truncate;
        } else {
            // What the file holds is never rewritten: characters the code page lacks become '?',
            // as a code-page text stream writes them.
            bytes = toCp1252(text);
        }
    } else {
        bytes = encodeText(text);
    }
    if (!(mode & QIODevice::Append)) {
        // A rewrite never truncates the old file before the new content is safely on disk.
        replaceFile(resolved, bytes);
        return;
    }
    QFile file(resolved);
    if (!file.open(mode) || file.write(bytes) != bytes.size() || !file.flush()) {
        const bool full = file.error() == QFileDevice::ResourceError;
        throw Error::of(full ? err::DiskFull : err::PathFileAccess, resolved, resolved, file.errorString());
    }
    file.close();
    if (file.error() != QFileDevice::NoError)
        throw Error::of(err::PathFileAccess, resolved, resolved, file.errorString());
}

}  // namespace

QString fromCp1252(const QByteArray &bytes)
{
    QStringDecoder decoder("windows-1252");
    if (decoder.isValid()) {
        QString text = decoder.decode(bytes);
        // Every byte is one character: a shorter result is a converter that gave up (on a very
        // long text it returns nothing and reports no error).
        if (!decoder.hasError() && text.size() == bytes.size())
            return text;
    }
    // Without the converter, or for the bytes it rejects: the table, undefined bytes kept as C1 controls.
    QString text(bytes.size(), Qt::Uninitialized);
    for (qsizetype i = 0; i < bytes.size(); ++i) {
        const uchar b = uchar(bytes[i]);
        const char16_t h = b >= 0x80 && b < 0xA0 ? high[b - 0x80] : 0;
        text[i] = QChar(h ? h : char16_t(b));
    }
    return text;
}

QByteArray toCp1252(const QString &text)
{
    QByteArray bytes;
    bytes.reserve(text.size());
    for (QChar c : text) {
        const int b = cp1252Byte(c.unicode());
        bytes += b < 0 ? '?' : char(b);
    }
    return bytes;
}

bool fitsCp1252(const QString &text)
{
    for (QChar c : text) {
        if (cp1252Byte(c.unicode()) < 0)
            return false;
    }
    return true;
}

QString decodeText(const QByteArray &bytes)
{
    if (bytes.startsWith(utf8Mark))
        return QString::fromUtf8(bytes.constData() + utf8Mark.size(), bytes.size() - utf8Mark.size());
    return fromCp1252(bytes);
}

QByteArray encodeText(const QString &text)
{
    if (fitsCp1252(text)) {
        // Code-page text that begins with "ï»¿" would read back as a marked UTF-8 file.
        QByteArray bytes = toCp1252(text);
        if (!bytes.startsWith(utf8Mark))
            return bytes;
    }
    return utf8Mark + text.toUtf8();
}

QString readAllText(const QString &path)
{
    return decodeText(readBytes(path));
}

QStringList readLines(const QString &path)
{
    const QString text = readAllText(path);
    QStringList lines;
    qsizetype start = 0;
    while (start < text.size()) {
        qsizetype end = text.indexOf(u'\n', start);
        if (end < 0) {
            lines << text.mid(start);
            break;
        }
        qsizetype lineEnd = end;
        if (lineEnd > start && text[lineEnd - 1] == u'\r')
            --lineEnd;
        lines << text.mid(start, lineEnd - start);
        start = end + 1;
    }
    return lines;
}

void writeText(const QString &path, const QString &text)
{
    writeBytes(path, text, QIODevice::WriteOnly | QIODevice::Truncate);
}

void appendText(const QString &path, const QString &text)
{
    writeBytes(path, text, QIODevice::WriteOnly | QIODevice::Append);
}

QString findFileNoCase(const QString &folder, const QString &name)
{
    if (name.isEmpty() || name.contains(u'/'))
        return QString();
    const QString exact = joinPath(folder, name);
    if (QFileInfo::exists(exact))
        return exact;
    QDir dir(folder.isEmpty() ? QStringLiteral(".") : folder);
    const QStringList entries =
        dir.entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot, QDir::Name);
    for (const QString &entry : entries) {
        if (entry.compare(name, Qt::CaseInsensitive) == 0)
            return joinPath(folder, entry);
    }
    return QString();
}

bool fileExistsNoCase(const QString &folder, const QString &name)
{
    return !findFileNoCase(folder, name).isEmpty();
}

QString resolvePathNoCase(const QString &path)
{
    if (path.isEmpty() || QFileInfo::exists(path))
        return path;
    const qsizetype slash = path.lastIndexOf(u'/');
    const QString folder = slash < 0 ? QString() : path.left(slash + 1);
    const QString found = findFileNoCase(folder, path.mid(slash + 1));
    return found.isEmpty() ? path : found;
}

}  // namespace vb
