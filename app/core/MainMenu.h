// The main menu built from table DBMainMenu, and the dispatcher of its command items.
#pragma once

#include "forms/MenuBuilder.h"

#include <QString>
#include <QVector>
#include <array>
#include <functional>

class QMenuBar;
class QWidget;

namespace pendra {

// The window a command item names (FormToOpen, compared upper-cased) is opened by the opener
// registered under that name; later windows register theirs once at start, before the menu is
// used. An unregistered name opens nothing.
using FormOpener = std::function<void()>;
void registerFormOpener(const QString &formToOpen, FormOpener opener);
void unregisterFormOpener(const QString &formToOpen);
// Runs the opener registered under the name (upper-cased); false when none is registered. Windows
// of one library open windows of another this way (the sheets: "FRMSCHEDAVARIABILI",
// "FRMSCHEDAINDICATORI"; the map window: "FRM_MAPPA"; the print layout: "PRINTMAPPA").
bool openRegisteredForm(const QString &formToOpen);

class MainMenu : public QObject {
    Q_OBJECT
public:
    static constexpr int MaxItems = 30;  // command items 1..30

    // The window is shown (maximized) at the end of the menu building.
    MainMenu(QMenuBar *bar, QWidget *mainWindow, QObject *parent = nullptr);

    // Builds the menu from "select * from DBMainMenu order by IdMenuParent, Orderb". No handler of
    // its own: a failure (missing table, a Null where a value is read, an unknown popup number,
    // a 31st command item) throws vb::Error and the entries added so far stay.
    void LoadDBMainMenu();
    // A separator or grayed entry gives 0; a popup gives its handle and takes the next popup number.
    forms::MenuHandle AddPopupMenu(const QString &caption, forms::MenuHandle parent, bool separator, bool grayed);
    void AddMenuItem(forms::MenuHandle popup, const QString &caption, bool checked, bool grayed);
    // Command item k chosen: sets DatabaseCambiato, CurrentDbName, Kind, SelectionWord and
    // CurrentLivTerritoriale, then opens the item's window. Reports no error.
    void mnu_submnu_Click(qint16 index);

    int itemCount() const { return m_k - 1; }
    forms::MenuBuilder &builder() { return m_builder; }
    QString formToOpen(int k) const { return slot(m_formToOpen, k); }

private:
    static QString slot(const std::array<QString, MaxItems + 1> &table, int k);

    forms::MenuBuilder m_builder;
    QWidget *m_mainWindow;
    std::array<QString, MaxItems + 1> m_formToOpen, m_dbName, m_tipoDb, m_livTerritoriale;
    QVector<forms::MenuHandle> m_popupHandles;
    forms::MenuHandle m_menuBar = 0;
    int m_lastMenuId = 0;
    int m_k = 1;  // the next command item
};

}  // namespace pendra
