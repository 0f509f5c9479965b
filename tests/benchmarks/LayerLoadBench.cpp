// Loading the layers of a ShapeConfig.xml that names one shape file for 2,000 layers: the file is
// read once, not 2,000 times.
#include "app/maps/ShapeConfig.h"

#include "ProgramFolder.h"
#include "mapkit/MapWidget.h"

#include <QApplication>
#include <QFile>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

namespace {

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
    return 0;
}
