// The records a layer search found: fields by name as text, the geometry as field "Shape".
#pragma once

#include "MapShape.h"
#include "ShapeReader.h"

#include <QString>
#include <QVector>
#include <memory>

namespace mapkit {

// A forward walk over found records; it shares the layer's data, so it stays usable after the
// layer is gone. An empty record set starts at its end.
class MapRecordset {
public:
    MapRecordset() = default;
    MapRecordset(std::shared_ptr<const ShapeData> data, QVector<int> shapeIndexes);

    bool eof() const { return m_pos >= m_found.size(); }
    void moveNext() { if (!eof()) ++m_pos; }
    void moveFirst() { m_pos = 0; }
    int recordCount() const { return int(m_found.size()); }

    // The current record's field as text, the name matched without regard to case; an unknown name
    // throws vb::Error 3265, no current record 3021.
    QString text(const QString &fieldName) const;
    // The current record's geometry (the field "Shape"); no current record throws vb::Error 3021.
    const MapShape &shape() const;
    QStringList fieldNames() const;

private:
    std::shared_ptr<const ShapeData> m_data;
    QVector<int> m_found;  // indexes into m_data->shapes
    qsizetype m_pos = 0;
};

}  // namespace mapkit
