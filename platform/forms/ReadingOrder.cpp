// Tab order by position on the window rather than by the order the controls were made in.
#include "ReadingOrder.h"

#include <QAbstractItemView>
#include <QAbstractSpinBox>
#include <QComboBox>
#include <QLayout>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTabBar>
#include <QTextEdit>
#include <QWidget>

#include <algorithm>

namespace forms {

namespace {

// Controls whose children are their own inner parts, not fields.
bool compound(const QWidget *w)
{
    return qobject_cast<const QComboBox *>(w) || qobject_cast<const QAbstractSpinBox *>(w)
        || qobject_cast<const QAbstractItemView *>(w) || qobject_cast<const QTextEdit *>(w)
        || qobject_cast<const QPlainTextEdit *>(w) || qobject_cast<const QTabBar *>(w);
}

bool isField(const QWidget *w)
{
    return (w->focusPolicy() & Qt::TabFocus) && !w->focusProxy();
}

QList<QWidget *> inReadingOrder(QList<QWidget *> children)
{
    std::stable_sort(children.begin(), children.end(),
                     [](const QWidget *a, const QWidget *b) { return a->y() < b->y(); });
    QList<QWidget *> out;
    for (qsizetype i = 0; i < children.size();) {
        const QRect first = children[i]->geometry();
        const int rowMiddle = first.top() + first.height() / 2;
        qsizetype end = i + 1;
        while (end < children.size() && children[end]->y() < rowMiddle)
            ++end;
        QList<QWidget *> row = children.mid(i, end - i);
        std::stable_sort(row.begin(), row.end(), [](const QWidget *a, const QWidget *b) { return a->x() < b->x(); });
        out << row;
        i = end;
    }
    return out;
}

void collect(QWidget *container, QList<QWidget *> &out)
{
    QList<QWidget *> children;
    for (QObject *o : container->children())
        if (o->isWidgetType() && !static_cast<QWidget *>(o)->isWindow())
            children << static_cast<QWidget *>(o);
    for (QWidget *child : inReadingOrder(children)) {
        if (isField(child))
            out << child;
        if (!compound(child))
            collect(child, out);
    }
}

}  // namespace

QList<QWidget *> readingOrder(QWidget *window)
{
    for (QLayout *l : window->findChildren<QLayout *>())
        l->activate();
    QList<QWidget *> out;
    collect(window, out);
    return out;
}

QList<QWidget *> setReadingTabOrder(QWidget *window)
{
    const QList<QWidget *> order = readingOrder(window);
    for (qsizetype i = 0; i + 1 < order.size(); ++i)
        QWidget::setTabOrder(order[i], order[i + 1]);
    return order;
}

QWidget *firstTypedField(const QList<QWidget *> &order)
{
    for (QWidget *w : order) {
        if (!w->isEnabled() || !w->isVisibleTo(w->window()))
            continue;
        const auto *line = qobject_cast<const QLineEdit *>(w);
        const auto *text = qobject_cast<const QTextEdit *>(w);
        const auto *plain = qobject_cast<const QPlainTextEdit *>(w);
        if ((line && !line->isReadOnly()) || (text && !text->isReadOnly()) || (plain && !plain->isReadOnly())
            || qobject_cast<const QComboBox *>(w) || qobject_cast<const QAbstractSpinBox *>(w)
            || qobject_cast<const QAbstractItemView *>(w))
            return w;
    }
    return nullptr;
}

}  // namespace forms
