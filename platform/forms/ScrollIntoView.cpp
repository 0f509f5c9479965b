// Scroll-area reveal: lays out pending changes, then moves the vertical bar the least it must.
#include "ScrollIntoView.h"

#include <QCoreApplication>
#include <QLayout>
#include <QScrollArea>
#include <QScrollBar>

namespace forms {

void scrollIntoView(QWidget *first, QWidget *last)
{
    QScrollArea *area = nullptr;
    for (QWidget *w = first ? first->parentWidget() : nullptr; w && !area; w = w->parentWidget())
        area = qobject_cast<QScrollArea *>(w);
    QWidget *content = area ? area->widget() : nullptr;
    if (!content || !content->isAncestorOf(last))
        return;
    // A widget shown by the handler that calls this has no place yet: the layouts run when the
    // event loop next runs, and the pane's size follows them.
    if (content->layout())
        content->layout()->activate();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::LayoutRequest);

    const int top = first->mapTo(content, QPoint(0, 0)).y();
    const int bottom = last->mapTo(content, QPoint(0, last->height())).y();
    QScrollBar *bar = area->verticalScrollBar();
    const int view = area->viewport()->height();
    int value = bar->value();
    if (bottom - top > view || top < value)
        value = top;
    else if (bottom > value + view)
        value = bottom - view;
    bar->setValue(value);
}

}  // namespace forms
