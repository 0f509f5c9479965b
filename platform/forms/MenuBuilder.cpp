// Run-time menus: separators, grayed and checked entries, nested popups on QMenuBar/QMenu.
#include "MenuBuilder.h"

#include <QAction>
#include <QKeySequence>
#include <QMenu>
#include <QMenuBar>
#include <QSet>
#include <QShortcut>

namespace forms {

namespace {
constexpr MenuHandle BarHandle = 0x7FFF0000;  // outside the range popups use
}

MenuBuilder::MenuBuilder(QMenuBar *bar, QObject *parent) : QObject(parent), m_bar(bar)
{
    if (m_bar) {
        auto *f10 = new QShortcut(QKeySequence(Qt::Key_F10), m_bar, nullptr, nullptr, Qt::WindowShortcut);
        connect(f10, &QShortcut::activated, this, &MenuBuilder::openFirstMenu);
    }
}

void MenuBuilder::openFirstMenu()
{
    if (!m_bar)
        return;
    for (QAction *a : m_bar->actions())
        if (!a->isSeparator() && a->isEnabled() && a->isVisible()) {
            m_bar->setActiveAction(a);
            return;
        }
}

QString MenuBuilder::barCaption(const QString &caption, const QList<QAction *> &barEntries)
{
    if (!QKeySequence::mnemonic(caption).isEmpty())
        return caption;
    QSet<QChar> used;
    for (const QAction *a : barEntries) {
        const QKeySequence m = QKeySequence::mnemonic(a->text());
        if (!m.isEmpty())
            used.insert(QChar(char16_t(m[0].key())).toUpper());
    }
    for (qsizetype i = 0; i < caption.size(); ++i) {
        const QChar c = caption[i];
        if (c.isSpace() || c == u'&')
            continue;
        if (!used.contains(c.toUpper()))
            return caption.left(i) + u'&' + caption.mid(i);
    }
    return caption;
}

MenuHandle MenuBuilder::menuBar() const
{
    return m_bar ? BarHandle : 0;
}

MenuHandle MenuBuilder::createPopupMenu()
{
    const MenuHandle h = m_next++;
    m_popups.insert(h, new QMenu(m_bar));
    return h;
}

QMenu *MenuBuilder::popup(MenuHandle handle) const
{
    return m_popups.value(handle);
}

QWidget *MenuBuilder::target(MenuHandle handle) const
{
    if (handle == BarHandle)
        return m_bar;
    return popup(handle);
}

bool MenuBuilder::appendMenu(MenuHandle parent, quint32 flags, quintptr idOrPopup, const QString &caption)
{
    QWidget *into = target(parent);
    if (!into)
        return false;
    QAction *action = nullptr;
    if (flags & MF_SEPARATOR) {
        action = new QAction(into);
        action->setSeparator(true);
    } else if (flags & MF_POPUP) {
        QMenu *sub = popup(idOrPopup);
        if (!sub)
            return false;
        sub->setTitle(into == m_bar ? barCaption(caption, m_bar->actions()) : caption);
        action = sub->menuAction();
    } else {
        const bool onBar = into == m_bar && !(flags & MF_GRAYED);
        action = new QAction(onBar ? barCaption(caption, m_bar->actions()) : caption, into);
        const int id = int(idOrPopup);
        if (flags & MF_CHECKED) {
            action->setCheckable(true);
            action->setChecked(true);
        }
        action->setData(id);
        connect(action, &QAction::triggered, this, [this, action, id] {
            if (action->isCheckable())
                action->setChecked(true);  // the menu never toggles its marks
            choose(id);
        });
    }
    if (flags & MF_GRAYED)
        action->setEnabled(false);
    into->addAction(action);
    return true;
}

void MenuBuilder::drawMenuBar()
{
    if (m_bar)
        m_bar->update();
}

void MenuBuilder::choose(int commandId)
{
    if (commandId != 0)
        emit commandChosen(commandId);
}

}  // namespace forms
