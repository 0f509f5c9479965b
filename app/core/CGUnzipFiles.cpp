// Unpacking class: hands its options to VBUnzip.
#include "CGUnzipFiles.h"

#include "VBUnzip.h"

#include "vb/Error.h"

namespace pendra {

qint32 CGUnzipFiles::Unzip(const QString &sZipFileName, const QString &sExtractDir)
{
    try {
        if (!sZipFileName.isEmpty())
            ZipFileName = sZipFileName;
        if (!sExtractDir.isEmpty())
            ExtractDir = sExtractDir;
        return VBUnzip(ZipFileName, ExtractDir, *this);
    } catch (vb::Error &e) {
        e.setSource("CGUnZipFiles::Unzip");
        throw;
    }
}

QString CGUnzipFiles::GetLastMessage() const
{
    return vbUnzipState().lastMessage;
}

}  // namespace pendra
