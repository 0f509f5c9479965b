// Twips, the unit of window geometry in the original program: 15 to a pixel (96 dpi).
#pragma once

namespace forms {

constexpr int TwipsPerPixel = 15;
constexpr double twipsToPixels(double twips) { return twips / TwipsPerPixel; }
constexpr double pixelsToTwips(double pixels) { return pixels * TwipsPerPixel; }

}  // namespace forms
