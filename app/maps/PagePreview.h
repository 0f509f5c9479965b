// The print layout's preview Picture1: a white page its owner draws on, reporting the mouse.
#pragma once

#include <QWidget>

namespace pendra {

class PagePreview : public QWidget {
    Q_OBJECT
public:
    explicit PagePreview(QWidget *parent = nullptr);

signals:
    void paint(QPainter &painter);  // after the page was cleared to white
    void mouseDown(Qt::MouseButton button, QPointF pixel, QPoint globalPos);
    void mouseMove(Qt::MouseButtons buttons, QPointF pixel);

protected:
    void paintEvent(QPaintEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
};

}  // namespace pendra
