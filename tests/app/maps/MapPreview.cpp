// Looks at a boundary set as the map window will show it: map, legend, scale bar and layer panel.
// Usage: map_preview [PROGRAM_FOLDER [CASE]]  (defaults: the built program folder, "provincia107").
#include "app/core/AppState.h"
#include "app/maps/LayerPanel.h"
#include "app/maps/ShapeConfig.h"
#include "mapkit/LegendWidget.h"
#include "mapkit/MapWidget.h"
#include "mapkit/ScaleBar.h"
#include "vb/Error.h"

#include <QApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QVBoxLayout>
#include <cstdio>

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    const QString folder = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral(PENDRA_DIR);
    const QString mapCase = argc > 2 ? QString::fromLocal8Bit(argv[2]) : QStringLiteral("provincia107");
    pendra::app().FilesPath = folder + "/Files/";
    pendra::app().ShapePath = folder + "/Shape/";

    QWidget window;
    window.setWindowTitle(QStringLiteral("Modulo cartografico - ") + mapCase);
    auto *map = new mapkit::MapWidget(&window);
    auto *legend = new mapkit::LegendWidget(&window);
    auto *scale = new mapkit::ScaleBar(&window);
    auto *panel = new pendra::LayerPanel(&window);
    auto *identify = new QLabel(&window);
    identify->setAccessibleName(QStringLiteral("Informazioni sul territorio"));
    auto *side = new QVBoxLayout;
    side->addWidget(legend, 1);
    side->addWidget(scale);
    side->addWidget(identify);
    side->addWidget(panel);
    auto *row = new QHBoxLayout(&window);
    row->addWidget(map, 3);
    row->addLayout(side, 1);
    window.resize(1280, 800);
    window.show();

    QVector<pendra::MapLayerRecord> layers;
    int match = 0;
    auto refreshScale = [&] {
        const mapkit::MapRect e = map->extent();
        scale->setMapExtent({e.left, e.bottom, e.right, e.top});
        scale->setPageExtent({0, 0, double(map->width()), double(map->height())});
        scale->refresh();
    };
    try {
        pendra::LoadLayers(*map, layers, match, pendra::app().FilesPath, pendra::app().ShapePath, mapCase, refreshScale);
        pendra::ApplyLayerSymbols(layers);
    } catch (const vb::Error &e) {
        std::fprintf(stderr, "LoadLayers: %s\n", e.what());
    }
    legend->setMap(map);
    legend->loadLegend();
    panel->bind(map, legend, &layers, pendra::app().FilesPath, mapCase);
    panel->fillLayers();
    QObject::connect(legend, &mapkit::LegendWidget::layerVisibilityChanged, map, [map] { map->refresh(); });
    QObject::connect(map, &mapkit::MapWidget::afterLayerDraw, scale, [&] { refreshScale(); });
    QObject::connect(map, &mapkit::MapWidget::mouseDown, map, [&](int, int, double x, double y) {
        if (layers.isEmpty())
            return;
        try {
            const pendra::MapLayerRecord &r = layers.value(match);
            const auto layer = map->layer(r.GeoName);
            mapkit::MapRecordset found = layer->searchShape(map->toMapPoint(x, y));
            identify->setText(found.eof() ? QString() : r.FieldId + " = " + found.text(r.FieldId));
            if (!found.eof())
                map->flashShape(found.shape(), 3);
        } catch (const vb::Error &e) {
            identify->setText(e.description());
        }
    });
    return app.exec();
}
