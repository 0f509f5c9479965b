// The search of the data table window: text and whole-number range cases, refusals, and the
// recovery after an error in the middle of a search.
#include "TableWindowSupport.h"

#include "app/core/AppState.h"
#include "app/query/frm_dispData.h"

#include "forms/MousePointer.h"
#include "grid/FlexGrid.h"

namespace tabletest {
namespace {

constexpr int Territorio = 5, AS013_2005 = 6;

class TableWindowSearchTest : public TableWindowTest {
protected:
    void search(int column, const QString &da, const QString &a)
    {
        window->cmb_ric()->setCurrentIndex(column + 1);
        window->txt_ricda()->setText(da);
        window->txt_rica()->setText(a);
        window->cmd_ric_Click();
    }
};

TEST_F(TableWindowSearchTest, TextSearchMatchesWholeTrimmedCellsIgnoringCase)
{
    open();
    // Three spellings of one name, as a search for "roma" must find them.
    grid().setTextMatrix(2, Territorio, "Roma");    // P004
    grid().setTextMatrix(4, Territorio, " roma ");  // P021
    grid().setTextMatrix(5, Territorio, "ROMA");    // P022
    search(Territorio, "  roma", "");
    // The table was sorted on the names first (" roma ", Aosta, Roma, ROMA, Torino: the blank
    // counts in the sort); each later match went above the earlier ones.
    EXPECT_EQ(column(1).mid(1), (QStringList{"P022", "P004", "P021", "P007", "P001"}));
    EXPECT_EQ(grid().Row(), 1);
    EXPECT_EQ(grid().Col(), Territorio);
    EXPECT_EQ(grid().RowSel(), 1);
    EXPECT_EQ(grid().cellBackColor(2, 0), 0x8000000Fu);
    EXPECT_TRUE(dialogs.messages().isEmpty());

    search(Territorio, "rom", "");
    EXPECT_EQ(column(1).mid(1), (QStringList{"P021", "P007", "P022", "P004", "P001"}));  // only the sort
}

TEST_F(TableWindowSearchTest, RangeSearchOfWholeNumbers)
{
    struct Case {
        QString da, a;
        QStringList top;  // COD_TERR of the matches, at the top in sorted order
        QString shownA;   // the upper box afterwards
    };
    const std::vector<Case> cases = {
        {"10", "", {"P004"}, "10"},                    // 10,75 is 10; 9,99 is not
        {"9", "12", {"P007", "P004", "P001"}, "12"},
        {"10,9", "12,2", {"P004", "P001"}, "12,2"},    // whole parts: 10 to 12
        {"200", "300", {}, "300"},
    };
    for (const Case &c : cases) {
        pendra::app().SqlQuery = dataQuery();  // closing the window cleared it
        open();
        search(AS013_2005, c.da, c.a);
        EXPECT_EQ(column(1).mid(1, c.top.size()), c.top) << c.da.toStdString();
        EXPECT_EQ(window->txt_rica()->text(), c.shownA);
        EXPECT_EQ(grid().Col(), AS013_2005);
        if (c.top.isEmpty()) {
            EXPECT_EQ(grid().Row(), 0);  // the header cell stays selected
            EXPECT_EQ(grid().RowSel(), 0);
        } else {
            EXPECT_EQ(grid().Row(), 1);
            EXPECT_EQ(grid().RowSel(), c.top.size());
            EXPECT_EQ(grid().TopRow(), 1);
        }
        EXPECT_TRUE(dialogs.messages().isEmpty());
        window->unload();
    }
}

TEST_F(TableWindowSearchTest, RangeSearchNeverMatchesEmptyOrTextCells)
{
    open();
    search(Territorio, "1", "1000");
    EXPECT_EQ(column(1).mid(1), (QStringList{"P007", "P021", "P004", "P001", "P022"}));  // sorted, none moved
    EXPECT_EQ(grid().Row(), 0);
    EXPECT_EQ(grid().Col(), Territorio);

    search(AS013_2005, "0", "1000");
    // Trento's empty cell (first after the sort) is left below the four numbers.
    EXPECT_EQ(column(1).mid(1), (QStringList{"P007", "P004", "P001", "P021", "P022"}));
    EXPECT_EQ(grid().RowSel(), 4);
}

TEST_F(TableWindowSearchTest, RefusedSearchesLeaveTheTableUntouched)
{
    struct Case {
        int item;  // cmb_ric item
        QString da, a;
        QString message;  // "" for none
        QString title;
    };
    const std::vector<Case> cases = {
        {AS013_2005 + 1, "5", "3", "*", "Attenzione"},
        {AS013_2005 + 1, "abc", "7", "Per fare una ricerca da --- a inserire due numeri interi!", "Attenzione"},
        {0, "10", "", "", ""},             // the empty item
        {AS013_2005 + 1, "   ", "7", "", ""},  // no search text
    };
    open();
    grid().setCol(3);
    const QStringList before = column(1);
    for (const Case &c : cases) {
        dialogs.clear();
        window->cmb_ric()->setCurrentIndex(c.item);
        window->txt_ricda()->setText(c.da);
        window->txt_rica()->setText(c.a);
        window->cmd_ric_Click();
        EXPECT_EQ(column(1), before) << c.da.toStdString();
        EXPECT_EQ(grid().Col(), 3);
        if (c.message.isEmpty()) {
            EXPECT_TRUE(dialogs.calls().isEmpty()) << c.da.toStdString();
        } else {
            ASSERT_EQ(dialogs.calls().size(), 1);
            if (c.message != "*") {
                EXPECT_EQ(dialogs.calls().first().prompt, c.message);
            }
            EXPECT_EQ(dialogs.calls().first().title, c.title);
            EXPECT_EQ(forms::iconOf(dialogs.calls().first().style), forms::vbInformation);
        }
    }
}

TEST_F(TableWindowSearchTest, ErrorInTheMiddleIsLoggedAndTheTableStaysUsable)
{
    open();
    grid().setCols(8);  // the chooser still offers the ninth column, as after a removed computed column
    search(8, "3", "7");
    ASSERT_EQ(logLines().size(), 1);
    EXPECT_TRUE(logLines().first().contains("cmd_ric_Click"));
    EXPECT_TRUE(grid().Redraw());
    EXPECT_FALSE(window->isSorting());
    EXPECT_EQ(forms::mousePointer(), forms::MousePointer::Default);

    search(AS013_2005, "100", "");
    EXPECT_EQ(grid().TextMatrix(1, 1), "P021");
    EXPECT_EQ(logLines().size(), 1);
}

}  // namespace
}  // namespace tabletest
