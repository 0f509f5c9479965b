// The DAO-like access path: table definitions, links, saved queries and transactions.
#include "Database.h"

#include "ConnectString.h"
#include "EngineErrors.h"
#include "FieldTypes.h"
#include "Session.h"
#include "SqlQuote.h"
#include "Statement.h"

#include <algorithm>

namespace jet {

namespace {

constexpr int MaxFields = 255;
constexpr qint32 NoFields = 3264;

// Fields of a table as the engine declares them; `schema` empty for the main file.
QVector<Field> fieldsOf(Session &session, const QString &schema, const QString &table)
{
    QVector<Field> fields;
    const QString prefix = schema.isEmpty() ? QString() : quoteName(schema) + u'.';
    Statement st(session, QStringLiteral("PRAGMA %1table_info(%2)").arg(prefix, quoteName(table)));
    while (st.step()) {
        Field f;
        f.name = st.value(1, FieldType::Text).rawString();
        const QString declared = st.value(2, FieldType::Text).rawString();
        f.type = fieldTypeOf(declared).value_or(FieldType::Text);
        f.size = declaredSize(declared);
        if (f.type == FieldType::Text && f.size == 0)
            f.size = 255;
        fields << f;
    }
    return fields;
}

}  // namespace

Database::Database() = default;
Database::~Database() = default;
Database::Database(Database &&) noexcept = default;
Database &Database::operator=(Database &&) noexcept = default;

Database Database::open(const QString &path, bool, bool readOnly, const QString &connect)
{
    Database db;
    db.m_session = Session::open(path, parseConnectString(connect).password, readOnly);
    return db;
}

Database Database::create(const QString &path, const QString &password)
{
    Database db;
    db.m_session = Session::create(path, password);
    return db;
}

void Database::close()
{
    m_session.reset();
}

bool Database::isOpen() const
{
    return m_session != nullptr;
}

QString Database::path() const
{
    return m_session ? m_session->path() : QString();
}

namespace {
Session &check(const std::shared_ptr<Session> &session)
{
    if (!session)
        raise(err::ObjectClosed, QStringLiteral("Operation is not allowed when the object is closed."));
    return *session;
}
}  // namespace

QVector<TableDef> Database::tableDefs() const
{
    Session &s = check(m_session);
    QVector<TableDef> defs;
    for (const QString &name : s.localTables()) {
        TableDef td;
        td.name = name;
        td.fields = fieldsOf(s, QString(), name);
        defs << td;
    }
    for (Session::Link l : s.links()) {
        s.exposeLink(l.name);
        l = *s.link(l.name);
        TableDef td;
        td.name = l.name;
        td.connect = l.connect;
        td.sourceTableName = l.sourceTable;
        if (!l.schema.isEmpty())
            td.fields = fieldsOf(s, l.schema, l.sourceTable);
        defs << td;
    }
    std::sort(defs.begin(), defs.end(), [](const TableDef &a, const TableDef &b) {
        return a.name.compare(b.name, Qt::CaseInsensitive) < 0;
    });
    return defs;
}

std::optional<QString> Database::linkConnect(const QString &name) const
{
    if (const std::optional<Session::Link> l = check(m_session).link(name))
        return l->connect;
    return std::nullopt;
}

std::optional<TableDef> Database::tableDef(const QString &name) const
{
    // One link or table: its catalogue row and its own fields, not every table with its fields.
    Session &s = check(m_session);
    if (s.link(name))
        s.exposeLink(name);
    if (const std::optional<Session::Link> l = s.link(name)) {
        TableDef td;
        td.name = l->name;
        td.connect = l->connect;
        td.sourceTableName = l->sourceTable;
        if (!l->schema.isEmpty())
            td.fields = fieldsOf(s, l->schema, l->sourceTable);
        return td;
    }
    for (const QString &local : s.localTables()) {
        if (local.compare(name, Qt::CaseInsensitive) == 0) {
            TableDef td;
            td.name = local;
            td.fields = fieldsOf(s, QString(), local);
            return td;
        }
    }
    return std::nullopt;
}

void Database::appendTableDef(const TableDef &td)
{
    Session &s = check(m_session);
    if (td.name.trimmed().isEmpty())
        raise(vb::err::EngineRefused, QStringLiteral("The table definition has no name."));
    if (td.isLink()) {
        s.appendLink(td.name, td.connect, td.sourceTableName);
        return;
    }
    if (s.link(td.name) || s.localTables().contains(td.name, Qt::CaseInsensitive))
        raise(err::TableExists, QStringLiteral("Table '%1' already exists.").arg(td.name), td.name);
    if (td.fields.isEmpty())
        raise(NoFields, QStringLiteral("No field defined--cannot append table '%1'.").arg(td.name), td.name);
    if (td.fields.size() > MaxFields)
        refuse(err::TooManyFields, QStringLiteral("Too many fields defined."));
    QStringList columns;
    for (const Field &f : td.fields)
        columns << quoteName(f.name) + u' ' + declaredType(f);
    s.exec(QStringLiteral("CREATE TABLE %1 (%2)").arg(quoteName(td.name), columns.join(u", ")));
}

void Database::deleteTableDef(const QString &name)
{
    Session &s = check(m_session);
    if (s.link(name)) {
        s.deleteLink(name);
        return;
    }
    if (!s.localTables().contains(name, Qt::CaseInsensitive))
        raise(vb::err::ItemNotFound, QStringLiteral("Item '%1' not found in this collection.").arg(name), name);
    s.exec(QStringLiteral("DROP TABLE %1").arg(quoteName(name)));
}

QStringList Database::queryDefNames() const
{
    return check(m_session).views();
}

void Database::createQueryDef(const QString &name, const QString &sql)
{
    Session &s = check(m_session);
    if (s.views().contains(name, Qt::CaseInsensitive))
        raise(err::ObjectExists, QStringLiteral("Object '%1' already exists.").arg(name), name);
    const Translation t = s.translate(sql);
    if (t.kind != StatementKind::Select)
        raise(vb::err::EngineRefused, QStringLiteral("A saved query must be a SELECT."));
    s.exec(QStringLiteral("CREATE VIEW %1 AS %2").arg(quoteName(name), t.sql));
}

void Database::deleteQueryDef(const QString &name)
{
    Session &s = check(m_session);
    if (!s.views().contains(name, Qt::CaseInsensitive))
        raise(vb::err::ItemNotFound, QStringLiteral("Item '%1' not found in this collection.").arg(name), name);
    s.exec(QStringLiteral("DROP VIEW %1").arg(quoteName(name)));
}

int Database::execute(const QString &sql)
{
    return check(m_session).execute(sql);
}

Recordset Database::openRecordset(const QString &sqlOrTable, bool readOnly)
{
    Recordset rs;
    rs.open(sqlOrTable, m_session, CursorType::Keyset, readOnly ? LockType::ReadOnly : LockType::Optimistic);
    return rs;
}

void Database::beginTrans()
{
    check(m_session).exec(QStringLiteral("BEGIN"));
}

void Database::commitTrans()
{
    check(m_session).exec(QStringLiteral("COMMIT"));
}

void Database::rollback()
{
    check(m_session).exec(QStringLiteral("ROLLBACK"));
}

std::shared_ptr<Session> Database::session() const
{
    return m_session;
}

}  // namespace jet
