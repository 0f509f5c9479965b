// A clickable colour swatch (a picture box showing one colour); its click opens nothing by itself.
#pragma once

#include "forms/OleColor.h"

#include <QFrame>

namespace pendra {

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
    void changeEvent(QEvent *event) override;

private:
    forms::OleColor m_color = 0xFFFFFF;
};

}  // namespace pendra
