// Area tree: the grouped query of areas, sub-areas and codes, and the years of a code.
#include "AreaTree.h"

#include "QueryBuilder.h"

#include "app/core/Utility.h"

#include "jet/Recordset.h"
#include "tree/TreeModel.h"
#include "vb/Error.h"

namespace pendra {

namespace {
QString stem(const QString &kind)
{
    return kind.left(kind.size() - 1);
}

QString text(const vb::Variant &v)
{
    return v.isNull() ? QString() : v.toString();
}
}  // namespace

QString metadataTable(const QString &kind)
{
    return "Metadati" + kind;
}

QString idColumn(const QString &kind)
{
    return "Id" + stem(kind) + "e";
}

QString descColumn(const QString &kind)
{
    return "Desc" + stem(kind) + "e";
}

bool fillsons(const jet::Connection &connection, tree::TreeModel &nodes, const QString &kind, const QString &liv)
{
    const QString m = metadataTable(kind);
    const QString id = m + "." + idColumn(kind);
    const QString desc = m + "." + descColumn(kind);
    const QString t = kind == "Indicatori" ? "I" : "V";
    const QString sql =
        "SELECT Settore.idSettore, Settore.[Descrizione Settore], Argomento.[Codice argomento], "
        "Argomento.[Desc argomento], " + id + ", " + desc + ", IndVarAnno.TipoVar "
        "FROM ((Settore INNER JOIN Argomento ON Settore.idSettore = Argomento.idSettore) INNER JOIN IndVarAnno "
        "ON (Settore.idSettore = IndVarAnno.Settore) AND (Argomento.[Codice argomento] = IndVarAnno.Argomento)) "
        "INNER JOIN " + m + " ON IndVarAnno.Variabile = " + id + " "
        "Where (((IndVarAnno.TipoVar) = '" + t + "') and (IndVarAnno.LivTerritoriale) = '" + SqlQuote(liv) + "') "
        "GROUP BY Settore.idSettore, Settore.[Descrizione Settore], Argomento.[Codice argomento], "
        "Argomento.[Desc argomento], " + id + ", " + desc + ", IndVarAnno.TipoVar "
        "ORDER BY Settore.idSettore, Argomento.[Codice argomento], " + id + ";";
    try {
        jet::Recordset rs;
        rs.open(sql, connection);
        QString lastArea, lastSub;
        while (!rs.eof()) {
            const QString area = text(rs.value(0));
            if (area != lastArea) {
                lastArea = area;
                nodes.add(QString(), tree::tvwChild, area, text(rs.value(1)), "close", "open");
            }
            const QString sub = text(rs.value(2));
            if (sub != lastSub) {
                lastSub = sub;
                nodes.add(lastArea, tree::tvwChild, sub, text(rs.value(3)).toUpper(), "close", "open");
            }
            nodes.add(lastSub, tree::tvwChild, text(rs.value(4)), text(rs.value(5)), "close", "open");
            rs.moveNext();
        }
        rs.close();
        return true;
    } catch (const vb::Error &e) {
        LogError("Utility", "fillsons", e);
        return false;
    }
}

void CaricaAnni(const jet::Connection &connection, tree::TreeModel &nodes, tree::TreeNode *codeNode,
                const QString &kind, const QString &liv)
{
    const QString m = metadataTable(kind);
    jet::Recordset rs;
    rs.open("SELECT IndVarAnno.Anno, " + m + ".* FROM IndVarAnno INNER JOIN " + m + " ON IndVarAnno.Variabile = " +
                m + "." + idColumn(kind) + " WHERE IndVarAnno.Variabile = '" + SqlQuote(codeNode->key()) +
                "' and IndVarAnno.LivTerritoriale = '" + SqlQuote(liv) + "' order by IndVarAnno.Anno;",
            connection);
    while (!rs.eof()) {
        const QString anno = rs.value(0).toString();
        bool note = false;
        if (kind == "Variabili") {
            const int col = rs.fieldIndex("Note_" + anno);
            note = col >= 0 && !text(rs.value(col)).isEmpty();
        }
        nodes.add(codeNode, tree::tvwChild, codeNode->key() + "-" + anno, anno, note ? "closeR" : "close",
                  note ? "openR" : "open");
        rs.moveNext();
    }
    rs.close();
    if (codeNode->childCount() > 0 && !codeNode->expanded())
        codeNode->setExpanded(true);
}

QString noteQuery(const QString &kind, const tree::TreeNode *yearNode)
{
    return "SELECT Note_" + yearNode->text() + " FROM " + metadataTable(kind) + " WHERE " + idColumn(kind) + " = '" +
           SqlQuote(yearNode->parent()->key()) + "' ";
}

bool hasNotePicture(const tree::TreeNode *node)
{
    return node->image() == "closeR" || node->image() == "openR";
}

}  // namespace pendra
