// The area tree and the selection list of the query window on a fixture program folder.
#include "QueryWindowTestSupport.h"

#include "app/core/AppState.h"
#include "app/core/MainMenu.h"
#include "app/core/Program.h"
#include "forms/FormRegistry.h"
#include "app/query/FormdatiTab.h"
#include "tree/TreeView.h"

#include <QApplication>
#include <QContextMenuEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QPushButton>
#include <QTabWidget>
#include <QTest>

using namespace pendra;
using namespace querytest;

namespace {

class QueryWindowTreeTest : public QueryWindowTest {
protected:
    QStringList keys()
    {
        QStringList out;
        tree::TreeModel &n = w->objtree()->nodes();
        for (int i = 1; i <= n.count(); ++i)
            out << n.item(i)->key() + (n.item(i)->parent() ? "<" + n.item(i)->parent()->key() : QString());
        return out;
    }
    QStringList children(const QString &key)
    {
        QStringList out;
        for (tree::TreeNode *c : node(key)->children())
            out << c->key() + "|" + c->text() + "|" + c->image() + "|" + c->selectedImage();
        return out;
    }
    QStringList listItems()
    {
        QStringList out;
        for (int i = 0; i < w->lst_allVar()->count(); ++i)
            out << w->lst_allVar()->item(i)->text();
        return out;
    }
};

}  // namespace

TEST_F(QueryWindowTreeTest, TreeOfEachKindAndLevelWithItsKeys)
{
    struct Case {
        MenuItem item;
        QString lbl;
        bool noteLegend;
        QStringList keys;
    };
    const Case cases[] = {
        {ProvVariabili, "Variabili selezionate", true,
         {"A", "A01<A", "TE001<A01", "B", "B01<B", "AS001<B01", "B02-PD<B", "DG030<B02-PD", "C", "C01<C",
          "AS013<C01", "AS014<C01"}},
        {RegVariabili, "Variabili selezionate", true,
         {"A", "A01<A", "TE001<A01", "B", "B01<B", "AS001<B01", "B02-PD<B", "DG030<B02-PD", "L", "L01<L",
          "CR001<L01"}},
        {ProvIndicatori, "Indicatori selezionati", false,
         {"B", "B01<B", "IAS020<B01", "B02-PD<B", "IDG002<B02-PD", "C", "C01<C", "IAS013<C01"}},
        {RegIndicatori, "Indicatori selezionati", false,
         {"B", "B01<B", "IAS020<B01", "B02-PD<B", "IDG002<B02-PD", "L", "L01<L", "ICR001<L01"}},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.item);
        open(c.item);
        ASSERT_NE(w, nullptr);
        EXPECT_EQ(keys(), c.keys);
        EXPECT_EQ(w->lblSelezionati()->text(), c.lbl);
        EXPECT_EQ(w->SSTab1()->tabText(1), app().Kind);
        EXPECT_EQ(!w->Label2()->isHidden(), c.noteLegend);
        EXPECT_EQ(!w->Image1()->isHidden(), c.noteLegend);
        EXPECT_EQ(node("B01")->text(), "STRUTTURA DELLA POPOLAZIONE");  // sub-areas in upper case
        EXPECT_EQ(node("B")->image(), "close");
        EXPECT_EQ(node("B")->selectedImage(), "open");
        EXPECT_FALSE(w->serie()->isEnabled());
        EXPECT_FALSE(w->CmdNewric()->isEnabled());
        EXPECT_FALSE(w->cmdmetadati()->isEnabled());
        EXPECT_TRUE(logLines().isEmpty()) << logLines().join('\n').toStdString();
        closeAll();
    }
}

TEST_F(QueryWindowTreeTest, YearsOfTheCurrentLevelOnlyAscendingWithNotePictures)
{
    // Rows appended out of order, and a row of the regional level that must not show.
    exec("Metadati.mdb", {"INSERT INTO IndVarAnno (Variabile, Anno, LivTerritoriale, Tabella, Settore, Argomento, "
                          "TipoVar) VALUES ('AS001', 2003, 'T', 'AS_2003', 'B', 'B01', 'V')",
                          "INSERT INTO IndVarAnno (Variabile, Anno, LivTerritoriale, Tabella, Settore, Argomento, "
                          "TipoVar) VALUES ('AS001', 2007, 'R', 'AS_2007', 'B', 'B01', 'V')"});
    open(ProvVariabili);
    click("AS001");
    EXPECT_EQ(children("AS001"), QStringList({"AS001-2003|2003|close|open", "AS001-2004|2004|close|open",
                                              "AS001-2005|2005|close|open", "AS001-2006|2006|closeR|openR"}));
    EXPECT_TRUE(node("AS001")->expanded());
    // A second click on the code adds nothing.
    click("AS001");
    EXPECT_EQ(node("AS001")->childCount(), 4);
    EXPECT_TRUE(listItems().isEmpty());
    EXPECT_TRUE(logLines().isEmpty()) << logLines().join('\n').toStdString();
}

TEST_F(QueryWindowTreeTest, IndicatorYearsNeverShowTheNotePictures)
{
    open(ProvIndicatori);
    click("IAS013");
    EXPECT_EQ(children("IAS013"), QStringList({"IAS013-2004|2004|close|open", "IAS013-2005|2005|close|open",
                                               "IAS013-2006|2006|close|open"}));
}

TEST_F(QueryWindowTreeTest, NotePopUpExaminesTheNodeSelectedBeforeThePress)
{
    open(ProvVariabili);
    forms::FormRegistry::show<FormdatiTab>();
    w->SSTab1()->setCurrentIndex(1);
    click("AS001");
    click("AS001-2006");
    ASSERT_EQ(w->objtree()->nodes().selectedItem(), node("AS001-2006"));

    // A right press on the plain year 2005 still examines 2006, which has a note, and keeps it selected.
    QTreeWidgetItem *item2005 = w->objtree()->itemOf(node("AS001-2005"));
    const QPoint at = w->objtree()->visualItemRect(item2005).center();
    QTest::mousePress(w->objtree()->viewport(), Qt::RightButton, Qt::NoModifier, at);
    EXPECT_TRUE(w->mnu_mNote()->isVisible());
    w->mnu_mNote()->hide();
    EXPECT_EQ(w->objtree()->nodes().selectedItem(), node("AS001-2006"));

    w->mnu_note_Click();
    ASSERT_EQ(dialogs.calls().size(), 1);
    EXPECT_EQ(dialogs.calls()[0].prompt, "Per la Sardegna i dati sono ancora riferiti alle quattro province storiche.");
    EXPECT_EQ(dialogs.calls()[0].title, "Note Anno");
    EXPECT_EQ(dialogs.calls()[0].style, forms::vbOKOnly);

    // The context-menu key on the selected year opens the same menu, without the mouse.
    QContextMenuEvent key(QContextMenuEvent::Keyboard, QPoint(), QPoint());
    QApplication::sendEvent(w->objtree(), &key);
    EXPECT_TRUE(w->mnu_mNote()->isVisible());
    EXPECT_NE(w->mnu_mNote()->activeAction(), nullptr);  // Return chooses "Note" at once
    w->mnu_mNote()->hide();

    // The left button, or a selected year without a note, offers nothing.
    w->objtree_MouseDown(Qt::LeftButton);
    EXPECT_FALSE(w->mnu_mNote()->isVisible());
    click("AS001-2005");
    w->objtree_MouseDown(Qt::RightButton);
    EXPECT_FALSE(w->mnu_mNote()->isVisible());
}

TEST_F(QueryWindowTreeTest, The252ndClickShowsTheLimitAndAddsNothing)
{
    for (MenuItem item : {ProvVariabili, ProvIndicatori}) {
        open(item);
        const QString code = item == ProvVariabili ? "TE001" : "IAS013";
        tree::TreeModel &nodes = w->objtree()->nodes();
        for (int i = 1; i <= 252; ++i)
            nodes.add(code, tree::tvwChild, code + "-" + QString::number(3000 + i), QString::number(3000 + i));
        for (int i = 1; i <= 251; ++i)
            click(code + "-" + QString::number(3000 + i));
        EXPECT_EQ(w->lst_allVar()->count(), 251);
        EXPECT_EQ(w->txtCount()->text(), "251");
        EXPECT_TRUE(dialogs.calls().isEmpty());

        click(code + "-3252");
        EXPECT_EQ(w->lst_allVar()->count(), 251);
        ASSERT_EQ(dialogs.calls().size(), 1);
        EXPECT_EQ(dialogs.calls()[0].prompt, item == ProvVariabili
                                                 ? "Raggiunto il limite massimo di Variabili selezionabili."
                                                 : "Raggiunto il limite massimo di Indicatori selezionabili.");
        EXPECT_EQ(dialogs.calls()[0].style, forms::vbExclamation);
        EXPECT_EQ(dialogs.calls()[0].title, "");

        // Removing one makes room for one more.
        w->lst_allVar()->setCurrentRow(0);
        w->lst_allVar_DblClick();
        click(code + "-3252");
        EXPECT_EQ(w->lst_allVar()->count(), 251);
        EXPECT_EQ(w->lst_allVar()->item(250)->text().left(code.size() + 5), code + "-3252");
        EXPECT_EQ(dialogs.calls().size(), 1);
        dialogs.clear();
        closeAll();
    }
}

TEST_F(QueryWindowTreeTest, SelectionListAddsOnceRemovesByDoubleClickAndResets)
{
    open(ProvVariabili);
    pick("AS013", {"2005", "2005", "2006"});
    EXPECT_EQ(listItems(), QStringList({"AS013-2005 - Posti letto negli istituti di cura pubblici e privati",
                                        "AS013-2006 - Posti letto negli istituti di cura pubblici e privati"}));
    EXPECT_EQ(w->lst_allVar()->currentRow(), 1);  // the new item is selected
    EXPECT_EQ(w->txtCount()->text(), "2");
    EXPECT_TRUE(w->serie()->isEnabled());
    EXPECT_TRUE(w->CmdNewric()->isEnabled());

    w->lst_allVar()->setCurrentRow(0);
    w->lst_allVar_Click();
    EXPECT_EQ(w->lst_allVar()->toolTip(), w->lst_allVar()->item(0)->text());
    w->lst_allVar_DblClick();
    EXPECT_EQ(listItems(), QStringList({"AS013-2006 - Posti letto negli istituti di cura pubblici e privati"}));
    EXPECT_EQ(w->txtCount()->text(), "1");
    EXPECT_TRUE(w->serie()->isEnabled());
    // Clicked again after removal, the year comes back.
    click("AS013-2005");
    EXPECT_EQ(w->NumSelezionati(), 2);

    // A double-click with nothing selected does nothing.
    w->lst_allVar()->clearSelection();
    w->lst_allVar_DblClick();
    EXPECT_EQ(w->NumSelezionati(), 2);
    for (int i = 0; i < 2; ++i) {
        w->lst_allVar()->setCurrentRow(0);
        w->lst_allVar_DblClick();
    }
    EXPECT_EQ(w->lst_allVar()->count(), 0);
    EXPECT_FALSE(w->serie()->isEnabled());

    // Reset: empty list, 0, every node folded, no statement; territories stay selected.
    pick("AS001", {"2004"});
    selectTerritories({"Piemonte"});
    app().SqlQuery = "SELECT 1";
    w->CmdNewric_Click();
    EXPECT_EQ(w->lst_allVar()->count(), 0);
    EXPECT_EQ(w->txtCount()->text(), "0");
    EXPECT_FALSE(w->serie()->isEnabled());
    EXPECT_FALSE(w->cmdmetadati()->isEnabled());
    EXPECT_EQ(app().SqlQuery, "");
    tree::TreeModel &nodes = w->objtree()->nodes();
    for (int i = 1; i <= nodes.count(); ++i)
        EXPECT_FALSE(nodes.item(i)->expanded()) << nodes.item(i)->key().toStdString();
    EXPECT_EQ(w->territori().selectedNames(), QStringList({"Piemonte"}));
    click("AS001-2005");
    EXPECT_EQ(w->txtCount()->text(), "1");
}

TEST_F(QueryWindowTreeTest, TheKeyboardAloneOpensTheTreeAndAddsAYear)
{
    open(ProvVariabili);
    tree::TreeView *t = w->objtree();
    const QString code = "AS013", sub = node(code)->parent()->key(), area = node(sub)->parent()->key();
    t->setFocus();
    QTest::keyClick(t, Qt::Key_Home);
    // Down to the node, then Return, as a user without a mouse goes.
    auto confirm = [&](const QString &key) {
        for (int i = 0; i < t->nodes().count() && t->nodes().selectedItem() != node(key); ++i)
            QTest::keyClick(t, Qt::Key_Down);
        ASSERT_EQ(t->nodes().selectedItem(), node(key)) << key.toStdString();
        QTest::keyClick(t, Qt::Key_Return);
    };
    confirm(area);
    confirm(sub);
    confirm(code);  // loads and unfolds its years
    ASSERT_FALSE(node(code)->children().empty());
    confirm(code + "-2005");
    EXPECT_EQ(listItems(), QStringList({"AS013-2005 - Posti letto negli istituti di cura pubblici e privati"}));
    EXPECT_EQ(w->NumSelezionati(), 1);
    EXPECT_TRUE(w->serie()->isEnabled());
}

TEST_F(QueryWindowTreeTest, MetadataSheetOfTheSelectedItem)
{
    QStringList opened;
    registerFormOpener("FRMSCHEDAVARIABILI", [&] { opened << "V:" + app().SqlScheda; });
    registerFormOpener("FRMSCHEDAINDICATORI", [&] { opened << "I:" + app().SqlScheda; });
    open(ProvVariabili);
    w->cmdmetadati_Click();  // nothing selected
    EXPECT_TRUE(opened.isEmpty());

    // A code ending in four digits opens the sheet of the code without them.
    w->objtree()->nodes().add("C01", tree::tvwChild, "AB2005", "Codice di prova");
    w->objtree()->nodes().add("AB2005", tree::tvwChild, "AB2005-2005", "2005");
    click("AB2005-2005");
    pick("AS013", {"2005"});
    // A code with an apostrophe is doubled once, not twice.
    w->objtree()->nodes().add("C01", tree::tvwChild, "D'X01", "Codice con apostrofo");
    w->objtree()->nodes().add("D'X01", tree::tvwChild, "D'X01-2005", "2005");
    click("D'X01-2005");
    app().SchedaAperta = true;
    for (int row = 0; row < 3; ++row) {
        w->lst_allVar()->setCurrentRow(row);
        w->cmdmetadati_Click();
    }
    ASSERT_EQ(opened.size(), 3);
    EXPECT_TRUE(opened[0].startsWith("V:SELECT MetadatiVariabili.*")) << opened[0].toStdString();
    EXPECT_TRUE(opened[0].endsWith("Where  IdVariabile  ='AB';")) << opened[0].toStdString();
    EXPECT_TRUE(opened[1].endsWith("Where  IdVariabile  ='AS013';")) << opened[1].toStdString();
    EXPECT_TRUE(opened[2].endsWith("Where  IdVariabile  ='D''X01';")) << opened[2].toStdString();
    EXPECT_FALSE(app().SchedaAperta);
    unregisterFormOpener("FRMSCHEDAVARIABILI");
    unregisterFormOpener("FRMSCHEDAINDICATORI");
}

TEST_F(QueryWindowTreeTest, CodeClickReadsWithTheKindAndLevelTakenAtLoad)
{
    open(ProvVariabili);
    // Another window changes the shared values meanwhile.
    app().Kind = "Indicatori";
    app().CurrentLivTerritoriale = "R";
    click("AS013");
    EXPECT_EQ(node("AS013")->childCount(), 3);  // AS013 has provincial years only
    EXPECT_EQ(app().Kind, "Variabili");
    EXPECT_EQ(app().CurrentLivTerritoriale, "T");
    EXPECT_EQ(w->kind(), "Variabili");
    EXPECT_TRUE(logLines().isEmpty()) << logLines().join('\n').toStdString();
}

TEST_F(QueryWindowTreeTest, MissingDataDatabaseLeavesTheTreeEmptyAndIsLogged)
{
    open(ProvVariabili);
    forms::FormRegistry::unload<FormdatiTab>();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    app().CurrentDbName = "Mancante.mdb";
    w = forms::FormRegistry::show<FormdatiTab>();
    EXPECT_EQ(w->objtree()->nodes().count(), 0);
    const QStringList log = logLines();
    ASSERT_EQ(log.size(), 3) << log.join('\n').toStdString();
    EXPECT_TRUE(log[0].contains("Function: GetDbConnection"));
    EXPECT_TRUE(log[1].contains("Function: fillsons"));
    EXPECT_TRUE(log[2].contains("Module:FormdatiTab Function: Form_Load"));
    EXPECT_EQ(w->lstDescTerr()->count(), 0);  // the territory set-up is skipped
}

TEST_F(QueryWindowTreeTest, CodeOfALongSubAreaKeyOpensItsYearsInItsOwnBranch)
{
    // "Dati > Dati provinciali > Variabili > MOVIMENTO DEMOGRAFICO > Morti > 2005" on the sample atlas,
    // and the air-quality code of "H03 - NO".
    const fixtures::ProgramFolder atlas{fixtures::ProgramFolder::SampleAtlasCopy{}};
    openOn(atlas, ProvVariabili);
    ASSERT_NE(w, nullptr);
    struct Case { QString area, subArea, code; };
    for (const Case &c : {Case{"B", "B02-PD", "DG030"}, Case{"H", "H03 - NO", "AM010"}}) {
        SCOPED_TRACE(c.code.toStdString());
        click(c.area);
        click(c.subArea);
        click(c.code);
        EXPECT_TRUE(node(c.area)->expanded());
        EXPECT_TRUE(node(c.subArea)->expanded());
        EXPECT_TRUE(node(c.code)->expanded());
        ASSERT_GT(node(c.code)->childCount(), 0);
    }
    EXPECT_EQ(node("B02-PD")->text(), "MOVIMENTO DEMOGRAFICO");
    EXPECT_FALSE(node("DG030")->expanded());  // the other branch folded
    click("DG030");
    click("DG030-2005");
    EXPECT_EQ(listItems().size(), 1);
    EXPECT_TRUE(listItems().value(0).contains("2005")) << listItems().value(0).toStdString();
    EXPECT_TRUE(logLines().isEmpty()) << logLines().join('\n').toStdString();
}
