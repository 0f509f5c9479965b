// Node accessors; changes are reported through the owning model.
#include "TreeNode.h"

#include "TreeModel.h"

#include <algorithm>

namespace tree {

void TreeNode::setText(const QString &text)
{
    m_text = text;
    m_model->notifyChanged(this);
}

void TreeNode::setImage(const QString &imageKey)
{
    m_image = imageKey;
    m_model->notifyChanged(this);
}

void TreeNode::setSelectedImage(const QString &imageKey)
{
    m_selectedImage = imageKey;
    m_model->notifyChanged(this);
}

void TreeNode::setExpanded(bool expanded)
{
    if (m_expanded == expanded)
        return;
    m_expanded = expanded;
    m_model->notifyChanged(this);
}

const std::vector<TreeNode *> &TreeNode::siblings() const
{
    return m_parent ? m_parent->m_children : m_model->roots();
}

TreeNode *TreeNode::next() const
{
    const auto &s = siblings();
    auto it = std::find(s.begin(), s.end(), this);
    return (it == s.end() || it + 1 == s.end()) ? nullptr : *(it + 1);
}

TreeNode *TreeNode::previous() const
{
    const auto &s = siblings();
    auto it = std::find(s.begin(), s.end(), this);
    return (it == s.end() || it == s.begin()) ? nullptr : *(it - 1);
}

}  // namespace tree
