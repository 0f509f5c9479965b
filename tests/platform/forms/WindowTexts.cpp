// Collects the captions a window shows.
#include "WindowTexts.h"

#include <QAbstractButton>
#include <QAction>
#include <QGroupBox>
#include <QLabel>
#include <QMenu>
#include <QTabWidget>

namespace guitest {

QStringList windowTexts(const QWidget *window)
{
    QStringList out{window->windowTitle()};
    for (const QLabel *l : window->findChildren<QLabel *>())
        out << l->text();
    for (const QGroupBox *g : window->findChildren<QGroupBox *>())
        out << g->title();
    for (const QAbstractButton *b : window->findChildren<QAbstractButton *>())
        out << b->text();
    for (const QTabWidget *t : window->findChildren<QTabWidget *>()) {
        for (int i = 0; i < t->count(); ++i)
            out << t->tabText(i);
    }
    for (const QMenu *m : window->findChildren<QMenu *>()) {
        for (const QAction *a : m->actions())
            out << a->text();
    }
    out.removeAll(QString());
    return out;
}

}  // namespace guitest
