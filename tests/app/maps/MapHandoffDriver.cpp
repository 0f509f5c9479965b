// Hand-run driver (not a test): opens the data table window on every kind of territory of the
// build's program folder and presses "Crea cartogramma" on AS013_2005, so the chooser shows.
// Usage: map_handoff_driver [program folder]
#include "app/core/AppState.h"
#include "app/core/Program.h"
#include "app/core/frmMainMDI.h"
#include "app/maps/MapWindows.h"
#include "app/query/QueryWindows.h"
#include "app/query/frm_dispData.h"

#include "forms/FormRegistry.h"
#include "grid/FlexGrid.h"

#include <QApplication>
#include <QPushButton>
#include <QTimer>

int main(int argc, char **argv)
{
    QApplication application(argc, argv);
    QApplication::setApplicationName("Pendra");
    pendra::setProgramFolder(argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral(PENDRA_DIR));
    pendra::registerQueryOpeners();
    pendra::registerMapOpeners();
    pendra::frmMainMDI *main = forms::FormRegistry::get<pendra::frmMainMDI>();
    if (!main->isVisible())
        main->showMaximized();
    QTimer::singleShot(500, [] {
        pendra::AppState &s = pendra::app();
        s.CurrentDbName = "VariabiliProvince.mdb";
        s.Kind = "Variabili";
        s.CurrentLivTerritoriale = "T";
        s.DatabaseCambiato = "False";
        s.QueryDbName = s.CurrentDbName;
        s.LivMappa = 3;
        s.SqlQuery = "SELECT land_Ind.COD_TIPO_TERR as TipoTerritorio, land_Ind.COD_TERR, land_Ind.PROV, "
                     "land_Ind.REG, land_Ind.COD_NUTS, land_Ind.DES_TERR as Territorio, "
                     "Format(AS_2005.AS013, '0.00') as AS013_2005 FROM AS_2005 INNER JOIN land_Ind  ON "
                     "AS_2005.COD_TERR = land_Ind.COD_TERR";
        pendra::frm_dispData *table = forms::FormRegistry::show<pendra::frm_dispData>();
        table->datagrid()->grid().setRow(1);
        table->datagrid()->grid().setCol(6);
        QTimer::singleShot(500, table, [table] { table->cmd_createmap()->click(); });
    });
    return application.exec();
}
