// Table layouts and rows of the sample databases. Each database is written in one transaction.
#include "DatabaseWriter.h"

#include "TableWriter.h"

#include "vb/Error.h"

#include <QFile>
#include <QLocale>

namespace atlas {

namespace {

using vb::Variant;
using T = TableWriter;

const QString kMetadata = QStringLiteral("Metadati.mdb");
const QString kTerritory = QStringLiteral("Territorio.mdb");

Variant textOrNull(const QString &s) {
    return s.isEmpty() ? Variant::null() : Variant(s);
}

Variant numberOrNull(const std::optional<double> &v) {
    return v ? Variant(*v) : Variant::null();
}

Variant i16(int v) {
    return Variant(qint16(v));
}

jet::Database freshDatabase(const QString &path, const QString &password) {
    if (QFile::exists(path) && !QFile::remove(path))
        throw vb::Error(75, QStringLiteral("Cannot replace %1").arg(path), QStringLiteral("DatabaseWriter"));
    return jet::Database::create(path, password);
}

// Runs `fill` inside one transaction, so thousands of rows cost one commit.
template <typename Fill>
void inTransaction(jet::Database &db, Fill fill) {
    db.beginTrans();
    try {
        fill();
    } catch (...) {
        db.rollback();
        throw;
    }
    db.commitTrans();
}

QString yearText(int year) {
    return QString::number(year);
}

// Availability code of a year: "P" provincial data, "R" regional only, "N.A." a gap after the
// series started; Null before it.
Variant availability(const QVector<int> &provincial, const QVector<int> &regional, int year) {
    if (provincial.contains(year))
        return Variant("P");
    if (regional.contains(year))
        return Variant("R");
    const int first = std::min(provincial.isEmpty() ? 9999 : provincial.first(),
                               regional.isEmpty() ? 9999 : regional.first());
    if (year < first && first != 9999)
        return Variant::null();
    return Variant("N.A.");
}

QString factorText(double factor) {
    return QLocale(QLocale::Italian, QLocale::Italy).toString(qint64(factor));
}

struct MenuRow {
    int id;        // IdMenu: below 1 a command item, 1 or more an entry of a popup
    int parent;    // IdMenuParent: below 0 the menu bar, else the popup number
    int order;
    const char *caption;
    bool separator;
    bool disabled;
    const char *form;
    const char *database;
    const char *kind;
    const char *level;  // nullptr: Null (provincial data)
};

// Popups 0-2 are the bar's, 3 and 4 the nested ones. The metadata windows are command items 2
// and 3, the two that mark the current database as changed: they leave a query in progress alone.
const MenuRow kMenu[] = {
    {1, -1, 1, "Metadati", false, false, "", "", "", nullptr},
    {2, -1, 2, "Dati", false, false, "", "", "", nullptr},
    {3, -1, 3, "?", false, false, "", "", "", nullptr},
    {0, 0, 1, "Glossario", false, false, "GLOSSARIO", "-", "-", nullptr},
    {0, 0, 2, "Consultazione metadati", false, false, "FRMMETADATI", "-", "-", nullptr},
    {0, 0, 3, "Lista variabili e indicatori", false, false, "FRMLISTAMETADATI", "-", "-", nullptr},
    {1, 1, 1, "Dati provinciali", false, false, "", "", "", nullptr},
    {2, 1, 2, "Dati regionali", false, false, "", "", "", nullptr},
    {3, 1, 3, "", true, false, "", "", "", nullptr},
    {4, 1, 4, "Dati comunali (non disponibili)", false, true, "", "", "", nullptr},
    {0, 2, 1, "Informazioni", false, false, "FRMINFO", "-", "-", nullptr},
    {0, 3, 1, "Variabili", false, false, "FORMDATITAB", "VariabiliProvince.mdb", "Variabili", nullptr},
    {0, 3, 2, "Indicatori", false, false, "FORMDATITAB", "IndicatoriProvince.mdb", "Indicatori", nullptr},
    {0, 4, 1, "Variabili", false, false, "FORMDATITAB", "VariabiliRegioni.mdb", "Variabili", "R"},
    {0, 4, 2, "Indicatori", false, false, "FORMDATITAB", "IndicatoriRegioni.mdb", "Indicatori", "R"},
    {0, 4, 3, "Serie storiche (in preparazione)", false, true, "FORMDATITAB", "-", "-", "R"},
};

void writeMenu(jet::Database &db) {
    T menu(db, "DBMainMenu", {T::longInt("IdMenu"), T::longInt("IdMenuParent"), T::longInt("Orderb"),
                              T::text("DescName", 100), T::boolean("isSeparator"), T::boolean("isDisable"),
                              T::boolean("isChecked"), T::text("FormToOpen", 50), T::text("DBname", 100),
                              T::text("TipoDb", 20), T::text("LivTerritoriale", 1)});
    for (const MenuRow &m : kMenu) {
        menu.append({qint32(m.id), qint32(m.parent), qint32(m.order), QString::fromUtf8(m.caption),
                     Variant(m.separator), Variant(m.disabled), Variant(false), m.form, m.database, m.kind,
                     m.level ? Variant(m.level) : Variant::null()});
    }
}

// Seats of the provincial governments where they differ from the province's name.
QString capitalOf(const Territory &p) {
    static const QHash<int, QString> seats = {
        {103, QStringLiteral("Verbania")}, {41, QStringLiteral("Pesaro")}, {45, QStringLiteral("Massa")},
        {40, QString::fromUtf8("Forlì")}, {104, QStringLiteral("Olbia")}, {105, QStringLiteral("Lanusei")},
        {106, QStringLiteral("Sanluri")}, {107, QStringLiteral("Carbonia")}};
    return seats.value(p.province, p.name);
}

}  // namespace

DatabaseWriter::DatabaseWriter(const Catalogue &catalogue, const Territories &territories, const DataPlan &plan,
                               QString password, QString databases, QString files)
    : m_catalogue(catalogue), m_territories(territories), m_plan(plan), m_password(std::move(password)),
      m_databases(std::move(databases)), m_files(std::move(files)) {}

QString DatabaseWriter::linkConnect(const QString &sourceFile) const {
    return QStringLiteral("ms access;pwd=") + m_password + QStringLiteral(";DATABASE=") + m_databases + sourceFile;
}

void DatabaseWriter::writeAll() const {
    writeMetadata();
    writeTerritory();
    writeData();
    writeUser();
}

void DatabaseWriter::writeMetadata() const {
    jet::Database db = freshDatabase(m_databases + kMetadata, m_password);
    inTransaction(db, [&] {
        T areas(db, "Settore", {T::text("idSettore", 1), T::text("Descrizione Settore", 100)});
        for (const Area &a : m_catalogue.areas())
            areas.append({a.id, a.description});

        T subAreas(db, "Argomento", {T::text("Codice argomento", 20), T::text("Desc argomento", 100),
                                     T::text("idSettore", 1)});
        for (const SubArea &s : m_catalogue.subAreas())
            subAreas.append({s.code, s.description, s.area});
        // A suspended sub-area written without the blank before "NO".
        subAreas.append({"H04-NO", "Rumore", "H"});

        // Variables: identity, summary, availability by year, then the yearly notes, sources,
        // publications and bodies.
        QVector<jet::Field> varFields = {T::text("IdVariabile", 10), T::text("DescVariabile"),
                                         T::text("CodiceArgomento", 20), T::text("LivelloTerritoriale", 1),
                                         T::integer("NumProvince"), T::text("UnitaMisura", 50),
                                         T::text("PeriodoRif", 50), T::memo("NoteSerie"), T::text("Fonte"),
                                         T::text("PubblRecente"), T::text("Ente"),
                                         T::text("UltimoAnnoDisponibile", 4)};
        const QVector<int> &years = m_catalogue.years();
        for (int y = kFirstYear; y <= kLastYear; ++y)
            varFields << T::text(yearText(y), 4);
        for (const char *prefix : {"Note_", "Fonte_", "Pubblicazione_", "Ente_"}) {
            for (int y = kFirstYear; y <= kLastYear; ++y)
                varFields << (QLatin1String(prefix) == QLatin1String("Note_") ? T::memo(prefix + yearText(y))
                                                                              : T::text(prefix + yearText(y)));
        }
        T vars(db, "MetadatiVariabili", varFields);
        for (const VariableDef &v : m_catalogue.variables()) {
            const bool provincial = !v.provincialYears.isEmpty();
            const QVector<int> &own = provincial ? v.provincialYears : v.regionalYears;
            const int last = own.isEmpty() ? 0 : own.last();
            QVector<Variant> row = {v.code, v.description, v.subArea,
                                    Variant(provincial || v.regionalYears.isEmpty() ? "P" : "R"),
                                    provincial ? i16(Catalogue::onNewProvinces(v.code, last) ? 107 : 103)
                                               : Variant::null(),
                                    v.unit, v.period, textOrNull(v.seriesNote), v.source.survey,
                                    last ? Variant(v.source.publication + QStringLiteral(" - Anno ") + yearText(last))
                                         : Variant::null(),
                                    v.source.body, last ? Variant(yearText(last)) : Variant::null()};
            for (int y = kFirstYear; y <= kLastYear; ++y)
                row << availability(v.provincialYears, v.regionalYears, y);
            auto has = [&](int y) { return years.contains(y) && (own.contains(y) || v.regionalYears.contains(y)); };
            const int first = own.isEmpty() ? 9999 : own.first();
            for (int y = kFirstYear; y <= kLastYear; ++y) {
                QString note;
                for (const auto &n : v.yearNotes) {
                    if (n.first == y && has(y))
                        note = n.second;
                }
                row << textOrNull(note);
            }
            // A year inside the series without a return is marked "-", as the sources write it.
            for (int y = kFirstYear; y <= kLastYear; ++y)
                row << (has(y) ? Variant(v.source.survey) : (y > first && y < last ? Variant("-") : Variant::null()));
            for (int y = kFirstYear; y <= kLastYear; ++y)
                row << (has(y) ? Variant(v.source.publication + QStringLiteral(" - Anno ") + yearText(y))
                               : Variant::null());
            for (int y = kFirstYear; y <= kLastYear; ++y)
                row << (has(y) ? Variant(v.source.body) : Variant::null());
            vars.append(row);
        }
        // Rows as the sources deliver them at times: a lower-case level, a level that is neither
        // "P" nor "R", blanks and dashes for missing years, a note with a line feed, typographic
        // quotes and bullets, a source of one year only, a lower-case availability code.
        auto byName = [](const QVector<jet::Field> &fields, const QVector<QPair<QString, Variant>> &values) {
            QVector<Variant> row(fields.size(), Variant::null());
            for (const auto &[name, value] : values) {
                for (int i = 0; i < fields.size(); ++i) {
                    if (fields[i].name == name)
                        row[i] = value;
                }
            }
            return row;
        };
        vars.append(byName(varFields, {
            {"IdVariabile", "TE010"}, {"DescVariabile", "Superficie agricola utilizzata"}, {"CodiceArgomento", "A01"},
            {"LivelloTerritoriale", "p"}, {"NumProvince", i16(103)}, {"UnitaMisura", "ettari"},
            {"PeriodoRif", "annata agraria"},
            {"NoteSerie", QString::fromUtf8("Dati dell'indagine sulla struttura delle aziende:\n\u2022 seminativi;\n"
                                            "\u2022 \u201Cprati e pascoli\u201D.")},
            {"Fonte_1996", " "}, {"Fonte_1997", "-"}, {"Fonte_1998", " - "},
            {"Fonte_2003", "Indagine sulla struttura e produzione delle aziende agricole"},
            {"Pubblicazione_2003", "Struttura e produzioni delle aziende agricole - Anno 2003"},
            {"Ente_2003", "ISTAT"}, {"Note_2003", "Dati campionari."}, {"2000", "N.A."}, {"2003", "p"}}));
        vars.append(byName(varFields, {
            {"IdVariabile", "AM020"}, {"DescVariabile", "Popolazione esposta al rumore stradale"},
            {"CodiceArgomento", "H04-NO"}, {"LivelloTerritoriale", "C"}, {"UnitaMisura", "numero"},
            {"2004", "r"}}));

        QVector<jet::Field> indFields = {T::text("IdIndicatore", 10), T::text("DescIndicatore"),
                                         T::text("Argomento", 20), T::text("PSM", 20), T::text("BdVexa", 20),
                                         T::text("Valutazione", 5), T::memo("ModalitaCalcolo"),
                                         T::text("IdVariabilAssociate", 100), T::memo("NoteTecniche"),
                                         T::text("Destinazione", 100), T::integer("Prov"), T::integer("SLL"),
                                         T::integer("Comune"), T::integer("DatoPuntuale"),
                                         T::text("UtilizzSintesi", 2), T::text("UnitaMisura", 50)};
        for (int y = kFirstYear; y <= kLastYear; ++y)
            indFields << T::text(yearText(y), 4);
        T inds(db, "MetadatiIndicatori", indFields);
        for (const IndicatorDef &d : m_catalogue.indicators()) {
            auto described = [&](const QString &code) {
                const VariableDef *v = m_catalogue.variable(code);
                return (v ? v->description.toLower() : code) + QStringLiteral(" (") + code + QStringLiteral(")");
            };
            QString top = described(d.numerator);
            if (!d.numeratorOther.isEmpty())
                top += (d.otherSign < 0 ? QStringLiteral(" meno ") : QStringLiteral(" più ")) + described(d.numeratorOther);
            QString method;
            if (d.denominator.isEmpty())
                method = QStringLiteral("Differenza: ") + top + QStringLiteral(".");
            else
                method = QStringLiteral("Rapporto tra ") + top + QStringLiteral(" e ") + described(d.denominator)
                         + (d.factor != 1 ? QStringLiteral(", moltiplicato per ") + factorText(d.factor) : QString())
                         + QStringLiteral(".");
            const VariableDef *source = m_catalogue.variable(d.numerator);
            const QString notes = QStringLiteral("Calcolato sui dati di fonte ")
                                  + (source ? source->source.body : QStringLiteral("ISTAT"))
                                  + QStringLiteral("; unità di misura: ") + d.unit + QStringLiteral(".");
            const QVector<int> prov = m_catalogue.indicatorYears(d, false);
            const QVector<int> reg = m_catalogue.indicatorYears(d, true);
            const int n = int(&d - m_catalogue.indicators().data());
            QVector<Variant> row = {d.code, d.description, d.subArea, d.psm, d.bdvexa, d.valutazione, method,
                                    d.inputs().join(QStringLiteral(", ")), notes, d.destination,
                                    i16(d.provincial ? 1 : 0), i16(0), i16(n % 5 == 0 ? 1 : 0), i16(n % 7 == 3 ? 1 : 0),
                                    Variant(d.synthesis ? "Si" : "No"), d.unit};
            for (int y = kFirstYear; y <= kLastYear; ++y)
                row << availability(prov, reg, y);
            inds.append(row);
        }
        // Flags and dimensions as the sources deliver them at times: a lower-case dimension code
        // without a row in Valutazioni, "SI" and "si", a Null and a 0 flag.
        inds.append(byName(indFields, {
            {"IdIndicatore", "IAG001"}, {"DescIndicatore", "Superficie agricola utilizzata per abitante"},
            {"Argomento", "A01"}, {"Valutazione", "b2"}, {"UtilizzSintesi", "SI"}, {"SLL", i16(1)},
            {"ModalitaCalcolo", "Rapporto tra superficie agricola utilizzata (TE010) e popolazione residente (AS001)."},
            {"IdVariabilAssociate", "TE010, AS001"}, {"2003", "P"}}));
        inds.append(byName(indFields, {
            {"IdIndicatore", "IAG002"}, {"DescIndicatore", "Quota di superficie agricola utilizzata"},
            {"Argomento", "A01"}, {"Valutazione", "C1"}, {"UtilizzSintesi", "si"}, {"Prov", i16(0)},
            {"Comune", i16(1)}, {"DatoPuntuale", i16(1)}, {"IdVariabilAssociate", "TE010, TE001"}, {"2003", "p"}}));

        T valutazioni(db, "Valutazioni", {T::text("Valutazione", 5), T::text("Descrizione")});
        for (const Valutazione &v : m_catalogue.valutazioni())
            valutazioni.append({v.code, v.description});

        T glossary(db, "Glossario", {T::text("nome", 100), T::memo("definizione"), T::text("idsettore", 1)});
        for (const GlossaryTerm &g : m_catalogue.glossary())
            glossary.append({g.name, g.definition, g.area});
        glossary.append({"Valore non disponibile", Variant::null(), "B"});

        T index(db, "IndVarAnno", {T::text("Variabile", 10), T::integer("Anno"), T::text("LivTerritoriale", 1),
                                   T::text("Tabella", 30), T::text("Settore", 1), T::text("Argomento", 20),
                                   T::text("TipoVar", 1)});
        for (const IndVarAnnoRow &r : m_plan.indVarAnno())
            index.append({r.code, i16(r.year), r.level, r.table, r.area, r.subArea, r.type});

        // Column 0 names the database, column 10 is the caption word of the query window.
        T configs(db, "DbConfigs", {T::text("Dbnames", 100), T::text("DelvaVars", 50), T::text("CodDelvas", 50),
                                    T::text("Num_quirns", 50), T::text("Classes", 50), T::text("Censes", 50),
                                    T::integer("DelvaStops"), T::boolean("HasTipos"), T::boolean("HasYears"),
                                    T::text("HasTiposNames", 50), T::text("SelectionWords", 100),
                                    T::text("dbdesc", 100)});
        for (const DataDatabase &d : m_plan.databases()) {
            int lastYear = 0;
            for (const DataTable &t : d.tables)
                lastYear = std::max(lastYear, t.year);
            configs.append({d.fileName, "DES_TERR", "COD_TERR", "N_QUIRN", "classi", "CensArg", i16(lastYear),
                            Variant(true), Variant(true), "COD_TIPO_TERR", d.selectionWord, d.description});
        }

        writeMenu(db);

        T links(db, "tablelink", {T::text("NomeTabella", 50), T::text("DbOrigine", 100),
                                  T::text("DbDestinazione", 100)});
        for (const DataDatabase &d : m_plan.databases()) {
            links.append({"land_Ind", kTerritory, d.fileName});
            for (const char *table : {"IndVarAnno", "Settore", "Argomento"})
                links.append({table, kMetadata, d.fileName});
            links.append({QStringLiteral("Metadati") + d.kind, kMetadata, d.fileName});
        }

        T update(db, "InfoAggiornamento", {T::text("DataAggiornamento", 50), T::memo("Note")});
        update.append({"31 dicembre 2008",
                       "Aggiornate le serie demografiche e del commercio estero; dal 2006 la Sardegna conta otto "
                       "province."});

        T anno(db, "anno", {T::integer("Anno"), T::text("DescAnno", 20)});
        for (int y : years)
            anno.append({i16(y), QStringLiteral("Anno ") + yearText(y)});
        T annoSll(db, "annosll", {T::integer("Anno"), T::text("DescAnno", 50)});
        annoSll.append({i16(1991), "Sistemi locali del lavoro 1991"});
        annoSll.append({i16(2001), "Sistemi locali del lavoro 2001"});
        T argSll(db, "ARGsll", {T::text("CodArgomento", 10), T::text("DescArgomento", 100)});
        argSll.append({"S01", "Popolazione e famiglie"});
        argSll.append({"S02", "Lavoro e pendolarismo"});
        argSll.append({"S03", "Imprese e unità locali"});
        T census(db, "CensArg", {T::text("CodCensimento", 10), T::text("DescCensimento", 100), T::integer("Anno")});
        census.append({"POP", "Censimento generale della popolazione e delle abitazioni", i16(2001)});
        census.append({"IND", "Censimento generale dell'industria e dei servizi", i16(2001)});
        census.append({"AGR", "Censimento generale dell'agricoltura", i16(2000)});
        T classes(db, "classi", {T::text("CodClasse", 5), T::text("DescClasse", 100), T::longInt("Minimo"),
                                 T::longInt("Massimo")});
        classes.append({"C1", "Fino a 5.000 abitanti", qint32(0), qint32(5000)});
        classes.append({"C2", "Da 5.001 a 20.000 abitanti", qint32(5001), qint32(20000)});
        classes.append({"C3", "Da 20.001 a 100.000 abitanti", qint32(20001), qint32(100000)});
        classes.append({"C4", "Oltre 100.000 abitanti", qint32(100001), Variant::null()});
    });
}


void DatabaseWriter::writeTerritory() const {
    jet::Database db = freshDatabase(m_databases + kTerritory, m_password);
    inTransaction(db, [&] {
        T units(db, "land_Ind", {T::text("COD_TERR", 10), T::integer("COD_TIPO_TERR"), T::text("DES_TERR", 100),
                                 T::integer("PROV"), T::integer("REG"), T::text("COD_NUTS", 10)});
        for (const Territory &t : m_territories.all())
            units.append({t.code, i16(t.type), t.name, i16(t.province), i16(t.region), t.nuts});

        // The names the map's identify shows, one row per unit that has a boundary.
        T land(db, "land", {T::text("cod_terr", 10), T::integer("N_PROV"), T::text("Provincia", 100),
                            T::text("REGIONE", 100), T::text("NUTS2", 100)});
        for (const Territory &t : m_territories.all()) {
            if (t.isProvince())
                land.append({t.code, i16(t.province), t.name, t.regionName, t.nuts2Name});
            else if (t.isRegion())
                land.append({t.code, i16(0), Variant::null(), t.regionName, textOrNull(t.nuts2Name)});
        }

        T capitals(db, "elencom", {T::integer("PROV"), T::text("DES_COMUNE", 100), T::text("COD_TERR", 10)});
        for (const Territory &t : m_territories.all()) {
            if (t.isProvince())
                capitals.append({i16(t.province), capitalOf(t), t.code});
        }

        T sll(db, "elencosll", {T::integer("COD_SLL"), T::text("DES_SLL", 100), T::integer("REG")});
        const char *const sllRows[][2] = {{"Torino", "1"}, {"Aosta", "2"}, {"Milano", "3"}, {"Bolzano", "4"},
                                          {"Venezia", "5"}, {"Bologna", "8"}, {"Firenze", "9"}, {"Roma", "12"},
                                          {"Napoli", "15"}, {"Bari", "16"}, {"Palermo", "19"}, {"Cagliari", "20"}};
        int n = 0;
        for (const auto &r : sllRows)
            sll.append({i16(++n), QString::fromUtf8(r[0]), i16(QByteArray(r[1]).toInt())});

        T pacts(db, "ELEPATTI", {T::integer("COD_PATTO"), T::text("DES_PATTO", 100), T::integer("REG")});
        pacts.append({i16(1), "Patto territoriale del Canavese", i16(1)});
        pacts.append({i16(2), "Patto territoriale dell'Appennino centrale", i16(10)});
        pacts.append({i16(3), "Patto territoriale Sangro-Aventino", i16(13)});
        pacts.append({i16(4), "Patto territoriale di Caserta", i16(15)});
        pacts.append({i16(5), "Patto territoriale di Enna", i16(19)});

        T pits(db, "ELEPIT", {T::integer("COD_PIT"), T::text("DES_PIT", 100), T::integer("REG")});
        pits.append({i16(1), "PIT Valle dell'Ofanto", i16(15)});
        pits.append({i16(2), "PIT Salento - Terra d'Otranto", i16(16)});
        pits.append({i16(3), "PIT Serre calabresi", i16(18)});
        pits.append({i16(4), "PIT Alto Belice Corleonese", i16(19)});

        auto listTable = [&](const char *name, auto keep) {
            T list(db, name, {T::text("COD_TERR", 10), T::text("DES_TERR", 100), T::integer("COD_TIPO_TERR")});
            for (const Territory &t : m_territories.all()) {
                if (keep(t))
                    list.append({t.code, t.name, i16(t.type)});
            }
        };
        listTable("territorio", [](const Territory &) { return true; });
        listTable("partizioni", [](const Territory &t) {
            return t.type == territoryType::Partition || t.type == territoryType::Country;
        });
        auto inDatabase = [&](const QString &file) {
            QSet<QString> codes;
            for (const DataDatabase &d : m_plan.databases()) {
                if (d.fileName == file) {
                    for (const DataTable &table : d.tables)
                        codes.unite(QSet<QString>(table.territories.begin(), table.territories.end()));
                }
            }
            return [codes](const Territory &t) { return codes.contains(t.code); };
        };
        listTable("territoriovarreg", inDatabase("VariabiliRegioni.mdb"));
        listTable("territoriovarprov", inDatabase("VariabiliProvince.mdb"));
        listTable("territorioindreg", inDatabase("IndicatoriRegioni.mdb"));
        listTable("territorioindprov", inDatabase("IndicatoriProvince.mdb"));
    });
}

void DatabaseWriter::writeData() const {
    for (const DataDatabase &d : m_plan.databases()) {
        jet::Database db = freshDatabase(m_databases + d.fileName, m_password);
        inTransaction(db, [&] {
            for (const DataTable &table : d.tables) {
                QVector<jet::Field> fields = {T::text("COD_TERR", 10)};
                for (const QString &code : table.codes)
                    fields << T::real(code);
                T rows(db, table.name, fields);
                for (int r = 0; r < table.territories.size(); ++r) {
                    QVector<Variant> row = {table.territories[r]};
                    for (const std::optional<double> &v : table.values[r])
                        row << numberOrNull(v);
                    rows.append(row);
                }
            }
        });
        // The same links tablelink lists, so the database works before the program relinks it.
        auto link = [&](const QString &name, const QString &source) {
            jet::TableDef def;
            def.name = name;
            def.connect = linkConnect(source);
            def.sourceTableName = name;
            db.appendTableDef(def);
        };
        link(QStringLiteral("land_Ind"), kTerritory);
        for (const char *table : {"IndVarAnno", "Settore", "Argomento"})
            link(QString::fromLatin1(table), kMetadata);
        link(QStringLiteral("Metadati") + d.kind, kMetadata);

        // A saved area query of the kind the query window cleans up when it closes.
        if (d.fileName == QLatin1String("VariabiliProvince.mdb") && db.tableDef(QStringLiteral("AS_2005")))
            db.createQueryDef(QStringLiteral("Area02"), QStringLiteral("SELECT COD_TERR, AS001 FROM AS_2005"));
        db.close();
    }
}

void DatabaseWriter::writeUser() const {
    jet::Database db = freshDatabase(m_files + QStringLiteral("qxt_utente.mdb"), m_password);
    inTransaction(db, [&] {
        T ope(db, "tabope", {T::longInt("id")});
        ope.append({qint32(1)});
    });
    db.close();
}

}  // namespace atlas
