// The formula editor: token entry rules, the new column evaluated row by row on the user database,
// its name, zero divisors and empty cells, syntax errors, an empty "tabope", running twice.
#include "app/core/AppState.h"
#include "app/query/FormulaEditor.h"

#include "ProgramFolder.h"
#include "forms/ScriptedDialogService.h"
#include "grid/FlexGridModel.h"
#include "jet/Connection.h"
#include "vb/Conversions.h"

#include <QComboBox>
#include <QFile>
#include <gtest/gtest.h>

using namespace pendra;

namespace {

std::unique_ptr<fixtures::ProgramFolder> folder;

// The snapshot of a table: territory columns, then two data columns.
QVector<QVector<QString>> snapshot()
{
    return {
        {"TipoTerritorio", "COD_TERR", "PROV", "REG", "COD_NUTS", "Territorio", "AS013_2005", "AS014_2005"},
        {"1", "001", "001", "01", "ITC11", "Torino", "10,00", "4,00"},
        {"1", "004", "004", "01", "ITC16", "Cuneo", "7,50", "0,00"},
        {"1", "007", "007", "02", "ITC20", "Aosta", "", "2,00"},
        {"6", "021", "021", "04", "ITD10", "Bolzano", "3,00", "n.d."},
    };
}

class FormulaTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { folder = std::make_unique<fixtures::ProgramFolder>(); }
    static void TearDownTestSuite() { folder.reset(); }

    void SetUp() override
    {
        resetAppState();
        vb::setUserLocale(QLocale(QLocale::Italian, QLocale::Italy));
        app().FilesPath = folder->files();
        app().ConnPrefix = odbcPrefix(DatabasePassword);
        app().GridData = snapshot();
        editor.Load(grid, app().GridData);
        sortList.addItems({"TipoTerritorio", "COD_TERR"});
    }
    void TearDown() override
    {
        editor.close();
        vb::resetUserLocale();
        resetAppState();
    }

    // "AS013_2005 / AS014_2005", run as the column "Rapporto".
    FormulaEditor::Outcome runRatio()
    {
        editor.addColumn("AS013_2005");
        editor.addOperator("/");
        editor.addColumn("AS014_2005");
        return run("Rapporto");
    }
    FormulaEditor::Outcome run(const QString &name)
    {
        dialogs.answerInput(name);
        return editor.Esegui(grid, sortList, [this] { ++colourings; });
    }
    QStringList column(int c) const
    {
        QStringList out;
        for (int r = 0; r < grid.Rows(); ++r)
            out << grid.TextMatrix(r, c);
        return out;
    }
    void userDatabase(const QString &sql)
    {
        jet::Connection conn;
        conn.open(app().ConnPrefix + folder->files() + "qxt_utente.mdb");
        conn.execute(sql);
    }

    forms::ScriptedDialogService dialogs;
    forms::ScopedDialogs installed{dialogs};
    grid::FlexGridModel grid;
    QComboBox sortList;
    FormulaEditor editor;
    int colourings = 0;
};

TEST(IsAlphaNumericTest, LettersDigitsAndBackspaceOnly)
{
    const struct {
        QString text;
        bool expected;
    } cases[] = {
        {"", true},          {"Funz12005", true}, {QString("ab") + QChar(8), true}, {"Nuovo indice", false},
        {"indice_1", false}, {"città", false},   {"x-y", false},                   {"ABCxyz0189", true},
    };
    for (const auto &c : cases)
        EXPECT_EQ(IsAlphaNumeric(c.text), c.expected) << c.text.toStdString();
}

TEST_F(FormulaTest, LoadListsTheDataColumnsAndDropsColumnsOutsideTheSnapshot)
{
    grid.setCols(9);
    grid.setTextMatrix(0, 8, "Vecchia");
    editor.Load(grid, app().GridData);
    EXPECT_EQ(editor.columnList(), QStringList({"AS013_2005", "AS014_2005"}));
    EXPECT_EQ(grid.Cols(), 8);
    EXPECT_EQ(grid.Rows(), 5);
    EXPECT_EQ(grid.TextMatrix(3, 5), "Aosta");
}

TEST_F(FormulaTest, TokenEntryRules)
{
    EXPECT_FALSE(editor.addOperator("+"));  // nothing before it
    EXPECT_FALSE(editor.addPercent());
    EXPECT_TRUE(editor.addColumn("AS013_2005"));
    EXPECT_EQ(app().UltimaColonna, "AS013_2005");
    EXPECT_FALSE(editor.addColumn("AS014_2005"));  // two columns in a row
    EXPECT_FALSE(editor.addDigit(u'1'));           // a digit right after a column
    EXPECT_TRUE(editor.addOperator("/"));
    EXPECT_FALSE(editor.addOperator("*"));  // two operators keep the first
    EXPECT_TRUE(editor.addBracket(u'('));
    EXPECT_TRUE(editor.addDigit(u'1'));
    EXPECT_TRUE(editor.addDigit(u'2'));
    EXPECT_TRUE(editor.addDigit(u'.'));
    EXPECT_TRUE(editor.addDigit(u'5'));
    EXPECT_TRUE(editor.addOperator("-"));
    EXPECT_TRUE(editor.addColumn("AS014_2005"));
    EXPECT_TRUE(editor.addBracket(u')'));
    EXPECT_TRUE(editor.addPercent());
    EXPECT_EQ(editor.expression(), "AS013_2005 / ( 12.5- AS014_2005 ) * 100 ");
}

TEST_F(FormulaTest, RatioOfTwoColumnsRowByRow)
{
    ASSERT_EQ(runRatio(), FormulaEditor::Outcome::Done);
    // 10/4; a 0,00 divisor, an empty cell and a text cell give empty cells.
    EXPECT_EQ(column(8), QStringList({"Rapporto", "2,5000", "", "", ""}));
    EXPECT_EQ(sortList.itemText(sortList.count() - 1), "Rapporto");
    EXPECT_EQ(colourings, 1);
    EXPECT_TRUE(grid.Redraw());
    EXPECT_EQ(app().NumFunz, 1);
    const auto inputs = dialogs.calls(forms::DialogCall::InputBox);
    ASSERT_EQ(inputs.size(), 1);
    EXPECT_EQ(inputs[0].prompt, "Inserire un nome per l'indicatore.");
    EXPECT_EQ(inputs[0].title, "Nome indicatore");
    EXPECT_EQ(inputs[0].defaultText, "Funz12005");
    EXPECT_TRUE(dialogs.messages().isEmpty());
}

TEST_F(FormulaTest, ArithmeticOfTheEngine)
{
    const struct {
        QStringList tokens;  // c: a column; digits and "." typed; else an operator or bracket
        QStringList expected;
    } cases[] = {
        {{"c:AS013_2005", "*", "2", "+", "1"}, {"21,0000", "16,0000", "", "7,0000"}},
        {{"(", "c:AS013_2005", "-", "1", ")", "^", "2"}, {"81,0000", "42,2500", "", "4,0000"}},
        {{"c:AS013_2005", "%"}, {"1000,0000", "750,0000", "", "300,0000"}},
        // Typed numbers stand alone as the user's locale writes them.
        {{"1", "2"}, {"12", "12", "12", "12"}},
        {{"1", ".", "5"}, {"1,5", "1,5", "1,5", "1,5"}},
        {{"0", "0", "7"}, {"007", "007", "007", "007"}},
        {{"1", ".", "5", "0"}, {"1,50", "1,50", "1,50", "1,50"}},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.tokens.join(' ').toStdString());
        editor.Load(grid, app().GridData);
        for (const QString &t : c.tokens) {
            if (t.startsWith("c:"))
                editor.addColumn(t.mid(2));
            else if (t == "%")
                editor.addPercent();
            else if (t == "(" || t == ")")
                editor.addBracket(t[0]);
            else if (t[0].isDigit() || t == ".")
                editor.addDigit(t[0]);
            else
                editor.addOperator(t);
        }
        ASSERT_EQ(run("Calcolo"), FormulaEditor::Outcome::Done);
        EXPECT_EQ(column(8).mid(1), c.expected);
        // The constant reads back as the number typed.
        if (!c.tokens[0].startsWith("c:") && c.tokens[0] != "(") {
            EXPECT_EQ(vb::CDbl(vb::Variant(grid.TextMatrix(1, 8))), c.tokens.join("").toDouble());
        }
    }
}

TEST_F(FormulaTest, RefusedNameIsAskedAgain)
{
    editor.addColumn("AS013_2005");
    dialogs.answerInput("Nuovo indice");
    ASSERT_EQ(run("Indice1"), FormulaEditor::Outcome::Done);
    EXPECT_EQ(dialogs.messages(), QStringList({"Il nome non deve contenere spazi o caratteri speciali."}));
    const auto box = dialogs.calls(forms::DialogCall::MsgBox)[0];
    EXPECT_EQ(box.title, "Attenzione!");
    EXPECT_EQ(box.style, forms::vbExclamation);
    EXPECT_EQ(dialogs.calls(forms::DialogCall::InputBox).size(), 2);
    EXPECT_EQ(grid.TextMatrix(0, 8), "Indice1");
}

TEST_F(FormulaTest, NameOfAColumnOfTheTableIsRefusedKeepingWhatWasTyped)
{
    editor.addColumn("AS013_2005");
    // "PROV", a territory column; "territorio", another in other letters; then a free name.
    dialogs.answerInput("PROV");
    dialogs.answerInput("territorio");
    ASSERT_EQ(run("Rapp"), FormulaEditor::Outcome::Done);
    const auto boxes = dialogs.calls(forms::DialogCall::MsgBox);
    ASSERT_EQ(boxes.size(), 2);
    EXPECT_EQ(boxes[0].prompt, QString::fromUtf8("La tabella ha già una colonna \"PROV\". Scegliere un altro nome."));
    EXPECT_EQ(boxes[0].title, "Attenzione!");
    EXPECT_EQ(boxes[0].style, forms::vbExclamation);
    const auto inputs = dialogs.calls(forms::DialogCall::InputBox);
    ASSERT_EQ(inputs.size(), 3);
    EXPECT_EQ(inputs[1].defaultText, "PROV");
    EXPECT_EQ(inputs[2].defaultText, "territorio");
    EXPECT_EQ(grid.TextMatrix(0, 8), "Rapp");
    EXPECT_EQ(sortList.count(), 3);

    // The computed column's own name is taken from then on.
    QVector<QVector<QString>> data(grid.Rows(), QVector<QString>(grid.Cols()));
    for (int r = 0; r < grid.Rows(); ++r)
        for (int c = 0; c < grid.Cols(); ++c)
            data[r][c] = grid.TextMatrix(r, c);
    app().GridData = data;
    FormulaEditor second;
    second.Load(grid, app().GridData);
    second.addColumn("Rapp");
    dialogs.clear();
    dialogs.answerInput("Rapp");
    EXPECT_EQ(second.Esegui(grid, sortList, [] {}), FormulaEditor::Outcome::Cancelled);
    EXPECT_EQ(dialogs.messages().size(), 1);
    EXPECT_EQ(grid.Cols(), 9);
    second.close();
}

TEST_F(FormulaTest, NoNameOrNoExpressionChangesNothing)
{
    EXPECT_EQ(run("Ignorato"), FormulaEditor::Outcome::Nothing);
    editor.addColumn("AS013_2005");
    dialogs.clear();
    EXPECT_EQ(run(""), FormulaEditor::Outcome::Cancelled);
    EXPECT_EQ(grid.Cols(), 8);
    EXPECT_EQ(sortList.count(), 2);
    EXPECT_EQ(colourings, 0);
}

TEST_F(FormulaTest, SyntaxErrorRemovesTheNewColumn)
{
    editor.addBracket(u'(');
    editor.addColumn("AS013_2005");
    editor.addOperator("+");
    ASSERT_EQ(run("Errata"), FormulaEditor::Outcome::SyntaxError);
    EXPECT_EQ(dialogs.messages(), QStringList({"L'espressione contiene errori di sintassi."}));
    const auto box = dialogs.calls(forms::DialogCall::MsgBox)[0];
    EXPECT_EQ(box.title, "ATTENZIONE!");
    EXPECT_EQ(box.style, forms::vbExclamation);
    EXPECT_EQ(grid.Cols(), 8);
    EXPECT_EQ(sortList.count(), 2);
    EXPECT_TRUE(grid.Redraw());
    EXPECT_EQ(colourings, 0);
}

// A cell counts in the formula as the user's locale reads it, groups, blanks and exponents too.
TEST_F(FormulaTest, CellsReadInEveryNotationOfTheLocale)
{
    app().GridData = {
        {"TipoTerritorio", "COD_TERR", "PROV", "REG", "COD_NUTS", "Territorio", "AS013_2005", "AS014_2005"},
        {"1", "001", "001", "01", "ITC11", "Torino", "1.234,5", "3"},
        {"1", "004", "004", "01", "ITC16", "Cuneo", " 2,5 ", "0,1"},
        {"1", "007", "007", "02", "ITC20", "Aosta", "1,5E2", "-0,00"},
        {"6", "021", "021", "04", "ITD10", "Bolzano", "0,1", "0,3"},
    };
    editor.Load(grid, app().GridData);
    ASSERT_EQ(runRatio(), FormulaEditor::Outcome::Done);
    EXPECT_EQ(column(8), QStringList({"Rapporto", "411,5000", "25,0000", "", "0,3333"}));
}

// A row the engine refuses ends the run; the next run of the same editor reads the user database again.
TEST_F(FormulaTest, ARunAfterARefusedRowWorks)
{
    editor.addColumn("AS013_2005");
    editor.addOperator("^");
    editor.addDigit(u'9');
    editor.addDigit(u'9');
    editor.addDigit(u'9');
    ASSERT_EQ(run("Troppo"), FormulaEditor::Outcome::SyntaxError);
    EXPECT_EQ(dialogs.messages(), QStringList({"L'espressione contiene errori di sintassi."}));
    editor.Load(grid, app().GridData);
    ASSERT_EQ(runRatio(), FormulaEditor::Outcome::Done);
    EXPECT_EQ(column(8), QStringList({"Rapporto", "2,5000", "", "", ""}));
}

TEST_F(FormulaTest, EmptyTabopeWritesZero)
{
    userDatabase("DELETE FROM tabope");
    editor.addColumn("AS013_2005");
    const FormulaEditor::Outcome outcome = run("Zero");
    editor.close();
    userDatabase("INSERT INTO tabope (id) VALUES (1)");
    ASSERT_EQ(outcome, FormulaEditor::Outcome::Done);
    EXPECT_EQ(column(8), QStringList({"Zero", "0", "0", "", "0"}));
}

TEST_F(FormulaTest, SecondRunFollowsTheFirstComputedColumn)
{
    editor.addColumn("AS013_2005");
    editor.addOperator("*");
    editor.addDigit(u'2');
    ASSERT_EQ(run("Doppio"), FormulaEditor::Outcome::Done);
    // The table window copies its grid into the snapshot before opening the editor again.
    QVector<QVector<QString>> data(grid.Rows(), QVector<QString>(grid.Cols()));
    for (int r = 0; r < grid.Rows(); ++r)
        for (int c = 0; c < grid.Cols(); ++c)
            data[r][c] = grid.TextMatrix(r, c);
    app().GridData = data;
    FormulaEditor second;
    second.Load(grid, app().GridData);
    EXPECT_EQ(second.columnList(), QStringList({"AS013_2005", "AS014_2005", "Doppio"}));
    second.addColumn("Doppio");
    second.addOperator("+");
    second.addDigit(u'1');
    dialogs.answerInput("Piu1");
    ASSERT_EQ(second.Esegui(grid, sortList, [] {}), FormulaEditor::Outcome::Done);
    EXPECT_EQ(column(9), QStringList({"Piu1", "21,0000", "16,0000", "", "7,0000"}));
    EXPECT_EQ(column(8)[1], "20,0000");
    EXPECT_EQ(app().NumFunz, 2);
    // "Doppio" has no year: the proposal keeps the whole name.
    EXPECT_EQ(dialogs.calls(forms::DialogCall::InputBox).last().defaultText, "Funz2Doppio");
}

}  // namespace
