// The spreadsheet export of a result table: the workbook read back, the overwrite question, failures
// that keep the old file and offer no opening, and the shell's answers told to the user.
#include "app/core/AppState.h"
#include "app/query/EsportaExcel.h"

#include "ArchiveKit.h"
#include "FormattedTemplate.h"
#include "ProgramFolder.h"
#include "forms/MousePointer.h"
#include "forms/ScriptedDialogService.h"
#include "forms/ShellOpen.h"
#include "sheet/SheetReader.h"
#include "sheet/Worksheet.h"
#include "vb/Conversions.h"
#include "vb/Error.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace pendra;
using sheet::CellValue;

namespace {

std::unique_ptr<fixtures::ProgramFolder> folder;

// A table as the grid shows it: territory columns, then AS013 of two years and AS014.
TextTable variablesTable()
{
    return {
        {"TipoTerritorio", "COD_TERR", "PROV", "REG", "COD_NUTS", "Territorio", "AS013_2005", "AS013_2006", "AS014_2005"},
        {"1", "001", "001", "01", "ITC11", "Torino", "12,5", "", "7,00"},
        {"6", "021", "021", "04", "ITD10", "Bolzano", "n.d.", "1.234,50", "3,00"},
    };
}

CellValue text(const QString &t)
{
    return CellValue{CellValue::Text, t, 0};
}

CellValue number(double n)
{
    return CellValue{CellValue::Number, QString::number(n), n};
}

QByteArray bytesOf(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

bool writeBytes(const QString &path, const QByteArray &bytes)
{
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size();
}

class ExportTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { folder = std::make_unique<fixtures::ProgramFolder>(); }
    static void TearDownTestSuite() { folder.reset(); }

    void SetUp() override
    {
        resetAppState();
        vb::setUserLocale(QLocale(QLocale::Italian, QLocale::Italy));
        AppState &s = app();
        s.DataPath = folder->databases();
        s.FilesPath = folder->files();
        s.ExcelPath = out.path() + "/Excel/";
        s.ConnPrefix = odbcPrefix(DatabasePassword);
        s.Kind = "Variabili";
        QFile::remove(folder->files() + "Error.log");
    }
    void TearDown() override
    {
        vb::resetUserLocale();
        resetAppState();
    }

    QStringList logLines() const
    {
        return QString::fromLatin1(bytesOf(app().FilesPath + "Error.log")).split("\r\n", Qt::SkipEmptyParts);
    }

    QTemporaryDir out;
    forms::ScriptedDialogService dialogs;
    forms::ScopedDialogs dialogsInstalled{dialogs};
    forms::ScriptedShellOpener opener;
    forms::ScopedShellOpener openerInstalled{opener};
};

TEST_F(ExportTest, VariablesWorkbookHoldsTheGridAndOneMetadataRowPerCode)
{
    const QString chosen = out.path() + "/tabella";  // no extension
    dialogs.answerFile(chosen);
    dialogs.answerMsgBox(forms::vbYes);  // open it now
    const QString written = EsportaTabella(variablesTable(), app().Kind);
    ASSERT_EQ(written, chosen + ".xlsx");

    // The dialog starts empty in the created Excel folder.
    const auto saves = dialogs.calls(forms::DialogCall::SaveFile);
    ASSERT_EQ(saves.size(), 1);
    EXPECT_EQ(saves[0].file.title, "Selezionare un file...");
    EXPECT_EQ(saves[0].file.filter, "File di Microsoft Excel.|*.xlsx");
    EXPECT_EQ(saves[0].file.initDir, app().ExcelPath);
    EXPECT_TRUE(saves[0].file.fileName.isEmpty());
    EXPECT_FALSE(saves[0].file.confirmOverwrite);  // the program asks itself, once
    EXPECT_TRUE(QDir(app().ExcelPath).exists());

    sheet::SheetReader book(written);
    EXPECT_EQ(book.sheetNames(), QStringList({"Dati", "Metadati", "Note"}));
    EXPECT_EQ(book.activeSheet(), 1);

    const QMap<QString, CellValue> data = book.cells(1);
    EXPECT_EQ(data.value("A1"), text("TipoTerritorio"));
    EXPECT_EQ(data.value("I1"), text("AS014_2005"));
    // Territory codes stay text even where they read as numbers.
    EXPECT_EQ(data.value("A2"), text("1"));
    EXPECT_EQ(data.value("B2"), text("001"));
    EXPECT_EQ(data.value("D3"), text("04"));
    EXPECT_EQ(data.value("F2"), text("Torino"));
    // Data cells that read as numbers in Italian are numbers; others text; empty cells absent.
    EXPECT_EQ(data.value("G2"), number(12.5));
    EXPECT_FALSE(data.contains("H2"));
    EXPECT_EQ(data.value("I2"), number(7));
    EXPECT_EQ(data.value("G3"), text("n.d."));
    EXPECT_EQ(data.value("H3"), number(1234.5));
    EXPECT_EQ(data.size(), 3 * 9 - 1);
    EXPECT_EQ(book.columnWidths(1).size(), 9);

    // Sheet 2: the variables' header, AS013 (two years) once and AS014.
    const QMap<QString, CellValue> meta = book.cells(2);
    EXPECT_EQ(meta.value("A1"), text("Variabile"));
    EXPECT_EQ(meta.value("B1"), text("Area"));
    EXPECT_EQ(meta.value("C1"), text("Codice Sottoarea"));
    QStringList codes;
    for (int r = 2; meta.contains("A" + QString::number(r)); ++r)
        codes << meta.value("A" + QString::number(r)).text;
    codes.sort();
    EXPECT_EQ(codes, QStringList({"AS013", "AS014"}));

    // The template's third sheet is as shipped.
    sheet::SheetReader templ(folder->files() + "DatiTemplateVar.xlsx");
    EXPECT_EQ(book.cells(3), templ.cells(3));

    EXPECT_EQ(dialogs.messages(), QStringList({"Si desidera aprire il file adesso per consultarlo?"}));
    EXPECT_EQ(opener.opened(), QStringList({written}));
    EXPECT_EQ(forms::mousePointer(), forms::MousePointer::Default);
    EXPECT_TRUE(logLines().isEmpty());
}

// The user's road over a template with formats: the bold header row and the data columns' number
// format survive the export and its column fitting.
TEST_F(ExportTest, TemplateFormatsSurviveTheExport)
{
    QTemporaryDir files;
    archivekit::buildArchive(files.path() + "/DatiTemplateVar.xlsx", sheettest::formattedTemplate());
    app().FilesPath = files.path() + "/";
    const QString chosen = out.path() + "/formati.xlsx";
    dialogs.answerFile(chosen);
    dialogs.answerMsgBox(forms::vbNo);
    const QString written = EsportaTabella(variablesTable(), app().Kind);
    app().FilesPath = folder->files();
    ASSERT_EQ(written, chosen);
    sheet::SheetReader book(written);
    const QMap<QString, int> styles = book.cellStyles(1);
    for (const char *ref : {"A1", "F1", "I1"})
        EXPECT_EQ(styles.value(ref), 1) << ref;
    for (const char *ref : {"G2", "I2", "H3"})
        EXPECT_EQ(styles.value(ref), 2) << ref;
    EXPECT_FALSE(styles.contains("C2"));
    EXPECT_EQ(book.cells(1).value("G2"), number(12.5));
    QMap<int, int> columnFormats;
    for (int c = 6; c <= 12; ++c)
        columnFormats[c] = 2;
    EXPECT_EQ(book.columnStyles(1), columnFormats);
    EXPECT_EQ(book.columnWidths(1).value(12), 9.5);
}

TEST_F(ExportTest, IndicatorsUseTheirTemplateAndMetadataQuery)
{
    app().Kind = "Indicatori";
    const QString chosen = out.path() + "/ind.xlsx";
    dialogs.answerFile(chosen);
    dialogs.answerMsgBox(forms::vbNo);
    ASSERT_EQ(EsportaTabella({{"TipoTerritorio", "COD_TERR", "PROV", "REG", "COD_NUTS", "Territorio", "IAS013_2005"},
                              {"1", "001", "001", "01", "ITC11", "Torino", "4,25"}},
                             app().Kind),
              chosen);
    sheet::SheetReader book(chosen);
    EXPECT_TRUE(book.cells(3).value("A1").text.contains("indicatori"));
    const QMap<QString, CellValue> meta = book.cells(2);
    EXPECT_EQ(meta.value("A1"), text("Indicatore"));
    EXPECT_EQ(meta.value("E1"), text("DescIndicatore"));
    EXPECT_EQ(meta.value("A2"), text("IAS013"));
    EXPECT_FALSE(meta.contains("A3"));
    EXPECT_EQ(book.cells(1).value("G2"), number(4.25));
    EXPECT_TRUE(opener.opened().isEmpty());
}

// Far more codes than one engine statement takes: AS014 and AS013 stand at the end of the table.
TEST_F(ExportTest, WideTableListsTheMetadataOfCodesFarRight)
{
    TextTable table = {{"TipoTerritorio", "COD_TERR", "PROV", "REG", "COD_NUTS", "Territorio"}, {"1", "001", "001", "01", "ITC11", "Torino"}};
    for (int i = 0; i < 240; ++i) {
        table[0] << QString("ZZ%1_2005").arg(i, 3, 10, QChar('0'));
        table[1] << "1,00";
    }
    table[0] << "AS014_2005" << "AS013_2006";
    table[1] << "2,00" << "3,00";
    const QString chosen = out.path() + "/largo.xlsx";
    dialogs.answerFile(chosen);
    dialogs.answerMsgBox(forms::vbNo);
    ASSERT_EQ(EsportaTabella(table, app().Kind), chosen);
    EXPECT_TRUE(logLines().isEmpty()) << logLines().join('\n').toStdString();
    sheet::SheetReader book(chosen);
    const QMap<QString, CellValue> meta = book.cells(2);
    EXPECT_EQ(meta.value("A1"), text("Variabile"));
    QStringList codes = {meta.value("A2").text, meta.value("A3").text};
    codes.sort();
    EXPECT_EQ(codes, QStringList({"AS013", "AS014"}));
    EXPECT_FALSE(meta.contains("A4"));
    EXPECT_EQ(book.cells(1).value(sheet::columnName(248) + "2"), number(3));
}

TEST_F(ExportTest, EveryNameNotEndingInXlsxGetsIt)
{
    struct Case { const char *chosen, *written; };
    const Case cases[] = {
        {"tabella", "tabella.xlsx"},
        {"dati.2005", "dati.2005.xlsx"},
        {"export_v1.2", "export_v1.2.xlsx"},
        {"vecchio.xls", "vecchio.xls.xlsx"},
        {"Tabella.XLSX", "Tabella.XLSX"},
        {"t.xlsx", "t.xlsx"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.chosen);
        dialogs.clear();
        dialogs.answerFile(out.path() + "/" + c.chosen);
        dialogs.answerMsgBox(forms::vbNo);
        EXPECT_EQ(EsportaTabella(variablesTable(), app().Kind), out.path() + "/" + c.written);
        EXPECT_EQ(sheet::SheetReader(out.path() + "/" + c.written).cells(1).value("G2"), number(12.5));
    }
}

TEST_F(ExportTest, CancelledDialogWritesNothing)
{
    EXPECT_TRUE(EsportaTabella(variablesTable(), app().Kind).isEmpty());
    EXPECT_TRUE(dialogs.messages().isEmpty());
    EXPECT_EQ(QDir(app().ExcelPath).entryList(QDir::Files), QStringList());
    EXPECT_EQ(forms::mousePointer(), forms::MousePointer::Default);
}

TEST_F(ExportTest, OverwriteNoKeepsTheOldFile)
{
    const QString chosen = out.path() + "/vecchio.xlsx";
    ASSERT_TRUE(writeBytes(chosen, "old contents"));
    dialogs.answerFile(out.path() + "/vecchio");  // the extension is added before the test
    dialogs.answerMsgBox(forms::vbNo);
    EXPECT_TRUE(EsportaTabella(variablesTable(), app().Kind).isEmpty());
    EXPECT_EQ(dialogs.messages(), QStringList({"Il File esiste si vuole sovrascriverlo?"}));
    const auto boxes = dialogs.calls(forms::DialogCall::MsgBox);
    EXPECT_EQ(boxes[0].style, forms::vbYesNo + forms::vbQuestion);
    EXPECT_EQ(boxes[0].title, "Creazione File Excel");
    EXPECT_EQ(bytesOf(chosen), QByteArray("old contents"));
    EXPECT_EQ(forms::mousePointer(), forms::MousePointer::Default);
}

TEST_F(ExportTest, OverwriteYesReplacesTheOldFile)
{
    const QString chosen = out.path() + "/vecchio.xlsx";
    ASSERT_TRUE(writeBytes(chosen, "old contents"));
    dialogs.answerFile(chosen);
    dialogs.answerMsgBox(forms::vbYes);
    dialogs.answerMsgBox(forms::vbNo);
    EXPECT_EQ(EsportaTabella(variablesTable(), app().Kind), chosen);
    EXPECT_EQ(sheet::SheetReader(chosen).cells(1).value("G2"), number(12.5));
}

// Failures keep the old file byte for byte, are logged, and offer no opening.
TEST_F(ExportTest, FailuresKeepTheOldFileAndOfferNoOpening)
{
    struct Case {
        const char *what;
        QString fileName;     // under the temporary folder
        QString filesFolder;  // "" keeps the fixture's
        QString shown;        // in the message
        QString logged;       // in Error.log
    };
    // A name so long that the temporary file beside it cannot be created: the save fails even for root.
    const QString longName = QString(249, u'x') + ".xlsx";
    QTemporaryDir noTemplates;
    const Case cases[] = {
        {"save fails", longName, QString(), "Impossibile scrivere il file " + out.path() + "/" + longName,
         "Failure to create temporary file"},
        {"template missing", "vecchio.xlsx", noTemplates.path() + "/", "File non trovato: " + noTemplates.path(),
         "File non trovato"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        dialogs.clear();
        const QString chosen = out.path() + "/" + c.fileName;
        ASSERT_TRUE(writeBytes(chosen, "old contents"));
        if (!c.filesFolder.isEmpty())
            app().FilesPath = c.filesFolder;
        QFile::remove(folder->files() + "Error.log");
        dialogs.answerFile(chosen);
        dialogs.answerMsgBox(forms::vbYes);
        EXPECT_TRUE(EsportaTabella(variablesTable(), app().Kind).isEmpty());
        EXPECT_EQ(bytesOf(chosen), QByteArray("old contents"));
        const QStringList messages = dialogs.messages();
        ASSERT_EQ(messages.size(), 2);
        EXPECT_TRUE(messages[1].startsWith("Errore : ")) << messages[1].toStdString();
        // The program's own words; the system's go to the log.
        EXPECT_TRUE(messages[1].contains(c.shown)) << messages[1].toStdString();
        for (const char *english : {"Cannot", "Failure", "error", "not found", "File name"})
            EXPECT_FALSE(messages[1].contains(english)) << messages[1].toStdString();
        EXPECT_FALSE(messages.contains("Si desidera aprire il file adesso per consultarlo?"));
        EXPECT_TRUE(opener.opened().isEmpty());
        EXPECT_EQ(QDir(out.path()).entryList(QDir::Files).filter(".xlsx.").size(), 0);
        const QStringList log = logLines();
        app().FilesPath = folder->files();
        ASSERT_FALSE(log.isEmpty());
        for (const QString &line : log)
            EXPECT_TRUE(line.contains("CreateExcelFile")) << line.toStdString();
        EXPECT_TRUE(log.join('\n').contains(c.logged)) << log.join('\n').toStdString();
        QFile::remove(chosen);
    }
}

TEST_F(ExportTest, ShellAnswersAreToldToTheUser)
{
    struct Case {
        int result;
        QString message;  // "" when nothing more is said
        QString title;
    };
    const Case cases[] = {
        {forms::SE_ERR_FNF, "File non trovato o rovinato.", ""},
        {forms::SE_ERR_BAD_FORMAT, "File non trovato o rovinato.", ""},
        {forms::SE_ERR_NOASSOC, "Non si dispone di un'applicazione che possa aprire il file!", "Attenzione"},
        {forms::SE_OPENED, "", ""},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.result);
        dialogs.clear();
        dialogs.answerMsgBox(forms::vbYes);
        opener.answer(c.result);
        OpenFileExcel("/x/tabella.xlsx");
        const auto boxes = dialogs.calls(forms::DialogCall::MsgBox);
        ASSERT_EQ(boxes.size(), c.message.isEmpty() ? 1 : 2);
        EXPECT_EQ(boxes[0].style, forms::vbYesNo + forms::vbQuestion);
        if (!c.message.isEmpty()) {
            EXPECT_EQ(boxes[1].prompt, c.message);
            EXPECT_EQ(boxes[1].style, forms::vbCritical);
            EXPECT_EQ(boxes[1].title, c.title);
        }
    }
}

TEST_F(ExportTest, ShellErrorIsShownAndLogged)
{
    struct FailingOpener : forms::ShellOpener {
        int open(const QString &) override { throw vb::Error(5, "Invalid procedure call", "ShellExecute"); }
    } failing;
    forms::ScopedShellOpener installed(failing);
    dialogs.answerMsgBox(forms::vbYes);
    OpenFileExcel("/x/tabella.xlsx");
    const auto boxes = dialogs.calls(forms::DialogCall::MsgBox);
    ASSERT_GE(boxes.size(), 2);
    EXPECT_EQ(boxes[1].prompt, "Errore nell'apertura del file!");
    EXPECT_EQ(boxes[1].style, forms::vbCritical);
    EXPECT_EQ(boxes[1].title, "Attenzione");
    const QStringList log = logLines();
    ASSERT_EQ(log.size(), 1);
    EXPECT_TRUE(log[0].contains("ShellOpenFile")) << log[0].toStdString();
}

TEST(ShellOpenTest, DesktopOpenerReportsMissingFiles)
{
    EXPECT_EQ(forms::shellOpener().open("/nonexistent/tabella.xlsx"), forms::SE_ERR_FNF);
    QTemporaryDir dir;
    EXPECT_EQ(forms::shellOpener().open(dir.path()), forms::SE_ERR_FNF);  // a folder is no file
}

TEST(ExportCodesTest, HeadersGiveEachCodeOnce)
{
    EXPECT_EQ(MetadataCodes({"TipoTerritorio", "COD_TERR", "PROV", "AS013_2005", "AS013_2006", "IAS014_2008",
                             "Funz12005", "X2005", "2005"}),
              QStringList({"COD_TERR", "PROV", "AS013", "IAS014", "Funz", "2005"}));
    // The first header is never a code.
    EXPECT_EQ(MetadataCodes({"AS001_2005"}), QStringList());
}

TEST(ExportCodesTest, MetadataQueryNamesEveryCode)
{
    const QString variables =
        "SELECT IdVariabile as Variabile, Settore.[Descrizione Settore] as Area, Argomento.[Codice argomento] as "
        "[Codice Sottoarea], "
        "Argomento.[Desc argomento] as Sottoarea, DescVariabile, Fonte, PubblRecente, Ente, UltimoAnnoDisponibile, "
        "[1996] , [1997], [1998], [1999], [2000], [2001], [2002], [2003], [2004], [2005], [2006], [2007], [2008], "
        "UnitaMisura, PeriodoRif, NoteSerie, Note_1996, Note_1997, Note_1998, Note_1999, Note_2000, "
        "Note_2001, Note_2002, Note_2003, Note_2004, Note_2005, Note_2006, Note_2007, Note_2008, Fonte_1996, "
        "Fonte_1997, Fonte_1998, Fonte_1999, Fonte_2000, Fonte_2001, Fonte_2002, Fonte_2003, Fonte_2004, Fonte_2005, "
        "Fonte_2006, Fonte_2007, Fonte_2008, Pubblicazione_1996, Pubblicazione_1997, Pubblicazione_1998, "
        "Pubblicazione_1999, "
        "Pubblicazione_2000, Pubblicazione_2001, Pubblicazione_2002, Pubblicazione_2003, Pubblicazione_2004, "
        "Pubblicazione_2005, "
        "Pubblicazione_2006, Pubblicazione_2007, Pubblicazione_2008, Ente_1996, Ente_1997, Ente_1998, Ente_1999, "
        "Ente_2000, "
        "Ente_2001, Ente_2002, Ente_2003, Ente_2004, Ente_2005, Ente_2006, Ente_2007, Ente_2008 "
        "FROM Settore INNER JOIN (Argomento INNER JOIN MetadatiVariabili ON Argomento.[Codice argomento] = "
        "MetadatiVariabili.CodiceArgomento) ON Settore.idSettore = Argomento.idSettore "
        "WHERE ";
    const QString indicators =
        "SELECT IdIndicatore as Indicatore, Settore.[Descrizione Settore] as Area, Argomento.[Codice argomento] as "
        "[Codice Sottoarea], Argomento.[Desc argomento] as Sottoarea, "
        "DescIndicatore , ModalitaCalcolo, IdVariabilAssociate, [1996], [1997], [1998], [1999], [2000], [2001], "
        "[2002], [2003], "
        "[2004], [2005], [2006], [2007], [2008], NoteTecniche FROM (Argomento INNER JOIN MetadatiIndicatori ON "
        "Argomento.[Codice argomento] = MetadatiIndicatori.Argomento) "
        "INNER JOIN Settore ON Argomento.idSettore = Settore.idSettore WHERE ";
    // The conditions follow "WHERE ", the whole text trimmed and its last "OR" dropped.
    EXPECT_EQ(MetadataSql("Variabili", {"AS013", "AS014"}).toStdString(),
              (variables + " IDVariabile ='AS013' OR  IDVariabile ='AS014' ").toStdString());
    EXPECT_EQ(MetadataSql("Indicatori", {"IAS013"}).toStdString(), (indicators + " IDIndicatore ='IAS013' ").toStdString());
}

}  // namespace
