// The widest data query the query window builds on a program folder: 249 provincial variables
// (the tables with the most codes first, so the fewest joins), every territory selected, as
// "Visualizza Dati" hands it to the data table window.
#pragma once

#include "app/core/AppState.h"
#include "app/query/QueryBuilder.h"

#include "jet/Connection.h"
#include "jet/Recordset.h"

#include <QMap>
#include <QStringList>

namespace bench {

constexpr int WidestValueColumns = 249;

inline QString dataConnect(const QString &root, const QString &file = QStringLiteral("VariabiliProvince.mdb"))
{
    return pendra::odbcPrefix(pendra::DatabasePassword) + root + QStringLiteral("Databases/") + file;
}

// The statement without the window's " order by land_Ind.COD_TERR".
inline QString widestQuery(const QString &root)
{
    jet::Connection cn;
    cn.open(dataConnect(root));
    QMap<QString, QStringList> itemsOfTable;
    {
        jet::Recordset rs;
        rs.open(QStringLiteral("SELECT Variabile, Anno, Tabella FROM IndVarAnno WHERE TipoVar = 'V' AND "
                               "LivTerritoriale <> 'R' ORDER BY Variabile, Anno"),
                cn);
        for (; !rs.eof(); rs.moveNext())
            itemsOfTable[rs.value(2).toString()] << rs.value(0).toString() + "-" + rs.value(1).toString() + " - x";
    }
    QList<QStringList> tables = itemsOfTable.values();
    std::stable_sort(tables.begin(), tables.end(),
                     [](const QStringList &a, const QStringList &b) { return a.size() > b.size(); });
    QStringList items;
    for (const QStringList &t : tables)
        for (const QString &item : t)
            if (items.size() < WidestValueColumns)
                items << item;
    QStringList names;
    {
        jet::Recordset rs;
        rs.open(QStringLiteral("SELECT DES_TERR FROM land_Ind"), cn);
        for (; !rs.eof(); rs.moveNext())
            names << rs.value(0).toString();
    }
    return pendra::CreaQuery(items, QStringLiteral("Variabili"), pendra::CreaFiltroTerritori(names),
                             pendra::indVarAnnoLookup(cn))
        .sql;
}

}  // namespace bench
