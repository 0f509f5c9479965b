// Work area of a window and the fitting of a window into it.
#include "WorkArea.h"

#include "FormRegistry.h"

#include <QGuiApplication>
#include <QMdiArea>
#include <QScreen>
#include <QWidget>
#include <algorithm>

namespace forms {

namespace {

// The start within [low, low + room) that moves a span of `length` starting at `start` the least.
int clampStart(int start, int length, int low, int room)
{
    return std::max(low, std::min(start, low + room - length));
}

}  // namespace

QRect workArea(const QWidget *frame)
{
    if (!frame->isWindow()) {
        const QWidget *parent = frame->parentWidget();
        return parent && parent->isVisible() ? parent->rect() : QRect();
    }
    if (const QMdiArea *area = FormRegistry::mdiArea(); area && area->isVisible()) {
        const QWidget *viewport = area->viewport();
        return QRect(viewport->mapToGlobal(QPoint(0, 0)), viewport->size());
    }
    const QScreen *screen = frame->screen() ? frame->screen() : QGuiApplication::primaryScreen();
    return screen ? screen->availableGeometry() : QRect();
}

void fitInWorkArea(QWidget *frame)
{
    const QRect area = workArea(frame);
    if (area.isEmpty())
        return;
    // A top-level window is placed by its outer frame, the window manager's border included.
    const bool window = frame->isWindow();
    const QSize border = window ? frame->frameGeometry().size() - frame->size() : QSize(0, 0);
    const QSize least = frame->minimumSizeHint().expandedTo(frame->minimumSize());
    const QSize size = frame->size().boundedTo(area.size() - border).expandedTo(least);
    if (size != frame->size())
        frame->resize(size);
    const QRect outer = window ? frame->frameGeometry() : frame->geometry();
    const QPoint inside(clampStart(outer.x(), outer.width(), area.x(), area.width()),
                        clampStart(outer.y(), outer.height(), area.y(), area.height()));
    if (inside != outer.topLeft())
        frame->move(inside);
}

}  // namespace forms
