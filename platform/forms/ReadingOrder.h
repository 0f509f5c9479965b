// The order in which a window's fields are read: top to bottom, then left to right.
#pragma once

#include <QList>

class QWidget;

namespace forms {

// The fields of a window that Tab visits, in reading order: within each container its children go
// row by row (a child whose top lies above the middle of the row's first child shares that row),
// left to right in a row, and a container's own fields come where the container stands. Parts of
// a compound control (a combo box's editor, a list's viewport, a tab bar's scroll buttons) are not fields of their own. The
// window's layouts are brought up to date first, so hidden tab pages are ordered as they will show.
QList<QWidget *> readingOrder(QWidget *window);

// Makes Tab follow readingOrder(window) and returns that order.
QList<QWidget *> setReadingTabOrder(QWidget *window);

// The first field a user types into (a text box, list, combo or spin box that is enabled and
// shown), in reading order; null when there is none.
QWidget *firstTypedField(const QList<QWidget *> &order);

}  // namespace forms
