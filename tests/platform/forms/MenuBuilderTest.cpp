// Run-time menus: append flags, nested popups, command ids, refused handles.
#include "forms/MenuBuilder.h"

#include <QAction>
#include <QMenu>
#include <QMenuBar>
#include <QSignalSpy>
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
    EXPECT_EQ(bar.actions()[0]->text(), "Dati");
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
