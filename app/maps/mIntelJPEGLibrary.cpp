// SaveJPG: fills the JPEG layer's record from a bitmap section and writes the file.
#include "mIntelJPEGLibrary.h"

#include "cDIBSection.h"

#include "forms/DialogService.h"
#include "ijl/Ijl.h"

#include <QFile>

namespace pendra {

bool SaveJPG(const cDIBSection &cDib, const QString &fileName, qint32 quality)
{
    ijl::JPEG_CORE_PROPERTIES record;
    const ijl::IJLERR init = ijl::ijlInit(&record);
    if (init != ijl::IJL_OK) {
        forms::dialogs().msgBox(QStringLiteral("Failed to initialise the IJL library: ") + QString::number(init),
                                forms::vbExclamation);
        return false;
    }
    record.DIBWidth = cDib.Width();
    record.DIBHeight = -cDib.Height();
    record.DIBBytes = cDib.DIBSectionBitsPtr();
    record.DIBPadBytes = cDib.BytesPerScanLine() - cDib.Width() * 3;
    // Linux file names are bytes in the file system's encoding: "Forlì.jpg" keeps its letters.
    const QByteArray name = QFile::encodeName(fileName);
    record.JPGFile = name.constData();
    record.JPGWidth = cDib.Width();
    record.JPGHeight = cDib.Height();
    record.jquality = quality;
    const bool written = record.DIBBytes && ijl::ijlWrite(&record, ijl::IJL_JFILE_WRITEWHOLEIMAGE) == ijl::IJL_OK;
    if (!written)
        forms::dialogs().msgBox(QStringLiteral("Failed to save to JPG"), forms::vbExclamation);
    ijl::ijlFree(&record);
    return written;
}

}  // namespace pendra
