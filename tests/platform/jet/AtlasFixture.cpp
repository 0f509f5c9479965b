// Builds the small atlas of the statement tests.
#include "AtlasFixture.h"

namespace jettest {

namespace {

QStringList years(const QString &prefix, const QString &type)
{
    QStringList columns;
    for (int y = 1996; y <= 2008; ++y)
        columns << QStringLiteral("%1%2 %3").arg(prefix).arg(y).arg(type);
    return columns;
}

QString landInd()
{
    return "CREATE TABLE land_Ind (COD_TIPO_TERR LONG, COD_TERR TEXT(10), PROV LONG, REG LONG, "
           "COD_NUTS TEXT(10), DES_TERR TEXT(100))";
}

const QStringList landRows = {
    "INSERT INTO land_Ind VALUES (1, '001', 1, 1, 'ITC11', 'Torino')",
    "INSERT INTO land_Ind VALUES (1, '002', 2, 1, 'ITC12', 'Vercelli')",
    "INSERT INTO land_Ind VALUES (2, 'R01', 0, 1, 'ITC1', 'Piemonte')",
    "INSERT INTO land_Ind VALUES (22, 'R02', 0, 2, 'ITC3', 'Liguria')",
};

}  // namespace

AtlasFixture::AtlasFixture()
{
    QStringList bracketYears;
    for (const QString &c : years("", "TEXT(5)"))
        bracketYears << u'[' + c.section(u' ', 0, 0) + QStringLiteral("] TEXT(5)");
    const QStringList perYear = years("Note_", "TEXT") + years("Fonte_", "TEXT") + years("Pubblicazione_", "TEXT") +
                                years("Ente_", "TEXT");
    m_folder.database("Metadati.mdb", {
        "CREATE TABLE Settore (idSettore TEXT(1), [Descrizione Settore] TEXT(100))",
        "INSERT INTO Settore VALUES ('A', 'Ambiente')",
        "INSERT INTO Settore VALUES ('B', 'Popolazione')",
        "CREATE TABLE Argomento ([Codice argomento] TEXT(20), [Desc argomento] TEXT(100), idSettore TEXT(1))",
        "INSERT INTO Argomento VALUES ('A01', 'Aria', 'A')",
        "INSERT INTO Argomento VALUES ('B01', 'Residenti', 'B')",
        "INSERT INTO Argomento VALUES ('B02- NO', 'Nascosto', 'B')",
        "CREATE TABLE MetadatiVariabili (IdVariabile TEXT(10), DescVariabile TEXT, CodiceArgomento TEXT(20), "
        "LivelloTerritoriale TEXT(1), Fonte TEXT, PubblRecente TEXT, Ente TEXT, UltimoAnnoDisponibile TEXT, "
        "UnitaMisura TEXT, PeriodoRif TEXT, NoteSerie MEMO, " + bracketYears.join(", ") + ", " + perYear.join(", ") + ")",
        "INSERT INTO MetadatiVariabili (IdVariabile, DescVariabile, CodiceArgomento, [2005], Note_2005, Fonte_2005) "
        "VALUES ('AS013', 'Superficie', 'A01', 'P', 'nota del 2005', 'Istituto')",
        "INSERT INTO MetadatiVariabili (IdVariabile, DescVariabile, CodiceArgomento, [2005]) "
        "VALUES ('AS014', 'Boschi', 'A01', 'p')",
        "INSERT INTO MetadatiVariabili (IdVariabile, DescVariabile, CodiceArgomento) VALUES ('DG030', 'Nati', 'B01')",
        "INSERT INTO MetadatiVariabili (IdVariabile, DescVariabile, CodiceArgomento) VALUES ('XX001', 'Nascosta', 'B02- NO')",
        "CREATE TABLE MetadatiIndicatori (IdIndicatore TEXT(10), DescIndicatore TEXT, Argomento TEXT(20), "
        "ModalitaCalcolo TEXT, IdVariabilAssociate TEXT, Valutazione LONG, NoteTecniche MEMO, " +
            bracketYears.join(", ") + ")",
        "INSERT INTO MetadatiIndicatori (IdIndicatore, DescIndicatore, Argomento, ModalitaCalcolo, Valutazione, [2005]) "
        "VALUES ('IAS013', 'Indice di superficie', 'A01', 'AS013 / AS014', 1, 'P')",
        "CREATE TABLE Valutazioni (Valutazione LONG, Descrizione TEXT)",
        "INSERT INTO Valutazioni VALUES (1, 'Ambientale')",
        "CREATE TABLE IndVarAnno (Variabile TEXT(10), Anno LONG, LivTerritoriale TEXT(1), Tabella TEXT(50), "
        "Settore TEXT(1), Argomento TEXT(20), TipoVar TEXT(1))",
        "INSERT INTO IndVarAnno VALUES ('AS013', 2005, 'P', 'X', 'A', 'A01', 'V')",
        "INSERT INTO IndVarAnno VALUES ('AS014', 2005, 'P', 'X', 'A', 'A01', 'V')",
        "INSERT INTO IndVarAnno VALUES ('AS013', 2006, 'P', 'Y', 'A', 'A01', 'V')",
        "INSERT INTO IndVarAnno VALUES ('DG030', 2005, 'P', 'Z', 'B', 'B01', 'V')",
        "INSERT INTO IndVarAnno VALUES ('IAS013', 2005, 'P', 'XI', 'A', 'A01', 'I')",
        "CREATE TABLE Glossario (nome TEXT(100), definizione MEMO, idsettore TEXT(1))",
        "INSERT INTO Glossario VALUES ('Indice d''area', 'Rapporto tra aree', 'A')",
        "INSERT INTO Glossario VALUES ('Area', 'Superficie', 'A')",
        "INSERT INTO Glossario VALUES ('alveo', 'Letto del fiume', 'B')",
        "INSERT INTO Glossario VALUES ('Territorio', 'Insieme di aree', 'B')",
        "CREATE TABLE DbConfigs (dbnames TEXT(50), dbdesc TEXT(100), c2 TEXT, c3 TEXT, c4 TEXT, c5 TEXT, "
        "c6 TEXT, c7 TEXT, c8 TEXT, c9 TEXT, SelectionWord TEXT(50))",
        "INSERT INTO DbConfigs (dbnames, dbdesc, SelectionWord) VALUES ('Dati.mdb', 'Dati provinciali', 'Variabili')",
        "INSERT INTO DbConfigs (dbnames, dbdesc, SelectionWord) VALUES ('Indicatori.mdb', 'Indicatori', 'Indicatori')",
        "CREATE TABLE DBMainMenu (IdMenu LONG, IdMenuParent LONG, Orderb LONG, Caption TEXT(50))",
        "INSERT INTO DBMainMenu VALUES (3, 1, 2, 'Esci')",
        "INSERT INTO DBMainMenu VALUES (1, -1, 1, 'File')",
        "INSERT INTO DBMainMenu VALUES (2, 1, 1, 'Apri')",
        "INSERT INTO DBMainMenu VALUES (4, -1, 2, 'Dati')",
        "CREATE TABLE tablelink (NomeTabella TEXT(50), DbOrigine TEXT(50), DbDestinazione TEXT(50))",
        "INSERT INTO tablelink VALUES ('IndVarAnno', 'Metadati.mdb', 'Dati.mdb')",
        "CREATE TABLE InfoAggiornamento (Aggiornamento TEXT(50), Nota TEXT)",
        "INSERT INTO InfoAggiornamento (Aggiornamento) VALUES ('31/12/2008')",
    });

    m_folder.database("Dati.mdb", QStringList{landInd()} + landRows + QStringList{
        "CREATE TABLE X (COD_TERR TEXT(10), AS013 DOUBLE, AS014 DOUBLE)",
        "INSERT INTO X VALUES ('001', 12.5, 3)",
        "INSERT INTO X VALUES ('002', NULL, 4)",
        "INSERT INTO X VALUES ('R01', 7.125, 1)",
        "CREATE TABLE Y (COD_TERR TEXT(10), AS013 DOUBLE)",
        "INSERT INTO Y VALUES ('001', 13)",
        "INSERT INTO Y VALUES ('002', 14)",
        "CREATE TABLE Z (COD_TERR TEXT(10), DG030 DOUBLE)",
        "INSERT INTO Z VALUES ('001', 100)",
        "INSERT INTO Z VALUES ('002', 200.255)",
        "INSERT INTO Z VALUES ('R01', 300)",
    });
    {
        // The data database reads the metadata tables through links, as start-up leaves it.
        jet::Database db = jet::Database::open(dati(), false, false, dao());
        for (const char *name : {"Settore", "Argomento", "MetadatiVariabili", "MetadatiIndicatori", "IndVarAnno"}) {
            jet::TableDef td;
            td.name = QString::fromLatin1(name);
            td.connect = linkConnect(metadati());
            td.sourceTableName = td.name;
            db.appendTableDef(td);
        }
    }

    m_folder.database("Territorio.mdb", QStringList{landInd()} + landRows + QStringList{
        "CREATE TABLE land (cod_terr TEXT(10), N_PROV LONG, Provincia TEXT, REGIONE TEXT, NUTS2 TEXT)",
        "INSERT INTO land VALUES ('001', 1, 'Torino', 'Piemonte', 'ITC1')",
        "INSERT INTO land VALUES ('002', 2, 'Vercelli', 'Piemonte', 'ITC1')",
        "INSERT INTO land VALUES ('R01', 0, NULL, 'Piemonte', 'ITC1')",
        "INSERT INTO land VALUES ('R02', 0, NULL, 'Liguria', 'ITC3')",
    });

    m_folder.database("qxt_utente.mdb", {
        "CREATE TABLE tabope (x LONG)",
        "INSERT INTO tabope VALUES (1)",
        "CREATE TABLE tMappa (N_QUIRN REAL, [AS013_2005] REAL, N4 SMALLINT)",
        "INSERT INTO tMappa VALUES (1, 12.5, 1)",
        "INSERT INTO tMappa VALUES (2, 3, NULL)",
    });
}

}  // namespace jettest
