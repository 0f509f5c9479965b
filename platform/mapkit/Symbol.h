// Drawing style of a layer or of one renderer entry: fill and outline colours, flags, size, font marker.
#pragma once

#include "forms/OleColor.h"

#include <QFont>

namespace mapkit {

enum SymbolStyle : int { SolidFill = 0, TransparentFill = 1 };
enum SymbolType : int { PointSymbol = 0, LineSymbol = 1, FillSymbol = 2 };

struct Symbol {
    forms::OleColor color = 0x00C0C0C0;   // fill (polygons), line or marker colour
    forms::OleColor outlineColor = 0;     // black
    bool outline = true;
    int size = 1;                         // outline or line width, marker size, in pixels
    int style = SolidFill;                // SolidFill or TransparentFill for fills
    int symbolType = FillSymbol;
    QFont font;                           // marker font of a point symbol drawn as a character
    int characterIndex = 0;               // 0: a round marker instead of a character
};

}  // namespace mapkit
