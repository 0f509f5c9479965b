// What the print layout reads from the map window, once, when it opens.
#pragma once

#include "forms/OleColor.h"

#include <QSize>
#include <QString>
#include <QVector>

namespace pendra {

// One row of the map window's class grid GridIndici: column 0's background colour, column 1's text.
struct MapClassRow {
    forms::OleColor color = 0;
    QString label;
};

// Implemented by the map window. Calls may throw vb::Error; the layout logs and carries on.
class MapLayoutSource {
public:
    virtual ~MapLayoutSource() = default;
    // Writes the map's current view to `path` as a Qt metafile (QPicture, whose bounding rectangle
    // is the view's frame) and answers the view's size in HIMETRIC (hundredths of a millimetre).
    virtual QSize exportSnapshot(const QString &path) = 0;
    // The rows of GridIndici in order; after a drawing the last is the white "Dato non presente".
    virtual QVector<MapClassRow> classRows() = 0;
    // The text of txtVariabile.
    virtual QString description() = 0;
};

}  // namespace pendra
