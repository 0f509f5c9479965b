// The sample catalogue: ten areas of provincial and regional statistics with their sources.
#include "Catalogue.h"

#include <QSet>

#include <algorithm>

namespace atlas {

namespace {

QVector<int> yearSpan(int first, int last) {
    QVector<int> out;
    for (int y = first; y <= last; ++y)
        out.append(y);
    return out;
}

QVector<int> both(QVector<int> a, const QVector<int> &b) {
    for (int y : b) {
        if (!a.contains(y))
            a.append(y);
    }
    std::sort(a.begin(), a.end());
    return a;
}

const Source kDemography{"ISTAT", "Rilevazione sulla popolazione residente comunale per sesso, anno di nascita e stato civile",
                         "Popolazione e movimento anagrafico dei comuni"};
const Source kBalance{"ISTAT", "Movimento e calcolo annuale della popolazione residente",
                      "Bilancio demografico della popolazione residente"};
const Source kForeigners{"ISTAT", "Rilevazione della popolazione residente straniera per sesso e anno di nascita",
                         "La popolazione straniera residente in Italia"};
const Source kHealth{"Ministero della Salute", "Rilevazione delle attività gestionali ed economiche delle ASL",
                     "Annuario statistico del Servizio sanitario nazionale"};
const Source kSchool{"Ministero dell'Istruzione, dell'Università e della Ricerca", "Rilevazione integrativa sulle scuole",
                     "La scuola statale: sintesi dei dati"};
const Source kLabour{"ISTAT", "Rilevazione continua sulle forze di lavoro", "Forze di lavoro - Media annua"};
const Source kFirms{"Unioncamere - Infocamere", "Registro delle imprese delle Camere di commercio",
                    "Movimprese - Natalità e mortalità delle imprese italiane"};
const Source kCensus{"ISTAT", "Censimento generale dell'industria e dei servizi e Archivio statistico delle imprese attive",
                     "Struttura e dimensione delle imprese"};
const Source kTrade{"Ministero dello Sviluppo economico", "Osservatorio nazionale del commercio",
                    "Rapporto sul sistema distributivo"};
const Source kBanks{"Banca d'Italia", "Segnalazioni di vigilanza", "Bollettino statistico"};
const Source kVehicles{"ACI - Automobile Club d'Italia", "Pubblico registro automobilistico", "Autoritratto"};
const Source kAccidents{"ISTAT - ACI", "Rilevazione degli incidenti stradali con lesioni a persone",
                        "Statistica degli incidenti stradali"};
const Source kWaste{"APAT - Osservatorio nazionale sui rifiuti", "Catasto dei rifiuti urbani", "Rapporto rifiuti"};
const Source kAir{"APAT", "Rete di monitoraggio della qualità dell'aria", "Annuario dei dati ambientali"};
const Source kEnergy{"Terna - Rete elettrica nazionale", "Rilevazione dei consumi di energia elettrica per provincia",
                     "Dati statistici sull'energia elettrica in Italia"};
const Source kTourism{"ISTAT", "Rilevazione della capacità e del movimento negli esercizi ricettivi",
                      "Statistiche del turismo"};
const Source kAccounts{"ISTAT", "Conti economici territoriali", "Conti economici regionali"};
const Source kForeignTrade{"ISTAT", "Statistiche del commercio estero per provincia di origine e destinazione",
                           "Commercio estero e attività internazionali delle imprese"};
const Source kTerritory{"ISTAT", "Archivio dei codici e delle denominazioni delle unità amministrative",
                        "Superficie territoriale dei comuni"};

struct V {
    const char *code;
    const char *description;
    const char *subArea;
    const char *unit;
    const char *period;
    double perUnit;
    Scale scale;
    Profile profile;
    double elasticity;
    double spread;
    double trend;
    double jitter;
    int decimals;
};

VariableDef make(const V &v, QVector<int> provincial, QVector<int> regional, const Source &source) {
    VariableDef d;
    d.code = QString::fromLatin1(v.code);
    d.description = QString::fromUtf8(v.description);
    d.subArea = QString::fromUtf8(v.subArea);
    d.unit = QString::fromUtf8(v.unit);
    d.period = QString::fromUtf8(v.period);
    d.perUnit = v.perUnit;
    d.scale = v.scale;
    d.profile = v.profile;
    d.elasticity = v.elasticity;
    d.spread = v.spread;
    d.trend = v.trend;
    d.jitter = v.jitter;
    d.decimals = v.decimals;
    d.provincialYears = std::move(provincial);
    d.regionalYears = std::move(regional);
    d.source = source;
    return d;
}

constexpr Scale Pop = Scale::Population;
constexpr Profile Eco = Profile::Economy;
constexpr Profile Age = Profile::Ageing;
constexpr Profile Tou = Profile::Tourism;
constexpr Profile Non = Profile::None;

QVector<VariableDef> variableRows() {
    const QVector<int> all = yearSpan(1996, 2008);
    const QVector<int> none;
    QVector<VariableDef> out;
    auto add = [&](const V &v, QVector<int> p, QVector<int> r, const Source &s) {
        out.append(make(v, std::move(p), std::move(r), s));
        return &out.last();
    };

    add({"TE001", "Superficie territoriale", "A01", "kmq", "1 gennaio", 1, Scale::Area, Non, 0, 0, 0, 0, 2},
        all, all, kTerritory);
    add({"TE002", "Numero di comuni", "A01", "numero", "31 dicembre", 0.027, Scale::Area, Non, 0, 0.35, 0, 0, 0},
        all, all, kTerritory);
    add({"TE003", "Superficie territoriale montana", "A01", "kmq", "1 gennaio", 1, Scale::MountainArea, Non, 0, 0.25, 0, 0, 2},
        all, none, kTerritory);

    VariableDef *pop = add({"AS001", "Popolazione residente al 31 dicembre", "B01", "numero", "31 dicembre",
                            1, Pop, Non, 0, 0, 0, 0, 0}, all, all, kBalance);
    pop->yearNotes = {{2001, "Dati ricostruiti sulla base del 14° Censimento generale della popolazione."},
                      {2006, "Per la Sardegna i dati sono ancora riferiti alle quattro province storiche."},
                      {2008, "Dati provvisori."}};
    pop->seriesNote = QString::fromUtf8(
        "La serie è ricostruita per gli anni intercensuari.\nLe variazioni territoriali dei comuni sono riportate "
        "ai confini dell'anno di riferimento; i dati “post-censuari” sostituiscono quelli anagrafici dal 2002.");
    add({"AS002", "Popolazione residente maschile al 31 dicembre", "B01", "numero", "31 dicembre",
         0.484, Pop, Non, 0, 0.01, 0, 0.002, 0}, all, none, kBalance);
    add({"AS004", "Popolazione residente di 0-14 anni", "B01", "numero", "1 gennaio",
         0.142, Pop, Age, -0.9, 0.04, -0.003, 0.004, 0}, all, all, kDemography);
    add({"AS005", "Popolazione residente di 65 anni e oltre", "B01", "numero", "1 gennaio",
         0.187, Pop, Age, 1.0, 0.05, 0.012, 0.004, 0}, all, all, kDemography);
    add({"AS006", "Famiglie residenti", "B01", "numero", "31 dicembre",
         0.395, Pop, Age, 0.25, 0.03, 0.011, 0.003, 0}, yearSpan(1998, 2008), none, kBalance);
    VariableDef *foreigners = add({"AS008", "Cittadini stranieri residenti", "B01", "numero", "31 dicembre",
                                   0.032, Pop, Eco, 2.2, 0.3, 0.13, 0.03, 0}, yearSpan(2002, 2008), none, kForeigners);
    foreigners->yearNotes = {{2002, "Primo anno della rilevazione per cittadinanza."}};
    add({"AS040", "Popolazione residente in convivenza", "B01", "numero", "31 dicembre",
         0.006, Pop, Non, 0, 0.2, 0, 0.02, 0}, none, none, kDemography);
    add({"AS013", "Posti letto negli istituti di cura pubblici e privati", "C01", "numero", "31 dicembre",
         0.0046, Pop, Eco, 0.3, 0.25, -0.022, 0.02, 0}, yearSpan(1996, 2007), none, kHealth);
    add({"AS014", "Medici di medicina generale", "C01", "numero", "31 dicembre",
         0.00080, Pop, Non, 0, 0.08, 0.002, 0.01, 0}, yearSpan(1997, 2007), none, kHealth);
    add({"AS025", "Iscritti alle scuole secondarie di secondo grado", "C02", "numero", "anno scolastico",
         0.045, Pop, Age, -0.6, 0.06, 0.004, 0.01, 0}, yearSpan(1998, 2007), none, kSchool);
    add({"AS026", "Scuole secondarie di secondo grado", "C02", "numero", "anno scolastico",
         0.00012, Pop, Non, 0, 0.15, -0.004, 0.01, 0}, yearSpan(1998, 2007), none, kSchool);

    VariableDef *births = add({"DG016", "Nati vivi", "B02-PD", "numero", "anno solare",
                               0.0094, Pop, Age, -0.7, 0.06, 0.004, 0.02, 0}, all, all, kBalance);
    births->yearNotes = {{2005, "Dati provvisori al 31 dicembre 2005."}, {2008, "Dati provvisori."}};
    add({"DG030", "Morti", "B02-PD", "numero", "anno solare",
         0.0097, Pop, Age, 0.9, 0.05, 0.002, 0.02, 0}, all, all, kBalance);
    add({"DG032", "Iscritti da altri comuni", "B02-PD", "numero", "anno solare",
         0.025, Pop, Eco, 0.6, 0.12, 0.01, 0.04, 0}, all, none, kBalance);
    add({"DG033", "Cancellati per altri comuni", "B02-PD", "numero", "anno solare",
         0.024, Pop, Eco, -0.1, 0.12, 0.01, 0.04, 0}, all, none, kBalance);
    add({"DG034", "Matrimoni", "B02-PD", "numero", "anno solare",
         0.0047, Pop, Eco, -0.3, 0.08, -0.015, 0.03, 0}, yearSpan(1996, 2007), none, kBalance);

    VariableDef *labour = add({"LA001", "Forze di lavoro", "D01", "migliaia", "media annua",
                               0.00042, Pop, Eco, 0.6, 0.04, 0.004, 0.01, 1}, yearSpan(2004, 2008), all, kLabour);
    labour->seriesNote = QString::fromUtf8("Dal 2004 i dati provengono dalla rilevazione continua; gli anni "
                                           "precedenti sono ricostruiti.");
    labour->yearNotes = {{2004, "Primo anno della rilevazione continua sulle forze di lavoro."}};
    add({"LA002", "Occupati", "D01", "migliaia", "media annua",
         0.000385, Pop, Eco, 1.0, 0.04, 0.007, 0.01, 1}, yearSpan(2004, 2008), all, kLabour);
    add({"LA003", "Persone in cerca di occupazione", "D01", "migliaia", "media annua",
         0.000036, Pop, Eco, -2.0, 0.15, -0.03, 0.05, 1}, yearSpan(2004, 2008), all, kLabour);
    add({"LA004", "Popolazione di 15-64 anni", "D01", "migliaia", "media annua",
         0.00066, Pop, Age, -0.2, 0.01, 0.001, 0.003, 1}, yearSpan(2004, 2008), all, kLabour);
    add({"LA010", "Occupati in agricoltura", "D02", "migliaia", "media annua",
         0.000020, Pop, Eco, -1.5, 0.4, -0.02, 0.05, 1}, yearSpan(2004, 2008), all, kLabour);
    add({"LA011", "Occupati nell'industria", "D02", "migliaia", "media annua",
         0.000118, Pop, Eco, 1.5, 0.15, 0.002, 0.02, 1}, yearSpan(2004, 2008), all, kLabour);
    add({"LA012", "Occupati nei servizi", "D02", "migliaia", "media annua",
         0.000247, Pop, Eco, 0.6, 0.06, 0.012, 0.01, 1}, yearSpan(2004, 2008), all, kLabour);

    const QVector<int> censusYears = {1996, 2001, 2004, 2005, 2006, 2007};
    VariableDef *firms = add({"IM001", "Imprese attive", "E01", "numero", "31 dicembre",
                              0.088, Pop, Eco, 0.4, 0.12, 0.009, 0.01, 0}, all, none, kFirms);
    firms->yearNotes = {{1996, "Dati riferiti alle imprese registrate e attive al 31 dicembre."}};
    add({"IM004", "Imprese artigiane attive", "E01", "numero", "31 dicembre",
         0.024, Pop, Eco, 0.8, 0.15, 0.004, 0.01, 0}, all, none, kFirms);
    VariableDef *units = add({"IM005", "Unità locali delle imprese", "E01", "numero", "anno di riferimento",
                              0.075, Pop, Eco, 0.6, 0.1, 0.01, 0.01, 0}, censusYears, none, kCensus);
    units->seriesNote = QString::fromUtf8("1996 e 2001: censimenti intermedio e generale; dal 2004 Archivio "
                                          "statistico delle imprese attive (ASIA).");
    units->yearNotes = {{2001, "8° Censimento generale dell'industria e dei servizi."}};
    add({"IM006", "Addetti alle unità locali delle imprese", "E01", "numero", "anno di riferimento",
         0.30, Pop, Eco, 1.2, 0.12, 0.012, 0.01, 0}, censusYears, none, kCensus);
    add({"IM007", "Imprese iscritte", "E02", "numero", "anno solare",
         0.0075, Pop, Eco, 0.3, 0.12, 0.005, 0.05, 0}, yearSpan(1998, 2008), none, kFirms);
    add({"IM008", "Imprese cessate", "E02", "numero", "anno solare",
         0.0068, Pop, Eco, 0.2, 0.12, 0.01, 0.06, 0}, yearSpan(1998, 2008), none, kFirms);

    add({"CO001", "Esercizi di commercio al dettaglio in sede fissa", "F01", "numero", "31 dicembre",
         0.0135, Pop, Eco, -0.3, 0.12, -0.006, 0.01, 0}, yearSpan(1996, 2007), none, kTrade);
    add({"CO002", "Superficie di vendita della grande distribuzione", "F01", "mq", "1 gennaio",
         0.25, Pop, Eco, 1.0, 0.3, 0.045, 0.03, 0}, yearSpan(2000, 2008), none, kTrade);
    add({"CO005", "Ipermercati", "F01", "numero", "1 gennaio",
         0.0000028, Pop, Eco, 1.5, 0.2, 0.04, 0.02, 0}, yearSpan(2000, 2008), none, kTrade);
    add({"CO019", "Sportelli bancari", "F02", "numero", "31 dicembre",
         0.00055, Pop, Eco, 1.2, 0.12, 0.018, 0.005, 0}, all, none, kBanks);
    add({"CO020", "Depositi bancari", "F02", "milioni di euro", "31 dicembre",
         0.0105, Pop, Eco, 1.6, 0.15, 0.04, 0.01, 1}, yearSpan(1998, 2008), none, kBanks);
    add({"CO021", "Impieghi bancari", "F02", "milioni di euro", "31 dicembre",
         0.0135, Pop, Eco, 1.8, 0.2, 0.06, 0.01, 1}, yearSpan(1998, 2008), none, kBanks);

    add({"TR001", "Autovetture circolanti", "G01", "numero", "31 dicembre",
         0.57, Pop, Eco, 0.3, 0.06, 0.012, 0.005, 0}, all, none, kVehicles);
    add({"TR002", "Autocarri per il trasporto di merci", "G01", "numero", "31 dicembre",
         0.065, Pop, Eco, 0.2, 0.15, 0.025, 0.01, 0}, all, none, kVehicles);
    add({"TR003", "Motocicli", "G01", "numero", "31 dicembre",
         0.075, Pop, Tou, 0.5, 0.25, 0.06, 0.01, 0}, all, none, kVehicles);
    add({"TR010", "Incidenti stradali con lesioni a persone", "G02", "numero", "anno solare",
         0.0040, Pop, Eco, 0.9, 0.2, -0.01, 0.04, 0}, yearSpan(1996, 2007), none, kAccidents);
    add({"TR011", "Morti in incidenti stradali", "G02", "numero", "anno solare",
         0.00011, Pop, Eco, -0.2, 0.25, -0.03, 0.1, 0}, yearSpan(1996, 2007), none, kAccidents);
    add({"TR012", "Feriti in incidenti stradali", "G02", "numero", "anno solare",
         0.0057, Pop, Eco, 0.8, 0.2, -0.01, 0.04, 0}, yearSpan(1996, 2007), none, kAccidents);

    add({"AM001", "Rifiuti urbani raccolti", "H01", "tonnellate", "anno solare",
         0.52, Pop, Eco, 0.4, 0.1, 0.015, 0.02, 0}, yearSpan(1999, 2007), none, kWaste);
    add({"AM002", "Rifiuti urbani raccolti in modo differenziato", "H01", "tonnellate", "anno solare",
         0.10, Pop, Eco, 2.5, 0.35, 0.12, 0.05, 0}, yearSpan(1999, 2007), none, kWaste);
    VariableDef *air = add({"AM010", "Centraline di rilevamento della qualità dell'aria", "H03 - NO", "numero",
                            "31 dicembre", 0.000004, Pop, Eco, 1.0, 0.3, 0.02, 0.05, 0}, yearSpan(1996, 2001), none, kAir);
    air->seriesNote = QString::fromUtf8("Serie interrotta nel 2001: la rete è stata riorganizzata su base regionale.");
    add({"EN032", "Consumi di energia elettrica", "H02", "GWh", "anno solare",
         0.0053, Pop, Eco, 1.3, 0.25, 0.018, 0.02, 1}, yearSpan(1996, 2007), none, kEnergy);
    add({"EN033", "Consumi di energia elettrica per uso domestico", "H02", "GWh", "anno solare",
         0.0011, Pop, Eco, 0.3, 0.08, 0.012, 0.01, 1}, yearSpan(1996, 2007), none, kEnergy);

    add({"TU001", "Esercizi alberghieri", "I01", "numero", "31 dicembre",
         0.00058, Pop, Tou, 1.2, 0.45, -0.004, 0.01, 0}, all, none, kTourism);
    add({"TU002", "Posti letto negli esercizi alberghieri", "I01", "numero", "31 dicembre",
         0.035, Pop, Tou, 1.2, 0.45, 0.01, 0.01, 0}, all, none, kTourism);
    add({"TU003", "Esercizi ricettivi extralberghieri", "I01", "numero", "31 dicembre",
         0.0018, Pop, Tou, 1.0, 0.5, 0.06, 0.02, 0}, yearSpan(1998, 2008), none, kTourism);
    VariableDef *arrivals = add({"TU010", "Arrivi nel complesso degli esercizi ricettivi", "I02", "numero",
                                 "anno solare", 1.35, Pop, Tou, 1.3, 0.45, 0.025, 0.03, 0}, all, none, kTourism);
    arrivals->yearNotes = {{2003, "Dati parziali per alcune province: rilevazione incompleta nei mesi estivi."}};
    add({"TU011", "Presenze nel complesso degli esercizi ricettivi", "I02", "numero", "anno solare",
         6.0, Pop, Tou, 1.5, 0.5, 0.012, 0.03, 0}, all, none, kTourism);

    add({"CR001", "Prodotto interno lordo ai prezzi di mercato", "L01", "milioni di euro", "anno solare",
         0.0215, Pop, Eco, 1.0, 0.04, 0.035, 0.005, 1}, none, yearSpan(1996, 2007), kAccounts);
    add({"CR002", "Spesa per consumi finali delle famiglie", "L01", "milioni di euro", "anno solare",
         0.0128, Pop, Eco, 0.8, 0.03, 0.032, 0.005, 1}, none, yearSpan(1996, 2007), kAccounts);
    add({"CR003", "Investimenti fissi lordi", "L01", "milioni di euro", "anno solare",
         0.0045, Pop, Eco, 1.1, 0.08, 0.03, 0.02, 1}, none, yearSpan(1996, 2007), kAccounts);
    add({"CR004", "Unità di lavoro totali", "L01", "migliaia", "media annua",
         0.00041, Pop, Eco, 0.9, 0.03, 0.008, 0.005, 1}, none, yearSpan(1996, 2007), kAccounts);
    add({"CE001", "Esportazioni di merci", "L02", "milioni di euro", "anno solare",
         0.0045, Pop, Eco, 2.5, 0.5, 0.04, 0.04, 1}, all, all, kForeignTrade);
    add({"CE002", "Importazioni di merci", "L02", "milioni di euro", "anno solare",
         0.0047, Pop, Eco, 2.0, 0.45, 0.045, 0.04, 1}, all, all, kForeignTrade);

    for (VariableDef &d : out) {
        static const QSet<QString> small = {"TE001", "AS001", "AS013", "AS014", "DG030", "CR001"};
        d.small = small.contains(d.code);
    }
    return out;
}

struct I {
    const char *code;
    const char *description;
    const char *subArea;
    const char *unit;
    const char *numerator;
    const char *other;
    int otherSign;
    const char *denominator;
    double factor;
    int decimals;
    bool provincial;
    bool regional;
    const char *valutazione;
};

QVector<IndicatorDef> indicatorRows() {
    const I rows[] = {
        {"IAS013", "Posti letto negli istituti di cura per 1.000 abitanti", "C01", "per 1.000 abitanti",
         "AS013", "", 0, "AS001", 1000, 2, true, false, "B1"},
        {"IAS014", "Medici di medicina generale per 10.000 abitanti", "C01", "per 10.000 abitanti",
         "AS014", "", 0, "AS001", 10000, 2, true, false, "B2"},
        {"IAS015", "Indice di vecchiaia", "B01", "per 100 giovani", "AS005", "", 0, "AS004", 100, 2, true, true, "A"},
        {"IAS016", "Popolazione di 65 anni e oltre per 100 residenti", "B01", "%", "AS005", "", 0, "AS001", 100, 2,
         true, true, "A"},
        {"IAS017", "Stranieri residenti per 100 abitanti", "B01", "%", "AS008", "", 0, "AS001", 100, 2, true, false, "A"},
        {"IAS020", "Densità demografica", "B01", "abitanti per kmq", "AS001", "", 0, "TE001", 1, 2, true, true, "A"},
        {"IAS022", "Numero medio di componenti per famiglia", "B01", "componenti", "AS001", "", 0, "AS006", 1, 2,
         true, false, "A"},
        {"IDG001", "Tasso di natalità", "B02-PD", "per 1.000 abitanti", "DG016", "", 0, "AS001", 1000, 2, true, true, "A"},
        {"IDG002", "Tasso di mortalità", "B02-PD", "per 1.000 abitanti", "DG030", "", 0, "AS001", 1000, 2, true, true, "A"},
        {"IDG003", "Tasso migratorio interno netto", "B02-PD", "per 1.000 abitanti", "DG032", "DG033", -1, "AS001",
         1000, 2, true, false, "E"},
        {"IDG004", "Tasso di nuzialità", "B02-PD", "per 1.000 abitanti", "DG034", "", 0, "AS001", 1000, 2, true, false, "A"},
        {"ILA001", "Tasso di attività 15-64 anni", "D01", "%", "LA001", "", 0, "LA004", 100, 2, true, true, "E1"},
        {"ILA002", "Tasso di disoccupazione", "D01", "%", "LA003", "", 0, "LA001", 100, 2, true, true, "E1"},
        {"ILA003", "Occupati nei servizi per 100 occupati", "D02", "%", "LA012", "", 0, "LA002", 100, 2, true, true, "C"},
        {"IIM001", "Imprese attive per 100 abitanti", "E01", "per 100 abitanti", "IM001", "", 0, "AS001", 100, 2,
         true, false, "C1"},
        {"IIM005", "Tasso di natalità delle imprese", "E02", "%", "IM007", "", 0, "IM001", 100, 2, true, false, "D"},
        {"IIM006", "Tasso di mortalità delle imprese", "E02", "%", "IM008", "", 0, "IM001", 100, 2, true, false, "D"},
        {"IIM007", "Addetti per unità locale", "E01", "addetti", "IM006", "", 0, "IM005", 1, 2, true, false, "C1"},
        {"ICO003", "Esercizi commerciali al dettaglio per 1.000 abitanti", "F01", "per 1.000 abitanti", "CO001", "", 0,
         "AS001", 1000, 2, true, false, "B2"},
        {"ICO010", "Sportelli bancari per 10.000 abitanti", "F02", "per 10.000 abitanti", "CO019", "", 0, "AS001",
         10000, 2, true, false, "B2"},
        {"ICO011", "Rapporto tra impieghi e depositi bancari", "F02", "%", "CO021", "", 0, "CO020", 100, 2, true, false,
         "C"},
        {"ITR001", "Autovetture circolanti per 1.000 abitanti", "G01", "per 1.000 abitanti", "TR001", "", 0, "AS001",
         1000, 2, true, false, "E2"},
        {"ITR023", "Morti per 100 incidenti stradali", "G02", "per 100 incidenti", "TR011", "", 0, "TR010", 100, 2,
         true, false, "C"},
        {"IAM001", "Rifiuti urbani raccolti per abitante", "H01", "kg per abitante", "AM001", "", 0, "AS001", 1000, 2,
         true, false, "E2"},
        {"IAM002", "Raccolta differenziata dei rifiuti urbani", "H01", "% sul totale", "AM002", "", 0, "AM001", 100, 2,
         true, false, "C"},
        {"IEN021", "Consumi di energia elettrica per abitante", "H02", "kWh per abitante", "EN032", "", 0, "AS001", 1e6,
         2, true, false, "E2"},
        {"IEN022", "Consumi di energia elettrica domestici per abitante", "H02", "kWh per abitante", "EN033", "", 0,
         "AS001", 1e6, 2, true, false, "E2"},
        {"ITU001", "Tasso di turisticità", "I02", "presenze per abitante", "TU011", "", 0, "AS001", 1, 2, true, false,
         "E"},
        {"ITU002", "Permanenza media negli esercizi ricettivi", "I02", "giorni", "TU011", "", 0, "TU010", 1, 2, true,
         false, "E"},
        {"ICR001", "Prodotto interno lordo per abitante", "L01", "euro", "CR001", "", 0, "AS001", 1e6, 2, false, true,
         "A"},
        {"ICR002", "Prodotto interno lordo per unità di lavoro", "L01", "migliaia di euro", "CR001", "", 0, "CR004", 1,
         2, false, true, "C"},
        {"ICE001", "Grado di apertura commerciale con l'estero", "L02", "% del PIL", "CE001", "CE002", 1, "CR001", 100,
         2, false, true, "C1"},
        {"ICE002", "Saldo commerciale con l'estero", "L02", "milioni di euro", "CE001", "CE002", -1, "", 1, 2, true,
         true, "C1"},
    };
    static const QSet<QString> small = {"IAS013", "IAS020", "IDG002", "ICR001"};
    QVector<IndicatorDef> out;
    int n = 0;
    for (const I &r : rows) {
        IndicatorDef d;
        d.code = QString::fromLatin1(r.code);
        d.description = QString::fromUtf8(r.description);
        d.subArea = QString::fromUtf8(r.subArea);
        d.unit = QString::fromUtf8(r.unit);
        d.numerator = QString::fromLatin1(r.numerator);
        d.numeratorOther = QString::fromLatin1(r.other);
        d.otherSign = r.otherSign;
        d.denominator = QString::fromLatin1(r.denominator);
        d.factor = r.factor;
        d.decimals = r.decimals;
        d.provincial = r.provincial;
        d.regional = r.regional;
        d.valutazione = QString::fromLatin1(r.valutazione);
        d.psm = QStringLiteral("PSM %1.%2").arg(1 + n / 8).arg(1 + n % 8);
        d.bdvexa = QStringLiteral("BDV-%1").arg(QString(r.code).mid(1));
        d.destination = n % 3 == 0 ? QStringLiteral("Quadro comunitario di sostegno 2000-2006")
                                   : QStringLiteral("Valutazione delle politiche regionali");
        d.synthesis = n % 4 == 0;
        d.small = small.contains(d.code);
        ++n;
        out.append(d);
    }
    return out;
}

QVector<GlossaryTerm> glossaryRows() {
    const char *const rows[][3] = {
        {"Addetti", "Persone occupate in un'unità locale, dipendenti e indipendenti, a tempo pieno o parziale.", "E"},
        {"Arrivi", "Numero di clienti, italiani e stranieri, ospitati negli esercizi ricettivi nel periodo considerato.",
         "I"},
        {"Bilancio demografico", "Prospetto che riporta la popolazione all'inizio e alla fine dell'anno e i movimenti "
                                 "naturali e migratori che ne spiegano la variazione.", "B"},
        {"Censimento", "Rilevazione totale di un fenomeno collettivo, eseguita con periodicità generalmente decennale.",
         "A"},
        {"Comune capoluogo", "Comune sede degli organi di governo della provincia.", "A"},
        {"Densità demografica", "Rapporto tra la popolazione residente e la superficie territoriale, espresso in "
                                "abitanti per chilometro quadrato.", "B"},
        {"Depositi bancari", "Somme affidate dalla clientela alle banche in conto corrente, a risparmio e in "
                             "certificati di deposito.", "F"},
        {"Esercizio alberghiero", "Struttura ricettiva che offre alloggio in camere e servizi accessori: alberghi, "
                                  "motel, villaggi-albergo, residenze turistico-alberghiere.", "I"},
        {"Esercizio extralberghiero", "Struttura ricettiva diversa dall'albergo: campeggi, villaggi turistici, "
                                      "alloggi in affitto, agriturismi, ostelli, rifugi.", "I"},
        {"Famiglia", "Insieme di persone legate da vincoli di matrimonio, parentela, affinità, adozione, tutela o "
                     "affettivi, coabitanti e con dimora abituale nello stesso comune.", "B"},
        {"Forze di lavoro", "Insieme delle persone occupate e di quelle in cerca di occupazione.", "D"},
        {"Impieghi bancari", "Finanziamenti concessi dalle banche a clientela ordinaria residente.", "F"},
        {"Impresa", "Unità giuridico-economica che produce beni e servizi destinabili alla vendita.", "E"},
        {"Incidente stradale", "Evento verificatosi su una strada aperta alla circolazione, in cui sono coinvolti "
                               "veicoli fermi o in movimento e da cui derivano lesioni a persone.", "G"},
        {"Indice di vecchiaia", "Rapporto percentuale tra la popolazione di 65 anni e oltre e quella di 0-14 anni.",
         "B"},
        {"Media aritmetica", "Somma dei valori osservati divisa per il loro numero.", "A"},
        {"Mediana", "Valore che divide in due parti uguali la distribuzione ordinata dei dati.", "A"},
        {"Movimento anagrafico", "Insieme delle iscrizioni e delle cancellazioni registrate nelle anagrafi comunali "
                                 "per nascita, morte e trasferimento di residenza.", "B"},
        {"NUTS", "Nomenclatura delle unità territoriali per la statistica dell'Unione europea: in Italia le regioni e "
                 "le province autonome (livello 2) e le province (livello 3).", "A"},
        {"Obiettivo 1", "Regioni in ritardo di sviluppo, con prodotto interno lordo per abitante inferiore al 75% "
                        "della media comunitaria, destinatarie dei fondi strutturali 2000-2006.", "L"},
        {"Occupati", "Persone di 15 anni e oltre che nella settimana di riferimento hanno svolto almeno un'ora di "
                     "lavoro retribuito o non retribuito nella ditta di un familiare.", "D"},
        {"Permanenza media", "Rapporto tra le presenze e gli arrivi negli esercizi ricettivi.", "I"},
        {"Persone in cerca di occupazione", "Persone non occupate di 15-74 anni che hanno cercato attivamente un "
                                            "lavoro e sono disponibili a lavorare entro due settimane.", "D"},
        {"Phasing out", "Sostegno transitorio alle regioni uscite dall'Obiettivo 1 nel periodo di programmazione "
                        "2000-2006.", "L"},
        {"Popolazione residente", "Persone aventi dimora abituale nel comune, anche se temporaneamente assenti.", "B"},
        {"Presenze", "Numero di notti trascorse dai clienti negli esercizi ricettivi.", "I"},
        {"Prodotto interno lordo", "Valore dei beni e servizi finali prodotti sul territorio in un anno, al netto dei "
                                   "consumi intermedi, valutato ai prezzi di mercato.", "L"},
        {"Quartile", "Ciascuno dei tre valori che dividono la distribuzione ordinata dei dati in quattro parti di "
                     "uguale numerosità.", "A"},
        {"Raccolta differenziata", "Raccolta dei rifiuti urbani suddivisi per frazioni merceologiche omogenee, "
                                   "destinate al riciclaggio o al recupero.", "H"},
        {"Ripartizione geografica", "Raggruppamento di regioni: Nord-ovest, Nord-est, Centro, Sud e Isole.", "A"},
        {"Rifiuti urbani", "Rifiuti domestici e assimilati raccolti dal servizio pubblico, compresi quelli della "
                           "pulizia delle strade.", "H"},
        {"Saldo dell'interscambio commerciale", "Differenza tra il valore delle esportazioni e quello delle "
                                                "importazioni di merci.", "L"},
        {"Saldo naturale", "Differenza tra il numero dei nati vivi e quello dei morti.", "B"},
        {"Saldo migratorio", "Differenza tra gli iscritti e i cancellati in anagrafe per trasferimento di residenza.",
         "B"},
        {"Sistema locale del lavoro", "Aggregazione di comuni contigui definita sulla base dei flussi di "
                                      "pendolarismo per motivi di lavoro rilevati al censimento.", "A"},
        {"Sportello bancario", "Dipendenza di una banca aperta al pubblico e abilitata alla raccolta del risparmio e "
                               "all'esercizio del credito.", "F"},
        {"Tasso d'attività", "Rapporto percentuale tra le forze di lavoro e la popolazione di riferimento.", "D"},
        {"Tasso di disoccupazione", "Rapporto percentuale tra le persone in cerca di occupazione e le forze di lavoro.",
         "D"},
        {"Tasso di mortalità", "Rapporto tra il numero dei morti nell'anno e la popolazione media, per 1.000.", "B"},
        {"Tasso di natalità", "Rapporto tra il numero dei nati vivi nell'anno e la popolazione media, per 1.000.", "B"},
        {"Tasso di turisticità", "Rapporto tra le presenze negli esercizi ricettivi e la popolazione residente.", "I"},
        {"Unità di lavoro", "Quantità di lavoro prestata nell'anno da un occupato a tempo pieno, o equivalente in "
                            "posizioni a tempo parziale o in secondi lavori.", "L"},
        {"Unità locale", "Luogo fisico nel quale un'impresa esercita una o più attività economiche.", "E"},
        {"Valore aggiunto", "Differenza tra il valore della produzione di beni e servizi e il valore dei beni e "
                            "servizi intermedi consumati.", "L"},
    };
    QVector<GlossaryTerm> out;
    for (const auto &r : rows)
        out.append({QString::fromUtf8(r[0]), QString::fromUtf8(r[1]), QString::fromLatin1(r[2])});
    return out;
}

}  // namespace

QStringList IndicatorDef::inputs() const {
    QStringList out{numerator};
    if (!numeratorOther.isEmpty())
        out << numeratorOther;
    if (!denominator.isEmpty())
        out << denominator;
    return out;
}

Catalogue::Catalogue(Options::Size size) {
    const char *const areaRows[][2] = {
        {"A", "Quadro generale"}, {"B", "Popolazione"}, {"C", "Sanità e istruzione"}, {"D", "Lavoro"},
        {"E", "Imprese"}, {"F", "Commercio e credito"}, {"G", "Trasporti"}, {"H", "Ambiente ed energia"},
        {"I", "Turismo"}, {"L", "Economia"},
    };
    for (const auto &r : areaRows)
        m_areas.append({QString::fromLatin1(r[0]), QString::fromUtf8(r[1])});

    const char *const subAreaRows[][3] = {
        {"A01", "Territorio", "A"},
        {"B01", "Struttura della popolazione", "B"},
        {"B02-PD", "Movimento demografico", "B"},
        {"C01", "Sanità", "C"},
        {"C02", "Istruzione", "C"},
        {"D01", "Forze di lavoro", "D"},
        {"D02", "Occupati per settore di attività", "D"},
        {"E01", "Struttura delle imprese", "E"},
        {"E02", "Natalità e mortalità delle imprese", "E"},
        {"F01", "Commercio", "F"},
        {"F02", "Credito", "F"},
        {"G01", "Parco veicolare", "G"},
        {"G02", "Incidentalità stradale", "G"},
        {"H01", "Rifiuti urbani", "H"},
        {"H02", "Energia elettrica", "H"},
        {"H03 - NO", "Qualità dell'aria", "H"},
        {"I01", "Capacità ricettiva", "I"},
        {"I02", "Movimento turistico", "I"},
        {"L01", "Conti economici territoriali", "L"},
        {"L02", "Commercio con l'estero", "L"},
    };
    for (const auto &r : subAreaRows)
        m_subAreas.append({QString::fromUtf8(r[0]), QString::fromUtf8(r[1]), QString::fromLatin1(r[2])});

    const char *const valutazioneRows[][2] = {
        {"A", "Contesto socio-economico"},
        {"B1", "Dotazione di infrastrutture"},
        {"B2", "Dotazione di servizi alla popolazione"},
        {"B3", "Dotazione di servizi alle imprese"},
        {"C", "Funzionalità del sistema economico"},
        {"C1", "Funzionalità del sistema produttivo"},
        {"D", "Dinamica del sistema delle imprese"},
        {"E", "Domanda espressa dalla popolazione"},
        {"E1", "Domanda di lavoro"},
        {"E2", "Domanda di servizi e di risorse"},
    };
    for (const auto &r : valutazioneRows)
        m_valutazioni.append({QString::fromLatin1(r[0]), QString::fromUtf8(r[1])});

    m_variables = variableRows();
    m_indicators = indicatorRows();
    m_glossary = glossaryRows();
    m_years = yearSpan(kFirstYear, kLastYear);

    if (size == Options::Size::Small) {
        const QVector<int> smallYears = {2004, 2005, 2006};
        auto narrow = [&](QVector<int> &ys) {
            QVector<int> kept;
            for (int y : ys) {
                if (smallYears.contains(y))
                    kept.append(y);
            }
            ys = kept;
        };
        QVector<VariableDef> vars;
        for (VariableDef d : m_variables) {
            if (!d.small)
                continue;
            narrow(d.provincialYears);
            narrow(d.regionalYears);
            vars.append(d);
        }
        m_variables = vars;
        QVector<IndicatorDef> inds;
        for (const IndicatorDef &d : m_indicators) {
            if (d.small)
                inds.append(d);
        }
        m_indicators = inds;
        m_years = smallYears;
    }
}

const VariableDef *Catalogue::variable(const QString &code) const {
    for (const VariableDef &d : m_variables) {
        if (d.code == code)
            return &d;
    }
    return nullptr;
}

const SubArea *Catalogue::subArea(const QString &code) const {
    for (const SubArea &s : m_subAreas) {
        if (s.code == code)
            return &s;
    }
    return nullptr;
}

QVector<int> Catalogue::indicatorYears(const IndicatorDef &def, bool regional) const {
    if (regional ? !def.regional : !def.provincial)
        return {};
    QVector<int> out = m_years;
    for (const QString &code : def.inputs()) {
        const VariableDef *v = variable(code);
        const QVector<int> covered = v ? both(v->provincialYears, v->regionalYears) : QVector<int>();
        QVector<int> kept;
        for (int y : out) {
            if (covered.contains(y))
                kept.append(y);
        }
        out = kept;
    }
    return out;
}

bool Catalogue::onNewProvinces(const QString &code, int year) {
    auto span = [](const char *letters, int from, int to) {
        QStringList out;
        for (int n = from; n <= to; ++n)
            out << QString::fromLatin1(letters) + QString::number(n).rightJustified(3, QLatin1Char('0'));
        return out;
    };
    static const QStringList moved2005 = QStringList{"AS012", "AS013", "AS014", "AS025", "AS026", "AS043", "IAS013",
                                                     "IAS014", "IAS015", "IAS016", "IAS017", "IAS018", "DB031",
                                                     "DG030", "DG032", "DG033"};
    static const QStringList firms = {"IM001", "IM004", "IM005", "IM006", "IM007", "IM008", "IM009", "IM010", "IM011",
                                      "IM012", "IM013", "IM020", "IM023", "IM025", "IM028", "IM030", "IM031"};
    static const QStringList firmIndicators = {"IIM001", "IIM005", "IIM006", "IIM007", "IIM009", "IIM016",
                                               "IIM019", "IIM020", "IIM021", "IIM024", "IIM028", "IIM029"};
    static const QStringList late2006 = [&] {
        QStringList out = {"AS001", "AS002", "AS004", "AS005", "AS006", "AS008", "AS040", "IAS020", "IAS022",
                           "IAS023", "DG016", "DG034", "EN032", "EN033", "IEN021", "IEN022", "IEN055", "ITR023"};
        out << firms << firmIndicators << span("CO", 1, 9)
            << QStringList{"CO019", "CO020", "CO021", "CO030", "CO031", "CO060", "CO061", "CO068", "CO069", "CO070"}
            << span("ICO", 3, 11) << span("ICO", 16, 23) << QStringList{"ICO036", "ICO037"} << span("ICO", 45, 48)
            << span("ICO", 53, 55) << span("ICO", 65, 68) << QStringList{"ICO070"};
        return out;
    }();
    static const QStringList late2007 = [&] {
        QStringList out = firms;
        out << firmIndicators << QStringList{"CO019", "CO020", "CO021", "CO030", "CO031", "ICO009", "ICO010",
                                             "ICO011", "ICO023", "ICO036", "ICO037"};
        return out;
    }();

    bool onNew = year >= 2006;
    if (year == 2005 && moved2005.contains(code))
        onNew = true;
    if (year == 2006 && late2006.contains(code))
        onNew = false;
    if (year == 2007 && late2007.contains(code))
        onNew = false;
    return onNew;
}

}  // namespace atlas
