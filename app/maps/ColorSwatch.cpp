// Colour swatch painted through its palette, with a focus frame and the keys of a button.
#include "ColorSwatch.h"

#include <QGuiApplication>
#include <QKeyEvent>
#include <QPainter>
#include <QPalette>

namespace pendra {

QColor disabledSwatchColor(const QColor &color, const QPalette &palette)
{
    const QColor back = palette.color(QPalette::Disabled, QPalette::Window);
    constexpr double kept = 0.35;
    auto mix = [&](int own, int other) { return int(own * kept + other * (1 - kept) + 0.5); };
    return QColor(mix(color.red(), back.red()), mix(color.green(), back.green()), mix(color.blue(), back.blue()));
}

QString colorDescription(forms::OleColor color)
{
    const QColor c = forms::toQColor(color);
    return QStringLiteral("rosso %1, verde %2, blu %3").arg(c.red()).arg(c.green()).arg(c.blue());
}

ColorSwatch::ColorSwatch(const QString &accessibleName, QWidget *parent) : QAbstractButton(parent)
{
    setAccessibleName(accessibleName);
    setFocusPolicy(Qt::StrongFocus);
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
    setAccessibleDescription(colorDescription(color));
    update();
}

QSize ColorSwatch::sizeHint() const
{
    return minimumSize();
}

void ColorSwatch::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    const QColor fill = palette().color(QPalette::Window);
    p.fillRect(rect(), fill);
    p.setPen(palette().color(QPalette::WindowText));
    p.drawRect(rect().adjusted(0, 0, -1, -1));
    if (hasFocus()) {
        // The style's focus frame vanishes on some colours: a dotted frame that contrasts with this one.
        p.setPen(QPen(fill.lightness() > 128 ? Qt::black : Qt::white, 2, Qt::DotLine));
        p.drawRect(rect().adjusted(3, 3, -4, -4));
    }
}

void ColorSwatch::keyPressEvent(QKeyEvent *event)
{
    // Return and Enter act as Space does on a button: the swatch opens its choice at once.
    const bool plain = !(event->modifiers() & ~Qt::KeypadModifier);
    if (plain && (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter)) {
        event->accept();
        click();
        return;
    }
    QAbstractButton::keyPressEvent(event);
}

}  // namespace pendra
