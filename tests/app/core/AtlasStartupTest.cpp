// Start-up on program folders built like the sample atlas: the normal road and faults in its data.
#include "CoreTestSupport.h"

#include "ProgramFolder.h"
#include "app/core/AppState.h"
#include "app/core/frmMainMDI.h"
#include "app/core/Program.h"
#include "app/core/frmStart.h"

#include "com/Registry.h"
#include "forms/FormRegistry.h"
#include "vb/TextFile.h"

#include <QAction>
#include <QMenu>
#include <QMenuBar>

using namespace pendra;
using forms::FormRegistry;

namespace {
QStringList captions(const QList<QAction *> &actions)
{
    QStringList out;
    for (QAction *a : actions)
        out << (a->isSeparator() ? QStringLiteral("---") : a->text() + (a->isEnabled() ? "" : " (grigio)"));
    return out;
}

class AtlasStartupTest : public coretest::CoreTest {
protected:
    void SetUp() override
    {
        CoreTest::SetUp();
        ASSERT_TRUE(coretest::registerLibrary()) << "libKVR_UTIL_prov.so is not built";
    }
};
}  // namespace

TEST_F(AtlasStartupTest, NormalRoadFollowsTheDeliveredMenuAndText)
{
    fixtures::ProgramFolder pf;
    start(pf.path());
    EXPECT_EQ(ends, 0);
    EXPECT_TRUE(dialogs.calls().isEmpty()) << dialogs.messages().join('\n').toStdString();
    EXPECT_TRUE(logLines().isEmpty());

    frmMainMDI *main = FormRegistry::find<frmMainMDI>();
    const QList<QAction *> bar = main->menuBar()->actions();
    EXPECT_EQ(captions(bar), QStringList({"&Metadati", "&Dati", "&?"}));
    EXPECT_EQ(captions(bar[1]->menu()->actions()),
              QStringList({"Dati provinciali", "Dati regionali", "---", "Dati comunali (non disponibili) (grigio)"}));
    QMenu *regionali = bar[1]->menu()->actions()[1]->menu();
    ASSERT_NE(regionali, nullptr);
    EXPECT_EQ(captions(regionali->actions()),
              QStringList({"Variabili", "Indicatori", "Serie storiche (in preparazione) (grigio)"}));
    EXPECT_EQ(main->menu().itemCount(), 9);

    // Items count in the order of parent and position: Metadati 1-3, Informazioni 4,
    // provincial 5-6, regional 7-9; so 7 is the regional "Variabili".
    main->menu().mnu_submnu_Click(7);
    EXPECT_EQ(app().CurrentDbName, "VariabiliRegioni.mdb");
    EXPECT_EQ(app().Kind, "Variabili");
    EXPECT_EQ(app().CurrentLivTerritoriale, "R");
    EXPECT_FALSE(app().SelectionWord.isEmpty());

    EXPECT_TRUE(app().objFiles);
    EXPECT_TRUE(app().objDBInform);
    frmStart *page = FormRegistry::find<frmStart>();
    ASSERT_NE(page, nullptr);
    const QStringList lines = vb::readLines(pf.files() + "InfoZup.txt");
    EXPECT_EQ(page->infoText(), lines.join("\r\n") + "\r\n");
    EXPECT_FALSE(page->picture().isNull());
}

TEST_F(AtlasStartupTest, FaultsInTheDeliveredDataEndOrShortenTheStart)
{
    struct Case {
        const char *name;
        QStringList omitTables, omitFiles;
        int ends;
        QString logged;  // the procedure of the logged line that matters; "" for an empty log
        bool menu, startPage;
    };
    const Case cases[] = {
        {"no tablelink", {"Metadati.mdb/tablelink"}, {}, 1, "Function: RefreshLinkOnDB_2", false, false},
        {"no receiving database", {}, {"Databases/VariabiliRegioni.mdb"}, 1, "Function: RefreshLinkOnDB_2", false, false},
        // Links already right are only compared, so a vanished source goes unnoticed here.
        {"no source database", {}, {"Databases/Territorio.mdb"}, 0, "", true, true},
        {"no menu table", {"Metadati.mdb/DBMainMenu"}, {}, 0, "Function: Form_Load", false, false},
        {"no settings", {"Metadati.mdb/DbConfigs"}, {}, 0, "Function: Form_Load", true, false},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        atlas::Options options;
        options.omitTables = c.omitTables;
        options.omitFiles = c.omitFiles;
        fixtures::ProgramFolder pf(options);
        ends = 0;
        dialogs.clear();
        start(pf.path());
        EXPECT_EQ(ends, c.ends);
        bool found = c.logged.isEmpty() && logLines().isEmpty();
        for (const QString &l : logLines())
            found = found || (!c.logged.isEmpty() && l.contains(c.logged));
        EXPECT_TRUE(found) << logLines().join('\n').toStdString();
        frmMainMDI *main = FormRegistry::find<frmMainMDI>();
        EXPECT_EQ(!main->menuBar()->actions().isEmpty(), c.menu);
        EXPECT_EQ(FormRegistry::isLoaded<frmStart>(), c.startPage);
        FormRegistry::unloadAll();
        releaseInstanceLock();
        resetAppState();
    }
}
