// Reads a shape file (.shp with its .shx and .dbf) into memory through shapelib, checking every read.
#pragma once

#include "MapShape.h"

#include <QString>
#include <QStringList>
#include <QVector>

namespace mapkit {

struct ShapeData {
    bool valid = false;
    QString error;                   // why the file did not load, when not valid
    ShapeType type = ShapeType::Null;
    MapRect extent;                  // of the shapes read
    QStringList fieldNames;          // DBF fields, in file order
    // DBF values as text, record by record (numbers trimmed, Null empty, text from Windows-1252).
    QVector<QString> cells;
    QString cell(int record, int field) const { return cells.value(qsizetype(record) * fieldNames.size() + field); }
    QVector<MapShape> shapes;        // readable non-null records only; MapShape::record is the DBF record
};

// Position of a field by name (letter case ignored), -1 when missing.
int fieldIndex(const ShapeData &data, const QString &name);

// `shpPath` names the .shp file; .shx and .dbf lie beside it (letter case of the name ignored).
// Never throws: a missing, damaged or mismatched file set gives valid == false; a damaged record is
// skipped. Polygons, lines and points (with Z or M variants) are read; other types are refused.
ShapeData readShapeFile(const QString &shpPath);

}  // namespace mapkit
