// Test base of the query window: a small program folder started in-process, a menu item chosen.
#pragma once

#include "CoreTestSupport.h"
#include "ProgramFolder.h"

#include <QStringList>
#include <memory>

namespace pendra {
class FormdatiTab;
}
namespace tree {
class TreeNode;
}

namespace querytest {

// Menu items of the fixture: 5/6 provincial variables/indicators, 7/8 regional ones.
enum MenuItem { ProvVariabili = 5, ProvIndicatori = 6, RegVariabili = 7, RegIndicatori = 8 };

class QueryWindowTest : public coretest::CoreTest {
protected:
    void SetUp() override;
    void TearDown() override;

    // Starts the program on the folder (built on first use) and opens the query window by the item.
    pendra::FormdatiTab *open(MenuItem item);
    // The same on another folder (the sample atlas copy, say).
    pendra::FormdatiTab *openOn(const fixtures::ProgramFolder &folder, MenuItem item);
    // Unloads every window and ends the run started by open(), so another can start.
    void closeAll();
    fixtures::ProgramFolder &folderOf();
    // Rows of a query on a database of the folder, as "a|b|<null>".
    QStringList rows(const QString &database, const QString &sql);
    void exec(const QString &database, const QStringList &statements);

    // The node by key (fails the test when missing), clicked as the user does.
    tree::TreeNode *node(const QString &key);
    void click(const QString &key);
    // Clicks the code node (loads its years), then each year node.
    void pick(const QString &code, const QStringList &years);
    // Selects the territories of the list by name.
    void selectTerritories(const QStringList &names);

    pendra::FormdatiTab *w = nullptr;
    std::unique_ptr<fixtures::ProgramFolder> pf;
};

}  // namespace querytest
