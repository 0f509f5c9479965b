// The map window on a fixture program folder: drawing with quartile and manual classes, the map
// table's life, the colours of the drawn map, identify and the scale label.
#include "app/maps/ColorSwatch.h"
#include "app/maps/MapTable.h"
#include "app/maps/frm_Mappa.h"

#include "app/core/AppState.h"
#include "app/query/frm_dispData.h"

#include "AppOnFolder.h"
#include "ProgramFolder.h"
#include "forms/FormRegistry.h"
#include "forms/MousePointer.h"
#include "forms/ScriptedDialogService.h"
#include "grid/FlexGrid.h"
#include "mapkit/MapWidget.h"
#include "vb/Conversions.h"

#include "app/maps/LayerPanel.h"

#include <QAccessible>
#include <QApplication>
#include <QScrollArea>
#include <QScrollBar>
#include <QSet>
#include <QTest>
#include <QFile>
#include <QHash>
#include <QHeaderView>
#include <QMouseEvent>
#include <QSplitter>
#include <gtest/gtest.h>

using namespace pendra;

void PrintTo(const QString &text, std::ostream *os)
{
    *os << '"' << text.toStdString() << '"';
}

namespace {

std::unique_ptr<fixtures::ProgramFolder> folder;

// A territory row of datagrid2: type, COD_TERR, PROV, value.
struct Territory {
    int type;
    QString code;
    QString prov;
    QString value;
};

// What a region of the drawn map shows: the commonest pixel colour inside each territory's shape.
struct DrawnMap {
    QHash<QString, QRgb> byCode;
    QRgb sea = 0;
};

class MapWindowTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { folder = std::make_unique<fixtures::ProgramFolder>(); }
    static void TearDownTestSuite() { folder.reset(); }

    void SetUp() override
    {
        resetAppState();
        vb::setUserLocale(QLocale(QLocale::Italian, QLocale::Italy));
        m_installed = std::make_unique<forms::ScopedDialogs>(dialogs);
        fixtures::useProgramFolder(*folder);
        AppState &s = app();
        s.Kind = "Variabili";
        s.CurrentDbName = "VariabiliProvince.mdb";
        s.DatabaseCambiato = "False";
        s.SqlQuery = "SELECT COD_TIPO_TERR as TipoTerritorio, COD_TERR, PROV, REG, COD_NUTS, DES_TERR as Territorio "
                     "FROM land_Ind";
        QFile::remove(folder->files() + "Error.log");
    }

    void TearDown() override
    {
        forms::FormRegistry::unloadAll();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        m_installed.reset();
        vb::resetUserLocale();
        resetAppState();
    }

    // The hand-off's results, set directly: datagrid2 with the rows (ascending by value as the
    // hand-off leaves them), the selected column 6 in both grids, the shared state.
    frm_Mappa *open(int mapKind, const QString &mapCase, const QString &header, const QVector<Territory> &rows)
    {
        app().MapKind = mapKind;
        app().MapCase = mapCase;
        frm_dispData *table = forms::FormRegistry::show<frm_dispData>();
        dialogs.clear();
        grid::FlexGridModel &data = table->datagrid()->grid();
        data.setCols(7);
        data.setTextMatrix(0, 6, header);
        data.setColSel(6);
        table->lblDescVar()->setPlainText("Popolazione residente");
        grid::FlexGridModel &g = table->datagrid2()->grid();
        g.setCols(7);
        g.setRows(rows.size() + 1);
        g.setTextMatrix(0, 6, header);
        for (int i = 0; i < rows.size(); ++i) {
            const int r = i + 1;
            g.setTextMatrix(r, 0, QString::number(rows[i].type));
            g.setTextMatrix(r, 1, rows[i].code);
            g.setTextMatrix(r, 2, rows[i].prov);
            g.setTextMatrix(r, 6, rows[i].value);
        }
        g.setCol(6);
        g.setColSel(6);
        window = forms::FormRegistry::show<frm_Mappa>();
        window->resize(1400, 900);
        QApplication::processEvents();
        return window;
    }

    MapTable table() const { return MapTable(folder->files(), app().DaoConnect); }
    QStringList tableRows() const
    {
        jet::Database db = table().OpenUserDb();
        jet::Recordset rs = db.openRecordset("select * from tMappa");
        QStringList out;
        for (; !rs.eof(); rs.moveNext()) {
            QStringList cells;
            for (int i = 0; i < rs.fieldCount(); ++i)
                cells << (rs.value(i).isNull() ? QStringLiteral("<null>") : vb::CStr(rs.value(i)));
            out << cells.join('|');
        }
        return out;
    }
    QStringList gridLabels() const
    {
        QStringList out;
        const grid::FlexGridModel &g = window->GridIndici->grid();
        for (int r = 0; r < g.Rows(); ++r)
            out << g.TextMatrix(r, 1);
        return out;
    }
    QStringList logLines() const
    {
        QFile f(folder->files() + "Error.log");
        if (!f.open(QIODevice::ReadOnly))
            return {};
        return QString::fromLatin1(f.readAll()).split("\r\n", Qt::SkipEmptyParts);
    }

    // Scans the drawn map every 3 pixels; `layerName` is the layer identified on, `field` its code field.
    DrawnMap drawn(const QString &layerName, const QString &field, QHash<QString, QPoint> *inside = nullptr)
    {
        const QImage image = window->Map2->grab().toImage();
        const auto layer = window->Map2->layer(layerName);
        QHash<QString, QHash<QRgb, int>> counts;
        QHash<QRgb, int> sea;
        for (int y = 2; y < image.height(); y += 3) {
            for (int x = 2; x < image.width(); x += 3) {
                const QPointF at = window->Map2->toMapPoint(x * 15.0, y * 15.0);
                mapkit::MapRecordset found = layer->searchShape(at);
                const QRgb rgb = image.pixel(x, y) & 0xFFFFFF;
                if (found.eof()) {
                    ++sea[rgb];
                    continue;
                }
                const QString code = found.text(field);
                ++counts[code][rgb];
                if (inside && !inside->contains(code))
                    inside->insert(code, QPoint(x, y));
            }
        }
        auto commonest = [](const QHash<QRgb, int> &c) {
            QRgb best = 0;
            int n = -1;
            for (auto it = c.begin(); it != c.end(); ++it)
                if (it.value() > n) { n = it.value(); best = it.key(); }
            return best;
        };
        DrawnMap out;
        for (auto it = counts.begin(); it != counts.end(); ++it)
            out.byCode[it.key()] = commonest(it.value());
        out.sea = commonest(sea);
        return out;
    }

    QStringList identifyItems() const
    {
        QStringList out;
        for (int i = 0; i < window->ListView1->topLevelItemCount(); ++i)
            out << window->ListView1->topLevelItem(i)->text(0) + "=" + window->ListView1->topLevelItem(i)->text(1);
        return out;
    }

    forms::ScriptedDialogService dialogs;
    frm_Mappa *window = nullptr;

private:
    std::unique_ptr<forms::ScopedDialogs> m_installed;
};

QRgb rgbOf(forms::OleColor c)
{
    return qRgb(c & 0xFF, (c >> 8) & 0xFF, (c >> 16) & 0xFF) & 0xFFFFFF;
}

// Eight Piedmont and Ligurian provinces with values 1 to 8, Savona without one.
const QVector<Territory> eightProvinces = {
    {1, "P009", "9", ""},     {1, "P001", "1", "1,00"}, {1, "P002", "2", "2,00"}, {1, "P003", "3", "3,00"},
    {1, "P004", "4", "4,00"}, {1, "P005", "5", "5,00"}, {1, "P006", "6", "6,00"}, {1, "P007", "7", "7,00"},
    {1, "P008", "8", "10234567,89"},
};

}  // namespace

TEST_F(MapWindowTest, LoadShowsTheStatisticsAndNoClasses)
{
    open(2, "provincia107", "AS013_2005", eightProvinces);
    EXPECT_EQ(window->lbl_Ricfor->text(), "AS013_2005");
    EXPECT_EQ(window->txtVariabile->text(), "AS013_2005: Popolazione residente");
    EXPECT_EQ(window->Label9->text(), "(1)");
    EXPECT_EQ(window->Label11->text(), "(10234567,89)");
    EXPECT_EQ(window->Label12->text(), "(1137177,32)");  // (28 + 10234567,89) / 9 rows
    EXPECT_EQ(window->txt_min->text(), "1");
    // The pickers start from the quartile ramp's two ends and, for manual classes, black.
    EXPECT_EQ(window->lbl_mincolor->color(), 0x80FFFFu);
    EXPECT_EQ(window->lbl_maxcolor->color(), 0xFF5555u);
    EXPECT_EQ(window->lbl_colore->color(), 0u);
    EXPECT_TRUE(window->GridIndici->isHidden());
    EXPECT_FALSE(window->cmd_GoMap->isEnabled());
    EXPECT_TRUE(window->cmd_Stampa->isHidden());
    EXPECT_EQ(window->Map2->layerCount(), 2);
    EXPECT_TRUE(logLines().isEmpty()) << logLines().join("\n").toStdString();
    EXPECT_FALSE(table().exists());
}

TEST_F(MapWindowTest, QuartilesColourEveryProvinceByItsClass)
{
    open(2, "provincia107", "AS013_2005", eightProvinces);
    window->Cmd_cmdAutocolor_Click();
    EXPECT_TRUE(logLines().isEmpty()) << logLines().join("\n").toStdString();
    EXPECT_EQ(gridLabels(), QStringList({" Da 1,00 a 2,00", " Da 3,00 a 4,00", " Da 5,00 a 6,00",
                                         " Da 7,00 a 10234567,89", " Dato non presente"}));
    EXPECT_EQ(tableRows(), QStringList({"1|1|1", "2|2|1", "3|3|2", "4|4|2", "5|5|3", "6|6|3", "7|7|4",
                                        "8|10234567,89|4"}));
    const auto td = table().OpenUserDb().tableDef("tMappa");
    EXPECT_EQ(td->fields[0].type, jet::FieldType::Single);
    EXPECT_EQ(td->fields[1].type, jet::FieldType::Double);

    const grid::FlexGridModel &g = window->GridIndici->grid();
    const DrawnMap map = drawn("province107", "COD_PROV");
    EXPECT_EQ(map.byCode["1"], rgbOf(0x80FFFF));          // first class: the start colour
    EXPECT_EQ(map.byCode["3"], rgbOf(g.cellBackColor(1, 0)));
    EXPECT_EQ(map.byCode["5"], rgbOf(g.cellBackColor(2, 0)));
    EXPECT_EQ(map.byCode["8"], rgbOf(0xFF5555));          // last class: the end colour
    EXPECT_EQ(map.byCode["9"], rgbOf(0xFFFFFF));          // no value
    EXPECT_EQ(map.byCode["15"], rgbOf(0xFFFFFF));         // not in the table
    EXPECT_EQ(map.sea, qRgb(200, 228, 245) & 0xFFFFFF);   // the case's background
    EXPECT_EQ(g.cellBackColor(4, 0), 0xFFFFFFu);
    EXPECT_FALSE(window->cmd_Select->isEnabled());
    EXPECT_FALSE(window->cmd_Stampa->isHidden());
    // What the print layout reads.
    const QVector<MapClassRow> rows = window->classRows();
    ASSERT_EQ(rows.size(), 5);
    EXPECT_EQ(rows[0].color, 0x80FFFFu);
    EXPECT_EQ(rows[4].label, " Dato non presente");
    EXPECT_EQ(window->description(), "AS013_2005: Popolazione residente");
}

TEST_F(MapWindowTest, ManualClassesLeaveAValueBetweenThemWhite)
{
    const QVector<Territory> regions = {
        {2, "R01", "", "10,00"}, {2, "R03", "", "15,00"}, {2, "R05", "", "20,005"}, {2, "R07", "", "25,00"},
        {22, "R09", "", "30,00"},
    };
    open(4, "regioni", "IAS013_2005", regions);
    window->Option3->setChecked(true);
    EXPECT_TRUE(window->Frame2->isVisibleTo(window));
    window->txt_min->setText("10");
    window->txt_Max->setText("20");
    dialogs.answerColor(0x0000FF);
    window->lbl_colore_Click();
    window->cmd_Select_Click();
    EXPECT_EQ(window->txt_min->text(), "20,01");
    {
        // The new class is the selected row: its swatch still shows the class colour.
        window->show();
        QCoreApplication::processEvents();
        const QRect cell = window->GridIndici->visualRect(window->GridIndici->model()->index(0, 0));
        ASSERT_TRUE(window->GridIndici->selectionModel()->isSelected(window->GridIndici->model()->index(0, 0)));
        const QImage shown = window->GridIndici->viewport()->grab().toImage();
        EXPECT_EQ(shown.pixel(cell.center()) & 0xFFFFFF, rgbOf(0x0000FF));
    }
    window->txt_Max->setText("29");
    dialogs.answerColor(0x00FF00);
    window->lbl_colore_Click();
    window->cmd_Select_Click();
    window->txt_Max->setText("35");
    window->cmd_Select_Click();  // above the maximum: refused
    EXPECT_EQ(dialogs.messages().value(0), "Scrivere un numero compreso tra 10 e 30");
    window->txt_Max->setText("30");
    dialogs.answerColor(std::nullopt);  // cancelled: the swatch keeps green
    window->lbl_colore_Click();
    window->cmd_Select_Click();
    EXPECT_TRUE(window->cmd_GoMap->isEnabled());
    window->cmd_GoMap_Click();
    EXPECT_TRUE(logLines().isEmpty()) << logLines().join("\n").toStdString();
    EXPECT_EQ(gridLabels(), QStringList({"Da 10 a 20", "Da 20,01 a 29", "Da 29,01 a 30", "Dato non presente"}));
    EXPECT_EQ(tableRows(), QStringList({"R01|10|1", "R03|15|1", "R05|20,005|<null>", "R07|25|2", "R09|30|3"}));
    EXPECT_EQ(table().OpenUserDb().tableDef("tMappa")->fields[0].type, jet::FieldType::Text);

    const DrawnMap map = drawn("regioni", "COD_TERR");
    EXPECT_EQ(map.byCode["R01"], rgbOf(0x0000FF));
    EXPECT_EQ(map.byCode["R07"], rgbOf(0x00FF00));
    EXPECT_EQ(map.byCode["R09"], rgbOf(0x00FF00));
    EXPECT_EQ(map.byCode["R05"], rgbOf(0xFFFFFF));  // between two classes
    EXPECT_FALSE(window->cmd_GoMap->isEnabled());
}

TEST_F(MapWindowTest, IdentifyListsValueAndNames)
{
    open(2, "provincia107", "AS013_2005", eightProvinces);
    // Before any drawing, with classes formed: the names alone, no error box.
    window->Option3->setChecked(true);
    window->txt_Max->setText("5");
    window->cmd_Select_Click();
    window->cmd_Select_Click();
    ASSERT_EQ(window->GridIndici->grid().Rows(), 2);
    QHash<QString, QPoint> inside;
    drawn("province107", "COD_PROV", &inside);
    window->DoIdentify(inside["1"].x() * 15.0, inside["1"].y() * 15.0);
    EXPECT_EQ(identifyItems(), QStringList({"Provincia=Torino", "REGIONE=Piemonte"}));
    EXPECT_TRUE(dialogs.messages().isEmpty()) << dialogs.messages().join("\n").toStdString();

    window->cmd_GoMap_Click();
    window->DoIdentify(inside["8"].x() * 15.0, inside["8"].y() * 15.0);
    EXPECT_EQ(identifyItems().value(0), "AS013_2005=10234567,89");
    window->DoIdentify(inside["1"].x() * 15.0, inside["1"].y() * 15.0);
    EXPECT_EQ(identifyItems(), QStringList({"AS013_2005=1", "Provincia=Torino", "REGIONE=Piemonte"}));
    window->DoIdentify(5 * 15.0, 5 * 15.0);  // the sea
    EXPECT_TRUE(identifyItems().isEmpty());
    EXPECT_TRUE(logLines().isEmpty()) << logLines().join("\n").toStdString();
}

TEST_F(MapWindowTest, IdentifyOnARegion)
{
    open(4, "regioni", "IAS013_2005", {{2, "R01", "", "12,50"}, {2, "R02", "", "30,00"}});
    window->Cmd_cmdAutocolor_Click();
    QHash<QString, QPoint> inside;
    drawn("regioni", "COD_TERR", &inside);
    window->DoIdentify(inside["R01"].x() * 15.0, inside["R01"].y() * 15.0);
    EXPECT_EQ(identifyItems(), QStringList({"IAS013_2005=12,5", "DES_TERR=Piemonte"}));
    EXPECT_TRUE(logLines().isEmpty()) << logLines().join("\n").toStdString();
}

TEST_F(MapWindowTest, MapTableGoesWithResetAndClose)
{
    open(2, "provincia107", "AS013_2005", eightProvinces);
    window->Cmd_cmdAutocolor_Click();
    EXPECT_TRUE(table().exists());
    window->cmd_reset_Click();
    EXPECT_FALSE(table().exists());
    EXPECT_TRUE(window->GridIndici->isHidden());
    EXPECT_EQ(window->Map2->layerCount(), 2);

    window->Cmd_cmdAutocolor_Click();
    EXPECT_TRUE(table().exists());
    window->cmd_close_Click();
    EXPECT_FALSE(forms::FormRegistry::isLoaded<frm_Mappa>());
    EXPECT_FALSE(table().exists());

    // A second hand-off closes the open window first (FormRegistry::unload), and the table goes with it.
    open(2, "provincia107", "AS013_2005", eightProvinces);
    window->Cmd_cmdAutocolor_Click();
    forms::FormRegistry::unload<frm_Mappa>();
    EXPECT_FALSE(table().exists());

    // Closing the data table window closes the map window first.
    open(2, "provincia107", "AS013_2005", eightProvinces);
    window->Cmd_cmdAutocolor_Click();
    forms::FormRegistry::unload<frm_dispData>();
    EXPECT_FALSE(forms::FormRegistry::isLoaded<frm_Mappa>());
    EXPECT_FALSE(table().exists());
    EXPECT_TRUE(logLines().isEmpty()) << logLines().join("\n").toStdString();
}

TEST_F(MapWindowTest, EqualWidthRefusesAZeroClassCountAndDrawsNothing)
{
    open(2, "provincia107", "AS013_2005", eightProvinces);
    window->Option2->setChecked(true);
    window->txtClassi->setText("0");
    window->cmdSelClassiUgualeAmp_Click();
    EXPECT_EQ(dialogs.messages(), QStringList({"Il numero delle classi deve essere compreso tra 1 e 9."}));
    EXPECT_TRUE(window->GridIndici->isHidden());
    EXPECT_FALSE(window->Command2->isEnabled());
}

TEST_F(MapWindowTest, EqualWidthClassesThenTheirMap)
{
    // Values 0 to 10: the three classes of a width of 3,33.
    open(2, "provincia107", "AS013_2005",
         {{1, "P001", "1", "0"}, {1, "P002", "2", "2"}, {1, "P003", "3", "5"}, {1, "P004", "4", "10"}});
    window->show();
    QApplication::processEvents();
    window->Option2->setChecked(true);
    EXPECT_TRUE(window->Frame3->isVisibleTo(window));
    EXPECT_FALSE(window->Frame5->isVisibleTo(window));
    EXPECT_FALSE(window->Frame2->isVisibleTo(window));
    EXPECT_FALSE(window->cmdNota->isVisibleTo(window));
    window->txtClassi->setText("3");
    window->cmdSelClassiUgualeAmp_Click();
    EXPECT_TRUE(dialogs.messages().isEmpty()) << dialogs.messages().join("\n").toStdString();
    EXPECT_EQ(gridLabels(), QStringList({"Da 0 a 3,33", "Da 3,34 a 6,66", "Da 6,67 a 10"}));
    const grid::FlexGridModel &g = window->GridIndici->grid();
    EXPECT_EQ(g.cellBackColor(0, 0), 0x80FFFFu);  // the fixed ramp, whatever the pickers show
    EXPECT_EQ(g.cellBackColor(2, 0), 0xFF5555u);
    EXPECT_TRUE(window->Command2->isEnabled());
    EXPECT_FALSE(window->cmdSelClassiUgualeAmp->isEnabled());
    EXPECT_FALSE(window->cmd_Select->isEnabled());
    EXPECT_FALSE(window->Cmd_cmdAutocolor->isEnabled());
    EXPECT_FALSE(window->cmd_GoMap->isEnabled());
    // The label column fills the grid beside the 300-twip swatch, also after the window grows.
    auto labelColumnFits = [this] {
        QApplication::processEvents();
        const QHeaderView *header = window->GridIndici->horizontalHeader();
        EXPECT_EQ(header->sectionSize(0), 20);
        EXPECT_EQ(header->length(), window->GridIndici->viewport()->width());
    };
    labelColumnFits();
    window->resize(1500, 950);
    labelColumnFits();

    window->Command2_Click();
    EXPECT_TRUE(logLines().isEmpty()) << logLines().join("\n").toStdString();
    EXPECT_EQ(gridLabels().value(3), "Dato non presente");
    EXPECT_EQ(tableRows(), QStringList({"1|0|1", "2|2|1", "3|5|2", "4|10|3"}));
    EXPECT_FALSE(window->Command2->isEnabled());
    EXPECT_FALSE(window->cmd_Stampa->isHidden());

    window->Option1->setChecked(true);
    EXPECT_TRUE(window->cmdNota->isVisibleTo(window));
    EXPECT_EQ(window->fraCB->title(), "");
    EXPECT_EQ(gridLabels().size(), 4);  // another option keeps the classes
}

TEST_F(MapWindowTest, QuartilesWithoutAMatchLayerLeaveNoHourglass)
{
    // A boundary set the configuration does not know: no layers, nothing to colour.
    open(2, "nessuno", "AS013_2005", eightProvinces);
    window->Cmd_cmdAutocolor_Click();
    EXPECT_EQ(forms::mousePointer(), forms::MousePointer::Default);
}

TEST(MapScaleLabel, RoundsHalfToEvenInTheUserLocale)
{
    vb::setUserLocale(QLocale(QLocale::Italian, QLocale::Italy));
    EXPECT_EQ(ScaleLabelText(2.5), "1 cm = 2,5 km");
    EXPECT_EQ(ScaleLabelText(10), "1 cm = 10 km");
    EXPECT_EQ(ScaleLabelText(12.35), "1 cm = 12 km");
    EXPECT_EQ(ScaleLabelText(12.5), "1 cm = 12 km");
    EXPECT_EQ(ScaleLabelText(13.5), "1 cm = 14 km");
    EXPECT_EQ(ScaleLabelText(0.125), "1 cm = 0,12 km");
    vb::resetUserLocale();
}

TEST_F(MapWindowTest, NumberBoxesTakeOnlyTheirCharacters)
{
    open(2, "provincia107", "AS013_2005", eightProvinces);
    window->txt_min->clear();
    QTest::keyClicks(window->txt_min, "-1a,5x");
    EXPECT_EQ(window->txt_min->text(), "-1,5");
    QTest::keyClick(window->txt_min, Qt::Key_Backspace);
    EXPECT_EQ(window->txt_min->text(), "-1,");
    QTest::keyClick(window->txt_min, Qt::Key_Left);
    QTest::keyClick(window->txt_min, Qt::Key_Delete);
    EXPECT_EQ(window->txt_min->text(), "-1");

    QTest::keyClicks(window->txtClassi, ",a");
    EXPECT_EQ(window->txtClassi->text(), "");
    QTest::keyClicks(window->txtClassi, "47");  // one character at most
    EXPECT_EQ(window->txtClassi->text(), "4");
    QTest::keyClick(window->txtClassi, Qt::Key_Backspace);
    EXPECT_EQ(window->txtClassi->text(), "4");
}

TEST_F(MapWindowTest, ZoomOutAndFullExtent)
{
    open(2, "provincia107", "AS013_2005", eightProvinces);
    window->chk_zoom->setChecked(true);
    EXPECT_FALSE(window->chk_inform->isChecked());
    // The label's kilometres per centimetre: the drawn width (metres) over the map's width at 96 dpi.
    auto expectScaleOfTheDrawnExtent = [&](const char *when) {
        const double km = window->Map2->extent().width() / 1000;
        const double cm = window->Map2->width() / 96.0 * 2.54;
        const QString label = window->lblScalaKm->text();
        ASSERT_TRUE(label.startsWith("1 cm = ") && label.endsWith(" km")) << when << ": " << label.toStdString();
        bool ok = false;
        const double shown = QString(label.mid(7).chopped(3)).replace(u',', u'.').toDouble(&ok);
        ASSERT_TRUE(ok) << label.toStdString();
        EXPECT_NEAR(shown, km / cm, km / cm > 10 ? 0.5 : 0.005) << when << ": " << label.toStdString();
    };
    const mapkit::MapRect before = window->Map2->extent();
    window->Map2_MouseDown(1, 1, 100, 100);  // shift-click
    const mapkit::MapRect after = window->Map2->extent();
    EXPECT_NEAR(after.width(), before.width() * 1.5, before.width() * 1e-9);
    EXPECT_NEAR(after.center().x(), before.center().x(), 1e-6);
    expectScaleOfTheDrawnExtent("zoomed out");
    window->Map2_MouseDown(2, 0, 100, 100);  // right click
    // The full extent, widened to the widget's shape.
    const mapkit::MapRect full = window->Map2->fullExtent(), shown = window->Map2->extent();
    EXPECT_TRUE(shown.contains({full.left, full.top}) && shown.contains({full.right, full.bottom}));
    EXPECT_TRUE(std::abs(shown.width() - full.width()) < 1 || std::abs(shown.height() - full.height()) < 1);
    EXPECT_NEAR(full.width() / 1000, 1000, 250);  // the sample's Italy, in metres
    expectScaleOfTheDrawnExtent("full extent");
}

TEST_F(MapWindowTest, TheSplitterStopsRightOfItsLimitAndNeverHidesThePanels)
{
    open(2, "provincia107", "AS013_2005", eightProvinces);
    QSplitterHandle *handle = window->picSplitter->handle(1);
    // The splitter's left edge in the window, in twips.
    auto splitterLeft = [&] { return handle->mapTo(window, QPoint(0, 0)).x() * 15.0; };
    auto drag = [&](double toTwips) {
        const QPoint grip(handle->width() / 2, handle->height() / 2);
        const QPoint from = handle->mapToGlobal(grip);
        const QPoint to = from + QPoint(int(toTwips / 15 - splitterLeft() / 15), 0);
        auto send = [&](QEvent::Type type, QPoint global, Qt::MouseButtons buttons) {
            QMouseEvent e(type, handle->mapFromGlobal(global), global, Qt::LeftButton, buttons, Qt::NoModifier);
            QApplication::sendEvent(handle, &e);
        };
        send(QEvent::MouseButtonPress, from, Qt::LeftButton);
        send(QEvent::MouseMove, to, Qt::LeftButton);
        send(QEvent::MouseButtonRelease, to, Qt::NoButton);
        QApplication::processEvents();
    };
    struct Case {
        double dragTo;  // twips from the window's left edge
        double lowest, highest;
    };
    const Case cases[] = {
        {0, 4271, 4290},     // the whole pane would go: it stops at the limit
        {3000, 4271, 4290},
        {4270, 4271, 4290},
        {6000, 5985, 6015},  // right of the limit it goes where dragged
    };
    for (const Case &c : cases) {
        drag(c.dragTo);
        EXPECT_GE(splitterLeft(), c.lowest) << c.dragTo;
        EXPECT_LE(splitterLeft(), c.highest) << c.dragTo;
        EXPECT_TRUE(window->picSplitter->widget(0)->isVisible());
        EXPECT_GT(window->picSplitter->sizes()[0], 0);
    }
}

namespace {

// The pane of panels left of the map, and where a widget of it stands in the pane's view.
QScrollArea *leftPane(frm_Mappa *window)
{
    return qobject_cast<QScrollArea *>(window->picSplitter->widget(0));
}

bool inView(frm_Mappa *window, const QWidget *w)
{
    QWidget *view = leftPane(window)->viewport();
    const QRect at(w->mapTo(view, QPoint(0, 0)), w->size());
    return w->isVisible() && view->rect().contains(at);
}

}  // namespace

TEST_F(MapWindowTest, AvanzateAndTheIdentifyAnswerAreScrolledIntoView)
{
    open(2, "provincia107", "AS013_2005", eightProvinces);
    window->resize(1280, 640);  // what a 1366x768 screen leaves the window
    QApplication::processEvents();
    window->Cmd_cmdAutocolor_Click();
    QApplication::processEvents();
    QScrollArea *pane = leftPane(window);
    ASSERT_NE(pane, nullptr);

    window->Avanz->click();
    ASSERT_GT(pane->verticalScrollBar()->maximum(), 0);  // the pane does not fit: it scrolls
    EXPECT_TRUE(inView(window, window->Frame4));
    EXPECT_TRUE(inView(window, window->ListView1));

    // An answer comes into view also after the user scrolled back to the classes.
    pane->verticalScrollBar()->setValue(0);
    ASSERT_FALSE(inView(window, window->ListView1));
    QHash<QString, QPoint> inside;
    drawn("province107", "COD_PROV", &inside);
    window->DoIdentify(inside["1"].x() * 15.0, inside["1"].y() * 15.0);
    EXPECT_EQ(identifyItems(), QStringList({"AS013_2005=1", "Provincia=Torino", "REGIONE=Piemonte"}));
    EXPECT_TRUE(inView(window, window->Label6));
    EXPECT_TRUE(inView(window, window->ListView1));

    // Unticking hides the three and moves nothing else.
    const int value = pane->verticalScrollBar()->value();
    window->Avanz->click();
    EXPECT_FALSE(window->Frame4->isVisible());
    EXPECT_LE(pane->verticalScrollBar()->value(), value);
    EXPECT_TRUE(logLines().isEmpty()) << logLines().join("\n").toStdString();
}

TEST_F(MapWindowTest, TheColourSwatchesWorkFromTheKeyboardAndReadTheirColour)
{
    open(2, "provincia107", "AS013_2005", eightProvinces);
    window->Avanz->setChecked(true);
    window->show();
    window->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(window));
    // Every swatch the window shows is reached by Tab, in the quartile view and in the manual one.
    auto reachedByTab = [&] {
        QSet<QWidget *> seen;
        window->Option1->setFocus(Qt::TabFocusReason);
        for (int i = 0; i < 200 && QApplication::focusWidget(); ++i) {
            seen.insert(QApplication::focusWidget());
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        }
        return seen;
    };
    QSet<QWidget *> seen = reachedByTab();
    for (ColorSwatch *s : {window->lbl_mincolor, window->lbl_maxcolor, window->Frame4->pic_colorsfondo,
                           window->Frame4->pic_colorSep, window->Frame4->pic_mapbackcolor})
        EXPECT_TRUE(seen.contains(s)) << s->accessibleName().toStdString();
    window->Option3->setChecked(true);
    EXPECT_TRUE(reachedByTab().contains(window->lbl_colore));

    // Space and Return open the colour dialog as a click does; the description follows the colour.
    struct Case {
        ColorSwatch *swatch;
        Qt::Key key;
        forms::OleColor answer;
        const char *description;
    };
    const Case cases[] = {
        {window->lbl_colore, Qt::Key_Space, 0x0000FF, "rosso 255, verde 0, blu 0"},
        {window->Frame4->pic_mapbackcolor, Qt::Key_Return, 0x804020, "rosso 32, verde 64, blu 128"},
        {window->Frame4->pic_colorSep, Qt::Key_Enter, 0x00FF00, "rosso 0, verde 255, blu 0"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.swatch->accessibleName().toStdString());
        c.swatch->setFocus(Qt::TabFocusReason);
        ASSERT_EQ(QApplication::focusWidget(), c.swatch);
        const qsizetype before = dialogs.calls().size();
        dialogs.answerColor(c.answer);
        QTest::keyClick(c.swatch, c.key, c.key == Qt::Key_Enter ? Qt::KeypadModifier : Qt::NoModifier);
        EXPECT_EQ(dialogs.calls().size(), before + 1);
        EXPECT_EQ(c.swatch->color(), c.answer);
        QAccessibleInterface *a = QAccessible::queryAccessibleInterface(c.swatch);
        ASSERT_NE(a, nullptr);
        EXPECT_EQ(a->text(QAccessible::Name), c.swatch->accessibleName());
        EXPECT_FALSE(a->text(QAccessible::Name).isEmpty());
        EXPECT_EQ(a->text(QAccessible::Description), c.description);
        EXPECT_EQ(a->role(), QAccessible::Button);
        ASSERT_NE(a->actionInterface(), nullptr);
        EXPECT_TRUE(a->actionInterface()->actionNames().contains(QAccessibleActionInterface::pressAction()));
    }
    EXPECT_TRUE(logLines().isEmpty()) << logLines().join("\n").toStdString();
}

TEST_F(MapWindowTest, ValueLabelsReadAsWhatTheyShow)
{
    open(2, "provincia107", "AS013_2005", eightProvinces);
    window->Cmd_cmdAutocolor_Click();
    window->show();
    QApplication::processEvents();
    window->RefreshScale();
    auto nameOf = [](QWidget *w) { return QAccessible::queryAccessibleInterface(w)->text(QAccessible::Name); };
    EXPECT_EQ(nameOf(window->Label9), "Minimo (1)");
    EXPECT_EQ(nameOf(window->Label11), "Massimo (10234567,89)");
    EXPECT_EQ(nameOf(window->Label12), "Media (1137177,32)");
    ASSERT_TRUE(window->lblScalaKm->text().startsWith("1 cm = "));
    EXPECT_EQ(nameOf(window->lblScalaKm), "Scala " + window->lblScalaKm->text());
}
