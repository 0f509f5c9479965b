// Unpacking of a zip archive into a folder, with the UnZip library's options as properties.
#pragma once

#include "VBUnzip.h"

#include <QString>

namespace pendra {

class CGUnzipFiles : public UnzipOptions {
public:
    // The options are the inherited fields, with their start values as the object is created.
    QString ZipFileName;
    QString ExtractDir;

    // A non-empty argument replaces ZipFileName or ExtractDir; then VBUnzip runs with every option
    // and its code is returned (0 success). Errors reach the caller with the source
    // "CGUnZipFiles::Unzip".
    qint32 Unzip(const QString &sZipFileName = QString(), const QString &sExtractDir = QString());
    // The last text the library printed during the last run.
    QString GetLastMessage() const;
};

}  // namespace pendra
