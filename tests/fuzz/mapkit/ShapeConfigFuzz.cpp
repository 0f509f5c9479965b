// Fuzz target: a "ShapeConfig.xml" loaded onto a map (LoadLayers) and a style saved back into it.
#include "app/maps/ShapeConfig.h"
#include "mapkit/MapWidget.h"
#include "vb/Error.h"
#include "FuzzInput.h"

#include <QApplication>
#include <QTemporaryDir>

#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    static int argc = 1;
    static char name[] = "fuzz";
    static char *argv[] = {name, nullptr};
    static QApplication *app = [] {
        qputenv("QT_QPA_PLATFORM", "offscreen");
        return new QApplication(argc, argv);
    }();
    (void)app;
    static QTemporaryDir dir;
    const QString files = dir.path() + QStringLiteral("/");
    if (!fuzz::writeInput(files + QStringLiteral("ShapeConfig.xml"), data, size))
        return 0;
    mapkit::MapWidget map;
    QVector<pendra::MapLayerRecord> layers;
    int match = 0;
    try {
        pendra::LoadLayers(map, layers, match, files, QStringLiteral(SAMPLE_SHAPES), QStringLiteral("provincia107"));
        pendra::ApplyLayerSymbols(layers);
    } catch (const vb::Error &) {
    }
    try {
        const pendra::MapLayerRecord record = layers.isEmpty() ? pendra::MapLayerRecord() : layers.first();
        pendra::SaveLayerStyle(files, QStringLiteral("provincia107"), record.FileName, record, 0x123456);
    } catch (const vb::Error &) {
    }
    return 0;
}
