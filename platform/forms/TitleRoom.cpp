// The width a dialog's title needs, and giving a dialog that width.
#include "TitleRoom.h"

#include <QApplication>
#include <QBoxLayout>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QScreen>
#include <QWidget>
#include <algorithm>

namespace forms {

int titleRoom(const QWidget &window)
{
    QString title = window.windowTitle();
    title.remove(QStringLiteral("[*]"));
    title = title.trimmed();
    if (title.isEmpty())
        return 0;
    QFont font = QApplication::font("QMdiSubWindowTitleBar");
    font.setBold(true);
    const QFontMetrics metrics(font);
    // Desktops draw their title bars in their own font, often larger than the program's; an icon
    // and three buttons, each about a title bar (1.6 lines) wide, sit beside the title.
    const int room = metrics.horizontalAdvance(title) * 3 / 2 + 4 * metrics.height() * 8 / 5 + 2 * metrics.height();
    const QScreen *screen = window.screen() ? window.screen() : QGuiApplication::primaryScreen();
    return screen ? std::min(room, screen->availableGeometry().width()) : room;
}

void makeRoomForTitle(QWidget &window)
{
    const int room = titleRoom(window);
    if (room <= std::max(window.minimumWidth(), window.minimumSizeHint().width()))
        return;
    // A layout that sets its window's minimum itself (Qt's input dialog fixes its size to its
    // layout's) would undo a minimum width; a column layout keeps a strut whatever it sets.
    auto *column = qobject_cast<QBoxLayout *>(window.layout());
    if (column && (column->direction() == QBoxLayout::TopToBottom || column->direction() == QBoxLayout::BottomToTop)) {
        const QMargins margins = column->contentsMargins();
        column->addStrut(room - margins.left() - margins.right());
    } else {
        window.setMinimumWidth(room);
    }
}

}  // namespace forms
