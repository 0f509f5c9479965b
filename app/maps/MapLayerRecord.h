// The map window's record of one configured boundary layer, as "ShapeConfig.xml" describes it.
#pragma once

#include "forms/OleColor.h"
#include "mapkit/MapLayer.h"

#include <QString>
#include <memory>

namespace pendra {

struct MapLayerRecord {
    QString FileName;
    QString GeoName;
    QString FieldId;
    std::shared_ptr<mapkit::MapLayer> Layer;  // created when first needed, named GeoName; kept across reloads
    bool Outline = false;
    forms::OleColor OutlineColor = 0;
    forms::OleColor BackColor = 0;
    bool Trasparenza = false;
    QString LandFields;
    QString LandMatch;
    QString Label;
};

}  // namespace pendra
