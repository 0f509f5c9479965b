// The map window's layer panel: shows one layer's style, applies a changed style, saves it to ShapeConfig.xml.
#pragma once

#include "MapLayerRecord.h"

#include <QGroupBox>
#include <QVector>

class QCheckBox;
class QComboBox;
class QLabel;
class QPushButton;

namespace mapkit {
class LegendWidget;
class MapWidget;
}

namespace pendra {

class ColorSwatch;

// The frame "Impostazioni della Mappa" of the map window. The window places the panel and binds it to its map, legend and layer records. Every handler
// catches its own errors and logs them with LogError under "frm_Mappa" and the handler's name.
class LayerPanel : public QGroupBox {
    Q_OBJECT
public:
    explicit LayerPanel(QWidget *parent = nullptr);

    // Nothing owned; `layers` must outlive the panel's use. legend may be null. From then on the
    // background swatch follows every change of the map's background colour (LoadLayers on reset).
    void bind(mapkit::MapWidget *map, mapkit::LegendWidget *legend, QVector<MapLayerRecord> *layers,
              const QString &filesPath, const QString &mapCase);
    // Lists every record's FileName in index order and selects the first (which shows its style);
    // the background swatch takes the map's background colour.
    void fillLayers();

    // Handlers (also run by the controls' own signals).
    void cmb_namelayers_Click();
    void chk_outline_Click();
    void chk_Trasparent_Click();
    void pic_colorsfondo_Click();
    void pic_colorSep_Click();
    void pic_mapbackcolor_Click();
    void cmd_applica_Click();
    void cmd_salva_Click();

    QLabel *lbl_caption;  // "Visualizza e/o sovrapponi i layer", over the list and the styles
    QLabel *lbl_layer;
    QComboBox *cmb_namelayers;
    QLabel *lbl_colors;
    ColorSwatch *pic_colorsfondo;
    QLabel *lbl_trasps;
    QCheckBox *chk_Trasparent;
    QLabel *lbl_sep;
    QCheckBox *chk_outline;
    QLabel *lbl_colorsep;
    ColorSwatch *pic_colorSep;
    QLabel *lbl_mapbackcolor;
    ColorSwatch *pic_mapbackcolor;
    QPushButton *cmd_applica;
    QPushButton *cmd_salva;

private:
    void applyStyle();
    void chooseColor(ColorSwatch *swatch);

    mapkit::MapWidget *m_map = nullptr;
    QMetaObject::Connection m_backColorLink;
    mapkit::LegendWidget *m_legend = nullptr;
    QVector<MapLayerRecord> *m_layers = nullptr;
    QString m_filesPath;
    QString m_mapCase;
};

}  // namespace pendra
