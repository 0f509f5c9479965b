// Plausible, reproducible values: every number follows from the code, the province and the year
// alone (no running generator), so the small fixture and the full atlas agree cell by cell.
#pragma once

#include "Catalogue.h"
#include "Territories.h"

#include <QHash>
#include <optional>

namespace atlas {

class ValueModel {
public:
    // provinceAreas: square kilometres by ISTAT number of the 2006 provinces; provinces missing
    // from it get a made-up area.
    ValueModel(const Catalogue &catalogue, const Territories &territories, QHash<int, double> provinceAreas);

    // The value of a variable for a unit on one boundary set; empty when the unit is not part of
    // that set or the code is unknown.
    std::optional<double> variable(const QString &code, const Territory &unit, int year, ProvinceSet set) const;
    // An indicator worked out from its variables; empty where a denominator is zero.
    std::optional<double> indicator(const IndicatorDef &def, const Territory &unit, int year, ProvinceSet set) const;

    // A number in [0, 1) drawn from the key alone.
    static double uniform(const QString &key);

private:
    double block(const VariableDef &def, int province, int year) const;
    double population(int province, int year) const;
    double area(int province) const;

    const Catalogue &m_catalogue;
    QHash<int, double> m_population2001;
    QHash<int, int> m_region;
    QHash<int, double> m_area;
    // Every wider unit adds up the same provinces again: each province value is worked out once.
    mutable QHash<quint64, double> m_blockCache;
};

}  // namespace atlas
