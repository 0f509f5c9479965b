// The statements the program sends, each on the small atlas with the tables it involves.
#include "AtlasFixture.h"

#include "vb/Conversions.h"
#include "vb/Error.h"

#include <gtest/gtest.h>

using namespace jettest;

namespace {

class Statements : public ::testing::Test {
protected:
    static void SetUpTestSuite() { atlas = new AtlasFixture; }
    static void TearDownTestSuite()
    {
        delete atlas;
        atlas = nullptr;
    }
    void SetUp() override { vb::setUserLocale(QLocale(QLocale::Italian, QLocale::Italy)); }
    void TearDown() override { vb::resetUserLocale(); }

    static QStringList names(const QString &path, const QString &sql)
    {
        jet::Connection cn;
        cn.open(odbc(path));
        jet::Recordset rs;
        rs.open(sql, cn, jet::CursorType::Static);
        return rs.fieldNames();
    }

    static AtlasFixture *atlas;
};

AtlasFixture *Statements::atlas = nullptr;

TEST_F(Statements, StartUpAndMenuTables)
{
    const QStringList configs = query(atlas->metadati(), "Select * from DbConfigs");
    ASSERT_EQ(configs.size(), 2);
    EXPECT_TRUE(configs[0].startsWith("Dati.mdb|Dati provinciali|"));
    EXPECT_TRUE(configs[0].endsWith("|Variabili"));
    EXPECT_EQ(configs[0].split('|').size(), 11);

    EXPECT_EQ(query(atlas->metadati(), "select * from DBMainMenu order by IdMenuParent, Orderb"),
              (QStringList{"1|-1|1|File", "4|-1|2|Dati", "2|1|1|Apri", "3|1|2|Esci"}));
    EXPECT_EQ(query(atlas->metadati(), "select * from tablelink"), QStringList{"IndVarAnno|Metadati.mdb|Dati.mdb"});
    EXPECT_EQ(query(atlas->metadati(), "select * from InfoAggiornamento"), QStringList{"31/12/2008|<null>"});
}

TEST_F(Statements, AreaTreeYearsAndNotesThroughLinks)
{
    const QString tree =
        "SELECT Settore.idSettore, Settore.[Descrizione Settore], Argomento.[Codice argomento], Argomento.[Desc argomento], "
        "MetadatiVariabili.IdVariabile, MetadatiVariabili.DescVariabile, IndVarAnno.TipoVar "
        "FROM ((Settore INNER JOIN Argomento ON Settore.idSettore = Argomento.idSettore) INNER JOIN IndVarAnno ON "
        "(Settore.idSettore = IndVarAnno.Settore) AND (Argomento.[Codice argomento] = IndVarAnno.Argomento)) "
        "INNER JOIN MetadatiVariabili ON IndVarAnno.Variabile = MetadatiVariabili.IdVariabile "
        "Where (((IndVarAnno.TipoVar) = 'V') and (IndVarAnno.LivTerritoriale) = 'P') "
        "GROUP BY Settore.idSettore, Settore.[Descrizione Settore], Argomento.[Codice argomento], Argomento.[Desc argomento], "
        "MetadatiVariabili.IdVariabile, MetadatiVariabili.DescVariabile, IndVarAnno.TipoVar "
        "ORDER BY Settore.idSettore, Argomento.[Codice argomento], MetadatiVariabili.IdVariabile;";
    EXPECT_EQ(query(atlas->dati(), tree), (QStringList{"A|Ambiente|A01|Aria|AS013|Superficie|V",
                                                       "A|Ambiente|A01|Aria|AS014|Boschi|V",
                                                       "B|Popolazione|B01|Residenti|DG030|Nati|V"}));
    EXPECT_EQ(names(atlas->dati(), tree), (QStringList{"idSettore", "Descrizione Settore", "Codice argomento",
                                                       "Desc argomento", "IdVariabile", "DescVariabile", "TipoVar"}));

    jet::Connection cn;
    cn.open(odbc(atlas->dati()));
    jet::Recordset years;
    years.open("SELECT IndVarAnno.Anno, MetadatiVariabili.* FROM IndVarAnno INNER JOIN MetadatiVariabili ON "
               "IndVarAnno.Variabile = MetadatiVariabili.IdVariabile WHERE IndVarAnno.Variabile = 'AS013' and "
               "IndVarAnno.LivTerritoriale = 'P' order by IndVarAnno.Anno;",
               cn);
    ASSERT_FALSE(years.eof());
    EXPECT_EQ(years.value("Anno").toLong(), 2005);
    EXPECT_EQ(years.value("Note_" + vb::CStr(years.value("Anno"))).rawString(), "nota del 2005");
    years.moveNext();
    EXPECT_EQ(years.value("Anno").toLong(), 2006);
    EXPECT_TRUE(years.value("Note_2006").isNull());
    years.moveNext();
    EXPECT_TRUE(years.eof());

    EXPECT_EQ(query(atlas->dati(), "SELECT Note_2005 FROM MetadatiVariabili WHERE IdVariabile = 'AS013' "),
              QStringList{"nota del 2005"});
}

TEST_F(Statements, TerritoryLists)
{
    const QString base = "SELECT DES_TERR,COD_TIPO_TERR, COD_TERR From land_Ind";
    struct Case {
        QString condition;
        QStringList expected;
    } cases[] = {
        {" where COD_TIPO_TERR=2 or COD_TIPO_TERR=22", {"Piemonte|2|R01", "Liguria|22|R02"}},
        {" where COD_TIPO_TERR=1 or COD_TIPO_TERR=6", {"Torino|1|001", "Vercelli|1|002"}},
        {" where COD_TIPO_TERR=2 or COD_TIPO_TERR=6 and COD_TIPO_TERR <> 1", {"Piemonte|2|R01"}},
        {" where COD_TIPO_TERR <> 1", {"Piemonte|2|R01", "Liguria|22|R02"}},
        {"", {"Torino|1|001", "Vercelli|1|002", "Piemonte|2|R01", "Liguria|22|R02"}},
    };
    jet::Connection cn;
    cn.open(odbc(atlas->territorio()));
    for (const Case &c : cases) {
        jet::Recordset rs;
        rs.open(base + c.condition, cn, jet::CursorType::Keyset, jet::LockType::Optimistic);
        EXPECT_EQ(rs.recordCount(), c.expected.size()) << c.condition.toStdString();
        EXPECT_EQ(rows(rs), c.expected) << c.condition.toStdString();
    }
}

TEST_F(Statements, DataQueryOfTheBuilder)
{
    EXPECT_EQ(query(atlas->dati(), "SELECT Tabella, Settore From IndVarAnno WHERE Variabile = 'AS013' and anno = 2006"),
              QStringList{"Y|A"});

    const QString sql =
        "SELECT land_Ind.COD_TIPO_TERR as TipoTerritorio, land_Ind.COD_TERR, land_Ind.PROV, land_Ind.REG, "
        "land_Ind.COD_NUTS, land_Ind.DES_TERR as Territorio, Format(X.AS013, '0.00') as AS013_2005, "
        "Format(Y.AS013, '0.00') as AS013_2006, Format(X.AS014, '0.00') as AS014_2005, "
        "Format(Z.DG030, '0.00') as DG030_2005 FROM ((X INNER JOIN land_Ind  ON X.COD_TERR = land_Ind.COD_TERR) "
        "INNER JOIN Y ON Y.COD_TERR = X.COD_TERR) INNER JOIN Z ON Z.COD_TERR = Y.COD_TERR "
        "WHERE land_Ind.DES_TERR IN( 'Torino', 'vercelli', 'Piemonte')";
    const QString ordered = sql + " order by land_Ind.COD_TERR";
    // Null stays Null through Format; R01 has no row in Y, so the inner join drops it.
    EXPECT_EQ(query(atlas->dati(), ordered), (QStringList{"1|001|1|1|ITC11|Torino|12,50|13,00|3,00|100,00",
                                                          "1|002|2|1|ITC12|Vercelli|<null>|14,00|4,00|200,26"}));
    EXPECT_EQ(names(atlas->dati(), ordered),
              (QStringList{"TipoTerritorio", "COD_TERR", "PROV", "REG", "COD_NUTS", "Territorio", "AS013_2005",
                           "AS013_2006", "AS014_2005", "DG030_2005"}));

    jet::Connection cn;
    cn.open(odbc(atlas->dati()));
    jet::Recordset rs;
    rs.open(ordered, cn, jet::CursorType::Static);
    EXPECT_EQ(rs.value("AS013_2005").type(), vb::VarType::String);
    EXPECT_EQ(rs.value("TipoTerritorio").type(), vb::VarType::Long);
}

TEST_F(Statements, RightNestedJoinsAndTableStar)
{
    const QString sql = "SELECT X.*, Z.DG030 FROM X INNER JOIN (land_Ind INNER JOIN Z ON land_Ind.COD_TERR = Z.COD_TERR) "
                        "ON X.COD_TERR = land_Ind.COD_TERR order by X.COD_TERR";
    EXPECT_EQ(names(atlas->dati(), sql), (QStringList{"COD_TERR", "AS013", "AS014", "DG030"}));
    EXPECT_EQ(query(atlas->dati(), sql), (QStringList{"001|12,5|3|100", "002|<null>|4|200,255", "R01|7,125|1|300"}));
}

TEST_F(Statements, DescriptionAndMetadataSheets)
{
    EXPECT_EQ(query(atlas->metadati(), "Select DescVariabile from MetadatiVariabili where IDVariabile ='AS013'"),
              QStringList{"Superficie"});

    const QString variableSheet =
        "SELECT MetadatiVariabili.*, Argomento.[Desc argomento], Settore.[Descrizione Settore] "
        "FROM (Argomento INNER JOIN Settore ON Argomento.idSettore = Settore.idSettore) INNER JOIN MetadatiVariabili "
        "ON Argomento.[Codice argomento] = MetadatiVariabili.CodiceArgomento Where  IdVariabile  ='AS013';";
    jet::Connection cn;
    cn.open(odbc(atlas->metadati()));
    jet::Recordset rs;
    rs.open(variableSheet, cn, jet::CursorType::Static);
    ASSERT_EQ(rs.recordCount(), 1);
    EXPECT_EQ(rs.value("DescVariabile").rawString(), "Superficie");
    EXPECT_EQ(rs.value("desc argomento").rawString(), "Aria");
    EXPECT_EQ(rs.value("Descrizione Settore").rawString(), "Ambiente");
    EXPECT_EQ(rs.value("2005").rawString(), "P");

    const QString indicatorSheet =
        "SELECT MetadatiIndicatori.*, Argomento.[Desc argomento], Settore.[Descrizione Settore] "
        "FROM (Argomento INNER JOIN Settore ON Argomento.idSettore = Settore.idSettore) INNER JOIN MetadatiIndicatori "
        "ON Argomento.[Codice argomento] = MetadatiIndicatori.Argomento Where IdIndicatore ='IAS013';";
    rs.open(indicatorSheet, cn, jet::CursorType::Static);
    ASSERT_EQ(rs.recordCount(), 1);
    EXPECT_EQ(rs.value("DescIndicatore").rawString(), "Indice di superficie");

    const QString reportVar =
        "SELECT MetadatiVariabili.*, Argomento.[Desc argomento] as descArg FROM Argomento INNER JOIN MetadatiVariabili "
        "ON Argomento.[Codice argomento] = MetadatiVariabili.CodiceArgomento where idvariabile = 'as013';";
    rs.open(reportVar, cn);
    EXPECT_EQ(rs.value("descarg").rawString(), "Aria");
    EXPECT_EQ(rs.value("idvariabile").rawString(), "AS013");

    const QString reportInd =
        "SELECT MetadatiIndicatori.*, Argomento.[Desc argomento] as DescArg, Valutazioni.Descrizione FROM Valutazioni "
        "INNER JOIN (Argomento INNER JOIN MetadatiIndicatori ON Argomento.[Codice argomento] = "
        "MetadatiIndicatori.Argomento) ON Valutazioni.Valutazione = MetadatiIndicatori.Valutazione where  "
        "idindicatore = 'IAS013'";
    rs.open(reportInd, cn);
    ASSERT_FALSE(rs.eof());
    EXPECT_EQ(rs.value("DescArg").rawString(), "Aria");
    EXPECT_EQ(rs.value("Descrizione").rawString(), "Ambientale");
    EXPECT_EQ(rs.value("ModalitaCalcolo").rawString(), "AS013 / AS014");
}

// The export's metadata query, built as the export builds it from a code list.
QString exportQuery(const QString &kind, const QStringList &codes)
{
    const QString s = kind.left(kind.size() - 1);
    QString where = "WHERE ";
    for (const QString &e : codes)
        where += " ID" + s + "e ='" + e + "' OR ";
    where = where.trimmed();
    if (where.endsWith("OR"))
        where.chop(2);
    if (kind == "Variabili")
        return "SELECT IdVariabile as Variabile, Settore.[Descrizione Settore] as Area, Argomento.[Codice argomento] as "
               "[Codice Sottoarea], Argomento.[Desc argomento] as Sottoarea, DescVariabile, Fonte, PubblRecente, Ente, "
               "UltimoAnnoDisponibile, [1996] , [1997], [1998], [1999], [2000], [2001], [2002], [2003], [2004], [2005], "
               "[2006], [2007], [2008], UnitaMisura, PeriodoRif, NoteSerie, Note_1996, Note_1997, Note_1998, Note_1999, "
               "Note_2000, Note_2001, Note_2002, Note_2003, Note_2004, Note_2005, Note_2006, Note_2007, Note_2008, "
               "Fonte_1996, Fonte_1997, Fonte_1998, Fonte_1999, Fonte_2000, Fonte_2001, Fonte_2002, Fonte_2003, "
               "Fonte_2004, Fonte_2005, Fonte_2006, Fonte_2007, Fonte_2008, Pubblicazione_1996, Pubblicazione_1997, "
               "Pubblicazione_1998, Pubblicazione_1999, Pubblicazione_2000, Pubblicazione_2001, Pubblicazione_2002, "
               "Pubblicazione_2003, Pubblicazione_2004, Pubblicazione_2005, Pubblicazione_2006, Pubblicazione_2007, "
               "Pubblicazione_2008, Ente_1996, Ente_1997, Ente_1998, Ente_1999, Ente_2000, Ente_2001, Ente_2002, "
               "Ente_2003, Ente_2004, Ente_2005, Ente_2006, Ente_2007, Ente_2008 FROM Settore INNER JOIN (Argomento "
               "INNER JOIN MetadatiVariabili ON Argomento.[Codice argomento] = MetadatiVariabili.CodiceArgomento) ON "
               "Settore.idSettore = Argomento.idSettore " +
               where;
    return "SELECT IdIndicatore as Indicatore, Settore.[Descrizione Settore] as Area, Argomento.[Codice argomento] as "
           "[Codice Sottoarea], Argomento.[Desc argomento] as Sottoarea, DescIndicatore , ModalitaCalcolo, "
           "IdVariabilAssociate, [1996], [1997], [1998], [1999], [2000], [2001], [2002], [2003], [2004], [2005], "
           "[2006], [2007], [2008], NoteTecniche FROM (Argomento INNER JOIN MetadatiIndicatori ON Argomento.[Codice "
           "argomento] = MetadatiIndicatori.Argomento) INNER JOIN Settore ON Argomento.idSettore = Settore.idSettore "
           "WHERE " +
           where.mid(6);
}

TEST_F(Statements, SpreadsheetMetadataQueries)
{
    jet::Connection cn;
    cn.open(odbc(atlas->metadati()));
    jet::Recordset rs;
    rs.open(exportQuery("Variabili", {"", "COD_TERR", "AS013", "DG030"}), cn);
    EXPECT_EQ(rs.fieldCount(), 77);
    EXPECT_EQ(rs.fieldName(2), "Codice Sottoarea");
    EXPECT_EQ(rs.fieldName(9), "1996");
    QStringList found;
    while (!rs.eof()) {
        found << rs.value("Variabile").rawString() + "|" + rs.value("Area").rawString();
        rs.moveNext();
    }
    found.sort();
    EXPECT_EQ(found, (QStringList{"AS013|Ambiente", "DG030|Popolazione"}));

    rs.open(exportQuery("Indicatori", {"", "IAS013"}), cn);
    ASSERT_FALSE(rs.eof());
    EXPECT_EQ(rs.value("Indicatore").rawString(), "IAS013");
    EXPECT_EQ(rs.value("Sottoarea").rawString(), "Aria");
    EXPECT_EQ(rs.fieldCount(), 21);
}

TEST_F(Statements, FormulaEvaluation)
{
    struct Case {
        QString expression;
        QString expected;
    } cases[] = {
        {"CDbl('10,00') / CDbl('4,00') ", "2,5000"},
        {"CDbl('3,00') ^ 2 ", "9,0000"},
        {"CDbl('2,00') + CDbl('3,00') ^ 2 * 2 ", "20,0000"},
        {"( CDbl('1,00') + CDbl('3,00') ) / 8 * 100 ", "50,0000"},
        {"12+ CDbl('0,5') ", "12,5000"},
        {"- CDbl('2') ^ 2 ", "-4,0000"},
        {"7 / 2 ", "3,5000"},
    };
    jet::Connection cn;
    cn.open(odbc(atlas->utente()));
    for (const Case &c : cases) {
        jet::Recordset rs;
        rs.open("Select Format(CDbl(" + c.expression + "), '0.0000') as exp1 from tabope", cn, jet::CursorType::Static);
        ASSERT_FALSE(rs.eof()) << c.expression.toStdString();
        EXPECT_EQ(rs.value(0).rawString(), c.expected) << c.expression.toStdString();
        EXPECT_EQ(rs.fieldName(0), "exp1");
    }
    jet::Recordset rs;
    EXPECT_EQ(errorOf([&] {
                  rs.open("Select Format(CDbl(CDbl('1,00') / CDbl('0') ), '0.0000') as exp1 from tabope", cn,
                          jet::CursorType::Static);
              }),
              vb::err::DivisionByZero);
    EXPECT_EQ(errorOf([&] { rs.open("Select Format(CDbl(CDbl('1,00') / ), '0.0000') as exp1 from tabope", cn); }),
              vb::err::EngineRefused);
    EXPECT_EQ(errorOf([&] { rs.open("Select Format(CDbl(CDbl('1,00') ), '0.0000') as exp1 from tabopex", cn); }),
              vb::err::EngineRefused);
}

TEST_F(Statements, MapIdentifyQueries)
{
    EXPECT_EQ(query(atlas->utente(), "select [AS013_2005] from tMappa where [tMappa].n_quirn = 1"), QStringList{"12,5"});
    EXPECT_EQ(query(atlas->territorio(),
                    "SELECT land.Provincia, land.REGIONE FROM land_Ind INNER JOIN land ON land_Ind.PROV = land.N_PROV "
                    "where (land_Ind.cod_tipo_terr = 1 or land_Ind.cod_tipo_terr =6) and land_Ind.prov = 2"),
              QStringList{"Vercelli|Piemonte"});
    EXPECT_EQ(query(atlas->territorio(),
                    "SELECT land_Ind.DES_TERR from land_Ind INNER JOIN land ON land_Ind.cod_terr = land.cod_terr WHERE "
                    "(land_Ind.cod_tipo_terr = 2 or land_Ind.cod_tipo_terr = 22) and land_Ind.cod_terr = 'r02'"),
              QStringList{"Liguria"});
    EXPECT_EQ(query(atlas->territorio(), "SELECT land.NUTS2 FROM land_Ind INNER JOIN land ON land_Ind.cod_terr = "
                                         "land.cod_terr where land_Ind.cod_terr = 'R01'"),
              QStringList{"ITC1"});

    // The regions' map table keys by text.
    jet::Database db = jet::Database::open(atlas->folder().file("qxt_utente.mdb"), false, false, dao());
    db.execute("CREATE TABLE tMappaR (N_QUIRN TEXT, [AS013_2005] REAL, N4 SMALLINT)");
    db.execute("INSERT INTO tMappaR VALUES ('R01', 7.125, 2)");
    EXPECT_EQ(query(atlas->utente(), "select [AS013_2005] from tMappaR where [tMappaR].n_quirn = 'R01'"),
              QStringList{"7,125"});
    db.execute("DROP TABLE tMappaR");
}

TEST_F(Statements, BrowserAndCodeList)
{
    EXPECT_EQ(query(atlas->metadati(), "Select dbdesc ,dbnames from dbconfigs"),
              (QStringList{"Dati provinciali|Dati.mdb", "Indicatori|Indicatori.mdb"}));

    const QString all =
        "SELECT Settore.idSettore, Settore.[Descrizione Settore], Argomento.[Codice argomento], Argomento.[Desc argomento], "
        "MetadatiIndicatori.IdIndicatore, MetadatiIndicatori.DescIndicatore, IndVarAnno.TipoVar "
        "FROM ((Settore INNER JOIN Argomento ON Settore.idSettore = Argomento.idSettore) INNER JOIN IndVarAnno ON "
        "(Settore.idSettore = IndVarAnno.Settore) AND (Argomento.[Codice argomento] = IndVarAnno.Argomento)) "
        "INNER JOIN MetadatiIndicatori ON IndVarAnno.Variabile = MetadatiIndicatori.IdIndicatore "
        "GROUP BY Settore.idSettore, Settore.[Descrizione Settore], Argomento.[Codice argomento], Argomento.[Desc argomento], "
        "MetadatiIndicatori.IdIndicatore, MetadatiIndicatori.DescIndicatore, IndVarAnno.TipoVar "
        "ORDER BY Settore.idSettore, Argomento.[Codice argomento], MetadatiIndicatori.IdIndicatore;";
    EXPECT_EQ(query(atlas->metadati(), all), QStringList{"A|Ambiente|A01|Aria|IAS013|Indice di superficie|I"});

    EXPECT_EQ(query(atlas->metadati(), "SELECT IdVariabile FROM MetadatiVariabili WHERE InStr([CodiceArgomento],'- NO')=0 "
                                       "AND InStr([CodiceArgomento],'-NO')=0 order by IdVariabile;"),
              (QStringList{"AS013", "AS014", "DG030"}));
    EXPECT_EQ(query(atlas->metadati(), "SELECT IdIndicatore FROM MetadatiIndicatori WHERE InStr([Argomento],'- NO')=0 "
                                       "AND InStr([Argomento],'-NO')=0 order by IdIndicatore;"),
              QStringList{"IAS013"});

    const QString years = "[1996] , [1997], [1998], [1999], [2000], [2001], [2002], [2003], [2004], [2005], [2006], "
                          "[2007], [2008] ";
    jet::Connection cn;
    cn.open(odbc(atlas->metadati()));
    jet::Recordset rs;
    rs.open("SELECT MetadatiVariabili.DescVariabile, Argomento.[Codice argomento], [Desc argomento], Settore.idSettore, "
            "[Descrizione Settore], " + years +
                "FROM (Argomento INNER JOIN MetadatiVariabili ON Argomento.[Codice argomento] = "
                "MetadatiVariabili.CodiceArgomento) INNER JOIN Settore ON Argomento.idSettore = Settore.idSettore "
                "WHERE IdVariabile ='AS014';",
            cn);
    ASSERT_FALSE(rs.eof());
    EXPECT_EQ(rs.value(0).rawString() + "|" + rs.value(1).rawString() + "|" + rs.value(4).rawString(),
              "Boschi|A01|Ambiente");
    EXPECT_EQ(rs.value("2005").rawString().toUpper(), "P");
    EXPECT_TRUE(rs.value("1996").isNull());

    rs.open("SELECT MetadatiIndicatori.DescIndicatore, Argomento.[Codice argomento], [Desc argomento], Settore.idSettore, "
            "[Descrizione Settore], " + years +
                "FROM (Argomento INNER JOIN Settore ON Argomento.idSettore = Settore.idSettore) INNER JOIN "
                "MetadatiIndicatori ON Argomento.[Codice argomento] = MetadatiIndicatori.Argomento WHERE IdIndicatore "
                "='IAS013';",
            cn);
    ASSERT_FALSE(rs.eof());
    EXPECT_EQ(rs.value("DescIndicatore").rawString(), "Indice di superficie");
}

TEST_F(Statements, Glossary)
{
    const QString m = atlas->metadati();
    EXPECT_EQ(query(m, "Select * from settore where idsettore <> 'A'"), QStringList{"B|Popolazione"});
    EXPECT_EQ(query(m, "Select nome from glossario where left(nome,1) ='A'"), (QStringList{"Area", "alveo"}));
    EXPECT_EQ(query(m, "Select nome from glossario where idsettore ='B'"), (QStringList{"alveo", "Territorio"}));
    EXPECT_EQ(query(m, "select nome from glossario where nome like '%AREA%'"), (QStringList{"Indice d'area", "Area"}));
    EXPECT_EQ(query(m, "select nome from glossario where nome like 'ind%'"), QStringList{"Indice d'area"});
    EXPECT_EQ(query(m, "select nome from glossario where nome like '_rea'"), QStringList{"Area"});
    EXPECT_EQ(query(m, "select nome from glossario order by 1;"),
              (QStringList{"alveo", "Area", "Indice d'area", "Territorio"}));
    EXPECT_EQ(query(m, "select definizione from glossario where nome = 'Indice d''area'"),
              QStringList{"Rapporto tra aree"});
    EXPECT_EQ(query(m, "SELECT Nome, Definizione FROM Glossario where nome = 'alveo'"),
              QStringList{"alveo|Letto del fiume"});
}

}  // namespace
