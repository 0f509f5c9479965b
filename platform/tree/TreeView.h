// QTreeWidget view that mirrors a TreeModel it owns and reports clicks with the model's nodes.
#pragma once

#include "ImageList.h"
#include "TreeModel.h"

#include <QHash>
#include <QTreeWidget>

namespace tree {

// The model is the truth: code changes nodes through nodes(), the view follows; the user's
// expanding, collapsing and selecting go back into the model. The image list is not owned.
class TreeView : public QTreeWidget, private TreeObserver {
    Q_OBJECT
public:
    explicit TreeView(QWidget *parent = nullptr);
    ~TreeView() override;

    TreeModel &nodes() { return m_model; }
    const TreeModel &nodes() const { return m_model; }
    void setImageList(const ImageList *images);
    const ImageList *imageList() const { return m_images; }

    QTreeWidgetItem *itemOf(const TreeNode *node) const { return m_items.value(node, nullptr); }
    TreeNode *nodeOf(const QTreeWidgetItem *item) const;
    // What a click on the node does (selects it and emits nodeClick); tests call it directly.
    // Return, Enter or Space on the current node does the same, once: the arrow keys only move.
    void clickNode(TreeNode *node);

signals:
    void nodeClick(tree::TreeNode *node);
    // A mouse press anywhere in the tree, with the button (Qt::MouseButton) that was pressed.
    void mouseDown(int button);

protected:
    void mousePressEvent(QMouseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;

private:
    void nodeAdded(TreeNode *node) override;
    void nodeChanged(TreeNode *node) override;
    void nodeAboutToBeRemoved(TreeNode *node) override;
    void cleared() override;
    void selectionChanged(TreeNode *node) override;
    void refreshItem(TreeNode *node);
    void forget(TreeNode *node);

    TreeModel m_model;
    const ImageList *m_images = nullptr;
    QHash<const TreeNode *, QTreeWidgetItem *> m_items;
    QHash<const QTreeWidgetItem *, TreeNode *> m_nodes;
    TreeNode *m_shownSelected = nullptr;  // the node whose item shows the selected picture
    bool m_syncing = false;  // set while the view follows the model, so its signals are not echoed
};

}  // namespace tree
