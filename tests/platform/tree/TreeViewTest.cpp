// The view follows the model (items, pictures, expansion) and reports clicks and user expansion.
#include "tree/TreeView.h"

#include <QSignalSpy>
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
