// A clickable colour swatch (a picture box showing one colour); its click opens nothing by itself.
#pragma once

#include "forms/OleColor.h"

#include <QColor>
#include <QFrame>

class QPalette;

namespace pendra {

// The colour a disabled swatch shows: its own, washed out towards the disabled background, so the
// choice stays readable while the control looks unavailable.
QColor disabledSwatchColor(const QColor &color, const QPalette &palette);

class ColorSwatch : public QFrame {
    Q_OBJECT
public:
    explicit ColorSwatch(const QString &accessibleName, QWidget *parent = nullptr);
    forms::OleColor color() const { return m_color; }
    void setColor(forms::OleColor color);

signals:
    void clicked();

protected:
    void mouseReleaseEvent(QMouseEvent *event) override;

private:
    forms::OleColor m_color = 0xFFFFFF;
};

}  // namespace pendra
