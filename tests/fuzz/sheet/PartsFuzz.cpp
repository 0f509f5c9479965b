// libFuzzer target: the XML parts of a template, packed into a sound archive, exported through.
// The input is the parts in the order of PartNames, separated by NUL bytes (XML holds none); a
// missing or empty part is left out of the archive.
#include "SheetRoad.h"

#include <QByteArray>
#include <QFile>
#include <QTemporaryDir>

#include <zip.h>

#include <cstdint>
#include <vector>

namespace {
const char *const PartNames[] = {
    "[Content_Types].xml", "_rels/.rels", "xl/workbook.xml", "xl/_rels/workbook.xml.rels",
    "xl/worksheets/sheet1.xml", "xl/worksheets/sheet2.xml", "xl/sharedStrings.xml", "xl/styles.xml",
};
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    static QTemporaryDir dir;
    const QString templatePath = dir.path() + "/modello.xlsx";
    const QList<QByteArray> parts = QByteArray::fromRawData(reinterpret_cast<const char *>(data), qsizetype(size)).split('\0');
    QFile::remove(templatePath);
    int err = 0;
    zip_t *za = zip_open(QFile::encodeName(templatePath).constData(), ZIP_CREATE | ZIP_TRUNCATE, &err);
    if (!za)
        return 0;
    std::vector<QByteArray> kept;  // the bytes stay alive until zip_close
    for (qsizetype i = 0; i < parts.size() && i < qsizetype(std::size(PartNames)); ++i) {
        if (parts[i].isEmpty())
            continue;
        kept.push_back(QByteArray(parts[i].constData(), parts[i].size()));
        zip_source_t *src = zip_source_buffer(za, kept.back().constData(), zip_uint64_t(kept.back().size()), 0);
        const zip_int64_t index = src ? zip_file_add(za, PartNames[i], src, ZIP_FL_OVERWRITE) : -1;
        if (index < 0) {
            zip_source_free(src);
            zip_discard(za);
            return 0;
        }
        zip_set_file_compression(za, zip_uint64_t(index), ZIP_CM_STORE, 0);  // packing speed, not size
    }
    if (zip_close(za) != 0) {
        zip_discard(za);
        return 0;
    }
    fuzz::exportThrough(templatePath, dir.path() + "/export.xlsx");
    return 0;
}
