// The node collection of a keyed tree: add by relative and relationship, look up by key or position.
#pragma once

#include "TreeNode.h"

#include <QHash>
#include <QString>
#include <memory>
#include <vector>

namespace tree {

// Where Add places a node with respect to its relative (the control's constants).
enum Relationship { tvwFirst = 0, tvwLast = 1, tvwNext = 2, tvwPrevious = 3, tvwChild = 4 };

// Error numbers of the tree control.
namespace err {
constexpr qint32 ElementNotFound = 35601;  // "Element not found"
constexpr qint32 KeyNotUnique = 35602;     // "Key is not unique in collection"
}

// Told about every change so a view can follow the model.
class TreeObserver {
public:
    virtual ~TreeObserver() = default;
    virtual void nodeAdded(TreeNode *node) = 0;
    virtual void nodeChanged(TreeNode *node) = 0;
    virtual void nodeAboutToBeRemoved(TreeNode *node) = 0;  // descendants are removed with it
    virtual void cleared() = 0;
    virtual void selectionChanged(TreeNode *node) = 0;  // null: nothing selected
};

// The collection keeps nodes in the order they were added: positions 1..count. Keys are unique
// among the nodes that have one (text compare, exact case); a node may have an empty key.
// Failing operations throw vb::Error with the control's numbers (see err).
class TreeModel {
public:
    TreeModel();
    ~TreeModel();
    TreeModel(const TreeModel &) = delete;
    TreeModel &operator=(const TreeModel &) = delete;

    // Adds a node. Without relative it becomes the last root. A relative that is not in this
    // model is error 35601; a key already present is error 35602 and adds nothing.
    TreeNode *add(TreeNode *relative, Relationship relationship, const QString &key,
                  const QString &text, const QString &image = QString(),
                  const QString &selectedImage = QString());
    // The same with the relative named by key ("" = none).
    TreeNode *add(const QString &relativeKey, Relationship relationship, const QString &key,
                  const QString &text, const QString &image = QString(),
                  const QString &selectedImage = QString());

    int count() const { return static_cast<int>(m_order.size()); }
    TreeNode *item(int position) const;       // 1..count, else error 35600 ("Index out of bounds")
    TreeNode *item(const QString &key) const;  // error 35601 when no node has the key
    TreeNode *find(const QString &key) const;  // null when no node has the key
    bool contains(const QString &key) const { return find(key) != nullptr; }

    void remove(TreeNode *node);  // removes the node and its descendants
    void remove(const QString &key);
    void clear();

    const std::vector<TreeNode *> &roots() const { return m_roots; }

    TreeNode *selectedItem() const { return m_selected; }
    void setSelectedItem(TreeNode *node);

    void setObserver(TreeObserver *observer) { m_observer = observer; }  // not owned; null to detach

private:
    friend class TreeNode;
    void notifyChanged(TreeNode *node);
    void collect(TreeNode *node, std::vector<TreeNode *> &out) const;
    void renumber();

    std::vector<std::unique_ptr<TreeNode>> m_order;
    std::vector<TreeNode *> m_roots;
    QHash<QString, TreeNode *> m_keys;
    TreeNode *m_selected = nullptr;
    TreeObserver *m_observer = nullptr;
};

}  // namespace tree
