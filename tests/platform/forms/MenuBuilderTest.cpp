// Run-time menus: append flags, nested popups, command ids, refused handles, the keyboard.
#include "forms/MenuBuilder.h"

#include <QAction>
#include <QLineEdit>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QSignalSpy>
#include <QTest>
#include <gtest/gtest.h>

using namespace forms;

TEST(MenuBuilder, FlagsBuildTheEntriesTheyName)
{
    QMenuBar bar;
    MenuBuilder mb(&bar);
    const MenuHandle top = mb.createPopupMenu();
    ASSERT_TRUE(mb.appendMenu(mb.menuBar(), MF_POPUP, top, "Dati"));
    const MenuHandle nested = mb.createPopupMenu();
    ASSERT_TRUE(mb.appendMenu(top, MF_POPUP, nested, "Regionali"));
    ASSERT_TRUE(mb.appendMenu(top, MF_SEPARATOR, 0, ""));
    ASSERT_TRUE(mb.appendMenu(top, MF_STRING | MF_GRAYED, 0, "Non disponibile"));
    ASSERT_TRUE(mb.appendMenu(nested, MF_STRING | MF_CHECKED, 7, "Variabili"));
    ASSERT_TRUE(mb.appendMenu(nested, MF_STRING, 8, "Indicatori"));

    ASSERT_EQ(bar.actions().size(), 1);
    EXPECT_EQ(bar.actions()[0]->text(), "&Dati");
    const QList<QAction *> items = mb.popup(top)->actions();
    ASSERT_EQ(items.size(), 3);
    EXPECT_EQ(items[0]->menu(), mb.popup(nested));
    EXPECT_EQ(items[0]->text(), "Regionali");
    EXPECT_TRUE(items[1]->isSeparator());
    EXPECT_FALSE(items[2]->isEnabled());
    const QList<QAction *> leaves = mb.popup(nested)->actions();
    ASSERT_EQ(leaves.size(), 2);
    EXPECT_TRUE(leaves[0]->isChecked());
    EXPECT_FALSE(leaves[1]->isCheckable());
}

TEST(MenuBuilder, TriggeringAnEntryReportsItsCommandIdAndKeepsItsMark)
{
    QMenuBar bar;
    MenuBuilder mb(&bar);
    const MenuHandle top = mb.createPopupMenu();
    mb.appendMenu(mb.menuBar(), MF_POPUP, top, "Dati");
    mb.appendMenu(top, MF_CHECKED, 3, "Uno");
    mb.appendMenu(top, MF_GRAYED, 0, "Spento");
    QSignalSpy chosen(&mb, &MenuBuilder::commandChosen);

    QAction *uno = mb.popup(top)->actions()[0];
    uno->trigger();
    mb.popup(top)->actions()[1]->trigger();  // disabled: triggers nothing
    mb.choose(0);                            // id 0 is never a command
    ASSERT_EQ(chosen.count(), 1);
    EXPECT_EQ(chosen[0][0].toInt(), 3);
    EXPECT_TRUE(uno->isChecked());
}

TEST(MenuBuilder, UnknownHandlesAddNothing)
{
    QMenuBar bar;
    MenuBuilder mb(&bar);
    EXPECT_FALSE(mb.appendMenu(12345, MF_STRING, 1, "x"));
    EXPECT_FALSE(mb.appendMenu(mb.menuBar(), MF_POPUP, 999, "no such popup"));
    EXPECT_FALSE(mb.appendMenu(0, MF_STRING, 1, "x"));
    EXPECT_TRUE(bar.actions().isEmpty());
}

TEST(MenuBuilder, BarEntriesGetTheirOwnMnemonicOrTheirFirstFreeLetter)
{
    struct Case {
        QStringList captions, shown;
    };
    const Case cases[] = {
        {{"Metadati", "Dati", "?"}, {"&Metadati", "&Dati", "&?"}},
        {{"&File", "Fine", "Dati", "Dati regionali"}, {"&File", "F&ine", "&Dati", "D&ati regionali"}},
        {{"Gestione &Dati", "Dati"}, {"Gestione &Dati", "D&ati"}},
        {{"Carte e mappe"}, {"&Carte e mappe"}},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.captions.join(",").toStdString());
        QMenuBar bar;
        MenuBuilder mb(&bar);
        for (const QString &caption : c.captions)
            mb.appendMenu(mb.menuBar(), MF_POPUP, mb.createPopupMenu(), caption);
        QStringList shown;
        for (QAction *a : bar.actions())
            shown << a->text();
        EXPECT_EQ(shown, c.shown);
    }

    // entries inside a menu and grayed entries of the bar keep their captions
    QMenuBar bar;
    MenuBuilder mb(&bar);
    const MenuHandle top = mb.createPopupMenu();
    mb.appendMenu(mb.menuBar(), MF_POPUP, top, "Dati");
    mb.appendMenu(top, MF_STRING, 1, "Variabili");
    mb.appendMenu(mb.menuBar(), MF_STRING | MF_GRAYED, 0, "Serie");
    EXPECT_EQ(mb.popup(top)->actions()[0]->text(), "Variabili");
    EXPECT_EQ(bar.actions()[1]->text(), "Serie");
}

TEST(MenuBuilder, F10AndAltWithTheMnemonicOpenTheBarFromTheKeyboard)
{
    QMainWindow window;
    auto *bar = new QMenuBar;
    window.setMenuBar(bar);
    auto *field = new QLineEdit;
    window.setCentralWidget(field);
    MenuBuilder mb(bar);
    const MenuHandle metadati = mb.createPopupMenu(), dati = mb.createPopupMenu();
    mb.appendMenu(mb.menuBar(), MF_POPUP, metadati, "Metadati");
    mb.appendMenu(mb.menuBar(), MF_POPUP, dati, "Dati");
    mb.appendMenu(metadati, MF_STRING, 1, "Glossario");
    mb.appendMenu(dati, MF_STRING, 2, "Variabili");
    QSignalSpy chosen(&mb, &MenuBuilder::commandChosen);
    window.show();
    window.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
    field->setFocus();

    QTest::keyClick(field, Qt::Key_F10);
    EXPECT_EQ(bar->activeAction(), mb.popup(metadati)->menuAction());
    EXPECT_TRUE(QTest::qWaitFor([&] { return mb.popup(metadati)->isVisible(); }));
    QTest::keyClick(mb.popup(metadati), Qt::Key_Escape);
    QTest::keyClick(bar, Qt::Key_Escape);
    EXPECT_TRUE(QTest::qWaitFor([&] { return !mb.popup(metadati)->isVisible(); }));

    field->setFocus();
    QTest::keyClick(field, Qt::Key_D, Qt::AltModifier);
    ASSERT_TRUE(QTest::qWaitFor([&] { return mb.popup(dati)->isVisible(); }));
    QTest::keyClick(mb.popup(dati), Qt::Key_Down);
    QTest::keyClick(mb.popup(dati), Qt::Key_Return);
    ASSERT_EQ(chosen.count(), 1);
    EXPECT_EQ(chosen[0][0].toInt(), 2);
}
