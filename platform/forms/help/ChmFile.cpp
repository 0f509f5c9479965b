// Compiled help file over chmlib: listing, reading, the "/#SYSTEM" header and the context map.
#include "forms/help/ChmFile.h"

#include "forms/help/ChmCheck.h"

#include "vb/Error.h"

#include <QFile>
#include <QFileInfo>
#include <QtEndian>

#include <chm_lib.h>

namespace forms {

namespace {

// Help pages are small; a larger length can only come from a damaged file.
constexpr qint64 MaxObjectSize = 64 * 1024 * 1024;
constexpr qint64 MaxFileSize = 256 * 1024 * 1024;

// Records of "/#SYSTEM" that we use.
constexpr quint16 SystemContentsFile = 0;
constexpr quint16 SystemDefaultTopic = 2;
constexpr quint16 SystemTitle = 3;

QString normalizedPath(const QString &objectPath)
{
    QString p = objectPath;
    p.replace(QLatin1Char('\\'), QLatin1Char('/'));
    if (!p.startsWith(QLatin1Char('/')))
        p.prepend(QLatin1Char('/'));
    return p;
}

// A NUL-terminated text starting at offset, or the rest of the data when it has no NUL.
QString textAt(const QByteArray &data, qsizetype offset)
{
    const qsizetype end = data.indexOf('\0', offset);
    const QByteArray bytes = data.mid(offset, end < 0 ? -1 : end - offset);
    return QString::fromUtf8(bytes);
}

quint32 u32At(const QByteArray &data, qsizetype offset)
{
    return qFromLittleEndian<quint32>(data.constData() + offset);
}

quint16 u16At(const QByteArray &data, qsizetype offset)
{
    return qFromLittleEndian<quint16>(data.constData() + offset);
}

int collectFile(chmFile *, chmUnitInfo *ui, void *context)
{
    const QString path = QString::fromUtf8(ui->path);
    if (!path.endsWith(QLatin1Char('/')))
        static_cast<QStringList *>(context)->append(path);
    return CHM_ENUMERATOR_CONTINUE;
}

// Looks a stored file up; chmlib ignores letter case.
bool resolve(chmFile *handle, const QString &objectPath, chmUnitInfo *ui)
{
    const QByteArray name = normalizedPath(objectPath).toUtf8();
    return name.size() <= CHM_MAX_PATHLEN && !name.endsWith('/')
           && chm_resolve_object(handle, name.constData(), ui) == CHM_RESOLVE_SUCCESS;
}

bool isHtml(const QString &path)
{
    return path.endsWith(QLatin1String(".html"), Qt::CaseInsensitive)
           || path.endsWith(QLatin1String(".htm"), Qt::CaseInsensitive);
}

}  // namespace

vb::Error damagedHelpFile(const QString &path)
{
    return vb::Error(vb::err::FileNotFound,
                     QStringLiteral("Il file della Guida %1 è danneggiato o non è un file della Guida.").arg(path),
                     QString(), QStringLiteral("Damaged or unreadable help file: ") + path);
}

ChmFile::ChmFile(const QString &path) : m_path(path)
{
    // chmlib trusts every offset and link it reads: only a file of sound structure reaches it,
    // and a folder must not pass for a file.
    if (QFileInfo(path).isFile() && QFileInfo(path).size() <= MaxFileSize) {
        QFile file(path);
        if (file.open(QIODevice::ReadOnly) && chmStructureSound(file.readAll()))
            m_handle = chm_open(QFile::encodeName(path).constData());
    }
    if (!m_handle) {
        if (!QFileInfo(path).isFile())
            throw vb::Error(vb::err::FileNotFound, QStringLiteral("Il file della Guida %1 non è stato trovato.").arg(path),
                            QString(), QStringLiteral("File not found: ") + path);
        throw damagedHelpFile(path);
    }

    readSystem();
    m_contextMap = parseContextMap(read(QStringLiteral("/#IVB")).value_or(QByteArray()),
                                   read(QStringLiteral("/#STRINGS")).value_or(QByteArray()));
}

ChmFile::~ChmFile()
{
    chm_close(m_handle);
}

QStringList ChmFile::files() const
{
    QStringList result;
    chm_enumerate(m_handle, CHM_ENUMERATE_NORMAL | CHM_ENUMERATE_FILES, collectFile, &result);
    result.sort();
    return result;
}

bool ChmFile::contains(const QString &objectPath) const
{
    chmUnitInfo ui;
    return resolve(m_handle, objectPath, &ui);
}

std::optional<QByteArray> ChmFile::read(const QString &objectPath) const
{
    chmUnitInfo ui;
    if (!resolve(m_handle, objectPath, &ui) || ui.length > static_cast<LONGUINT64>(MaxObjectSize))
        return std::nullopt;

    QByteArray data(static_cast<qsizetype>(ui.length), Qt::Uninitialized);
    qint64 done = 0;
    while (done < data.size()) {
        const LONGINT64 got =
            chm_retrieve_object(m_handle, &ui, reinterpret_cast<unsigned char *>(data.data()) + done,
                                static_cast<LONGUINT64>(done), data.size() - done);
        if (got <= 0)
            return std::nullopt;
        done += got;
    }
    return data;
}

QString ChmFile::topicForContext(qint32 contextId) const
{
    const auto it = m_contextMap.constFind(contextId);
    return it == m_contextMap.constEnd() ? QString() : resolveStoredPath(*it);
}

QString ChmFile::defaultTopic() const
{
    if (!m_defaultTopic.isEmpty())
        return m_defaultTopic;
    for (const QString &f : files()) {
        if (isHtml(f))
            return f;
    }
    return QString();
}

QHash<qint32, QString> ChmFile::parseContextMap(const QByteArray &ivb, const QByteArray &strings)
{
    QHash<qint32, QString> map;
    if (ivb.size() < 4)
        return map;
    // The declared length may not exceed what is really there.
    const qsizetype declared = u32At(ivb, 0);
    const qsizetype available = std::min<qsizetype>(declared, ivb.size() - 4);
    for (qsizetype pos = 4; pos + 8 <= 4 + available; pos += 8) {
        const qint32 id = static_cast<qint32>(u32At(ivb, pos));
        const quint32 offset = u32At(ivb, pos + 4);
        if (offset >= static_cast<quint32>(strings.size()))
            continue;
        const QString topic = textAt(strings, offset);
        if (!topic.isEmpty() && !map.contains(id))
            map.insert(id, topic);
    }
    return map;
}

QString ChmFile::resolveStoredPath(const QString &stored) const
{
    QString path = stored;
    QString anchor;
    const qsizetype hash = path.indexOf(QLatin1Char('#'));
    if (hash >= 0) {
        anchor = path.mid(hash);
        path.truncate(hash);
    }
    path = normalizedPath(path);
    // Longest suffix first, so that "/pagine/a.html" wins over a top-level "/a.html".
    for (qsizetype slash = 0; slash >= 0 && slash < path.size() - 1;
         slash = path.indexOf(QLatin1Char('/'), slash + 1)) {
        chmUnitInfo ui;
        // The stored spelling, so that relative links resolve against the real path.
        if (resolve(m_handle, path.mid(slash), &ui))
            return QString::fromUtf8(ui.path) + anchor;
    }
    return QString();
}

void ChmFile::readSystem()
{
    const QByteArray sys = read(QStringLiteral("/#SYSTEM")).value_or(QByteArray());
    // A version, then records of a code, a length and that many bytes.
    for (qsizetype pos = 4; pos + 4 <= sys.size();) {
        const quint16 code = u16At(sys, pos);
        const qsizetype length = u16At(sys, pos + 2);
        pos += 4;
        if (pos + length > sys.size())
            break;
        const QByteArray data = sys.mid(pos, length);
        pos += length;
        switch (code) {
        case SystemContentsFile:
            m_contentsFile = resolveStoredPath(textAt(data, 0));
            break;
        case SystemDefaultTopic:
            m_defaultTopic = resolveStoredPath(textAt(data, 0));
            break;
        case SystemTitle:
            m_title = textAt(data, 0);
            break;
        default:
            break;
        }
    }
}

}  // namespace forms
