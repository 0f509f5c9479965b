// Qt dialogs with the original buttons, icons and titles.
#include "QtDialogService.h"

#include "TitleRoom.h"
#include "FormRegistry.h"

#include <QApplication>
#include <QColorDialog>
#include <QDir>
#include <QFileDialog>
#include <QInputDialog>
#include <QMessageBox>
#include <QPrintDialog>
#include <QPrinter>

namespace forms {

namespace {
QString titleOr(const QString &title)
{
    return title.isEmpty() ? QGuiApplication::applicationDisplayName() : title;
}

// The active window, or the nearest visible window it belongs to: the platform may still name a
// window that its handler has just unloaded (hidden, about to be deleted), which must not own the box.
QWidget *activeParent()
{
    QWidget *w = QApplication::activeWindow();
    while (w && !w->isVisible())
        w = w->parentWidget();
    return w ? w->window() : nullptr;
}

QString startPath(const FileRequest &r)
{
    if (r.initDir.isEmpty())
        return r.fileName;
    return r.fileName.isEmpty() ? r.initDir : QDir(r.initDir).filePath(r.fileName);
}

QString selectedFilter(const FileRequest &r)
{
    const QStringList parts = toQtFilter(r.filter).split(";;");
    const int i = r.filterIndex - 1;
    return (i >= 0 && i < parts.size()) ? parts[i] : QString();
}
}  // namespace

QString toQtFilter(const QString &filter)
{
    const QStringList parts = filter.split('|');
    QStringList out;
    for (int i = 0; i + 1 < parts.size(); i += 2) {
        QString patterns = parts[i + 1];
        patterns.replace(';', ' ');
        const QString &desc = parts[i];
        out << (desc.contains('(') ? desc : desc + " (" + patterns + ")");
    }
    return out.join(";;");
}

int QtDialogService::msgBox(const QString &prompt, int style, const QString &title)
{
    NestedLoop nested;
    QMessageBox box(activeParent());
    box.setWindowTitle(titleOr(title));
    box.setText(prompt);
    switch (iconOf(style)) {
    case vbCritical: box.setIcon(QMessageBox::Critical); break;
    case vbQuestion: box.setIcon(QMessageBox::Question); break;
    case vbExclamation: box.setIcon(QMessageBox::Warning); break;
    case vbInformation: box.setIcon(QMessageBox::Information); break;
    default: break;
    }
    struct B { QMessageBox::StandardButton qt; int answer; };
    QVector<B> buttons;
    switch (buttonsOf(style)) {
    case vbOKCancel: buttons = {{QMessageBox::Ok, vbOK}, {QMessageBox::Cancel, vbCancel}}; break;
    case vbAbortRetryIgnore:
        buttons = {{QMessageBox::Abort, vbAbort}, {QMessageBox::Retry, vbRetry}, {QMessageBox::Ignore, vbIgnore}};
        break;
    case vbYesNoCancel:
        buttons = {{QMessageBox::Yes, vbYes}, {QMessageBox::No, vbNo}, {QMessageBox::Cancel, vbCancel}};
        break;
    case vbYesNo: buttons = {{QMessageBox::Yes, vbYes}, {QMessageBox::No, vbNo}}; break;
    case vbRetryCancel: buttons = {{QMessageBox::Retry, vbRetry}, {QMessageBox::Cancel, vbCancel}}; break;
    default: buttons = {{QMessageBox::Ok, vbOK}}; break;
    }
    QMessageBox::StandardButtons set;
    for (const B &b : buttons)
        set |= b.qt;
    box.setStandardButtons(set);
    const int want = defaultAnswer(style);
    for (const B &b : buttons)
        if (b.answer == want)
            box.setDefaultButton(b.qt);
    const auto clicked = static_cast<QMessageBox::StandardButton>(box.exec());
    for (const B &b : buttons)
        if (b.qt == clicked)
            return b.answer;
    // Closed with Escape or the frame: the cancel-like answer where there is one.
    return buttons.size() == 1 ? vbOK : buttons.back().answer;
}

QString QtDialogService::inputBox(const QString &prompt, const QString &title, const QString &defaultText)
{
    NestedLoop nested;
    QInputDialog dialog(activeParent());
    dialog.setWindowTitle(titleOr(title));
    dialog.setLabelText(prompt);
    dialog.setTextValue(defaultText);
    makeRoomForTitle(dialog);
    return dialog.exec() == QDialog::Accepted ? dialog.textValue() : QString();
}

QString QtDialogService::openFile(const FileRequest &r)
{
    NestedLoop nested;
    QString sel = selectedFilter(r);
    return QFileDialog::getOpenFileName(activeParent(), r.title, startPath(r), toQtFilter(r.filter), &sel);
}

QString QtDialogService::saveFile(const FileRequest &r)
{
    NestedLoop nested;
    QString sel = selectedFilter(r);
    return QFileDialog::getSaveFileName(activeParent(), r.title, startPath(r), toQtFilter(r.filter), &sel,
                                        r.confirmOverwrite ? QFileDialog::Options() : QFileDialog::DontConfirmOverwrite);
}

std::optional<OleColor> QtDialogService::chooseColor(OleColor initial)
{
    NestedLoop nested;
    const QColor c = QColorDialog::getColor(toQColor(initial), activeParent());
    if (!c.isValid())
        return std::nullopt;
    return toOleColor(c);
}

QString QtDialogService::browseForFolder(QWidget *owner, const QString &title, const QString &startFolder)
{
    NestedLoop nested;
    const QString dir = QFileDialog::getExistingDirectory(owner, title, startFolder, QFileDialog::ShowDirsOnly);
    if (dir.isEmpty())
        return QString();
    const QString clean = QDir::cleanPath(dir);
    return clean;
}

bool QtDialogService::choosePrinter(QPrinter *printer)
{
    NestedLoop nested;
    QPrintDialog dialog(printer, activeParent());
    return dialog.exec() == QDialog::Accepted;
}

}  // namespace forms
