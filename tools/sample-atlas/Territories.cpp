// Italy's regions and provinces as they stood in 1996-2005 and from 2006, with 2001 populations.
#include "Territories.h"

#include <QSet>

namespace atlas {

namespace {

struct ProvinceRow {
    int istat;
    const char *name;
    int region;
    const char *nuts3;
    int population;  // 2001, on the 2006 boundaries
    int cutFrom;     // the 1996-2005 province a 2006 Sardinian province was cut from, else 0
};

// In the order of the territory table: by region, then as ISTAT lists them.
const ProvinceRow kProvinces[] = {
    {1, "Torino", 1, "ITC11", 2165000, 0}, {2, "Vercelli", 1, "ITC12", 176000, 0},
    {96, "Biella", 1, "ITC13", 187000, 0}, {103, "Verbano-Cusio-Ossola", 1, "ITC14", 160000, 0},
    {3, "Novara", 1, "ITC15", 343000, 0}, {4, "Cuneo", 1, "ITC16", 556000, 0},
    {5, "Asti", 1, "ITC17", 209000, 0}, {6, "Alessandria", 1, "ITC18", 418000, 0},
    {7, "Aosta", 2, "ITC20", 120000, 0},
    {12, "Varese", 3, "ITC41", 813000, 0}, {13, "Como", 3, "ITC42", 537000, 0},
    {97, "Lecco", 3, "ITC43", 311000, 0}, {14, "Sondrio", 3, "ITC44", 177000, 0},
    {15, "Milano", 3, "ITC45", 3707000, 0}, {16, "Bergamo", 3, "ITC46", 974000, 0},
    {17, "Brescia", 3, "ITC47", 1108000, 0}, {18, "Pavia", 3, "ITC48", 493000, 0},
    {98, "Lodi", 3, "ITC49", 197000, 0}, {19, "Cremona", 3, "ITC4A", 335000, 0},
    {20, "Mantova", 3, "ITC4B", 377000, 0},
    {21, "Bolzano", 4, "ITD10", 463000, 0}, {22, "Trento", 4, "ITD20", 477000, 0},
    {23, "Verona", 5, "ITD31", 827000, 0}, {24, "Vicenza", 5, "ITD32", 794000, 0},
    {25, "Belluno", 5, "ITD33", 210000, 0}, {26, "Treviso", 5, "ITD34", 796000, 0},
    {27, "Venezia", 5, "ITD35", 809000, 0}, {28, "Padova", 5, "ITD36", 849000, 0},
    {29, "Rovigo", 5, "ITD37", 242000, 0},
    {93, "Pordenone", 6, "ITD41", 287000, 0}, {30, "Udine", 6, "ITD42", 519000, 0},
    {31, "Gorizia", 6, "ITD43", 136000, 0}, {32, "Trieste", 6, "ITD44", 242000, 0},
    {8, "Imperia", 7, "ITC31", 205000, 0}, {9, "Savona", 7, "ITC32", 272000, 0},
    {10, "Genova", 7, "ITC33", 878000, 0}, {11, "La Spezia", 7, "ITC34", 216000, 0},
    {33, "Piacenza", 8, "ITD51", 263000, 0}, {34, "Parma", 8, "ITD52", 392000, 0},
    {35, "Reggio nell'Emilia", 8, "ITD53", 453000, 0}, {36, "Modena", 8, "ITD54", 633000, 0},
    {37, "Bologna", 8, "ITD55", 915000, 0}, {38, "Ferrara", 8, "ITD56", 345000, 0},
    {39, "Ravenna", 8, "ITD57", 348000, 0}, {40, "Forlì-Cesena", 8, "ITD58", 358000, 0},
    {99, "Rimini", 8, "ITD59", 273000, 0},
    {45, "Massa-Carrara", 9, "ITE11", 197000, 0}, {46, "Lucca", 9, "ITE12", 372000, 0},
    {47, "Pistoia", 9, "ITE13", 268000, 0}, {48, "Firenze", 9, "ITE14", 933000, 0},
    {100, "Prato", 9, "ITE15", 228000, 0}, {49, "Livorno", 9, "ITE16", 326000, 0},
    {50, "Pisa", 9, "ITE17", 384000, 0}, {51, "Arezzo", 9, "ITE18", 323000, 0},
    {52, "Siena", 9, "ITE19", 252000, 0}, {53, "Grosseto", 9, "ITE1A", 211000, 0},
    {54, "Perugia", 10, "ITE21", 606000, 0}, {55, "Terni", 10, "ITE22", 219000, 0},
    {41, "Pesaro e Urbino", 11, "ITE31", 351000, 0}, {42, "Ancona", 11, "ITE32", 448000, 0},
    {43, "Macerata", 11, "ITE33", 301000, 0}, {44, "Ascoli Piceno", 11, "ITE34", 370000, 0},
    {56, "Viterbo", 12, "ITE41", 288000, 0}, {57, "Rieti", 12, "ITE42", 147000, 0},
    {58, "Roma", 12, "ITE43", 3700000, 0}, {59, "Latina", 12, "ITE44", 491000, 0},
    {60, "Frosinone", 12, "ITE45", 484000, 0},
    {66, "L'Aquila", 13, "ITF11", 297000, 0}, {67, "Teramo", 13, "ITF12", 287000, 0},
    {68, "Pescara", 13, "ITF13", 295000, 0}, {69, "Chieti", 13, "ITF14", 382000, 0},
    {94, "Isernia", 14, "ITF21", 89000, 0}, {70, "Campobasso", 14, "ITF22", 231000, 0},
    {61, "Caserta", 15, "ITF31", 852000, 0}, {62, "Benevento", 15, "ITF32", 287000, 0},
    {63, "Napoli", 15, "ITF33", 3059000, 0}, {64, "Avellino", 15, "ITF34", 429000, 0},
    {65, "Salerno", 15, "ITF35", 1073000, 0},
    {71, "Foggia", 16, "ITF41", 690000, 0}, {72, "Bari", 16, "ITF42", 1559000, 0},
    {73, "Taranto", 16, "ITF43", 580000, 0}, {74, "Brindisi", 16, "ITF44", 402000, 0},
    {75, "Lecce", 16, "ITF45", 787000, 0},
    {76, "Potenza", 17, "ITF51", 393000, 0}, {77, "Matera", 17, "ITF52", 204000, 0},
    {78, "Cosenza", 18, "ITF61", 733000, 0}, {101, "Crotone", 18, "ITF62", 173000, 0},
    {79, "Catanzaro", 18, "ITF63", 369000, 0}, {102, "Vibo Valentia", 18, "ITF64", 170000, 0},
    {80, "Reggio di Calabria", 18, "ITF65", 564000, 0},
    {81, "Trapani", 19, "ITG11", 425000, 0}, {82, "Palermo", 19, "ITG12", 1236000, 0},
    {83, "Messina", 19, "ITG13", 662000, 0}, {84, "Agrigento", 19, "ITG14", 448000, 0},
    {85, "Caltanissetta", 19, "ITG15", 274000, 0}, {86, "Enna", 19, "ITG16", 177000, 0},
    {87, "Catania", 19, "ITG17", 1054000, 0}, {88, "Ragusa", 19, "ITG18", 295000, 0},
    {89, "Siracusa", 19, "ITG19", 396000, 0},
    {90, "Sassari", 20, "ITG21", 322000, 0}, {91, "Nuoro", 20, "ITG22", 164000, 0},
    {92, "Cagliari", 20, "ITG23", 543000, 0}, {95, "Oristano", 20, "ITG24", 168000, 0},
    {104, "Olbia-Tempio", 20, "ITG25", 138000, 90}, {105, "Ogliastra", 20, "ITG26", 58000, 91},
    {106, "Medio Campidano", 20, "ITG27", 103000, 92}, {107, "Carbonia-Iglesias", 20, "ITG28", 131000, 92},
};

struct RegionRow {
    int istat;
    const char *name;
    const char *nuts2;  // empty for the region that is not a NUTS2 area
    int partition;
};

const RegionRow kRegions[] = {
    {1, "Piemonte", "ITC1", 1}, {2, "Valle d'Aosta", "ITC2", 1}, {7, "Liguria", "ITC3", 1},
    {3, "Lombardia", "ITC4", 1}, {4, "Trentino-Alto Adige", "", 2}, {5, "Veneto", "ITD3", 2},
    {6, "Friuli-Venezia Giulia", "ITD4", 2}, {8, "Emilia-Romagna", "ITD5", 2}, {9, "Toscana", "ITE1", 3},
    {10, "Umbria", "ITE2", 3}, {11, "Marche", "ITE3", 3}, {12, "Lazio", "ITE4", 3},
    {13, "Abruzzo", "ITF1", 4}, {14, "Molise", "ITF2", 4}, {15, "Campania", "ITF3", 4},
    {16, "Puglia", "ITF4", 4}, {17, "Basilicata", "ITF5", 4}, {18, "Calabria", "ITF6", 4},
    {19, "Sicilia", "ITG1", 5}, {20, "Sardegna", "ITG2", 5},
};

struct PartitionRow {
    int number;
    const char *name;
    const char *nuts1;
};

const PartitionRow kPartitions[] = {
    {1, "Nord-ovest", "ITC"}, {2, "Nord-est", "ITD"}, {3, "Centro", "ITE"}, {4, "Sud", "ITF"}, {5, "Isole", "ITG"},
};

// Structural funds 2000-2006: whole regions for Objective 1 and phasing out, provinces (standing
// for the eligible zones inside them) for Objective 2.
const int kObjective1Regions[] = {15, 16, 17, 18, 19, 20};
const int kPhasingOutRegions[] = {14};
const int kObjective2Provinces[] = {6, 96, 103, 8, 9, 25, 29, 30, 38, 45, 49, 53, 55, 56, 57, 60, 66, 67};

// Units of the small fixture: a few of every kind, with an apostrophe and an accent among them.
const char *const kSmallCodes[] = {"ITA", "RIP1", "R01", "P001", "P004", "R02", "P007", "RIP2",
                                   "R04", "P021", "P022", "R08", "P040", "OB2"};

Territory provinceUnit(const ProvinceRow &p, const QString &nuts2Name) {
    Territory t;
    t.code = Territories::provinceCode(p.istat);
    t.type = (p.istat == 21 || p.istat == 22) ? territoryType::ProvinceNuts2 : territoryType::Province;
    t.name = QString::fromUtf8(p.name);
    t.province = p.istat;
    t.region = p.region;
    t.nuts = QString::fromLatin1(p.nuts3);
    t.nuts2Name = t.type == territoryType::ProvinceNuts2 ? t.name : nuts2Name;
    t.in103 = p.cutFrom == 0;
    t.parts = {p.istat};
    if (t.in103) {
        t.parts103 = t.parts;
        for (const ProvinceRow &q : kProvinces) {
            if (q.cutFrom == p.istat)
                t.parts103.append(q.istat);
        }
    }
    t.population2001 = p.population;
    return t;
}

}  // namespace

QString Territories::provinceCode(int istat) {
    return QStringLiteral("P%1").arg(istat, 3, 10, QLatin1Char('0'));
}

QString Territories::regionCode(int istat) {
    return QStringLiteral("R%1").arg(istat, 2, 10, QLatin1Char('0'));
}

int Territories::regionOfProvince(int istat) {
    for (const ProvinceRow &p : kProvinces) {
        if (p.istat == istat)
            return p.region;
    }
    return 0;
}

Territories::Territories(Options::Size size) {
    QHash<int, double> population;
    for (const ProvinceRow &p : kProvinces)
        population.insert(p.istat, p.population);
    auto sumOf = [&](const QVector<int> &parts) {
        double sum = 0;
        for (int istat : parts)
            sum += population.value(istat);
        return sum;
    };
    auto partsWhere = [&](auto pred) {
        QVector<int> parts;
        for (const ProvinceRow &p : kProvinces) {
            if (pred(p))
                parts.append(p.istat);
        }
        return parts;
    };

    for (const ProvinceRow &p : kProvinces) {
        m_blocks.append(provinceUnit(p, QString()));
    }

    Territory italy;
    italy.code = QStringLiteral("ITA");
    italy.type = territoryType::Country;
    italy.name = QStringLiteral("Italia");
    italy.nuts = QStringLiteral("IT");
    italy.parts = partsWhere([](const ProvinceRow &) { return true; });
    italy.parts103 = italy.parts;
    italy.population2001 = sumOf(italy.parts);
    m_all.append(italy);

    for (const PartitionRow &part : kPartitions) {
        Territory t;
        t.code = QStringLiteral("RIP%1").arg(part.number);
        t.type = territoryType::Partition;
        t.name = QString::fromUtf8(part.name);
        t.nuts = QString::fromLatin1(part.nuts1);
        QSet<int> regions;
        for (const RegionRow &r : kRegions) {
            if (r.partition == part.number)
                regions.insert(r.istat);
        }
        t.parts = partsWhere([&](const ProvinceRow &p) { return regions.contains(p.region); });
        t.parts103 = t.parts;
        t.population2001 = sumOf(t.parts);
        m_all.append(t);

        for (const RegionRow &r : kRegions) {
            if (r.partition != part.number)
                continue;
            Territory region;
            region.code = regionCode(r.istat);
            region.type = *r.nuts2 ? territoryType::Region : territoryType::RegionOnly;
            region.name = QString::fromUtf8(r.name);
            region.region = r.istat;
            region.nuts = QString::fromLatin1(r.nuts2);
            region.regionName = region.name;
            region.nuts2Name = *r.nuts2 ? region.name : QString();
            region.parts = partsWhere([&](const ProvinceRow &p) { return p.region == r.istat; });
            region.parts103 = region.parts;
            region.population2001 = sumOf(region.parts);
            m_all.append(region);

            for (const ProvinceRow &p : kProvinces) {
                if (p.region != r.istat)
                    continue;
                Territory province = provinceUnit(p, region.nuts2Name);
                province.regionName = region.name;
                m_all.append(province);
            }
        }
    }

    auto fundArea = [&](const char *code, const char *name, QVector<int> parts) {
        Territory t;
        t.code = QString::fromLatin1(code);
        t.type = territoryType::FundArea;
        t.name = QString::fromUtf8(name);
        t.parts = std::move(parts);
        t.parts103 = t.parts;
        t.population2001 = sumOf(t.parts);
        m_all.append(t);
    };
    auto inRegions = [&](const auto &regions) {
        return partsWhere([&](const ProvinceRow &p) {
            return std::find(std::begin(regions), std::end(regions), p.region) != std::end(regions);
        });
    };
    fundArea("OB1", "Obiettivo 1", inRegions(kObjective1Regions));
    fundArea("OB2", "Obiettivo 2", QVector<int>(std::begin(kObjective2Provinces), std::end(kObjective2Provinces)));
    fundArea("PHO", "Phasing out", inRegions(kPhasingOutRegions));

    if (size == Options::Size::Small) {
        QSet<QString> keep;
        for (const char *code : kSmallCodes)
            keep.insert(QString::fromLatin1(code));
        QVector<Territory> small;
        for (const Territory &t : m_all) {
            if (keep.contains(t.code))
                small.append(t);
        }
        m_all = small;
    }
}

const Territory *Territories::find(const QString &code) const {
    for (const Territory &t : m_all) {
        if (t.code == code)
            return &t;
    }
    return nullptr;
}

}  // namespace atlas
