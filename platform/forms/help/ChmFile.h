// Read-only access to a compiled help file: its stored files, its first page and its map of
// context ids to topics.
#pragma once

#include <QByteArray>
#include <QHash>
#include <QString>
#include <QStringList>

#include <optional>

struct chmFile;

namespace vb {
class Error;
}

namespace forms {

// One open help file. Not thread-safe: use it from one thread at a time.
// The error for a help file that is there but cannot serve as one: "Il file della Guida <path> è
// danneggiato o non è un file della Guida.", number 53.
vb::Error damagedHelpFile(const QString &path);

class ChmFile {
public:
    // Opens the file. Throws vb::Error 53 when the file is missing ("Il file della Guida <path> non
    // è stato trovato.") or is not a readable, sound help file (damagedHelpFile); its structure
    // is checked before it is read.
    explicit ChmFile(const QString &path);
    ~ChmFile();
    ChmFile(const ChmFile &) = delete;
    ChmFile &operator=(const ChmFile &) = delete;

    const QString &path() const { return m_path; }

    // Every stored file as an archive path starting with "/" ("/pagine/mappa.html"), sorted;
    // folders and the format's own objects are left out.
    QStringList files() const;
    // Whether a file is stored; letter case is ignored and a missing leading "/" is supplied.
    bool contains(const QString &objectPath) const;
    // The bytes of a stored file (empty for an empty file); nullopt when it is not stored or is
    // too large to be a help page.
    std::optional<QByteArray> read(const QString &objectPath) const;

    // The stored topic that a context id opens ("/pagine/mappa.html", an anchor kept as
    // "#name"); empty when the id is not mapped or its topic is not in the file.
    QString topicForContext(qint32 contextId) const;
    // The first page: the project's default topic, else the first stored HTML page; empty when
    // the file holds no page at all.
    QString defaultTopic() const;
    // The help file's title and its contents file ("/Helvora.hhc"); empty when not set.
    const QString &title() const { return m_title; }
    const QString &contentsFile() const { return m_contentsFile; }

    // The context map held in the raw "/#IVB" object (a byte length, then pairs of context id
    // and offset) and the "/#STRINGS" object it points into, as stored (unresolved) paths.
    // Pairs that lie past the data or point outside the strings are dropped.
    static QHash<qint32, QString> parseContextMap(const QByteArray &ivb, const QByteArray &strings);

private:
    // The stored file that a path written at compile time names. The compiler keeps the paths
    // it was given (absolute build paths), so ever shorter "/"-suffixes are tried.
    QString resolveStoredPath(const QString &stored) const;
    void readSystem();

    QString m_path;
    chmFile *m_handle = nullptr;
    QHash<qint32, QString> m_contextMap;
    QString m_defaultTopic;
    QString m_title;
    QString m_contentsFile;
};

}  // namespace forms
