// "Esporta in Excel" and "Crea nuovo indicatore" from the data table window: the export in
// territory-code order, and the formula editor opened modally on the window's grid.
#include "TableWindowSupport.h"

#include "app/core/AppState.h"
#include "app/query/frmFunzione.h"
#include "app/query/frm_dispData.h"

#include "forms/FormRegistry.h"
#include "forms/MousePointer.h"
#include "forms/ShellOpen.h"
#include "grid/FlexGrid.h"
#include "sheet/SheetReader.h"

#include <QTemporaryDir>
#include <QTimer>

using pendra::app;
using tabletest::TableWindowTest;

namespace {

TEST_F(TableWindowTest, ExportWritesTheTableInTerritoryCodeOrder)
{
    QTemporaryDir out;
    app().ExcelPath = out.path() + "/Excel/";
    forms::ScriptedShellOpener opener;
    forms::ScopedShellOpener installed(opener);
    open();
    window->cmb_Ordina()->setCurrentIndex(6);
    window->cmd_ordinaD_Click();  // AS013_2005 descending
    ASSERT_EQ(grid().TextMatrix(1, 1), "P021");

    dialogs.answerFile(out.path() + "/Excel/tabella.xlsx");
    dialogs.answerMsgBox(forms::vbYes);
    window->cmdEsportaXls_Click();

    EXPECT_EQ(dialogs.messages(), QStringList({"Si desidera aprire il file adesso per consultarlo?"}));
    EXPECT_EQ(opener.opened(), QStringList({out.path() + "/Excel/tabella.xlsx"}));
    EXPECT_EQ(column(1), (QStringList{"COD_TERR", "P001", "P004", "P007", "P021", "P022"}));
    sheet::SheetReader book(out.path() + "/Excel/tabella.xlsx");
    const auto cells = book.cells(1);
    EXPECT_EQ(cells.value("B2").text, "P001");
    EXPECT_EQ(cells.value("B6").text, "P022");
    EXPECT_EQ(cells.value("G2").type, sheet::CellValue::Number);
    EXPECT_EQ(cells.value("G2").number, 12.5);
    EXPECT_FALSE(cells.contains("G6"));  // a Null value
    EXPECT_EQ(book.cells(2).value("A1").text, "Variabile");
    EXPECT_EQ(forms::mousePointer(), forms::MousePointer::Default);
}

TEST_F(TableWindowTest, FormulaEditorAddsAColumnToTheWindow)
{
    open();
    app().NumFunz = 0;
    dialogs.answerInput("Rapporto");
    bool shown = false;
    QTimer::singleShot(0, [&] {
        auto *editor = forms::FormRegistry::find<pendra::frmFunzione>();
        ASSERT_NE(editor, nullptr);
        shown = editor->isVisible() && editor->windowTitle() == "Crea nuovo indicatore";
        ASSERT_EQ(editor->lstColonne()->count(), 3);
        editor->lstColonne_DblClick(0);  // AS013_2005
        editor->cmdOperatore_Click("/");
        editor->lstColonne_DblClick(2);  // AS014_2005
        EXPECT_EQ(editor->lstFunzione()->text(), "AS013_2005 / AS014_2005 ");
        editor->cmdEsegui_Click();
    });
    window->cmdFunzione_Click();
    EXPECT_TRUE(shown);
    EXPECT_FALSE(forms::FormRegistry::isLoaded<pendra::frmFunzione>());
    ASSERT_EQ(grid().Cols(), 10);
    // 12,50 / 7 and 10,75 / 3 for the first two territories.
    EXPECT_EQ(column(9).mid(0, 3), (QStringList{"Rapporto", "1,7857", "3,5833"}));
    EXPECT_EQ(window->cmb_Ordina()->itemText(window->cmb_Ordina()->count() - 1), "Rapporto");
    EXPECT_EQ(app().GridData[0].size(), 9);  // the snapshot taken before the editor
    EXPECT_EQ(forms::mousePointer(), forms::MousePointer::Default);
}

TEST_F(TableWindowTest, FormulaEditorAnnullaLeavesTheGrid)
{
    open();
    QTimer::singleShot(0, [&] {
        auto *editor = forms::FormRegistry::find<pendra::frmFunzione>();
        ASSERT_NE(editor, nullptr);
        editor->lstColonne_DblClick(0);
        editor->cmdAnnulla_Click();
    });
    window->cmdFunzione_Click();
    EXPECT_FALSE(forms::FormRegistry::isLoaded<pendra::frmFunzione>());
    EXPECT_EQ(grid().Cols(), 9);
    EXPECT_EQ(window->cmb_Ordina()->count(), 9);
    EXPECT_TRUE(dialogs.messages().isEmpty());
}

}  // namespace
