// A colour swatch (a picture box showing one colour) that acts as a button: a click, Space or
// Return emits clicked(); what it opens is its owner's business.
#pragma once

#include "forms/OleColor.h"

#include <QAbstractButton>
#include <QColor>

class QPalette;

namespace pendra {

// The colour a disabled swatch shows: its own, washed out towards the disabled background, so the
// choice stays readable while the control looks unavailable.
QColor disabledSwatchColor(const QColor &color, const QPalette &palette);

// How a screen reader describes a colour: "rosso 255, verde 128, blu 0".
QString colorDescription(forms::OleColor color);

// Takes the focus by Tab and by click; its accessible description is its colour.
class ColorSwatch : public QAbstractButton {
    Q_OBJECT
public:
    explicit ColorSwatch(const QString &accessibleName, QWidget *parent = nullptr);
    forms::OleColor color() const { return m_color; }
    void setColor(forms::OleColor color);

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;

private:
    forms::OleColor m_color = 0xFFFFFF;
};

}  // namespace pendra
