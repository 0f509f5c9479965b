// The committed boundary files: copying them into a program folder and reading what the other
// parts of the atlas take from them (province areas, the country's outline).
#pragma once

#include <QHash>
#include <QPolygonF>
#include <QRectF>
#include <QString>
#include <QStringList>
#include <QVector>

namespace atlas {

class ShapeFiles {
public:
    // Base names of the sets ShapeConfig.xml names, as they lie in the shapes folder.
    static QStringList setNames();

    // Copies every set from `source` to `target` (both ending in "/"), adding the copy of the
    // region boundaries that the province maps draw on top. Throws vb::Error on a missing file.
    static void copy(const QString &source, const QString &target);

    // Square kilometres of each 2006 province (by ISTAT number) from province107.shp; empty when
    // the file cannot be read.
    static QHash<int, double> provinceAreas(const QString &source);

    // The rings of the country outline in map units, and their bounding box; empty when missing.
    static QVector<QPolygonF> outline(const QString &source, QRectF *bounds = nullptr);
};

}  // namespace atlas
