// Conversion between 0x00BBGGRR colours, system colour numbers and QColor.
#include "OleColor.h"

#include <QGuiApplication>
#include <QPalette>

namespace forms {

namespace {
QColor systemColor(quint32 index)
{
    const QPalette pal = qGuiApp ? QGuiApplication::palette() : QPalette();
    switch (index) {
    case 5: return pal.color(QPalette::Base);          // window background
    case 8: return pal.color(QPalette::Text);          // window text
    case 12: return pal.color(QPalette::Window);       // MDI work area
    case 13: return pal.color(QPalette::Highlight);
    case 14: return pal.color(QPalette::HighlightedText);
    case 18: return pal.color(QPalette::ButtonText);
    case 15:
    default: return pal.color(QPalette::Button);
    }
}
}  // namespace

QColor toQColor(OleColor color)
{
    if (color & 0x80000000u)
        return systemColor(color & 0xFFu);
    return QColor(int(color & 0xFF), int((color >> 8) & 0xFF), int((color >> 16) & 0xFF));
}

OleColor toOleColor(const QColor &color)
{
    return OleColor(color.red()) | (OleColor(color.green()) << 8) | (OleColor(color.blue()) << 16);
}

}  // namespace forms
