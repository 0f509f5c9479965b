// The metadata browser and the code list on the sample atlas.
#include "MetadataTestSupport.h"

#include "AppOnFolder.h"
#include "app/core/Program.h"

#include "frmListaMetadati.h"
#include "frmMetadati.h"
#include "frmSchedaIndicatori.h"
#include "frmSchedaVariabili.h"
#include "app/core/AppState.h"

#include "forms/FormRegistry.h"
#include "tree/TreeView.h"

#include <QApplication>
#include <QComboBox>
#include <QScrollBar>
#include <QLineEdit>
#include <QListWidget>

using namespace pendra;
using forms::FormRegistry;

namespace {

using BrowserTest = metadatatest::MetadataTest;

QStringList leafKeys(const tree::TreeModel &m)
{
    QStringList out;
    for (int i = 1; i <= m.count(); ++i) {
        if (m.item(i)->childCount() == 0)
            out << m.item(i)->key();
    }
    return out;
}

TEST_F(BrowserTest, PositionChoosesTheKindAndOnlyCodesWithDataAreLeaves)
{
    frmMetadati *w = FormRegistry::show<frmMetadati>();
    EXPECT_TRUE(logLines().isEmpty());
    ASSERT_GE(w->cmb_Databases->count(), 2);
    EXPECT_EQ(w->cmb_Databases->count(), w->cmb_DatabasesN->count());
    EXPECT_EQ(app().Kind, "Variabili");
    EXPECT_EQ(app().KindSaved, "Variabili");
    const QStringList vars = leafKeys(w->objtree->nodes());
    EXPECT_TRUE(vars.contains("AS013"));
    EXPECT_FALSE(vars.contains("TE010"));  // no IndVarAnno rows
    EXPECT_FALSE(vars.contains("AS040"));
    // Areas keep their case, sub-areas are upper case.
    tree::TreeNode *sub = w->objtree->nodes().item("B01");
    EXPECT_EQ(sub->text(), sub->text().toUpper());
    EXPECT_NE(sub->parent()->text(), sub->parent()->text().toUpper());

    w->cmb_Databases->setCurrentIndex(1);
    EXPECT_EQ(app().Kind, "Indicatori");
    EXPECT_EQ(w->cmb_DatabasesN->currentIndex(), 1);
    const QStringList inds = leafKeys(w->objtree->nodes());
    EXPECT_TRUE(inds.contains("IAS013"));
    EXPECT_FALSE(inds.contains("AS013"));
    EXPECT_FALSE(inds.contains("IAG001"));
    w->cmb_Databases->setCurrentIndex(w->cmb_Databases->count() - 1);
    EXPECT_EQ(app().Kind, "Indicatori");
    w->cmb_Databases->setCurrentIndex(0);
    EXPECT_EQ(app().Kind, "Variabili");
    EXPECT_TRUE(app().SqlScheda.isEmpty());
}

TEST_F(BrowserTest, LeafClickOpensTheSheetOfTheBrowsersKind)
{
    frmMetadati *w = FormRegistry::show<frmMetadati>();
    tree::TreeModel &nodes = w->objtree->nodes();
    w->objtree->clickNode(nodes.item("B01"));  // a sub-area opens nothing
    EXPECT_EQ(FormRegistry::find<frmSchedaVariabili>(), nullptr);

    w->objtree->clickNode(nodes.item("AS001"));
    ASSERT_NE(FormRegistry::find<frmSchedaVariabili>(), nullptr);
    EXPECT_TRUE(FormRegistry::find<frmSchedaVariabili>()->txtVariabili->text().startsWith("AS001 - "));

    // Another window set Kind to "-": the browser's own kind opens, and replaces the open sheet.
    app().Kind = "-";
    w->objtree->clickNode(nodes.item("AS013"));
    EXPECT_EQ(app().Kind, "Variabili");
    EXPECT_TRUE(FormRegistry::find<frmSchedaVariabili>()->txtVariabili->text().startsWith("AS013 - "));

    // A menu item changed the database: Kind comes back from KindSaved.
    app().Kind = "Indicatori";
    app().DatabaseCambiato = "True";
    w->objtree->clickNode(nodes.item("AS014"));
    EXPECT_EQ(app().Kind, "Variabili");
    EXPECT_EQ(app().DatabaseCambiato, "False");
    EXPECT_TRUE(FormRegistry::find<frmSchedaVariabili>()->txtVariabili->text().startsWith("AS014 - "));
    EXPECT_EQ(FormRegistry::find<frmSchedaIndicatori>(), nullptr);

    w->cmb_Databases->setCurrentIndex(1);
    w->objtree->clickNode(w->objtree->nodes().item("IAS013"));
    ASSERT_NE(FormRegistry::find<frmSchedaIndicatori>(), nullptr);
    EXPECT_NE(FormRegistry::find<frmSchedaVariabili>(), nullptr);
    EXPECT_TRUE(logLines().isEmpty());
}

TEST_F(BrowserTest, LeafOpensTheSheetOfItsTreesKindWhateverMenuItemWasChosenSince)
{
    frmMetadati *w = FormRegistry::show<frmMetadati>();
    // A menu item of indicators, then the query window it opens: both Kind and KindSaved change.
    app().Kind = "Indicatori";
    app().KindSaved = "Indicatori";
    app().DatabaseCambiato = "False";
    w->objtree->clickNode(w->objtree->nodes().item("AS013"));
    ASSERT_NE(FormRegistry::find<frmSchedaVariabili>(), nullptr);
    EXPECT_TRUE(FormRegistry::find<frmSchedaVariabili>()->txtVariabili->text().startsWith("AS013 - "));
    EXPECT_EQ(FormRegistry::find<frmSchedaIndicatori>(), nullptr);
    EXPECT_EQ(app().Kind, "Indicatori");  // the query window's, left alone
    // The same with the database changed, and the other way round.
    app().DatabaseCambiato = "True";
    w->objtree->clickNode(w->objtree->nodes().item("AS014"));
    EXPECT_TRUE(FormRegistry::find<frmSchedaVariabili>()->txtVariabili->text().startsWith("AS014 - "));
    EXPECT_EQ(app().Kind, "Variabili");
    w->cmb_Databases->setCurrentIndex(1);
    app().Kind = "Variabili";
    app().KindSaved = "Variabili";
    w->objtree->clickNode(w->objtree->nodes().item("IAS013"));
    ASSERT_NE(FormRegistry::find<frmSchedaIndicatori>(), nullptr);
    EXPECT_TRUE(FormRegistry::find<frmSchedaIndicatori>()->txtIndicatore->text().startsWith("IAS013"));
    EXPECT_TRUE(logLines().isEmpty());
}

TEST_F(BrowserTest, CodeOfALongSubAreaKeyKeepsItsBranchOpen)
{
    const fixtures::ProgramFolder atlas{fixtures::ProgramFolder::SampleAtlasCopy{}};
    fixtures::useProgramFolder(atlas);
    pendra::setProgramFolder(atlas.path());
    frmMetadati *w = FormRegistry::show<frmMetadati>();
    tree::TreeModel &nodes = w->objtree->nodes();
    struct Case { QString area, subArea, code; };
    for (const Case &c : {Case{"B", "B02-PD", "DG030"}, Case{"H", "H03 - NO", "AM010"}}) {
        SCOPED_TRACE(c.code.toStdString());
        ASSERT_NE(nodes.item(c.code), nullptr);
        w->objtree->clickNode(nodes.item(c.area));
        w->objtree->clickNode(nodes.item(c.subArea));
        w->objtree->clickNode(nodes.item(c.code));
        EXPECT_TRUE(nodes.item(c.area)->expanded());
        EXPECT_TRUE(nodes.item(c.subArea)->expanded());
        ASSERT_NE(FormRegistry::find<frmSchedaVariabili>(), nullptr);
        EXPECT_TRUE(FormRegistry::find<frmSchedaVariabili>()->txtVariabili->text().startsWith(c.code + " - "));
    }
    EXPECT_FALSE(nodes.item("B02-PD")->expanded());  // the other branch folded
    FormRegistry::unloadAll();
    fixtures::useProgramFolder(*folder);
    pendra::setProgramFolder(folder->path());
}

QStringList codes(const QListWidget *list)
{
    QStringList out;
    for (int i = 0; i < list->count(); ++i)
        out << list->item(i)->text();
    return out;
}

TEST_F(BrowserTest, CodeListHidesNoSubAreasAndShowsTheSelectedCode)
{
    frmListaMetadati *w = FormRegistry::show<frmListaMetadati>();
    EXPECT_EQ(w->windowTitle(), " Variabili e indicatori");
    const QStringList vars = codes(w->lst_CodVar);
    EXPECT_TRUE(vars.contains("TE010"));   // no data, listed all the same

    w->lst_CodVar->setCurrentRow(int(vars.indexOf("TE010")));
    EXPECT_EQ(w->txtDescrizione->text(), "Superficie agricola utilizzata");
    EXPECT_TRUE(w->txtArgomento->text().startsWith("A01 - "));
    EXPECT_TRUE(w->txtSettore->text().startsWith("A - "));
    EXPECT_EQ(w->txtAnniDisp[7]->text(), "P");
    EXPECT_EQ(w->txtAnniDisp[4]->text(), "N.A.");

    // A year without a code clears its box.
    w->lst_CodVar->setCurrentRow(int(vars.indexOf("DG030")));
    EXPECT_EQ(w->txtAnniDisp[7]->text(), "");
    EXPECT_EQ(w->txtAnniDisp[8]->text(), "P");
    w->lst_CodVar->setCurrentRow(int(vars.indexOf("TE010")));
    // The other kind keeps the year boxes and empties the rest.
    w->cmbVarInd->setCurrentIndex(1);
    EXPECT_EQ(w->txtDescrizione->text(), "");
    EXPECT_EQ(w->txtAnniDisp[7]->text(), "P");
    const QStringList inds = codes(w->lst_CodVar);
    EXPECT_TRUE(inds.contains("IAG001"));
    EXPECT_TRUE(inds.contains("IAS013"));
    w->lst_CodVar->setCurrentRow(int(inds.indexOf("IAG002")));
    EXPECT_EQ(w->txtDescrizione->text(), "Quota di superficie agricola utilizzata");
    EXPECT_EQ(w->txtAnniDisp[7]->text(), "P");  // "p" upper-cased
    EXPECT_TRUE(logLines().isEmpty());
}

TEST_F(BrowserTest, ARefilledCodeListStartsAtItsTop)
{
    frmListaMetadati *w = FormRegistry::show<frmListaMetadati>();
    w->lst_CodVar->setMaximumHeight(w->lst_CodVar->sizeHintForRow(0) * 3);  // short enough that the codes scroll
    QApplication::processEvents();
    for (int kind : {1, 0, 1}) {
        SCOPED_TRACE(kind);
        w->lst_CodVar->scrollToBottom();
        QApplication::processEvents();
        ASSERT_GT(w->lst_CodVar->verticalScrollBar()->value(), 0);
        w->cmbVarInd->setCurrentIndex(kind);
        QApplication::processEvents();
        ASSERT_GT(w->lst_CodVar->count(), 0);
        EXPECT_EQ(w->lst_CodVar->indexAt(QPoint(2, 2)).row(), 0) << "the first code is in view";
    }
}

TEST_F(BrowserTest, CodeListLeavesOutTheNoSubAreasAndListsInCodeOrder)
{
    // Codes of both hidden sub-areas (the small sample has only "H04-NO" of its own) and one to
    // list, stored after the sample's rows.
    auto row = [](const char *table, const char *code, const char *subArea) {
        const bool variable = QLatin1String(table) == QLatin1String("MetadatiVariabili");
        return QStringLiteral("INSERT INTO %1 (%2, %3) VALUES ('%4', '%5')")
            .arg(table, variable ? "IdVariabile" : "IdIndicatore", variable ? "CodiceArgomento" : "Argomento", code,
                 subArea);
    };
    changeMetadati({row("MetadatiVariabili", "AM910", "H03 - NO"), row("MetadatiIndicatori", "IAM901", "H03 - NO"),
                    row("MetadatiIndicatori", "IAM902", "H04-NO"), row("MetadatiIndicatori", "IAA001", "A01")},
                   {"DELETE FROM MetadatiVariabili WHERE IdVariabile = 'AM910'",
                    "DELETE FROM MetadatiIndicatori WHERE IdIndicatore IN ('IAM901', 'IAM902', 'IAA001')"});
    frmListaMetadati *w = FormRegistry::show<frmListaMetadati>();
    const struct {
        int kind;
        const char *code;
        bool listed;
    } cases[] = {
        {0, "AM910", false},  // "H03 - NO"
        {0, "AM020", false},  // "H04-NO"
        {0, "AS013", true},   {1, "IAM901", false}, {1, "IAM902", false}, {1, "IAA001", true}, {1, "IAS013", true},
    };
    for (int kind : {0, 1}) {
        w->cmbVarInd->setCurrentIndex(kind);
        const QStringList listed = codes(w->lst_CodVar);
        QStringList sorted = listed;
        sorted.sort();
        EXPECT_EQ(listed, sorted) << kind;
        for (const auto &c : cases) {
            if (c.kind == kind) {
                EXPECT_EQ(listed.contains(c.code), c.listed) << c.code;
            }
        }
    }
    EXPECT_EQ(codes(w->lst_CodVar).value(0), "IAA001");
    EXPECT_TRUE(logLines().isEmpty());
}

}  // namespace

namespace {
// A code whose description is empty (Null) shows with empty text, and the tree fills on past it.
TEST_F(BrowserTest, AnEmptyDescriptionShowsEmptyAndTheTreeFillsOn)
{
    frmMetadati *before = FormRegistry::show<frmMetadati>();
    const QStringList whole = leafKeys(before->objtree->nodes());
    const QString text = before->objtree->nodes().item("AS013")->text();
    FormRegistry::unload<frmMetadati>();
    changeMetadati({"UPDATE MetadatiVariabili SET DescVariabile = NULL WHERE IdVariabile = 'AS013'"},
                   {"UPDATE MetadatiVariabili SET DescVariabile = '" + QString(text).replace("'", "''") +
                    "' WHERE IdVariabile = 'AS013'"});
    frmMetadati *w = FormRegistry::show<frmMetadati>();
    EXPECT_TRUE(logLines().isEmpty()) << logLines().join('\n').toStdString();
    EXPECT_TRUE(dialogs.messages().isEmpty()) << dialogs.messages().join('\n').toStdString();
    EXPECT_EQ(leafKeys(w->objtree->nodes()), whole);
    EXPECT_EQ(w->objtree->nodes().item("AS013")->text(), "");
}
}  // namespace
