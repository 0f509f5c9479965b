// ResizeBitmap's validation and sizes, and the start page with its background picture.
#include "CoreTestSupport.h"

#include "app/core/AppState.h"
#include "app/core/Pictures.h"
#include "app/core/frmMainMDI.h"
#include "app/core/frmNota.h"
#include "app/core/frmStart.h"

#include "forms/FormRegistry.h"

#include <QCoreApplication>
#include <QMdiSubWindow>
#include <QTextDocument>

#include <cstdlib>

using namespace pendra;
using forms::FormRegistry;

namespace {
QImage pattern(int w, int h)
{
    QImage img(w, h, QImage::Format_RGB32);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            img.setPixel(x, y, qRgb((x * 37) % 256, (y * 53) % 256, ((x + y) * 11) % 256));
    return img;
}
}  // namespace

TEST(ResizeBitmap, SizesDepthsAndModes)
{
    const QImage src = pattern(40, 30);
    struct Case { qint32 mode, w, h, depth; QSize size; QImage::Format format; };
    const Case cases[] = {
        {1, 0, 0, 0, {40, 30}, QImage::Format_RGB32},
        {1, -80, 60, 0, {80, 60}, QImage::Format_RGB32},  // negative sizes by absolute value
        {1, 0, 15, 0, {40, 15}, QImage::Format_RGB32},    // 0 keeps the source's width
        {1, 20, 10, 8, {20, 10}, QImage::Format_RGB32},   // mode 1 ignores the depth
        {2, 20, 10, 1, {20, 10}, QImage::Format_Mono},
        {2, 20, 10, 4, {20, 10}, QImage::Format_Indexed8},
        {2, 20, 10, 8, {20, 10}, QImage::Format_Indexed8},
        {2, 20, 10, 16, {20, 10}, QImage::Format_RGB16},
        {2, 20, 10, 24, {20, 10}, QImage::Format_RGB888},
        {2, 20, 10, 32, {20, 10}, QImage::Format_RGB32},
        {0, 20, 10, 24, {20, 10}, QImage::Format_RGB888},  // mode 0 chooses the bit-depth form
        {0, 20, -10, 0, {20, 10}, QImage::Format_RGB32},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(testing::Message() << c.mode << " " << c.w << "x" << c.h << "@" << c.depth);
        const QImage out = ResizeBitmap(src, c.mode, c.w, c.h, c.depth, HALFTONE);
        ASSERT_FALSE(out.isNull());
        EXPECT_EQ(out.size(), c.size);
        EXPECT_EQ(out.format(), c.format);
    }
    EXPECT_LE(ResizeBitmap(src, 2, 20, 10, 4, HALFTONE).colorCount(), 16);
}

TEST(ResizeBitmap, RefusesWhatItCannotMake)
{
    const QImage src = pattern(8, 8);
    for (qint32 depth : {2, 15, 3, 64, -1})
        EXPECT_TRUE(ResizeBitmap(src, 1, 4, 4, depth, HALFTONE).isNull()) << depth;
    EXPECT_TRUE(ResizeBitmap(src, 3, 4, 4, 0, HALFTONE).isNull());
    EXPECT_TRUE(ResizeBitmap(QImage(), 1, 4, 4, 0, HALFTONE).isNull());
    EXPECT_TRUE(HandleToPicture(QImage()).isNull());
}

TEST(ResizeBitmap, SameSizeCopiesAndLeavesTheSourceAlone)
{
    const QImage src = pattern(17, 9);
    const QImage before = src.copy();
    const QImage out = ResizeBitmap(src, 1, 17, 9, 0, HALFTONE);
    EXPECT_EQ(out, src);  // pixel for pixel: no stretching
    EXPECT_EQ(src, before);
    QImage mono(16, 16, QImage::Format_Mono);
    mono.fill(1);
    EXPECT_EQ(ResizeBitmap(mono, 1, 32, 32, 0, HALFTONE).format(), QImage::Format_Mono);
    EXPECT_EQ(HandleToPicture(out).size(), QSize(17, 9));
}

namespace {
class StartPageTest : public coretest::CoreTest {
protected:
    // Start-up stops at the library objects (none registered): the main window is loaded and
    // the start page can be opened on its own.
    frmMainMDI *mainWindow()
    {
        start(small.path());
        frmMainMDI *main = FormRegistry::find<frmMainMDI>();
        main->showNormal();
        main->setInChiusura(true);  // keep the test's size
        main->resize(1000, 700);
        dialogs.clear();
        return main;
    }
    coretest::SmallFolder small;
};
}  // namespace

TEST_F(StartPageTest, ShowsTheTextSizedUnderTheMainWindowOverTheBackground)
{
    frmMainMDI *main = mainWindow();
    frmStart *page = FormRegistry::show<frmStart>();
    EXPECT_EQ(page->infoText(), QString::fromUtf8("Prima riga\r\nSeconda città\r\n"));
    EXPECT_EQ(page->lblInfo()->toPlainText(), QString::fromUtf8("Prima riga\nSeconda città\n"));
    ASSERT_NE(page->subWindow(), nullptr);
    // 15000 - 200 twips wide (986.7 px), 10500 - 750 high, at the top left.
    EXPECT_EQ(page->subWindow()->geometry(), QRect(0, 0, 987, 650));
    EXPECT_EQ(page->picture().size(), QSize(987, 660));  // 10 pixels taller than the window
    EXPECT_EQ(main->picture().size(), QSize(987, 660));
    EXPECT_TRUE(dialogs.calls().isEmpty());

    UnloadStartPage();
    EXPECT_FALSE(FormRegistry::isLoaded<frmStart>());
    EXPECT_FALSE(main->picture().isNull());  // the main window keeps its background
    UnloadStartPage();                       // already gone: nothing happens

    // The background reaches the right and bottom edges of the work area, past the page's size.
    QWidget *view = main->mdiArea()->viewport();
    ASSERT_GT(view->width(), 987);
    const QImage shown = view->grab().toImage();
    const QImage expected = main->picture().scaled(view->size(), Qt::IgnoreAspectRatio, Qt::SmoothTransformation).toImage();
    for (const QPoint &at : {QPoint(view->width() - 2, view->height() - 2), QPoint(view->width() - 2, 5),
                             QPoint(5, view->height() - 2)}) {
        const QColor a = shown.pixelColor(at), b = expected.pixelColor(at);
        EXPECT_LE(std::abs(a.red() - b.red()) + std::abs(a.green() - b.green()) + std::abs(a.blue() - b.blue()), 6)
            << at.x() << "," << at.y();
        EXPECT_NE(a, main->palette().button().color());
    }
}

TEST_F(StartPageTest, EmptyTextStillSizesThePageAndSetsBothPictures)
{
    small.write("Files/InfoZup.txt", "");
    frmMainMDI *main = mainWindow();
    frmStart *page = FormRegistry::show<frmStart>();
    EXPECT_TRUE(page->infoText().isEmpty());
    EXPECT_FALSE(page->picture().isNull());
    EXPECT_FALSE(main->picture().isNull());
}

TEST_F(StartPageTest, MissingTextIsLoggedAndSkipsSizeAndPictures)
{
    small.remove("Files/InfoZup.txt");
    frmMainMDI *main = mainWindow();
    frmStart *page = FormRegistry::show<frmStart>();
    EXPECT_TRUE(page->picture().isNull());
    EXPECT_TRUE(main->picture().isNull());
    ASSERT_EQ(dialogs.messages().size(), 1);
    EXPECT_TRUE(logLines().last().contains(" - Module:frmStart Function: Form_Load Error N.53 "));
}

TEST_F(StartPageTest, MissingBackgroundIsLoggedAndLeavesNoPicture)
{
    small.remove("Images/velmo2.jpg");
    frmMainMDI *main = mainWindow();
    frmStart *page = FormRegistry::show<frmStart>();
    EXPECT_FALSE(page->infoText().isEmpty());
    EXPECT_TRUE(page->picture().isNull());
    EXPECT_TRUE(main->picture().isNull());
    EXPECT_TRUE(logLines().last().contains(" - Module:Utility Function: CaricaSfondoForm Error N.53 "));
}

TEST_F(StartPageTest, NoteWindowClosesWithOk)
{
    mainWindow();
    frmNota *nota = FormRegistry::get<frmNota>();
    EXPECT_EQ(nota->windowTitle(), "Nota");
    EXPECT_EQ(nota->Picture1()->size(), QSize(521, 360));
    EXPECT_EQ(nota->Command1()->text(), "Ok");
    EXPECT_EQ(nota->subWindow(), nullptr);  // a dialog, not a work window
    nota->Command1()->click();
    EXPECT_FALSE(FormRegistry::isLoaded<frmNota>());
}

TEST_F(StartPageTest, AWorkWindowOpenedWhileTheTextLoadsClosesThePage)
{
    mainWindow();
    // Runs at the first yield, as a window activated by the user meanwhile would.
    QMetaObject::invokeMethod(QCoreApplication::instance(), [] { UnloadStartPage(); }, Qt::QueuedConnection);
    frmStart *page = FormRegistry::show<frmStart>();
    EXPECT_EQ(page->infoText(), "Prima riga\r\n");  // stopped after the first line
    EXPECT_FALSE(FormRegistry::isLoaded<frmStart>());
    EXPECT_FALSE(page->isVisible());  // not shown again after it was closed
    EXPECT_TRUE(dialogs.calls().isEmpty());
}

TEST_F(StartPageTest, EachLineOfTheTextReachesThePageOnce)
{
    QByteArray text;
    for (int i = 0; i < 2000; ++i)
        text += "Riga " + QByteArray::number(i) + " del testo\r\n";
    small.write("Files/InfoZup.txt", text);
    mainWindow();
    // From the first yield on, every change the page's text view receives is counted.
    int added = 0, removed = 0;
    QMetaObject::invokeMethod(QCoreApplication::instance(), [&] {
        frmStart *page = FormRegistry::find<frmStart>();
        QObject::connect(page->lblInfo()->document(), &QTextDocument::contentsChange, page,
                         [&](int, int charsRemoved, int charsAdded) {
                             added += charsAdded;
                             removed += charsRemoved;
                         });
    }, Qt::QueuedConnection);
    frmStart *page = FormRegistry::show<frmStart>();
    const QString shown = QString::fromLatin1(text).remove('\r');
    EXPECT_EQ(page->lblInfo()->toPlainText(), shown);
    EXPECT_EQ(removed, 0);
    EXPECT_EQ(added, shown.size() - QString("Riga 0 del testo\n").size());
}
