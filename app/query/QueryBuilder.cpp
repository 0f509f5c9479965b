// The data query builder: territory filter, sorted and grouped data columns, join chain, area queries.
#include "QueryBuilder.h"

#include "app/core/AppState.h"
#include "app/core/Utility.h"

#include "jet/Connection.h"
#include "jet/Database.h"
#include "jet/Recordset.h"
#include "vb/Error.h"

#include <algorithm>

namespace pendra {

QString SqlQuote(const QString &text)
{
    return QString(text).replace('\'', QLatin1String("''"));
}

QString CreaFiltroTerritori(const QStringList &selectedNames)
{
    if (selectedNames.isEmpty())
        return QString();
    QStringList quoted;
    for (const QString &name : selectedNames)
        quoted << "'" + SqlQuote(name) + "'";
    return "land_Ind.DES_TERR IN( " + quoted.join(", ") + ")";
}

QueryItem parseSelectionItem(const QString &listItem)
{
    const QString pair = listItem.section(" - ", 0, 0);
    const int dash = pair.indexOf('-');
    QueryItem item;
    item.code = dash < 0 ? pair : pair.left(dash);
    item.year = dash < 0 ? QString() : pair.mid(dash + 1);
    return item;
}

TableLookup indVarAnnoLookup(const jet::Connection &connection)
{
    return [&connection](const QString &code, const QString &year) {
        jet::Recordset rs;
        rs.open("SELECT Tabella, Settore From IndVarAnno WHERE Variabile = '" + SqlQuote(code) +
                    "' and anno = " + year,
                connection);
        QString table;
        if (!rs.eof())
            table = rs.value(0).toString();
        rs.close();
        return table;
    };
}

BuiltQuery CreaQuery(const QStringList &listItems, const QString &kind, const QString &filtroTerritori,
                     const TableLookup &tableOf)
{
    BuiltQuery out;
    QVector<QueryItem> items;
    for (const QString &text : listItems) {
        items << parseSelectionItem(text);
        out.codVariabile = items.last().code;
    }
    const int p = kind == "Indicatori" ? 3 : 2;

    std::stable_sort(items.begin(), items.end(), [](const QueryItem &a, const QueryItem &b) {
        return QString::compare(a.code + a.year, b.code + b.year, Qt::CaseSensitive) < 0;
    });

    // Groups in the order of their first sorted item; each item takes its group's table.
    struct Group {
        QString key, code, year, table;
    };
    QVector<Group> groups;
    auto groupKey = [p](const QueryItem &i) { return i.code.left(p) + i.year; };
    for (const QueryItem &item : items) {
        const QString key = groupKey(item);
        if (std::none_of(groups.begin(), groups.end(), [&](const Group &g) { return g.key == key; }))
            groups.append({key, item.code, item.year, QString()});
    }
    for (Group &g : groups)
        g.table = tableOf(g.code, g.year);
    for (QueryItem &item : items) {
        const QString key = groupKey(item);
        item.table = std::find_if(groups.begin(), groups.end(), [&](const Group &g) { return g.key == key; })->table;
    }

    QString select = "SELECT land_Ind.COD_TIPO_TERR as TipoTerritorio, land_Ind.COD_TERR, land_Ind.PROV, "
                     "land_Ind.REG, land_Ind.COD_NUTS, land_Ind.DES_TERR as Territorio, ";
    for (const QueryItem &item : items)
        select += "Format(" + item.table + "." + item.code + ", '0.00') as " + item.code + "_" + item.year + ", ";
    select.chop(2);

    // A table that several groups share is joined once: naming it twice is refused by the engine.
    QString from;
    QStringList joined;
    for (const Group &g : groups) {
        if (joined.contains(g.table))
            continue;
        if (joined.isEmpty())
            from = g.table + " INNER JOIN land_Ind  ON " + g.table + ".COD_TERR = land_Ind.COD_TERR";
        else
            from = "(" + from + ") INNER JOIN " + g.table + " ON " + g.table + ".COD_TERR = " + joined.last() +
                   ".COD_TERR";
        joined << g.table;
    }

    out.sql = select + " FROM " + from + (filtroTerritori.isEmpty() ? QString() : " WHERE " + filtroTerritori);
    return out;
}

void DeleteAreaQuery()
{
    AppState &s = app();
    if (s.CurrentDbName.isEmpty())
        return;
    try {
        jet::Database db = jet::Database::open(s.DataPath + s.CurrentDbName, false, false, s.DaoConnect);
        vb::Variant areas;
        if (s.objFiles)
            com::check(s.objFiles->get_File_area(&areas));
        if (areas.isArray() && areas.isDimensioned()) {
            for (const vb::Variant &entry : areas.items()) {
                if (!entry.isArray() || !entry.isDimensioned() || entry.size() < 2)
                    continue;
                const QString name = entry.at(entry.lBound()).toString() + entry.at(entry.lBound() + 1).toString();
                if (name.isEmpty())
                    continue;
                // The names are a snapshot: deleting while walking them visits every query.
                for (const QString &query : db.queryDefNames()) {
                    if (query == name)
                        db.deleteQueryDef(query);
                }
            }
        }
        db.close();
    } catch (const vb::Error &e) {
        LogError("Utility", "DeleteAreaQuery", e);
    }
}

}  // namespace pendra
