// The print layout: loading from the map window, editing handlers, hit test, dragging, printing to PDF.
#include "FullFolder.h"
#include "PrintFixture.h"

#include "app/maps/PagePreview.h"
#include "app/maps/PrintLayout.h"

#include "forms/FontFamilies.h"
#include "forms/Printers.h"

#include <QAbstractButton>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLayout>
#include <QLineEdit>
#include <QListWidget>
#include <QPainter>
#include <QProcess>
#include <QPushButton>
#include <QRegularExpression>
#include <QSlider>
#include <QTabWidget>

namespace printtest {

namespace {

using pendra::PrintLayout;

struct Entry {
    QString font;
    qint16 size = 0;
    QString text;
    float x = 0, y = 0;
    double color = 0, square = 0;
};

Entry entryOf(PrintLayout &l, int i)
{
    Entry e;
    qint16 index = qint16(i);
    com::check(l.Leggenda->get_FontName(&index, &e.font));
    com::check(l.Leggenda->get_FontSize(&index, &e.size));
    com::check(l.Leggenda->get_Testo(&index, &e.text));
    com::check(l.Leggenda->get_X(&index, &e.x));
    com::check(l.Leggenda->get_y(&index, &e.y));
    com::check(l.Leggenda->get_Color(&index, &e.color));
    com::check(l.Leggenda->get_QColor(&index, &e.square));
    return e;
}

struct Block {
    QString font, size, text;
    float x = 0, y = 0;
    double color = 0;
};

Block blockOf(kvr::_cls_Titolo *t)
{
    Block b;
    com::check(t->get_FontName(&b.font));
    com::check(t->get_FontSize(&b.size));
    com::check(t->get_Testo(&b.text));
    com::check(t->get_X(&b.x));
    com::check(t->get_y(&b.y));
    com::check(t->get_Colore(&b.color));
    return b;
}

// Top, bottom, right, left.
QVector<float> borderOf(PrintLayout &l)
{
    float s = 0, i = 0, d = 0, n = 0;
    com::check(l.Bordo->get_MargineSuperiore(&s));
    com::check(l.Bordo->get_MargineInferiore(&i));
    com::check(l.Bordo->get_MargineDestro(&d));
    com::check(l.Bordo->get_MargineSinistro(&n));
    return {s, i, d, n};
}

TEST_F(PrintTest, LoadsTheLayoutFromTheMapWindow)
{
    ASSERT_TRUE(open());
    PrintLayout &l = *window->layout();
    EXPECT_EQ(window->windowTitle(), QStringLiteral("Stampa cartogramma"));
    EXPECT_FALSE(QFile::exists(source.snapshotPath)) << "the snapshot file is deleted after loading";
    EXPECT_EQ(source.snapshotPath, scratch(QStringLiteral("program/temp.emf")));
    EXPECT_TRUE(l.hasMap);
    // 400 x 300 pixels at 96 dpi.
    EXPECT_NEAR(l.larghezzaMappa, 400.0 / 96, 1e-9);
    EXPECT_NEAR(l.altezzaMappa, 300.0 / 96, 1e-9);
    EXPECT_NEAR(l.mappaX, 0.578, 1e-9);
    EXPECT_NEAR(l.mappaY, 1.007, 1e-9);
    EXPECT_NEAR(l.zoom, 0.65, 1e-9);
    EXPECT_EQ(window->Slider1->value(), 65);

    const Block title = blockOf(l.Titolo.get());
    EXPECT_EQ(title.font, QStringLiteral("DejaVu Sans"));
    EXPECT_EQ(title.size, QStringLiteral("14"));
    EXPECT_EQ(title.text, QStringLiteral("Inserire un Titolo"));
    EXPECT_FLOAT_EQ(title.x, 2.948f);
    EXPECT_FLOAT_EQ(title.y, 0.493f);
    const Block desc = blockOf(l.Descrizione.get());
    EXPECT_EQ(desc.font, QStringLiteral("DejaVu Sans"));
    EXPECT_EQ(desc.size, QStringLiteral("6"));
    EXPECT_EQ(desc.text, QStringLiteral("Popolazione residente al 2001"));
    EXPECT_FLOAT_EQ(desc.x, 1.0f);
    EXPECT_FLOAT_EQ(desc.y, 10.0f);
    EXPECT_EQ(window->txtDesc->text(), desc.text);
    EXPECT_EQ(window->cmb_Fontsize->currentText(), QStringLiteral("14"));
    EXPECT_EQ(window->cmb_LFontSize->currentText(), QStringLiteral("8"));
    EXPECT_EQ(window->cmbDesc_DimFont->currentText(), QStringLiteral("6"));
    EXPECT_EQ(window->cmb_Font->count(), 17);
    EXPECT_EQ(window->cmb_Font->itemText(0), QStringLiteral("Carattere 00"));

    ASSERT_EQ(l.legendCount(), 4);
    const double squares[] = {0x0000FF, 0x00FF00, 0xFF0000, 0xFFFFFF};
    for (int i = 0; i < 4; ++i) {
        const Entry e = entryOf(l, i);
        EXPECT_EQ(e.text, source.rows[i].label);
        EXPECT_EQ(e.square, squares[i]);
        EXPECT_EQ(e.size, 8);
        EXPECT_EQ(e.font, QStringLiteral("DejaVu Sans"));
        EXPECT_EQ(e.color, 0);
        EXPECT_FLOAT_EQ(e.x, 1.3f);
        EXPECT_NEAR(e.y, 8.0 + i / 3.0, 1e-5);
    }
    ASSERT_EQ(window->lst_leggenda->count(), 5);
    EXPECT_EQ(window->lst_leggenda->currentRow(), 0);
    EXPECT_EQ(window->lst_leggenda->item(4)->text(), QStringLiteral("Dato non presente"));

    // A4 page: 210 x 297 mm.
    const QVector<float> border = borderOf(l);
    EXPECT_NEAR(border[0], 0.5, 1e-5);
    EXPECT_NEAR(border[1], 297 / 25.4 - 0.5, 1e-3);
    EXPECT_NEAR(border[2], 210 / 25.4 - 0.5, 1e-3);
    EXPECT_NEAR(border[3], 0.5, 1e-5);
    for (QCheckBox *box : {window->Chk_Titolo, window->chk_Cartina, window->chk_Bordo, window->chk_Leggenda, window->chkDesc})
        EXPECT_TRUE(box->isChecked());
    EXPECT_TRUE(window->txtEditLegenda->isHidden());
    // The window opens large enough to show the whole page beside the tabs.
    window->QWidget::layout()->activate();
    EXPECT_TRUE(window->rect().contains(window->Picture1->geometry()))
        << window->width() << "x" << window->height();

    // Read once: the map window changing afterwards does not reach the open layout.
    source.rows.removeLast();
    pendra::ShowPrintMappa(source);
    EXPECT_EQ(l.legendCount(), 4);
}

// Columns of `row` of `image` holding `colour`: the first and the last (-1, -1 when none).
QPair<int, int> spanOf(const QImage &image, int row, QRgb colour)
{
    int first = -1, last = -1;
    for (int x = 0; x < image.width(); ++x)
        if (image.pixel(x, row) == colour) {
            if (first < 0)
                first = x;
            last = x;
        }
    return {first, last};
}

// The rectangle in page inches of the pixels of `image` holding `colour` (empty when none).
QRectF drawnRect(const QImage &image, QRgb colour, pendra::PageScale scale)
{
    QRect box;
    for (int y = 0; y < image.height(); ++y) {
        const auto [first, last] = spanOf(image, y, colour);
        if (first >= 0)
            box |= QRect(first, y, last - first + 1, 1);
    }
    return QRectF(box.x() / scale.x, box.y() / scale.y, box.width() / scale.x, box.height() / scale.y);
}

TEST_F(PrintTest, ThePrintedMapMatchesThePreviewInsideTheBorder)
{
    struct Case {
        QSize view;
        double width;  // the drawn map's width in page inches
    };
    const Case cases[] = {
        {{545, 400}, 545 / 96.0 * 0.65 * 1.85},  // 6.83 inches: it fits as it is
        {{1078, 742}, 7.77 - 0.578},             // a maximised map window: fitted to the border
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.view.width());
        source.view = c.view;
        ASSERT_TRUE(open());
        PrintLayout &l = *window->layout();
        const float right = borderOf(l)[2];
        EXPECT_NEAR(l.larghezzaMappa / l.altezzaMappa, double(c.view.width()) / c.view.height(), 1e-6)
            << "the view keeps its shape";

        const pendra::PageScale previewScale = window->previewScale();
        const QRectF preview = drawnRect(window->renderPage(), FixtureSource::MapColour, previewScale);
        EXPECT_NEAR(preview.left(), 0.578, 0.03);
        EXPECT_NEAR(preview.width(), c.width, 0.04);
        // Within a pixel: the fitted map reaches the border, which is drawn over it.
        EXPECT_LE(preview.right(), right + 1 / previewScale.x);
        EXPECT_LE(preview.bottom(), 8.0) << "above the legend";

        // On paper: a 150-dpi page drawn at the print scale.
        const double dpi = 150;
        QImage paper(qRound(210 / 25.4 * dpi), qRound(297 / 25.4 * dpi), QImage::Format_RGB32);
        paper.setDotsPerMeterX(qRound(dpi / 0.0254));
        paper.setDotsPerMeterY(qRound(dpi / 0.0254));
        paper.fill(Qt::white);
        l.scalaStampa = 1.85;
        {
            QPainter painter(&paper);
            l.regola(painter, pendra::PageScale{dpi, dpi});
        }
        l.scalaStampa = 1.0;
        const QRectF printed = drawnRect(paper, FixtureSource::MapColour, pendra::PageScale{dpi, dpi});
        for (const auto &[p, q] : {std::pair{printed.left(), preview.left()}, {printed.top(), preview.top()},
                                   {printed.right(), preview.right()}, {printed.bottom(), preview.bottom()}})
            EXPECT_NEAR(p, q, 0.03) << "printed as previewed";
        EXPECT_LE(printed.right(), right + 1 / dpi);

        window->unload();
        window = nullptr;
    }
}

TEST_F(PrintTest, TheMapKeepsItsPageSizeOnADeviceOfAnyResolution)
{
    ASSERT_TRUE(open());
    PrintLayout &l = *window->layout();
    l.scalaStampa = 1.85;  // as while printing
    // The red block fills x 100-300, y 75-225 of the 400 x 300 pixel map.
    const double width = 400.0 / 96 * 0.65 * 1.85, height = 300.0 / 96 * 0.65 * 1.85;
    for (const int dpi : {72, 150}) {
        QImage image(qRound(8.27 * dpi), qRound(11.7 * dpi), QImage::Format_RGB32);
        image.setDotsPerMeterX(qRound(dpi / 0.0254));
        image.setDotsPerMeterY(qRound(dpi / 0.0254));
        image.fill(Qt::white);
        {
            QPainter painter(&image);
            l.regola(painter, pendra::PageScale{double(dpi), double(dpi)});
        }
        const auto [left, right] = spanOf(image, qRound((1.007 + height / 2) * dpi), qRgb(255, 0, 0));
        EXPECT_NEAR(left, (0.578 + width / 4) * dpi, 1.5) << dpi;
        EXPECT_NEAR(right, (0.578 + width * 3 / 4) * dpi, 1.5) << dpi;
    }
}

TEST_F(PrintTest, EveryControlCarriesItsCaptionAsAccessibleName)
{
    ASSERT_TRUE(open());
    for (QAbstractButton *b : window->findChildren<QAbstractButton *>()) {
        if (b->text().isEmpty())
            continue;  // the tab bar's scroll arrows
        EXPECT_TRUE(b->accessibleName().contains(b->text())) << b->objectName().toStdString();
    }
    for (QWidget *w : window->findChildren<QWidget *>()) {
        if (qobject_cast<QComboBox *>(w) || qobject_cast<QLineEdit *>(w) || qobject_cast<QSlider *>(w) ||
            qobject_cast<QListWidget *>(w) || qobject_cast<QTabWidget *>(w)) {
            if (w->parent() && qobject_cast<QComboBox *>(w->parent()))
                continue;  // a combo box's own editor
            EXPECT_FALSE(w->accessibleName().isEmpty()) << w->objectName().toStdString();
        }
    }
    EXPECT_EQ(window->cmb_Font->accessibleName(), QStringLiteral("Tipo Carattere"));
    EXPECT_EQ(window->cmbDesc_DimFont->accessibleName(), QStringLiteral("Grandezza Carattere"));
    EXPECT_EQ(window->Slider1->accessibleName(), QStringLiteral("Grandezza"));
    EXPECT_EQ(window->txtDesc->accessibleName(), QStringLiteral("Testo"));
    EXPECT_TRUE(window->borderButton(QStringLiteral("cmd_marInfmen"))->accessibleName().contains(QStringLiteral("Margine Inferiore")));
    EXPECT_FALSE(window->Picture1->accessibleName().isEmpty());
    const QStringList tabs = {QStringLiteral("Titolo"), QStringLiteral("Cartogramma"), QStringLiteral("Bordo"),
                              QStringLiteral("Legenda"), QStringLiteral("Descrizione")};
    ASSERT_EQ(window->SSTab1->count(), 5);
    for (int i = 0; i < 5; ++i)
        EXPECT_EQ(window->SSTab1->tabText(i), tabs[i]);
}

TEST_F(PrintTest, AFailedSnapshotIsLoggedAndTheRestOfThePageLoads)
{
    source.failSnapshot = true;
    ASSERT_TRUE(open());
    EXPECT_FALSE(window->layout()->hasMap);
    EXPECT_EQ(window->layout()->legendCount(), 4);
    ASSERT_EQ(logLines().size(), 1);
    EXPECT_TRUE(logLines()[0].contains(QStringLiteral("Esportazione della mappa non riuscita")));
    EXPECT_FALSE(dialogs.messages().isEmpty());
}

TEST_F(PrintTest, DefaultFontIsItemThirteenOrTheNearestProportionalFamily)
{
    struct Case {
        QStringList families;
        int expected;
    };
    QStringList fourteen;
    for (int i = 0; i < 13; ++i)
        fourteen << QStringLiteral("F%1").arg(i, 2, 10, QLatin1Char('0'));
    const QStringList mono13 = fourteen + QStringList{QStringLiteral("G Mono"), QStringLiteral("H Sans")};
    const QStringList symbolLast = fourteen + QStringList{QStringLiteral("Symbol")};
    const Case cases[] = {
        {fourteen + QStringList{QStringLiteral("G")}, 13},
        {mono13, 14},
        {symbolLast, 12},
        {{QStringLiteral("A"), QStringLiteral("B Mono")}, 0},
        {{}, -1},
    };
    for (const Case &c : cases)
        EXPECT_EQ(forms::defaultFontIndex(c.families), c.expected) << c.families.join(',').toStdString();
    EXPECT_EQ(forms::fontFamilies().at(13), QStringLiteral("DejaVu Sans")) << "sorted without regard to case";
}

TEST_F(PrintTest, EachBorderButtonMovesItsSideByOneFifthOfAnInch)
{
    ASSERT_TRUE(open());
    struct Case {
        const char *button;
        int side;  // top, bottom, right, left
        double delta;
    };
    const Case cases[] = {
        {"cmd_margSuppiu", 0, +0.2}, {"cmd_margSupmen", 0, -0.2}, {"cmd_marInfmen", 1, -0.2}, {"cmd_marInfpiu", 1, +0.2},
        {"cmd_mardesmen", 2, -0.2},  {"cmd_mardespiu", 2, +0.2},  {"cmd_marsinpiu", 3, +0.2}, {"cmd_marsinmen", 3, -0.2},
    };
    for (const Case &c : cases) {
        const QVector<float> before = borderOf(*window->layout());
        QPushButton *button = window->borderButton(QString::fromLatin1(c.button));
        ASSERT_TRUE(button) << c.button;
        button->click();
        const QVector<float> after = borderOf(*window->layout());
        for (int side = 0; side < 4; ++side)
            EXPECT_NEAR(after[side] - before[side], side == c.side ? c.delta : 0, 1e-5) << c.button << " side " << side;
    }
    window->cmd_GrP->click();
    EXPECT_NEAR(window->layout()->grandezzaQuadrato, 0.4, 1e-9);
    window->cmd_GrM->click();
    window->cmd_GrM->click();
    EXPECT_NEAR(window->layout()->grandezzaQuadrato, 0.2, 1e-9);
}

TEST_F(PrintTest, RightClickSelectsTheElementUnderThePointer)
{
    ASSERT_TRUE(open());
    QStringList offered;
    int answer = -1;
    window->setPopupChooser([&](const QStringList &names, QPoint) {
        offered = names;
        return answer;
    });
    const auto rightClick = [&](double x, double y) {
        window->SSTab1->setCurrentIndex(4);
        window->lst_leggenda->setCurrentRow(0);
        offered.clear();
        window->Picture1_MouseDown(Qt::RightButton, at(x, y), QPoint());
    };

    rightClick(1.6, 8.0 + 2 / 3.0 + 0.1);  // the text of entry 2
    EXPECT_EQ(window->SSTab1->currentIndex(), 3);
    EXPECT_EQ(window->lst_leggenda->currentRow(), 3);
    EXPECT_TRUE(offered.isEmpty());

    rightClick(1.15, 9.1);  // the no-data row's square
    EXPECT_EQ(window->lst_leggenda->currentRow(), 4);

    rightClick(3.0, 0.6);  // the title alone
    EXPECT_EQ(window->SSTab1->currentIndex(), 0);

    for (const QPointF &p : {QPointF(7.0, 7.0), QPointF(1.05, 10.05)}) {  // empty paper, the description
        rightClick(p.x(), p.y());
        EXPECT_EQ(window->SSTab1->currentIndex(), 4) << p.x() << "," << p.y();
    }
    // The map ends where it is drawn: 400 px at 96 dpi, zoom 0.65, times 1.85 -> 5.010 inches from 0.578.
    rightClick(0.578 + 5.00, 2.0);
    EXPECT_EQ(window->SSTab1->currentIndex(), 1);
    rightClick(0.578 + 5.03, 2.0);
    EXPECT_EQ(window->SSTab1->currentIndex(), 4);
    rightClick(1.0, 1.007 + 3.75);  // near the bottom: 300 px -> 3.758 inches
    EXPECT_EQ(window->SSTab1->currentIndex(), 1);

    // The title dragged over the map: both are offered.
    window->SSTab1->setCurrentIndex(0);
    window->Picture1_MouseMove(Qt::LeftButton, at(1.0, 1.5));
    answer = -1;
    rightClick(1.1, 1.6);
    EXPECT_EQ(offered, QStringList({QStringLiteral("Titolo"), QStringLiteral("Mappa")}));
    EXPECT_EQ(window->SSTab1->currentIndex(), 4) << "a popup closed without a choice changes nothing";
    answer = 1;
    rightClick(1.1, 1.6);
    EXPECT_EQ(window->SSTab1->currentIndex(), 1);
    answer = 0;
    rightClick(1.1, 1.6);
    EXPECT_EQ(window->SSTab1->currentIndex(), 0);

    // The legend is tested before the title: over entry 1 both are offered, the legend first.
    window->SSTab1->setCurrentIndex(0);
    window->Picture1_MouseMove(Qt::LeftButton, at(1.5, 8.3));
    answer = 0;
    rightClick(1.6, 8.0 + 1 / 3.0 + 0.1);
    EXPECT_EQ(offered, QStringList({QStringLiteral("Leggenda"), QStringLiteral("Titolo")}));
    EXPECT_EQ(window->SSTab1->currentIndex(), 3);
    EXPECT_EQ(window->lst_leggenda->currentRow(), 2);
}

TEST_F(PrintTest, LegendItemZeroActsOnEveryEntryAndItemKOnEntryKMinusOne)
{
    ASSERT_TRUE(open());
    PrintLayout &l = *window->layout();
    window->lst_leggenda->setCurrentRow(0);
    window->cmb_LFontSize->setCurrentIndex(11);  // "12"
    for (int i = 0; i < 4; ++i)
        EXPECT_EQ(entryOf(l, i).size, 12) << i;
    window->lst_leggenda->setCurrentRow(2);
    window->cmb_LFontSize->setCurrentIndex(19);  // "20"
    for (int i = 0; i < 4; ++i)
        EXPECT_EQ(entryOf(l, i).size, i == 1 ? 20 : 12) << i;
    window->cmb_LFont->setCurrentIndex(0);
    EXPECT_EQ(entryOf(l, 1).font, QStringLiteral("Carattere 00"));
    EXPECT_EQ(entryOf(l, 0).font, QStringLiteral("DejaVu Sans"));

    // The colour: every entry from item 0, the no-data row alone from item 4.
    window->lst_leggenda->setCurrentRow(0);
    dialogs.answerColor(0x0000C0);
    window->lbl_coloreleggenda->click();
    window->lst_leggenda->setCurrentRow(4);
    dialogs.answerColor(0x00C000);
    window->lbl_coloreleggenda->click();
    dialogs.answerColor(std::nullopt);  // cancelled: unchanged
    window->lbl_coloreleggenda->click();
    for (int i = 0; i < 4; ++i)
        EXPECT_EQ(entryOf(l, i).color, i == 3 ? 0x00C000 : 0x0000C0) << i;
    // Selecting item k shows entry k - 1's colour on the swatch; item 0 leaves the swatch as it is.
    window->lst_leggenda->setCurrentRow(1);
    EXPECT_EQ(window->lbl_coloreleggenda->property("oleColor").toDouble(), 0x0000C0);
    window->lst_leggenda->setCurrentRow(4);
    EXPECT_EQ(window->lbl_coloreleggenda->property("oleColor").toDouble(), 0x00C000);
    window->lst_leggenda->setCurrentRow(0);
    EXPECT_EQ(window->lbl_coloreleggenda->property("oleColor").toDouble(), 0x00C000);

    // The in-place editor: the no-data row is edited alone, item 0 is not an entry.
    window->lst_leggenda->setCurrentRow(4);
    window->lst_leggenda_DblClick();
    EXPECT_FALSE(window->txtEditLegenda->isHidden());
    EXPECT_EQ(window->txtEditLegenda->text(), QStringLiteral("Dato non presente"));
    window->txtEditLegenda->setText(QStringLiteral("Nessun dato"));
    window->cmdEditOk_Click();
    EXPECT_TRUE(window->txtEditLegenda->isHidden());
    EXPECT_EQ(window->lst_leggenda->currentRow(), 0);
    for (int i = 0; i < 4; ++i)
        EXPECT_EQ(entryOf(l, i).text, i == 3 ? QStringLiteral("Nessun dato") : source.rows[i].label) << i;
    window->lst_leggenda->setCurrentRow(0);
    window->lst_leggenda_DblClick();
    EXPECT_TRUE(window->txtEditLegenda->isHidden());
}

TEST_F(PrintTest, DraggingMovesTheElementOfTheCurrentTab)
{
    ASSERT_TRUE(open());
    PrintLayout &l = *window->layout();
    const auto drag = [&](int tab, int item, double x, double y, Qt::MouseButtons buttons = Qt::LeftButton) {
        window->SSTab1->setCurrentIndex(tab);
        window->lst_leggenda->setCurrentRow(item);
        window->Picture1_MouseMove(buttons, at(x, y));
    };
    drag(0, 0, 2.0, 1.0);
    EXPECT_NEAR(blockOf(l.Titolo.get()).x, 2.0, 0.01);
    EXPECT_NEAR(blockOf(l.Titolo.get()).y, 1.0, 0.01);
    drag(1, 0, 1.5, 2.5);
    EXPECT_NEAR(l.mappaX, 1.5, 0.01);
    EXPECT_NEAR(l.mappaY, 2.5, 0.01);
    drag(4, 0, 0.8, 10.5);
    EXPECT_NEAR(blockOf(l.Descrizione.get()).x, 0.8, 0.01);
    EXPECT_NEAR(blockOf(l.Descrizione.get()).y, 10.5, 0.01);

    drag(3, 0, 5.0, 6.0);
    for (int i = 0; i < 4; ++i) {
        EXPECT_NEAR(entryOf(l, i).x, 5.0, 0.01) << i;
        EXPECT_NEAR(entryOf(l, i).y, 6.0 + i / 3.0, 0.01) << i;
    }
    drag(3, 2, 1.0, 1.0);
    EXPECT_NEAR(entryOf(l, 1).x, 1.0, 0.01);
    EXPECT_NEAR(entryOf(l, 0).x, 5.0, 0.01);
    EXPECT_NEAR(entryOf(l, 2).x, 5.0, 0.01);

    // The border tab, or another button held with the left one, moves nothing.
    const Block title = blockOf(l.Titolo.get());
    const QVector<float> border = borderOf(l);
    drag(2, 0, 4.0, 4.0);
    drag(0, 0, 4.0, 4.0, Qt::LeftButton | Qt::RightButton);
    EXPECT_EQ(blockOf(l.Titolo.get()).x, title.x);
    EXPECT_EQ(borderOf(l), border);
    EXPECT_NEAR(l.mappaX, 1.5, 0.01);
}

TEST_F(PrintTest, EmptiedTitleHidesItAndTickingBringsTheDefaultBack)
{
    ASSERT_TRUE(open());
    window->txt_Titolo->setText(QStringLiteral("   "));
    window->txt_Titolo_LostFocus();
    EXPECT_FALSE(window->Chk_Titolo->isChecked());
    EXPECT_FALSE(window->cmb_Font->isEnabled());
    EXPECT_FALSE(window->layout()->titoloVisible);
    window->Chk_Titolo->setChecked(true);
    EXPECT_EQ(window->txt_Titolo->text(), QStringLiteral("Inserire un Titolo"));
    EXPECT_EQ(blockOf(window->layout()->Titolo.get()).text, QStringLiteral("Inserire un Titolo"));
    EXPECT_TRUE(window->cmb_Font->isEnabled());

    window->txtDesc->setText(QString());
    window->txtDesc_LostFocus();
    EXPECT_FALSE(window->chkDesc->isChecked());
    window->chkDesc->setChecked(true);
    EXPECT_EQ(window->txtDesc->text(), QStringLiteral("Inserire una decrizione della variabile"));

    for (QCheckBox *box : {window->Chk_Titolo, window->chk_Cartina, window->chk_Bordo, window->chk_Leggenda, window->chkDesc})
        box->setChecked(false);
    const QImage page = window->renderPage();
    EXPECT_EQ(page.size(), window->Picture1->size());
    QImage white(page.size(), page.format());
    white.fill(Qt::white);
    EXPECT_EQ(page, white) << "with every box cleared the page stays empty";
}

TEST_F(PrintTest, AColourButtonDisabledByItsVisibleBoxLooksDisabled)
{
    ASSERT_TRUE(open());
    window->show();
    struct Case {
        QCheckBox *visible;
        QPushButton *colour;
    };
    for (const Case &c : {Case{window->Chk_Titolo, window->lbl_colore}, Case{window->chkDesc, window->lblDesc_Colore}}) {
        SCOPED_TRACE(c.colour->objectName().toStdString());
        window->SSTab1->setCurrentWidget(c.colour->parentWidget());
        // Left of the caption, on the swatch's own paint.
        auto swatch = [&] { return c.colour->grab().toImage().pixelColor(c.colour->width() / 8, c.colour->height() / 2); };
        const QColor enabled = swatch();
        EXPECT_EQ(enabled, QColor(Qt::black));
        c.visible->setChecked(false);
        EXPECT_FALSE(c.colour->isEnabled());
        EXPECT_GT(swatch().lightness(), enabled.lightness() + 60);
        c.visible->setChecked(true);
        EXPECT_EQ(swatch(), enabled);
    }
}

// Words of a PDF with their boxes in points, from pdftotext -bbox.
struct Word {
    QString text;
    double xMin, yMin, xMax, yMax;
};

QVector<Word> pdfWords(const QString &pdf)
{
    QProcess p;
    p.start(QStringLiteral("pdftotext"), {QStringLiteral("-bbox"), pdf, QStringLiteral("-")});
    p.waitForFinished();
    QVector<Word> words;
    static const QRegularExpression re(
        QStringLiteral(R"re(<word xMin="([\d.]+)" yMin="([\d.]+)" xMax="([\d.]+)" yMax="([\d.]+)">([^<]*)</word>)re"));
    auto it = re.globalMatch(QString::fromUtf8(p.readAllStandardOutput()));
    while (it.hasNext()) {
        const auto m = it.next();
        words.append({m.captured(5), m.captured(1).toDouble(), m.captured(2).toDouble(), m.captured(3).toDouble(),
                      m.captured(4).toDouble()});
    }
    return words;
}

TEST_F(PrintTest, PrintsToAPdfWithFontSizesTimesOnePointEightyFive)
{
    ASSERT_TRUE(open());
    const QString pdf = scratch(QStringLiteral("stampa.pdf"));
    dialogs.answerFile(pdf);
    window->cmdStampa_Click();
    EXPECT_EQ(window->layout()->scalaStampa, 1.0);
    ASSERT_TRUE(QFile::exists(pdf));
    const QVector<Word> words = pdfWords(pdf);
    ASSERT_FALSE(words.isEmpty()) << "pdftotext (poppler-utils) is needed";
    const auto find = [&](const QString &text) {
        for (const Word &w : words)
            if (w.text == text)
                return w;
        ADD_FAILURE() << text.toStdString() << " not printed";
        return Word{};
    };
    // Positions stay in page inches (72 points each); sizes grow by 1.85.
    struct Case {
        const char *word;
        double x, y, points;
    };
    const Case cases[] = {
        {"Inserire", 2.948, 0.493, 14 * 1.85},
        {"Popolazione", 1.0, 10.0, 6 * 1.85},
        {"Dato", 1.5, 8.0 + 3 / 3.0, 8 * 1.85},
    };
    for (const Case &c : cases) {
        const Word w = find(QString::fromLatin1(c.word));
        EXPECT_NEAR(w.xMin, c.x * 72, 1.5) << c.word;
        EXPECT_NEAR(w.yMin, c.y * 72, 2.5) << c.word;
        // The box of a line of DejaVu Sans is 1.16 times its size.
        EXPECT_NEAR((w.yMax - w.yMin) / c.points, 1.16, 0.08) << c.word;
    }
    EXPECT_EQ(dialogs.calls(forms::DialogCall::SaveFile).size(), 1);
}

TEST_F(PrintTest, CancelledPrintingPrintsNothing)
{
    ASSERT_TRUE(open());
    window->cmdStampa_Click();  // no file chosen
    EXPECT_EQ(dialogs.calls(forms::DialogCall::Printer).size(), 0);

    forms::setHasPrinter(true);
    const QString pdf = scratch(QStringLiteral("never.pdf"));
    window->printer().setOutputFormat(QPrinter::PdfFormat);
    window->printer().setOutputFileName(pdf);
    dialogs.answerPrinter(false);
    window->cmdStampa_Click();
    EXPECT_EQ(dialogs.calls(forms::DialogCall::Printer).size(), 1);
    EXPECT_FALSE(QFile::exists(pdf));
    EXPECT_EQ(window->layout()->scalaStampa, 1.0);

    dialogs.answerPrinter(true);
    window->cmdStampa_Click();
    EXPECT_TRUE(QFile::exists(pdf)) << "the chosen printer prints";
    EXPECT_TRUE(logLines().isEmpty());
}

}  // namespace
}  // namespace printtest

namespace printtest {
namespace {

// Printing over an existing PDF on a full disk, and a new one: the old file stays whole, nothing
// new appears, and the user reads in Italian that the file was not written.
TEST_F(PrintTest, APdfThatCannotBeWrittenLeavesTheOldOneAndSaysSo)
{
    ASSERT_TRUE(open());
    fixtures::FullFolder full(scratch(QStringLiteral("pieno")), 64);
    if (!full.mounted())
        GTEST_SKIP() << "cannot mount a tmpfs here";
    const QString pdf = full.path() + QStringLiteral("/carta.pdf");
    dialogs.answerFile(pdf);
    window->cmdStampa_Click();
    QFile written(pdf);
    ASSERT_TRUE(written.open(QIODevice::ReadOnly));
    const QByteArray old = written.readAll();
    written.close();
    ASSERT_TRUE(old.trimmed().endsWith("%%EOF"));
    EXPECT_EQ(dialogs.messages(),
              QStringList({QStringLiteral("Nessuna stampante installata: la stampa sarà salvata in un file PDF.")}));

    full.fill();
    const QString fresh = full.path() + QStringLiteral("/nuova.pdf");
    for (const QString &target : {pdf, fresh}) {
        SCOPED_TRACE(target.toStdString());
        dialogs.clear();
        dialogs.answerFile(target);
        window->cmdStampa_Click();
        ASSERT_EQ(dialogs.messages().size(), 2);
        EXPECT_EQ(dialogs.messages()[1],
                  QStringLiteral("Errore : Impossibile scrivere il file %1 (disco pieno) Il File Error.log è stato riempito.")
                      .arg(target));
    }
    QFile kept(pdf);
    ASSERT_TRUE(kept.open(QIODevice::ReadOnly));
    EXPECT_EQ(kept.readAll(), old);
    EXPECT_EQ(QDir(full.path()).entryList(QDir::Files | QDir::Hidden), (QStringList{QStringLiteral(".riempitivo"), QStringLiteral("carta.pdf")}));
    EXPECT_EQ(window->layout()->scalaStampa, 1.0);
}

}  // namespace
}  // namespace printtest
