// Screen pointer through Qt's override cursor, kept to at most one level.
#include "MousePointer.h"

#include <QCursor>
#include <QGuiApplication>

namespace forms {

namespace {
MousePointer g_pointer = MousePointer::Default;
}

void setMousePointer(MousePointer pointer)
{
    if (qGuiApp) {
        // Someone else's override stacks below ours; drop them all so Default means default.
        while (QGuiApplication::overrideCursor())
            QGuiApplication::restoreOverrideCursor();
        if (pointer == MousePointer::Hourglass)
            QGuiApplication::setOverrideCursor(QCursor(Qt::WaitCursor));
    }
    g_pointer = pointer;
}

MousePointer mousePointer()
{
    return g_pointer;
}

}  // namespace forms
