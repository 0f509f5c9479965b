// Pendra: starts the main window, whose load runs the start-up, then the message loop.
#include "app/core/frmMainMDI.h"

#include "app/core/CoreWindows.h"
#include "app/core/Program.h"
#include "app/core/Startup.h"
#include "app/maps/MapWindows.h"
#include "app/metadata/MetadataWindows.h"
#include "app/query/QueryWindows.h"

#include "forms/FormRegistry.h"

#include <QApplication>
#include <QFileInfo>

int main(int argc, char **argv)
{
    {
        // The keys take longer to derive than Qt takes to set itself up: those of the program's
        // own folders start now; start-up adds the folders it settles on when they differ.
        const QString own = QFileInfo(QStringLiteral("/proc/self/exe")).canonicalPath();
        if (!own.isEmpty())
            pendra::deriveKeysAhead(own + "/Databases/", own + "/Files/");
    }
    QApplication app(argc, argv);
    pendra::setUpApplication();
    // Every work window is reachable from the menu before the menu is built.
    pendra::registerCoreOpeners();
    pendra::registerHelpKey();
    pendra::registerQueryOpeners();
    pendra::registerMapOpeners();
    pendra::registerMetadataOpeners();
    pendra::frmMainMDI *main = forms::FormRegistry::get<pendra::frmMainMDI>();
    // A start-up step that failed before the menu leaves the window to be shown here.
    if (!main->isVisible())
        main->showMaximized();
    return app.exec();
}
