// The program folder the build lays out, and the small fixture folder: integrity, data, files.
#include "FolderChecks.h"
#include "ProgramFolder.h"

#include "vb/Conversions.h"
#include "vb/TextFile.h"

#include <QFile>
#include <QHash>
#include <QImage>
#include <QRegularExpression>
#include <QSet>
#include <gtest/gtest.h>
#include <shapefil.h>
#include <zip.h>

#include <cmath>
#include <memory>

using namespace atlastest;

namespace {

const QString kFull = QStringLiteral(PENDRA_DIR "/");

QString cell(const QString &db, const QString &table, const QString &code, const QString &territory) {
    const vb::Variant v = scalar(db, QString("select %1 from %2 where COD_TERR = '%3'").arg(code, table, territory));
    return v.isNull() ? QStringLiteral("<null>") : vb::CStr(v);
}

double number(const QString &db, const QString &table, const QString &code, const QString &territory) {
    return scalar(db, QString("select %1 from %2 where COD_TERR = '%3'").arg(code, table, territory)).toDouble();
}

// The query the area tree is filled with (the window's own text).
QString treeQuery(const QString &kind, const QString &level) {
    const QString k = kind;
    const QString s = kind.left(kind.size() - 1);
    const QString t = kind == "Indicatori" ? "I" : "V";
    return "SELECT Settore.idSettore, Settore.[Descrizione Settore], Argomento.[Codice argomento], "
           "Argomento.[Desc argomento], Metadati" + k + ".Id" + s + "e, Metadati" + k + ".Desc" + s +
           "e, IndVarAnno.TipoVar FROM ((Settore INNER JOIN Argomento ON Settore.idSettore = Argomento.idSettore) "
           "INNER JOIN IndVarAnno ON (Settore.idSettore = IndVarAnno.Settore) AND (Argomento.[Codice argomento] = "
           "IndVarAnno.Argomento)) INNER JOIN Metadati" + k + " ON IndVarAnno.Variabile = Metadati" + k + ".Id" + s +
           "e Where (((IndVarAnno.TipoVar) = '" + t + "') and (IndVarAnno.LivTerritoriale) = '" + level +
           "') GROUP BY Settore.idSettore, Settore.[Descrizione Settore], Argomento.[Codice argomento], "
           "Argomento.[Desc argomento], Metadati" + k + ".Id" + s + "e, Metadati" + k + ".Desc" + s +
           "e, IndVarAnno.TipoVar ORDER BY Settore.idSettore, Argomento.[Codice argomento], Metadati" + k + ".Id" +
           s + "e;";
}

class FolderIntegrity : public ::testing::TestWithParam<std::string> {
protected:
    static void SetUpTestSuite() { s_small = std::make_unique<fixtures::ProgramFolder>(); }
    static void TearDownTestSuite() { s_small.reset(); }
    QString root() const { return GetParam() == "full" ? kFull : s_small->path() + "/"; }

    static std::unique_ptr<fixtures::ProgramFolder> s_small;
};
std::unique_ptr<fixtures::ProgramFolder> FolderIntegrity::s_small;

TEST_P(FolderIntegrity, DatabasesOpenWithThePasswordAndHoldEveryTable) {
    EXPECT_EQ(missingTables(root()), QStringList());
}

TEST_P(FolderIntegrity, EveryIndexedTableHoldsTheTerritoryAndCodeColumns) {
    EXPECT_EQ(indexedTablesLackingColumns(root()), QStringList());
}

TEST_P(FolderIntegrity, MenuNamesExistingDatabasesAndSuitsTheDispatcher) {
    EXPECT_EQ(menuProblems(root()), QStringList());
}

TEST_P(FolderIntegrity, EveryTableLinkResolves) {
    EXPECT_EQ(unresolvedLinks(root()), QStringList());
}

TEST_P(FolderIntegrity, EveryLayerNamesAShapeFileMatchingTheTerritories) {
    EXPECT_EQ(layerProblems(root(), GetParam() == "full"), QStringList());
}

// Each area tree the menu offers has codes, and none under two sub-areas (that would stop the fill).
TEST_P(FolderIntegrity, EveryAreaTreeFillsWithoutDuplicateKeys) {
    const struct {
        const char *db;
        const char *kind;
        const char *level;
    } trees[] = {{"VariabiliProvince.mdb", "Variabili", "T"}, {"IndicatoriProvince.mdb", "Indicatori", "T"},
                 {"VariabiliRegioni.mdb", "Variabili", "R"}, {"IndicatoriRegioni.mdb", "Indicatori", "R"}};
    for (const auto &t : trees) {
        SCOPED_TRACE(t.db);
        const Result r = query(root() + "Databases/" + t.db, treeQuery(t.kind, t.level));
        ASSERT_FALSE(r.rows.isEmpty());
        QSet<QString> areas, subAreas, codes;
        for (const auto &row : r.rows) {
            areas << vb::CStr(row[0]);
            subAreas << vb::CStr(row[2]);
            codes << vb::CStr(row[4]);
        }
        EXPECT_EQ(codes.size(), r.rows.size()) << "a code under two sub-areas";
        EXPECT_EQ((areas + subAreas + codes).size(), areas.size() + subAreas.size() + codes.size())
            << "a key shared by two levels";
    }
}

// The statements the windows send, on the folder's own tables: each finds what it looks for.
TEST_P(FolderIntegrity, StatementsOfTheWindowsFindTheirRows) {
    const QString varSheet =
        "SELECT MetadatiVariabili.*, Argomento.[Desc argomento], Settore.[Descrizione Settore] FROM (Argomento "
        "INNER JOIN Settore ON Argomento.idSettore = Settore.idSettore) INNER JOIN MetadatiVariabili ON "
        "Argomento.[Codice argomento] = MetadatiVariabili.CodiceArgomento Where  IdVariabile  ='AS001';";
    const QString indSheet =
        "SELECT MetadatiIndicatori.*, Argomento.[Desc argomento], Settore.[Descrizione Settore] FROM (Argomento "
        "INNER JOIN Settore ON Argomento.idSettore = Settore.idSettore) INNER JOIN MetadatiIndicatori ON "
        "Argomento.[Codice argomento] = MetadatiIndicatori.Argomento Where IdIndicatore ='IAS013';";
    const QString varExport =
        "SELECT IdVariabile as Variabile, Settore.[Descrizione Settore] as Area, Argomento.[Codice argomento] as "
        "[Codice Sottoarea], Argomento.[Desc argomento] as Sottoarea, DescVariabile, Fonte, PubblRecente, Ente, "
        "UltimoAnnoDisponibile, [1996] , [1997], [1998], [1999], [2000], [2001], [2002], [2003], [2004], [2005], "
        "[2006], [2007], [2008], UnitaMisura, PeriodoRif, NoteSerie, Note_1996, Note_2008, Fonte_1996, Fonte_2008, "
        "Pubblicazione_1996, Pubblicazione_2008, Ente_1996, Ente_2008 FROM Settore INNER JOIN (Argomento INNER JOIN "
        "MetadatiVariabili ON Argomento.[Codice argomento] = MetadatiVariabili.CodiceArgomento) ON Settore.idSettore "
        "= Argomento.idSettore WHERE ID" "Variabile ='AS001' OR ID" "Variabile ='AS013'";
    const QString indExport =
        "SELECT IdIndicatore as Indicatore, Settore.[Descrizione Settore] as Area, Argomento.[Codice argomento] as "
        "[Codice Sottoarea], Argomento.[Desc argomento] as Sottoarea, DescIndicatore , ModalitaCalcolo, "
        "IdVariabilAssociate, [1996], [2008], NoteTecniche FROM (Argomento INNER JOIN MetadatiIndicatori ON "
        "Argomento.[Codice argomento] = MetadatiIndicatori.Argomento) INNER JOIN Settore ON Argomento.idSettore = "
        "Settore.idSettore WHERE IDIndicatore ='IAS013'";
    const QString indReport =
        "SELECT MetadatiIndicatori.*, Argomento.[Desc argomento] as DescArg, Valutazioni.Descrizione FROM "
        "Valutazioni INNER JOIN (Argomento INNER JOIN MetadatiIndicatori ON Argomento.[Codice argomento] = "
        "MetadatiIndicatori.Argomento) ON Valutazioni.Valutazione = MetadatiIndicatori.Valutazione where  "
        "idindicatore = 'IAS013'";
    const QString dataQuery =
        "SELECT land_Ind.COD_TIPO_TERR as TipoTerritorio, land_Ind.COD_TERR, land_Ind.PROV, land_Ind.REG, "
        "land_Ind.COD_NUTS, land_Ind.DES_TERR as Territorio, Format(AS_2005.AS001, '0.00') as AS001_2005, "
        "Format(AS_2005.AS013, '0.00') as AS013_2005 FROM AS_2005 INNER JOIN land_Ind  ON AS_2005.COD_TERR = "
        "land_Ind.COD_TERR WHERE land_Ind.DES_TERR IN( 'Torino', 'Piemonte', 'Italia') order by land_Ind.COD_TERR";
    const struct {
        const char *db;
        QString sql;
        int atLeast;
    } cases[] = {
        {"Metadati.mdb", varSheet, 1},
        {"Metadati.mdb", indSheet, 1},
        {"Metadati.mdb", varExport, 2},
        {"Metadati.mdb", indExport, 1},
        {"Metadati.mdb", indReport, 1},
        {"Metadati.mdb", "select definizione from glossario where nome = 'Tasso d''attività'", 1},
        {"Metadati.mdb", "select nome from glossario where nome like '%''%'", 2},
        {"Metadati.mdb", "select * from InfoAggiornamento", 1},
        {"VariabiliProvince.mdb", dataQuery, 3},
        {"VariabiliProvince.mdb",
         "SELECT IndVarAnno.Anno, MetadatiVariabili.* FROM IndVarAnno INNER JOIN MetadatiVariabili ON "
         "IndVarAnno.Variabile = MetadatiVariabili.IdVariabile WHERE IndVarAnno.Variabile = 'AS001' and "
         "IndVarAnno.LivTerritoriale = 'T' order by IndVarAnno.Anno;", 3},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.sql.toStdString());
        EXPECT_GE(query(root() + "Databases/" + c.db, c.sql).rows.size(), c.atLeast);
    }
}

INSTANTIATE_TEST_SUITE_P(Folders, FolderIntegrity, ::testing::Values("full", "small"),
                         [](const auto &info) { return info.param; });

TEST(SampleAtlasShapes, BoundarySetsHaveTheirAreasInMetres) {
    const struct {
        const char *set;
        int areas;
    } sets[] = {{"regioni", 20}, {"province103", 103}, {"province107", 107}, {"nuts2", 21}};
    for (const auto &s : sets) {
        SCOPED_TRACE(s.set);
        const QString base = kFull + "Shape/" + s.set;
        EXPECT_EQ(areaCount(base), s.areas);
        SHPHandle shp = SHPOpen(QFile::encodeName(base).constData(), "rb");
        ASSERT_NE(shp, nullptr);
        double lo[4], hi[4];
        SHPGetInfo(shp, nullptr, nullptr, lo, hi);
        SHPClose(shp);
        // UTM 32N metres: Italy spans about 1,000 km east-west and 1,300 km north-south.
        EXPECT_NEAR(hi[0] - lo[0], 1.0e6, 1.0e5);
        EXPECT_NEAR(hi[1] - lo[1], 1.29e6, 1.0e5);
        EXPECT_GT(lo[1], 3.8e6);
    }
}

// Until 2005 the published provinces are the 103 of the time, from 2006 the 107, except the
// series that moved early or late; the four provinces cut in 2006 are then without a value.
TEST(SampleAtlasData, ProvincesFollowTheBoundarySetOfEachCodeAndYear) {
    const QString db = kFull + "Databases/VariabiliProvince.mdb";
    const struct {
        const char *table;
        const char *code;
        bool newProvinceHasValue;
    } cases[] = {
        {"AS_2004", "AS013", false}, {"AS_2005", "AS013", true},  {"AS_2005", "AS001", false},
        {"AS_2006", "AS001", false}, {"AS_2006", "AS013", true},  {"AS_2007", "AS001", true},
        {"IM_2007", "IM001", false}, {"IM_2008", "IM001", true},  {"CO_2006", "CO005", false},
        {"CO_2006", "CO019", false}, {"CO_2007", "CO005", true},  {"CO_2007", "CO020", false},
        {"DG_2005", "DG030", true},  {"DG_2005", "DG016", false},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(QString("%1.%2").arg(c.table, c.code).toStdString());
        // Ogliastra (105) and Medio Campidano (106): both are new in 2006.
        for (const char *p : {"P105", "P106"})
            EXPECT_EQ(cell(db, c.table, c.code, p) != "<null>", c.newProvinceHasValue) << p;
    }
}

// Wider units are the sums of their provinces, on whichever boundary set the series uses.
TEST(SampleAtlasData, WiderUnitsAddUpTheirProvinces) {
    const QString db = kFull + "Databases/VariabiliProvince.mdb";
    const QStringList sardinia103 = {"P090", "P091", "P092", "P095"};
    const QStringList sardinia107 = sardinia103 + QStringList{"P104", "P105", "P106", "P107"};
    const QStringList piemonte = {"P001", "P002", "P003", "P004", "P005", "P006", "P096", "P103"};
    const QStringList regions = [] {
        QStringList out;
        for (int r = 1; r <= 20; ++r)
            out << QString("R%1").arg(r, 2, 10, QLatin1Char('0'));
        return out;
    }();
    const struct {
        const char *table;
        const char *code;
        const char *unit;
        QStringList parts;
    } cases[] = {
        {"AS_2005", "AS001", "R20", sardinia103}, {"AS_2007", "AS001", "R20", sardinia107},
        {"TR_2004", "TR001", "R01", piemonte},    {"AS_1998", "AS001", "ITA", regions},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(QString("%1.%2 %3").arg(c.table, c.code, c.unit).toStdString());
        double sum = 0;
        for (const QString &p : c.parts) {
            ASSERT_NE(cell(db, c.table, c.code, p), "<null>") << p.toStdString();
            sum += number(db, c.table, c.code, p);
        }
        EXPECT_NEAR(number(db, c.table, c.code, c.unit), sum, 0.5);
    }
}

TEST(SampleAtlasData, IndicatorsAreWorkedOutFromTheirVariables) {
    const QString vars = kFull + "Databases/VariabiliProvince.mdb";
    const QString inds = kFull + "Databases/IndicatoriProvince.mdb";
    const QString regVars = kFull + "Databases/VariabiliRegioni.mdb";
    const QString regInds = kFull + "Databases/IndicatoriRegioni.mdb";
    const double bedsPerThousand = number(vars, "AS_2003", "AS013", "P001") / number(vars, "AS_2003", "AS001", "P001") * 1000;
    EXPECT_NEAR(number(inds, "IAS_2003", "IAS013", "P001"), bedsPerThousand, 0.006);
    const double unemployment = number(regVars, "LA_2001", "LA003", "R15") / number(regVars, "LA_2001", "LA001", "R15") * 100;
    EXPECT_NEAR(number(regInds, "ILA_2001", "ILA002", "R15"), unemployment, 0.1);
    // Southern regions have more unemployment than northern ones, as they do.
    EXPECT_GT(number(regInds, "ILA_2001", "ILA002", "R15"), 2 * number(regInds, "ILA_2001", "ILA002", "R05"));
}

// Values follow from code, territory and year alone: the fixture shows the atlas's own numbers.
TEST(SampleAtlasData, TheSmallFixtureHoldsTheFullAtlasNumbers) {
    fixtures::ProgramFolder small;
    for (const char *code : {"AS001", "AS013", "AS014"}) {
        for (const char *unit : {"P001", "R02", "ITA", "P040"}) {
            SCOPED_TRACE(QString("%1 %2").arg(code, unit).toStdString());
            EXPECT_EQ(cell(small.databases() + "VariabiliProvince.mdb", "AS_2005", code, unit),
                      cell(kFull + "Databases/VariabiliProvince.mdb", "AS_2005", code, unit));
        }
    }
}

TEST(SampleAtlasData, SeriesHaveTheGapsOfRealData) {
    const QString db = kFull + "Databases/VariabiliProvince.mdb";
    const QString meta = kFull + "Databases/Metadati.mdb";
    EXPECT_GT(scalar(db, "select count(*) from AS_2005 where AS013 is null").toLong(), 0);
    EXPECT_EQ(cell(db, "TR_2002", "COD_TERR", "P101"), "P101");
    EXPECT_EQ(cell(db, "TR_2003", "COD_TERR", "P101"), "<null>") << "a territory left out of one table";
    QStringList years;
    for (const auto &row : query(meta, "select Anno from IndVarAnno where Variabile = 'IM005' order by Anno").rows)
        years << vb::CStr(row[0]);
    EXPECT_EQ(years.join(' '), "1996 2001 2004 2005 2006 2007");
    EXPECT_EQ(scalar(meta, "select count(*) from IndVarAnno where Variabile = 'AS040'").toLong(), 0);
    EXPECT_EQ(scalar(meta, "select count(*) from MetadatiVariabili where IdVariabile = 'AS040'").toLong(), 1);
    EXPECT_EQ(vb::CStr(scalar(meta, "select Note_2001 from MetadatiVariabili where IdVariabile = 'AS001'")).left(10),
              "Dati ricos");
    // Quartiles of a column with many equal values have equal bounds: the map warns about it.
    const Result hyper = query(db, "select CO005 from CO_2005 where COD_TERR like 'P%'");
    QHash<QString, int> counts;
    for (const auto &row : hyper.rows)
        ++counts[row[0].isNull() ? QString() : vb::CStr(row[0])];
    int most = 0;
    for (int n : counts)
        most = std::max(most, n);
    EXPECT_GE(most, int(hyper.rows.size()) / 3);
}

TEST(SampleAtlasData, NamesKeepTheirAccentsAndApostrophes) {
    const QString territory = kFull + "Databases/Territorio.mdb";
    const struct {
        const char *code;
        const char *name;
    } names[] = {{"P040", "Forlì-Cesena"}, {"P066", "L'Aquila"}, {"R02", "Valle d'Aosta"},
                 {"P035", "Reggio nell'Emilia"}, {"P104", "Olbia-Tempio"}};
    for (const auto &n : names)
        EXPECT_EQ(vb::CStr(scalar(territory, QString("select DES_TERR from land_Ind where COD_TERR = '%1'").arg(n.code))),
                  QString::fromUtf8(n.name));
    EXPECT_TRUE(shapeField(kFull + "Shape/province107", "DES_PROV").contains(QString::fromUtf8("Forlì-Cesena")));
    EXPECT_TRUE(shapeField(kFull + "Shape/regioni", "DES_TERR").contains("Valle d'Aosta"));
}

TEST(SampleAtlasFiles, SingleByteTextsUseTheWindowsCodePageAndCrLf) {
    for (const char *name : {"InfoZup.txt", "area.kvr"}) {
        SCOPED_TRACE(name);
        QFile f(kFull + "Files/" + name);
        ASSERT_TRUE(f.open(QIODevice::ReadOnly));
        const QByteArray bytes = f.readAll();
        EXPECT_FALSE(bytes.isEmpty());
        EXPECT_TRUE(bytes.endsWith("\r\n"));
        EXPECT_EQ(bytes.count("\n"), bytes.count("\r\n"));
        EXPECT_EQ(vb::toCp1252(vb::fromCp1252(bytes)), bytes);
        EXPECT_FALSE(bytes.contains('\xc3')) << "UTF-8 where single bytes belong";
        EXPECT_TRUE(vb::fromCp1252(bytes).contains(QRegularExpression(QString::fromUtf8("[àèéìòù]"))));
    }
    const QStringList areas = vb::readLines(kFull + "Files/area.kvr");
    ASSERT_FALSE(areas.isEmpty());
    EXPECT_EQ(areas.first().split(';').mid(0, 2).join(""), "Area01");
}

TEST(SampleAtlasFiles, TemplatesAreWorkbooksOfTwoSheetsOrMore) {
    for (const char *name : {"DatiTemplateVar.xlsx", "DatiTemplateInd.xlsx"}) {
        SCOPED_TRACE(name);
        int error = 0;
        zip_t *z = zip_open(QFile::encodeName(kFull + "Files/" + name).constData(), ZIP_RDONLY, &error);
        ASSERT_NE(z, nullptr);
        auto read = [&](const char *entry) {
            QByteArray out;
            zip_stat_t st;
            if (zip_stat(z, entry, 0, &st) != 0)
                return out;
            zip_file_t *f = zip_fopen(z, entry, 0);
            out.resize(qsizetype(st.size));
            zip_fread(f, out.data(), st.size);
            zip_fclose(f);
            return out;
        };
        EXPECT_TRUE(read("[Content_Types].xml").contains("spreadsheetml.sheet.main+xml"));
        const QByteArray book = read("xl/workbook.xml");
        EXPECT_GE(book.count("<sheet "), 2);
        EXPECT_FALSE(read("xl/worksheets/sheet2.xml").isEmpty());
        EXPECT_TRUE(read("xl/_rels/workbook.xml.rels").contains("worksheets/sheet2.xml"));
        zip_close(z);
    }
}

TEST(SampleAtlasFiles, PicturesHaveTheSizesTheWindowsUse) {
    const QString images = kFull + "Images/";
    const struct {
        const char *file;
        int width;
        int height;
    } pictures[] = {{"nota.png", 521, 360}, {"open.png", 16, 16}, {"close.png", 16, 16}, {"openR.png", 16, 16},
                    {"closeR.png", 16, 16}, {"pendra.png", 64, 64}};
    for (const auto &p : pictures) {
        const QImage img(images + p.file);
        EXPECT_EQ(img.size(), QSize(p.width, p.height)) << p.file;
    }
    EXPECT_NE(QImage(images + "open.png"), QImage(images + "openR.png")) << "the note mark is missing";
    EXPECT_FALSE(QImage(images + "velmo2.jpg").isNull());
}

}  // namespace
