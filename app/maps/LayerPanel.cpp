// Layer panel: the selected layer's style in the controls, "Applica" to the map, "Salva Layer" to the file.
#include "LayerPanel.h"

#include "ColorSwatch.h"
#include "ShapeConfig.h"
#include "app/core/Utility.h"
#include "forms/DialogService.h"
#include "mapkit/LegendWidget.h"
#include "mapkit/MapWidget.h"
#include "vb/Error.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QLabel>
#include <QPushButton>
#include <utility>

namespace pendra {

namespace {

const QString Window = QStringLiteral("frm_Mappa");

// Runs a handler; no error leaves it.
template <typename F>
void guarded(const char *procedure, F &&body)
{
    try {
        body();
    } catch (const vb::Error &e) {
        LogError(Window, QString::fromLatin1(procedure), e);
    } catch (const std::exception &e) {
        LogError(Window, QString::fromLatin1(procedure), vb::Error::of(e));
    }
}

QLabel *label(const QString &caption, QWidget *parent)
{
    auto *l = new QLabel(caption, parent);
    l->setAccessibleName(caption);
    return l;
}

}  // namespace

LayerPanel::LayerPanel(QWidget *parent) : QGroupBox(QStringLiteral("Impostazioni della Mappa"), parent)
{
    setAccessibleName(title());
    lbl_caption = label(QStringLiteral("Visualizza e/o sovrapponi i layer"), this);
    QFont captionFont = lbl_caption->font();
    captionFont.setBold(true);
    lbl_caption->setFont(captionFont);
    lbl_layer = label(QStringLiteral("Layer"), this);
    cmb_namelayers = new QComboBox(this);
    cmb_namelayers->setAccessibleName(QStringLiteral("Layer"));
    lbl_colors = label(QStringLiteral("Colore layer"), this);
    pic_colorsfondo = new ColorSwatch(QStringLiteral("Colore layer"), this);
    lbl_trasps = label(QStringLiteral("Trasparenza layer"), this);
    chk_Trasparent = new QCheckBox(this);
    chk_Trasparent->setAccessibleName(QStringLiteral("Trasparenza layer"));
    lbl_sep = label(QStringLiteral("Visualizza confini"), this);
    chk_outline = new QCheckBox(this);
    chk_outline->setAccessibleName(QStringLiteral("Visualizza confini"));
    lbl_colorsep = label(QStringLiteral("Colore dei confini"), this);
    pic_colorSep = new ColorSwatch(QStringLiteral("Colore dei confini"), this);
    lbl_mapbackcolor = label(QStringLiteral("Colore di sfondo della mappa"), this);
    pic_mapbackcolor = new ColorSwatch(QStringLiteral("Colore di sfondo della mappa"), this);
    cmd_applica = new QPushButton(QStringLiteral("Applica"), this);
    cmd_applica->setAccessibleName(cmd_applica->text());
    cmd_salva = new QPushButton(QStringLiteral("Salva Layer"), this);
    cmd_salva->setAccessibleName(cmd_salva->text());

    auto *grid = new QGridLayout(this);
    grid->addWidget(lbl_caption, 0, 0, 1, 2);
    const std::pair<QWidget *, QWidget *> rows[] = {
        {lbl_layer, cmb_namelayers},     {lbl_colors, pic_colorsfondo}, {lbl_trasps, chk_Trasparent},
        {lbl_sep, chk_outline},          {lbl_colorsep, pic_colorSep},  {lbl_mapbackcolor, pic_mapbackcolor},
        {cmd_applica, cmd_salva},
    };
    int row = 1;
    for (const auto &[left, right] : rows) {
        grid->addWidget(left, row, 0);
        grid->addWidget(right, row++, 1);
    }

    connect(cmb_namelayers, &QComboBox::currentIndexChanged, this, [this] { cmb_namelayers_Click(); });
    connect(chk_outline, &QCheckBox::toggled, this, [this] { chk_outline_Click(); });
    connect(chk_Trasparent, &QCheckBox::toggled, this, [this] { chk_Trasparent_Click(); });
    connect(pic_colorsfondo, &ColorSwatch::clicked, this, [this] { pic_colorsfondo_Click(); });
    connect(pic_colorSep, &ColorSwatch::clicked, this, [this] { pic_colorSep_Click(); });
    connect(pic_mapbackcolor, &ColorSwatch::clicked, this, [this] { pic_mapbackcolor_Click(); });
    connect(cmd_applica, &QPushButton::clicked, this, [this] { cmd_applica_Click(); });
    connect(cmd_salva, &QPushButton::clicked, this, [this] { cmd_salva_Click(); });
}

void LayerPanel::bind(mapkit::MapWidget *map, mapkit::LegendWidget *legend, QVector<MapLayerRecord> *layers,
                      const QString &filesPath, const QString &mapCase)
{
    disconnect(m_backColorLink);
    m_map = map;
    // Whenever the layers set the map's background (the window's load and reset), the swatch shows it.
    if (m_map)
        m_backColorLink = connect(m_map, &mapkit::MapWidget::backColorChanged, this,
                                  [this](forms::OleColor color) { pic_mapbackcolor->setColor(color); });
    m_legend = legend;
    m_layers = layers;
    m_filesPath = filesPath;
    m_mapCase = mapCase;
}

void LayerPanel::fillLayers()
{
    if (m_map)
        pic_mapbackcolor->setColor(m_map->backColor());
    const QSignalBlocker block(cmb_namelayers);
    cmb_namelayers->clear();
    if (m_layers)
        for (const MapLayerRecord &r : *m_layers)
            cmb_namelayers->addItem(r.FileName);
    cmb_namelayers->setCurrentIndex(cmb_namelayers->count() > 0 ? 0 : -1);
    cmb_namelayers_Click();
}

void LayerPanel::cmb_namelayers_Click()
{
    guarded("cmb_namelayers_Click", [this] {
        const int i = cmb_namelayers->currentIndex();
        if (!m_layers || m_layers->isEmpty() || i < 0 || i >= m_layers->size())
            return;
        const MapLayerRecord &r = (*m_layers)[i];
        pic_colorsfondo->setColor(r.BackColor);
        {
            const QSignalBlocker block(chk_outline);
            chk_outline->setChecked(r.Outline);
        }
        pic_colorSep->setEnabled(r.Outline);
        lbl_colorsep->setEnabled(r.Outline);
        pic_colorSep->setColor(r.OutlineColor);
        chk_outline->setEnabled(true);
        lbl_sep->setEnabled(true);
        lbl_colors->setEnabled(true);
    });
}

void LayerPanel::chk_outline_Click()
{
    const bool on = chk_outline->isChecked();
    pic_colorSep->setEnabled(on);
    lbl_colorsep->setEnabled(on);
}

void LayerPanel::chk_Trasparent_Click()
{
    const bool on = chk_Trasparent->isChecked();
    pic_colorsfondo->setEnabled(!on);
    lbl_colors->setEnabled(!on);
}

void LayerPanel::chooseColor(ColorSwatch *swatch)
{
    if (const std::optional<forms::OleColor> c = forms::dialogs().chooseColor(swatch->color()))
        swatch->setColor(*c);
}

void LayerPanel::pic_colorsfondo_Click() { guarded("pic_colorsfondo_Click", [this] { chooseColor(pic_colorsfondo); }); }
void LayerPanel::pic_colorSep_Click() { guarded("pic_colorSep_Click", [this] { chooseColor(pic_colorSep); }); }
void LayerPanel::pic_mapbackcolor_Click() { guarded("pic_mapbackcolor_Click", [this] { chooseColor(pic_mapbackcolor); }); }

void LayerPanel::applyStyle()
{
    const int i = cmb_namelayers->currentIndex();
    if (!m_layers || m_layers->isEmpty() || i < 0 || i >= m_layers->size() || !m_map)
        return;
    MapLayerRecord &r = (*m_layers)[i];
    r.BackColor = pic_colorsfondo->color();
    r.Outline = chk_outline->isChecked();
    r.OutlineColor = pic_colorSep->color();
    // A listed layer whose file did not load is not on the map: the rest still applies.
    for (int p = 0; p < m_map->layerCount(); ++p) {
        const auto layer = m_map->layer(p);
        if (layer->valid() && layer->name().compare(r.FileName, Qt::CaseInsensitive) == 0) {
            ApplyRecordStyle(*layer, r);
            break;
        }
    }
    m_map->setBackColor(pic_mapbackcolor->color());
    m_map->refresh();
    if (m_legend) {
        m_legend->resetLegend();
        m_legend->loadLegend();
        m_legend->refresh();
    }
}

void LayerPanel::cmd_applica_Click()
{
    guarded("cmd_applica_Click", [this] { applyStyle(); });
}

void LayerPanel::cmd_salva_Click()
{
    guarded("cmd_salva_Click", [this] {
        applyStyle();
        const int i = cmb_namelayers->currentIndex();
        const MapLayerRecord record = m_layers && i >= 0 && i < m_layers->size() ? (*m_layers)[i] : MapLayerRecord();
        SaveLayerStyle(m_filesPath, m_mapCase, cmb_namelayers->currentText(), record, pic_mapbackcolor->color());
    });
}

}  // namespace pendra
