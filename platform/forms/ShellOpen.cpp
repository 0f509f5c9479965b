// The desktop's opener mapped onto the shell's result codes, and the scripted opener of tests.
#include "ShellOpen.h"

#include <QDesktopServices>
#include <QFile>
#include <QFileInfo>
#include <QMimeDatabase>
#include <QProcess>
#include <QStandardPaths>
#include <QUrl>

namespace forms {

namespace {

// False only when the desktop's database positively names no program for the type: without
// xdg-mime there is nothing to ask, and xdg-open gets its chance.
bool hasAssociatedProgram(const QString &path)
{
    const QString xdgMime = QStandardPaths::findExecutable(QStringLiteral("xdg-mime"));
    if (xdgMime.isEmpty())
        return true;
    const QString type = QMimeDatabase().mimeTypeForFile(path).name();
    QProcess query;
    query.start(xdgMime, {QStringLiteral("query"), QStringLiteral("default"), type});
    if (!query.waitForFinished(5000) || query.exitStatus() != QProcess::NormalExit) {
        query.kill();
        return true;
    }
    return !query.readAllStandardOutput().trimmed().isEmpty();
}

class DesktopShellOpener : public ShellOpener {
public:
    int open(const QString &path) override
    {
        const QFileInfo info(path);
        if (!info.isFile())
            return SE_ERR_FNF;
        QFile file(path);
        if (!file.open(QIODevice::ReadOnly))
            return SE_ERR_BAD_FORMAT;
        file.close();
        if (!hasAssociatedProgram(path))
            return SE_ERR_NOASSOC;
        return QDesktopServices::openUrl(QUrl::fromLocalFile(info.absoluteFilePath())) ? SE_OPENED
                                                                                         : SE_ERR_NOASSOC;
    }
};

ShellOpener *g_installed = nullptr;

}  // namespace

ShellOpener &shellOpener()
{
    static DesktopShellOpener desktop;
    return g_installed ? *g_installed : desktop;
}

void setShellOpener(ShellOpener *opener)
{
    g_installed = opener;
}

int ScriptedShellOpener::open(const QString &path)
{
    m_opened << path;
    return m_answers.isEmpty() ? SE_OPENED : m_answers.dequeue();
}

ScopedShellOpener::ScopedShellOpener(ShellOpener &opener) : m_previous(g_installed)
{
    g_installed = &opener;
}

ScopedShellOpener::~ScopedShellOpener()
{
    g_installed = m_previous;
}

}  // namespace forms
