// Node collection: placement, positions, unique keys and removal.
#include "tree/TreeModel.h"
#include "vb/Error.h"

#include <gtest/gtest.h>

using namespace tree;

namespace {
QStringList childKeys(const std::vector<TreeNode *> &nodes)
{
    QStringList out;
    for (TreeNode *n : nodes)
        out << n->key();
    return out;
}

QStringList positions(const TreeModel &m)
{
    QStringList out;
    for (int i = 1; i <= m.count(); ++i)
        out << m.item(i)->key();
    return out;
}

qint32 errorOf(const std::function<void()> &f)
{
    try {
        f();
    } catch (const vb::Error &e) {
        return e.number();
    }
    return 0;
}
}  // namespace

TEST(TreeModel, RelationshipsPlaceNodesAndPositionsFollowAddition)
{
    TreeModel m;
    m.add(nullptr, tvwChild, "B", "b");
    m.add("B", tvwChild, "B2", "b2");
    m.add("B2", tvwPrevious, "B1", "b1");
    m.add("B2", tvwNext, "B3", "b3");
    m.add("B2", tvwFirst, "B0", "b0");
    m.add("B1", tvwLast, "B9", "b9");
    m.add("B", tvwPrevious, "A", "a");  // a root before B

    EXPECT_EQ(childKeys(m.roots()), QStringList({"A", "B"}));
    EXPECT_EQ(childKeys(m.item("B")->children()), QStringList({"B0", "B1", "B2", "B3", "B9"}));
    // Positions are the order of addition, not the order in the tree.
    EXPECT_EQ(positions(m), QStringList({"B", "B2", "B1", "B3", "B0", "B9", "A"}));
    EXPECT_EQ(m.item("B3")->index(), 4);

    TreeNode *b2 = m.item("B2");
    EXPECT_EQ(b2->parent()->key(), "B");
    EXPECT_EQ(b2->previous()->key(), "B1");
    EXPECT_EQ(b2->next()->key(), "B3");
    EXPECT_EQ(m.item("B")->child()->key(), "B0");
    EXPECT_EQ(m.item("B9")->next(), nullptr);
    EXPECT_EQ(m.item("A")->parent(), nullptr);
}

TEST(TreeModel, DuplicateKeyFailsAndAddsNothing)
{
    TreeModel m;
    m.add(nullptr, tvwChild, "01", "Area", "close", "open");
    m.add("01", tvwChild, "AS013", "Var");
    try {
        m.add("01", tvwChild, "AS013", "again");
        FAIL() << "duplicate key accepted";
    } catch (const vb::Error &e) {
        EXPECT_EQ(e.number(), 35602);
        EXPECT_EQ(e.description(), QString::fromUtf8("La chiave non è univoca nell'insieme"));
    }
    EXPECT_EQ(m.count(), 2);
    EXPECT_EQ(m.item("01")->childCount(), 1);
    EXPECT_EQ(m.item("AS013")->text(), "Var");
    // Keys compare exactly: another letter case is another key, and empty keys never clash.
    EXPECT_NO_THROW(m.add("01", tvwChild, "as013", "lower"));
    EXPECT_NO_THROW(m.add("01", tvwChild, "", "x"));
    EXPECT_NO_THROW(m.add("01", tvwChild, "", "y"));
    EXPECT_EQ(m.count(), 5);
}

TEST(TreeModel, UnknownRelativesAndPositionsFail)
{
    TreeModel m, other;
    m.add(nullptr, tvwChild, "A", "a");
    TreeNode *foreign = other.add(nullptr, tvwChild, "X", "x");
    EXPECT_EQ(errorOf([&] { m.add("nope", tvwChild, "B", "b"); }), 35601);
    EXPECT_EQ(errorOf([&] { m.add(foreign, tvwChild, "B", "b"); }), 35601);
    EXPECT_EQ(errorOf([&] { m.item("nope"); }), 35601);
    EXPECT_EQ(errorOf([&] { m.item(0); }), 35600);
    EXPECT_EQ(errorOf([&] { m.item(2); }), 35600);
    EXPECT_EQ(m.find("nope"), nullptr);
    EXPECT_EQ(m.count(), 1);
}

TEST(TreeModel, RemoveTakesDescendantsAndFreesTheirKeys)
{
    TreeModel m;
    m.add(nullptr, tvwChild, "A", "a");
    m.add("A", tvwChild, "A1", "a1");
    m.add("A1", tvwChild, "A1-2005", "2005");
    m.add(nullptr, tvwChild, "B", "b");
    m.setSelectedItem(m.item("A1-2005"));

    m.remove("A1");
    EXPECT_EQ(positions(m), QStringList({"A", "B"}));
    EXPECT_EQ(m.item("B")->index(), 2);
    EXPECT_EQ(m.item("A")->childCount(), 0);
    EXPECT_EQ(m.selectedItem(), nullptr);
    EXPECT_NO_THROW(m.add("A", tvwChild, "A1-2005", "again"));

    m.clear();
    EXPECT_EQ(m.count(), 0);
    EXPECT_TRUE(m.roots().empty());
    EXPECT_NO_THROW(m.add(nullptr, tvwChild, "A", "a"));
}

TEST(TreeModel, ExpandedStateIsKeptWithOrWithoutChildren)
{
    TreeModel m;
    TreeNode *leaf = m.add(nullptr, tvwChild, "L", "leaf");
    EXPECT_FALSE(leaf->expanded());
    leaf->setExpanded(true);
    EXPECT_TRUE(leaf->expanded());
    leaf->setExpanded(false);
    EXPECT_FALSE(leaf->expanded());
}
