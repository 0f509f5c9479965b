// Point-in-polygon and distance tests of one shape.
#include "MapShape.h"

#include <cmath>
#include <limits>

namespace mapkit {

namespace {
double segmentDistance(const QPointF &p, const QPointF &a, const QPointF &b)
{
    const double dx = b.x() - a.x(), dy = b.y() - a.y();
    const double len2 = dx * dx + dy * dy;
    double t = len2 > 0 ? ((p.x() - a.x()) * dx + (p.y() - a.y()) * dy) / len2 : 0;
    t = std::clamp(t, 0.0, 1.0);
    return std::hypot(p.x() - (a.x() + t * dx), p.y() - (a.y() + t * dy));
}
}  // namespace

QPainterPath MapShape::painterPath() const
{
    QPainterPath path;
    if (type == ShapeType::Point)
        return path;
    path.setFillRule(Qt::OddEvenFill);
    for (const QVector<QPointF> &part : parts) {
        path.addPolygon(QPolygonF(part));
        if (type == ShapeType::Polygon)
            path.closeSubpath();
    }
    return path;
}

bool MapShape::contains(const QPointF &p) const
{
    if (type != ShapeType::Polygon || !bounds.contains(p))
        return false;
    bool inside = false;
    for (const QVector<QPointF> &ring : parts) {
        const qsizetype n = ring.size();
        for (qsizetype i = 0, j = n - 1; i < n; j = i++) {
            const QPointF &a = ring[i], &b = ring[j];
            if ((a.y() > p.y()) != (b.y() > p.y())
                && p.x() < (b.x() - a.x()) * (p.y() - a.y()) / (b.y() - a.y()) + a.x())
                inside = !inside;
        }
    }
    return inside;
}

double MapShape::distanceTo(const QPointF &p) const
{
    if (contains(p))
        return 0;
    double best = std::numeric_limits<double>::infinity();
    for (const QVector<QPointF> &part : parts) {
        if (type == ShapeType::Point || part.size() == 1) {
            for (const QPointF &q : part)
                best = std::min(best, std::hypot(p.x() - q.x(), p.y() - q.y()));
            continue;
        }
        for (qsizetype i = 1; i < part.size(); ++i)
            best = std::min(best, segmentDistance(p, part[i - 1], part[i]));
    }
    return best;
}

}  // namespace mapkit
