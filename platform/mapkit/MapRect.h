// A rectangle in map units (left < right, bottom < top: north is up), as extents and searches use it.
#pragma once

#include <QPointF>
#include <algorithm>

namespace mapkit {

struct MapRect {
    double left = 0, top = 0, right = 0, bottom = 0;

    double width() const { return right - left; }
    double height() const { return top - bottom; }
    bool isEmpty() const { return !(width() > 0) && !(height() > 0); }
    QPointF center() const { return {(left + right) / 2, (top + bottom) / 2}; }
    bool contains(const QPointF &p) const { return p.x() >= left && p.x() <= right && p.y() >= bottom && p.y() <= top; }
    bool intersects(const MapRect &o) const
    {
        return !(o.left > right || o.right < left || o.bottom > top || o.top < bottom);
    }
    MapRect united(const MapRect &o) const
    {
        return {std::min(left, o.left), std::max(top, o.top), std::max(right, o.right), std::min(bottom, o.bottom)};
    }
    MapRect grownBy(double d) const { return {left - d, top + d, right + d, bottom - d}; }
    // Scaled about the centre: 1.5 widens each side by half its half-size.
    MapRect scaled(double factor) const
    {
        const QPointF c = center();
        const double hw = width() * factor / 2, hh = height() * factor / 2;
        return {c.x() - hw, c.y() + hh, c.x() + hw, c.y() - hh};
    }
    bool operator==(const MapRect &) const = default;
};

}  // namespace mapkit
