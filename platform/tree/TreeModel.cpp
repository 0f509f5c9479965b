// Node collection: placement by relationship, unique keys, removal with descendants.
#include "TreeModel.h"

#include "vb/Error.h"

#include <algorithm>

namespace tree {

namespace {
constexpr qint32 IndexOutOfBounds = 35600;

void insertAt(std::vector<TreeNode *> &list, TreeNode *anchor, bool after, TreeNode *node)
{
    auto it = std::find(list.begin(), list.end(), anchor);
    if (after && it != list.end())
        ++it;
    list.insert(it, node);
}
}  // namespace

TreeModel::TreeModel() = default;
TreeModel::~TreeModel() = default;

TreeNode *TreeModel::add(TreeNode *relative, Relationship relationship, const QString &key,
                         const QString &text, const QString &image, const QString &selectedImage)
{
    if (relative && relative->model() != this)
        throw vb::Error::of(err::ElementNotFound, "TreeView", QString(), "Element not found");
    if (!key.isEmpty() && m_keys.contains(key))
        throw vb::Error::of(err::KeyNotUnique, "TreeView", QString(), "Key is not unique in collection");

    auto owned = std::unique_ptr<TreeNode>(new TreeNode(this, key, text, image, selectedImage));
    TreeNode *node = owned.get();
    if (!relative) {
        m_roots.push_back(node);
    } else if (relationship == tvwChild) {
        node->m_parent = relative;
        relative->m_children.push_back(node);
    } else {
        node->m_parent = relative->m_parent;
        auto &list = relative->m_parent ? relative->m_parent->m_children : m_roots;
        switch (relationship) {
        case tvwFirst: list.insert(list.begin(), node); break;
        case tvwLast: list.push_back(node); break;
        case tvwNext: insertAt(list, relative, true, node); break;
        case tvwPrevious: insertAt(list, relative, false, node); break;
        case tvwChild: break;
        }
    }
    m_order.push_back(std::move(owned));
    node->m_index = count();
    if (!key.isEmpty())
        m_keys.insert(key, node);
    if (m_observer)
        m_observer->nodeAdded(node);
    return node;
}

TreeNode *TreeModel::add(const QString &relativeKey, Relationship relationship, const QString &key,
                         const QString &text, const QString &image, const QString &selectedImage)
{
    TreeNode *relative = relativeKey.isEmpty() ? nullptr : item(relativeKey);
    return add(relative, relationship, key, text, image, selectedImage);
}

TreeNode *TreeModel::item(int position) const
{
    if (position < 1 || position > count())
        throw vb::Error::of(IndexOutOfBounds, "TreeView", QString(), "Index out of bounds");
    return m_order[static_cast<size_t>(position - 1)].get();
}

TreeNode *TreeModel::item(const QString &key) const
{
    TreeNode *node = find(key);
    if (!node)
        throw vb::Error::of(err::ElementNotFound, "TreeView", QString(), "Element not found");
    return node;
}

TreeNode *TreeModel::find(const QString &key) const
{
    return key.isEmpty() ? nullptr : m_keys.value(key, nullptr);
}

void TreeModel::collect(TreeNode *node, std::vector<TreeNode *> &out) const
{
    out.push_back(node);
    for (TreeNode *c : node->m_children)
        collect(c, out);
}

void TreeModel::remove(TreeNode *node)
{
    if (!node || node->model() != this)
        throw vb::Error::of(err::ElementNotFound, "TreeView", QString(), "Element not found");
    if (m_observer)
        m_observer->nodeAboutToBeRemoved(node);
    auto &list = node->m_parent ? node->m_parent->m_children : m_roots;
    list.erase(std::find(list.begin(), list.end(), node));

    std::vector<TreeNode *> gone;
    collect(node, gone);
    for (TreeNode *n : gone) {
        if (n == m_selected)
            m_selected = nullptr;
        if (!n->m_key.isEmpty())
            m_keys.remove(n->m_key);
    }
    std::erase_if(m_order, [&](const std::unique_ptr<TreeNode> &p) {
        return std::find(gone.begin(), gone.end(), p.get()) != gone.end();
    });
    renumber();
}

void TreeModel::remove(const QString &key)
{
    remove(item(key));
}

void TreeModel::clear()
{
    m_selected = nullptr;
    m_roots.clear();
    m_keys.clear();
    m_order.clear();
    if (m_observer)
        m_observer->cleared();
}

void TreeModel::setSelectedItem(TreeNode *node)
{
    if (node && node->model() != this)
        throw vb::Error::of(err::ElementNotFound, "TreeView", QString(), "Element not found");
    if (m_selected == node)
        return;
    m_selected = node;
    if (m_observer)
        m_observer->selectionChanged(node);
}

void TreeModel::notifyChanged(TreeNode *node)
{
    if (m_observer)
        m_observer->nodeChanged(node);
}

void TreeModel::renumber()
{
    int i = 0;
    for (auto &p : m_order)
        p->m_index = ++i;
}

}  // namespace tree
