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
        UnzipOptions o;
        o.ExtractOnlyNewer = ExtractOnlyNewer;
        o.SpaceToUnderScore = SpaceToUnderScore;
        o.PromptOverwrite = PromptOverwrite;
        o.MessageLevel = MessageLevel;
        o.WriteToStdOut = WriteToStdOut;
        o.TestZip = TestZip;
        o.ExtractList = ExtractList;
        o.ExtractNewer = ExtractNewer;
        o.DisplayComment = DisplayComment;
        o.HonorDirectories = HonorDirectories;
        o.OverWriteFiles = OverWriteFiles;
        o.ConvertCRtoCRLF = ConvertCRtoCRLF;
        o.Verbose = Verbose;
        o.CaseSensitive = CaseSensitive;
        o.Privilege = Privilege;
        return VBUnzip(ZipFileName, ExtractDir, o);
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
