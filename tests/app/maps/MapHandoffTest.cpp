// The map hand-off on a fixture program folder: the data table window's column handed to a
// stand-in map window, the chooser answered as a user would, and every refusal message.
#include "app/core/AppState.h"
#include "app/core/MainMenu.h"
#include "app/maps/MapHandoff.h"
#include "app/maps/frmSelMappa.h"
#include "app/query/FormdatiTab.h"
#include "app/query/frm_dispData.h"

#include "AppOnFolder.h"
#include "ProgramFolder.h"
#include "forms/FormRegistry.h"
#include "forms/ScriptedDialogService.h"
#include "forms/TitleRoom.h"
#include "grid/FlexGrid.h"
#include "vb/Conversions.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QPointer>
#include <QFile>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <functional>
#include <gtest/gtest.h>
#include <memory>

using namespace pendra;

namespace {

std::unique_ptr<fixtures::ProgramFolder> folder;

// Every unit of the small fixture with AS013 of 2005 and of 2006 (the rows of land_Ind of every type).
const char *const DataQuery =
    "SELECT land_Ind.COD_TIPO_TERR as TipoTerritorio, land_Ind.COD_TERR, land_Ind.PROV, land_Ind.REG, "
    "land_Ind.COD_NUTS, land_Ind.DES_TERR as Territorio, Format(AS_2005.AS013, '0.00') as AS013_2005, "
    "Format(AS_2006.AS013, '0.00') as AS013_2006 "
    "FROM (AS_2005 INNER JOIN land_Ind  ON AS_2005.COD_TERR = land_Ind.COD_TERR) INNER JOIN AS_2006 ON "
    "AS_2006.COD_TERR = AS_2005.COD_TERR";

// The map window as far as the hand-off knows it: a window named "frm_Mappa".
class MappaStandIn : public forms::Form {
public:
    MappaStandIn() : forms::Form("frm_Mappa") { setMdiChild(false); }
    std::function<void()> onUnload;

protected:
    void formUnload() override
    {
        if (onUnload)
            onUnload();
    }
};

// The print layout of the map, as far as the hand-off knows it.
class PrintMappaStandIn : public forms::Form {
public:
    PrintMappaStandIn() : forms::Form("PrintMappa") { setMdiChild(false); }
};

// What the map window would have seen when it opened.
struct Opening {
    QStringList types;       // column 0 of datagrid2 below the header
    QStringList header;      // row 0 of datagrid2
    int colSel = -1;         // ColSel of datagrid2
    QStringList mappedColumn;  // the mapped column of datagrid, as sorted at that moment
    qint16 mapKind = -1;
    QString mapCase;
    QString codVariabile;
    QString description;
};

class MapHandoffTest : public ::testing::Test {
public:
    static void SetUpTestSuite() { folder = std::make_unique<fixtures::ProgramFolder>(); }
    static void TearDownTestSuite() { folder.reset(); }

    void SetUp() override
    {
        resetAppState();
        frm_dispData::tp1 = 0;  // they outlive the window
        frm_dispData::tp2 = 0;
        dialogs.clear();
        vb::setUserLocale(QLocale(QLocale::Italian, QLocale::Italy));
        m_installed = std::make_unique<forms::ScopedDialogs>(dialogs);
        fixtures::useProgramFolder(*folder);
        AppState &s = app();
        s.Kind = "Variabili";
        s.CurrentDbName = "VariabiliProvince.mdb";
        s.CurrentLivTerritoriale = "T";
        s.DatabaseCambiato = "False";
        s.SqlQuery = DataQuery;
        s.LivMappa = 1;
        QFile::remove(folder->files() + "Error.log");
        registerMapHandoff();
        registerFormOpener("FRM_MAPPA", [this] {
            frm_dispData *t = forms::FormRegistry::find<frm_dispData>();
            const grid::FlexGridModel &g2 = t->datagrid2()->grid();
            Opening o;
            for (int c = 0; c < g2.Cols(); ++c)
                o.header << g2.TextMatrix(0, c);
            for (int r = 1; r < g2.Rows(); ++r)
                o.types << g2.TextMatrix(r, 0);
            o.colSel = g2.ColSel();
            const grid::FlexGridModel &g = t->datagrid()->grid();
            for (int r = 1; r < g.Rows(); ++r)
                o.mappedColumn << g.TextMatrix(r, g2.ColSel());
            o.mapKind = app().MapKind;
            o.mapCase = app().MapCase;
            o.codVariabile = app().CodVariabile;
            o.description = t->lblDescVar()->toPlainText();
            openings.append(o);
            forms::FormRegistry::show<MappaStandIn>();
        });
        table = forms::FormRegistry::get<frm_dispData>();
        ASSERT_GT(grid().Rows(), 10);
        select(6);  // AS013_2005
    }

    void TearDown() override
    {
        forms::FormRegistry::unloadAll();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        unregisterFormOpener("FRM_MAPPA");
        frm_dispData::setCreateMapHandler(nullptr);
        m_installed.reset();
        vb::resetUserLocale();
        resetAppState();
    }

    grid::FlexGridModel &grid() { return table->datagrid()->grid(); }
    void select(int col)
    {
        grid().setRow(1);
        grid().setCol(col);
    }
    // The types of the rows of datagrid, sorted, that hold one of the given types.
    QStringList typesOf(std::initializer_list<const char *> wanted)
    {
        QStringList out;
        for (int r = 1; r < grid().Rows(); ++r)
            for (const char *w : wanted)
                if (grid().TextMatrix(r, 0) == QLatin1String(w))
                    out << grid().TextMatrix(r, 0);
        out.sort();
        return out;
    }
    // Runs the hand-off; `answer` acts on the chooser once it is shown (no chooser expected: null).
    void handOff(std::function<void(frmSelMappa &)> answer = nullptr)
    {
        chooserShown = false;
        if (answer) {
            QTimer::singleShot(0, [this, answer] {
                frmSelMappa *chooser = forms::FormRegistry::find<frmSelMappa>();
                ASSERT_NE(chooser, nullptr);
                chooserShown = chooser->isVisible();
                provinciaEnabled = chooser->cmdProv()->isEnabled();
                answer(*chooser);
            });
        }
        table->cmd_createmap()->click();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
    QStringList logLines() const
    {
        QFile f(folder->files() + "Error.log");
        if (!f.open(QIODevice::ReadOnly))
            return {};
        return QString::fromLatin1(f.readAll()).split("\r\n", Qt::SkipEmptyParts);
    }

    forms::ScriptedDialogService dialogs;
    frm_dispData *table = nullptr;
    QVector<Opening> openings;
    bool chooserShown = false;
    bool provinciaEnabled = true;

private:
    std::unique_ptr<forms::ScopedDialogs> m_installed;
};

QStringList sorted(QStringList list)
{
    list.sort();
    return list;
}

bool ascendingNumbers(const QStringList &cells)
{
    double last = -1e300;
    for (const QString &c : cells) {
        if (c.isEmpty())
            continue;
        const double v = vb::CDbl(vb::Variant(c));
        if (v < last)
            return false;
        last = v;
    }
    return true;
}

}  // namespace

TEST_F(MapHandoffTest, ProvincesGoDirectlyWithTheirRowsAndBoundarySet)
{
    handOff();
    ASSERT_EQ(openings.size(), 1);
    const Opening &o = openings[0];
    EXPECT_EQ(o.mapKind, 2);
    EXPECT_EQ(o.mapCase, "provincia107");  // AS013 of 2005
    EXPECT_EQ(o.codVariabile, "AS013");
    EXPECT_EQ(o.colSel, 6);
    EXPECT_EQ(o.header.value(6), "AS013_2005");
    EXPECT_EQ(o.header.value(5), "Territorio");
    EXPECT_EQ(sorted(o.types), typesOf({"1", "6"}));
    EXPECT_TRUE(o.types.contains("6"));
    EXPECT_FALSE(o.description.isEmpty());
    // The map window saw datagrid sorted on the mapped column.
    EXPECT_TRUE(ascendingNumbers(o.mappedColumn)) << o.mappedColumn.join(' ').toStdString();
    EXPECT_EQ(table->tp1, 1);
    EXPECT_EQ(table->tp2, 6);
    EXPECT_EQ(table->lbl_Ricfor, "AS013_2005");
    EXPECT_EQ(table->cd_set_var, "AS");
    EXPECT_EQ(table->nr_var, "013");
    EXPECT_EQ(table->anno_var, "2005");
    EXPECT_TRUE(dialogs.messages().isEmpty()) << dialogs.messages().join('|').toStdString();
    EXPECT_TRUE(forms::FormRegistry::isLoaded<MappaStandIn>());

    select(7);  // AS013_2006
    handOff();
    ASSERT_EQ(openings.size(), 2);
    EXPECT_EQ(openings[1].mapCase, "provincia107");
    EXPECT_EQ(openings[1].header.value(7), "AS013_2006");
    EXPECT_EQ(openings[1].colSel, 7);
}

TEST_F(MapHandoffTest, RegionsCopyOnlyTypes2And22)
{
    app().LivMappa = 4;
    handOff();
    ASSERT_EQ(openings.size(), 1);
    EXPECT_EQ(openings[0].mapKind, 4);
    EXPECT_EQ(openings[0].mapCase, "regioni");
    EXPECT_EQ(sorted(openings[0].types), typesOf({"2", "22"}));
    EXPECT_TRUE(openings[0].types.contains("22"));
    EXPECT_EQ(table->tp1, 2);
    EXPECT_EQ(table->tp2, 22);
}

TEST_F(MapHandoffTest, TheChooserIsWideEnoughForItsTitle)
{
    app().LivMappa = 3;
    int width = 0, room = 0;
    handOff([&](frmSelMappa &c) {
        width = c.width();
        room = forms::titleRoom(c);
        c.cmdAnnulla()->click();
    });
    EXPECT_TRUE(chooserShown);
    EXPECT_GT(room, 0);
    EXPECT_GE(width, room);
}

TEST_F(MapHandoffTest, ChooserNuts2AndProvinceCases)
{
    app().LivMappa = 3;
    handOff([](frmSelMappa &c) { c.Cmdnut2()->click(); });
    EXPECT_TRUE(chooserShown);
    EXPECT_TRUE(provinciaEnabled);
    ASSERT_EQ(openings.size(), 1);
    EXPECT_EQ(openings[0].mapKind, 3);
    EXPECT_EQ(openings[0].mapCase, "nuts2");
    EXPECT_EQ(sorted(openings[0].types), typesOf({"2", "6"}));
    EXPECT_EQ(table->tipoTerrNow, 2);

    struct Case {
        const char *header;
        const char *mapCase;
    } cases[] = {{"AS013_2005", "provincia107"}, {"AS013_2004", "provincia103"},
                 {"IM001_2007", "provincia103"}, {"IM001_2008", "provincia107"}};
    for (const Case &c : cases) {
        grid().setTextMatrix(0, 6, c.header);
        select(6);
        app().LivMappa = 3;
        handOff([](frmSelMappa &chooser) { chooser.cmdProv()->click(); });
        EXPECT_EQ(app().MapKind, 2) << c.header;
        EXPECT_EQ(app().MapCase, c.mapCase) << c.header;
        EXPECT_EQ(table->tp1, 1);
        EXPECT_EQ(table->tp2, 6);
        EXPECT_EQ(table->tipoTerrNow, 1);
    }
    EXPECT_EQ(openings.size(), 5);
}

TEST_F(MapHandoffTest, ChooserOffersNoProvincesForNuts2OrRegionalData)
{
    struct Case {
        const char *liv;
        qint16 level;
        bool provincia;
    } cases[] = {{"R", 3, false}, {"T", 2, false}, {"R", 2, false}, {"T", 3, true}};
    for (const Case &c : cases) {
        app().CurrentLivTerritoriale = c.liv;
        app().LivMappa = c.level;
        select(6);
        handOff([](frmSelMappa &chooser) { chooser.cmdReg()->click(); });
        EXPECT_EQ(provinciaEnabled, c.provincia) << c.liv << " " << c.level;
        EXPECT_EQ(app().MapCase, "regioni");
    }
}

TEST_F(MapHandoffTest, CancelledChooserStopsWithoutMessageAndKeepsTheEarlierChoice)
{
    handOff();  // provinces first
    ASSERT_EQ(openings.size(), 1);
    const QString caseBefore = app().MapCase;

    const std::function<void(frmSelMappa &)> cancels[] = {
        [](frmSelMappa &c) { c.cmdAnnulla()->click(); },
        [](frmSelMappa &c) { c.close(); },  // the title bar's close button
    };
    for (const auto &cancel : cancels) {
        app().LivMappa = 2;
        select(6);
        handOff(cancel);
        EXPECT_TRUE(chooserShown);
        EXPECT_EQ(app().MapKind, 0);
        EXPECT_EQ(table->tipoTerrNow, 0);
        EXPECT_EQ(app().MapCase, caseBefore);
        EXPECT_EQ(table->tp1, 1);
        EXPECT_EQ(table->tp2, 6);
        EXPECT_EQ(openings.size(), 1);
        EXPECT_FALSE(forms::FormRegistry::isLoaded<frmSelMappa>());
    }
    EXPECT_TRUE(dialogs.messages().isEmpty()) << dialogs.messages().join('|').toStdString();
}

TEST_F(MapHandoffTest, SecondHandOffClosesTheOpenMapWindowFirst)
{
    handOff();
    MappaStandIn *first = forms::FormRegistry::find<MappaStandIn>();
    ASSERT_NE(first, nullptr);
    QStringList seenAtClose;
    first->onUnload = [&] {
        // Closing drops what the map window drew from: datagrid2 is still the first column's.
        const grid::FlexGridModel &g2 = table->datagrid2()->grid();
        seenAtClose << g2.TextMatrix(0, g2.ColSel()) << app().MapCase;
    };
    forms::FormRegistry::show<PrintMappaStandIn>();  // the layout of the first map
    select(7);
    handOff();
    EXPECT_EQ(seenAtClose, (QStringList{"AS013_2005", "provincia107"}));
    EXPECT_FALSE(forms::FormRegistry::isLoaded<PrintMappaStandIn>());
    ASSERT_EQ(openings.size(), 2);
    EXPECT_TRUE(forms::FormRegistry::isLoaded<MappaStandIn>());
    EXPECT_NE(forms::FormRegistry::find<MappaStandIn>(), first);
}

TEST_F(MapHandoffTest, PopUpItemWithTheMapOpenMapsTheColumnPressedOn)
{
    table->show();
    QCoreApplication::processEvents();
    handOff();
    ASSERT_EQ(openings.size(), 1);
    // A right press on AS013_2006, then "Crea cartogramma da questa colonna".
    grid::FlexGrid *view = table->datagrid();
    const QPoint cell = view->visualRect(view->model()->index(2, 7)).center();
    QTest::mousePress(view->viewport(), Qt::RightButton, {}, cell);
    table->mnu_ordinam()->hide();
    table->mnu_createMap()->trigger();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    ASSERT_EQ(openings.size(), 2);
    EXPECT_EQ(openings[1].colSel, 7);
    EXPECT_EQ(openings[1].header.value(7), "AS013_2006");
    EXPECT_TRUE(dialogs.messages().isEmpty()) << dialogs.messages().join('|').toStdString();
}

TEST_F(MapHandoffTest, RefusalsShowTheirMessagesAndOpenNoMap)
{
    struct Case {
        const char *name;
        std::function<void(MapHandoffTest &)> arrange;
        const char *message;
        int style;
    } cases[] = {
        {"territory column", [](MapHandoffTest &t) { t.select(5); }, "Selezionare una variabile.", forms::vbExclamation},
        {"no shapes folder", [](MapHandoffTest &) { app().ShapePath.clear(); },
         "Il Path dei file Shape non è stao impostato!\nSe si vuole vedere le mappe chiudere il programma e "
         "riaprirlo, quindi selezionare una folder contenente i file delle cartine.",
         forms::vbCritical},
        {"no result loaded", [](MapHandoffTest &t) { t.table->cmb_Ordina()->clear(); }, "Selezionare una variabile!",
         forms::vbInformation},
        {"not a number column", [](MapHandoffTest &t) { t.grid().setTextMatrix(0, 6, "n_Quirn"); },
         "Selezionare una variabile numerica!", forms::vbInformation},
        {"no earlier kind at level 0", [](MapHandoffTest &) { app().LivMappa = 0; },
         "Nessun territorio selezionato è stato trovato.", forms::vbExclamation},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        TearDown();
        SetUp();
        c.arrange(*this);
        handOff();
        ASSERT_EQ(dialogs.calls().size(), 1) << dialogs.messages().join('|').toStdString();
        EXPECT_EQ(dialogs.calls()[0].prompt, QString::fromUtf8(c.message));
        EXPECT_EQ(dialogs.calls()[0].style, c.style);
        EXPECT_TRUE(openings.isEmpty());
        EXPECT_TRUE(logLines().isEmpty());
    }
}

TEST_F(MapHandoffTest, ColumnOfTerritoryDataIsRefusedBeforeTheKindIsChosen)
{
    // A province map reads the year of the header, which these columns have not: the user still
    // gets the message, whether the kind is chosen directly or through the chooser.
    struct Case {
        qint16 livMappa;
        const char *header;
    } cases[] = {{1, "N_QUIRN"}, {1, "Comuni"}, {3, "N_QUIRN"}, {2, "PIT4"}, {4, "COD_SEZ"}};
    for (const Case &c : cases) {
        SCOPED_TRACE(c.header);
        TearDown();
        SetUp();
        app().LivMappa = c.livMappa;
        grid().setTextMatrix(0, 6, c.header);
        bool chooserSeen = false;
        QTimer::singleShot(0, [&] {
            if (frmSelMappa *chooser = forms::FormRegistry::find<frmSelMappa>()) {
                chooserSeen = true;
                chooser->cmdProv()->click();
                if (forms::FormRegistry::isLoaded<frmSelMappa>())  // a failed choice keeps it open
                    chooser->cmdAnnulla()->click();
            }
        });
        handOff();
        QCoreApplication::processEvents();  // the check above when no chooser was shown
        EXPECT_FALSE(chooserSeen);
        EXPECT_EQ(dialogs.messages(), QStringList{"Selezionare una variabile numerica!"});
        EXPECT_TRUE(logLines().isEmpty()) << logLines().join('|').toStdString();
        EXPECT_TRUE(openings.isEmpty());
        EXPECT_EQ(app().MapKind, 0);
    }
}

TEST_F(MapHandoffTest, TerritoryColumnChangesNothing)
{
    app().LivMappa = 3;
    select(2);
    handOff();
    EXPECT_EQ(app().LivMappa, 3);
    EXPECT_EQ(app().MapKind, 0);
    EXPECT_TRUE(table->lbl_Ricfor.isEmpty());
    EXPECT_EQ(table->tipoTerrNow, 1);  // as the window loaded it
}

TEST_F(MapHandoffTest, RegionsFoundNoneWhenTheQueryHasNoRegions)
{
    forms::FormRegistry::unloadAll();  // which clears SqlQuery
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    app().SqlQuery = QString(DataQuery) + " WHERE land_Ind.COD_TIPO_TERR = 1";
    table = forms::FormRegistry::get<frm_dispData>();
    ASSERT_GT(grid().Rows(), 1) << dialogs.messages().join('|').toStdString();
    select(6);
    app().LivMappa = 4;
    handOff();
    EXPECT_EQ(dialogs.messages(), QStringList{QString::fromUtf8("Nessun territorio selezionato è stato trovato.")});
    EXPECT_EQ(app().MapKind, 4);  // the refusal keeps what the earlier steps set
    EXPECT_EQ(table->datagrid2()->grid().Rows(), 1);
    EXPECT_TRUE(openings.isEmpty());
}

TEST_F(MapHandoffTest, HeaderWithoutYearIsLoggedAndOpensNoMap)
{
    grid().setTextMatrix(0, 6, "PIPPO");
    handOff();
    EXPECT_TRUE(openings.isEmpty());
    const QStringList lines = logLines();
    ASSERT_EQ(lines.size(), 1);
    EXPECT_TRUE(lines[0].contains("frm_dispData")) << lines[0].toStdString();
    EXPECT_TRUE(lines[0].contains("mnu_createMap_Click")) << lines[0].toStdString();
    EXPECT_TRUE(lines[0].contains("13")) << lines[0].toStdString();
    EXPECT_EQ(table->lbl_Ricfor, "PIPPO");
}

TEST_F(MapHandoffTest, CaricaDataGridMappaCopiesTheRowsOfTp1AndTp2)
{
    struct Case {
        qint16 tp1, tp2;
        std::initializer_list<const char *> types;
    } cases[] = {{1, 6, {"1", "6"}}, {2, 22, {"2", "22"}}, {2, 6, {"2", "6"}}, {4, 4, {"4"}}};
    for (const Case &c : cases) {
        table->tp1 = c.tp1;
        table->tp2 = c.tp2;
        select(7);
        ASSERT_TRUE(CaricaDataGridMappa(*table));
        const grid::FlexGridModel &g2 = table->datagrid2()->grid();
        QStringList types;
        for (int r = 1; r < g2.Rows(); ++r) {
            types << g2.TextMatrix(r, 0);
            // the whole row, found by its territory code in datagrid
            for (int src = 1; src < grid().Rows(); ++src) {
                if (grid().TextMatrix(src, 1) != g2.TextMatrix(r, 1))
                    continue;
                for (int col = 0; col < grid().Cols(); ++col)
                    EXPECT_EQ(g2.TextMatrix(r, col), grid().TextMatrix(src, col));
            }
        }
        EXPECT_EQ(sorted(types), typesOf(c.types));
        EXPECT_EQ(g2.ColSel(), 7);
        EXPECT_EQ(g2.Cols(), grid().Cols());
        EXPECT_EQ(g2.TextMatrix(0, 7), "AS013_2006");
    }
    table->tp1 = 9;
    table->tp2 = 9;
    EXPECT_FALSE(CaricaDataGridMappa(*table));
    EXPECT_EQ(table->datagrid2()->grid().Rows(), 1);
}

TEST_F(MapHandoffTest, DraggedSelectionGoesToTheMapInTheOrderOfTheMappedColumn)
{
    // A drag from "Territorio" to AS013_2005: the selection starts on the names.
    grid().setRow(1);
    grid().setCol(5);
    grid().setRowSel(grid().Rows() - 1);
    grid().setColSel(6);
    handOff();
    ASSERT_EQ(openings.size(), 1);
    EXPECT_EQ(openings[0].colSel, 6);
    EXPECT_TRUE(ascendingNumbers(openings[0].mappedColumn));
    // The map takes its first and last rows for the least and greatest values.
    const grid::FlexGridModel &g2 = table->datagrid2()->grid();
    QStringList mapped;
    for (int r = 1; r < g2.Rows(); ++r)
        mapped << g2.TextMatrix(r, 6);
    ASSERT_GT(mapped.size(), 3);
    EXPECT_TRUE(ascendingNumbers(mapped)) << mapped.join(' ').toStdString();
}

TEST_F(MapHandoffTest, ComputedColumnTakesTheBoundarySetOfItsYearAndOfTheProvincesHoldingItsValues)
{
    struct Case {
        const char *name;
        bool newProvincesHaveValues;
        qint16 livMappa;  // 3: through the chooser's "Provincia"
        const char *mapCase;
    } cases[] = {
        {"Funz12005", true, 1, "provincia107"},  // the code "Funz1" is in no list of the rule
        {"Funz12005", false, 1, "provincia103"},
        {"Rapp2007", false, 1, "provincia107"},
        {"Somma", true, 3, "provincia107"},  // no year in the name
        {"Somma", false, 3, "provincia103"},
        {"Somma", false, 1, "provincia103"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(std::string(c.name) + (c.newProvincesHaveValues ? " with" : " without") + " new provinces");
        TearDown();
        SetUp();
        openings.clear();
        // One province of the fixture stands for one that only the 107 set has.
        for (int r = 1; r < grid().Rows(); ++r)
            if (grid().TextMatrix(r, 1) == u"P040")
                grid().setTextMatrix(r, 2, "104");
        // A column the formula editor added after the query's columns: AS013_2005 again.
        const int col = grid().Cols();
        grid().setCols(col + 1);
        grid().setTextMatrix(0, col, c.name);
        for (int r = 1; r < grid().Rows(); ++r)
            if (c.newProvincesHaveValues || !isNewProvince(grid().TextMatrix(r, 2)))
                grid().setTextMatrix(r, col, grid().TextMatrix(r, 6));
        table->cmb_Ordina()->addItem(c.name);
        select(col);
        app().LivMappa = c.livMappa;
        std::function<void(frmSelMappa &)> provincia = [](frmSelMappa &chooser) {
            chooser.cmdProv()->click();
            if (forms::FormRegistry::isLoaded<frmSelMappa>())  // a failed choice keeps it open
                chooser.cmdAnnulla()->click();
        };
        handOff(c.livMappa == 3 ? provincia : nullptr);
        EXPECT_TRUE(dialogs.messages().isEmpty()) << dialogs.messages().join('|').toStdString();
        EXPECT_TRUE(logLines().isEmpty()) << logLines().join('|').toStdString();
        ASSERT_EQ(openings.size(), 1);
        EXPECT_EQ(openings[0].mapKind, 2);
        EXPECT_EQ(openings[0].mapCase, c.mapCase);
        EXPECT_EQ(openings[0].colSel, col);
    }
}

TEST_F(MapHandoffTest, NewProvincesAreTheFourOnlyThe107SetHas)
{
    for (const char *prov : {"104", "105", "106", "107", " 106 "})
        EXPECT_TRUE(isNewProvince(prov)) << prov;
    for (const char *prov : {"1", "90", "91", "92", "95", "103", "108", "", "ITG25"})
        EXPECT_FALSE(isNewProvince(prov)) << prov;
}

TEST_F(MapHandoffTest, ChooserLivesUntilTheHandOffThatShowedItHasReturned)
{
    // "Nuts2" on a selection without NUTS2 areas: the chooser is unloaded, and the hand-off, still
    // running, answers "Nessun territorio..."; the chooser must not be destroyed under that box.
    forms::FormRegistry::unloadAll();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    app().SqlQuery = QString(DataQuery) + " WHERE land_Ind.COD_TIPO_TERR = 1";
    table = forms::FormRegistry::get<frm_dispData>();
    select(6);
    app().LivMappa = 3;
    QPointer<frmSelMappa> chooser;
    bool sawChooser = false, aliveDuringBox = false;
    dialogs.whileNextMsgBoxIsOpen([&] {
        QEventLoop boxLoop;
        QTimer::singleShot(0, &boxLoop, &QEventLoop::quit);
        boxLoop.exec();
        aliveDuringBox = !chooser.isNull();
    });
    // The user's road: the click arrives from the program's event loop.
    QEventLoop programLoop;
    QTimer::singleShot(0, [&] {
        QTimer::singleShot(0, [&] {
            chooser = forms::FormRegistry::find<frmSelMappa>();
            sawChooser = chooser && chooser->isVisible();
            if (chooser)
                chooser->Cmdnut2()->click();
        });
        table->cmd_createmap()->click();
        programLoop.quit();
    });
    programLoop.exec();
    EXPECT_EQ(dialogs.messages(), QStringList{QString::fromUtf8("Nessun territorio selezionato è stato trovato.")});
    ASSERT_TRUE(sawChooser);
    EXPECT_TRUE(aliveDuringBox);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(chooser.isNull());
    EXPECT_TRUE(openings.isEmpty());
}

TEST_F(MapHandoffTest, LevelComesFromTheQueryWindowsPartitionBoxes)
{
    FormdatiTab *query = forms::FormRegistry::get<FormdatiTab>();
    query->territori().setBoxValue(1, true);
    query->territori().setBoxValue(6, true);
    select(6);
    handOff([](frmSelMappa &c) { c.cmdProv()->click(); });
    EXPECT_TRUE(chooserShown);
    EXPECT_EQ(app().LivMappa, 3);
    EXPECT_TRUE(provinciaEnabled);
    ASSERT_EQ(openings.size(), 1);
    EXPECT_EQ(openings[0].mapCase, "provincia107");

    query->territori().setBoxValue(1, false);
    query->territori().setBoxValue(6, false);
    query->territori().setBoxValue(3, true);
    query->territori().setBoxValue(4, true);
    app().LivMappa = 4;  // no rule for boxes 3 and 4: the query window's level stays
    select(6);
    handOff();
    EXPECT_EQ(app().LivMappa, 4);
    ASSERT_EQ(openings.size(), 2);
    EXPECT_EQ(openings[1].mapCase, "regioni");
}
