// Shape-file layers: the sample boundary sets, damaged files, searches (holes, the sea), renderers.
#include "ShapeFixtures.h"
#include "mapkit/ClassBreaksRenderer.h"
#include "mapkit/MapLayer.h"
#include "mapkit/ValueRenderer.h"
#include "vb/Error.h"

#include <QDateTime>
#include <QFile>
#include <QtEndian>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <shapefil.h>

using namespace mapkit;
using namespace mapkit_test;

namespace {

std::shared_ptr<MapLayer> sampleLayer(const QString &name)
{
    auto layer = std::make_shared<MapLayer>();
    layer->setFile(QStringLiteral(SAMPLE_SHAPES) + name + ".shp");
    return layer;
}

QStringList codes(MapRecordset rs, const QString &field)
{
    QStringList out;
    for (rs.moveFirst(); !rs.eof(); rs.moveNext())
        out.append(rs.text(field));
    return out;
}

// Inside San Marino, the hole in Rimini's boundary; beside it, inside Rimini; off Sardinia, sea.
const QPointF SanMarino(777052, 4870579);
const QPointF RiminiPoint(769000, 4870579);
const QPointF Sea(400000, 4200000);

}  // namespace

TEST(ShapeLayer, SampleSetsLoadWithTheirRecordsAndFields)
{
    const struct { const char *name; int count; const char *field; } sets[] = {
        {"province107", 107, "COD_PROV"}, {"province103", 103, "COD_PROV"},
        {"regioni", 20, "COD_TERR"}, {"nuts2", 21, "COD_TERR"}};
    for (const auto &s : sets) {
        SCOPED_TRACE(s.name);
        const auto layer = sampleLayer(s.name);
        ASSERT_TRUE(layer->valid());
        EXPECT_EQ(layer->name(), QString::fromLatin1(s.name));
        EXPECT_EQ(layer->shapeType(), ShapeType::Polygon);
        EXPECT_EQ(layer->shapeCount(), s.count);
        EXPECT_GT(layer->extent().width(), 900000);  // the whole country, in metres
    }
}

TEST(ShapeLayer, SearchByPointFindsTheProvinceAndMissesTheHoleAndTheSea)
{
    const auto layer = sampleLayer("province107");
    ASSERT_TRUE(layer->valid());
    MapRecordset rimini = layer->searchShape(RiminiPoint);
    EXPECT_EQ(codes(rimini, "COD_PROV"), QStringList{"99"});
    rimini.moveFirst();
    EXPECT_EQ(rimini.text("des_prov"), "Rimini");  // field names ignore case
    EXPECT_EQ(rimini.shape().parts.size(), 2);     // outer ring and the San Marino hole
    EXPECT_TRUE(layer->searchShape(SanMarino).eof());
    EXPECT_TRUE(layer->searchShape(Sea).eof());
    // Text fields are Windows-1252.
    MapRecordset all = layer->searchByDistance(QPointF(0, 0), 1e9);
    EXPECT_EQ(all.recordCount(), 107);
    EXPECT_TRUE(codes(all, "DES_PROV").contains(QString::fromUtf8("Forlì-Cesena")));
}

TEST(ShapeLayer, HoleFixtureSearchesByPointAndDistance)
{
    QTemporaryDir dir;
    MapLayer layer;
    layer.setFile(writeHoleFixture(dir.path() + "/hole"));
    ASSERT_TRUE(layer.valid());
    const struct { QPointF p; QStringList found; } points[] = {
        {{10, 10}, {"OUT"}}, {{50, 50}, {"IN"}}, {{150, 150}, {}}, {{250, 250}, {"FAR"}}, {{-1, 50}, {}}};
    for (const auto &c : points)
        EXPECT_EQ(codes(layer.searchShape(c.p), "CODE"), c.found) << c.p.x() << "," << c.p.y();
    // By distance: 5 units off the first square's edge reaches it, not the far one.
    EXPECT_EQ(codes(layer.searchByDistance({105, 50}, 6), "CODE"), QStringList{"OUT"});
    EXPECT_EQ(codes(layer.searchByDistance({150, 150}, 10), "CODE"), QStringList{});
    EXPECT_THROW(layer.searchShape({10, 10}).text("NOPE"), vb::Error);
    EXPECT_THROW(layer.searchShape({150, 150}).shape(), vb::Error);
}

TEST(ShapeLayer, ReloadWhileTheOldLayerLivesSeesTheFileAsItIsNow)
{
    // A new layer of a file set an earlier layer still holds shares what that one read only while
    // the files are unchanged: a longer file, or one of the same size touched later, is read anew.
    const QVector<FixtureShape> first{{{{{0, 0}, {10, 0}, {10, 10}, {0, 0}}}, "AAA"}};
    const struct { const char *name; QVector<FixtureShape> next; QStringList codes; } cases[] = {
        {"longer", {first[0], {{{{20, 0}, {30, 0}, {30, 10}, {20, 0}}}, "BBB"}}, {"AAA", "BBB"}},
        {"same size", {{{{{0, 0}, {10, 0}, {10, 10}, {0, 0}}}, "CCC"}}, {"CCC"}},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        QTemporaryDir dir;
        const QString shp = writeShapes(dir.path() + "/set", SHPT_POLYGON, first);
        auto old = std::make_shared<MapLayer>();
        old->setFile(shp);
        ASSERT_TRUE(old->valid());
        writeShapes(dir.path() + "/set", SHPT_POLYGON, c.next);
        for (const char *ext : {".shp", ".shx", ".dbf"}) {
            QFile f(dir.path() + "/set" + ext);
            ASSERT_TRUE(f.open(QIODevice::ReadWrite));
            ASSERT_TRUE(f.setFileTime(QDateTime::currentDateTime().addSecs(5), QFileDevice::FileModificationTime));
        }
        MapLayer now;
        now.setFile(shp);
        ASSERT_TRUE(now.valid());
        EXPECT_EQ(codes(now.searchByDistance({0, 0}, 1e9), "CODE"), c.codes);
        EXPECT_EQ(codes(old->searchByDistance({0, 0}, 1e9), "CODE"), QStringList{"AAA"});
    }
}

TEST(ShapeLayer, LinesAndPointsLoadAndAreFoundByDistance)
{
    QTemporaryDir dir;
    MapLayer lines, points;
    lines.setFile(writeShapes(dir.path() + "/lines", SHPT_ARC, {{{{{0, 0}, {100, 0}}}, "L1"}}));
    points.setFile(writeShapes(dir.path() + "/points", SHPT_POINT, {{{{{10, 10}}}, "P1"}, {{{{90, 90}}}, "P2"}}));
    ASSERT_TRUE(lines.valid());
    ASSERT_TRUE(points.valid());
    EXPECT_EQ(lines.shapeType(), ShapeType::Line);
    EXPECT_EQ(points.shapeType(), ShapeType::Point);
    EXPECT_TRUE(lines.searchShape({50, 0}).eof());  // only polygons contain points
    EXPECT_EQ(codes(lines.searchByDistance({50, 3}, 5), "CODE"), QStringList{"L1"});
    EXPECT_EQ(codes(points.searchByDistance({88, 88}, 5), "CODE"), QStringList{"P2"});
}

TEST(ShapeLayer, DamagedOrMissingFilesNeverCrash)
{
    QTemporaryDir dir;
    const QString d = dir.path();
    MapLayer missing;
    missing.setFile(d + "/nothing.shp");
    EXPECT_FALSE(missing.valid());

    // Truncated .shp: the records past the cut are skipped or the layer is refused.
    const QString shp = copySample("province107", d);
    {
        QFile f(shp);
        ASSERT_TRUE(f.resize(f.size() / 2));
    }
    MapLayer truncated;
    truncated.setFile(shp);
    EXPECT_TRUE(!truncated.valid() || (truncated.shapeCount() > 0 && truncated.shapeCount() < 107));

    // A .dbf of another set (20 rows for 107 shapes) does not match.
    QTemporaryDir other;
    const QString mixed = copySample("province107", other.path());
    QFile::remove(other.path() + "/province107.dbf");
    QFile::copy(QStringLiteral(SAMPLE_SHAPES) + "regioni.dbf", other.path() + "/province107.dbf");
    MapLayer mismatched;
    mismatched.setFile(mixed);
    EXPECT_FALSE(mismatched.valid());

    // A missing .dbf, and a garbage .shx.
    QFile::remove(other.path() + "/province107.dbf");
    mismatched.setFile(mixed);
    EXPECT_FALSE(mismatched.valid());
    const QString garbled = copySample("regioni", d);
    {
        QFile f(d + "/regioni.shx");
        ASSERT_TRUE(f.open(QIODevice::ReadWrite));
        f.seek(100);
        f.write(QByteArray(64, '\x7f'));
    }
    MapLayer bad;
    bad.setFile(garbled);
    EXPECT_TRUE(!bad.valid() || bad.shapeCount() < 20);
}

namespace {

// A one-square set whose .shx lists `listed` records (each naming the one shape) and whose .dbf,
// of `fields` one-byte fields, holds `held` records while its header claims `listed`. The last
// field of the first record holds "x".
QString inflatedSet(const QString &base, int listed, int fields, int held)
{
    const QString shp = writeShapes(base, SHPT_POLYGON, {{{{{0, 0}, {0, 1}, {1, 1}, {1, 0}, {0, 0}}}, "A"}});
    QFile shx(base + ".shx");
    EXPECT_TRUE(shx.open(QIODevice::ReadWrite));
    QByteArray index = shx.readAll();
    const QByteArray entry = index.mid(100, 8);
    while (index.size() < 100 + 8 * listed)
        index += entry;
    qToBigEndian(quint32(index.size() / 2), index.data() + 24);  // the length in 16-bit words
    shx.seek(0);
    shx.write(index);
    shx.close();

    QFile::remove(base + ".dbf");
    DBFHandle dbf = DBFCreate(QFile::encodeName(base + ".dbf").constData());
    for (int f = 0; f < fields; ++f)
        DBFAddField(dbf, QStringLiteral("F%1").arg(f).toLatin1().constData(), FTString, 1, 0);
    for (int r = 0; r < held; ++r)
        DBFWriteStringAttribute(dbf, r, fields - 1, r == 0 ? "x" : "y");
    DBFClose(dbf);
    QFile table(base + ".dbf");
    EXPECT_TRUE(table.open(QIODevice::ReadWrite));
    table.seek(4);
    QByteArray count(4, '\0');
    qToLittleEndian(quint32(listed), count.data());
    table.write(count);
    return shp;
}

}  // namespace

// Counts in the headers are bounded by what the files hold: a set that claims more is refused
// before anything is sized from its counts; an honest wide table still reads.
TEST(ShapeLayer, HeadersClaimingMoreRecordsThanTheFilesHoldAreRefused)
{
    struct Case {
        const char *what;
        int listed, fields, held;
        bool valid;
    };
    const Case cases[] = {
        {"index and table claim records the table does not hold", 2000, 2000, 1, false},
        {"the table holds its records, the shapes file only one", 200, 1, 200, false},
        {"a wide table that holds its one record", 1, 2000, 1, true},
    };
    QTemporaryDir dir;
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        const QString shp = inflatedSet(dir.path() + "/gonfio", c.listed, c.fields, c.held);
        const ShapeData data = readShapeFile(shp);
        EXPECT_EQ(data.valid, c.valid);
        if (c.valid) {
            EXPECT_EQ(data.fieldNames.size(), c.fields);
            EXPECT_EQ(data.cell(0, c.fields - 1), "x");
        } else {
            EXPECT_EQ(data.error, "Unsupported or mismatched shape file " + shp);
        }
    }
}

TEST(ShapeLayer, AnIndexListingOneRecordManyTimesGivesItOnce)
{
    QTemporaryDir dir;
    QVector<FixtureShape> shapes;
    for (int i = 0; i < 4; ++i)
        shapes.append({{{{0, 0}, {0, 10.0 + i}, {10, 10}, {10, 0}, {0, 0}}}, QString("P%1").arg(i)});
    const QString shp = writeShapes(dir.path() + "/ripetuto", SHPT_POLYGON, shapes);
    // Every index entry after the header (8 bytes each) is made the first one.
    QFile shx(dir.path() + "/ripetuto.shx");
    ASSERT_TRUE(shx.open(QIODevice::ReadWrite));
    QByteArray index = shx.readAll();
    for (int i = 1; i < shapes.size(); ++i)
        index.replace(100 + 8 * i, 8, index.mid(100, 8));
    ASSERT_TRUE(shx.seek(0));
    ASSERT_EQ(shx.write(index), index.size());
    shx.close();

    const ShapeData data = readShapeFile(shp);
    ASSERT_TRUE(data.valid) << data.error.toStdString();
    ASSERT_EQ(data.shapes.size(), 1);
    EXPECT_EQ(data.shapes[0].record, 0);
    EXPECT_EQ(data.shapes[0].bounds.top, 10.0);
}

TEST(ShapeLayer, FileNamesIgnoreLetterCase)
{
    QTemporaryDir dir;
    copySample("regioni", dir.path());
    MapLayer layer;
    layer.setFile(dir.path() + "/REGIONI.shp");
    EXPECT_TRUE(layer.valid());
    EXPECT_EQ(layer.shapeCount(), 20);
}

TEST(Renderers, ClassBreaksPickTheClassUpToEachBreak)
{
    ClassBreaksRenderer r;
    r.setField("VAL");
    r.setBreakCount(2);
    r.setBreakValue(0, 10);
    r.setBreakValue(1, 20);
    ASSERT_EQ(r.symbolCount(), 3);
    r.rampColors(0x0000FF, 0xFF0000);
    EXPECT_EQ(r.symbol(0).color, 0x0000FFu);
    EXPECT_EQ(r.symbol(1).color, 0x800080u);
    EXPECT_EQ(r.symbol(2).color, 0xFF0000u);
    const struct { const char *value; int symbol; } cases[] = {
        {"-5", 0}, {"10", 0}, {"10.5", 1}, {"20", 1}, {"1000", 2}, {"abc", -1}, {"", -1}};
    for (const auto &c : cases) {
        const Symbol *s = r.symbolFor(QString::fromLatin1(c.value));
        EXPECT_EQ(s ? int(s - &r.symbol(0)) : -1, c.symbol) << c.value;
    }
    EXPECT_THROW(r.breakValue(2), vb::Error);
    // One class: one break, two symbols.
    r.setBreakCount(1);
    EXPECT_EQ(r.symbolCount(), 2);
    EXPECT_EQ(colorRamp(0x80FFFF, 0xFF5555, 1), QVector<forms::OleColor>{0x80FFFF});
}

TEST(Renderers, ValueRendererMatchesExactTextElseDefault)
{
    ValueRenderer r;
    r.setField("COD_PROV");
    r.setValueCount(2);
    r.setValue(0, "1");
    r.symbol(0).color = 0x0000FF;
    r.setValue(1, "99");
    r.symbol(1).color = 0x00FF00;
    EXPECT_EQ(r.symbolFor("99")->color, 0x00FF00u);
    EXPECT_EQ(r.symbolFor(" 1"), nullptr);  // exact text only; no default yet
    r.setUseDefault(true);
    r.defaultSymbol().color = 0xFFFFFF;
    EXPECT_EQ(r.symbolFor("1.0")->color, 0xFFFFFFu);
    r.setValueCount(3);
    r.setValue(2, "1.0");
    r.symbol(2).color = 0x123456;
    EXPECT_EQ(r.symbolFor("1.0")->color, 0x123456u);
    EXPECT_THROW(r.value(3), vb::Error);
}

// A municipal map: thousands of values, one listed twice and an empty one; every value finds its
// own symbol, the first listing wins, and a changed value is found at once.
TEST(Renderers, ValueRendererFindsEachOfThousandsOfValues)
{
    ValueRenderer r;
    const int n = 5000;
    r.setValueCount(n + 2);
    for (int i = 0; i < n; ++i) {
        r.setValue(i, QString::number(1001 + i));
        r.symbol(i).color = forms::OleColor(i);
    }
    r.setValue(n, "1007");  // listed again: the first listing wins
    r.symbol(n).color = 0xABCDEF;
    r.setValue(n + 1, "");
    r.symbol(n + 1).color = 0x777777;
    for (int i = 0; i < n; ++i) {
        const Symbol *s = r.symbolFor(QString::number(1001 + i));
        ASSERT_NE(s, nullptr) << i;
        EXPECT_EQ(s->color, forms::OleColor(i)) << i;
    }
    EXPECT_EQ(r.symbolFor("")->color, 0x777777u);
    for (const char *missing : {"1000", "6001", "1001 ", "01001", "10011"})
        EXPECT_EQ(r.symbolFor(QString::fromLatin1(missing)), nullptr) << missing;
    r.setValue(3, "Reggio nell'Emilia");
    EXPECT_EQ(r.symbolFor("Reggio nell'Emilia")->color, 3u);
    EXPECT_EQ(r.symbolFor("1004"), nullptr);
}
