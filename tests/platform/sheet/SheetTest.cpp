// The spreadsheet layer: blocks of numbers and texts, column fitting, sheet selection and saving,
// read back with the layer's reader; the template's other parts stay as they were.
#include "ArchiveKit.h"
#include "FormattedTemplate.h"

#include "sheet/Application.h"
#include "sheet/SheetReader.h"
#include "vb/Error.h"

#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <clocale>
#include <fstream>
#include <sys/resource.h>
#include <unistd.h>
#include <string>
#include <gtest/gtest.h>

using sheet::CellValue;
using vb::Variant;

namespace {

const QString Templates = QStringLiteral(PENDRA_DIR "/Files/");

CellValue num(double v, const QString &text) { return {CellValue::Number, text, v}; }
CellValue txt(const QString &t) { return {CellValue::Text, t, 0}; }

class SheetTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(QFile::exists(Templates + "DatiTemplateVar.xlsx"));
        ASSERT_TRUE(dir.isValid());
    }
    QString out(const QString &name = "export.xlsx") const { return dir.path() + "/" + name; }
    QTemporaryDir dir;
};

TEST_F(SheetTest, BlockFromA1KeepsNumbersTextsAndTheRestOfTheTemplate)
{
    sheet::Application xl;
    sheet::Workbook &book = xl.open(Templates + "datitemplatevar.XLSX");  // letter case ignored
    ASSERT_EQ(book.sheetCount(), 3);
    const QString special = QString::fromUtf8("Città <&> \"€\" 'x' \u00e8");
    book.sheet(1).setValues({
        {Variant("COD"), Variant("Nome"), Variant("AS013_2005")},
        {Variant("001"), Variant(special), Variant(12.5)},
        {Variant("002"), Variant(), Variant(-3)},
        {Variant(" spazi "), Variant(QString("a\x01" "b_x0041_")), Variant(1e-7)},
    });
    book.sheet(2).setValues({{Variant("Variabile")}, {Variant("AS013")}});
    book.sheet(1).autoFitColumns(1, 3);
    book.sheet(1).select();
    book.saveAs(out());
    xl.quit();

    sheet::SheetReader r(out());
    EXPECT_EQ(r.sheetNames(), (QStringList{"Dati", "Metadati", "Note"}));
    const QMap<QString, CellValue> expected{
        {"A1", txt("COD")}, {"B1", txt("Nome")}, {"C1", txt("AS013_2005")},
        {"A2", txt("001")}, {"B2", txt(special)}, {"C2", num(12.5, "12.5")},
        {"A3", txt("002")}, {"C3", num(-3, "-3")},
        {"A4", txt(" spazi ")}, {"B4", txt(QString("a\x01" "b_x0041_"))}, {"C4", num(1e-7, "1e-07")},
    };
    EXPECT_EQ(r.cells(1), expected);
    EXPECT_EQ(r.cells(2), (QMap<QString, CellValue>{{"A1", txt("Variabile")}, {"A2", txt("AS013")}}));
    EXPECT_EQ(r.activeSheet(), 1);
    EXPECT_TRUE(r.tabSelected(1));
    // Widths follow the longest text of each column.
    const QMap<int, double> widths = r.columnWidths(1);
    ASSERT_EQ(widths.keys(), (QList<int>{1, 2, 3}));
    EXPECT_LT(widths[1], widths[3]);
    EXPECT_GT(widths[3], 10.0);
    // Parts the export does not touch keep their bytes.
    sheet::SheetReader original(Templates + "DatiTemplateVar.xlsx");
    EXPECT_EQ(r.partNames(), original.partNames());
    for (const char *part : {"xl/styles.xml", "xl/worksheets/sheet3.xml", "[Content_Types].xml",
                             "xl/_rels/workbook.xml.rels", "_rels/.rels"})
        EXPECT_EQ(r.part(part), original.part(part)) << part;
    EXPECT_EQ(r.cells(3), original.cells(3));
}

// The program runs with the user's C locale, where printf writes "12,5": the file must keep the dot.
TEST_F(SheetTest, NumbersAndWidthsKeepTheDotUnderACommaLocale)
{
    const std::string previous = std::setlocale(LC_NUMERIC, nullptr);
    if (!std::setlocale(LC_NUMERIC, "it_IT.UTF-8") && !std::setlocale(LC_NUMERIC, "de_DE.UTF-8"))
        GTEST_SKIP() << "no locale with a decimal comma installed";
    {
        sheet::Application xl;
        sheet::Workbook &book = xl.open(Templates + "DatiTemplateVar.xlsx");
        book.sheet(1).setValues({{Variant("AS013_2005"), Variant(1.5815)}});
        book.sheet(1).autoFitColumns(1, 2);
        book.saveAs(out());
        xl.quit();
    }
    const QByteArray xml = sheet::SheetReader(out()).part("xl/worksheets/sheet1.xml");
    std::setlocale(LC_NUMERIC, previous.c_str());
    EXPECT_TRUE(xml.contains("<v>1.5815</v>")) << xml.constData();
    EXPECT_TRUE(xml.contains("width=\"12.7\"")) << xml.constData();
    EXPECT_FALSE(QString::fromUtf8(xml).contains(QRegularExpression("width=\"[0-9]+,"))) << xml.constData();
}

TEST_F(SheetTest, SelectingAnotherSheetMovesTheActiveTabAndCellsOfTheTemplateOutsideTheBlockStay)
{
    {
        sheet::Application xl;
        sheet::Workbook &book = xl.open(Templates + "DatiTemplateInd.xlsx");
        book.sheet(3).setValues({{Variant("nuovo")}, {}, {Variant(7)}});
        book.sheet(3).select();
        book.saveAs(out("a.xlsx"));
        xl.quit();
    }
    sheet::SheetReader r(out("a.xlsx"));
    EXPECT_EQ(r.activeSheet(), 3);
    EXPECT_TRUE(r.tabSelected(3));
    EXPECT_FALSE(r.tabSelected(1));
    const auto cells = r.cells(3);
    EXPECT_EQ(cells["A1"], txt("nuovo"));
    EXPECT_EQ(cells["A3"], num(7, "7"));
    EXPECT_TRUE(cells.contains("A4") && cells.contains("A5"));  // the template's own text below the block

    // Reopened, selecting sheet 1 again.
    sheet::Application xl;
    sheet::Workbook &again = xl.open(out("a.xlsx"));
    again.sheet(1).select();
    again.saveAs(out("a.xlsx"));
    sheet::SheetReader r2(out("a.xlsx"));
    EXPECT_EQ(r2.activeSheet(), 1);
    EXPECT_FALSE(r2.tabSelected(3));
}

TEST_F(SheetTest, FailuresThrowAndLeaveNoFile)
{
    archivekit::writeFile(out("old.xlsx"), "old bytes");
    archivekit::writeFile(out("broken.xlsx"), "PK not a zip");
    sheet::Application xl;
    struct Open { QString path; qint32 number; };
    for (const Open &o : {Open{out("missing.xlsx"), 53}, Open{out("broken.xlsx"), 1004}}) {
        try {
            xl.open(o.path);
            ADD_FAILURE() << o.path.toStdString();
        } catch (const vb::Error &e) {
            EXPECT_EQ(e.number(), o.number);
        }
    }
    sheet::Workbook &book = xl.open(Templates + "DatiTemplateVar.xlsx");
    EXPECT_THROW(book.sheet(4), vb::Error);
    EXPECT_THROW(book.sheet(0), vb::Error);
    book.sheet(1).setValues({{Variant(1)}});
    const auto before = archivekit::snapshot(dir.path());
    for (const QString &target : {dir.path() + "/manca/x.xlsx", dir.path()}) {
        try {
            book.saveAs(target);
            ADD_FAILURE() << target.toStdString();
        } catch (const vb::Error &e) {
            EXPECT_EQ(e.number(), 75);
        }
    }
    EXPECT_EQ(archivekit::snapshot(dir.path()), before);
    book.saveAs(out("old.xlsx"));  // replaces the old file
    EXPECT_EQ(sheet::SheetReader(out("old.xlsx")).cells(1)["A1"], num(1, "1"));
}

TEST_F(SheetTest, WidestBlockRoundTrips)
{
    QVector<QVector<Variant>> rows;
    for (int i = 0; i < 131; ++i) {
        QVector<Variant> row;
        for (int j = 0; j < 255; ++j)
            row << (i == 0 ? Variant(QString("C%1_2005").arg(j)) : (j < 5 ? Variant(QString::number(i)) : Variant(i + j / 100.0)));
        rows << row;
    }
    sheet::Application xl;
    sheet::Workbook &book = xl.open(Templates + "DatiTemplateVar.xlsx");
    book.sheet(1).setValues(rows);
    book.sheet(1).autoFitColumns(1, 255);
    book.saveAs(out());
    sheet::SheetReader r(out());
    const auto cells = r.cells(1);
    EXPECT_EQ(cells.size(), 131 * 255);
    EXPECT_EQ(cells["IU131"], num(130 + 254 / 100.0, "132.54"));
    EXPECT_EQ(cells["E131"], txt("130"));
    EXPECT_EQ(r.columnWidths(1).size(), 255);
}

TEST_F(SheetTest, BlockAndFittingKeepTheTemplatesFormats)
{
    archivekit::buildArchive(out("formati.xlsx"), sheettest::formattedTemplate());
    {
        sheet::Application xl;
        sheet::Workbook &book = xl.open(out("formati.xlsx"));
        book.sheet(1).setValues({
            {Variant("TipoTerritorio"), Variant("COD_TERR"), Variant("PROV"), Variant("REG"), Variant("COD_NUTS"),
             Variant("Territorio"), Variant("AS013_2005"), Variant("AS013_2006")},
            {Variant("1"), Variant(), Variant("001"), Variant("01"), Variant("ITC11"), Variant("Torino"), Variant(12.5), Variant(7)},
        });
        book.sheet(1).autoFitColumns(1, 8);
        book.saveAs(out());
        xl.quit();
    }
    sheet::SheetReader r(out());
    // The bold header row: its own styled cells and the cells the block adds to it.
    const QMap<QString, int> styles = r.cellStyles(1);
    for (const char *ref : {"A1", "B1", "C1", "F1", "H1"})
        EXPECT_EQ(styles.value(ref), 1) << ref;
    // Data cells take their column's number format; the emptied B2 keeps its format and no value.
    for (const char *ref : {"F2", "G2", "H2", "B2"})
        EXPECT_EQ(styles.value(ref), 2) << ref;
    EXPECT_FALSE(styles.contains("A2"));
    EXPECT_FALSE(r.cells(1).contains("B2"));
    EXPECT_EQ(r.cells(1).value("G2"), num(12.5, "12.5"));
    // Every column keeps its format, inside and outside the table; only the table's widths change.
    QMap<int, int> columnFormats;
    for (int c = 6; c <= 12; ++c)
        columnFormats[c] = 2;
    EXPECT_EQ(r.columnStyles(1), columnFormats);
    const QMap<int, double> widths = r.columnWidths(1);
    EXPECT_EQ(widths.keys(), (QList<int>{1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12}));
    EXPECT_GT(widths[1], widths[2]);  // "TipoTerritorio" against "COD_TERR", no longer the template's 20 each
    for (int c = 9; c <= 12; ++c)
        EXPECT_EQ(widths[c], 9.5) << c;
    EXPECT_EQ(r.part("xl/styles.xml"), sheettest::formattedTemplate()[4].data);
}

// A block written over a block merges as over the template: what the second leaves out stays.
TEST_F(SheetTest, SecondBlockGoesOverTheFirst)
{
    sheet::Application xl;
    sheet::Workbook &book = xl.open(Templates + "DatiTemplateVar.xlsx");
    book.sheet(2).setValues({{Variant("a"), Variant("b")}, {Variant(1), Variant(2)}});
    book.sheet(2).setValues({{Variant("nuovo")}});
    book.sheet(2).autoFitColumns(1, 2);
    book.saveAs(out());
    sheet::SheetReader r(out());
    EXPECT_EQ(r.cells(2), (QMap<QString, CellValue>{{"A1", txt("nuovo")}, {"B1", txt("b")}, {"A2", num(1, "1")}, {"B2", num(2, "2")}}));
    EXPECT_EQ(r.columnWidths(2).keys(), (QList<int>{1, 2}));
}

TEST_F(SheetTest, NoteSheetsSpeakOfTheirKind)
{
    struct Case { const char *file; QString title, metadata; };
    const Case cases[] = {
        {"DatiTemplateVar.xlsx", "Atlante statistico territoriale - esportazione delle variabili",
         QString::fromUtf8("Foglio «Metadati»: la scheda di ciascuna delle variabili esportate.")},
        {"DatiTemplateInd.xlsx", "Atlante statistico territoriale - esportazione degli indicatori",
         QString::fromUtf8("Foglio «Metadati»: la scheda di ciascuno degli indicatori esportati.")},
    };
    for (const Case &c : cases) {
        const auto cells = sheet::SheetReader(Templates + c.file).cells(3);
        EXPECT_EQ(cells.value("A1").text, c.title) << c.file;
        EXPECT_EQ(cells.value("A4").text, c.metadata) << c.file;
    }
}

// Templates that lie: parts inflating far beyond any template, sizes declared but not held, cell
// references past the last column (XFD). Each is refused as damaged, within bounded memory.
TEST_F(SheetTest, HostileTemplatesAreRefused)
{
    // A part of 129 MiB of blanks deflates to a fraction of a megabyte.
    {
        auto parts = sheettest::formattedTemplate();
        parts[4].data += QByteArray(129 << 20, ' ');
        archivekit::buildArchive(out("gonfio.xlsx"), parts);
    }
    // A 4 GiB size declared for a part of a few bytes.
    {
        auto parts = sheettest::formattedTemplate();
        parts[4].store = true;
        archivekit::buildArchive(out("dichiara.xlsx"), parts);
        QByteArray zip = archivekit::readFile(out("dichiara.xlsx"));
        const QByteArray name = "xl/styles.xml";
        // Local header (size at +22) and central directory entry (size at +24) of the part.
        for (qsizetype at = zip.indexOf(name); at >= 0; at = zip.indexOf(name, at + 1)) {
            const bool central = zip.mid(at - 46, 4) == QByteArray("PK\x01\x02", 4);
            const qsizetype size = central ? at - 46 + 24 : at - 30 + 22;
            zip.replace(size, 4, QByteArray("\xf0\xff\xff\xff", 4));
        }
        archivekit::writeFile(out("dichiara.xlsx"), zip);
    }
    // The address space is capped a little above what the test already uses: a 4 GiB allocation fails.
    rlimit previous{};
    getrlimit(RLIMIT_AS, &previous);
    long pages = 0;
    std::ifstream("/proc/self/statm") >> pages;
    rlimit capped = previous;
    capped.rlim_cur = static_cast<rlim_t>(pages) * static_cast<rlim_t>(sysconf(_SC_PAGESIZE)) + (rlim_t(1536) << 20);
    for (const char *file : {"gonfio.xlsx", "dichiara.xlsx"}) {
        SCOPED_TRACE(file);
        setrlimit(RLIMIT_AS, &capped);
        try {
            sheet::Application xl;
            xl.open(out(file));
            ADD_FAILURE() << "opened";
        } catch (const vb::Error &e) {
            EXPECT_EQ(e.number(), 1004);
            EXPECT_TRUE(e.description().contains(QString::fromUtf8("è danneggiata"))) << e.description().toStdString();
        } catch (const std::exception &e) {
            ADD_FAILURE() << e.what();
        }
        setrlimit(RLIMIT_AS, &previous);
    }

    // References: the last column is kept like any cell right of the block; one past it, or a
    // reference whose letters overflow any integer, is a damaged sheet.
    struct Ref { const char *ref; bool accepted; };
    for (const Ref &c : {Ref{"XFD1", true}, Ref{"XFE1", false}, Ref{"AAAAAAAAAAAAAAAAAAAAAAAA1", false},
                         Ref{"ZZZZZZZZZZZZZZZZ1", false}}) {
        SCOPED_TRACE(c.ref);
        archivekit::buildArchive(out("rif.xlsx"), sheettest::formattedTemplate("<row r=\"1\"><c r=\"" + QByteArray(c.ref) + "\"><v>3</v></c></row>"));
        sheet::Application xl;
        sheet::Workbook &book = xl.open(out("rif.xlsx"));
        try {
            book.sheet(1).setValues({{Variant("x")}});
            book.saveAs(out());
            EXPECT_TRUE(c.accepted);
            EXPECT_EQ(sheet::SheetReader(out()).cells(1).value("XFD1"), num(3, "3"));
        } catch (const vb::Error &e) {
            EXPECT_FALSE(c.accepted) << e.description().toStdString();
            EXPECT_EQ(e.number(), 1004);
        }
    }
}

// Templates within the size caps whose parsed form would still be huge: cells by the hundred
// thousand, or column ranges declared over and over. Each is refused as damaged.
TEST_F(SheetTest, TemplatesDeclaringFarMoreThanAnyTemplateNeedsAreRefused)
{
    QByteArray cells = "<row r=\"1\">";
    for (int i = 0; i < 120000; ++i)
        cells += "<c/>";
    cells += "</row>";
    QByteArray cols = "<cols>";
    for (int i = 0; i < 2000; ++i)
        cols += "<col min=\"1\" max=\"16384\" style=\"2\"/>";
    cols += "</cols>";
    struct Case { const char *what; QByteArray rows, cols; };
    const Case cases[] = {
        {"cells", cells, QByteArray()},
        {"overlapping column ranges", QByteArray(), cols},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        archivekit::buildArchive(out("grande.xlsx"), sheettest::formattedTemplate(c.rows, c.cols));
        try {
            sheet::Application xl;
            sheet::Workbook &book = xl.open(out("grande.xlsx"));
            book.sheet(1).setValues({{Variant("x")}});
            book.saveAs(out());
            ADD_FAILURE() << "exported";
        } catch (const vb::Error &e) {
            EXPECT_EQ(e.number(), 1004);
            EXPECT_TRUE(e.description().contains(QString::fromUtf8("è danneggiata"))) << e.description().toStdString();
        }
        EXPECT_FALSE(QFile::exists(out()));
    }
    // A sheet of a sound template with as many cells as a real one might carry is still read.
    QByteArray many = "<row r=\"1\">";
    for (int i = 1; i <= 1000; ++i)
        many += "<c r=\"" + sheet::columnName(i).toLatin1() + "1\" s=\"1\"/>";
    many += "</row>";
    archivekit::buildArchive(out("ampio.xlsx"), sheettest::formattedTemplate(many));
    sheet::Application xl;
    sheet::Workbook &book = xl.open(out("ampio.xlsx"));
    book.sheet(1).setValues({{Variant("x")}});
    book.saveAs(out());
    EXPECT_TRUE(QFile::exists(out()));
}

TEST(ColumnNameTest, LettersAsTheSpreadsheetCountsThem)
{
    EXPECT_EQ(sheet::columnName(1), "A");
    EXPECT_EQ(sheet::columnName(26), "Z");
    EXPECT_EQ(sheet::columnName(27), "AA");
    EXPECT_EQ(sheet::columnName(255), "IU");
    EXPECT_EQ(sheet::columnName(16384), "XFD");
}

}  // namespace
