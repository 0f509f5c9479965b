// Program folder, program end, single-instance lock and the set-up of the running application.
#include "Program.h"

#include "forms/QtDialogTexts.h"
#include "vb/Memory.h"
#include "vb/TextFile.h"

#include <QApplication>
#include <QCoreApplication>
#include <QCryptographicHash>
#include <QDir>
#include <QIcon>
#include <QLibraryInfo>
#include <QLockFile>
#include <QTranslator>
#include <clocale>
#include <cstdlib>
#include <memory>

namespace pendra {

namespace {
QString g_folder;
std::function<void()> g_endHook;
QString g_lockFolder;
std::unique_ptr<QLockFile> g_lock;
}  // namespace

QString programFolder()
{
    if (!g_folder.isEmpty())
        return g_folder;
    return QCoreApplication::applicationDirPath();
}

void setProgramFolder(const QString &folder)
{
    g_folder = folder;
    while (g_folder.size() > 1 && g_folder.endsWith('/'))
        g_folder.chop(1);
}

void endProgram()
{
    if (g_endHook) {
        g_endHook();
        throw ProgramEnded{};
    }
    std::_Exit(0);
}

void setEndHook(std::function<void()> hook)
{
    g_endHook = std::move(hook);
}

QString instanceLockPath()
{
    const QString folder = g_lockFolder.isEmpty() ? QDir::tempPath() : g_lockFolder;
    // Named after the program folder: two installations may run side by side.
    const QByteArray id = QCryptographicHash::hash(QDir::cleanPath(programFolder()).toUtf8(),
                                                   QCryptographicHash::Sha1).toHex().left(16);
    return QDir(folder).filePath("Pendra-" + QString::fromLatin1(id) + ".lock");
}

bool acquireInstanceLock()
{
    auto lock = std::make_unique<QLockFile>(instanceLockPath());
    lock->setStaleLockTime(0);  // a lock left by a dead process is taken over at once
    if (!lock->tryLock(0))
        return false;
    g_lock = std::move(lock);
    return true;
}

void releaseInstanceLock()
{
    g_lock.reset();
}

void setInstanceLockFolder(const QString &folder)
{
    g_lockFolder = folder;
}

bool installQtTranslation(const QString &folder)
{
    auto *translator = new QTranslator(QCoreApplication::instance());
    const QString from = folder.isEmpty() ? QLibraryInfo::path(QLibraryInfo::TranslationsPath) : folder;
    if (!translator->load(QStringLiteral("qtbase_it"), from)) {
        delete translator;
        return false;
    }
    // Searched after the catalogue, which keeps every text it has.
    QCoreApplication::installTranslator(new forms::QtDialogTexts(QCoreApplication::instance()));
    if (!QCoreApplication::installTranslator(translator)) {
        delete translator;
        return false;
    }
    return true;
}

void setUpApplication()
{
    // Qt adopts the user's C locale; C numeric conversions (strtod, printf) must keep the dot, as
    // numbers reach them already rewritten in C syntax. The user's locale stays with QLocale.
    std::setlocale(LC_NUMERIC, "C");
    vb::keepFreedMemory();
    // No display name: Qt would append it to every top-level title. An empty title still reads
    // the application name.
    QCoreApplication::setApplicationName(QStringLiteral("Pendra"));
    installQtTranslation();
    const QString icon = vb::findFileNoCase(programFolder() + "/Images/", "pendra.png");
    if (!icon.isEmpty())
        QApplication::setWindowIcon(QIcon(icon));
}

}  // namespace pendra
