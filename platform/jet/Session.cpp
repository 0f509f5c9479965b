// Opening and keying database files, links to other files, and engine error mapping.
#include "Session.h"

#include "ConnectString.h"
#include "EngineErrors.h"
#include "SqlQuote.h"
#include "KeyCache.h"
#include "SqlFunctions.h"
#include "Statement.h"

#include "vb/TextFile.h"

#define SQLITE_HAS_CODEC 1
#include <sqlite3.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <algorithm>
#include <mutex>

namespace jet {

namespace {

// The last statements translated without row ids: a translation depends on the text alone, and a
// window that runs its wide statement again (or on another connection) need not parse it again.
class RecentTranslations {
public:
    std::optional<Translation> find(const QString &jetSql)
    {
        const std::lock_guard lock(m_mutex);
        for (const auto &[text, translation] : m_entries)
            if (text == jetSql)
                return translation;
        return std::nullopt;
    }
    void keep(const QString &jetSql, const Translation &translation)
    {
        const std::lock_guard lock(m_mutex);
        if (m_entries.size() == Size)
            m_entries.erase(m_entries.begin());
        m_entries.emplace_back(jetSql, translation);
    }

private:
    static constexpr size_t Size = 8;
    std::mutex m_mutex;
    std::vector<std::pair<QString, Translation>> m_entries;
};

RecentTranslations &recentTranslations()
{
    static RecentTranslations recent;
    return recent;
}

const QByteArray plainHeader("SQLite format 3\0", 16);


// The file's first bytes: the plain header or the cipher's salt. Empty when unreadable.
QByteArray readHead(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return QByteArray();
    return file.read(KeyCache::SaltSize);
}

}  // namespace

const QString &Session::catalogueTable()
{
    static const QString name = QStringLiteral("MSysJetLinks");
    return name;
}

Session::Session(sqlite3 *db, const QString &path, bool readOnly)
    : m_db(db), m_path(path), m_readOnly(readOnly)
{
}

Session::~Session()
{
    sqlite3_close_v2(m_db);
}

std::shared_ptr<Session> Session::open(const QString &path, const QString &password, bool readOnly)
{
    const QString resolved = vb::resolvePathNoCase(path);
    const QFileInfo info(resolved);
    if (path.trimmed().isEmpty() || !info.isFile())
        raise(err::FileNotFound, QStringLiteral("Could not find file '%1'.").arg(path), path);
    const QByteArray head = readHead(resolved);
    if (head.size() < KeyCache::SaltSize)
        raise(err::UnknownFormat, QStringLiteral("Unrecognized database format '%1'.").arg(path), path);
    const bool plain = head == plainHeader;
    if (!plain && password.isEmpty())
        raise(err::BadPassword, QStringLiteral("Not a valid password for '%1'.").arg(path), path);

    sqlite3 *db = nullptr;
    const int flags = (readOnly ? SQLITE_OPEN_READONLY : SQLITE_OPEN_READWRITE) | SQLITE_OPEN_NOMUTEX;
    if (sqlite3_open_v2(QFile::encodeName(resolved).constData(), &db, flags, nullptr) != SQLITE_OK) {
        const QString message = QString::fromUtf8(sqlite3_errmsg(db));
        sqlite3_close_v2(db);
        raise(err::FileNotFound, QStringLiteral("Could not open file '%1': %2").arg(path, message), path);
    }
    std::shared_ptr<Session> session(new Session(db, resolved, readOnly));
    if (!plain) {
        const QByteArray key = KeyCache::rawKey(password, head);
        sqlite3_key(db, key.constData(), key.size());
    }
    // The cipher reports a wrong key only at the first read.
    if (sqlite3_exec(db, "SELECT count(*) FROM sqlite_master", nullptr, nullptr, nullptr) != SQLITE_OK) {
        if (plain)
            raise(err::UnknownFormat, QStringLiteral("Unrecognized database format '%1'.").arg(path), path);
        raise(err::BadPassword, QStringLiteral("Not a valid password, or not a database: '%1'.").arg(path), path);
    }
    session->setUp();
    session->loadLinks();
    return session;
}

std::shared_ptr<Session> Session::create(const QString &path, const QString &password)
{
    const QString resolved = vb::resolvePathNoCase(path);
    if (QFileInfo::exists(resolved))
        raise(err::DatabaseExists, QStringLiteral("Database '%1' already exists.").arg(path), path);
    if (!QFileInfo(resolved).absoluteDir().exists())
        raise(err::InvalidPath, QStringLiteral("'%1' is not a valid path.").arg(path), path);

    sqlite3 *db = nullptr;
    const int flags = SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE | SQLITE_OPEN_NOMUTEX;
    if (sqlite3_open_v2(QFile::encodeName(resolved).constData(), &db, flags, nullptr) != SQLITE_OK) {
        const QString message = QString::fromUtf8(sqlite3_errmsg(db));
        sqlite3_close_v2(db);
        raise(err::InvalidPath, QStringLiteral("Could not create '%1': %2").arg(path, message), path);
    }
    std::shared_ptr<Session> session(new Session(db, resolved, false));
    if (!password.isEmpty()) {
        // The passphrase keeps the file in the cipher's standard format.
        const QByteArray pass = password.toUtf8();
        sqlite3_key(db, pass.constData(), pass.size());
    }
    session->setUp();
    // Writing the catalogue makes the file (and its salt) exist at once.
    session->exec(QStringLiteral("CREATE TABLE %1 (Name TEXT(255) COLLATE NOCASE PRIMARY KEY, "
                                 "Connect TEXT COLLATE NOCASE, SourceTable TEXT COLLATE NOCASE)")
                      .arg(catalogueTable()));
    return session;
}

void Session::setUp()
{
    sqlite3_busy_timeout(m_db, 5000);
    registerSqlFunctions(m_db, this);
}

const FormatPattern &Session::formatPattern(const char *utf8, int size)
{
    const QByteArrayView key(utf8, size);
    for (const auto &[text, pattern] : m_formatPatterns)
        if (text == key)
            return *pattern;
    auto pattern = std::make_unique<FormatPattern>(QString::fromUtf8(key));
    m_formatPatterns.emplace_back(key.toByteArray(), std::move(pattern));
    return *m_formatPatterns.back().second;
}

void Session::exec(const QString &sql)
{
    // One statement only, through the same checks as any other: a text that smuggles in a second
    // statement is refused, not run.
    Statement statement(*this, sql);
    while (statement.step()) {
    }
}

Translation Session::translate(const QString &jetSql, bool withRowid) const
{
    if (!withRowid) {
        if (auto known = recentTranslations().find(jetSql))
            return *std::move(known);
        Translation t = jet::translate(jetSql);
        recentTranslations().keep(jetSql, t);
        return t;
    }
    TranslateOptions options;
    options.withRowid = true;
    options.tableSource = [this](const QString &name) {
        const_cast<Session *>(this)->exposeLink(name);
        const auto it = m_links.constFind(name.toLower());
        if (it == m_links.constEnd() || it->schema.isEmpty())
            return QString();
        return quoteName(it->schema) + u'.' + quoteName(it->sourceTable);
    };
    return jet::translate(jetSql, options);
}

int Session::execute(const QString &jetSql)
{
    const Translation t = translate(jetSql);
    // Dropping a link removes the link, as it would in the original engine.
    if (t.kind == StatementKind::DropTable && link(t.table)) {
        deleteLink(t.table);
        return 0;
    }
    Statement statement(*this, t.sql);
    while (statement.step()) {
    }
    // The engine keeps the count of the last action statement across DDL.
    const bool action = t.kind == StatementKind::Insert || t.kind == StatementKind::Update ||
                        t.kind == StatementKind::Delete;
    return action ? sqlite3_changes(m_db) : 0;
}

void Session::fail(int rc)
{
    if (m_functionError) {
        const vb::Error error = *m_functionError;
        m_functionError.reset();
        throw error;
    }
    QString message = QString::fromUtf8(sqlite3_errmsg(m_db));
    if (message.isEmpty())
        message = QString::fromUtf8(sqlite3_errstr(rc));
    throw vb::Error(vb::err::EngineRefused, refusalDescription(rc, message), errorSource(), message);
}

QString refusalDescription(int code, const QString &message)
{
    // The engine names what is missing after a colon: "no such table: Settore".
    const auto named = [&](const char *prefix) {
        const QString p = QString::fromLatin1(prefix);
        return message.startsWith(p) ? message.mid(p.size()).trimmed() : QString();
    };
    if (const QString table = named("no such table:"); !table.isEmpty())
        return vb::Error::standardDescription(3078, table);
    if (const QString column = named("no such column:"); !column.isEmpty())
        return vb::Error::standardDescription(3070, column);
    switch (code & 0xFF) {
    case SQLITE_FULL: return vb::Error::standardDescription(vb::err::DiskFull);
    case SQLITE_READONLY: return vb::Error::standardDescription(err::ReadOnly);
    case SQLITE_BUSY:
    case SQLITE_LOCKED: return vb::Error::standardDescription(3045);
    case SQLITE_IOERR: return vb::Error::standardDescription(3043);
    case SQLITE_CORRUPT:
    case SQLITE_NOTADB: return vb::Error::standardDescription(err::UnknownFormat);
    case SQLITE_NOMEM: return vb::Error::standardDescription(vb::err::OutOfMemory);
    default: break;
    }
    if (message.contains(QLatin1String("syntax error")))
        return vb::Error::standardDescription(err::SyntaxError);
    return vb::Error::standardDescription(vb::err::EngineRefused);
}

QStringList Session::localTables() const
{
    QStringList names;
    Statement st(const_cast<Session &>(*this),
                 QStringLiteral("SELECT name FROM sqlite_master WHERE type = 'table' "
                                "AND name NOT LIKE 'sqlite\\_%' ESCAPE '\\' AND name <> '%1' "
                                "ORDER BY name COLLATE NOCASE")
                     .arg(catalogueTable()));
    while (st.step())
        names << st.value(0, FieldType::Text).rawString();
    return names;
}

QStringList Session::views() const
{
    QStringList names;
    Statement st(const_cast<Session &>(*this),
                 QStringLiteral("SELECT name FROM sqlite_master WHERE type = 'view' "
                                "ORDER BY name COLLATE NOCASE"));
    while (st.step())
        names << st.value(0, FieldType::Text).rawString();
    return names;
}

void Session::loadLinks()
{
    m_links.clear();
    m_unexposed.clear();
    {
        Statement exists(*this, QStringLiteral("SELECT 1 FROM sqlite_master WHERE type = 'table' "
                                               "AND name = '%1'").arg(catalogueTable()));
        if (!exists.step())
            return;
    }
    QVector<Link> found;
    {
        Statement st(*this, QStringLiteral("SELECT Name, Connect, SourceTable FROM %1")
                                .arg(catalogueTable()));
        while (st.step()) {
            Link l;
            l.name = st.value(0, FieldType::Text).rawString();
            l.connect = st.value(1, FieldType::Text).rawString();
            l.sourceTable = st.value(2, FieldType::Text).rawString();
            found << l;
        }
    }
    // A link is attached when a statement first names it: opening a file to read its catalogue,
    // or a statement on its own tables, keys no other file.
    for (const Link &l : found) {
        m_links.insert(l.name.toLower(), l);
        m_unexposed.insert(l.name.toLower());
    }
}

void Session::exposeLink(const QString &name)
{
    const QString key = name.toLower();
    if (!m_unexposed.remove(key))
        return;
    Link &l = m_links[key];
    // A link whose source cannot be reached stays recorded; reading it fails as a missing table.
    QString problem;
    qint32 number = 0;
    l.schema = attach(l.connect, &problem, &number);
    if (!l.schema.isEmpty()) {
        try {
            expose(l);
        } catch (const vb::Error &) {
            l.schema.clear();
        }
    }
}

namespace {
// The text names `name` as a whole word (both in lower case).
bool namesWord(QStringView text, QStringView name)
{
    const auto wordChar = [](QChar c) { return c.isLetterOrNumber() || c == u'_'; };
    for (qsizetype at = text.indexOf(name); at >= 0; at = text.indexOf(name, at + 1)) {
        const qsizetype end = at + name.size();
        if ((at == 0 || !wordChar(text[at - 1])) && (end == text.size() || !wordChar(text[end])))
            return true;
    }
    return false;
}
}  // namespace

void Session::exposeNamedLinks(const QString &sql)
{
    if (m_unexposed.isEmpty())
        return;
    // A transaction cannot attach a file: every link is made ready before one begins.
    const QString head = sql.trimmed().left(9).toUpper();
    const bool opensTransaction = head.startsWith(QLatin1String("BEGIN")) || head.startsWith(QLatin1String("SAVEPOINT"));
    const QStringList names(m_unexposed.cbegin(), m_unexposed.cend());  // lower case
    const QString lower = opensTransaction ? QString() : sql.toLower();  // one fold, not one per name
    for (const QString &name : names)
        if (opensTransaction || namesWord(lower, name))
            exposeLink(name);
}

QString Session::attach(const QString &connect, QString *problem, qint32 *number)
{
    const ConnectInfo info = parseConnectString(connect);
    const QString resolved = vb::resolvePathNoCase(info.path);
    if (info.path.isEmpty() || !QFileInfo(resolved).isFile()) {
        *number = err::FileNotFound;
        *problem = QStringLiteral("Could not find file '%1'.").arg(info.path);
        return QString();
    }
    // One attachment per file and password: a wrong password must not ride on a right one.
    const QString canonical = QFileInfo(resolved).canonicalFilePath() + u'\n' + info.password;
    const auto known = m_schemas.constFind(canonical);
    if (known != m_schemas.constEnd())
        return known.value();

    const QByteArray head = readHead(resolved);
    if (head.size() < KeyCache::SaltSize) {
        *number = err::UnknownFormat;
        *problem = QStringLiteral("Unrecognized database format '%1'.").arg(info.path);
        return QString();
    }
    QByteArray key;  // empty attaches a plain file
    if (head != plainHeader) {
        if (info.password.isEmpty()) {
            *number = err::BadPassword;
            *problem = QStringLiteral("Not a valid password for '%1'.").arg(info.path);
            return QString();
        }
        key = KeyCache::rawKey(info.password, head);
    }
    const QString schema = QStringLiteral("jetsrc%1").arg(m_nextSchema++);
    try {
        Statement st(*this, QStringLiteral("ATTACH DATABASE ?1 AS %1 KEY ?2").arg(schema));
        st.bind(1, vb::Variant(resolved));
        st.bind(2, vb::Variant(QString::fromLatin1(key)));
        st.step();
    } catch (const vb::Error &e) {
        const bool unreadable = sqlite3_errcode(m_db) == SQLITE_NOTADB;
        *number = unreadable ? (key.isEmpty() ? err::UnknownFormat : err::BadPassword) : e.number();
        *problem = unreadable ? QStringLiteral("Not a valid password, or not a database: '%1'.").arg(info.path)
                              : e.description();
        return QString();
    }
    if (sqlite3_exec(m_db, QStringLiteral("SELECT count(*) FROM %1.sqlite_master").arg(schema).toUtf8().constData(),
                     nullptr, nullptr, nullptr) != SQLITE_OK) {
        sqlite3_exec(m_db, QStringLiteral("DETACH DATABASE %1").arg(schema).toUtf8().constData(),
                     nullptr, nullptr, nullptr);
        *number = err::BadPassword;
        *problem = QStringLiteral("Not a valid password, or not a database: '%1'.").arg(info.path);
        return QString();
    }
    m_schemas.insert(canonical, schema);
    return schema;
}

void Session::expose(const Link &l)
{
    Statement st(*this, QStringLiteral("SELECT name FROM %1.sqlite_master WHERE type IN ('table', 'view') "
                                       "AND name = ?1 COLLATE NOCASE").arg(l.schema));
    st.bind(1, vb::Variant(l.sourceTable));
    if (!st.step())
        raise(err::ObjectNotFound, QStringLiteral("Could not find the object '%1'.").arg(l.sourceTable), l.sourceTable);
    exec(QStringLiteral("DROP VIEW IF EXISTS temp.%1").arg(quoteName(l.name)));
    exec(QStringLiteral("CREATE TEMP VIEW %1 AS SELECT * FROM %2.%3")
             .arg(quoteName(l.name), l.schema, quoteName(l.sourceTable)));
}

QVector<Session::Link> Session::links() const
{
    QVector<Link> list = m_links.values().toVector();
    std::sort(list.begin(), list.end(), [](const Link &a, const Link &b) {
        return a.name.compare(b.name, Qt::CaseInsensitive) < 0;
    });
    return list;
}

std::optional<Session::Link> Session::link(const QString &name) const
{
    const auto it = m_links.constFind(name.toLower());
    if (it == m_links.constEnd())
        return std::nullopt;
    return it.value();
}

void Session::appendLink(const QString &name, const QString &connect, const QString &sourceTable)
{
    if (m_readOnly)
        raise(err::ReadOnly, QStringLiteral("The database is read-only."));
    if (link(name) || localTables().contains(name, Qt::CaseInsensitive))
        raise(err::TableExists, QStringLiteral("Table '%1' already exists.").arg(name), name);
    Link l;
    l.name = name;
    l.connect = connect;
    l.sourceTable = sourceTable.isEmpty() ? name : sourceTable;
    QString problem;
    qint32 number = 0;
    l.schema = attach(connect, &problem, &number);
    if (l.schema.isEmpty())
        raise(number, problem, parseConnectString(connect).path);
    try {
        expose(l);
    } catch (const vb::Error &) {
        releaseSchema(l.schema);
        throw;
    }
    exec(QStringLiteral("CREATE TABLE IF NOT EXISTS %1 (Name TEXT(255) COLLATE NOCASE PRIMARY KEY, "
                        "Connect TEXT COLLATE NOCASE, SourceTable TEXT COLLATE NOCASE)")
             .arg(catalogueTable()));
    Statement st(*this, QStringLiteral("INSERT INTO %1 (Name, Connect, SourceTable) VALUES (?1, ?2, ?3)")
                            .arg(catalogueTable()));
    st.bind(1, vb::Variant(l.name));
    st.bind(2, vb::Variant(l.connect));
    st.bind(3, vb::Variant(l.sourceTable));
    st.step();
    m_links.insert(l.name.toLower(), l);
}

void Session::releaseSchema(const QString &schema)
{
    // A source no link reads is detached: the engine attaches only ten files at once.
    if (schema.isEmpty())
        return;
    for (const Link &other : std::as_const(m_links))
        if (other.schema == schema)
            return;
    exec(QStringLiteral("DETACH DATABASE %1").arg(schema));
    for (auto it = m_schemas.begin(); it != m_schemas.end(); ++it) {
        if (it.value() == schema) {
            m_schemas.erase(it);
            break;
        }
    }
}

void Session::deleteLink(const QString &name)
{
    const auto found = link(name);
    if (!found)
        raise(vb::err::ItemNotFound, QStringLiteral("Item '%1' not found in this collection.").arg(name), name);
    if (m_readOnly)
        raise(err::ReadOnly, QStringLiteral("The database is read-only."));
    Statement st(*this, QStringLiteral("DELETE FROM %1 WHERE Name = ?1").arg(catalogueTable()));
    st.bind(1, vb::Variant(found->name));
    st.step();
    exec(QStringLiteral("DROP VIEW IF EXISTS temp.%1").arg(quoteName(found->name)));
    m_links.remove(name.toLower());
    m_unexposed.remove(name.toLower());
    releaseSchema(found->schema);
}

}  // namespace jet
