// Shape-file reading through shapelib: every count, offset and coordinate is checked before use.
#include "ShapeReader.h"

#include "vb/TextFile.h"

#include <QFileInfo>
#include <shapefil.h>

#include <cmath>
#include <memory>

namespace mapkit {

namespace {

struct ShpCloser { void operator()(SHPInfo *h) const { SHPClose(h); } };
struct DbfCloser { void operator()(DBFInfo *h) const { DBFClose(h); } };
struct ObjDestroyer { void operator()(SHPObject *o) const { SHPDestroyObject(o); } };

ShapeType typeOf(int shpType)
{
    switch (shpType) {
    case SHPT_POINT: case SHPT_POINTZ: case SHPT_POINTM:
    case SHPT_MULTIPOINT: case SHPT_MULTIPOINTZ: case SHPT_MULTIPOINTM:
        return ShapeType::Point;
    case SHPT_ARC: case SHPT_ARCZ: case SHPT_ARCM:
        return ShapeType::Line;
    case SHPT_POLYGON: case SHPT_POLYGONZ: case SHPT_POLYGONM:
        return ShapeType::Polygon;
    default:
        return ShapeType::Null;
    }
}

// The file beside `shp` with the extension `ext`, whatever the letter case of the name.
QString sibling(const QString &shp, const QString &ext)
{
    const QFileInfo info(shp);
    return vb::resolvePathNoCase(info.path() + QLatin1Char('/') + info.completeBaseName() + ext);
}

// Converts one shapelib object, or returns false when its parts or coordinates do not add up.
bool convert(const SHPObject &obj, ShapeType type, MapShape &shape)
{
    const int n = obj.nVertices;
    if (n <= 0 || !obj.padfX || !obj.padfY)
        return false;
    for (int i = 0; i < n; ++i)
        if (!std::isfinite(obj.padfX[i]) || !std::isfinite(obj.padfY[i]))
            return false;
    shape.type = type;
    if (type == ShapeType::Point) {
        QVector<QPointF> pts;
        pts.reserve(n);
        for (int i = 0; i < n; ++i)
            pts.append({obj.padfX[i], obj.padfY[i]});
        shape.parts.append(pts);
    } else {
        const int parts = obj.nParts > 0 ? obj.nParts : 1;
        for (int p = 0; p < parts; ++p) {
            const int start = obj.nParts > 0 && obj.panPartStart ? obj.panPartStart[p] : 0;
            const int end = p + 1 < parts && obj.panPartStart ? obj.panPartStart[p + 1] : n;
            if (start < 0 || end > n || start > end)
                return false;
            QVector<QPointF> ring;
            ring.reserve(end - start);
            for (int i = start; i < end; ++i)
                ring.append({obj.padfX[i], obj.padfY[i]});
            if (ring.size() < (type == ShapeType::Polygon ? 3 : 2))
                continue;
            if (type == ShapeType::Polygon) {
                shape.path.addPolygon(QPolygonF(ring));
                shape.path.closeSubpath();
            } else {
                shape.path.addPolygon(QPolygonF(ring));
            }
            shape.parts.append(ring);
        }
        if (shape.parts.isEmpty())
            return false;
        shape.path.setFillRule(Qt::OddEvenFill);
    }
    double l = obj.padfX[0], r = l, b = obj.padfY[0], t = b;
    for (int i = 1; i < n; ++i) {
        l = std::min(l, obj.padfX[i]); r = std::max(r, obj.padfX[i]);
        b = std::min(b, obj.padfY[i]); t = std::max(t, obj.padfY[i]);
    }
    shape.bounds = {l, t, r, b};
    return true;
}

}  // namespace

int fieldIndex(const ShapeData &data, const QString &name)
{
    for (qsizetype i = 0; i < data.fieldNames.size(); ++i)
        if (data.fieldNames[i].compare(name, Qt::CaseInsensitive) == 0)
            return int(i);
    return -1;
}

ShapeData readShapeFile(const QString &shpPath)
{
    ShapeData data;
    const QString shp = vb::resolvePathNoCase(shpPath);
    if (!QFileInfo(shp).isFile()) {
        data.error = QStringLiteral("File not found: %1").arg(shpPath);
        return data;
    }
    const QString shx = sibling(shp, QStringLiteral(".shx"));
    const QString dbf = sibling(shp, QStringLiteral(".dbf"));
    if (!QFileInfo(shx).isFile() || !QFileInfo(dbf).isFile()) {
        data.error = QStringLiteral("Missing .shx or .dbf beside %1").arg(shpPath);
        return data;
    }
    // shapelib opens "<base>.shp" and "<base>.shx" itself; give it the .shp path so it finds the pair.
    std::unique_ptr<SHPInfo, ShpCloser> hshp(SHPOpen(QFile::encodeName(shp).constData(), "rb"));
    std::unique_ptr<DBFInfo, DbfCloser> hdbf(DBFOpen(QFile::encodeName(dbf).constData(), "rb"));
    if (!hshp || !hdbf) {
        data.error = QStringLiteral("Cannot read %1").arg(shpPath);
        return data;
    }
    int entities = 0, shpType = 0;
    SHPGetInfo(hshp.get(), &entities, &shpType, nullptr, nullptr);
    data.type = typeOf(shpType);
    const int records = DBFGetRecordCount(hdbf.get());
    if (data.type == ShapeType::Null || entities < 0 || records != entities) {
        data.error = QStringLiteral("Unsupported or mismatched shape file %1").arg(shpPath);
        return data;
    }

    const int fields = DBFGetFieldCount(hdbf.get());
    for (int f = 0; f < fields; ++f) {
        char name[XBASE_FLDNAME_LEN_READ + 1] = {};
        DBFGetFieldInfo(hdbf.get(), f, name, nullptr, nullptr);
        data.fieldNames.append(vb::fromCp1252(QByteArray(name)));
    }
    data.rows.reserve(records);
    for (int r = 0; r < records; ++r) {
        QStringList row;
        row.reserve(fields);
        for (int f = 0; f < fields; ++f) {
            if (DBFIsAttributeNULL(hdbf.get(), r, f)) {
                row.append(QString());
                continue;
            }
            const char *text = DBFReadStringAttribute(hdbf.get(), r, f);
            row.append(text ? vb::fromCp1252(QByteArray(text)).trimmed() : QString());
        }
        data.rows.append(row);
    }

    bool first = true;
    for (int i = 0; i < entities; ++i) {
        std::unique_ptr<SHPObject, ObjDestroyer> obj(SHPReadObject(hshp.get(), i));
        if (!obj || obj->nSHPType == SHPT_NULL || typeOf(obj->nSHPType) != data.type)
            continue;  // damaged or empty record: skipped
        MapShape shape;
        shape.record = i;
        if (!convert(*obj, data.type, shape))
            continue;
        data.extent = first ? shape.bounds : data.extent.united(shape.bounds);
        first = false;
        data.shapes.append(std::move(shape));
    }
    data.valid = true;
    return data;
}

}  // namespace mapkit
