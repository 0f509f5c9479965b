// bench_startup_floor: the least a Qt program with this main window pays to appear: one maximized
// main window with a menu bar and an MDI area, and nothing else linked.
#include <QApplication>
#include <QMainWindow>
#include <QMdiArea>
#include <QMenuBar>

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    QMainWindow window;
    window.menuBar()->addMenu(QStringLiteral("Dati"))->addAction(QStringLiteral("Variabili"));
    window.setCentralWidget(new QMdiArea);
    window.showMaximized();
    return app.exec();
}
