// The map window "Modulo cartografico": statistics and classes of one data column, the choropleth
// drawn through the map table, identify and zoom, and the hand-over to the print layout.
#pragma once

#include "MapClasses.h"
#include "MapLayerRecord.h"
#include "MapLayoutSource.h"

#include "forms/Form.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTreeWidget>

class QSplitter;

namespace grid {
class FlexGrid;
}
namespace mapkit {
class ClassBreaksRenderer;
class LegendWidget;
class MapLayer;
class MapWidget;
class ScaleBar;
}

namespace pendra {

class ColorSwatch;
class LayerPanel;
class MapTable;

// "1 cm = x km" for s kilometres per screen centimetre: two decimals up to 10, whole numbers above,
// rounded half to even, in the user's locale.
QString ScaleLabelText(double s);

// One instance (FormRegistry::show<frm_Mappa>()), opened by the map hand-off once datagrid2, the
// shared MapKind, MapCase and CodVariabile and lblDescVar of the data table window are set; it
// reads datagrid2 at every drawing, so the data table window stays open. Handlers are public so
// tests run them as a click would; each catches its errors and reports them through LogError.
class frm_Mappa : public forms::Form, public MapLayoutSource {
    Q_OBJECT
public:
    frm_Mappa();
    ~frm_Mappa() override;

    // Statistics of the mapped column, computed once when the window loads.
    double MinValue = 0;
    double MaxValue = 0;
    double MeanValue = 0;
    QString MapTableName;
    QVector<MapLayerRecord> MapLayers;
    int MatchLayerIndex = 0;

    // Classification (statistics and classes).
    void Option1_Click();
    void Option2_Click();
    void Option3_Click();
    void Cmd_cmdAutocolor_Click();
    void cmd_Select_Click();
    void cmdSelClassiUgualeAmp_Click();
    void cmd_GoMap_Click();
    void Command2_Click();
    void cmd_reset_Click();
    void cmdNota_Click();
    void GridIndici_Click();
    void lbl_colore_Click();
    void lbl_mincolor_Click();
    void lbl_maxcolor_Click();
    int getMinMaxIndex(const QString &kind);

    // Interaction.
    void DoIdentify(double x, double y);  // twips of the map control
    void DoZoom(int shift);
    void RefreshScale();
    void AutoSizeColumns();
    void chk_inform_Click();
    void chk_zoom_Click();
    void Map2_MouseDown(int button, int shift, double x, double y);
    void Avanz_Click();
    void cmd_close_Click();
    void cmdHelp_Click();
    void cmd_export_Click();
    void cmd_Stampa_Click();

    // MapLayoutSource
    QSize exportSnapshot(const QString &path) override;
    QVector<MapClassRow> classRows() override;
    QString description() override;

    // Controls (named as the window's designer named them).
    mapkit::MapWidget *Map2;
    mapkit::LegendWidget *legend1;
    mapkit::ScaleBar *ScaleBar1;
    QLabel *lblScalaKm;
    QLabel *lbl_RicercaPer;
    QRadioButton *Option1, *Option2, *Option3;
    QGroupBox *Frame5, *Frame2, *Frame3, *Frame6, *fraCB;
    QPushButton *Cmd_cmdAutocolor;
    ColorSwatch *lbl_mincolor, *lbl_maxcolor, *lbl_colore;
    QLineEdit *txt_min, *txt_Max, *txtClassi;
    QLabel *lbl_mincon, *lbl_maxcon;
    QPushButton *cmd_Select, *cmd_GoMap, *cmdSelClassiUgualeAmp, *Command2;
    QLabel *Label9, *Label11, *Label12;
    grid::FlexGrid *GridIndici;
    QPushButton *cmdNota, *cmd_reset;
    QLabel *lbl_Ricfor;
    QLineEdit *txtVariabile;
    QCheckBox *chk_inform, *chk_zoom, *Avanz;
    LayerPanel *Frame4;
    QLabel *Label6;
    QTreeWidget *ListView1;
    QSplitter *picSplitter;
    QPushButton *cmd_close, *cmdHelp, *cmd_export, *cmd_Stampa;

protected:
    void formLoad() override;
    void formUnload() override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    template <class F> void handle(const char *procedure, F &&body);
    void buildControls();
    MapTable mapTable() const;
    // The mapped column and the territory codes of datagrid2 (same rows, 0 the header).
    MapColumn mappedColumn() const;
    QStringList territoryCodes() const;
    void loadMapLayers();
    void addClassRow(forms::OleColor color, const QString &label);
    void clearClassGrid();
    void showMessage(const ClassMessage &message);
    // The open record set of the map table coloured onto the layer; renderer colours by class.
    void ColorAreasByClass(const MapTable &table, mapkit::MapLayer &layer, const mapkit::ClassBreaksRenderer &classes,
                           const QString &field);
    // The reset of the classes and the layers; drops the map table through that handle.
    void resetDrawing(const MapTable &table);
    std::shared_ptr<mapkit::MapLayer> matchLayerObject();
    void finishDrawing();
    void chooseColor(ColorSwatch *swatch);

    int m_mappedCol = 0;
    bool m_switching = false;
};

}  // namespace pendra
