// Shape-file fixtures for the map kit tests.
#include "ShapeFixtures.h"

#include <QFile>
#include <shapefil.h>

namespace mapkit_test {

QString writeShapes(const QString &base, int shpType, const QVector<FixtureShape> &shapes)
{
    SHPHandle shp = SHPCreate(QFile::encodeName(base).constData(), shpType);
    DBFHandle dbf = DBFCreate(QFile::encodeName(base + ".dbf").constData());
    DBFAddField(dbf, "CODE", FTString, 10, 0);
    for (const FixtureShape &s : shapes) {
        QVector<double> x, y;
        QVector<int> starts;
        for (const auto &part : s.parts) {
            starts.append(int(x.size()));
            for (const QPointF &p : part) {
                x.append(p.x());
                y.append(p.y());
            }
        }
        SHPObject *obj = SHPCreateObject(shpType, -1, int(starts.size()), starts.data(), nullptr, int(x.size()),
                                         x.data(), y.data(), nullptr, nullptr);
        const int id = SHPWriteObject(shp, -1, obj);
        SHPDestroyObject(obj);
        DBFWriteStringAttribute(dbf, id, 0, s.code.toLatin1().constData());
    }
    SHPClose(shp);
    DBFClose(dbf);
    return base + ".shp";
}

namespace {
QVector<QPointF> square(double x0, double y0, double x1, double y1, bool clockwise)
{
    QVector<QPointF> r{{x0, y0}, {x0, y1}, {x1, y1}, {x1, y0}, {x0, y0}};
    if (!clockwise)
        std::reverse(r.begin(), r.end());
    return r;
}
}  // namespace

QString writeHoleFixture(const QString &base)
{
    return writeShapes(base, SHPT_POLYGON,
                       {{{square(0, 0, 100, 100, true), square(40, 40, 60, 60, false)}, "OUT"},
                        {{square(40, 40, 60, 60, true)}, "IN"},
                        {{square(200, 200, 300, 300, true)}, "FAR"}});
}

QString copySample(const QString &name, const QString &folder)
{
    for (const char *ext : {".shp", ".shx", ".dbf"})
        QFile::copy(QStringLiteral(SAMPLE_SHAPES) + name + ext, folder + "/" + name + ext);
    return folder + "/" + name + ".shp";
}

}  // namespace mapkit_test
