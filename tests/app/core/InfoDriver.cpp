// Hand-run driver (not a test): starts the program on a program folder with the real dialogs, opens
// the information dialog from its menu command and runs "Aggiorna BD" (or "Aggiorna Mappe") with the
// given archive, choosing it in the file dialog and answering Yes; every message box is saved as a
// picture and printed, and so is the dialog at the end.
// Usage: info_driver <program folder> <archive> <picture folder> [mappe]
#include "app/core/CoreWindows.h"
#include "app/core/MainMenu.h"
#include "app/core/Program.h"
#include "app/core/frmInfo.h"
#include "app/core/frmMainMDI.h"

#include "forms/FormRegistry.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QScreen>
#include <QTextStream>
#include <QTimer>

#include <clocale>

namespace {

// No events are processed here: the robot's own timer would not fire inside a dialog opened meanwhile.
void picture(const QString &folder, const QString &name)
{
    QScreen *screen = QGuiApplication::primaryScreen();
    screen->grabWindow(0).save(folder + "/" + name + ".png", "PNG");
}

}  // namespace

int main(int argc, char **argv)
{
    QApplication application(argc, argv);
    std::setlocale(LC_NUMERIC, "C");
    if (argc < 4)
        return 2;
    const QString archive = QString::fromLocal8Bit(argv[2]);
    const QString pictures = QString::fromLocal8Bit(argv[3]);
    const bool maps = argc > 4 && QByteArray(argv[4]) == "mappe";
    QApplication::setApplicationName("Pendra");
    pendra::setProgramFolder(QString::fromLocal8Bit(argv[1]));
    pendra::installQtTranslation();
    pendra::registerCoreOpeners();
    QTextStream out(stdout);
    int shot = 0;
    bool started = false;
    QTimer robot;
    QObject::connect(&robot, &QTimer::timeout, [&] {
        QWidget *modal = QApplication::activeModalWidget();
        if (auto *files = qobject_cast<QFileDialog *>(modal)) {
            // As a user does: the whole path typed into the name box, then the dialog's own button.
            if (auto *name = files->findChild<QLineEdit *>("fileNameEdit"))
                name->setText(archive);
            if (auto *box = files->findChild<QDialogButtonBox *>("buttonBox"))
                if (QPushButton *open = box->button(QDialogButtonBox::Open))
                    open->click();
        } else if (auto *box = qobject_cast<QMessageBox *>(modal)) {
            picture(pictures, QString("%1-messaggio").arg(++shot, 2, 10, QChar('0')));
            out << "messaggio: " << box->text() << "\n";
            out.flush();
            QAbstractButton *yes = box->button(QMessageBox::Yes);
            (yes ? yes : box->buttons().value(0))->click();
        } else if (auto *info = qobject_cast<pendra::frmInfo *>(modal)) {
            if (!started) {
                started = true;
                picture(pictures, "00-prima");
                out << "etichette prima: " << info->lblVersioneBd()->text() << " | " << info->lblNote()->text() << "\n";
                out.flush();
                QTimer::singleShot(0, info, [info, maps] {
                    maps ? info->cmdAggiornaMappe_Click() : info->cmdAggiornaBd_Click();
                });
            } else {
                picture(pictures, "99-dopo");
                out << "etichette dopo: " << info->lblVersioneBd()->text() << " | " << info->lblNote()->text() << "\n";
                out.flush();
                info->cmdOK_Click();
                QTimer::singleShot(200, [] { QApplication::quit(); });
                robot.stop();
            }
        }
    });
    robot.start(700);
    // The start-up's own messages (an interrupted update settled) are met by the robot too.
    pendra::frmMainMDI *main = forms::FormRegistry::get<pendra::frmMainMDI>();
    if (!main->isVisible())
        main->showMaximized();
    QTimer::singleShot(1000, [] { pendra::openRegisteredForm("FRMINFO"); });
    return application.exec();
}
