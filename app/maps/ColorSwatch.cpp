// Colour swatch painted through its palette.
#include "ColorSwatch.h"

#include <QEvent>
#include <QMouseEvent>

namespace pendra {

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
    pal.setColor(QPalette::Window, forms::toQColor(color));
    setPalette(pal);
}

void ColorSwatch::mouseReleaseEvent(QMouseEvent *event)
{
    if (isEnabled() && event->button() == Qt::LeftButton && rect().contains(event->position().toPoint()))
        emit clicked();
}

void ColorSwatch::changeEvent(QEvent *event)
{
    // A disabled swatch keeps showing its colour, as a picture box does.
    if (event->type() == QEvent::EnabledChange)
        setColor(m_color);
    QFrame::changeEvent(event);
}

}  // namespace pendra
