// Test base of the query window.
#include "QueryWindowTestSupport.h"

#include "app/core/Program.h"
#include "app/core/frmMainMDI.h"
#include "app/query/FormdatiTab.h"
#include "app/query/QueryWindows.h"

#include "forms/FormRegistry.h"
#include "jet/Connection.h"
#include "jet/Recordset.h"
#include "tree/TreeView.h"
#include "vb/Error.h"

#include <QCoreApplication>
#include <QListWidget>

using namespace pendra;

namespace querytest {

void QueryWindowTest::SetUp()
{
    CoreTest::SetUp();
    ASSERT_TRUE(coretest::registerLibrary()) << "libKVR_UTIL_prov.so is not built";
    registerQueryOpeners();
}

void QueryWindowTest::TearDown()
{
    w = nullptr;
    CoreTest::TearDown();
    unregisterFormOpener("FORMDATITAB");
}

fixtures::ProgramFolder &QueryWindowTest::folderOf()
{
    if (!pf)
        pf = std::make_unique<fixtures::ProgramFolder>();
    return *pf;
}

FormdatiTab *QueryWindowTest::open(MenuItem item)
{
    return openOn(folderOf(), item);
}

FormdatiTab *QueryWindowTest::openOn(const fixtures::ProgramFolder &folder, MenuItem item)
{
    start(folder.path());
    forms::FormRegistry::find<frmMainMDI>()->menu().mnu_submnu_Click(item);
    w = forms::FormRegistry::find<FormdatiTab>();
    EXPECT_NE(w, nullptr);
    return w;
}

void QueryWindowTest::closeAll()
{
    forms::FormRegistry::unloadAll();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    releaseInstanceLock();
    w = nullptr;
}

QStringList QueryWindowTest::rows(const QString &database, const QString &sql)
{
    jet::Connection conn;
    conn.open(folderOf().odbc(database));
    jet::Recordset rs;
    rs.open(sql, conn);
    QStringList out;
    while (!rs.eof()) {
        QStringList cells;
        for (int i = 0; i < rs.fieldCount(); ++i) {
            const vb::Variant v = rs.value(i);
            cells << (v.isNull() ? QStringLiteral("<null>") : v.toString());
        }
        out << cells.join('|');
        rs.moveNext();
    }
    return out;
}

void QueryWindowTest::exec(const QString &database, const QStringList &statements)
{
    jet::Connection conn;
    conn.open(folderOf().odbc(database));
    for (const QString &s : statements)
        conn.execute(s);
}

tree::TreeNode *QueryWindowTest::node(const QString &key)
{
    tree::TreeNode *n = w->objtree()->nodes().find(key);
    EXPECT_NE(n, nullptr) << key.toStdString();
    return n;
}

void QueryWindowTest::click(const QString &key)
{
    if (tree::TreeNode *n = node(key))
        w->objtree()->clickNode(n);
}

void QueryWindowTest::pick(const QString &code, const QStringList &years)
{
    click(code);
    for (const QString &y : years)
        click(code + "-" + y);
}

void QueryWindowTest::selectTerritories(const QStringList &names)
{
    for (const QString &name : names) {
        const auto found = w->lstDescTerr()->findItems(name, Qt::MatchExactly);
        ASSERT_EQ(found.size(), 1) << name.toStdString();
        found.first()->setSelected(true);
    }
}

}  // namespace querytest
