// The view follows the model (items, pictures, expansion) and reports clicks, keys and user expansion.
#include "tree/TreeView.h"

#include <QSignalSpy>
#include <QTest>
#include <gtest/gtest.h>

using namespace tree;

namespace {
QPixmap filled(Qt::GlobalColor c)
{
    QPixmap p(8, 8);
    p.fill(c);
    return p;
}

QRgb iconColour(const QTreeWidgetItem *item)
{
    return item->icon(0).pixmap(8, 8).toImage().pixel(4, 4);
}
}  // namespace

TEST(TreeView, MirrorsModelChangesInPlace)
{
    TreeView view;
    TreeModel &m = view.nodes();
    m.add(nullptr, tvwChild, "B", "b");
    m.add("B", tvwFirst, "A", "a");  // first among the roots
    m.add("A", tvwChild, "A2", "a2");
    m.add("A2", tvwPrevious, "A1", "a1");

    ASSERT_EQ(view.topLevelItemCount(), 2);
    EXPECT_EQ(view.topLevelItem(0)->text(0), "a");
    EXPECT_EQ(view.topLevelItem(1)->text(0), "b");
    QTreeWidgetItem *a = view.topLevelItem(0);
    ASSERT_EQ(a->childCount(), 2);
    EXPECT_EQ(a->child(0)->text(0), "a1");
    EXPECT_EQ(view.nodeOf(a->child(1)), m.item("A2"));

    m.item("A")->setExpanded(true);
    EXPECT_TRUE(a->isExpanded());
    m.item("A1")->setText("renamed");
    EXPECT_EQ(a->child(0)->text(0), "renamed");

    m.remove("A");
    EXPECT_EQ(view.topLevelItemCount(), 1);
    EXPECT_EQ(view.itemOf(m.item("B"))->text(0), "b");
    m.clear();
    EXPECT_EQ(view.topLevelItemCount(), 0);
}

TEST(TreeView, UserExpansionAndClicksReachTheModel)
{
    TreeView view;
    TreeModel &m = view.nodes();
    TreeNode *area = m.add(nullptr, tvwChild, "01", "Area");
    TreeNode *code = m.add("01", tvwChild, "AS013", "Var");
    QSignalSpy clicks(&view, &TreeView::nodeClick);

    view.expandItem(view.itemOf(area));
    EXPECT_TRUE(area->expanded());
    view.collapseItem(view.itemOf(area));
    EXPECT_FALSE(area->expanded());

    view.clickNode(code);
    ASSERT_EQ(clicks.count(), 1);
    EXPECT_EQ(clicks.at(0).at(0).value<TreeNode *>(), code);
    EXPECT_EQ(m.selectedItem(), code);
    EXPECT_EQ(view.currentItem(), view.itemOf(code));
}

TEST(TreeView, SelectedNodeShowsItsSelectedPicture)
{
    ImageList images;
    images.add("close", filled(Qt::red));
    images.add("open", filled(Qt::green));
    TreeView view;
    view.setImageList(&images);
    TreeModel &m = view.nodes();
    TreeNode *a = m.add(nullptr, tvwChild, "A", "a", "close", "open");
    TreeNode *b = m.add(nullptr, tvwChild, "B", "b", "close", "open");

    EXPECT_EQ(iconColour(view.itemOf(a)), QColor(Qt::red).rgb());
    m.setSelectedItem(a);
    EXPECT_EQ(iconColour(view.itemOf(a)), QColor(Qt::green).rgb());
    m.setSelectedItem(b);
    EXPECT_EQ(iconColour(view.itemOf(a)), QColor(Qt::red).rgb());
    EXPECT_EQ(iconColour(view.itemOf(b)), QColor(Qt::green).rgb());
}

TEST(TreeView, ReturnOrSpaceOnTheNodeMovedToByArrowsClicksItOnce)
{
    TreeView view;
    TreeModel &m = view.nodes();
    TreeNode *area = m.add(nullptr, tvwChild, "01", "Area");
    TreeNode *code = m.add("01", tvwChild, "AS013", "Var");
    TreeNode *year = m.add("AS013", tvwChild, "AS013-2005", "2005");
    m.add(nullptr, tvwChild, "02", "Altra area");
    view.show();
    QSignalSpy clicks(&view, &TreeView::nodeClick);

    view.setCurrentItem(view.itemOf(area));
    QTest::keyClick(&view, Qt::Key_Right);  // unfolds, as the user's own expanding does
    EXPECT_TRUE(area->expanded());
    QTest::keyClick(&view, Qt::Key_Down);
    EXPECT_EQ(m.selectedItem(), code);  // the arrows select ...
    EXPECT_EQ(clicks.count(), 0);       // ... without a click

    struct Case {
        Qt::Key key;
        Qt::KeyboardModifiers modifiers;
    };
    for (const Case &c : {Case{Qt::Key_Return, {}}, Case{Qt::Key_Enter, Qt::KeypadModifier}, Case{Qt::Key_Space, {}}}) {
        SCOPED_TRACE(c.key);
        clicks.clear();
        QTest::keyClick(&view, c.key, c.modifiers);
        ASSERT_EQ(clicks.count(), 1);
        EXPECT_EQ(clicks.at(0).at(0).value<TreeNode *>(), code);
    }

    // a node that the click handler fills is reached by the next arrow and confirmed the same way
    view.expandItem(view.itemOf(code));
    QTest::keyClick(&view, Qt::Key_Down);
    clicks.clear();
    QTest::keyClick(&view, Qt::Key_Return);
    ASSERT_EQ(clicks.count(), 1);
    EXPECT_EQ(clicks.at(0).at(0).value<TreeNode *>(), year);
    EXPECT_EQ(m.selectedItem(), year);
}

TEST(TreeView, ReturnWithoutACurrentNodeClicksNothing)
{
    TreeView view;
    view.show();
    QSignalSpy clicks(&view, &TreeView::nodeClick);
    QTest::keyClick(&view, Qt::Key_Return);
    EXPECT_EQ(clicks.count(), 0);
}
