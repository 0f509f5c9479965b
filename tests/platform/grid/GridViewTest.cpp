// The flex grid view offscreen: the header row, hidden columns, the user's clicks back into the model, and
// what assistive technology reads of it.
#include "grid/FlexGrid.h"

#include <QApplication>
#include <QAccessible>
#include <QAccessibleTableInterface>
#include <QHeaderView>
#include <QMouseEvent>
#include <QPushButton>
#include <QSignalSpy>
#include <QTableView>
#include <QTest>
#include <gtest/gtest.h>

namespace {

void fill(grid::FlexGridModel &g)
{
    g.setCols(3);
    g.setRows(4);
    const QStringList header = {"TipoTerritorio", "Territorio", "AS013_2005"};
    for (int c = 0; c < 3; ++c)
        g.setTextMatrix(0, c, header[c]);
    for (int r = 1; r < 4; ++r)
        for (int c = 0; c < 3; ++c)
            g.setTextMatrix(r, c, QString("%1-%2").arg(r).arg(c));
}

TEST(GridViewTest, FixedRowIsTheColumnHeaderAndWidthZeroHidesAColumn)
{
    grid::FlexGrid view;
    fill(view.grid());
    view.grid().setColWidth(0, 0);
    view.grid().setColWidth(2, 1500);
    view.resize(600, 300);
    view.show();
    EXPECT_TRUE(view.isRowHidden(0));
    EXPECT_TRUE(view.isColumnHidden(0));
    EXPECT_EQ(view.columnWidth(2), 100);
    EXPECT_EQ(view.model()->headerData(2, Qt::Horizontal).toString(), "AS013_2005");

    // widths set while drawing is suspended reach the view when it resumes
    view.grid().setRedraw(false);
    view.grid().setColWidth(1, 3000);
    view.grid().setColWidth(0, 450);
    view.grid().setRedraw(true);
    EXPECT_EQ(view.columnWidth(1), 200);
    EXPECT_FALSE(view.isColumnHidden(0));
    EXPECT_EQ(view.columnWidth(0), 30);
}

// The header keeps its measured height between relayouts; it is measured again, as a plain
// table view measures it, when the header texts or the font change.
TEST(GridViewTest, HeaderHeightFollowsItsTextsAndFont)
{
    grid::FlexGrid view;
    QTableView plain;
    plain.setModel(&view.grid());
    view.resize(600, 300);
    view.show();
    const auto same = [&](const char *step) {
        EXPECT_EQ(view.horizontalHeader()->sizeHint(), plain.horizontalHeader()->sizeHint()) << step;
        EXPECT_GT(view.horizontalHeader()->sizeHint().height(), 0) << step;
    };
    fill(view.grid());
    same("filled");
    view.grid().setTextMatrix(0, 1, "Due\nrighe");
    same("a header of two lines");
    view.grid().setColWidth(2, 3000);
    same("a column widened");
    QFont big = view.font();
    big.setPointSize(big.pointSize() * 3);
    view.setFont(big);
    plain.setFont(big);
    same("a larger font");
    EXPECT_GT(view.horizontalHeader()->sizeHint().height(), 3 * QFontMetrics(QFont()).height());
}

// A top row set while drawing is suspended is scrolled to when drawing resumes.
TEST(GridViewTest, TopRowSetWhileRedrawIsSuspendedIsShownWhenItResumes)
{
    grid::FlexGrid view;
    grid::FlexGridModel &g = view.grid();
    g.setCols(2);
    g.setRows(500);
    for (int r = 0; r < 500; ++r)
        g.setTextMatrix(r, 0, QString::number(r));
    view.resize(300, 200);
    view.show();
    QApplication::processEvents();
    g.setRedraw(false);
    g.setTopRow(300);
    g.setRedraw(true);
    QApplication::processEvents();
    EXPECT_EQ(view.rowAt(0), 300);
}

TEST(GridViewTest, UserClicksMoveTheModelSelectionAndCodeMovesTheView)
{
    grid::FlexGrid view;
    fill(view.grid());
    view.resize(600, 300);
    view.show();
    QSignalSpy clicks(&view, &grid::FlexGrid::Click);
    QSignalSpy enters(&view, &grid::FlexGrid::EnterCell);
    const QRect cell = view.visualRect(view.grid().index(2, 1));
    QTest::mouseClick(view.viewport(), Qt::LeftButton, {}, cell.center());
    EXPECT_EQ(view.grid().Row(), 2);
    EXPECT_EQ(view.grid().ColSel(), 1);
    EXPECT_EQ(clicks.count(), 1);
    EXPECT_EQ(enters.count(), 1);

    // a header click selects the whole column
    view.horizontalHeader()->sectionClicked(2);
    EXPECT_EQ(view.grid().Row(), 1);
    EXPECT_EQ(view.grid().RowSel(), 3);
    EXPECT_EQ(view.grid().ColSel(), 2);

    view.grid().setRow(3);
    view.grid().setCol(0);
    EXPECT_EQ(view.currentIndex(), view.grid().index(3, 0));
    EXPECT_EQ(view.selectionModel()->selectedIndexes().size(), 1);

    // EnterCell of a click into another column already sees that column as the selected one
    QList<int> colSelOnEnter;
    QObject::connect(&view, &grid::FlexGrid::EnterCell, [&] { colSelOnEnter << view.grid().ColSel(); });
    QTest::mouseClick(view.viewport(), Qt::LeftButton, {}, view.visualRect(view.grid().index(1, 2)).center());
    EXPECT_EQ(colSelOnEnter, QList<int>{2});
    EXPECT_EQ(view.grid().RowSel(), 1);
}

TEST(GridViewTest, DragAndShiftSelectionKeepRowColAtTheStartAndRowSelColSelAtTheMovingEnd)
{
    struct Case { const char *name; QPoint from, to; bool keys; };
    const Case cases[] = {
        {"drag right and down", {1, 1}, {3, 2}, false},
        {"drag left and up", {3, 2}, {1, 1}, false},
        {"Shift+arrows right and down", {1, 1}, {3, 2}, true},
        {"Shift+arrows left and up", {3, 2}, {1, 1}, true},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        grid::FlexGrid view;
        fill(view.grid());
        view.resize(600, 300);
        view.show();
        const auto centre = [&](QPoint rc) { return view.visualRect(view.grid().index(rc.x(), rc.y())).center(); };
        QList<int> colSelOnEnter;
        QObject::connect(&view, &grid::FlexGrid::EnterCell, [&] { colSelOnEnter << view.grid().ColSel(); });
        QTest::mouseClick(view.viewport(), Qt::LeftButton, {}, centre(c.from));
        if (c.keys) {
            const int dr = c.to.x() - c.from.x(), dc = c.to.y() - c.from.y();
            for (int i = 0; i < std::abs(dr); ++i)
                QTest::keyClick(&view, dr > 0 ? Qt::Key_Down : Qt::Key_Up, Qt::ShiftModifier);
            for (int i = 0; i < std::abs(dc); ++i)
                QTest::keyClick(&view, dc > 0 ? Qt::Key_Right : Qt::Key_Left, Qt::ShiftModifier);
        } else {
            QTest::mousePress(view.viewport(), Qt::LeftButton, {}, centre(c.from));
            QMouseEvent move(QEvent::MouseMove, centre(c.to), view.viewport()->mapToGlobal(centre(c.to)),
                             Qt::NoButton, Qt::LeftButton, Qt::NoModifier);
            QApplication::sendEvent(view.viewport(), &move);
            QTest::mouseRelease(view.viewport(), Qt::LeftButton, {}, centre(c.to));
        }
        const grid::FlexGridModel &g = view.grid();
        EXPECT_EQ(QPoint(g.Row(), g.Col()), c.from);
        EXPECT_EQ(QPoint(g.RowSel(), g.ColSel()), c.to);
        ASSERT_FALSE(colSelOnEnter.isEmpty());
        EXPECT_EQ(colSelOnEnter.last(), c.to.y());  // what follows the cell reads the moving end
        EXPECT_EQ(view.selectionModel()->selectedIndexes().size(), 6);
    }
}

// The model's persistent indexes, which a cell interface must not add to.
struct PersistentPeek : QAbstractItemModel {
    using QAbstractItemModel::persistentIndexList;
};
qsizetype persistentIndexes(const QAbstractItemModel &m)
{
    return (m.*(&PersistentPeek::persistentIndexList))().size();
}

TEST(GridViewTest, CellsAreReadFromTheModelThroughTheAccessibleTable)
{
    auto *view = new grid::FlexGrid;
    fill(view->grid());
    view->resize(600, 300);
    view->show();
    QAccessibleInterface *table = QAccessible::queryAccessibleInterface(view);
    ASSERT_NE(table, nullptr);
    EXPECT_EQ(table->role(), QAccessible::Table);
    QAccessibleTableInterface *cells = table->tableInterface();
    ASSERT_NE(cells, nullptr);
    EXPECT_EQ(cells->rowCount(), 4);
    EXPECT_EQ(cells->columnCount(), 3);
    EXPECT_EQ(cells->columnDescription(2), "AS013_2005");

    const qsizetype before = persistentIndexes(view->grid());
    for (int r = 0; r < 4; ++r)
        for (int c = 0; c < 3; ++c) {
            QAccessibleInterface *cell = cells->cellAt(r, c);
            ASSERT_NE(cell, nullptr);
            EXPECT_EQ(cell->text(QAccessible::Name), view->grid().TextMatrix(r, c));
            EXPECT_EQ(cell->role(), QAccessible::Cell);
            QAccessibleTableCellInterface *pos = cell->tableCellInterface();
            ASSERT_NE(pos, nullptr);
            EXPECT_EQ(pos->rowIndex(), r);
            EXPECT_EQ(pos->columnIndex(), c);
            EXPECT_EQ(table->indexOfChild(cell), (r + 1) * 4 + c + 1);
            EXPECT_EQ(table->child(table->indexOfChild(cell)), cell);  // one interface per cell
        }
    EXPECT_EQ(persistentIndexes(view->grid()), before);  // reading cells holds no index of the model
    EXPECT_EQ(cells->cellAt(4, 0), nullptr);

    // a cell read once follows the model: new text, the current cell, the column header
    QAccessibleInterface *cell = cells->cellAt(2, 1);
    view->grid().setTextMatrix(2, 1, "nuovo");
    EXPECT_EQ(cell->text(QAccessible::Name), "nuovo");
    view->grid().setRow(2);
    view->grid().setCol(1);
    EXPECT_EQ(table->focusChild(), cell);
    EXPECT_TRUE(cell->tableCellInterface()->isSelected());
    const auto headers = cell->tableCellInterface()->columnHeaderCells();
    ASSERT_EQ(headers.size(), 1);
    EXPECT_EQ(headers[0]->text(QAccessible::Name), "Territorio");

    // a cell beyond a grid that shrank reads nothing; the view closes with its interfaces
    QAccessibleInterface *gone = cells->cellAt(3, 2);
    view->grid().setRows(2);
    EXPECT_FALSE(gone->isValid());
    EXPECT_EQ(gone->text(QAccessible::Name), "");
    EXPECT_EQ(cells->rowCount(), 2);
    EXPECT_EQ(cells->cellAt(3, 2), nullptr);
    const QAccessible::Id kept = QAccessible::uniqueId(cells->cellAt(1, 1));
    delete view;
    EXPECT_EQ(QAccessible::accessibleInterface(kept), nullptr);
}

// What a painted cell shows: its own colour or the selection's, its text, and a text too long
// for its column kept within the cell.
TEST(GridViewTest, CellsPaintTheirColourSelectionAndTextWithinTheirBounds)
{
    grid::FlexGrid view;
    grid::FlexGridModel &g = view.grid();
    fill(g);
    g.setTextMatrix(2, 1, QString(200, u'W'));
    g.setTextMatrix(2, 2, QString());
    g.setColWidth(1, 900);
    g.setCellBackColor(3, 2, 0x0000FF);  // red, as the runtime writes colours
    g.setRow(1);
    g.setCol(2);
    view.resize(600, 300);
    view.show();
    QApplication::processEvents();
    const QImage image = view.viewport()->grab().toImage();
    const auto rectOf = [&](int row, int col) { return view.visualRect(g.index(row, col)); };
    const auto inked = [&](const QRect &r) {  // pixels far from the cell's own background
        const QColor back = image.pixelColor(r.left() + 1, r.top() + 1);
        int n = 0;
        for (int y = r.top() + 1; y < r.bottom(); ++y)
            for (int x = r.left() + 1; x < r.right(); ++x)
                n += qAbs(image.pixelColor(x, y).lightness() - back.lightness()) > 60;
        return n;
    };
    EXPECT_EQ(image.pixelColor(rectOf(3, 2).topLeft() + QPoint(1, 1)), QColor(255, 0, 0));
    // The style's selection blue, as the styled delegate paints it (off the focus frame).
    EXPECT_EQ(image.pixelColor(rectOf(1, 2).topRight() + QPoint(-3, 3)), QColor(0x31, 0x90, 0xcb));
    EXPECT_GT(inked(rectOf(1, 0)), 0);  // "1-0"
    EXPECT_GT(inked(rectOf(2, 1)), 0);
    EXPECT_EQ(inked(rectOf(2, 2)), 0);  // nothing of the long text beside it
    // It ends in an ellipsis, whose dots leave the upper half of the cell's end blank.
    const QRect end = rectOf(2, 1);
    EXPECT_EQ(inked(QRect(QPoint(end.right() - 9, end.top()), QPoint(end.right() - 2, end.center().y() - 1))), 0);
}

TEST(GridViewTest, TabLeavesTheGridAndArrowsMoveTheCell)
{
    QWidget window;
    auto *view = new grid::FlexGrid(&window);
    auto *next = new QPushButton("Crea cartogramma", &window);
    next->move(0, 320);
    fill(view->grid());
    view->resize(600, 300);
    window.show();
    window.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
    view->setFocus();
    view->grid().setRow(1);
    view->grid().setCol(1);
    QTest::keyClick(view, Qt::Key_Right);
    EXPECT_EQ(view->grid().ColSel(), 2);
    QTest::keyClick(view, Qt::Key_Tab);
    EXPECT_EQ(QApplication::focusWidget(), next);
    EXPECT_EQ(QPoint(view->grid().RowSel(), view->grid().ColSel()), QPoint(1, 2));  // the cell stays
}

}  // namespace
