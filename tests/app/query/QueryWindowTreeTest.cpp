// The area tree and the selection list of the query window.
#include "QueryWindowTestSupport.h"

#include "app/core/AppState.h"
#include "app/query/FormdatiTab.h"
#include "tree/TreeView.h"

#include <QListWidget>

using namespace pendra;
using namespace querytest;

namespace {
class QueryWindowTreeTest : public QueryWindowTest {};
}

TEST_F(QueryWindowTreeTest, Probe)
{
    open(ProvVariabili);
    for (const QString &r : rows("VariabiliProvince.mdb", "SELECT Variabile, Anno, LivTerritoriale, Tabella, Settore, Argomento, TipoVar FROM IndVarAnno ORDER BY Variabile, Anno, LivTerritoriale"))
        printf("%s\n", qPrintable(r));
    for (const QString &r : rows("Territorio.mdb", "SELECT DES_TERR, COD_TIPO_TERR, COD_TERR FROM land_Ind"))
        printf("%s\n", qPrintable(r));
    for (const QString &r : rows("VariabiliProvince.mdb", "SELECT IdVariabile, Note_2004, Note_2005, Note_2006 FROM MetadatiVariabili"))
        printf("%s\n", qPrintable(r));
    tree::TreeModel &n = w->objtree()->nodes();
    for (int i = 1; i <= n.count(); ++i)
        printf("node %s | %s | %s\n", qPrintable(n.item(i)->key()), qPrintable(n.item(i)->text()), n.item(i)->parent() ? qPrintable(n.item(i)->parent()->key()) : "");
    printf("log: %s\n", qPrintable(logLines().join("\n")));
}
