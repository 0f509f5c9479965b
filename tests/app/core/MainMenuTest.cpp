// The main menu from DBMainMenu and the dispatcher's changes to the shared selection.
#include "CoreTestSupport.h"

#include "app/core/AppState.h"
#include "app/core/MainMenu.h"

#include "vb/ErrorOf.h"

#include <QAction>
#include <QMenu>
#include <QMenuBar>

using namespace pendra;

namespace {
// IdMenu|IdMenuParent|Orderb|DescName|isSeparator|isDisable|isChecked|FormToOpen|DBname|TipoDb|LivTerritoriale
const QStringList SampleMenu = {
    "0|-1|1|Dati|0|0|0|<null>|<null>|<null>|<null>",                              // popup 0
    "0|-1|2|Metadati|0|0|0|<null>|<null>|<null>|<null>",                          // popup 1
    "1|0|1|Regionali|0|0|0|<null>|<null>|<null>|<null>",                          // popup 2, nested
    "0|0|2|Variabili province|0|0|1|FORMDATITAB|Dati.mdb|Variabili|<null>",        // item 1
    "1|0|3||1|0|0|<null>|<null>|<null>|<null>",                                   // separator
    "1|0|4|Non disponibile|0|1|0|<null>|<null>|<null>|<null>",                    // grayed entry
    "0|1|1|Glossario|0|0|0|glossario||Variabili|",                                // item 2
    "0|1|2|Sfoglia metadati|0|0|0|FRMMETADATI|DATI.MDB|Indicatori|",              // item 3
    "0|2|1|Variabili regionali|0|0|0|FormDatiTab|DatiReg.mdb|Variabili|R",         // item 4
    "0|2|2|Indicatori regionali|0|1|0|FORMDATITAB|DatiInd.mdb|Indicatori|R",       // item 5, grayed
    "0|2|3|Variabili comunali|0|0|1|FRMMETADATI|DatiCom.mdb|Variabili|C",         // item 6, after a grayed item
};

class MainMenuTest : public coretest::CoreTest {
protected:
    void SetUp() override
    {
        CoreTest::SetUp();
        app().ConnPrefix = odbcPrefix(DatabasePassword);
        app().DataPath = small.path() + "/Databases/";
        app().FilesPath = small.path() + "/Files/";
        for (const char *name : {"FORMDATITAB", "GLOSSARIO", "FRMMETADATI"})
            registerFormOpener(name, [this, name] { opened << name; });
    }
    void TearDown() override
    {
        for (const char *name : {"FORMDATITAB", "GLOSSARIO", "FRMMETADATI"})
            unregisterFormOpener(name);
        CoreTest::TearDown();
    }
    QStringList captions(const QList<QAction *> &actions) const
    {
        QStringList out;
        for (QAction *a : actions)
            out << (a->isSeparator() ? QStringLiteral("---") : a->text() + (a->isEnabled() ? "" : " (grigio)") +
                                                                    (a->isChecked() ? " (v)" : ""));
        return out;
    }
    coretest::SmallFolder small;
    QMenuBar bar;
    QWidget mainWindow;
    MainMenu menu{&bar, &mainWindow};
    QStringList opened;
};
}  // namespace

TEST_F(MainMenuTest, BuildsPopupsNestedPopupsSeparatorsAndGrayedEntries)
{
    small.setMenu(SampleMenu);
    menu.LoadDBMainMenu();
    EXPECT_EQ(captions(bar.actions()), QStringList({"&Dati", "&Metadati"}));  // Alt and the first letter open them
    QMenu *dati = bar.actions()[0]->menu();
    ASSERT_NE(dati, nullptr);
    EXPECT_EQ(captions(dati->actions()),
              QStringList({"Regionali", "Variabili province (v)", "---", "Non disponibile (grigio)"}));
    QMenu *regionali = dati->actions()[0]->menu();
    ASSERT_NE(regionali, nullptr);
    EXPECT_EQ(captions(regionali->actions()),
              QStringList({"Variabili regionali", "Indicatori regionali (grigio)", "Variabili comunali (v)"}));
    EXPECT_EQ(captions(bar.actions()[1]->menu()->actions()), QStringList({"Glossario", "Sfoglia metadati"}));
    EXPECT_EQ(menu.itemCount(), 6);
    EXPECT_EQ(menu.formToOpen(4), "FormDatiTab");
    EXPECT_EQ(menu.formToOpen(5), "FORMDATITAB");  // the grayed item keeps its number and slot
    EXPECT_EQ(menu.formToOpen(6), "FRMMETADATI");
    EXPECT_TRUE(mainWindow.isVisible());
}

TEST_F(MainMenuTest, ChoosingAnItemDispatchesItsNumber)
{
    small.setMenu(SampleMenu);
    menu.LoadDBMainMenu();
    QMenu *regionali = bar.actions()[0]->menu()->actions()[0]->menu();
    regionali->actions()[0]->trigger();
    EXPECT_EQ(opened, QStringList({"FORMDATITAB"}));
    EXPECT_EQ(app().CurrentDbName, "DatiReg.mdb");
    EXPECT_EQ(app().CurrentLivTerritoriale, "R");
    // The item behind a grayed one dispatches its own number, not the grayed item's.
    regionali->actions()[2]->trigger();
    EXPECT_EQ(opened, QStringList({"FORMDATITAB", "FRMMETADATI"}));
    EXPECT_EQ(app().CurrentDbName, "DatiCom.mdb");
    EXPECT_EQ(app().CurrentLivTerritoriale, "C");
}

TEST_F(MainMenuTest, DispatcherSetsTheSelectionAsEachItemSays)
{
    small.setMenu(SampleMenu);
    menu.LoadDBMainMenu();
    AppState &s = app();
    s.CurrentDbName = "Prima.mdb";
    s.Kind = "Indicatori";
    s.SelectionWord = "prima";

    struct Step { qint16 item; QString db, kind, cambiato, word, level, opened; };
    const Step steps[] = {
        // item 1 never changes the database, even with a ".mdb" name
        {1, "Prima.mdb", "Indicatori", "False", "prima", "T", "FORMDATITAB"},
        {4, "DatiReg.mdb", "Variabili", "False", "prima", "R", "FORMDATITAB"},   // no DbConfigs row: word kept
        {2, "DatiReg.mdb", "Variabili", "True", "prima", "T", "GLOSSARIO"},      // items 2 and 3 set the flag
        {3, "DatiReg.mdb", "Variabili", "True", "prima", "T", "FRMMETADATI"},    // ".MDB" is not ".mdb"
        {5, "DatiInd.mdb", "Indicatori", "False", "indicatori", "R", "FORMDATITAB"},
    };
    for (const Step &st : steps) {
        SCOPED_TRACE(st.item);
        opened.clear();
        menu.mnu_submnu_Click(st.item);
        EXPECT_EQ(s.CurrentDbName, st.db);
        EXPECT_EQ(s.Kind, st.kind);
        EXPECT_EQ(s.DatabaseCambiato, st.cambiato);
        EXPECT_EQ(s.SelectionWord, st.word);
        EXPECT_EQ(s.CurrentLivTerritoriale, st.level);
        EXPECT_EQ(opened, QStringList({st.opened}));
    }
    EXPECT_TRUE(dialogs.calls().isEmpty());
}

TEST_F(MainMenuTest, SelectionWordComesFromTheExactDatabaseName)
{
    small.setMenu({"0|-1|1|Dati|0|0|0|<null>|<null>|<null>|<null>",
                   "0|0|1|Uno|0|0|0|X|Dati.mdb|Variabili|",
                   "0|0|2|Due|0|0|0|X|dati.mdb|Variabili|",
                   "0|0|3|Tre|0|0|0|X|Dati.mdb|Variabili|"});
    menu.LoadDBMainMenu();
    app().SelectionWord = "nessuna";
    menu.mnu_submnu_Click(2);  // "dati.mdb" differs in case from the DbConfigs row
    EXPECT_EQ(app().CurrentDbName, "dati.mdb");
    EXPECT_EQ(app().SelectionWord, "nessuna");
    menu.mnu_submnu_Click(3);
    EXPECT_EQ(app().SelectionWord, "variabili");
    EXPECT_TRUE(opened.isEmpty());  // "X" names no window
}

TEST_F(MainMenuTest, AMetadataDatabaseThatVanishedDoesNotStopTheChoice)
{
    small.setMenu(SampleMenu);
    menu.LoadDBMainMenu();
    app().DataPath = small.path() + "/altrove/";
    menu.mnu_submnu_Click(4);
    EXPECT_EQ(app().CurrentDbName, "DatiReg.mdb");
    EXPECT_EQ(app().CurrentLivTerritoriale, "R");
    EXPECT_EQ(opened, QStringList({"FORMDATITAB"}));
}

TEST_F(MainMenuTest, ThirtyItemsFitAndTheThirtyFirstFails)
{
    QStringList rows{"0|-1|1|Dati|0|0|0|<null>|<null>|<null>|<null>"};
    for (int i = 1; i <= 31; ++i)
        rows << QString("0|0|%1|Voce %1|0|0|0|FORMDATITAB|Dati.mdb|Variabili|").arg(i);
    small.setMenu(rows);
    EXPECT_EQ(vbtest::errorOf([&] { menu.LoadDBMainMenu(); }), 9);
    EXPECT_EQ(menu.itemCount(), 30);
    EXPECT_EQ(bar.actions()[0]->menu()->actions().size(), 30);  // what was added stays
    EXPECT_FALSE(mainWindow.isVisible());
}

TEST_F(MainMenuTest, BrokenRowsStopTheBuildingWithAnError)
{
    struct Case { const char *name; QStringList rows; qint32 error; int entries; };
    const Case cases[] = {
        {"unknown popup", {"0|-1|1|Dati|0|0|0|<null>|<null>|<null>|<null>", "0|3|1|Voce|0|0|0|X|a.mdb|Variabili|"}, 9, 1},
        {"null caption", {"0|-1|1|Dati|0|0|0|<null>|<null>|<null>|<null>", "0|0|1|<null>|0|0|0|X|a.mdb|Variabili|"}, 94, 1},
        {"null database", {"0|-1|1|Dati|0|0|0|<null>|<null>|<null>|<null>", "0|0|1|Voce|0|0|0|X|<null>|Variabili|"}, 94, 1},
        {"null IdMenu", {"0|-1|1|Dati|0|0|0|<null>|<null>|<null>|<null>", "<null>|0|1|Voce|0|0|0|X|a.mdb|Variabili|"}, 94, 1},
        {"null IdMenuParent", {"0|-1|1|Dati|0|0|0|<null>|<null>|<null>|<null>", "0|<null>|1|Voce|0|0|0|X|a.mdb|Variabili|"}, 94, 0},
        {"null isChecked", {"0|-1|1|Dati|0|0|0|<null>|<null>|<null>|<null>", "0|0|1|Voce|0|0|<null>|X|a.mdb|Variabili|"}, 94, 1},
        {"null isDisable", {"0|-1|1|Dati|0|0|0|<null>|<null>|<null>|<null>", "0|0|1|Voce|0|<null>|0|X|a.mdb|Variabili|"}, 94, 1},
        {"null isDisable of a popup", {"0|-1|1|Dati|0|0|0|<null>|<null>|<null>|<null>", "0|-1|2|Altro|0|<null>|0|<null>|<null>|<null>|<null>"}, 94, 1},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        QMenuBar b;
        MainMenu m(&b, nullptr);
        small.setMenu(c.rows);
        EXPECT_EQ(vbtest::errorOf([&] { m.LoadDBMainMenu(); }), c.error);
        EXPECT_EQ(b.actions().size(), c.entries);
    }
    small.exec("Metadati.mdb", {"DROP TABLE DBMainMenu"});
    EXPECT_NE(vbtest::errorOf([&] { menu.LoadDBMainMenu(); }), 0);
}
