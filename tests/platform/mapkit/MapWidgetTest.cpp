// The map widget: layer order, extents, twips conversions, value-renderer pixels, snapshot, seams,
// legend and scale bar.
#include "ShapeFixtures.h"
#include "mapkit/LegendWidget.h"
#include "mapkit/MapWidget.h"
#include "mapkit/RectangleTracker.h"
#include "mapkit/ScaleBar.h"
#include "mapkit/ValueRenderer.h"
#include "vb/Error.h"

#include <QImage>
#include <QMouseEvent>
#include <QPainter>
#include <QPicture>
#include <QSignalSpy>
#include <QStandardItemModel>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace mapkit;
using namespace mapkit_test;

namespace {

std::shared_ptr<MapLayer> layerOf(const QString &shp)
{
    auto layer = std::make_shared<MapLayer>();
    layer->setFile(shp);
    return layer;
}

std::shared_ptr<MapLayer> sample(const char *name)
{
    return layerOf(QStringLiteral(SAMPLE_SHAPES) + name + ".shp");
}

QImage grab(MapWidget &map)
{
    QImage image(map.size(), QImage::Format_RGB32);
    QPainter p(&image);
    map.render(p, image.rect());
    return image;
}

QRgb pixelAt(const QImage &image, const MapWidget &map, const QPointF &mapPoint)
{
    const QPoint d = MapWidget::mapToDevice(map.extent(), map.size()).map(mapPoint).toPoint();
    return image.pixel(d) & 0xFFFFFF;
}

}  // namespace

TEST(MapWidget, LayersStackFromTheTopAndRefuseInvalidOnes)
{
    MapWidget map;
    map.resize(400, 300);
    EXPECT_TRUE(map.addLayer(sample("regioni")));
    EXPECT_TRUE(map.addLayer(sample("province107")));
    EXPECT_FALSE(map.addLayer(std::make_shared<MapLayer>()));
    EXPECT_FALSE(map.addLayer(layerOf("/nowhere/x.shp")));
    ASSERT_EQ(map.layerCount(), 2);
    EXPECT_EQ(map.layer(0)->name(), "province107");
    EXPECT_EQ(map.layer(1)->name(), "regioni");
    EXPECT_EQ(map.layer("REGIONI"), map.layer(1));
    EXPECT_THROW(map.layer(2), vb::Error);
    EXPECT_THROW(map.layer("italia"), vb::Error);
    // A second name finds a layer only where no layer carries it as its own name.
    map.layer(0)->setAlias("Regioni");
    map.layer(1)->setAlias("geo_regioni");
    EXPECT_EQ(map.layer("regioni"), map.layer(1));
    EXPECT_EQ(map.layer("GEO_REGIONI"), map.layer(1));
    map.removeLayer(0);
    EXPECT_EQ(map.layer(0)->name(), "regioni");
}

TEST(MapWidget, ExtentFitsTheWidgetAndWindowUnitsAreTwips)
{
    QTemporaryDir dir;
    MapWidget map;
    map.resize(200, 100);
    ASSERT_TRUE(map.addLayer(layerOf(writeHoleFixture(dir.path() + "/hole"))));
    // The first layer sets the extent (0..300 square), widened to the 2:1 widget.
    const MapRect e = map.extent();
    EXPECT_DOUBLE_EQ(e.height(), 300);
    EXPECT_DOUBLE_EQ(e.width(), 600);
    EXPECT_EQ(map.fullExtent(), (MapRect{0, 300, 300, 0}));
    // 3 map units per pixel: the centre pixel (100, 50) is the point (150, 150).
    const QPointF c = map.toMapPoint(100 * 15, 50 * 15);
    EXPECT_NEAR(c.x(), 150, 1e-9);
    EXPECT_NEAR(c.y(), 150, 1e-9);
    const QPointF corner = map.toMapPoint(0, 0);  // top left: west and north
    EXPECT_NEAR(corner.x(), -150, 1e-9);
    EXPECT_NEAR(corner.y(), 300, 1e-9);
    EXPECT_NEAR(map.toMapDistance(100), 100.0 / 15 * 3, 1e-9);
    map.setExtent(e.scaled(1.5));
    EXPECT_DOUBLE_EQ(map.extent().width(), 900);
}

TEST(MapWidget, ValueRendererColoursExactlyTheListedCodes)
{
    MapWidget map;
    map.resize(1280, 800);
    map.setBackColor(0xF5E4C8);  // sea
    auto provinces = sample("province107");
    auto renderer = std::make_shared<ValueRenderer>();
    renderer->setField("COD_PROV");
    renderer->setUseDefault(true);
    renderer->defaultSymbol().color = 0xFFFFFF;
    renderer->setValueCount(1);
    renderer->setValue(0, "99");
    renderer->symbol(0).color = 0x0000FF;  // red
    provinces->setRenderer(renderer);
    ASSERT_TRUE(map.addLayer(provinces));
    const QImage image = grab(map);
    EXPECT_EQ(pixelAt(image, map, {769000, 4870579}), 0xFF0000u) << "Rimini coloured";
    EXPECT_EQ(pixelAt(image, map, {400000, 5000000}), 0xFFFFFFu) << "Torino default white";
    EXPECT_EQ(pixelAt(image, map, {400000, 4200000}), 0xC8E4F5u) << "sea in the back colour";
    EXPECT_NE(pixelAt(image, map, {777052, 4870579}), 0xFF0000u) << "San Marino is not Rimini";
}

TEST(MapWidget, SnapshotIsAMetafileWithItsHimetricSize)
{
    QTemporaryDir dir;
    MapWidget map;
    map.resize(480, 300);
    map.addLayer(sample("regioni"));
    const QString path = dir.path() + "/temp.emf";
    const QSize himetric = map.exportPicture(path);
    EXPECT_EQ(himetric, QSize(12700, 7938));  // 480 x 300 pixels at 96 dpi
    QPicture picture;
    ASSERT_TRUE(picture.load(path));
    EXPECT_GT(picture.size(), 1000u);
    EXPECT_THROW(map.exportPicture(dir.path() + "/missing/temp.emf"), vb::Error);

    // A large view comes out whole at its own size: the print layout fits it to its page.
    struct Case {
        QSize view, himetric, picture;
    };
    const Case cases[] = {
        {{1078, 742}, {28522, 19632}, {1078, 742}},  // a maximised map window
        {{600, 900}, {15875, 23813}, {600, 900}},
    };
    for (const Case &c : cases) {
        map.resize(c.view);
        EXPECT_EQ(map.exportPicture(path), c.himetric) << c.view.width();
        ASSERT_TRUE(picture.load(path));
        EXPECT_EQ(picture.boundingRect(), QRect(QPoint(0, 0), c.picture)) << c.view.width();
    }
}

TEST(MapWidget, DraggedRectangleComesThroughTheTrackerSeam)
{
    QTemporaryDir dir;
    MapWidget map;
    map.resize(300, 300);
    map.addLayer(layerOf(writeHoleFixture(dir.path() + "/hole")));
    ScriptedTracker tracker;
    setRectangleTracker(&tracker);
    EXPECT_FALSE(map.trackRectangle().has_value());
    tracker.answers.enqueue(QRect(0, 0, 150, 150));  // top-left quarter: x 0..150, y 150..300
    const std::optional<MapRect> r = map.trackRectangle();
    setRectangleTracker(nullptr);
    ASSERT_TRUE(r.has_value());
    EXPECT_NEAR(r->left, 0, 1e-9);
    EXPECT_NEAR(r->right, 150, 1e-9);
    EXPECT_NEAR(r->bottom, 150, 1e-9);
    EXPECT_NEAR(r->top, 300, 1e-9);
    EXPECT_EQ(tracker.calls, 2);
}

TEST(MapWidget, MouseDownReportsButtonShiftAndTwips)
{
    MapWidget map;
    map.resize(100, 100);
    QSignalSpy spy(&map, &MapWidget::mouseDown);
    QMouseEvent press(QEvent::MouseButtonPress, QPointF(10, 20), QPointF(10, 20), Qt::RightButton,
                      Qt::RightButton, Qt::ShiftModifier);
    QCoreApplication::sendEvent(&map, &press);
    ASSERT_EQ(spy.count(), 1);
    EXPECT_EQ(spy[0][0].toInt(), 2);
    EXPECT_EQ(spy[0][1].toInt(), 1);
    EXPECT_DOUBLE_EQ(spy[0][2].toDouble(), 150);
    EXPECT_DOUBLE_EQ(spy[0][3].toDouble(), 300);
}

TEST(MapWidget, FlashAndAfterLayerDraw)
{
    MapWidget map;
    map.resize(200, 200);
    map.addLayer(sample("regioni"));
    map.addLayer(sample("nuts2"));
    MapWidget::setFlashInterval(0);
    MapRecordset rs = map.layer(0)->searchShape({769000, 4870579});
    ASSERT_FALSE(rs.eof());
    map.flashShape(rs.shape(), 3);
    EXPECT_EQ(map.flashesShown(), 3);
    QSignalSpy drawn(&map, &MapWidget::afterLayerDraw);
    QImage target(map.size(), QImage::Format_RGB32);
    map.QWidget::render(&target);  // a real paint event
    EXPECT_EQ(drawn.count(), 2);
}

TEST(Legend, EntriesFollowTheLayersAndTickingHidesOne)
{
    MapWidget map;
    map.addLayer(sample("regioni"));
    map.addLayer(sample("italia"));
    LegendWidget legend;
    legend.setMap(&map);
    legend.loadLegend(true);
    ASSERT_EQ(legend.entries().rowCount(), 2);
    EXPECT_EQ(legend.entries().item(0)->text(), "italia");
    QSignalSpy spy(&legend, &LegendWidget::layerVisibilityChanged);
    legend.entries().item(1)->setCheckState(Qt::Unchecked);
    EXPECT_EQ(spy.count(), 1);
    EXPECT_FALSE(map.layer(1)->visible());
    legend.resetLegend();
    EXPECT_EQ(legend.entries().rowCount(), 0);
}

TEST(Legend, EachValueEntryShowsItsOwnFillAndOutline)
{
    // Entries sharing a fill but not an outline, or an outline colour but not the flag, keep
    // distinct swatches.
    const struct { forms::OleColor fill, outline; bool outlined; } entries[] = {
        {0x0000FF, 0x000000, true}, {0xFF0000, 0x000000, true}, {0x0000FF, 0x000000, true},
        {0x0000FF, 0x00FF00, true}, {0x0000FF, 0x00FF00, false}};
    auto renderer = std::make_shared<ValueRenderer>();
    renderer->setField("COD_REG");
    renderer->setValueCount(int(std::size(entries)));
    for (int i = 0; i < renderer->valueCount(); ++i) {
        renderer->setValue(i, QString::number(i + 1));
        renderer->symbol(i).color = entries[i].fill;
        renderer->symbol(i).outlineColor = entries[i].outline;
        renderer->symbol(i).outline = entries[i].outlined;
    }
    MapWidget map;
    auto layer = sample("regioni");
    layer->setRenderer(renderer);
    map.addLayer(layer);
    LegendWidget legend;
    legend.setMap(&map);
    legend.loadLegend(true);
    QStandardItem *item = legend.entries().item(0);
    ASSERT_EQ(item->rowCount(), int(std::size(entries)));
    EXPECT_EQ(item->columnCount(), 1);
    EXPECT_TRUE(legend.isExpanded(item->index()));
    for (int i = 0; i < item->rowCount(); ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(item->child(i)->text(), QString::number(i + 1));
        EXPECT_FALSE(item->child(i)->flags() & Qt::ItemIsUserCheckable);
        const QImage icon = item->child(i)->icon().pixmap(16, 12).toImage();
        EXPECT_EQ(icon.pixelColor(8, 6), forms::toQColor(entries[i].fill));
        EXPECT_EQ(icon.pixelColor(1, 6),
                  forms::toQColor(entries[i].outlined ? entries[i].outline : entries[i].fill));
    }
}

TEST(ScaleBar, RepresentativeFractionAt96Dpi)
{
    ScaleBar bar;
    bar.setPageExtent({0, 0, 96, 50});         // one inch of screen: 2.54 cm
    bar.setMapExtent({0, 0, 2540, 1000});      // 2540 m of map
    EXPECT_NEAR(bar.scaleValue(), 100000, 1e-6);  // 1 cm = 1 km
    bar.setMapExtent({0, 0, 0, 0});
    EXPECT_EQ(bar.scaleValue(), 0);
}
