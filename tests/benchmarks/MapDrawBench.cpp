// bench_map_draw: a quartile map of every province territory in the map window (statistics, tMappa
// re-created and filled, renderers, drawing) beside the raw work: the same rows written to a table
// with the engine's own SQL and the same polygons of every layer painted with bare QPainter.
// Goal: at most 1.3 times the raw work.
#include "BenchFolders.h"
#include "WidestQuery.h"

#include "app/core/AppState.h"
#include "app/maps/frm_Mappa.h"
#include "app/query/frm_dispData.h"

#include "forms/FormRegistry.h"
#include "forms/ScriptedDialogService.h"
#include "grid/FlexGrid.h"
#include "jet/Session.h"
#include "jet/Statement.h"
#include "mapkit/MapWidget.h"
#include "vb/Conversions.h"

#include <QApplication>
#include <QPainter>

namespace {

volatile std::size_t sink = 0;

// The provincial rows of one 2006 variable, in ascending order of value, as the hand-off leaves them.
void fillMapRows(grid::FlexGridModel &g, QString *header)
{
    jet::Connection cn;
    cn.open(pendra::app().ConnPrefix + pendra::app().DataPath + "VariabiliProvince.mdb");
    jet::Recordset pick;
    pick.open("SELECT Variabile, Tabella FROM IndVarAnno WHERE TipoVar = 'V' AND Anno = 2006 AND "
              "LivTerritoriale <> 'R' ORDER BY Variabile",
              cn);
    const QString code = pick.value(0).toString(), table = pick.value(1).toString();
    *header = code + "_2006";
    jet::Recordset rs;
    rs.open("SELECT land_Ind.COD_TIPO_TERR, land_Ind.COD_TERR, land_Ind.PROV, land_Ind.REG, land_Ind.COD_NUTS, "
            "land_Ind.DES_TERR, Format(" + table + "." + code + ", '0.00') as " + *header + " FROM " + table +
                " INNER JOIN land_Ind  ON " + table + ".COD_TERR = land_Ind.COD_TERR WHERE land_Ind.COD_TIPO_TERR "
                "IN (1, 6) AND " + table + "." + code + " IS NOT NULL ORDER BY " + table + "." + code,
            cn, jet::CursorType::Static, jet::LockType::ReadOnly);
    g.setDataSource(rs);
    g.setColSel(6);
}

}  // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    vb::setUserLocale(QLocale(QLocale::Italian, QLocale::Italy));
    forms::ScriptedDialogService dialogs;
    forms::ScopedDialogs installed(dialogs);
    bench::Ratios ratios;
    for (const bench::Folder &f : bench::folders()) {
        pendra::AppState &s = bench::useFolder(f.root);
        s.SqlQuery = "SELECT COD_TIPO_TERR, COD_TERR, PROV, REG, COD_NUTS, DES_TERR FROM land_Ind";
        s.MapKind = 2;
        s.MapCase = "provincia107";
        auto *table = forms::FormRegistry::show<pendra::frm_dispData>();
        QString header;
        grid::FlexGridModel &rows = table->datagrid2()->grid();
        fillMapRows(rows, &header);
        grid::FlexGridModel &data = table->datagrid()->grid();
        data.setCols(7);
        data.setTextMatrix(0, 6, header);
        data.setColSel(6);
        auto *window = forms::FormRegistry::show<pendra::frm_Mappa>();
        window->resize(1400, 900);
        QApplication::processEvents();
        std::printf("quartile map, %d territories: %d mapped rows, %d layers\n", f.territories, rows.Rows() - 1,
                    window->Map2->layerCount());

        QVector<QPainterPath> paths;
        const mapkit::MapRect extent = window->Map2->extent();
        for (int i = window->Map2->layerCount() - 1; i >= 0; --i) {
            mapkit::MapRecordset all = window->Map2->layer(i)->searchByDistance(extent.center(), extent.width() * 100);
            for (all.moveFirst(); !all.eof(); all.moveNext())
                paths << all.shape().painterPath();
        }
        const QSize size = window->Map2->size();
        QVector<double> values;
        for (int r = 1; r < rows.Rows(); ++r)
            values << vb::CDbl(vb::Variant(rows.TextMatrix(r, 6)));
        const QString user = f.root + "Files/qxt_utente.mdb";
        auto program = [&] {
            window->Cmd_cmdAutocolor_Click();
            QImage image = window->Map2->grab().toImage();
            sink = sink + image.sizeInBytes();
        };
        auto anchor = [&] {
            auto session = jet::Session::open(user, pendra::DatabasePassword, false);
            session->exec("DROP TABLE IF EXISTS rawMappa");
            session->exec("CREATE TABLE rawMappa (N_QUIRN REAL, VALORE REAL, N4 SMALLINT)");
            session->exec("BEGIN");
            {
                jet::Statement insert(*session, "INSERT INTO rawMappa VALUES (?, ?, ?)");
                for (int i = 0; i < values.size(); ++i) {
                    insert.bind(1, vb::Variant(rows.TextMatrix(i + 1, 2).toDouble()));
                    insert.bind(2, vb::Variant(values[i]));
                    insert.bind(3, vb::Variant(qint16(1 + i * 4 / values.size())));
                    insert.step();
                    insert.reset();
                }
            }
            session->exec("COMMIT");
            QImage image(size, QImage::Format_RGB32);
            image.fill(QColor(200, 228, 245));
            QPainter painter(&image);
            // As the map paints: no antialiasing, a cosmetic outline one pixel wide.
            painter.setRenderHint(QPainter::Antialiasing, false);
            painter.setTransform(mapkit::MapWidget::mapToDevice(extent, QSizeF(size)));
            QPen outline(Qt::black, 1);
            outline.setCosmetic(true);
            painter.setPen(outline);
            for (int i = 0; i < paths.size(); ++i) {
                painter.setBrush(QColor::fromHsv(i * 3 % 360, 120, 240));
                painter.drawPath(paths[i]);
            }
            painter.end();
            sink = sink + image.sizeInBytes();
        };
        const bench::Pair times = bench::interleavedMs(f.runs, program, anchor);
        {
            auto session = jet::Session::open(user, pendra::DatabasePassword, false);
            session->exec("DROP TABLE IF EXISTS rawMappa");
        }
        ratios.add("map", f.territories, times);
        forms::FormRegistry::unloadAll();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
    return 0;
}
