// The geometry of one shape-file record in map units: its parts (rings, lines or points) and bounds.
#pragma once

#include "MapRect.h"

#include <QPainterPath>
#include <QPointF>
#include <QVector>

namespace mapkit {

enum class ShapeType { Null, Point, Line, Polygon };

struct MapShape {
    ShapeType type = ShapeType::Null;
    int record = -1;                      // record number in the layer (0-based), the DBF row
    QVector<QVector<QPointF>> parts;      // polygon rings (outer rings and holes alike), line parts, or one part of points
    MapRect bounds;

    // Polygons (odd-even: holes stay empty) and lines as a path in map units; points give an empty path.
    QPainterPath painterPath() const;
    // Polygons: the point lies inside by the odd-even rule over every ring (so not in a hole).
    // Lines and points: never. Bounds are tested first.
    bool contains(const QPointF &p) const;
    // Shortest distance from p to the shape (0 inside a polygon), in map units.
    double distanceTo(const QPointF &p) const;
};

}  // namespace mapkit
