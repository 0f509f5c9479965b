// Fuzz target: a shape-file set (.shp, .shx, .dbf) read, searched and drawn by the map kit.
// Input: two little-endian 32-bit lengths (the .shp and the .shx), then those bytes, then the .dbf.
#include "mapkit/MapLayer.h"
#include "FuzzInput.h"

#include <QDir>
#include <QImage>
#include <QPainter>
#include <QTemporaryDir>
#include <QTransform>

#include <cstdint>
#include <cstring>

namespace {

quint32 readLength(const uint8_t *data)
{
    quint32 v = 0;
    std::memcpy(&v, data, 4);
    return v;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    static QTemporaryDir dir;
    if (size < 8 || !dir.isValid())
        return 0;
    const size_t shpLen = std::min<size_t>(readLength(data), size - 8);
    const size_t shxLen = std::min<size_t>(readLength(data + 4), size - 8 - shpLen);
    const uint8_t *p = data + 8;
    const QString base = dir.path() + QStringLiteral("/f");
    fuzz::writeInput(base + ".shp", p, shpLen);
    fuzz::writeInput(base + ".shx", p + shpLen, shxLen);
    fuzz::writeInput(base + ".dbf", p + shpLen + shxLen, size - 8 - shpLen - shxLen);

    mapkit::MapLayer layer;
    layer.setFile(base + ".shp");
    if (!layer.valid())
        return 0;
    const mapkit::MapRect e = layer.extent();
    mapkit::MapRecordset found = layer.searchShape(e.center());
    for (; !found.eof(); found.moveNext())
        for (const QString &name : found.fieldNames())
            (void)found.text(name);
    (void)layer.searchByDistance(e.center(), e.width() / 4).recordCount();
    QImage image(32, 32, QImage::Format_RGB32);
    QPainter painter(&image);
    const double w = e.width() > 0 ? e.width() : 1, h = e.height() > 0 ? e.height() : 1;
    const QTransform t(32 / w, 0, 0, -32 / h, -e.left * 32 / w, e.top * 32 / h);
    layer.draw(painter, t, e);
    return 0;
}
