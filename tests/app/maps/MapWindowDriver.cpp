// Hand check under a real display: maps a column of the sample atlas as the hand-off would; not a ctest case.
// Usage: map_window_driver <program folder> quartili|manuale
#include "app/core/AppState.h"
#include "app/maps/ColorSwatch.h"
#include "app/maps/frm_Mappa.h"
#include "app/query/frm_dispData.h"

#include "forms/FormRegistry.h"
#include "grid/FlexGrid.h"
#include "vb/Conversions.h"

#include <QApplication>
#include <QTimer>

int main(int argc, char **argv)
{
    QApplication qapp(argc, argv);
    const QString folder = QString::fromLocal8Bit(argv[1]) + "/";
    const bool regional = argc > 2 && QString::fromLatin1(argv[2]) == "manuale";
    pendra::AppState &s = pendra::app();
    s.DataPath = folder + "Databases/";
    s.FilesPath = folder + "Files/";
    s.ShapePath = folder + "Shape/";
    s.Password = pendra::DatabasePassword;
    s.ConnPrefix = pendra::odbcPrefix(s.Password);
    s.DaoConnect = pendra::daoConnect(s.Password);
    s.DatabaseCambiato = "False";
    const QString code = regional ? "ICR001" : "AS013";
    const QString table = regional ? "ICR_2005" : "AS_2005";
    s.Kind = regional ? "Indicatori" : "Variabili";
    s.CurrentDbName = regional ? "IndicatoriRegioni.mdb" : "VariabiliProvince.mdb";
    s.SqlQuery = "SELECT land_Ind.COD_TIPO_TERR as TipoTerritorio, land_Ind.COD_TERR, land_Ind.PROV, land_Ind.REG, "
                 "land_Ind.COD_NUTS, land_Ind.DES_TERR as Territorio, Format(" + table + "." + code +
                 ", '0.00') as " + code + "_2005 FROM " + table + " INNER JOIN land_Ind ON " + table +
                 ".COD_TERR = land_Ind.COD_TERR";
    s.MapKind = regional ? 4 : 2;
    s.MapCase = regional ? "regioni" : "provincia107";
    s.CodVariabile = code;

    auto *data = forms::FormRegistry::show<pendra::frm_dispData>();
    grid::FlexGridModel &g = data->datagrid()->grid();
    grid::FlexGridModel &g2 = data->datagrid2()->grid();
    g.setCol(6);
    g.setColSel(6);
    data->lblDescVar()->setPlainText(regional ? "Indicatore regionale" : "Variabile provinciale");
    // The copy of the hand-off: the rows of the territory kind, then ascending on the column.
    g2.setCols(g.Cols());
    g2.setRows(g.Rows());
    int target = 1;
    for (int c = 0; c < g.Cols(); ++c)
        g2.setTextMatrix(0, c, g.TextMatrix(0, c));
    for (int r = 1; r < g.Rows(); ++r) {
        const int type = g.TextMatrix(r, 0).toInt();
        if (regional ? (type == 2 || type == 22) : (type == 1 || type == 6)) {
            for (int c = 0; c < g.Cols(); ++c)
                g2.setTextMatrix(target, c, g.TextMatrix(r, c));
            ++target;
        }
    }
    g2.setRows(target);
    g2.setCol(6);
    g2.setColSel(6);
    g2.setSort(grid::flexSortGenericAscending);
    g2.setColSel(6);

    auto *map = forms::FormRegistry::show<pendra::frm_Mappa>();
    map->resize(1500, 950);
    map->move(20, 20);
    QTimer::singleShot(500, [map, regional] {
        if (!regional) {
            map->Cmd_cmdAutocolor_Click();
            return;
        }
        map->Option3->setChecked(true);
        const double mid = vb::Round((map->MinValue + map->MaxValue) / 2, 2);
        map->txt_Max->setText(vb::CStr(vb::Variant(mid)));
        map->cmd_Select_Click();
        map->lbl_colore->setColor(0x3030C0);
        map->cmd_Select_Click();
        map->cmd_GoMap_Click();
        map->Avanz->setChecked(true);
    });
    return qapp.exec();
}
