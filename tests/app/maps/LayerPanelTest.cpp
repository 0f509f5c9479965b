// The layer panel: showing a layer's style, the colour dialog, "Applica", "Salva Layer" and its failures.
#include "MapsTestSupport.h"

#include "app/maps/ColorSwatch.h"
#include "app/maps/LayerPanel.h"
#include "app/maps/ShapeConfig.h"
#include "mapkit/LegendWidget.h"
#include "vb/Conversions.h"
#include "vb/DurableFile.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QLabel>
#include <QPushButton>
#include <gtest/gtest.h>

using namespace mapstest;

namespace {

class PanelTest : public LayersTest {
protected:
    void SetUp() override
    {
        LayersTest::SetUp();
        CaseChild provinces{"province107", "True", "7895160", "14084332", "False"};
        CaseChild borders{"regioni", "False", "3947580", "16777215", "True"};
        writeConfig({provinces, borders}, {{"province107", "province107", "True"}, {"regioni", "regioni"}});
        load();
        pendra::ApplyLayerSymbols(layers);
        legend.setMap(&map);
        panel.bind(&map, &legend, &layers, files(), "provincia107");
        panel.fillLayers();
    }

    mapkit::LegendWidget legend;
    pendra::LayerPanel panel;
};

}  // namespace

TEST_F(PanelTest, SelectingALayerShowsItsStyle)
{
    ASSERT_EQ(panel.cmb_namelayers->count(), 2);
    EXPECT_EQ(panel.cmb_namelayers->itemText(1), "regioni");
    EXPECT_EQ(panel.cmb_namelayers->currentIndex(), 0);
    EXPECT_EQ(panel.pic_colorsfondo->color(), 14084332u);
    EXPECT_TRUE(panel.chk_outline->isChecked());
    EXPECT_TRUE(panel.pic_colorSep->isEnabled());
    EXPECT_EQ(panel.pic_mapbackcolor->color(), 16107720u);

    panel.cmb_namelayers->setCurrentIndex(1);
    EXPECT_EQ(panel.pic_colorsfondo->color(), 16777215u);
    EXPECT_FALSE(panel.chk_outline->isChecked());
    EXPECT_FALSE(panel.pic_colorSep->isEnabled());
    EXPECT_FALSE(panel.lbl_colorsep->isEnabled());
    EXPECT_EQ(panel.pic_colorSep->color(), 3947580u);
    EXPECT_FALSE(panel.chk_Trasparent->isChecked());  // the box is not set from the record

    panel.chk_Trasparent->setChecked(true);
    EXPECT_FALSE(panel.pic_colorsfondo->isEnabled());
    EXPECT_FALSE(panel.lbl_colors->isEnabled());
    panel.chk_outline->setChecked(true);
    EXPECT_TRUE(panel.pic_colorSep->isEnabled());
}

TEST_F(PanelTest, TheFrameAndThePanelEachShowTheirCaption)
{
    panel.show();
    EXPECT_EQ(panel.title(), "Impostazioni della Mappa");
    EXPECT_EQ(panel.lbl_caption->text(), "Visualizza e/o sovrapponi i layer");
    EXPECT_TRUE(panel.lbl_caption->isVisible());
    EXPECT_LT(panel.lbl_caption->geometry().bottom(), panel.lbl_layer->geometry().top());
}

TEST_F(PanelTest, ADisabledSwatchLooksDisabled)
{
    panel.resize(400, 300);
    panel.show();
    auto centre = [](QWidget *w) { return w->grab().toImage().pixelColor(w->width() / 2, w->height() / 2); };
    const QColor enabled = centre(panel.pic_colorsfondo);
    EXPECT_EQ(enabled, forms::toQColor(panel.pic_colorsfondo->color()));
    panel.chk_Trasparent->setChecked(true);
    const QColor disabled = centre(panel.pic_colorsfondo);
    EXPECT_NE(disabled, enabled);
    // Washed out towards the background, so the colour still reads.
    const QColor back = panel.palette().color(QPalette::Disabled, QPalette::Window);
    EXPECT_LT(std::abs(disabled.lightness() - back.lightness()), std::abs(enabled.lightness() - back.lightness()));
    panel.chk_Trasparent->setChecked(false);
    EXPECT_EQ(centre(panel.pic_colorsfondo), enabled);
}

TEST_F(PanelTest, ColourDialogStartsFromTheSwatchAndCancelKeepsIt)
{
    dialogs.answerColor(std::nullopt);
    panel.pic_colorsfondo_Click();
    EXPECT_EQ(panel.pic_colorsfondo->color(), 14084332u);
    dialogs.answerColor(0x00FF00);
    panel.pic_mapbackcolor_Click();
    EXPECT_EQ(panel.pic_mapbackcolor->color(), 0x00FF00u);
    const auto calls = dialogs.calls(forms::DialogCall::Color);
    ASSERT_EQ(calls.size(), 2);
    EXPECT_EQ(calls[0].color, 14084332u);
    EXPECT_EQ(calls[1].color, 16107720u);
    EXPECT_EQ(map.backColor(), 16107720u);  // nothing reaches the map before "Applica"
}

TEST_F(PanelTest, ReloadShowsTheFilesBackgroundInTheSwatch)
{
    // A colour chosen (or applied) but not saved gives way to the file's on the window's reset.
    dialogs.answerColor(0x00FF00);
    panel.pic_mapbackcolor_Click();
    panel.cmd_applica_Click();
    ASSERT_EQ(map.backColor(), 0x00FF00u);
    map.clearLayers();
    load();
    EXPECT_EQ(map.backColor(), 16107720u);
    EXPECT_EQ(panel.pic_mapbackcolor->color(), 16107720u);
}

TEST_F(PanelTest, ApplyStylesTheMapLayerAndBackground)
{
    panel.pic_colorsfondo->setColor(0x0000FF);
    panel.chk_outline->setChecked(false);
    panel.pic_mapbackcolor->setColor(0x112233);
    panel.cmd_applica->click();
    const auto layer = map.layer("province107");
    EXPECT_EQ(layer->symbol().color, 0x0000FFu);
    EXPECT_FALSE(layer->symbol().outline);
    EXPECT_EQ(layers[0].BackColor, 0x0000FFu);
    EXPECT_EQ(map.backColor(), 0x112233u);
    EXPECT_EQ(legend.entries().rowCount(), 2);
}

TEST_F(PanelTest, SaveAndReloadInItalianKeepsTheStyle)
{
    vb::setUserLocale(QLocale(QLocale::Italian, QLocale::Italy));
    panel.pic_colorsfondo->setColor(0x0000FF);
    panel.chk_outline->setChecked(false);
    panel.pic_mapbackcolor->setColor(0x112233);
    panel.cmd_salva->click();
    const QString text = QString::fromUtf8(configBytes());
    EXPECT_TRUE(text.contains("Outline=\"Falso\" OutlineColor=\"7895160\" BackColor=\"255\" Trasparenza=\"Falso\""))
        << text.toStdString();
    EXPECT_TRUE(text.contains("mapBackColor=\"1122867\""));
    EXPECT_EQ(QDir(files()).entryList(QDir::Files), QStringList{"ShapeConfig.xml"});  // no temporary left

    mapkit::MapWidget again;
    QVector<pendra::MapLayerRecord> reread;
    int match = 0;
    pendra::LoadLayers(again, reread, match, files(), shapes(), "provincia107");
    ASSERT_EQ(reread.size(), 2);
    EXPECT_EQ(reread[0].BackColor, 0x0000FFu);
    EXPECT_FALSE(reread[0].Outline);
    EXPECT_EQ(again.backColor(), 0x112233u);

    // "Vero" for true, read back as true.
    panel.chk_outline->setChecked(true);
    panel.cmd_salva_Click();
    EXPECT_TRUE(QString::fromUtf8(configBytes()).contains("Outline=\"Vero\""));
    pendra::LoadLayers(again, reread, match, files(), shapes(), "provincia107");
    EXPECT_TRUE(reread[0].Outline);
    EXPECT_TRUE(logLines().isEmpty());
}

TEST_F(PanelTest, SaveWithoutAMatchingChildWritesOnlyTheBackground)
{
    // The layer's file name is not the text of its Case child.
    writeConfig({{"prov"}}, {{"prov", "province107", "True"}});
    layers.clear();
    map.clearLayers();
    load();
    panel.fillLayers();
    ASSERT_EQ(panel.cmb_namelayers->currentText(), "province107");
    const QByteArray before = configBytes();
    panel.pic_mapbackcolor->setColor(42);
    panel.pic_colorsfondo->setColor(0x0000FF);
    panel.cmd_salva_Click();
    QByteArray expected = before;
    expected.replace("mapBackColor=\"16107720\"", "mapBackColor=\"42\"");
    // Only the line breaks outside the root may go (the parser keeps no text there).
    EXPECT_EQ(configBytes().replace("?>\n", "?>").trimmed(), expected.replace("?>\n", "?>").trimmed());
}

TEST_F(PanelTest, SaveKeepsTheEncodingTheFileDeclares)
{
    QByteArray latin1 = configBytes();
    latin1.replace("<?xml version=\"1.0\"?>", "<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?>");
    latin1.replace("<Label useToMatch=\"True\">DES_PROV</Label>", "<Label useToMatch=\"True\">Citt\xe0</Label>");
    writeRaw(latin1);
    panel.pic_mapbackcolor->setColor(42);
    panel.cmd_salva_Click();
    const QByteArray saved = configBytes();
    EXPECT_TRUE(saved.contains("Citt\xe0</Label>")) << saved.toStdString();
    EXPECT_TRUE(saved.contains("mapBackColor=\"42\""));
    mapkit::MapWidget again;
    QVector<pendra::MapLayerRecord> reread;
    int match = 0;
    pendra::LoadLayers(again, reread, match, files(), shapes(), "provincia107");
    ASSERT_FALSE(reread.isEmpty());
    EXPECT_EQ(reread[0].Label, QString::fromUtf8("Citt\u00e0"));
}

TEST_F(PanelTest, FailingSaveIsLoggedAndKeepsTheFile)
{
    const QByteArray cases[] = {
        "<Configs><LoadOrder><Case name=\"regioni\" mapBackColor=\"1\"/></LoadOrder></Configs>",
        "<Configs><LoadOrder><Case name=\"provincia107\"",
    };
    int logged = 0;
    for (const QByteArray &bytes : cases) {
        writeRaw(bytes);
        panel.cmd_salva_Click();
        EXPECT_EQ(configBytes(), bytes);
        const QStringList log = logLines();
        ASSERT_EQ(log.size(), ++logged);
        EXPECT_TRUE(log.last().contains("cmd_salva_Click")) << log.last().toStdString();
    }
    // The map still took the style ("Applica" runs first).
    EXPECT_EQ(map.layer("province107")->symbol().color, 14084332u);
}

TEST_F(PanelTest, SaveOnAFullDiskKeepsTheWholeOldFileAndSaysSo)
{
    const QByteArray before = configBytes();
    panel.pic_mapbackcolor->setColor(42);
    for (qint64 room : {0, 10, 100}) {
        dialogs.clear();
        vb::failWritesAfter(room);
        panel.cmd_salva_Click();
        vb::failWritesAfter(-1);
        EXPECT_EQ(configBytes(), before) << room;
        EXPECT_EQ(dialogs.messages(), QStringList{"Errore : Impossibile scrivere il file " + files() +
                                                  "ShapeConfig.xml (disco pieno) Il File Error.log è stato riempito."})
            << room;
        EXPECT_TRUE(logLines().last().contains("Function: cmd_salva_Click Error N.61 ")) << room;
        EXPECT_EQ(QDir(files()).entryList(QDir::Files | QDir::Hidden), (QStringList{"Error.log", "ShapeConfig.xml"}));
    }
    panel.cmd_salva_Click();
    EXPECT_TRUE(configBytes().contains("mapBackColor=\"42\""));
}
