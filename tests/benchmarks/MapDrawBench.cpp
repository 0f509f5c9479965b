// A full quartile drawing of the 107 provinces in the map window (statistics, tMappa re-created and
// filled, renderers, redraw) beside the raw work: the same table through the engine's own SQL and
// the same polygons painted with QPainter. Target: at most twice the raw work and under 100 ms.
#include "app/maps/frm_Mappa.h"
#include "app/maps/ShapeConfig.h"

#include "app/core/AppState.h"
#include "app/query/frm_dispData.h"

#include "ProgramFolder.h"
#include "forms/FormRegistry.h"
#include "forms/ScriptedDialogService.h"
#include "grid/FlexGrid.h"
#include "jet/Session.h"
#include "jet/Statement.h"
#include "mapkit/MapWidget.h"
#include "vb/Conversions.h"

#include <QApplication>
#include <QFile>
#include <QTemporaryDir>
#include <QPainter>
#include <benchmark/benchmark.h>

namespace {

struct Fixture {
    fixtures::ProgramFolder folder;
    forms::ScriptedDialogService dialogs;
    forms::ScopedDialogs installed{dialogs};
    pendra::frm_Mappa *window = nullptr;
    QStringList values;

    Fixture()
    {
        vb::setUserLocale(QLocale(QLocale::Italian, QLocale::Italy));
        pendra::AppState &s = pendra::app();
        s.DataPath = folder.databases();
        s.FilesPath = folder.files();
        s.ShapePath = folder.shapes();
        s.DaoConnect = pendra::daoConnect(pendra::DatabasePassword);
        s.ConnPrefix = pendra::odbcPrefix(pendra::DatabasePassword);
        s.CurrentDbName = "VariabiliProvince.mdb";
        s.DatabaseCambiato = "False";
        s.SqlQuery = "SELECT COD_TIPO_TERR, COD_TERR, PROV, REG, COD_NUTS, DES_TERR FROM land_Ind";
        s.MapKind = 2;
        s.MapCase = "provincia107";
        auto *table = forms::FormRegistry::show<pendra::frm_dispData>();
        grid::FlexGridModel &data = table->datagrid()->grid();
        data.setCols(7);
        data.setTextMatrix(0, 6, "AS013_2005");
        data.setColSel(6);
        grid::FlexGridModel &g = table->datagrid2()->grid();
        g.setCols(7);
        g.setRows(108);
        g.setTextMatrix(0, 6, "AS013_2005");
        for (int p = 1; p <= 107; ++p) {
            g.setTextMatrix(p, 0, "1");
            g.setTextMatrix(p, 2, QString::number(p));
            values << vb::Format(vb::Variant(100.0 + p * 3.25), "0.00");
            g.setTextMatrix(p, 6, values.last());
        }
        g.setColSel(6);
        window = forms::FormRegistry::show<pendra::frm_Mappa>();
        window->resize(1400, 900);
        QApplication::processEvents();
    }
};

Fixture &fixture()
{
    static Fixture f;
    return f;
}

void BM_QuartileDrawing(benchmark::State &state)
{
    Fixture &f = fixture();
    for (auto _ : state) {
        f.window->Cmd_cmdAutocolor_Click();
        QImage image = f.window->Map2->grab().toImage();
        benchmark::DoNotOptimize(image.bits());
    }
}
BENCHMARK(BM_QuartileDrawing)->Unit(benchmark::kMillisecond);

void BM_RawTableAndPolygons(benchmark::State &state)
{
    Fixture &f = fixture();
    const auto layer = f.window->Map2->layer(QStringLiteral("province107"));
    const QSize size = f.window->Map2->size();
    const mapkit::MapRect extent = f.window->Map2->extent();
    const QString path = f.folder.files() + "qxt_utente.mdb";
    mapkit::MapRecordset all = layer->searchByDistance(extent.center(), extent.width() * 10);
    QVector<QPainterPath> paths;
    for (all.moveFirst(); !all.eof(); all.moveNext())
        paths << all.shape().painterPath();
    for (auto _ : state) {
        auto session = jet::Session::open(path, pendra::DatabasePassword, false);
        session->exec("DROP TABLE IF EXISTS rawMappa");
        session->exec("CREATE TABLE rawMappa (N_QUIRN REAL, AS013_2005 DOUBLE, N4 SMALLINT)");
        session->exec("BEGIN");
        {
            jet::Statement insert(*session, "INSERT INTO rawMappa VALUES (?, ?, ?)");
            for (int p = 1; p <= 107; ++p) {
                insert.bind(1, vb::Variant(double(p)));
                insert.bind(2, vb::Variant(vb::CDbl(vb::Variant(f.values[p - 1]))));
                insert.bind(3, vb::Variant(qint16(1 + (p - 1) * 4 / 107)));
                insert.step();
                insert.reset();
            }
        }
        session->exec("COMMIT");
        QImage image(size, QImage::Format_RGB32);
        image.fill(QColor(200, 228, 245));
        QPainter painter(&image);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.setTransform(mapkit::MapWidget::mapToDevice(extent, QSizeF(size)));
        painter.setPen(QPen(Qt::black, 0));
        for (int i = 0; i < paths.size(); ++i) {
            painter.setBrush(QColor::fromHsv(i * 3 % 360, 120, 240));
            painter.drawPath(paths[i]);
        }
        painter.end();
        benchmark::DoNotOptimize(image.bits());
    }
}
BENCHMARK(BM_RawTableAndPolygons)->Unit(benchmark::kMillisecond);

// A configuration naming one shape file for 2,000 layers: the file is read once, not 2,000 times.
void BM_LoadLayersNamingOneFile2000Times(benchmark::State &state)
{
    fixtures::ProgramFolder folder;
    QTemporaryDir files;
    QByteArray xml = "<Configs><LoadOrder><Case name=\"provincia107\" mapBackColor=\"0\">";
    for (int i = 0; i < 2000; ++i)
        xml += "<L Outline=\"True\" OutlineColor=\"0\" BackColor=\"255\" Trasparenza=\"False\">p</L>";
    xml += "</Case></LoadOrder><Shapes><Shape name=\"p\"><FileName>province107</FileName><GeoName>g</GeoName>"
           "<FieldId>COD_PROV</FieldId><LandFields>x</LandFields><LandMatch>x</LandMatch>"
           "<Label useToMatch=\"True\">x</Label></Shape></Shapes></Configs>";
    QFile config(files.path() + "/ShapeConfig.xml");
    if (!config.open(QIODevice::WriteOnly) || config.write(xml) != xml.size())
        state.SkipWithError("cannot write the configuration");
    config.close();
    for (auto _ : state) {
        mapkit::MapWidget map;
        QVector<pendra::MapLayerRecord> layers;
        int match = 0;
        pendra::LoadLayers(map, layers, match, files.path() + "/", folder.shapes(), QStringLiteral("provincia107"));
        benchmark::DoNotOptimize(map.layerCount());
    }
}
BENCHMARK(BM_LoadLayersNamingOneFile2000Times)->Unit(benchmark::kMillisecond)->Iterations(1);

}  // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    forms::FormRegistry::unloadAll();
    return 0;
}
