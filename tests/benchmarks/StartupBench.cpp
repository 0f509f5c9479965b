// bench_startup: time from launching a process to its main window on screen, for the program on
// the sample atlas and on its municipal copy, and for a minimal Qt program (one maximized main
// window, a menu, an MDI area), the floor any Qt program pays. Goal: at most 2 times the floor on
// the sample, 2.5 times on the municipal copy.
#include "BenchFolders.h"

#include "app/core/Program.h"
#include "app/core/frmMainMDI.h"
#include "com/Registry.h"
#include "forms/FormRegistry.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QMainWindow>
#include <QMdiArea>
#include <QMenuBar>
#include <QProcess>
#include <QTemporaryDir>
#include <QWindow>

#include <algorithm>
#include <cstdio>
#include <unistd.h>

namespace {

// Runs the event loop until the window is on screen, then tells the parent and leaves at once.
[[noreturn]] void reportShown(QWidget *window)
{
    while (!window->windowHandle() || !window->windowHandle()->isExposed())
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 20);
    std::fputs("shown\n", stdout);
    std::fflush(stdout);
    _exit(0);
}

[[noreturn]] void minimalChild(int argc, char **argv)
{
    QApplication app(argc, argv);
    QMainWindow window;
    window.menuBar()->addMenu("Dati")->addAction("Variabili");
    window.setCentralWidget(new QMdiArea);
    window.showMaximized();
    reportShown(&window);
}

[[noreturn]] void programChild(int argc, char **argv, const QString &folder, const QString &lockFolder)
{
    QApplication app(argc, argv);
    pendra::installQtTranslation();
    pendra::setProgramFolder(folder);
    pendra::setInstanceLockFolder(lockFolder);
    pendra::frmMainMDI *main = forms::FormRegistry::get<pendra::frmMainMDI>();
    if (!main->isVisible())
        main->showMaximized();
    reportShown(main);
}

// Wall time in milliseconds from start to "shown"; negative when the child failed.
double launch(const QStringList &arguments)
{
    QProcess child;
    child.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    QElapsedTimer clock;
    clock.start();
    child.start(QCoreApplication::applicationFilePath(), arguments);
    if (!child.waitForReadyRead(30000) || !child.readAll().startsWith("shown")) {
        std::fprintf(stderr, "launch failed: %s\n", qPrintable(arguments.join(' ')));
        return -1;
    }
    const double ms = clock.nsecsElapsed() / 1e6;
    child.waitForFinished();
    return ms;
}

double median(QVector<double> times)
{
    std::sort(times.begin(), times.end());
    return times.isEmpty() || times.first() < 0 ? -1 : times[times.size() / 2];
}

}  // namespace

int main(int argc, char **argv)
{
    if (argc >= 2 && qstrcmp(argv[1], "--minimal") == 0)
        minimalChild(argc, argv);
    if (argc >= 4 && qstrcmp(argv[1], "--program") == 0)
        programChild(argc, argv, QString::fromLocal8Bit(argv[2]), QString::fromLocal8Bit(argv[3]));

    QCoreApplication app(argc, argv);
    if (qEnvironmentVariableIsEmpty("DISPLAY") && qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QTemporaryDir dir;
    com::setRegistryPath(dir.path() + "/components.ini");  // inherited by the children
    com::registerServer(QStringLiteral(KVR_UTIL_PROV_PATH));
    bench::Ratios ratios;
    bool ok = true;
    for (const bench::Folder &f : bench::folders()) {
        // Alternating, so both meet the same load of the machine.
        QVector<double> floors, programs;
        for (int i = 0; i < std::max(f.runs, 5); ++i) {
            floors << launch({"--minimal"});
            programs << launch({"--program", f.root, dir.path()});
        }
        const double floor = median(floors);
        const double program = median(programs);
        ok = ok && floor > 0 && program > 0;
        ratios.add("startup", f.territories, program, floor);
    }
    return ok ? 0 : 1;
}
