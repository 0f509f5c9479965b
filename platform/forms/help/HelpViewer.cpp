// The one help window of the program, created on first use and closed with the program.
#include "forms/help/HelpViewer.h"

#include "forms/help/ChmFile.h"
#include "forms/help/HelpWindow.h"
#include "forms/WorkArea.h"
#include "vb/Error.h"

#include <QApplication>
#include <QPointer>

namespace forms {

namespace {

QPointer<HelpWindow> g_window;

}  // namespace

void showHelp(const QString &chmPath, qint32 contextId)
{
    auto chm = std::make_shared<const ChmFile>(chmPath);
    QString topic = chm->topicForContext(contextId);
    if (topic.isEmpty())
        topic = chm->defaultTopic();
    if (topic.isEmpty())
        throw damagedHelpFile(chmPath);

    const bool opening = !g_window;
    if (opening) {
        g_window = new HelpWindow;
        g_window->setAttribute(Qt::WA_DeleteOnClose);
        // Closing the main window ends the program even while the help is open.
        g_window->setAttribute(Qt::WA_QuitOnClose, false);
        QObject::connect(qApp, &QCoreApplication::aboutToQuit, g_window, [] { delete g_window.data(); });
    }
    g_window->showTopic(std::move(chm), topic);
    g_window->setWindowState(g_window->windowState() & ~Qt::WindowMinimized);
    g_window->show();
    if (opening)
        fitInWorkArea(g_window);
    g_window->raise();
    g_window->activateWindow();
}

HelpWindow *helpWindow()
{
    return g_window.data();
}

}  // namespace forms
