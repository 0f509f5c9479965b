// Keyed pictures for the tree view.
#include "ImageList.h"

namespace tree {

void ImageList::add(const QString &key, const QPixmap &picture)
{
    if (!m_pictures.contains(key))
        m_keys.append(key);
    m_pictures.insert(key, picture);
}

void ImageList::clear()
{
    m_pictures.clear();
    m_keys.clear();
}

}  // namespace tree
