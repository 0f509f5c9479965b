// Window instances: created and loaded once when named, MDI placement, unload, activation, twips.
#include "forms/FormRegistry.h"
#include "forms/MousePointer.h"
#include "forms/OleColor.h"
#include "forms/WorkArea.h"

#include <QApplication>
#include <QEventLoop>
#include <QPointer>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>
#include <optional>

using namespace forms;

namespace {
struct Counts {
    int loads = 0, activations = 0, unloads = 0;
};
Counts g_counts;

class frmProbe : public Form {
public:
    frmProbe() : Form("frmProbe") { resize(200, 100); }
    QString shown;  // state that must survive being named again
protected:
    void formLoad() override { ++g_counts.loads; }
    void formActivate() override { ++g_counts.activations; }
    void formUnload() override { ++g_counts.unloads; }
};

class frmOther : public Form {
public:
    frmOther() : Form("frmOther") { resize(120, 80); }
};

class FormsTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        g_counts = {};
        area.resize(800, 600);
        area.show();
        FormRegistry::setMdiArea(&area);
    }
    void TearDown() override
    {
        FormRegistry::unloadAll();
        FormRegistry::setMdiArea(nullptr);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
    QMdiArea area;
};
}  // namespace

TEST_F(FormsTest, NamingLoadsOnceAndKeepsState)
{
    EXPECT_FALSE(FormRegistry::isLoaded<frmProbe>());
    frmProbe *f = FormRegistry::get<frmProbe>();
    f->shown = "kept";
    EXPECT_EQ(FormRegistry::show<frmProbe>(), f);
    EXPECT_EQ(FormRegistry::show<frmProbe>(), f);
    EXPECT_EQ(g_counts.loads, 1);
    EXPECT_EQ(f->shown, "kept");
    EXPECT_EQ(f->name(), "frmProbe");
    // A work window lives in the MDI area, once.
    ASSERT_NE(f->subWindow(), nullptr);
    EXPECT_EQ(area.subWindowList().size(), 1);
}

TEST_F(FormsTest, UnloadForgetsTheInstanceAndNamingLoadsAFreshOne)
{
    frmProbe *first = FormRegistry::show<frmProbe>();
    first->shown = "old";
    FormRegistry::unload<frmProbe>();
    EXPECT_EQ(g_counts.unloads, 1);
    EXPECT_FALSE(FormRegistry::isLoaded<frmProbe>());
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(area.subWindowList().isEmpty());

    frmProbe *second = FormRegistry::show<frmProbe>();
    EXPECT_EQ(g_counts.loads, 2);
    EXPECT_TRUE(second->shown.isEmpty());
    FormRegistry::unload<frmOther>();  // not loaded: nothing happens
    EXPECT_EQ(g_counts.unloads, 1);
}

TEST_F(FormsTest, ClosingTheSubwindowUnloads)
{
    frmProbe *f = FormRegistry::show<frmProbe>();
    f->subWindow()->close();
    EXPECT_EQ(g_counts.unloads, 1);
    EXPECT_FALSE(FormRegistry::isLoaded<frmProbe>());
}

TEST_F(FormsTest, ActivatingAWorkWindowRunsItsActivateHandler)
{
    frmProbe *probe = FormRegistry::show<frmProbe>();
    const int afterShow = g_counts.activations;
    EXPECT_GE(afterShow, 1);
    FormRegistry::show<frmOther>();
    probe->activate();
    EXPECT_EQ(g_counts.activations, afterShow + 1);
    EXPECT_EQ(area.activeSubWindow(), probe->subWindow());
}

TEST_F(FormsTest, GeometryIsInTwipsOfTheFrame)
{
    frmProbe *f = FormRegistry::show<frmProbe>();
    f->moveTwips(150, 0);
    f->resizeTwips(3000, 1500);
    EXPECT_EQ(f->subWindow()->geometry(), QRect(10, 0, 200, 100));
    EXPECT_DOUBLE_EQ(f->leftTwips(), 150);
    EXPECT_DOUBLE_EQ(f->widthTwips(), 3000);
    EXPECT_DOUBLE_EQ(f->heightTwips(), 1500);
}

TEST_F(FormsTest, AWindowIsShrunkAndMovedOnlyAsFarAsItMustToLieInTheWorkArea)
{
    class frmGrande : public Form {
    public:
        frmGrande() : Form("frmGrande") {}
    };
    const QSize area = this->area.viewport()->size();
    const int w = area.width(), h = area.height();
    struct Case {
        const char *name;
        QRect start;
        QSize least;  // the window's minimum size
        QRect expected;
    };
    const Case cases[] = {
        {"inside", {10, 20, 200, 100}, {}, {10, 20, 200, 100}},
        {"past the right edge", {w - 50, 20, 200, 100}, {}, {w - 200, 20, 200, 100}},
        {"above and left", {-30, -40, 200, 100}, {}, {0, 0, 200, 100}},
        {"larger than the area", {50, 60, w + 300, h + 200}, {}, {0, 0, w, h}},
        {"too wide even at its least", {50, 60, w + 300, 100}, {w + 100, 50}, {0, 60, w + 100, 100}},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        frmGrande *f = FormRegistry::show<frmGrande>();
        if (!c.least.isEmpty())
            f->setMinimumSize(c.least);
        QMdiSubWindow *sub = f->subWindow();
        sub->setGeometry(c.start);
        fitInWorkArea(sub);
        EXPECT_EQ(sub->pos(), c.expected.topLeft());
        if (c.least.isEmpty())
            EXPECT_EQ(sub->size(), c.expected.size());
        else
            EXPECT_GE(sub->width(), c.least.width());
        FormRegistry::unload(f);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
}

TEST_F(FormsTest, AWindowThatGrewWhileLoadingOpensInsideTheWorkArea)
{
    class frmCresce : public Form {
    public:
        frmCresce() : Form("frmCresce") {}
    protected:
        void formLoad() override { subWindow()->setGeometry(300, 0, 2000, 300); }
    };
    frmCresce *f = FormRegistry::show<frmCresce>();
    EXPECT_TRUE(area.viewport()->rect().contains(f->subWindow()->geometry()));
    f->subWindow()->move(-40, 0);  // the user's own placement stays when the window is named again
    FormRegistry::show<frmCresce>();
    EXPECT_EQ(f->subWindow()->x(), -40);
}

TEST_F(FormsTest, ModalWindowReturnsWhenItIsUnloaded)
{
    class frmDialogo : public Form {
    public:
        frmDialogo() : Form("frmDialogo") { setMdiChild(false); }
    };
    frmDialogo *d = FormRegistry::get<frmDialogo>();
    EXPECT_EQ(d->subWindow(), nullptr);
    QMetaObject::invokeMethod(d, [d] { d->unload(); }, Qt::QueuedConnection);
    FormRegistry::showModal<frmDialogo>(&area);
    EXPECT_FALSE(FormRegistry::isLoaded<frmDialogo>());
}

TEST_F(FormsTest, ModalWindowThatUnloadsItselfWhileLoadingReturnsAtOnce)
{
    class frmSubito : public Form {
    public:
        frmSubito() : Form("frmSubito") { setMdiChild(false); }
    protected:
        void formLoad() override { unload(); }
    };
    // Should the wait hang, this ends every running loop so the test fails instead of blocking.
    bool hung = false;
    QTimer watchdog;
    watchdog.setSingleShot(true);
    QObject::connect(&watchdog, &QTimer::timeout, [&] { hung = true; QCoreApplication::exit(1); });
    watchdog.start(3000);
    FormRegistry::showModal<frmSubito>(&area);
    watchdog.stop();
    EXPECT_FALSE(hung);
    EXPECT_FALSE(FormRegistry::isLoaded<frmSubito>());
}

TEST(MousePointer, DefaultAlwaysRestoresTheNormalCursor)
{
    setMousePointer(MousePointer::Hourglass);
    setMousePointer(MousePointer::Hourglass);  // does not stack
    ASSERT_NE(QGuiApplication::overrideCursor(), nullptr);
    EXPECT_EQ(QGuiApplication::overrideCursor()->shape(), Qt::WaitCursor);
    QGuiApplication::setOverrideCursor(QCursor(Qt::CrossCursor));  // someone else's
    setMousePointer(MousePointer::Default);
    EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr);
    EXPECT_EQ(mousePointer(), MousePointer::Default);
    {
        BusyCursor busy;
        EXPECT_EQ(mousePointer(), MousePointer::Hourglass);
    }
    EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr);
}

TEST(OleColor, BgrLayoutAndSystemColours)
{
    EXPECT_EQ(toQColor(0x000000FF), QColor(255, 0, 0));
    EXPECT_EQ(toQColor(0x00FF0000), QColor(0, 0, 255));
    EXPECT_EQ(toOleColor(QColor(0x12, 0x34, 0x56)), 0x00563412u);
    EXPECT_EQ(toQColor(ButtonFace), QGuiApplication::palette().color(QPalette::Button));
}

TEST_F(FormsTest, ModalWindowLeavesOtherTopLevelWindowsUsable)
{
    // The help window is a top-level window of its own: a modal dialog over the main window must not
    // block it, or its Help button opens a page nobody can click.
    class frmModale : public Form {
    public:
        frmModale() : Form("frmModale") { setMdiChild(false); }
    };
    QWidget help;
    auto *link = new QPushButton("Pagina", &help);
    help.resize(200, 80);
    help.show();
    bool clicked = false, ownerBlocked = false;
    QObject::connect(link, &QPushButton::clicked, [&] { clicked = true; });
    QPushButton *inOwner = new QPushButton("Proprietario", &area);
    inOwner->show();
    bool ownerClicked = false;
    QObject::connect(inOwner, &QPushButton::clicked, [&] { ownerClicked = true; });
    QTimer::singleShot(0, [&] {
        // Clicks through the window system, where a modal window blocks the windows under it.
        QTest::mouseClick(help.windowHandle(), Qt::LeftButton, {}, link->geometry().center());
        QTest::mouseClick(area.windowHandle(), Qt::LeftButton, {}, inOwner->geometry().center());
        ownerBlocked = !ownerClicked;
        FormRegistry::unload<frmModale>();
    });
    FormRegistry::showModal<frmModale>(&area);
    EXPECT_TRUE(clicked);
    EXPECT_TRUE(ownerBlocked);
}

TEST_F(FormsTest, UnloadingAWorkWindowBringsForwardTheOneUsedBeforeIt)
{
    class frmTerzo : public Form {
    public:
        frmTerzo() : Form("frmTerzo") { resize(100, 60); }
    };
    frmOther *oldest = FormRegistry::show<frmOther>();
    frmProbe *caller = FormRegistry::show<frmProbe>();
    FormRegistry::show<frmTerzo>();  // opened from the caller
    FormRegistry::unload<frmTerzo>();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_EQ(area.activeSubWindow(), caller->subWindow());
    EXPECT_NE(area.activeSubWindow(), oldest->subWindow());
}

TEST_F(FormsTest, AWindowUnloadedInANestedLoopOfItsHandlerLivesUntilTheOutermostLoopEnds)
{
    // The handler of a window waits on a box; while the box's loop runs the window is closed. The
    // box's loop (and one nested in it) must not delete it: the handler goes on inside it.
    for (const bool nested : {false, true}) {
        SCOPED_TRACE(nested ? "two loops" : "one loop");
        QPointer<frmProbe> f = FormRegistry::show<frmProbe>();
        QPointer<QMdiSubWindow> frame = f->subWindow();
        {
            NestedLoop box;
            EXPECT_TRUE(NestedLoop::isOpen());
            {
                std::optional<NestedLoop> inner;
                if (nested)
                    inner.emplace();
                f->subWindow()->close();
                QEventLoop loop;
                QTimer::singleShot(0, &loop, &QEventLoop::quit);
                loop.exec();
                QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
            }
            QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
            ASSERT_FALSE(f.isNull());
            EXPECT_FALSE(frame->isVisible());
            EXPECT_FALSE(FormRegistry::isLoaded<frmProbe>());
            EXPECT_EQ(g_counts.unloads, nested ? 2 : 1);
        }
        EXPECT_FALSE(NestedLoop::isOpen());
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        EXPECT_TRUE(f.isNull());
        EXPECT_TRUE(frame.isNull());
    }
    // Outside any nested loop an unload deletes the window once control is back in the event loop.
    QPointer<frmProbe> f = FormRegistry::show<frmProbe>();
    f->unload();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(f.isNull());
}
