// Lays out the data tables, with the gaps real series have: Null cells, missing years, a
// territory left out of a table, and provinces that only exist on one boundary set.
#include "DataPlan.h"

#include <QMap>

namespace atlas {

namespace {

struct LeftOut {
    const char *database;
    const char *table;
    const char *territory;
};

// A territory missing from one table of a series (a late or lost return).
const LeftOut kLeftOut[] = {
    {"VariabiliProvince.mdb", "TR_2003", "P101"},
    {"IndicatoriProvince.mdb", "ITR_2003", "P101"},
    {"VariabiliRegioni.mdb", "LA_1999", "R14"},
    {"VariabiliProvince.mdb", "DG_2005", "P004"},
    {"IndicatoriProvince.mdb", "IDG_2005", "P004"},
};

bool leftOut(const QString &database, const QString &table, const QString &territory) {
    for (const LeftOut &l : kLeftOut) {
        if (database == QLatin1String(l.database) && table == QLatin1String(l.table)
            && territory == QLatin1String(l.territory))
            return true;
    }
    return false;
}

// About one province cell in eighty is not available.
bool missingCell(const QString &code, const Territory &unit, int year) {
    return unit.isProvince() && ValueModel::uniform(QStringLiteral("null/%1/%2/%3").arg(code, unit.code).arg(year)) < 0.0125;
}

}  // namespace

QString DataPlan::groupOf(const QString &code, bool indicator) {
    return code.left(indicator ? 3 : 2);
}

DataPlan::DataPlan(const Catalogue &catalogue, const Territories &territories, const ValueModel &model) {
    const QString var = QStringLiteral("Variabili");
    const QString ind = QStringLiteral("Indicatori");
    plan({"VariabiliProvince.mdb", var, false, "Variabili provinciali", "Variabili provinciali", {}},
         catalogue, territories, model);
    plan({"IndicatoriProvince.mdb", ind, false, "Indicatori provinciali", "Indicatori provinciali", {}},
         catalogue, territories, model);
    plan({"IndicatoriRegioni.mdb", ind, true, "Indicatori regionali", "Indicatori regionali", {}},
         catalogue, territories, model);
    plan({"VariabiliRegioni.mdb", var, true, "Variabili regionali", "Variabili regionali", {}},
         catalogue, territories, model);
}

void DataPlan::plan(DataDatabase db, const Catalogue &catalogue, const Territories &territories,
                    const ValueModel &model) {
    const bool indicators = db.kind == QLatin1String("Indicatori");

    struct Series {
        QString code;
        QString subArea;
        QVector<int> years;
        const IndicatorDef *indicator = nullptr;
    };
    QVector<Series> series;
    if (indicators) {
        for (const IndicatorDef &d : catalogue.indicators())
            series.append({d.code, d.subArea, catalogue.indicatorYears(d, db.regional), &d});
    } else {
        for (const VariableDef &d : catalogue.variables())
            series.append({d.code, d.subArea, db.regional ? d.regionalYears : d.provincialYears, nullptr});
    }

    // Regional data have no row for plain provinces.
    QVector<const Territory *> rows;
    for (const Territory &t : territories.all()) {
        if (!db.regional || t.type != territoryType::Province)
            rows.append(&t);
    }

    // group -> year -> codes, in code order
    QMap<QString, QMap<int, QStringList>> groups;
    for (const Series &s : series) {
        for (int year : s.years)
            groups[groupOf(s.code, indicators)][year].append(s.code);
    }
    auto seriesOf = [&](const QString &code) -> const Series & {
        for (const Series &s : series) {
            if (s.code == code)
                return s;
        }
        Q_UNREACHABLE();
    };

    for (auto g = groups.cbegin(); g != groups.cend(); ++g) {
        for (auto y = g->cbegin(); y != g->cend(); ++y) {
            DataTable table;
            table.name = QStringLiteral("%1_%2").arg(g.key()).arg(y.key());
            table.year = y.key();
            table.codes = y.value();
            for (const Territory *t : rows) {
                if (leftOut(db.fileName, table.name, t->code))
                    continue;
                QVector<std::optional<double>> cells;
                bool any = false;
                for (const QString &code : table.codes) {
                    const ProvinceSet set = Catalogue::onNewProvinces(code, table.year) ? ProvinceSet::P107
                                                                                         : ProvinceSet::P103;
                    const Series &s = seriesOf(code);
                    std::optional<double> v = s.indicator ? model.indicator(*s.indicator, *t, table.year, set)
                                                          : model.variable(code, *t, table.year, set);
                    if (v && missingCell(code, *t, table.year))
                        v.reset();
                    any = any || v.has_value();
                    cells.append(v);
                }
                if (!any)
                    continue;
                table.territories.append(t->code);
                table.values.append(cells);
            }
            for (const QString &code : table.codes) {
                const Series &s = seriesOf(code);
                const SubArea *sub = catalogue.subArea(s.subArea);
                m_indVarAnno.append({code, table.year, db.regional ? QStringLiteral("R") : QStringLiteral("T"),
                                     table.name, sub ? sub->area : QString(), s.subArea,
                                     indicators ? QStringLiteral("I") : QStringLiteral("V")});
            }
            db.tables.append(table);
        }
    }
    m_databases.append(db);
}

}  // namespace atlas
