// Menus built at run time on a QMenuBar with the platform's append flags and numeric command ids.
#pragma once

#include <QHash>
#include <QMenu>
#include <QMenuBar>
#include <QObject>
#include <QPointer>
#include <QString>

class QWidget;

namespace forms {

// Append flags, combined with |.
constexpr quint32 MF_STRING = 0x0;
constexpr quint32 MF_GRAYED = 0x1;
constexpr quint32 MF_CHECKED = 0x8;
constexpr quint32 MF_POPUP = 0x10;
constexpr quint32 MF_SEPARATOR = 0x800;

using MenuHandle = quintptr;  // 0 is no menu

// The bar and its popups are addressed by handles. Choosing an enabled entry with a command id
// other than 0 emits commandChosen(id). The menus belong to the bar (Qt parent chain).
// The bar opens from the keyboard: F10 opens its first menu, Alt alone moves into it, and Alt with
// a letter opens the entry of that mnemonic. A caption with its own "&" keeps it; an enabled entry of
// the bar without one gets its first letter that no earlier entry of the bar uses.
class MenuBuilder : public QObject {
    Q_OBJECT
public:
    explicit MenuBuilder(QMenuBar *bar, QObject *parent = nullptr);

    MenuHandle menuBar() const;  // the bar's own handle
    MenuHandle createPopupMenu();  // a new popup, not placed yet
    // With MF_POPUP, idOrPopup is the popup's handle and the popup is placed under caption;
    // otherwise it is the command id of a plain entry. False (nothing added) for an unknown
    // parent or popup handle.
    bool appendMenu(MenuHandle parent, quint32 flags, quintptr idOrPopup, const QString &caption);
    void drawMenuBar();  // the bar repaints itself; kept for the call sites

    QMenuBar *bar() const { return m_bar; }
    QMenu *popup(MenuHandle handle) const;  // null for the bar or an unknown handle
    // What choosing the entry does (tests and the triggered slot): emits commandChosen.
    void choose(int commandId);

    // The caption as a bar entry shows it, given the entries already on the bar.
    static QString barCaption(const QString &caption, const QList<QAction *> &barEntries);

signals:
    void commandChosen(int commandId);

private:
    QWidget *target(MenuHandle handle) const;
    void openFirstMenu();

    QPointer<QMenuBar> m_bar;
    QHash<MenuHandle, QPointer<QMenu>> m_popups;
    MenuHandle m_next = 1;
};

}  // namespace forms
