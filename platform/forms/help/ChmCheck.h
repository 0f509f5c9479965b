// Structural check of a compiled help file before the reading library sees it: a damaged file
// must be refused, not crash, loop or allocate without bound inside that library.
#pragma once

#include <QByteArray>

namespace forms {

// Whether the file's structure is sound: the header and its version, the directory and every
// chunk within the file, the chunk chain and index tree without cycles, every stored file
// within its section, and the compression's window size, reset interval and reset table within
// bounds. A file the help compiler wrote passes; a file that fails is treated as missing.
bool chmStructureSound(const QByteArray &file);

}  // namespace forms
