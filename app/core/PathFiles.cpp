// Reading and safely replacing the one-line path files.
#include "PathFiles.h"

#include "AppState.h"
#include "Utility.h"

#include "vb/DurableFile.h"
#include "vb/Error.h"
#include "vb/TextFile.h"

#include <QFile>

namespace pendra {

QString readPathFile(const QString &fileName)
{
    try {
        const QString path = vb::resolvePathNoCase(app().FilesPath + fileName);
        if (!QFile::exists(path))
            vb::writeText(path, QString());
        QString text = vb::readAllText(path);
        text.remove("\r\n");
        text = text.trimmed();
        if (text.isEmpty())
            return QString();
        return text.endsWith('/') ? text : text + "/";
    } catch (const vb::Error &) {
        return QString();
    }
}

QString GetDbPathFile()
{
    return readPathFile("DBPath.kvr");
}

QString GetShapePathFile()
{
    return readPathFile("SHPath.kvr");
}

void writePathFile(const QString &fileName, const QString &path)
{
    vb::replaceFile(vb::resolvePathNoCase(app().FilesPath + fileName), vb::encodeText(path + "\r\n"));
}

void WriteDBPath(const QString &path)
{
    try {
        writePathFile("DBPath.kvr", path);
    } catch (const vb::Error &e) {
        LogError("frmMainMDI", "WriteDBPath", e);
    }
}

void WriteSHPath(const QString &path)
{
    try {
        writePathFile("SHPath.kvr", path);
    } catch (const vb::Error &e) {
        LogError("frmMainMDI", "WriteSHPath", e);
    }
}

}  // namespace pendra
