// Reads a shape file (.shp with its .shx and .dbf) into memory through shapelib, checking every read.
#pragma once

#include "MapShape.h"

#include <QString>
#include <QStringList>
#include <QVector>

#include <memory>

namespace mapkit {

class AttributeTable;

struct ShapeData {
    bool valid = false;
    QString error;                   // why the file did not load, when not valid
    ShapeType type = ShapeType::Null;
    MapRect extent;                  // of the shapes read
    QStringList fieldNames;          // DBF fields, in file order
    // A DBF value as text (numbers trimmed, Null empty, text from Windows-1252); empty past the
    // table. A field is read from the file the first time one of its values is asked for, so a
    // wide table costs only the fields that are used. Not thread-safe.
    QString cell(int record, int field) const;
    QVector<MapShape> shapes;        // readable non-null records only; MapShape::record is the DBF record
    std::shared_ptr<AttributeTable> attributes;  // the open DBF and the fields read so far
};

// Position of a field by name (letter case ignored), -1 when missing.
int fieldIndex(const ShapeData &data, const QString &name);

// `shpPath` names the .shp file; .shx and .dbf lie beside it (letter case of the name ignored).
// Never throws: a missing, damaged or mismatched file set, or one whose headers claim more records
// than its files hold, gives valid == false; a damaged record is skipped, and so is a record whose
// bytes overlap those of another (an index listing one record many times gives it once). Polygons, lines and points (with Z or M variants) are read; other types are refused.
ShapeData readShapeFile(const QString &shpPath);

}  // namespace mapkit
