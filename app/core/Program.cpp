// Program folder, program end and single-instance lock.
#include "Program.h"

#include <QCoreApplication>
#include <QCryptographicHash>
#include <QDir>
#include <QLibraryInfo>
#include <QLockFile>
#include <QTranslator>
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
    if (!translator->load(QStringLiteral("qtbase_it"), from) || !QCoreApplication::installTranslator(translator)) {
        delete translator;
        return false;
    }
    return true;
}

}  // namespace pendra
