// Boundary layers and their styles from "ShapeConfig.xml": loading them onto a map and saving one style back.
#pragma once

#include "MapLayerRecord.h"

#include <QString>
#include <QVector>
#include <functional>

namespace mapkit {
class MapWidget;
}

namespace pendra {

// Reads the case `mapCase` of filesPath + "ShapeConfig.xml" into MapLayers (rewritten from index 0,
// existing layer objects kept), sets the map's background colour and MatchLayerIndex (the last
// layer whose Label has useToMatch true; unchanged when none), then adds the layer of every record
// whose shapePath + FileName + ".shp" loads, styled from its record; a file that does not load is
// skipped silently. A loaded layer is named FileName and also found under GeoName (its alias).
// MapLayers ends with the last child read, so records of layers the case no longer lists go.
// refreshScale, when given, runs at the end.
// Throws vb::Error: 91 for an unreadable or malformed file, a missing case, element or attribute;
// 13 (or 6) for a colour that is not a 32-bit integer or a useToMatch that is not a Boolean. The
// layers added before the failure stay on the map.
void LoadLayers(mapkit::MapWidget &map, QVector<MapLayerRecord> &MapLayers, int &MatchLayerIndex,
                const QString &filesPath, const QString &shapePath, const QString &mapCase,
                const std::function<void()> &refreshScale = {});

// Gives every record's own layer object (created when missing) the record's style.
void ApplyLayerSymbols(QVector<MapLayerRecord> &MapLayers);

// Gives a map layer a record's style: fill, outline flag and colour, transparency, size 1.
void ApplyRecordStyle(mapkit::MapLayer &layer, const MapLayerRecord &record);

// Saves the map background colour into the case, and the record's style into the first child of
// the case whose text is exactly `entryText` (none: the background colour only). The file is
// written, in the encoding the file was in, to a temporary file beside it and put in place under
// its existing name only once all of it is on disk, so a failure (a full disk too) leaves the old
// file as it was. Throws vb::Error (91 file or case missing or malformed, 75 not writable, 61 disk
// full).
void SaveLayerStyle(const QString &filesPath, const QString &mapCase, const QString &entryText,
                    const MapLayerRecord &record, forms::OleColor mapBackColor);

// Texts the reader takes as true for Outline and Trasparenza: exactly "True" or "Vero".
bool ConfigFlag(const QString &text);

}  // namespace pendra
