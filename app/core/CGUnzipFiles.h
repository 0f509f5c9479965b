// Unpacking of a zip archive into a folder, with the UnZip library's options as properties.
#pragma once

#include <QString>

namespace pendra {

class CGUnzipFiles {
public:
    // Options (start values as the object is created).
    bool ExtractNewer = false;
    bool SpaceToUnderScore = false;
    bool PromptOverwrite = false;
    qint32 MessageLevel = 2;
    bool WriteToStdOut = false;
    bool TestZip = false;
    qint32 ExtractList = 0;
    bool ExtractOnlyNewer = false;
    bool DisplayComment = false;
    bool HonorDirectories = true;
    bool OverWriteFiles = true;
    bool ConvertCRtoCRLF = false;
    bool Verbose = false;
    bool CaseSensitive = true;
    qint32 Privilege = 0;
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
