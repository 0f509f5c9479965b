// The three printed reports: queries, labels and values in order in a PDF, printer messages, failures.
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

#include <QPushButton>

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
    // No printer: the variable report's own message, and the preview still comes.
    EXPECT_EQ(dialogs.messages(), QStringList({"Stampante non installata!"}));
    EXPECT_TRUE(metadatatest::inOrder(
        lastPdf, {"Scheda variabile", "Variabile", "TE010", "Superficie agricola utilizzata", "Argomento", "A01",
                  "Anni disponibili", "1996", "2008", "N.A.", "p", "Unità di misura", "ettari",
                  "Periodo di riferimento dei dati", "annata agraria", "Note sull'intera serie", "Dati dell'indagine",
                  "Note sui singoli anni", "2003", "Dati campionari.", "Fonte", "2003",
                  "Indagine sulla struttura e produzione", "Pubblicazione", "2003", "Struttura e produzioni",
                  "Ente", "2003", "ISTAT"}));
    EXPECT_TRUE(logLines().isEmpty());
}

TEST_F(ReportTest, IndicatorSheetPrintsInOrderWithoutAPrinterMessage)
{
    forms::setHasPrinter(false);
    app().SqlScheda = GetSqlScheda("Indicatori", "IAG002");
    openSheet(SheetKind::Indicatori);
    FormRegistry::find<frmSchedaIndicatori>()->cmdStampa->click();
    ASSERT_EQ(shown, QStringList({"Stampa Scheda Indicatore"}));
    EXPECT_TRUE(dialogs.messages().isEmpty());
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
