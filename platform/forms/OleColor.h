// Colours as 0x00BBGGRR values; 0x80000000 | n names the system colour n (15: button face).
#pragma once

#include <QColor>
#include <QtGlobal>

namespace forms {

using OleColor = quint32;
constexpr OleColor ButtonFace = 0x8000000F;

// System colours map to the application palette (button face: QPalette::Button).
QColor toQColor(OleColor color);
OleColor toOleColor(const QColor &color);  // alpha is dropped

}  // namespace forms
