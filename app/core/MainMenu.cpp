// Building the main menu from DBMainMenu and dispatching its command items.
#include "MainMenu.h"

#include "AppState.h"
#include "Utility.h"

#include "jet/Recordset.h"
#include "vb/Error.h"

#include <QHash>
#include <QWidget>

namespace pendra {

namespace {
QHash<QString, FormOpener> &openers()
{
    static QHash<QString, FormOpener> table;
    return table;
}

QString textOrEmpty(const vb::Variant &v)
{
    return v.isNull() ? QString() : v.toString();
}
}  // namespace

void registerFormOpener(const QString &formToOpen, FormOpener opener)
{
    openers().insert(formToOpen.toUpper(), std::move(opener));
}

void unregisterFormOpener(const QString &formToOpen)
{
    openers().remove(formToOpen.toUpper());
}

bool openRegisteredForm(const QString &formToOpen)
{
    const auto opener = openers().value(formToOpen.toUpper());
    if (!opener)
        return false;
    opener();
    return true;
}

MainMenu::MainMenu(QMenuBar *bar, QWidget *mainWindow, QObject *parent)
    : QObject(parent), m_builder(bar), m_mainWindow(mainWindow)
{
    connect(&m_builder, &forms::MenuBuilder::commandChosen, this,
            [this](int id) { mnu_submnu_Click(qint16(id)); });
}

QString MainMenu::slot(const std::array<QString, MaxItems + 1> &table, int k)
{
    return (k >= 0 && k <= MaxItems) ? table[size_t(k)] : QString();
}

void MainMenu::LoadDBMainMenu()
{
    jet::Connection conn = GetDbConnection("Metadati.mdb");
    jet::Recordset rs;
    rs.open("select * from DBMainMenu order by IdMenuParent, Orderb", conn, jet::CursorType::Dynamic,
            jet::LockType::ReadOnly);
    m_menuBar = m_builder.menuBar();
    while (!rs.eof()) {
        const qint32 idMenu = rs.value("IdMenu").toLong();
        const qint32 parent = rs.value("IdMenuParent").toLong();
        const QString caption = rs.value("DescName").toString();
        if (parent < 0) {
            AddPopupMenu(caption, m_menuBar, rs.value("isSeparator").toBool(), rs.value("isDisable").toBool());
        } else {
            if (parent >= m_popupHandles.size())
                throw vb::Error::of(vb::err::SubscriptOutOfRange, "LoadDBMainMenu");
            const forms::MenuHandle popup = m_popupHandles[parent];
            if (idMenu >= 1) {
                AddPopupMenu(caption, popup, rs.value("isSeparator").toBool(), rs.value("isDisable").toBool());
            } else {
                // Everything the slot needs is read before the entry is added, so a 31st item
                // or a Null value fails without leaving an entry that could not work.
                if (m_k > MaxItems)
                    throw vb::Error::of(vb::err::SubscriptOutOfRange, "LoadDBMainMenu");
                const bool checked = rs.value("isChecked").toBool();
                const bool grayed = rs.value("isDisable").toBool();
                const QString form = rs.value("FormToOpen").toString();
                const QString db = rs.value("DBname").toString();
                const QString kind = rs.value("TipoDb").toString();
                const QString level = textOrEmpty(rs.value("LivTerritoriale"));
                AddMenuItem(popup, caption, checked, grayed);
                m_formToOpen[size_t(m_k)] = form;
                m_dbName[size_t(m_k)] = db;
                m_tipoDb[size_t(m_k)] = kind;
                m_livTerritoriale[size_t(m_k)] = level;
                ++m_k;
            }
        }
        rs.moveNext();
    }
    if (m_mainWindow)
        m_mainWindow->showMaximized();
    rs.close();
    conn.close();
}

forms::MenuHandle MainMenu::AddPopupMenu(const QString &caption, forms::MenuHandle parent, bool separator, bool grayed)
{
    if (separator) {
        m_builder.appendMenu(parent, forms::MF_SEPARATOR, 0, QString());
        return 0;
    }
    if (grayed) {
        m_builder.appendMenu(parent, forms::MF_STRING | forms::MF_GRAYED, 0, caption);
        return 0;
    }
    const forms::MenuHandle popup = m_builder.createPopupMenu();
    m_builder.appendMenu(parent, forms::MF_POPUP, popup, caption);
    m_builder.drawMenuBar();
    m_popupHandles.append(popup);
    return popup;
}

void MainMenu::AddMenuItem(forms::MenuHandle popup, const QString &caption, bool checked, bool grayed)
{
    // The command id of item k is k, so choosing it dispatches k.
    m_lastMenuId = m_k;
    if (grayed)
        m_builder.appendMenu(popup, forms::MF_STRING | forms::MF_GRAYED, 0, caption);
    else
        m_builder.appendMenu(popup, checked ? forms::MF_CHECKED : forms::MF_STRING, quintptr(m_lastMenuId), caption);
    m_builder.drawMenuBar();
}

void MainMenu::mnu_submnu_Click(qint16 index)
{
    AppState &s = app();
    const int k = index;
    s.DatabaseCambiato = "False";
    if (k >= 2 && slot(m_dbName, k).contains(".mdb")) {
        s.CurrentDbName = slot(m_dbName, k);
        s.Kind = slot(m_tipoDb, k);
    }
    if (k == 2 || k == 3)
        s.DatabaseCambiato = "True";

    try {
        jet::Connection conn = GetDbConnection("Metadati.mdb");
        jet::Recordset rs;
        rs.open("Select * from DbConfigs", conn, jet::CursorType::Static, jet::LockType::ReadOnly);
        while (!rs.eof()) {
            const vb::Variant name = rs.value(0);
            if (!name.isNull() && name.toString() == s.CurrentDbName) {
                s.SelectionWord = rs.value(10).toString();
                break;
            }
            rs.moveNext();
        }
    } catch (const vb::Error &) {
        // The word keeps its value; the choice goes on.
    }

    const QString level = slot(m_livTerritoriale, k);
    s.CurrentLivTerritoriale = level.isEmpty() ? QStringLiteral("T") : level;

    const auto opener = openers().value(slot(m_formToOpen, k).toUpper());
    try {
        if (opener)
            opener();
    } catch (const vb::Error &) {
        // The windows report their own failures.
    }
}

}  // namespace pendra
