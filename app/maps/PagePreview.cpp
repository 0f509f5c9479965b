// Preview widget of the print layout.
#include "PagePreview.h"

#include <QMouseEvent>
#include <QPainter>

namespace pendra {

PagePreview::PagePreview(QWidget *parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("Picture1"));
    setAccessibleName(QStringLiteral("Anteprima della pagina"));
    setAttribute(Qt::WA_OpaquePaintEvent);
    setFixedSize(429, 607);  // an A4 page until the layout sets the printer's page
}

void PagePreview::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.fillRect(rect(), Qt::white);
    emit paint(painter);
}

void PagePreview::mousePressEvent(QMouseEvent *event)
{
    emit mouseDown(event->button(), event->position(), event->globalPosition().toPoint());
}

void PagePreview::mouseMoveEvent(QMouseEvent *event)
{
    emit mouseMove(event->buttons(), event->position());
}

}  // namespace pendra
