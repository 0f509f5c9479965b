// Pictures looked up by key, as the tree's image list holds them.
#pragma once

#include <QHash>
#include <QPixmap>
#include <QString>
#include <QStringList>

namespace tree {

// Adding a key that exists replaces its picture. An unknown key gives a null pixmap.
class ImageList {
public:
    void add(const QString &key, const QPixmap &picture);
    QPixmap picture(const QString &key) const { return m_pictures.value(key); }
    bool contains(const QString &key) const { return m_pictures.contains(key); }
    QStringList keys() const { return m_keys; }  // in the order they were added
    int count() const { return static_cast<int>(m_keys.size()); }
    void clear();

private:
    QHash<QString, QPixmap> m_pictures;
    QStringList m_keys;
};

}  // namespace tree
