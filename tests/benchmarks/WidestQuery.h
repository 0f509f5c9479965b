// The widest data query the query window builds on a program folder: 249 provincial variables
// (the tables with the most codes first, so the fewest joins), every territory selected, as
// "Visualizza Dati" hands it to the data table window.
#pragma once

#include "app/core/AppState.h"
#include "app/query/QueryBuilder.h"

#include "jet/Connection.h"
#include "jet/Recordset.h"

#include <QMap>
#include <cstddef>
#include <QStringList>

namespace bench {

constexpr int WidestValueColumns = 249;

// Points the program's state at a folder as start-up does (folders, password, both connect
// strings), with the provincial variables as the current data database.
inline pendra::AppState &useFolder(const QString &root)
{
    pendra::AppState &s = pendra::app();
    s.DataPath = root + QStringLiteral("Databases/");
    s.FilesPath = root + QStringLiteral("Files/");
    s.ShapePath = root + QStringLiteral("Shape/");
    s.Password = pendra::DatabasePassword;
    s.ConnPrefix = pendra::odbcPrefix(s.Password);
    s.DaoConnect = pendra::daoConnect(s.Password);
    s.CurrentDbName = QStringLiteral("VariabiliProvince.mdb");
    s.DatabaseCambiato = QStringLiteral("False");
    return s;
}

inline volatile std::size_t engineSink = 0;

// The engine's road: open, run the statement, read every value of every row; the row count.
inline int engineQuery(const QString &connect, const QString &sql)
{
    jet::Connection cn;
    cn.open(connect);
    jet::Recordset rs;
    rs.open(sql, cn, jet::CursorType::Static, jet::LockType::ReadOnly);
    const int cols = rs.fieldCount();
    int rows = 0;
    for (; !rs.eof(); rs.moveNext(), ++rows)
        for (int c = 0; c < cols; ++c)
            engineSink = engineSink + rs.value(c).isNull();
    return rows;
}

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
