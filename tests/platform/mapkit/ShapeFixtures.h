// Small shape files written with shapelib for the tests: polygons with holes, lines, points.
#pragma once

#include <QPointF>
#include <QString>
#include <QStringList>
#include <QVector>

namespace mapkit_test {

// One record: its parts (rings or lines, or one part of points) and its CODE text field.
struct FixtureShape {
    QVector<QVector<QPointF>> parts;
    QString code;
};

// Writes base + ".shp/.shx/.dbf" of type shpType (SHPT_POLYGON, SHPT_ARC, SHPT_POINT) with one
// text field "CODE"; returns the .shp path.
QString writeShapes(const QString &base, int shpType, const QVector<FixtureShape> &shapes);

// A square 0..100 (code "OUT") with the hole 40..60, the island filling the hole (code "IN"), and a
// second square 200..300 (code "FAR").
QString writeHoleFixture(const QString &base);

// Copies the sample set `name` (province107, regioni, ...) into `folder` and returns its .shp path.
QString copySample(const QString &name, const QString &folder);

}  // namespace mapkit_test
