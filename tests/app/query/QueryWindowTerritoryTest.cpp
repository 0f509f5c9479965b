// Territory selection: partition boxes on the plain logic, view options on the window.
#include "QueryWindowTestSupport.h"

#include "app/core/AppState.h"
#include "app/query/FormdatiTab.h"
#include "app/query/TerritorySelection.h"
#include "app/query/frm_dispData.h"

#include "app/core/Program.h"
#include "forms/FormRegistry.h"

#include <QApplication>
#include <QCheckBox>
#include <QFile>
#include <QListWidget>
#include <QRadioButton>
#include <QScrollBar>
#include <QTest>
#include <QWheelEvent>

using namespace pendra;
using namespace querytest;

namespace {

// The territories of the small fixture, in the order the database returns them.
QVector<TerritorioRec> fixtureTerritories()
{
    return {{"Italia", "4", "ITA"},     {"Nord-ovest", "3", "RIP1"},         {"Piemonte", "2", "R01"},
            {"Torino", "1", "P001"},    {"Cuneo", "1", "P004"},             {"Valle d'Aosta", "2", "R02"},
            {"Aosta", "1", "P007"},     {"Nord-est", "3", "RIP2"},          {"Trentino-Alto Adige", "22", "R04"},
            {"Bolzano", "6", "P021"},   {"Trento", "6", "P022"},            {"Emilia-Romagna", "2", "R08"},
            {"Forlì-Cesena", "1", "P040"}, {"Obiettivo 2", "5", "OB2"}};
}

const QStringList kAll = {"Italia", "Nord-ovest", "Piemonte", "Torino", "Cuneo", "Valle d'Aosta", "Aosta",
                          "Nord-est", "Trentino-Alto Adige", "Bolzano", "Trento", "Emilia-Romagna",
                          "Forlì-Cesena", "Obiettivo 2"};

class QueryWindowTerritoryTest : public QueryWindowTest {
protected:
    QStringList listed() const
    {
        QStringList out;
        for (int i = 0; i < w->lstDescTerr()->count(); ++i)
            out << w->lstDescTerr()->item(i)->text();
        return out;
    }
    QStringList selectedInList() const
    {
        QStringList out;
        for (int i = 0; i < w->lstDescTerr()->count(); ++i) {
            if (w->lstDescTerr()->item(i)->isSelected())
                out << w->lstDescTerr()->item(i)->text();
        }
        return out;
    }
    QString enabledBoxes() const
    {
        QString out;
        for (int i = 1; i <= 6; ++i)
            out += w->Check1(i)->isEnabled() ? 'E' : 'D';
        return out;
    }
};

}  // namespace

TEST(QueryWindowTerritoryLogicTest, EachPartitionBoxSelectsAndDeselectsItsTypes)
{
    struct Case {
        int box;
        QString liv;
        QStringList selected;
        qint16 livMappa;
    };
    const Case cases[] = {
        {1, "T", {"Torino", "Cuneo", "Aosta", "Bolzano", "Trento", "Forlì-Cesena"}, 1},
        {2, "T", {"Piemonte", "Valle d'Aosta", "Bolzano", "Trento", "Emilia-Romagna"}, 2},
        {3, "T", {"Italia", "Nord-ovest", "Nord-est"}, 0},
        {4, "T", {"Obiettivo 2"}, 0},
        {5, "T", kAll, 3},
        {6, "T", {"Piemonte", "Valle d'Aosta", "Trentino-Alto Adige", "Emilia-Romagna"}, 4},
        // Regional data: "Seleziona Tutto" never selects type-1 provinces, even when they are listed.
        {5, "R",
         {"Italia", "Nord-ovest", "Piemonte", "Valle d'Aosta", "Nord-est", "Trentino-Alto Adige", "Bolzano", "Trento",
          "Emilia-Romagna", "Obiettivo 2"},
         3},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.box);
        resetAppState();
        TerritorySelection t;
        t.setLivTerritoriale(c.liv);
        t.setTerritori(fixtureTerritories());
        app().LivMappa = 99;
        t.setBoxValue(c.box, true);
        EXPECT_EQ(t.selectedNames(), c.selected);
        EXPECT_EQ(app().LivMappa, c.livMappa);
        app().LivMappa = 99;
        t.setBoxValue(c.box, false);
        EXPECT_TRUE(t.selectedNames().isEmpty());
        EXPECT_EQ(app().LivMappa, c.livMappa);  // set on unticking too
    }
    resetAppState();
}

TEST(QueryWindowTerritoryLogicTest, BoxesDoNotAffectEachOtherAndSameValueRunsNothing)
{
    TerritorySelection t;
    t.setLivTerritoriale("T");
    t.setTerritori(fixtureTerritories());
    t.setSelected(0, true);  // Italia, by hand
    t.setSelected(2, true);  // Piemonte, by hand
    t.setBoxValue(2, true);
    t.setBoxValue(1, true);
    EXPECT_EQ(t.PTerr(), "6");
    // Unticking box 1 deselects the type-6 provinces box 2 selected too; Italia stays.
    t.setBoxValue(1, false);
    EXPECT_EQ(t.selectedNames(), QStringList({"Italia", "Piemonte", "Valle d'Aosta", "Emilia-Romagna"}));
    EXPECT_TRUE(t.boxValue(2));
    app().LivMappa = 99;
    t.setBoxValue(1, false);  // already unticked: no handler
    t.setBoxValue(2, true);   // already ticked: no handler
    EXPECT_EQ(app().LivMappa, 99);
    t.Check1_Click(7);  // outside 1..6: nothing
    EXPECT_EQ(app().LivMappa, 99);
    resetAppState();
}

TEST(QueryWindowTerritoryLogicTest, AClickTogglesAndShiftSelectsFromTheLastClickedItem)
{
    struct Step {
        int item;
        bool shift;
        QStringList selected;
    };
    const Step steps[] = {
        {3, true, {"Torino"}},  // no item clicked yet: Shift+click toggles and anchors
        {3, false, {}},
        {2, false, {"Piemonte"}},
        {5, true, {"Piemonte", "Torino", "Cuneo", "Valle d'Aosta"}},
        {3, true, {"Piemonte", "Torino"}},  // the range follows the last Shift+click
        {0, true, {"Italia", "Nord-ovest", "Piemonte"}},
        {6, false, {"Italia", "Nord-ovest", "Piemonte", "Aosta"}},  // a plain click toggles, keeps the rest
        {6, false, {"Italia", "Nord-ovest", "Piemonte"}},
        {8, true, {"Italia", "Nord-ovest", "Piemonte", "Aosta", "Nord-est", "Trentino-Alto Adige"}},
        {99, false, {"Italia", "Nord-ovest", "Piemonte", "Aosta", "Nord-est", "Trentino-Alto Adige"}},
    };
    TerritorySelection t;
    t.setLivTerritoriale("T");
    t.setTerritori(fixtureTerritories());
    int notified = 0;
    t.changed = [&] { ++notified; };
    for (const Step &s : steps) {
        SCOPED_TRACE(s.item);
        t.clickItem(s.item, s.shift);
        EXPECT_EQ(t.selectedNames(), s.selected);
    }
    EXPECT_EQ(notified, 9);  // every click in range shows itself

    // What another road selected inside a range stays when the range shrinks.
    t.setTerritori(fixtureTerritories());
    t.clickItem(2, false);
    t.setBoxValue(4, true);  // Obiettivo 2
    t.setSelected(4, true);  // Cuneo, by hand
    t.clickItem(6, true);
    EXPECT_EQ(t.selectedNames(), QStringList({"Piemonte", "Torino", "Cuneo", "Valle d'Aosta", "Aosta", "Obiettivo 2"}));
    t.clickItem(3, true);
    EXPECT_EQ(t.selectedNames(), QStringList({"Piemonte", "Torino", "Cuneo", "Obiettivo 2"}));
    resetAppState();
}

TEST_F(QueryWindowTerritoryTest, InitialStateByLevel)
{
    open(ProvVariabili);
    EXPECT_TRUE(w->OptVisualizza(2)->isChecked());
    EXPECT_EQ(listed(), kAll);
    EXPECT_EQ(w->lstCodTerr()->item(5)->text(), "R02");
    EXPECT_EQ(enabledBoxes(), "EEEEEE");
    EXPECT_TRUE(selectedInList().isEmpty());
    EXPECT_EQ(app().LivMappa, 3);
    closeAll();

    open(RegVariabili);
    for (int i = 0; i < 4; ++i)
        EXPECT_FALSE(w->OptVisualizza(i)->isChecked()) << i;
    EXPECT_FALSE(w->OptVisualizza(1)->isEnabled());
    EXPECT_EQ(listed(), QStringList({"Italia", "Nord-ovest", "Piemonte", "Valle d'Aosta", "Nord-est",
                                     "Trentino-Alto Adige", "Bolzano", "Trento", "Emilia-Romagna", "Obiettivo 2"}));
    EXPECT_EQ(enabledBoxes(), "DEEEEE");
    EXPECT_EQ(app().LivMappa, 2);
    EXPECT_TRUE(logLines().isEmpty()) << logLines().join('\n').toStdString();
}

TEST_F(QueryWindowTerritoryTest, EachViewOptionListsItsTypesAndEnablesItsBoxes)
{
    struct Case {
        int option;
        QStringList listed;
        QString boxes;
        qint16 livMappa;  // 99: left as it was
    };
    const Case cases[] = {
        {0, {"Piemonte", "Valle d'Aosta", "Trentino-Alto Adige", "Emilia-Romagna"}, "DDDDDE", 99},
        {1, {"Torino", "Cuneo", "Aosta", "Bolzano", "Trento", "Forlì-Cesena"}, "EDDDDD", 1},
        {3, {"Piemonte", "Valle d'Aosta", "Bolzano", "Trento", "Emilia-Romagna"}, "DEDDDD", 99},
        {2, kAll, "EEEEEE", 3},
    };
    open(ProvVariabili);
    for (const Case &c : cases) {
        SCOPED_TRACE(c.option);
        if (w->lstDescTerr()->count() > 0)
            w->lstDescTerr()->item(0)->setSelected(true);
        app().LivMappa = 99;
        w->OptVisualizza(c.option)->setChecked(true);
        EXPECT_EQ(listed(), c.listed);
        EXPECT_TRUE(selectedInList().isEmpty());  // every load clears the selection
        EXPECT_EQ(enabledBoxes(), c.boxes);
        EXPECT_EQ(app().LivMappa, c.livMappa);
    }
    // Choosing the option already chosen runs nothing: the hand selection stays.
    selectTerritories({"Piemonte"});
    w->OptVisualizza(2)->setChecked(true);
    EXPECT_EQ(selectedInList(), QStringList({"Piemonte"}));
    EXPECT_TRUE(logLines().isEmpty()) << logLines().join('\n').toStdString();
}

TEST_F(QueryWindowTerritoryTest, SoloProvinceWritesTheTypesToMapIntoTheTableWindow)
{
    open(ProvVariabili);
    frm_dispData::tp1 = 0;
    frm_dispData::tp2 = 0;
    w->OptVisualizza(1)->setChecked(true);
    EXPECT_EQ(frm_dispData::tp1, 1);
    EXPECT_EQ(frm_dispData::tp2, 6);
    // Writing them does not load the table window, which would run a query that is not built yet.
    EXPECT_EQ(forms::FormRegistry::find<frm_dispData>(), nullptr);
    EXPECT_TRUE(logLines().isEmpty()) << logLines().join('\n').toStdString();
}

TEST_F(QueryWindowTerritoryTest, SoloNuts2WhileAllRegionsAreTicked)
{
    open(ProvVariabili);
    w->Check1(6)->setChecked(true);  // from code: the handler runs once
    EXPECT_EQ(selectedInList(), QStringList({"Piemonte", "Valle d'Aosta", "Trentino-Alto Adige", "Emilia-Romagna"}));
    EXPECT_EQ(app().LivMappa, 4);
    app().LivMappa = 99;
    w->Check1(6)->setChecked(true);  // no change, no handler
    EXPECT_EQ(app().LivMappa, 99);

    app().LivMappa = 99;
    w->OptVisualizza(3)->setChecked(true);
    EXPECT_FALSE(w->Check1(6)->isChecked());
    EXPECT_EQ(app().LivMappa, 4);  // set by box 6's handler as it was unticked
    EXPECT_EQ(listed(), QStringList({"Piemonte", "Valle d'Aosta", "Bolzano", "Trento", "Emilia-Romagna"}));
    EXPECT_EQ(enabledBoxes(), "DEDDDD");
}

TEST_F(QueryWindowTerritoryTest, PartitionBoxesOnTheWindowAndRegionalSelectAll)
{
    open(RegVariabili);
    w->OptVisualizza(2)->setChecked(true);  // "Tutto" lists the provinces too
    EXPECT_EQ(listed(), kAll);
    EXPECT_EQ(enabledBoxes(), "DEEEEE");
    w->Check1(5)->setChecked(true);
    EXPECT_FALSE(selectedInList().contains("Torino"));
    EXPECT_TRUE(selectedInList().contains("Bolzano"));
    EXPECT_EQ(selectedInList().size(), 10);
    w->Check1(3)->setChecked(true);
    w->Check1(3)->setChecked(false);  // deselects Italia and the partitions though box 5 covers them
    EXPECT_FALSE(selectedInList().contains("Italia"));
    EXPECT_FALSE(selectedInList().contains("Nord-est"));
    EXPECT_EQ(app().LivMappa, 0);
}

TEST_F(QueryWindowTerritoryTest, AnEmptyViewLeavesTheBoxesWithoutEffect)
{
    exec("Territorio.mdb", {"DELETE FROM land_Ind WHERE COD_TIPO_TERR=2 or COD_TIPO_TERR=22"});
    open(ProvVariabili);
    w->OptVisualizza(0)->setChecked(true);
    EXPECT_EQ(w->lstDescTerr()->count(), 0);
    EXPECT_TRUE(w->territori().Territori().isEmpty());
    w->Check1(6)->setChecked(true);
    EXPECT_TRUE(selectedInList().isEmpty());
    EXPECT_TRUE(logLines().isEmpty()) << logLines().join('\n').toStdString();
}

TEST_F(QueryWindowTerritoryTest, AFailureInTheOptionHandlerIsLogged)
{
    open(ProvVariabili);
    ASSERT_TRUE(QFile::remove(folderOf().databases() + "Territorio.mdb"));
    w->OptVisualizza(0)->setChecked(true);
    const QStringList log = logLines();
    ASSERT_FALSE(log.isEmpty());
    EXPECT_TRUE(log.last().contains("Module:FormdatiTab Function: OptVisualizza_Click")) << log.last().toStdString();
    EXPECT_EQ(w->lstDescTerr()->count(), 0);
}

namespace {

// Enough territories to scroll, one of them long enough for a horizontal bar under the names.
QVector<TerritorioRec> manyTerritories()
{
    QVector<TerritorioRec> out;
    for (int i = 0; i < 80; ++i)
        out.append({QString("Territorio %1").arg(i), "1", QString("P%1").arg(i, 3, 10, QChar('0'))});
    out[40].des = QString("Provincia dal nome lunghissimo ").repeated(8);
    return out;
}

// The row each list shows at the same height of its view, from top to bottom.
void expectRowsSideBySide(const QListWidget *names, const QListWidget *codes, const char *where)
{
    SCOPED_TRACE(where);
    ASSERT_EQ(names->viewport()->height(), codes->viewport()->height());
    int seen = 0;
    for (int y = 1; y < names->viewport()->height(); y += 4) {
        const int row = names->indexAt(QPoint(2, y)).row();
        EXPECT_EQ(codes->indexAt(QPoint(2, y)).row(), row) << "y " << y;
        if (row >= 0) {
            ++seen;
            EXPECT_EQ(codes->item(row)->text(), names->item(row)->text() == QString("Territorio %1").arg(row)
                                                     ? QString("P%1").arg(row, 3, 10, QChar('0'))
                                                     : QString("P040"));
        }
    }
    EXPECT_GT(seen, 5);
}

}  // namespace

TEST_F(QueryWindowTerritoryTest, EachCodeStaysBesideItsNameAfterAnyScroll)
{
    open(ProvVariabili);
    w->territori().setTerritori(manyTerritories());
    w->resize(1000, 600);
    w->SSTab1()->setCurrentIndex(0);
    w->show();
    QApplication::processEvents();
    QListWidget *names = w->lstDescTerr();
    QListWidget *codes = w->lstCodTerr();
    ASSERT_TRUE(names->isVisible());
    ASSERT_GT(names->verticalScrollBar()->maximum(), 0);
    ASSERT_GT(names->horizontalScrollBar()->maximum(), 0);  // the long name
    expectRowsSideBySide(names, codes, "at the top");

    names->verticalScrollBar()->setValue(names->verticalScrollBar()->maximum() / 2);
    QApplication::processEvents();
    expectRowsSideBySide(names, codes, "names scrolled half way");
    names->scrollToBottom();
    QApplication::processEvents();
    expectRowsSideBySide(names, codes, "names at the bottom");

    // The wheel over the codes scrolls the names with them.
    const QPoint at(5, 5);
    QWheelEvent wheel(at, codes->viewport()->mapToGlobal(at), QPoint(), QPoint(0, 360), Qt::NoButton, Qt::NoModifier,
                      Qt::NoScrollPhase, false);
    QApplication::sendEvent(codes->viewport(), &wheel);
    QApplication::processEvents();
    EXPECT_LT(names->verticalScrollBar()->value(), names->verticalScrollBar()->maximum());
    expectRowsSideBySide(names, codes, "wheel over the codes");

    // A new list starts both at the top.
    w->OptVisualizza(1)->setChecked(true);
    QApplication::processEvents();
    EXPECT_EQ(codes->verticalScrollBar()->value(), names->verticalScrollBar()->value());
    EXPECT_TRUE(logLines().isEmpty()) << logLines().join('\n').toStdString();
}

TEST_F(QueryWindowTerritoryTest, ClicksOnNamesAndCodesSelectTheTerritoriesTheQueryUses)
{
    open(ProvVariabili);
    w->resize(1000, 600);
    w->show();
    QApplication::processEvents();
    QListWidget *names = w->lstDescTerr();
    QListWidget *codes = w->lstCodTerr();
    auto clickRow = [](QListWidget *list, int row, Qt::KeyboardModifiers mods = {}) {
        QTest::mouseClick(list->viewport(), Qt::LeftButton, mods, list->visualItemRect(list->item(row)).center());
    };
    auto selectedCodes = [&] {
        QStringList out;
        for (int i = 0; i < codes->count(); ++i)
            if (codes->item(i)->isSelected())
                out << codes->item(i)->text();
        return out;
    };

    clickRow(codes, 2);  // Piemonte's code
    EXPECT_EQ(selectedInList(), QStringList({"Piemonte"}));
    EXPECT_EQ(w->territori().selectedNames(), QStringList({"Piemonte"}));
    clickRow(names, 5, Qt::ShiftModifier);
    EXPECT_EQ(selectedInList(), QStringList({"Piemonte", "Torino", "Cuneo", "Valle d'Aosta"}));
    EXPECT_EQ(selectedCodes(), QStringList({"R01", "P001", "P004", "R02"}));
    clickRow(names, 4);  // a plain click toggles Cuneo off
    EXPECT_EQ(selectedInList(), QStringList({"Piemonte", "Torino", "Valle d'Aosta"}));
    clickRow(codes, 4);  // and its code toggles it back
    clickRow(codes, 7, Qt::ShiftModifier);
    EXPECT_EQ(w->territori().selectedNames(),
              QStringList({"Piemonte", "Torino", "Cuneo", "Valle d'Aosta", "Aosta", "Nord-est"}));
    EXPECT_EQ(selectedCodes(), QStringList({"R01", "P001", "P004", "R02", "P007", "RIP2"}));

    // From the keyboard: Space toggles the current item, Shift+arrows extend from the last one toggled.
    names->setFocus();
    names->setCurrentRow(11, QItemSelectionModel::NoUpdate);
    QTest::keyClick(names, Qt::Key_Space);
    QTest::keyClick(names, Qt::Key_Down, Qt::ShiftModifier);
    QTest::keyClick(names, Qt::Key_Down, Qt::ShiftModifier);
    EXPECT_EQ(w->territori().selectedNames().mid(6), QStringList({"Emilia-Romagna", "Forlì-Cesena", "Obiettivo 2"}));
    QTest::keyClick(names, Qt::Key_Up, Qt::ShiftModifier);
    EXPECT_EQ(w->territori().selectedNames().mid(6), QStringList({"Emilia-Romagna", "Forlì-Cesena"}));
    QTest::keyClick(names, Qt::Key_Up);  // a plain arrow moves without selecting
    EXPECT_EQ(names->currentRow(), 11);
    EXPECT_EQ(w->territori().selectedNames().size(), 8);

    // "Visualizza Dati" now has its territories: no "Selezionare un territorio!".
    pick("AS013", {"2005"});
    w->serie()->click();
    for (const QString &m : dialogs.messages())
        EXPECT_FALSE(m.contains("Selezionare un territorio")) << m.toStdString();
    EXPECT_TRUE(logLines().isEmpty()) << logLines().join('\n').toStdString();
}
