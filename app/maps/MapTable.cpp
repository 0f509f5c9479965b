// The map table of the user database: its definition, its rows in one transaction, its removal.
#include "MapTable.h"

#include "jet/Session.h"
#include "jet/Statement.h"
#include "vb/Conversions.h"
#include "vb/Error.h"

namespace pendra {

namespace {

QString quoted(const QString &name)
{
    return QLatin1Char('"') + QString(name).replace(QLatin1Char('"'), QStringLiteral("\"\"")) + QLatin1Char('"');
}

// Looks up that one table rather than every table with its fields.
bool dropIfPresent(jet::Database &db)
{
    const std::optional<jet::TableDef> td = db.tableDef(MapTable::MapTableName);
    if (!td || td->name != MapTable::MapTableName)
        return false;
    db.deleteTableDef(td->name);
    return true;
}

}  // namespace

MapTable::MapTable(const QString &filesPath, const QString &daoConnect)
    : m_path(filesPath + QStringLiteral("qxt_utente.mdb")), m_connect(daoConnect)
{
}

jet::Database MapTable::OpenUserDb() const
{
    return jet::Database::open(m_path, false, false, m_connect);
}

jet::Database &MapTable::UserDb() const
{
    if (!m_db.isOpen())
        m_db = OpenUserDb();
    return m_db;
}

jet::Database &MapTable::writeDb() const
{
    jet::Database &db = UserDb();
    if (m_batch == BatchState::Pending) {
        db.beginTrans();
        m_batch = BatchState::Open;
    }
    return db;
}

MapTable::Batch::Batch(const MapTable &table) : m_table(table)
{
    m_table.m_batch = BatchState::Pending;
}

MapTable::Batch::~Batch()
{
    // Left by a failure: what the calls did before it is kept, as it would have been call by call.
    if (m_table.m_batch == BatchState::Open) {
        try {
            m_table.m_db.commitTrans();
        } catch (...) {
        }
    }
    m_table.m_batch = BatchState::None;
}

void MapTable::Batch::finish()
{
    const bool open = m_table.m_batch == BatchState::Open;
    m_table.m_batch = BatchState::None;
    if (open)
        m_table.m_db.commitTrans();
}

bool MapTable::exists() const
{
    jet::Database &db = UserDb();
    for (const jet::TableDef &td : db.tableDefs()) {
        if (td.name == MapTableName)
            return true;
    }
    return false;
}

void MapTable::SaveMapQuery(int mapKind, const QString &valueField) const
{
    jet::Database &db = writeDb();
    dropIfPresent(db);
    jet::TableDef td;
    td.name = MapTableName;
    if (mapKind == 2)
        td.fields.append({QStringLiteral("N_QUIRN"), jet::FieldType::Single, 0});
    else if (mapKind == 3 || mapKind == 4)
        td.fields.append({QStringLiteral("N_QUIRN"), jet::FieldType::Text, 0});
    // Double keeps the user's figures (10234567,89) as typed; nothing stored depends on the type.
    td.fields.append({valueField, jet::FieldType::Double, 0});
    td.fields.append({QStringLiteral("N4"), jet::FieldType::Integer, 0});
    db.appendTableDef(td);
}

void MapTable::FillMapQuery(int mapKind, const QVector<MapTableRow> &rows) const
{
    jet::Database &db = writeDb();
    const bool withCode = mapKind >= 2 && mapKind <= 4;
    const QString sql = withCode ? QStringLiteral("INSERT INTO %1 VALUES (?, ?, ?)").arg(quoted(MapTableName))
                                 : QStringLiteral("INSERT INTO %1 VALUES (?, ?)").arg(quoted(MapTableName));
    // A savepoint is a transaction of its own outside a batch and undoes only these rows inside one.
    jet::Session &session = *db.session();
    session.exec(QStringLiteral("SAVEPOINT fill"));
    try {
        jet::Statement insert(*db.session(), sql);
        for (const MapTableRow &row : rows) {
            int position = 1;
            if (mapKind == 2)
                insert.bind(position++, vb::Variant(vb::CSng(vb::Variant(row.code))));
            else if (withCode)
                insert.bind(position++, vb::Variant(row.code));
            insert.bind(position++, vb::Variant(row.value));
            insert.bind(position, row.classNumber ? vb::Variant(qint16(*row.classNumber)) : vb::Variant());
            insert.step();
            insert.reset();
        }
    } catch (...) {
        session.exec(QStringLiteral("ROLLBACK TO fill"));
        session.exec(QStringLiteral("RELEASE fill"));
        throw;
    }
    session.exec(QStringLiteral("RELEASE fill"));
}

void MapTable::DeleteMapQuery() const
{
    dropIfPresent(writeDb());
}

}  // namespace pendra
