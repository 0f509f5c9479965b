// Hand-run driver (not a test): starts the program on a program folder and opens the data table
// window on a query shaped like the query window's, as "Visualizza Dati" would.
// Usage: table_window_driver [program folder]   (default: the build's program folder)
#include "app/core/AppState.h"
#include "app/core/Program.h"
#include "app/core/frmMainMDI.h"
#include "app/query/QueryWindows.h"
#include "app/query/frm_dispData.h"

#include "forms/FormRegistry.h"
#include "jet/Connection.h"
#include "jet/Recordset.h"
#include "vb/Conversions.h"

#include <QApplication>
#include <QTimer>

namespace {

// AS013 and AS014 of 2005 and 2006 and DG030 of 2005 for the provinces of Piemonte.
QString piemonteQuery()
{
    using pendra::app;
    jet::Connection cn;
    cn.open(app().ConnPrefix + app().DataPath + "VariabiliProvince.mdb");
    jet::Recordset rs;
    rs.open("SELECT DES_TERR FROM land_Ind WHERE COD_TERR IN (SELECT COD_TERR FROM land_Ind WHERE "
            "COD_TIPO_TERR IN (1, 6)) AND REG = (SELECT REG FROM land_Ind WHERE COD_TERR = 'P001') "
            "AND COD_TIPO_TERR IN (1, 6)", cn);
    QStringList names;
    for (; !rs.eof(); rs.moveNext())
        names << "'" + rs.value(0).toString().replace("'", "''") + "'";
    return "SELECT land_Ind.COD_TIPO_TERR as TipoTerritorio, land_Ind.COD_TERR, land_Ind.PROV, land_Ind.REG, "
           "land_Ind.COD_NUTS, land_Ind.DES_TERR as Territorio, Format(AS_2005.AS013, '0.00') as AS013_2005, "
           "Format(AS_2006.AS013, '0.00') as AS013_2006, Format(AS_2005.AS014, '0.00') as AS014_2005, "
           "Format(AS_2006.AS014, '0.00') as AS014_2006, Format(DG_2005.DG030, '0.00') as DG030_2005 "
           "FROM ((AS_2005 INNER JOIN land_Ind  ON AS_2005.COD_TERR = land_Ind.COD_TERR) INNER JOIN AS_2006 ON "
           "AS_2006.COD_TERR = AS_2005.COD_TERR) INNER JOIN DG_2005 ON DG_2005.COD_TERR = AS_2006.COD_TERR "
           "WHERE land_Ind.DES_TERR IN( " + names.join(", ") + ")";
}

}  // namespace

int main(int argc, char **argv)
{
    QApplication application(argc, argv);
    QApplication::setApplicationName("Pendra");
    pendra::setProgramFolder(argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral(PENDRA_DIR));
    pendra::registerQueryOpeners();
    pendra::frmMainMDI *main = forms::FormRegistry::get<pendra::frmMainMDI>();
    if (!main->isVisible())
        main->showMaximized();
    QTimer::singleShot(500, [] {
        pendra::AppState &s = pendra::app();
        s.CurrentDbName = "VariabiliProvince.mdb";
        s.Kind = "Variabili";
        s.DatabaseCambiato = "False";
        s.QueryDbName = s.CurrentDbName;
        s.LivMappa = 1;
        s.SqlQuery = piemonteQuery();
        forms::FormRegistry::show<pendra::frm_dispData>();
    });
    return application.exec();
}
