// libFuzzer target: an arbitrary file opened as a spreadsheet template and exported through.
#include "FuzzInput.h"
#include "SheetRoad.h"

#include <QTemporaryDir>

#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    static QTemporaryDir dir;
    const QString templatePath = dir.path() + "/modello.xlsx";
    if (!fuzz::writeInput(templatePath, data, size))
        return 0;
    fuzz::exportThrough(templatePath, dir.path() + "/export.xlsx");
    return 0;
}
