// Field access of found records.
#include "MapRecordset.h"

#include "vb/Error.h"

namespace mapkit {

MapRecordset::MapRecordset(std::shared_ptr<const ShapeData> data, QVector<int> shapeIndexes)
    : m_data(std::move(data)), m_found(std::move(shapeIndexes))
{
}

const MapShape &MapRecordset::shape() const
{
    if (eof())
        throw vb::Error::of(vb::err::NoCurrentRecord, QStringLiteral("MapRecordset"));
    return m_data->shapes[m_found[m_pos]];
}

QString MapRecordset::text(const QString &fieldName) const
{
    const MapShape &s = shape();
    const qsizetype f = fieldIndex(*m_data, fieldName);
    if (f < 0)
        throw vb::Error::of(vb::err::ItemNotFound, QStringLiteral("MapRecordset"));
    return m_data->cell(s.record, f);
}

QStringList MapRecordset::fieldNames() const
{
    return m_data ? m_data->fieldNames : QStringList();
}

}  // namespace mapkit
