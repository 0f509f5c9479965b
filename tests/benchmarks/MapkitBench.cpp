// Map kit speed: loading the 107 provinces and drawing them with a value renderer at 1280 x 800,
// beside shapelib alone and bare QPainter; search by point.
#include "mapkit/ClassBreaksRenderer.h"
#include "mapkit/MapWidget.h"
#include "mapkit/ValueRenderer.h"

#include <QApplication>
#include <QFile>
#include <QImage>
#include <QPainter>
#include <benchmark/benchmark.h>
#include <shapefil.h>

namespace {

const QString Provinces = QStringLiteral(SAMPLE_SHAPES "province107.shp");
const QSize Size(1280, 800);

// Every province listed, coloured by its number: the drawing the map window makes.
std::shared_ptr<mapkit::ValueRenderer> provinceRenderer()
{
    auto r = std::make_shared<mapkit::ValueRenderer>();
    r->setField(QStringLiteral("COD_PROV"));
    r->setUseDefault(true);
    r->defaultSymbol().color = 0xFFFFFF;
    r->setValueCount(111);
    const auto ramp = mapkit::colorRamp(0x80FFFF, 0xFF5555, 111);
    for (int i = 0; i < 111; ++i) {
        r->setValue(i, QString::number(i + 1));
        r->symbol(i).color = ramp[i];
    }
    return r;
}

void BM_LoadLayer(benchmark::State &state)
{
    for (auto _ : state) {
        mapkit::MapLayer layer;
        layer.setFile(Provinces);
        benchmark::DoNotOptimize(layer.shapeCount());
    }
}
BENCHMARK(BM_LoadLayer)->Unit(benchmark::kMillisecond);

// The same reads with shapelib alone: every object and every attribute as text.
void BM_LoadShapelibAlone(benchmark::State &state)
{
    const QByteArray path = QFile::encodeName(Provinces);
    const QByteArray dbfPath = QFile::encodeName(QString(Provinces).replace(".shp", ".dbf"));
    for (auto _ : state) {
        SHPHandle shp = SHPOpen(path.constData(), "rb");
        DBFHandle dbf = DBFOpen(dbfPath.constData(), "rb");
        int n = 0;
        SHPGetInfo(shp, &n, nullptr, nullptr, nullptr);
        double sum = 0;
        for (int i = 0; i < n; ++i) {
            SHPObject *o = SHPReadObject(shp, i);
            sum += o->nVertices;
            SHPDestroyObject(o);
            for (int f = 0; f < DBFGetFieldCount(dbf); ++f)
                benchmark::DoNotOptimize(DBFReadStringAttribute(dbf, i, f));
        }
        benchmark::DoNotOptimize(sum);
        SHPClose(shp);
        DBFClose(dbf);
    }
}
BENCHMARK(BM_LoadShapelibAlone)->Unit(benchmark::kMillisecond);

void BM_DrawValueRenderer(benchmark::State &state)
{
    mapkit::MapWidget map;
    map.resize(Size);
    auto layer = std::make_shared<mapkit::MapLayer>();
    layer->setFile(Provinces);
    layer->setRenderer(provinceRenderer());
    map.addLayer(layer);
    QImage image(Size, QImage::Format_RGB32);
    for (auto _ : state) {
        QPainter painter(&image);
        map.render(painter, image.rect());
    }
}
BENCHMARK(BM_DrawValueRenderer)->Unit(benchmark::kMillisecond);

// The same polygons filled with QPainter alone, one colour per province, outlined in black.
void BM_DrawBareQPainter(benchmark::State &state)
{
    mapkit::MapLayer layer;
    layer.setFile(Provinces);
    mapkit::MapRecordset all = layer.searchByDistance(layer.extent().center(), 1e12);
    QVector<QPainterPath> paths;
    QVector<QColor> colours;
    const auto ramp = mapkit::colorRamp(0x80FFFF, 0xFF5555, all.recordCount());
    for (all.moveFirst(); !all.eof(); all.moveNext()) {
        paths.append(all.shape().painterPath());
        colours.append(forms::toQColor(ramp[paths.size() - 1]));
    }
    const QTransform t = mapkit::MapWidget::mapToDevice(layer.extent(), Size);
    QImage image(Size, QImage::Format_RGB32);
    for (auto _ : state) {
        QPainter painter(&image);
        painter.fillRect(image.rect(), Qt::white);
        painter.setTransform(t);
        QPen pen(Qt::black, 1);
        pen.setCosmetic(true);
        painter.setPen(pen);
        for (qsizetype i = 0; i < paths.size(); ++i) {
            painter.setBrush(colours[i]);
            painter.drawPath(paths[i]);
        }
    }
}
BENCHMARK(BM_DrawBareQPainter)->Unit(benchmark::kMillisecond);

void BM_SearchByPoint(benchmark::State &state)
{
    mapkit::MapLayer layer;
    layer.setFile(Provinces);
    for (auto _ : state)
        benchmark::DoNotOptimize(layer.searchShape(QPointF(769000, 4870579)).recordCount());
}
BENCHMARK(BM_SearchByPoint)->Unit(benchmark::kMicrosecond);

}  // namespace

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
