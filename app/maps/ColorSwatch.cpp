// Colour swatch painted through its palette.
#include "ColorSwatch.h"

#include <QGuiApplication>
#include <QMouseEvent>
#include <QPalette>

namespace pendra {

QColor disabledSwatchColor(const QColor &color, const QPalette &palette)
{
    const QColor back = palette.color(QPalette::Disabled, QPalette::Window);
    constexpr double kept = 0.35;
    auto mix = [&](int own, int other) { return int(own * kept + other * (1 - kept) + 0.5); };
    return QColor(mix(color.red(), back.red()), mix(color.green(), back.green()), mix(color.blue(), back.blue()));
}

ColorSwatch::ColorSwatch(const QString &accessibleName, QWidget *parent) : QFrame(parent)
{
    setAccessibleName(accessibleName);
    setFrameShape(QFrame::Box);
    setAutoFillBackground(true);
    setMinimumSize(40, 18);
    setColor(m_color);
}

void ColorSwatch::setColor(forms::OleColor color)
{
    m_color = color;
    QPalette pal = palette();
    const QColor shown = forms::toQColor(color);
    pal.setColor(QPalette::Window, shown);
    pal.setColor(QPalette::Disabled, QPalette::Window, disabledSwatchColor(shown, QGuiApplication::palette()));
    setPalette(pal);
}

void ColorSwatch::mouseReleaseEvent(QMouseEvent *event)
{
    if (isEnabled() && event->button() == Qt::LeftButton && rect().contains(event->position().toPoint()))
        emit clicked();
}

}  // namespace pendra
