// Shape files are read with shapelib; every ring of a polygon shape is a closed part.
#include "ShapeFiles.h"

#include "vb/Error.h"

#include <QFile>
#include <shapefil.h>

#include <cmath>

namespace atlas {

namespace {

const char *const kExtensions[] = {".shp", ".shx", ".dbf", ".cpg", ".prj"};

void copyFile(const QString &from, const QString &to) {
    if (QFile::exists(to))
        QFile::remove(to);
    if (!QFile::copy(from, to))
        throw vb::Error(vb::err::FileNotFound, QStringLiteral("Cannot copy %1 to %2").arg(from, to),
                        QStringLiteral("ShapeFiles"));
}

template <typename Visit>
bool eachPolygon(const QString &base, Visit visit) {
    const QByteArray path = QFile::encodeName(base);
    SHPHandle shp = SHPOpen(path.constData(), "rb");
    DBFHandle dbf = DBFOpen(path.constData(), "rb");
    if (!shp || !dbf) {
        if (shp)
            SHPClose(shp);
        if (dbf)
            DBFClose(dbf);
        return false;
    }
    int count = 0;
    SHPGetInfo(shp, &count, nullptr, nullptr, nullptr);
    for (int i = 0; i < count; ++i) {
        SHPObject *obj = SHPReadObject(shp, i);
        if (!obj)
            continue;
        QVector<QPolygonF> rings;
        for (int part = 0; part < obj->nParts; ++part) {
            const int begin = obj->panPartStart[part];
            const int end = part + 1 < obj->nParts ? obj->panPartStart[part + 1] : obj->nVertices;
            QPolygonF ring;
            for (int v = begin; v < end; ++v)
                ring << QPointF(obj->padfX[v], obj->padfY[v]);
            rings.append(ring);
        }
        visit(dbf, i, rings);
        SHPDestroyObject(obj);
    }
    SHPClose(shp);
    DBFClose(dbf);
    return true;
}

// Signed shoelace area: shape files store outer rings clockwise (negative here) and holes
// counter-clockwise, so the sum is minus the land area.
double signedArea(const QPolygonF &ring) {
    double a = 0;
    for (int i = 0, j = int(ring.size()) - 1; i < ring.size(); j = i++)
        a += ring[j].x() * ring[i].y() - ring[i].x() * ring[j].y();
    return a / 2;
}

}  // namespace

QStringList ShapeFiles::setNames() {
    return {QStringLiteral("regioni"), QStringLiteral("province103"), QStringLiteral("province107"),
            QStringLiteral("nuts2"), QStringLiteral("italia"), QStringLiteral("confiniregionali")};
}

void ShapeFiles::copy(const QString &source, const QString &target) {
    for (const QString &set : setNames()) {
        const QString from = set == QLatin1String("confiniregionali") ? QStringLiteral("regioni") : set;
        for (const char *ext : kExtensions)
            copyFile(source + from + QLatin1String(ext), target + set + QLatin1String(ext));
    }
}

QHash<int, double> ShapeFiles::provinceAreas(const QString &source) {
    QHash<int, double> areas;
    eachPolygon(source + QStringLiteral("province107"), [&](DBFHandle dbf, int record, const QVector<QPolygonF> &rings) {
        const int field = DBFGetFieldIndex(dbf, "COD_PROV");
        if (field < 0)
            return;
        double sum = 0;
        for (const QPolygonF &ring : rings)
            sum += signedArea(ring);
        areas.insert(DBFReadIntegerAttribute(dbf, record, field), std::abs(sum) / 1e6);
    });
    return areas;
}

QVector<QPolygonF> ShapeFiles::outline(const QString &source, QRectF *bounds) {
    QVector<QPolygonF> out;
    QRectF box;
    eachPolygon(source + QStringLiteral("italia"), [&](DBFHandle, int, const QVector<QPolygonF> &rings) {
        for (const QPolygonF &ring : rings) {
            out.append(ring);
            box = box.united(ring.boundingRect());
        }
    });
    if (bounds)
        *bounds = box;
    return out;
}

}  // namespace atlas
