// The open engine handle of one database file, shared by a connection or database and its sets.
#pragma once

#include "FormatPattern.h"
#include "JetSql.h"

#include "vb/Error.h"

#include <QHash>
#include <QSet>
#include <QString>
#include <QVector>
#include <memory>
#include <optional>
#include <vector>

struct sqlite3;

namespace jet {

// One open database file. Opening keys the file with the raw key cached for its password and
// salt, checks that the key reads it, registers the Jet SQL functions and exposes every link of
// the file's catalogue under its own name. Errors throw vb::Error.
class Session {
public:
    struct Link {
        QString name;
        QString connect;      // the attached-table connect string as recorded
        QString sourceTable;
        QString schema;       // the attached source's schema; empty when it could not be attached
    };

    // A missing file is error 3024, a wrong password 3031, a file that is not a database 3343.
    static std::shared_ptr<Session> open(const QString &path, const QString &password, bool readOnly);
    // A new file; an existing one is error 3204, a missing folder 3044.
    static std::shared_ptr<Session> create(const QString &path, const QString &password);
    ~Session();
    Session(const Session &) = delete;
    Session &operator=(const Session &) = delete;

    sqlite3 *handle() const { return m_db; }
    const QString &path() const { return m_path; }
    bool readOnly() const { return m_readOnly; }

    // Runs one statement of engine SQL (no translation); a second statement in the text is refused
    // (&H80004005). Throws on failure.
    void exec(const QString &sql);
    // Translates and runs an action statement in the Jet dialect; returns the rows affected.
    int execute(const QString &jetSql);
    // Translation with this session's links as table sources for updatable sets.
    Translation translate(const QString &jetSql, bool withRowid = false) const;

    // Raises the error behind a failed engine call: the one a function recorded, if any,
    // else the engine's message as &H80004005.
    [[noreturn]] void fail(int rc);
    void setFunctionError(const vb::Error &error) { m_functionError = error; }
    void clearFunctionError() { m_functionError.reset(); }
    // The Format pattern of that UTF-8 text, read once per statement: preparing a statement
    // forgets the patterns of the one before (the user's locale may have changed meanwhile).
    const FormatPattern &formatPattern(const char *utf8, int size);
    void forgetFormatPatterns() { m_formatPatterns.clear(); }

    // Links recorded in the file's catalogue, in name order. A link is attached (and gets its
    // schema) when a statement names it, or through exposeLink.
    QVector<Link> links() const;
    void exposeLink(const QString &name);  // name ignores letter case; an exposed one stays as it is
    // Before preparing `sql`: exposes the links it names, or all of them when it opens a transaction.
    void exposeNamedLinks(const QString &sql);
    std::optional<Link> link(const QString &name) const;  // name ignores letter case
    // Records and exposes a link. A missing source file is 3024, a missing source table 3011,
    // a name in use 3010.
    void appendLink(const QString &name, const QString &connect, const QString &sourceTable);
    void deleteLink(const QString &name);

    // Names of local tables (no engine or catalogue tables) and of saved queries.
    QStringList localTables() const;
    QStringList views() const;

    static const QString &catalogueTable();

private:
    Session(sqlite3 *db, const QString &path, bool readOnly);
    void setUp();
    void loadLinks();
    // Attaches the source file once per session; returns its schema or empty on failure.
    QString attach(const QString &connect, QString *problem, qint32 *number);
    void expose(const Link &link);
    void releaseSchema(const QString &schema);

    sqlite3 *m_db = nullptr;
    QString m_path;
    bool m_readOnly = false;
    std::optional<vb::Error> m_functionError;
    QHash<QString, QString> m_schemas;  // source path and password -> attached schema
    QHash<QString, Link> m_links;       // lower-case name -> link
    QSet<QString> m_unexposed;          // lower-case names of links not attached yet
    int m_nextSchema = 1;
    // A statement holds one pattern or a few: a short list beats a hash on a four-byte key.
    std::vector<std::pair<QByteArray, std::unique_ptr<FormatPattern>>> m_formatPatterns;
};

}  // namespace jet
