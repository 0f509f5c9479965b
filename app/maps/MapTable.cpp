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
    jet::Database &db = UserDb();
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
    jet::Database &db = UserDb();
    const bool withCode = mapKind >= 2 && mapKind <= 4;
    const QString sql = withCode ? QStringLiteral("INSERT INTO %1 VALUES (?, ?, ?)").arg(quoted(MapTableName))
                                 : QStringLiteral("INSERT INTO %1 VALUES (?, ?)").arg(quoted(MapTableName));
    db.beginTrans();
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
        db.rollback();
        throw;
    }
    db.commitTrans();
}

void MapTable::DeleteMapQuery() const
{
    dropIfPresent(UserDb());
}

}  // namespace pendra
