// Pendra: starts the main window, whose load runs the start-up, then the message loop.
#include "core/frmMainMDI.h"

#include "forms/FormRegistry.h"

#include <QApplication>

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    QApplication::setApplicationName("Pendra");
    QApplication::setApplicationDisplayName("Pendra");
    pendra::frmMainMDI *main = forms::FormRegistry::get<pendra::frmMainMDI>();
    // A start-up step that failed before the menu leaves the window to be shown here.
    if (!main->isVisible())
        main->showMaximized();
    return app.exec();
}
