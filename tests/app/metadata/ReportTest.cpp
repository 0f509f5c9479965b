// The three printed reports: queries, labels and values in order in a PDF, printer messages, failures.
#include "FullFolder.h"
#include "MetadataTestSupport.h"

#include "MetadataWindows.h"
#include "frmSchedaIndicatori.h"
#include "frmSchedaVariabili.h"
#include "rptGlossario.h"
#include "rptIndicatori.h"
#include "rptVariabili.h"
#include "app/core/AppState.h"
#include "app/core/Utility.h"

#include "forms/FormRegistry.h"
#include "forms/Printers.h"

#include <QAction>
#include <QApplication>
#include <QLibraryInfo>
#include <QFile>
#include <QPrintPreviewDialog>
#include <QPrintPreviewWidget>
#include <QPrinter>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <QToolButton>
#include <QTranslator>
#include <QTemporaryDir>
#include <string>

using namespace pendra;
using forms::FormRegistry;

namespace {

using ReportTest = metadatatest::MetadataTest;

TEST_F(ReportTest, VariableSheetPrintsItsLabelsAndValuesInOrder)
{
    app().SqlScheda = GetSqlScheda("Variabili", "TE010");
    openSheet(SheetKind::Variabili);
    FormRegistry::find<frmSchedaVariabili>()->cmdStampa->click();
    ASSERT_EQ(shown, QStringList({"Stampa Scheda Variabile"}));
    // No printer: it says the print goes to a PDF file, and the preview comes.
    EXPECT_EQ(dialogs.messages(),
              QStringList({QString::fromUtf8("Nessuna stampante installata: la stampa sarà salvata in un file PDF.")}));
    EXPECT_TRUE(metadatatest::inOrder(
        lastPdf, {"Scheda variabile", "Variabile", "TE010", "Superficie agricola utilizzata", "Argomento", "A01",
                  "Anni disponibili", "1996", "2008", "N.A.", "p", "Unità di misura", "ettari",
                  "Periodo di riferimento dei dati", "annata agraria", "Note sull'intera serie", "Dati dell'indagine",
                  "Note sui singoli anni", "2003", "Dati campionari.", "Fonte", "2003",
                  "Indagine sulla struttura e produzione", "Pubblicazione", "2003", "Struttura e produzioni",
                  "Ente", "2003", "ISTAT"}));
    EXPECT_TRUE(logLines().isEmpty());
}

TEST_F(ReportTest, IndicatorSheetPrintsInOrderAfterTheSamePdfNotice)
{
    forms::setHasPrinter(false);
    app().SqlScheda = GetSqlScheda("Indicatori", "IAG002");
    openSheet(SheetKind::Indicatori);
    FormRegistry::find<frmSchedaIndicatori>()->cmdStampa->click();
    ASSERT_EQ(shown, QStringList({"Stampa Scheda Indicatore"}));
    EXPECT_EQ(dialogs.messages(),
              QStringList({QString::fromUtf8("Nessuna stampante installata: la stampa sarà salvata in un file PDF.")}));
    EXPECT_TRUE(metadatatest::inOrder(
        lastPdf, {"Scheda indicatore", "Indicatore", "IAG002", "Quota di superficie agricola utilizzata", "Argomento",
                  "A01", "Aspetto", "Modalità di calcolo", "Id varibili associate", "TE010, TE001",
                  "Anni disponibili", "1996", "2008", "Note tecniche"}));

    // With a printer, the variable report shows no message either.
    forms::setHasPrinter(true);
    dialogs.clear();
    app().SqlScheda = GetSqlScheda("Variabili", "AS013");
    openSheet(SheetKind::Variabili);
    FormRegistry::find<frmSchedaVariabili>()->cmdStampa->click();
    EXPECT_TRUE(dialogs.messages().isEmpty());
    EXPECT_TRUE(metadatatest::inOrder(lastPdf, {"Scheda variabile", "AS013"}));
}

TEST_F(ReportTest, JoinsWithoutAPartnerBindNoRowAndApostrophesAreSafe)
{
    rptIndicatori indicators;
    ASSERT_TRUE(indicators.InitReport("IAG002"));
    EXPECT_EQ(indicators.details().size(), 1);
    rptVariabili variables;
    ASSERT_TRUE(variables.InitReport("A'S01"));
    EXPECT_TRUE(variables.details().isEmpty());
    EXPECT_EQ(variables.query("A'S01"),
              "SELECT MetadatiVariabili.*, Argomento.[Desc argomento] as descArg FROM Argomento INNER JOIN "
              "MetadatiVariabili ON Argomento.[Codice argomento] = MetadatiVariabili.CodiceArgomento where "
              "idvariabile = 'A''S01';");
    EXPECT_TRUE(logLines().isEmpty());
}

TEST_F(ReportTest, ThePreviewPrintsWithoutTheMouse)
{
    // The sheet's "Stampa" with the preview the program shows, reached and used from the keyboard.
    QTranslator italian;  // as the program installs it at start-up
    ASSERT_TRUE(italian.load("qtbase_it", QLibraryInfo::path(QLibraryInfo::TranslationsPath)));
    QCoreApplication::installTranslator(&italian);
    setReportViewer([](Report &report, QWidget *owner) {
        ReportPreview preview(report, owner);
        QPrintPreviewDialog *dialog = preview.dialog.get();
        const QList<QToolButton *> buttons = dialog->findChildren<QToolButton *>();
        ASSERT_GT(buttons.size(), 10);
        QToolButton *stampa = nullptr;
        for (QToolButton *b : buttons) {
            EXPECT_TRUE(b->focusPolicy() & Qt::TabFocus) << b->text().toStdString();
            if (b->defaultAction() && b->defaultAction()->text() == "Stampa")
                stampa = b;
        }
        ASSERT_NE(stampa, nullptr);  // Qt's catalogue names it in Italian
        // Printing itself asks for a file here: the test only sees that the keys reach the action.
        QAction *print = stampa->defaultAction();
        QObject::disconnect(print, nullptr, dialog, nullptr);
        QSignalSpy triggered(print, &QAction::triggered);
        dialog->resize(1366 * 3 / 5, 768 * 9 / 10);  // as the program sizes it on a 1366x768 screen
        dialog->show();
        dialog->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(dialog));
        QTest::keyClick(dialog, Qt::Key_P, Qt::ControlModifier);
        EXPECT_EQ(triggered.count(), 1);
        QWidget *focus = QApplication::focusWidget();
        for (int i = 0; i < 40 && focus != stampa; ++i) {
            QTest::keyClick(focus, Qt::Key_Tab);
            focus = QApplication::focusWidget();
        }
        ASSERT_EQ(focus, stampa);
        QTest::keyClick(stampa, Qt::Key_Space);
        EXPECT_EQ(triggered.count(), 2);
        dialog->hide();
    });
    app().SqlScheda = GetSqlScheda("Variabili", "TE010");
    openSheet(SheetKind::Variabili);
    FormRegistry::find<frmSchedaVariabili>()->cmdStampa->click();
    QCoreApplication::removeTranslator(&italian);
    EXPECT_TRUE(logLines().isEmpty());
}

TEST_F(ReportTest, GlossaryTermWithApostrophePrints)
{
    rptGlossario report;
    ASSERT_TRUE(report.InitReport("Tasso d'attività"));
    EXPECT_TRUE(metadatatest::inOrder(pdfText(report), {"Glossario", "DENOMINAZIONE:", "Tasso d'attività",
                                                        "DESCRIZIONE:", "Rapporto percentuale tra le forze di lavoro"}));
}

// A report long enough for several pages, with a page header or a report header.
class LongReport : public Report {
public:
    explicit LongReport(bool pageHeader) : Report("rptLungo", "Stampa Lunga"), m_pageHeader(pageHeader) {}
    QString query(const QString &) const override { return "SELECT Nome, Definizione FROM Glossario"; }
    QString heading() const override { return "Intestazione della stampa"; }
    bool headingOnEveryPage() const override { return m_pageHeader; }

protected:
    QVector<ReportBlock> detail(const std::function<QString(const QString &)> &value) const override
    {
        QVector<ReportBlock> blocks;
        for (int i = 0; i < 12; ++i)
            blocks.append(ReportBlock("Voce", {value("definizione")}));
        return blocks;
    }

private:
    bool m_pageHeader;
};

TEST_F(ReportTest, APageHeaderHeadsEveryPageAndAReportHeaderOnlyTheFirst)
{
    for (const bool pageHeader : {true, false}) {
        LongReport report(pageHeader);
        ASSERT_TRUE(report.InitReport(QString()));
        const QStringList pages = pdfText(report).split(u'\f', Qt::SkipEmptyParts);
        ASSERT_GE(pages.size(), 2);
        for (qsizetype i = 0; i < pages.size(); ++i)
            EXPECT_EQ(pages[i].contains("Intestazione della stampa"), pageHeader || i == 0) << "page " << i + 1;
    }
    // The sheets' reports have page headers, the glossary's a report header.
    EXPECT_TRUE(rptVariabili().headingOnEveryPage());
    EXPECT_TRUE(rptIndicatori().headingOnEveryPage());
    EXPECT_FALSE(rptGlossario().headingOnEveryPage());
}

// A text of numbered words: the first word missing from a print shows where it was cut.
QString numberedWords(const QString &stem, int characters)
{
    QString out;
    for (int i = 1; out.size() < characters; ++i)
        out += QStringLiteral("%1%2 ").arg(stem).arg(i, 4, 10, QChar(u'0'));
    return out.trimmed();
}

// The first word of the text that the print lacks or has out of order; empty when it has them all.
std::string firstMissing(const QString &print, const QString &text)
{
    qsizetype at = 0;
    for (const QString &word : text.split(u' ')) {
        const qsizetype found = print.indexOf(word, at);
        if (found < 0)
            return word.toStdString();
        at = found + word.size();
    }
    return {};
}

// The pages from the one where the word stands to the one where the last word stands.
QStringList pagesOf(const QStringList &pages, const QString &text)
{
    const QString first = text.section(u' ', 0, 0), last = text.section(u' ', -1);
    qsizetype from = -1, to = -1;
    for (qsizetype i = 0; i < pages.size(); ++i) {
        if (from < 0 && pages[i].contains(first))
            from = i;
        if (pages[i].contains(last))
            to = i;
    }
    return from < 0 || to < from ? QStringList() : pages.mid(from, to - from + 1);
}

// Texts longer than two pages: a glossary definition and the notes of a variable.
class LongTextReportTest : public ReportTest {
protected:
    void SetUp() override
    {
        ReportTest::SetUp();
        changeMetadati(
            {"INSERT INTO Glossario (nome, definizione, idsettore) VALUES ('Termine lungo', '" + definition + "', 'B')",
             "INSERT INTO MetadatiVariabili (IdVariabile, DescVariabile, CodiceArgomento, NoteSerie, Note_2003, "
             "Fonte_2003) VALUES ('ZZ901', 'Variabile dalle note lunghe', 'A01', '" + seriesNote + "', '" + yearNote +
                 "', 'ISTAT')"},
            {"DELETE FROM Glossario WHERE nome = 'Termine lungo'",
             "DELETE FROM MetadatiVariabili WHERE IdVariabile = 'ZZ901'"});
    }
    // Each page of a split text starts its part with the label of the block.
    static void expectLabelOnEveryPage(const QStringList &pages, const QString &text, const QString &label)
    {
        const QStringList spread = pagesOf(pages, text);
        EXPECT_GE(spread.size(), 3) << "pages: " << pages.size();
        const QString stem = text.left(text.indexOf(u'0'));
        for (qsizetype i = 0; i < spread.size(); ++i) {
            const qsizetype labelAt = spread[i].indexOf(label), textAt = spread[i].indexOf(stem);
            EXPECT_TRUE(labelAt >= 0 && labelAt < textAt) << "page " << i + 1 << ":\n" << spread[i].toStdString();
        }
    }

    const QString definition = numberedWords("glossa", 16000);
    const QString seriesNote = numberedWords("storia", 12000);
    const QString yearNote = numberedWords("annota", 6000);
};

TEST_F(LongTextReportTest, AGlossaryDefinitionFlowsOnOverThePagesUnderItsLabel)
{
    rptGlossario report;
    ASSERT_TRUE(report.InitReport("Termine lungo"));
    const QString print = pdfText(report);
    EXPECT_EQ(firstMissing(print, definition), "");
    expectLabelOnEveryPage(print.split(u'\f', Qt::SkipEmptyParts), definition, "DESCRIZIONE:");
}

TEST_F(LongTextReportTest, LongNotesOfAVariableFlowOnAndEachPartHasItsLabel)
{
    rptVariabili report;
    ASSERT_TRUE(report.InitReport("ZZ901"));
    const QString print = pdfText(report);
    EXPECT_EQ(firstMissing(print, seriesNote), "");
    EXPECT_EQ(firstMissing(print, yearNote), "");
    EXPECT_TRUE(metadatatest::inOrder(print, {seriesNote.section(u' ', -1), "Note sui singoli anni", "2003",
                                              yearNote.section(u' ', 0, 0), yearNote.section(u' ', -1), "Fonte",
                                              "2003", "ISTAT", "Pubblicazione", "Ente"}));
    const QStringList pages = print.split(u'\f', Qt::SkipEmptyParts);
    expectLabelOnEveryPage(pages, seriesNote, "Note sull'intera serie");
    // The yearly notes go on to the next page under their label and their year.
    const QStringList yearPages = pagesOf(pages, yearNote);
    ASSERT_GE(yearPages.size(), 2);
    for (const QString &page : yearPages)
        EXPECT_TRUE(metadatatest::inOrder(page, {"Scheda variabile", "Note sui singoli anni", "2003", "annota"}));
}

TEST_F(LongTextReportTest, TheStampaButtonPrintsTheWholeTextOnThePdfPrinter)
{
    // The sheet's "Stampa" with the preview that comes when no test viewer is installed, printed
    // from it on the printer it offers where no printer is installed.
    setReportViewer([](Report &report, QWidget *owner) {
        ReportPreview preview(report, owner);
        ASSERT_EQ(preview.printer->outputFormat(), QPrinter::PdfFormat);
        EXPECT_EQ(preview.dialog->windowTitle(), "Stampa Scheda Variabile");
        QTemporaryDir dir;
        const QString pdf = dir.filePath("stampa.pdf");
        preview.printer->setOutputFileName(pdf);  // what the print dialog sets
        auto *widget = preview.dialog->findChild<QPrintPreviewWidget *>();
        ASSERT_NE(widget, nullptr);
        widget->print();
        const QString print = metadatatest::pdfFileText(pdf);
        EXPECT_EQ(firstMissing(print, numberedWords("storia", 12000)), "");
        EXPECT_EQ(firstMissing(print, numberedWords("annota", 6000)), "");
        EXPECT_TRUE(metadatatest::inOrder(print, {"Scheda variabile", "ZZ901", "Variabile dalle note lunghe"}));
    });
    app().SqlScheda = GetSqlScheda("Variabili", "ZZ901");
    openSheet(SheetKind::Variabili);
    FormRegistry::find<frmSchedaVariabili>()->cmdStampa->click();
    EXPECT_EQ(dialogs.messages(),
              QStringList({QString::fromUtf8("Nessuna stampante installata: la stampa sarà salvata in un file PDF.")}));
    EXPECT_TRUE(logLines().isEmpty());
}

TEST_F(ReportTest, AReportThatCannotBindSaysSoAndLogs)
{
    app().SqlScheda = GetSqlScheda("Variabili", "AS013");
    openSheet(SheetKind::Variabili);
    app().DataPath = folder->path() + "/Nessuna/";
    FormRegistry::find<frmSchedaVariabili>()->cmdStampa->click();
    EXPECT_TRUE(shown.isEmpty());
    EXPECT_EQ(dialogs.messages().last(), "Impossibile eseguire la stampa");
    EXPECT_EQ(dialogs.calls().last().style, forms::vbOKOnly);
    EXPECT_TRUE(metadatatest::inOrder(logLines().join('\n'), {"rptVariabili", "InitReport"}));
}

}  // namespace

namespace {

// The user's road: the preview's own print on the PDF printer it offers where no printer is
// installed. Its drawing of the pages never touches the file; printing over an existing PDF on a
// full disk keeps the old file and says in Italian that it was not written.
TEST_F(ReportTest, ThePreviewPrintsAPdfWholeOrLeavesTheOldOne)
{
    fixtures::FullFolder full(folder->path() + "/pieno", 128);
    if (!full.mounted())
        GTEST_SKIP() << "cannot mount a tmpfs here";
    const QString pdf = full.path() + "/glossario.pdf";
    QByteArray old;
    setReportViewer([&](Report &report, QWidget *owner) {
        ReportPreview preview(report, owner);
        preview.printer->setOutputFileName(pdf);  // what the print dialog sets
        auto *widget = preview.dialog->findChild<QPrintPreviewWidget *>();
        ASSERT_NE(widget, nullptr);
        widget->updatePreview();
        EXPECT_GT(widget->pageCount(), 0);
        EXPECT_EQ(QFile(pdf).size(), old.size()) << "the preview wrote the file";
        widget->print();
    });
    rptGlossario report;
    ASSERT_TRUE(report.InitReport("Tasso d'attività"));
    report.show(nullptr);
    QFile first(pdf);
    ASSERT_TRUE(first.open(QIODevice::ReadOnly));
    old = first.readAll();
    first.close();
    EXPECT_TRUE(metadatatest::inOrder(metadatatest::pdfFileText(pdf), {"DENOMINAZIONE:", "Tasso d'attività"}));
    EXPECT_TRUE(logLines().isEmpty());

    full.fill();
    dialogs.clear();
    report.show(nullptr);
    QFile kept(pdf);
    ASSERT_TRUE(kept.open(QIODevice::ReadOnly));
    EXPECT_EQ(kept.readAll(), old);
    ASSERT_EQ(dialogs.messages().size(), 2);
    EXPECT_EQ(dialogs.messages()[1],
              "Errore : Impossibile scrivere il file " + pdf + " (disco pieno) Il File Error.log è stato riempito.");
    EXPECT_TRUE(metadatatest::inOrder(logLines().join('\n'), {"rptGlossario", "Stampa", "Impossibile scrivere"}));
}

}  // namespace
