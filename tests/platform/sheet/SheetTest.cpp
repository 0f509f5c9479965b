// The spreadsheet layer: blocks of numbers and texts, column fitting, sheet selection and saving,
// read back with the layer's reader; the template's other parts stay as they were.
#include "ArchiveKit.h"

#include "sheet/Application.h"
#include "sheet/SheetReader.h"
#include "vb/Error.h"

#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <clocale>
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

TEST(ColumnNameTest, LettersAsTheSpreadsheetCountsThem)
{
    EXPECT_EQ(sheet::columnName(1), "A");
    EXPECT_EQ(sheet::columnName(26), "Z");
    EXPECT_EQ(sheet::columnName(27), "AA");
    EXPECT_EQ(sheet::columnName(255), "IU");
    EXPECT_EQ(sheet::columnName(16384), "XFD");
}

}  // namespace
