// One node of a keyed tree: key, text, pictures, expanded state and its place among its relatives.
#pragma once

#include <QString>
#include <vector>

namespace tree {

class TreeModel;

// Nodes are owned by their TreeModel; a pointer stays valid until the node is removed or the
// model is cleared. Setters notify the model's observers.
class TreeNode {
public:
    const QString &key() const { return m_key; }  // empty: the node has no key
    const QString &text() const { return m_text; }
    void setText(const QString &text);
    const QString &image() const { return m_image; }  // key in the image list, empty for none
    void setImage(const QString &imageKey);
    const QString &selectedImage() const { return m_selectedImage; }  // shown while selected
    void setSelectedImage(const QString &imageKey);

    bool expanded() const { return m_expanded; }
    void setExpanded(bool expanded);  // allowed on a node without children, as the control does

    TreeNode *parent() const { return m_parent; }  // null for a root node
    int childCount() const { return static_cast<int>(m_children.size()); }
    TreeNode *child() const { return m_children.empty() ? nullptr : m_children.front(); }  // first
    TreeNode *childAt(int i) const { return m_children.at(static_cast<size_t>(i)); }
    const std::vector<TreeNode *> &children() const { return m_children; }
    TreeNode *next() const;      // next sibling, null after the last
    TreeNode *previous() const;  // previous sibling, null before the first
    int index() const { return m_index; }  // position in the model's collection, 1..count
    TreeModel *model() const { return m_model; }

private:
    friend class TreeModel;
    TreeNode(TreeModel *model, QString key, QString text, QString image, QString selectedImage)
        : m_model(model), m_key(std::move(key)), m_text(std::move(text)),
          m_image(std::move(image)), m_selectedImage(std::move(selectedImage)) {}
    const std::vector<TreeNode *> &siblings() const;

    TreeModel *m_model;
    QString m_key;
    QString m_text;
    QString m_image;
    QString m_selectedImage;
    bool m_expanded = false;
    TreeNode *m_parent = nullptr;
    std::vector<TreeNode *> m_children;
    int m_index = 0;
};

}  // namespace tree
