// Every window the menu and the buttons open lies inside the main window's work area, with its
// buttons in view, on the two common screens; the program runs its start-up on the sample atlas.
#include "CoreTestSupport.h"

#include "ProgramFolder.h"
#include "app/core/AppState.h"
#include "app/core/CoreWindows.h"
#include "app/maps/MapWindows.h"
#include "app/metadata/MetadataWindows.h"
#include "app/query/QueryWindows.h"
#include "app/core/MainMenu.h"
#include "app/core/Program.h"
#include "app/core/Utility.h"
#include "app/core/frmInfo.h"
#include "app/core/frmMainMDI.h"
#include "app/core/frmNota.h"
#include "app/core/frmStart.h"
#include "app/maps/PrintMappa.h"
#include "app/maps/frmSelMappa.h"
#include "app/maps/frm_Mappa.h"
#include "app/metadata/frmListaMetadati.h"
#include "app/metadata/frmMetadati.h"
#include "app/metadata/frmSchedaIndicatori.h"
#include "app/metadata/frmSchedaVariabili.h"
#include "app/metadata/frm_Glossario.h"
#include "app/query/FormdatiTab.h"
#include "app/query/frmFunzione.h"
#include "app/query/frm_dispData.h"

#include "forms/FormRegistry.h"
#include "forms/help/HelpViewer.h"
#include "forms/help/HelpWindow.h"
#include "grid/FlexGrid.h"

#include <QApplication>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollArea>
#include <QTimer>

using namespace pendra;
using forms::FormRegistry;

namespace {

struct Screen {
    const char *name;
    QSize size;
};
const Screen Screens[] = {{"1280 x 1024", {1280, 1024}}, {"1366 x 768", {1366, 768}}};

// Where a window stood when it had opened, and the buttons it showed, all in screen coordinates.
struct Placed {
    QString window;
    QRect frame;
    QRect area;
    QList<QPair<QString, QRect>> buttons;  // visible buttons outside scrolled panes
};

QRect onScreen(const QWidget *w, const QRect &local)
{
    return QRect(w->mapToGlobal(local.topLeft()), local.size());
}

Placed placed(QWidget *window, const QMdiArea *area)
{
    QApplication::processEvents();
    Placed p;
    p.window = window->objectName().isEmpty() ? window->windowTitle() : window->objectName();
    p.area = onScreen(area->viewport(), area->viewport()->rect());
    const QWidget *frame = window;
    if (auto *sub = qobject_cast<QMdiSubWindow *>(window->parentWidget()))
        frame = sub;
    p.frame = frame->isWindow() ? frame->frameGeometry() : onScreen(frame->parentWidget(), frame->geometry());
    for (QPushButton *b : window->findChildren<QPushButton *>()) {
        if (!b->isVisibleTo(window))
            continue;
        bool scrolled = false;
        for (QWidget *up = b->parentWidget(); up && up != window; up = up->parentWidget())
            scrolled = scrolled || qobject_cast<QScrollArea *>(up);
        if (!scrolled)
            p.buttons.append({b->text(), onScreen(b, b->rect())});
    }
    return p;
}

class WindowFitTest : public coretest::CoreTest {
protected:
    static void SetUpTestSuite()
    {
        folder = std::make_unique<fixtures::ProgramFolder>();
        registerCoreOpeners();
        registerQueryOpeners();
        registerMapOpeners();
        registerMetadataOpeners();
    }
    static void TearDownTestSuite() { folder.reset(); }
    void SetUp() override
    {
        CoreTest::SetUp();
        ASSERT_TRUE(coretest::registerLibrary()) << "libKVR_UTIL_prov.so is not built";
    }
    void TearDown() override
    {
        if (forms::HelpWindow *help = forms::helpWindow())
            delete help;
        CoreTest::TearDown();
    }

    // Starts the program on a main window of the screen's size, as the platform maximizes it.
    frmMainMDI *startOn(QSize screen)
    {
        start(folder->path());
        frmMainMDI *main = FormRegistry::find<frmMainMDI>();
        main->setGeometry(QRect(QPoint(0, 0), screen));
        main->show();
        QApplication::processEvents();
        m_area = main->findChild<QMdiArea *>();
        // The start page opened before the window had its size: open it again on the sized window.
        FormRegistry::unload<frmStart>();
        record(FormRegistry::show<frmStart>());
        return main;
    }

    void record(QWidget *window, int line = __builtin_LINE())
    {
        if (!window) {
            ADD_FAILURE() << "the window of line " << line << " did not open";
            return;
        }
        m_placed.append(placed(window, m_area));
    }

    // Opens a modal window through `open`, records it while it waits and closes it.
    template <class T> void recordModal(const std::function<void()> &open)
    {
        bool seen = false;
        QTimer::singleShot(0, [this, &seen] {
            if (T *w = FormRegistry::find<T>()) {
                seen = true;
                record(w);
                w->unload();
            }
        });
        open();
        QApplication::processEvents();
        EXPECT_TRUE(seen) << typeid(T).name() << " did not open";
    }

    // The data table window on a query of every territory of two years of one variable.
    frm_dispData *openTable()
    {
        app().SqlQuery =
            "SELECT land_Ind.COD_TIPO_TERR as TipoTerritorio, land_Ind.COD_TERR, land_Ind.PROV, land_Ind.REG, "
            "land_Ind.COD_NUTS, land_Ind.DES_TERR as Territorio, Format(AS_2005.AS013, '0.00') as AS013_2005 "
            "FROM AS_2005 INNER JOIN land_Ind ON AS_2005.COD_TERR = land_Ind.COD_TERR";
        frm_dispData *table = FormRegistry::show<frm_dispData>();
        record(table);
        return table;
    }

    // The map window on the provinces of the table, as the hand-off leaves datagrid2.
    frm_Mappa *openMap(frm_dispData *table)
    {
        app().MapKind = 2;
        app().MapCase = "provincia107";
        grid::FlexGridModel &data = table->datagrid()->grid();
        data.setColSel(6);
        grid::FlexGridModel &g = table->datagrid2()->grid();
        g.setCols(7);
        g.setRows(4);
        g.setTextMatrix(0, 6, "AS013_2005");
        const char *const codes[][2] = {{"P001", "1"}, {"P002", "2"}, {"P004", "4"}};
        for (int r = 1; r < 4; ++r) {
            g.setTextMatrix(r, 0, "1");
            g.setTextMatrix(r, 1, codes[r - 1][0]);
            g.setTextMatrix(r, 2, codes[r - 1][1]);
            g.setTextMatrix(r, 6, QString::number(r * 10));
        }
        g.setColSel(6);
        frm_Mappa *map = FormRegistry::show<frm_Mappa>();
        record(map);
        return map;
    }

    void expectEveryWindowInside(const Screen &screen)
    {
        for (const Placed &p : m_placed) {
            SCOPED_TRACE(std::string(screen.name) + ", " + p.window.toStdString());
            EXPECT_TRUE(p.area.contains(p.frame))
                << "frame " << p.frame.x() << "," << p.frame.y() << " " << p.frame.width() << "x" << p.frame.height()
                << " area " << p.area.x() << "," << p.area.y() << " " << p.area.width() << "x" << p.area.height();
            for (const auto &[caption, rect] : p.buttons)
                EXPECT_TRUE(p.area.contains(rect) && p.frame.contains(rect)) << caption.toStdString();
        }
    }

    static inline std::unique_ptr<fixtures::ProgramFolder> folder;
    QMdiArea *m_area = nullptr;
    QList<Placed> m_placed;
};

}  // namespace

TEST_F(WindowFitTest, EveryWindowOpensInsideTheWorkAreaWithItsButtonsInView)
{
    for (const Screen &screen : Screens) {
        m_placed.clear();
        frmMainMDI *main = startOn(screen.size);
        MainMenu &menu = main->menu();

        // Menu items in the order of parent and position: Metadati 1-3, Informazioni 4, provincial 5-6.
        menu.mnu_submnu_Click(5);
        record(FormRegistry::find<FormdatiTab>());
        frm_dispData *table = openTable();
        recordModal<frmFunzione>([table] { table->cmdFunzione_Click(); });
        recordModal<frmNota>([table] { table->cmdInfo_Click(); });
        app().LivMappa = 3;
        app().CurrentLivTerritoriale = "P";
        recordModal<frmSelMappa>([table] { FormRegistry::showModal<frmSelMappa>(table); });
        frm_Mappa *map = openMap(table);
        map->cmd_Stampa_Click();
        record(FormRegistry::find<PrintMappa>());

        for (qint16 item : {1, 2, 3})
            menu.mnu_submnu_Click(item);
        record(FormRegistry::find<frmMetadati>());
        record(FormRegistry::find<frmListaMetadati>());
        record(FormRegistry::find<frm_Glossario>());
        app().SqlScheda = GetSqlScheda("Variabili", "AS013");
        record(FormRegistry::show<frmSchedaVariabili>());
        FormRegistry::unload<frmSchedaVariabili>();
        app().SqlScheda = GetSqlScheda("Indicatori", "IAS013");
        record(FormRegistry::show<frmSchedaIndicatori>());
        recordModal<frmInfo>([&menu] { menu.mnu_submnu_Click(4); });
        forms::showHelp(QStringLiteral(PENDRA_DIR) + "/Files/Help/Helvora.chm", 1000);
        record(forms::helpWindow());

        EXPECT_TRUE(logLines().isEmpty()) << logLines().join('\n').toStdString();
        expectEveryWindowInside(screen);
        delete forms::helpWindow();
        FormRegistry::unloadAll();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        releaseInstanceLock();
        resetAppState();
    }
}
