// Keeps QTreeWidget items in step with the node model in both directions.
#include "TreeView.h"

#include <QHeaderView>
#include <QKeyEvent>
#include <QMouseEvent>

#include <algorithm>

namespace tree {

TreeView::TreeView(QWidget *parent) : QTreeWidget(parent)
{
    setColumnCount(1);
    setHeaderHidden(true);
    m_model.setObserver(this);
    connect(this, &QTreeWidget::itemExpanded, this, [this](QTreeWidgetItem *item) {
        if (TreeNode *n = nodeOf(item); n && !m_syncing)
            n->setExpanded(true);
    });
    connect(this, &QTreeWidget::itemCollapsed, this, [this](QTreeWidgetItem *item) {
        if (TreeNode *n = nodeOf(item); n && !m_syncing)
            n->setExpanded(false);
    });
    connect(this, &QTreeWidget::itemClicked, this, [this](QTreeWidgetItem *item, int) {
        if (TreeNode *n = nodeOf(item))
            clickNode(n);
    });
    connect(this, &QTreeWidget::currentItemChanged, this, [this](QTreeWidgetItem *cur, QTreeWidgetItem *) {
        if (!m_syncing)
            m_model.setSelectedItem(nodeOf(cur));
    });
}

TreeView::~TreeView()
{
    m_model.setObserver(nullptr);
}

void TreeView::setImageList(const ImageList *images)
{
    m_images = images;
    for (auto it = m_items.begin(); it != m_items.end(); ++it)
        refreshItem(const_cast<TreeNode *>(it.key()));
}

TreeNode *TreeView::nodeOf(const QTreeWidgetItem *item) const
{
    return item ? m_nodes.value(item, nullptr) : nullptr;
}

void TreeView::clickNode(TreeNode *node)
{
    m_model.setSelectedItem(node);
    emit nodeClick(node);
}

void TreeView::mousePressEvent(QMouseEvent *event)
{
    QTreeWidget::mousePressEvent(event);
    emit mouseDown(static_cast<int>(event->button()));
}

void TreeView::keyPressEvent(QKeyEvent *event)
{
    const bool plain = !(event->modifiers() & ~Qt::KeypadModifier);
    const int key = event->key();
    if (plain && (key == Qt::Key_Return || key == Qt::Key_Enter || key == Qt::Key_Space)) {
        // Taken here, so the view neither reports an activation of its own nor passes the key on.
        if (TreeNode *n = nodeOf(currentItem()))
            clickNode(n);
        event->accept();
        return;
    }
    QTreeWidget::keyPressEvent(event);
}

void TreeView::nodeAdded(TreeNode *node)
{
    m_syncing = true;
    auto *item = new QTreeWidgetItem;
    m_items.insert(node, item);
    m_nodes.insert(item, node);
    QTreeWidgetItem *parentItem = node->parent() ? itemOf(node->parent()) : invisibleRootItem();
    const auto &siblings = node->parent() ? node->parent()->children() : m_model.roots();
    const int pos = static_cast<int>(std::find(siblings.begin(), siblings.end(), node) - siblings.begin());
    parentItem->insertChild(pos, item);
    m_syncing = false;
    refreshItem(node);
}

void TreeView::nodeChanged(TreeNode *node)
{
    refreshItem(node);
}

void TreeView::refreshItem(TreeNode *node)
{
    QTreeWidgetItem *item = itemOf(node);
    if (!item)
        return;
    m_syncing = true;
    item->setText(0, node->text());
    if (m_images) {
        const bool selected = m_model.selectedItem() == node && !node->selectedImage().isEmpty();
        item->setIcon(0, QIcon(m_images->picture(selected ? node->selectedImage() : node->image())));
    }
    item->setExpanded(node->expanded());
    m_syncing = false;
}

void TreeView::forget(TreeNode *node)
{
    if (node == m_shownSelected)
        m_shownSelected = nullptr;
    for (TreeNode *c : node->children())
        forget(c);
    if (QTreeWidgetItem *item = m_items.take(node))
        m_nodes.remove(item);
}

void TreeView::nodeAboutToBeRemoved(TreeNode *node)
{
    m_syncing = true;
    QTreeWidgetItem *item = itemOf(node);
    forget(node);
    delete item;  // takes its child items along
    m_syncing = false;
}

void TreeView::cleared()
{
    m_syncing = true;
    m_shownSelected = nullptr;
    m_items.clear();
    m_nodes.clear();
    QTreeWidget::clear();
    m_syncing = false;
}

void TreeView::selectionChanged(TreeNode *node)
{
    m_syncing = true;
    setCurrentItem(itemOf(node));
    m_syncing = false;
    // The selected picture follows the selection: repaint the node left and the node chosen.
    TreeNode *previous = m_shownSelected;
    m_shownSelected = node;
    if (previous)
        refreshItem(previous);
    if (node)
        refreshItem(node);
}

}  // namespace tree
