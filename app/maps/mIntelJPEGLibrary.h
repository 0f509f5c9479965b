// Saving a bitmap section as a JPEG file through the JPEG layer.
#pragma once

#include <QString>

namespace pendra {

class cDIBSection;

// Writes the section to `fileName` at `quality`; true when the file was written. Failures show
// "Failed to initialise the IJL library: <code>" or "Failed to save to JPG" (exclamation, no title)
// and answer false. An empty section fails without calling the library.
bool SaveJPG(const cDIBSection &cDib, const QString &fileName, qint32 quality);

}  // namespace pendra
