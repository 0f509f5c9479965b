// The data query of the query window: the territory filter, the statement over land_Ind and the
// data tables of the chosen codes and years, and the clean-up of saved area queries.
#pragma once

#include <QString>
#include <QStringList>
#include <QVector>
#include <functional>

namespace jet {
class Connection;
}

namespace pendra {

// A text as it goes between apostrophes in a statement: every apostrophe doubled.
QString SqlQuote(const QString &text);

// "land_Ind.DES_TERR IN( 'A', 'B')" for the selected names in list order, each quoted;
// "" when none is selected.
QString CreaFiltroTerritori(const QStringList &selectedNames);

// One item of the selection list ("AS013-2005 - description"): code and year.
struct QueryItem {
    QString code;
    QString year;
    QString table;  // filled by the builder
};
QueryItem parseSelectionItem(const QString &listItem);

// The data table of a code and year; "" when IndVarAnno has no row for them. Throws vb::Error.
using TableLookup = std::function<QString(const QString &code, const QString &year)>;
// The lookup "SELECT Tabella, Settore From IndVarAnno WHERE Variabile = '<code>' and anno = <year>"
// on an open connection.
TableLookup indVarAnnoLookup(const jet::Connection &connection);

struct BuiltQuery {
    QString sql;
    QString codVariabile;  // the code of the last list item
};

// Builds the statement from the selection list items (in list order), the kind ("Indicatori"
// groups codes on 3 characters, anything else on 2), the territory filter ("" leaves out WHERE)
// and the table lookup, called once per group. Data columns follow the order of code then year
// (character codes compared); a data table shared by several groups is joined once. Lookup
// failures propagate.
BuiltQuery CreaQuery(const QStringList &listItems, const QString &kind, const QString &filtroTerritori,
                     const TableLookup &tableOf);

// Deletes from DataPath + CurrentDbName every saved query named by an entry of the library's area
// list (item 0 followed by item 1). Nothing when CurrentDbName is empty; failures are logged
// (DeleteAreaQuery, "Utility").
void DeleteAreaQuery();

}  // namespace pendra
