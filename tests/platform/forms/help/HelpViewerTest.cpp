// The help window, offscreen: the page a context id opens, reuse, resources and page decoding.
#include "HelpTopics.h"

#include "forms/help/ChmFile.h"
#include "forms/help/HelpBrowser.h"
#include "forms/help/HelpViewer.h"
#include "forms/help/HelpWindow.h"
#include "vb/Error.h"

#include <QCoreApplication>
#include <QEvent>
#include <QImage>
#include <QTemporaryDir>
#include <QTreeWidget>

#include <gtest/gtest.h>

namespace {

using forms::HelpBrowser;
using forms::HelpWindow;

const QString Chm = QStringLiteral(HELP_CHM);

HelpWindow *open(qint32 contextId)
{
    forms::showHelp(Chm, contextId);
    return forms::helpWindow();
}

TEST(HelpViewer, OpensThePageOfEveryContextId)
{
    for (const auto &t : helptest::mappedTopics()) {
        SCOPED_TRACE(t.contextId);
        HelpWindow *w = open(t.contextId);
        ASSERT_NE(w, nullptr);
        EXPECT_TRUE(w->isVisible());
        EXPECT_EQ(w->browser()->documentTitle(), QString::fromUtf8(t.title));
        EXPECT_EQ(w->browser()->source().path(), QString::fromUtf8(t.page));
        EXPECT_EQ(w->windowTitle(), QString::fromUtf8(t.title) + QStringLiteral(" - Guida di Pendra"));
    }
}

TEST(HelpViewer, UnmappedIdsOpenTheFirstPage)
{
    for (qint32 id : helptest::unmappedIds()) {
        SCOPED_TRACE(id);
        HelpWindow *w = open(1200);  // away from the first page, so each id really moves
        w = open(id);
        EXPECT_EQ(w->browser()->documentTitle(), QString::fromUtf8(helptest::FirstTitle));
        EXPECT_EQ(w->browser()->source().path(), QString::fromUtf8(helptest::FirstPage));
        EXPECT_EQ(w->windowTitle().toStdString(), "Guida di Pendra") << "the book's name once";
    }
}

TEST(HelpViewer, ReusesOneWindowOwnedByNoOther)
{
    HelpWindow *first = open(1000);
    HelpWindow *second = open(3000);
    EXPECT_EQ(first, second);
    EXPECT_EQ(second->parentWidget(), nullptr);
    EXPECT_FALSE(second->testAttribute(Qt::WA_QuitOnClose));
    // the same file keeps its history across calls
    second->browser()->backward();
    EXPECT_EQ(second->browser()->documentTitle(), QStringLiteral("Interrogazione dei dati"));

    second->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_EQ(forms::helpWindow(), nullptr);
    HelpWindow *third = open(1100);
    ASSERT_NE(third, nullptr);
    EXPECT_EQ(third->browser()->documentTitle(), QStringLiteral("Visualizza ed esporta dati"));
}

TEST(HelpViewer, MissingFileThrows53AndLeavesTheWindowAsItWas)
{
    HelpWindow *w = open(2100);
    QTemporaryDir dir;
    const QString missing = dir.filePath(QStringLiteral("Helvora.chm"));
    try {
        forms::showHelp(missing, 1000);
        ADD_FAILURE() << "no error";
    } catch (const vb::Error &e) {
        EXPECT_EQ(e.number(), 53);
        EXPECT_EQ(e.description(), QStringLiteral("Il file della Guida %1 non è stato trovato.").arg(missing));
    }
    EXPECT_EQ(forms::helpWindow(), w);
    EXPECT_EQ(w->browser()->documentTitle(), QStringLiteral("Scheda metadati variabili"));
}

TEST(HelpViewer, LoadsPicturesAndStyleFromTheFileRelativeToThePage)
{
    HelpWindow *w = open(1300);
    HelpBrowser *b = w->browser();
    const QVariant png = b->loadResource(QTextDocument::ImageResource, QUrl(QStringLiteral("../immagini/pendra.png")));
    EXPECT_FALSE(QImage::fromData(png.toByteArray()).isNull());
    const QVariant css = b->loadResource(QTextDocument::StyleSheetResource, QUrl(QStringLiteral("../stile.css")));
    EXPECT_TRUE(css.toString().contains(QStringLiteral("h1")));
    const QVariant page = b->loadResource(QTextDocument::HtmlResource, QUrl(QStringLiteral("mappa.html")));
    EXPECT_TRUE(page.toString().contains(QStringLiteral("<title>Modulo cartografico</title>")));

    // a page cannot reach outside the help file
    EXPECT_FALSE(b->loadResource(QTextDocument::HtmlResource, QUrl(QStringLiteral("file:///etc/hostname"))).isValid());
    EXPECT_FALSE(b->loadResource(QTextDocument::ImageResource, QUrl(QStringLiteral("../../../etc/hostname"))).isValid());
}

TEST(HelpViewer, FollowsLinksBetweenPages)
{
    HelpWindow *w = open(0);
    w->browser()->setSource(QUrl(QStringLiteral("pagine/glossario.html")));
    EXPECT_EQ(w->browser()->documentTitle(), QStringLiteral("Glossario"));
    EXPECT_EQ(w->windowTitle(), QStringLiteral("Glossario - Guida di Pendra"));
    w->browser()->setSource(QUrl(QStringLiteral("../index.html")));
    EXPECT_EQ(w->browser()->documentTitle(), QString::fromUtf8(helptest::FirstTitle));
}

TEST(HelpViewer, ContentsListEveryPageUnderItsTitle)
{
    HelpWindow *w = open(0);
    QTreeWidget *tree = w->contents();
    ASSERT_EQ(tree->topLevelItemCount(), 1);
    QTreeWidgetItem *top = tree->topLevelItem(0);
    ASSERT_EQ(top->childCount(), static_cast<int>(helptest::mappedTopics().size()));
    QList<QTreeWidgetItem *> items{top};
    for (int i = 0; i < top->childCount(); ++i)
        items.append(top->child(i));
    for (QTreeWidgetItem *item : items) {
        SCOPED_TRACE(item->text(0).toStdString());
        emit tree->itemClicked(item, 0);
        EXPECT_EQ(w->browser()->documentTitle(), item->text(0));
        EXPECT_EQ(tree->currentItem(), item);
    }
}

TEST(HelpBrowser, DecodesPagesByTheirDeclaredCharacterSet)
{
    struct Case {
        const char *what;
        QByteArray bytes;
    };
    const Case cases[] = {
        {"utf-8 declared", "<meta http-equiv=\"Content-Type\" content=\"text/html; charset=utf-8\">citt\xc3\xa0"},
        {"windows-1252 declared", "<meta http-equiv=\"Content-Type\" content=\"text/html; charset=windows-1252\">citt\xe0"},
        {"html5 declaration", "<meta charset=\"iso-8859-1\">citt\xe0"},
        {"nothing declared", "<p>citt\xc3\xa0"},
        {"nothing declared, not utf-8", "<p>citt\xe0"},
        {"unknown character set", "<meta charset=\"x-sconosciuto\">citt\xe0"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_TRUE(HelpBrowser::decodeHtml(c.bytes).endsWith(QStringLiteral("città")));
    }
}

}  // namespace
