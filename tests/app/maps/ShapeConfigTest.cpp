// LoadLayers and ApplyLayerSymbols on the sample configuration and on hand-made ones.
#include "MapsTestSupport.h"

#include "ProgramFolder.h"
#include "app/maps/ShapeConfig.h"
#include "vb/Error.h"

#include <gtest/gtest.h>

using namespace mapstest;
using pendra::MapLayerRecord;

namespace {

QStringList fileNames(const QVector<MapLayerRecord> &layers)
{
    QStringList out;
    for (const MapLayerRecord &r : layers)
        out.append(r.FileName);
    return out;
}

QStringList mapNames(const mapkit::MapWidget &map)
{
    QStringList out;
    for (int i = 0; i < map.layerCount(); ++i)
        out.append(map.layer(i)->name());
    return out;
}

}  // namespace

TEST(SampleConfig, EveryCaseLoadsItsLayersInOrderWithTheFileColours)
{
    fixtures::ProgramFolder folder;
    const struct { const char *mapCase; QStringList files; } cases[] = {
        {"provincia107", {"province107", "confiniregionali"}},
        {"provincia103", {"province103", "confiniregionali"}},
        {"regioni", {"regioni", "italia"}},
        {"nuts2", {"nuts2", "italia"}}};
    for (const auto &c : cases) {
        SCOPED_TRACE(c.mapCase);
        mapkit::MapWidget map;
        QVector<MapLayerRecord> layers;
        int match = 7;
        pendra::LoadLayers(map, layers, match, folder.files(), folder.shapes(), QString::fromLatin1(c.mapCase));
        pendra::ApplyLayerSymbols(layers);
        EXPECT_EQ(fileNames(layers), c.files);
        EXPECT_EQ(match, 0);
        // The last layer added is on top.
        EXPECT_EQ(mapNames(map), (QStringList{c.files[1], c.files[0]}));
        EXPECT_EQ(map.backColor(), 200u | 228u << 8 | 245u << 16);
        ASSERT_EQ(layers.size(), 2);
        EXPECT_EQ(layers[0].BackColor, 236u | 232u << 8 | 214u << 16);
        EXPECT_EQ(layers[0].OutlineColor, 110u | 110u << 8 | 110u << 16);
        EXPECT_TRUE(layers[0].Outline);
        EXPECT_FALSE(layers[0].Trasparenza);
        EXPECT_TRUE(layers[1].Trasparenza);
        EXPECT_EQ(map.layer(1)->symbol().color, layers[0].BackColor);
        EXPECT_EQ(map.layer(0)->symbol().style, mapkit::TransparentFill);
        // The record's own layer object carries GeoName and the style.
        ASSERT_TRUE(layers[0].Layer);
        EXPECT_EQ(layers[0].Layer->name(), layers[0].GeoName);
        EXPECT_EQ(layers[0].Layer->symbol().outlineColor, layers[0].OutlineColor);
        EXPECT_EQ(map.extent().width() > 0, true);
    }
}

TEST_F(LayersTest, MissingShapeFileIsSkippedButKeepsItsRecord)
{
    writeConfig({{"province107"}, {"nothere"}, {"regioni"}},
                {{"province107", "province107"}, {"nothere", "nothere"}, {"regioni", "regioni"}});
    load();
    EXPECT_EQ(fileNames(layers), (QStringList{"province107", "nothere", "regioni"}));
    EXPECT_EQ(mapNames(map), (QStringList{"regioni", "province107"}));
    EXPECT_TRUE(dialogs.calls().isEmpty());
    // Identify finds the drawn layer under the record's GeoName, which differs from its file name.
    EXPECT_EQ(map.layer("geo_province107"), map.layer("province107"));
    EXPECT_THROW(map.layer("geo_nothere"), vb::Error);
}

TEST_F(LayersTest, LayersNamingOneFileEachDrawItWithTheirOwnStyle)
{
    CaseChild first{"province107"}, again{"ancora"}, other{"regioni"};
    again.backColor = "65280";
    again.outline = "False";
    writeConfig({first, again, other},
                {{"province107", "province107"}, {"ancora", "PROVINCE107"}, {"regioni", "regioni"}});
    load();
    ASSERT_EQ(mapNames(map), (QStringList{"regioni", "PROVINCE107", "province107"}));
    const auto a = map.layer(2), b = map.layer(1);  // names are found without regard to case
    ASSERT_NE(a, b);
    EXPECT_TRUE(b->valid());
    EXPECT_EQ(b->shapeCount(), 107);
    EXPECT_EQ(b->extent().width(), a->extent().width());
    EXPECT_EQ(a->symbol().color, 255u);
    EXPECT_TRUE(a->symbol().outline);
    EXPECT_EQ(b->symbol().color, 65280u);
    EXPECT_FALSE(b->symbol().outline);
    EXPECT_EQ(map.layer("geo_ancora"), b);
    // Both are searched and drawn from the one reading.
    const QPointF inside = a->extent().center();
    EXPECT_EQ(b->searchByDistance(inside, 1e7).recordCount(), 107);
}

TEST_F(LayersTest, BooleanTextsAndTheMatchLayer)
{
    CaseChild lower{"province107", "true"}, italian{"regioni", "Vero"}, number{"italia", "1"};
    lower.transparent = "Vero";
    writeConfig({lower, italian, number},
                {{"province107", "province107", "True"}, {"regioni", "regioni", "-1"}, {"italia", "italia", "Falso"}});
    load();
    ASSERT_EQ(layers.size(), 3);
    EXPECT_FALSE(layers[0].Outline);   // only "True" or "Vero"
    EXPECT_TRUE(layers[0].Trasparenza);
    EXPECT_TRUE(layers[1].Outline);
    EXPECT_FALSE(layers[2].Outline);
    EXPECT_EQ(matchIndex, 1);  // the last with useToMatch true

    matchIndex = 5;
    writeConfig({{"regioni"}}, {{"regioni", "regioni", "False"}});
    map.clearLayers();
    load();
    EXPECT_EQ(matchIndex, 5);  // none: unchanged
}

TEST_F(LayersTest, ReloadKeepsEachRecordsLayerObject)
{
    writeConfig({{"province107"}, {"regioni"}, {"italia"}},
                {{"province107", "province107", "True"}, {"regioni", "regioni"}, {"italia", "italia"}});
    load();
    const auto first = layers[0].Layer;
    map.clearLayers();
    load();
    EXPECT_EQ(layers[0].Layer, first);
    // A case that lost a layer since the last load leaves no stale record behind.
    writeConfig({{"province107"}, {"italia"}}, {{"province107", "province107", "True"}, {"italia", "italia"}});
    map.clearLayers();
    load();
    EXPECT_EQ(fileNames(layers), (QStringList{"province107", "italia"}));
    EXPECT_EQ(layers[0].Layer, first);
}

TEST_F(LayersTest, FailuresStopTheLoadWithTheRightError)
{
    const struct {
        const char *what;
        QVector<CaseChild> children;
        QVector<ShapeEntry> entries;
        QString back;
        int number;
        int recordsRead;
    } cases[] = {
        {"empty colour", {{"province107", "True", ""}}, {{"province107", "province107"}}, "0", 13, 1},
        {"wrong colour", {{"province107", "True", "0", "rosso"}}, {{"province107", "province107"}}, "0", 13, 1},
        {"missing attribute", {{"regioni"}, {"province107", nullptr}}, {{"province107", "province107"}, {"regioni", "regioni"}}, "0", 91, 2},
        {"missing shape entry", {{"regioni"}, {"gone"}}, {{"regioni", "regioni"}}, "0", 91, 2},
        {"useToMatch not Boolean", {{"regioni"}}, {{"regioni", "regioni", "forse"}}, "0", 13, 1},
        {"missing useToMatch", {{"regioni"}}, {{"regioni", "regioni", nullptr}}, "0", 91, 1},
        {"empty background", {{"regioni"}}, {{"regioni", "regioni"}}, "", 13, 0},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.what);
        writeConfig(c.children, c.entries, c.back);
        layers.clear();
        map.clearLayers();
        try {
            load();
            ADD_FAILURE() << "no error";
        } catch (const vb::Error &e) {
            EXPECT_EQ(e.number(), c.number);
        }
        EXPECT_EQ(layers.size(), c.recordsRead);
        EXPECT_EQ(map.layerCount(), 0);  // file layers come after every record is read
    }
}

TEST_F(LayersTest, MalformedOrMissingFileAndMissingCase)
{
    writeRaw("<Configs><LoadOrder><Case name=\"provincia107\" mapBackColor=\"1\">");
    EXPECT_THROW(load(), vb::Error);
    QFile::remove(files() + "ShapeConfig.xml");
    EXPECT_THROW(load(), vb::Error);
    writeRaw("<Configs><LoadOrder><Case name=\"regioni\" mapBackColor=\"1\"/></LoadOrder></Configs>");
    try {
        load();
        ADD_FAILURE() << "no error";
    } catch (const vb::Error &e) {
        EXPECT_EQ(e.number(), 91);
    }
    EXPECT_EQ(map.layerCount(), 0);
    EXPECT_TRUE(layers.isEmpty());
}
