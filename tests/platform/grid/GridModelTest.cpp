// The flex grid model without a screen: selection rules, generic sort, row moves, redraw, binding.
#include "grid/FlexGridModel.h"

#include "jet/Connection.h"
#include "jet/Database.h"
#include "jet/Recordset.h"
#include "vb/Conversions.h"
#include "vb/Error.h"

#include <QSignalSpy>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using grid::FlexGridModel;

namespace {

// A grid with a header row and the given data rows (cells separated by "|").
void fill(FlexGridModel &g, const QStringList &header, const QStringList &rows)
{
    g.setCols(static_cast<int>(header.size()));
    g.setRows(static_cast<int>(rows.size()) + 1);
    for (int c = 0; c < header.size(); ++c)
        g.setTextMatrix(0, c, header[c]);
    for (int r = 0; r < rows.size(); ++r) {
        const QStringList cells = rows[r].split('|');
        for (int c = 0; c < cells.size(); ++c)
            g.setTextMatrix(r + 1, c, cells[c]);
    }
}

QStringList column(const FlexGridModel &g, int c)
{
    QStringList out;
    for (int r = 0; r < g.Rows(); ++r)
        out << g.TextMatrix(r, c);
    return out;
}

class GridModelTest : public ::testing::Test {
protected:
    void SetUp() override { vb::setUserLocale(QLocale(QLocale::Italian, QLocale::Italy)); }
    void TearDown() override { vb::resetUserLocale(); }
    FlexGridModel g;
};

TEST_F(GridModelTest, SettingRowOrColFromCodeMakesThatCellTheWholeSelection)
{
    fill(g, {"a", "b", "c"}, {"1|2|3", "4|5|6", "7|8|9"});
    g.setRow(1);
    g.setCol(0);
    g.setRowSel(3);
    g.setColSel(2);
    EXPECT_EQ(g.RowSel(), 3);
    g.setCol(1);
    EXPECT_EQ(g.Row(), 1);
    EXPECT_EQ(g.Col(), 1);
    EXPECT_EQ(g.RowSel(), 1);
    EXPECT_EQ(g.ColSel(), 1);
    g.setColSel(2);
    g.setRowSel(2);
    g.setRow(3);
    EXPECT_EQ(g.RowSel(), 3);
    EXPECT_EQ(g.ColSel(), 1);
    EXPECT_EQ(g.Text(), "8");
}

TEST_F(GridModelTest, IndexOutsideTheGridIsError381)
{
    fill(g, {"a"}, {"1"});
    for (auto bad : std::vector<std::function<void()>>{
             [&] { g.TextMatrix(2, 0); }, [&] { g.setTextMatrix(0, 1, "x"); }, [&] { g.setRow(-1); },
             [&] { g.setCol(1); }, [&] { g.setRowPosition(1, 5); }}) {
        try {
            bad();
            ADD_FAILURE() << "no error";
        } catch (const vb::Error &e) {
            EXPECT_EQ(e.number(), 381);
        }
    }
}

TEST_F(GridModelTest, GenericSortComparesNumbersAsNumbersAndTextAsText)
{
    struct Case {
        int order;
        QStringList cells;
        QStringList expected;
    };
    const std::vector<Case> cases = {
        // numbers in the Italian locale: "9,5" is below "10,25" although it is greater as text
        {1, {"10,25", "9,5", "100,00", "-2,00"}, {"-2,00", "9,5", "10,25", "100,00"}},
        {2, {"10,25", "9,5", "100,00", "-2,00"}, {"100,00", "10,25", "9,5", "-2,00"}},
        // text ignores letter case
        {1, {"roma", "Aosta", "Cuneo", "bolzano"}, {"Aosta", "bolzano", "Cuneo", "roma"}},
        // an empty cell is not a number: compared as text it comes first
        {1, {"3,00", "", "12,00"}, {"", "3,00", "12,00"}},
    };
    for (const Case &c : cases) {
        fill(g, {"h"}, c.cells);
        g.setCol(0);
        g.setSort(c.order);
        EXPECT_EQ(column(g, 0), QStringList{"h"} + c.expected) << c.cells.join(' ').toStdString();
    }
}

TEST_F(GridModelTest, SortIsStableMovesWholeRowsAndKeepsTheHeader)
{
    fill(g, {"key", "id"}, {"2|a", "1|b", "2|c", "1|d", "2|e"});
    g.setCellBackColor(1, 1, 0x0000FF);
    g.setCol(0);
    g.setSort(grid::flexSortGenericAscending);
    EXPECT_EQ(column(g, 1), (QStringList{"id", "b", "d", "a", "c", "e"}));
    EXPECT_EQ(g.cellBackColor(3, 1), 0x0000FFu);  // the colour travels with its row
    g.setSort(grid::flexSortGenericDescending);
    EXPECT_EQ(column(g, 1), (QStringList{"id", "a", "c", "e", "b", "d"}));
    EXPECT_EQ(g.TextMatrix(0, 0), "key");
}

TEST_F(GridModelTest, SortKeysRunFromColToColSel)
{
    fill(g, {"x", "y", "z"}, {"b|2|1", "a|2|2", "c|1|3"});
    g.setCol(1);
    g.setColSel(0);  // keys x then y, left to right whichever end is current
    g.setSort(grid::flexSortGenericAscending);
    EXPECT_EQ(column(g, 2), (QStringList{"z", "2", "1", "3"}));
    g.setColSel(2);  // keys y then z
    g.setSort(grid::flexSortGenericAscending);
    EXPECT_EQ(column(g, 0), (QStringList{"x", "c", "b", "a"}));
}

TEST_F(GridModelTest, RowPositionTakesARowOutAndInsertsItThere)
{
    fill(g, {"h"}, {"a", "b", "c", "d"});
    g.setRowPosition(4, 1);
    EXPECT_EQ(column(g, 0), (QStringList{"h", "d", "a", "b", "c"}));
    g.setRowPosition(1, 3);
    EXPECT_EQ(column(g, 0), (QStringList{"h", "a", "b", "d", "c"}));
}

TEST_F(GridModelTest, SuspendedRedrawAnnouncesChangesOnceWhenResumed)
{
    fill(g, {"h", "k"}, {"1|2", "3|4"});
    QSignalSpy changed(&g, &QAbstractItemModel::dataChanged);
    g.setRedraw(false);
    for (int r = 1; r < 3; ++r)
        for (int c = 0; c < 2; ++c)
            g.setCellBackColor(r, c, 0x00C0C0C0);
    g.setCol(0);
    g.setSort(grid::flexSortGenericDescending);
    EXPECT_EQ(changed.count(), 0);
    g.setRedraw(true);
    EXPECT_EQ(changed.count(), 1);
    EXPECT_EQ(g.data(g.index(2, 1), Qt::DisplayRole).toString(), "2");
    EXPECT_EQ(g.data(g.index(2, 1), Qt::BackgroundRole).value<QColor>(), QColor(0xC0, 0xC0, 0xC0));
}

// A row taken and put back whole reads as cell by cell; a change to either side leaves the other.
TEST_F(GridModelTest, WholeRowsReadAndWriteAsTheirCells)
{
    fill(g, {"h", "k", "l"}, {"1|2|3", "4|5|6"});
    QVector<QString> row = g.rowTexts(1);
    EXPECT_EQ(row, QVector<QString>({"1", "2", "3"}));
    g.setTextMatrix(1, 0, "9");
    EXPECT_EQ(row[0], "1");

    QSignalSpy changed(&g, &QAbstractItemModel::dataChanged);
    g.setRowTexts(2, {"a", "b"});  // short: the rest is empty
    EXPECT_EQ(changed.count(), 1);
    EXPECT_EQ(g.TextMatrix(2, 0), "a");
    EXPECT_EQ(g.TextMatrix(2, 1), "b");
    EXPECT_EQ(g.TextMatrix(2, 2), "");
    g.setRowTexts(2, {"x", "y", "z", "beyond"});  // long: cut at the columns
    EXPECT_EQ(g.rowTexts(2).size(), 3);
    EXPECT_EQ(g.TextMatrix(2, 2), "z");
    row[1] = "changed";
    g.setRowTexts(1, row);
    row[2] = "later";
    EXPECT_EQ(g.TextMatrix(1, 1), "changed");
    EXPECT_EQ(g.TextMatrix(1, 2), "3");
    EXPECT_EQ(g.data(g.index(1, 1), Qt::DisplayRole).toString(), "changed");

    EXPECT_EQ(changed.count(), 3);
    g.setRedraw(false);
    g.setRowTexts(1, {"p", "q", "r"});
    EXPECT_EQ(changed.count(), 3);
    g.setRedraw(true);
    EXPECT_EQ(changed.count(), 4);
    EXPECT_THROW(g.rowTexts(3), vb::Error);
    EXPECT_THROW(g.setRowTexts(-1, {}), vb::Error);
}

TEST_F(GridModelTest, HeaderRowIsTheViewHeaderAndAlignmentFollowsTheColumn)
{
    fill(g, {"COD_TERR", "AS013_2005"}, {"P001|12,50"});
    EXPECT_EQ(g.headerData(1, Qt::Horizontal).toString(), "AS013_2005");
    EXPECT_EQ(g.data(g.index(1, 1), Qt::TextAlignmentRole).value<Qt::Alignment>(), Qt::AlignRight | Qt::AlignVCenter);
    g.setColAlignment(1, grid::flexAlignCenterCenter);
    EXPECT_EQ(g.data(g.index(1, 1), Qt::TextAlignmentRole).value<Qt::Alignment>(), Qt::AlignCenter);
    g.setColWidth(0, 0);
    EXPECT_EQ(g.ColWidth(0), 0);
}

TEST_F(GridModelTest, BindingCopiesEveryRowWithNullAsEmptyText)
{
    QTemporaryDir dir;
    const QString path = dir.path() + "/Dati.mdb";
    {
        jet::Database db = jet::Database::create(path, "pw");
        db.execute("CREATE TABLE t (COD_TERR TEXT(10), v DOUBLE, n INTEGER)");
        db.execute("INSERT INTO t VALUES ('P001', 12.5, 1)");
        db.execute("INSERT INTO t VALUES ('P004', NULL, 6)");
    }
    jet::Connection cn;
    cn.open("Driver={Microsoft Access Driver (*.mdb)};Pwd=pw;Dbq= " + path);
    jet::Recordset rs;
    rs.open("SELECT COD_TERR, Format(v, '0.00') as AS013_2005, n FROM t order by COD_TERR", cn,
            jet::CursorType::Static, jet::LockType::ReadOnly);
    g.setDataSource(rs);
    rs.close();
    ASSERT_EQ(g.Rows(), 3);
    ASSERT_EQ(g.Cols(), 3);
    EXPECT_EQ(column(g, 1), (QStringList{"AS013_2005", "12,50", ""}));
    EXPECT_EQ(column(g, 2), (QStringList{"n", "1", "6"}));
    EXPECT_EQ(g.FixedRows(), 1);
}

}  // namespace
