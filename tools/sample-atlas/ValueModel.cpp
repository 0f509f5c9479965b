// Values from regional profiles (economy, ageing, tourism), lasting provincial differences, a
// trend and a little yearly noise; wider units add up their provinces.
#include "ValueModel.h"

#include <QtMath>

#include <cmath>

namespace atlas {

namespace {

struct RegionProfile {
    double economy;   // product per head against the national mean
    double growth;    // yearly population growth
    double mountain;  // share of mountain land
    double ageing;    // older population against the national mean
    double tourism;   // tourist pull against the national mean
};

RegionProfile profileOf(int region) {
    switch (region) {
    case 1: return {1.10, 0.004, 0.43, 1.20, 0.8};
    case 2: return {1.25, 0.006, 1.00, 1.05, 3.0};
    case 3: return {1.30, 0.008, 0.41, 1.00, 0.8};
    case 4: return {1.30, 0.009, 1.00, 0.90, 3.5};
    case 5: return {1.20, 0.008, 0.29, 0.98, 1.6};
    case 6: return {1.15, 0.004, 0.43, 1.20, 1.1};
    case 7: return {1.05, 0.001, 0.65, 1.40, 1.5};
    case 8: return {1.28, 0.009, 0.25, 1.20, 1.5};
    case 9: return {1.12, 0.006, 0.25, 1.22, 1.6};
    case 10: return {0.98, 0.007, 0.30, 1.20, 0.9};
    case 11: return {1.02, 0.006, 0.31, 1.15, 1.2};
    case 12: return {1.15, 0.007, 0.26, 0.95, 0.9};
    case 13: return {0.85, 0.004, 0.65, 1.05, 0.8};
    case 14: return {0.78, -0.001, 0.55, 1.15, 0.3};
    case 15: return {0.65, 0.002, 0.35, 0.70, 0.6};
    case 16: return {0.67, 0.002, 0.02, 0.78, 0.5};
    case 17: return {0.72, -0.002, 0.47, 0.95, 0.4};
    case 18: return {0.63, -0.001, 0.42, 0.85, 0.6};
    case 19: return {0.66, 0.001, 0.24, 0.85, 0.5};
    case 20: return {0.77, 0.002, 0.14, 0.85, 1.1};
    default: return {1, 0, 0, 1, 1};
    }
}

quint64 mix(quint64 x) {
    x += 0x9e3779b97f4a7c15ULL;
    x = (x ^ (x >> 30)) * 0xbf58476d1ce4e5b9ULL;
    x = (x ^ (x >> 27)) * 0x94d049bb133111ebULL;
    return x ^ (x >> 31);
}

quint64 keyHash(const QString &key) {
    quint64 h = 1469598103934665603ULL;  // FNV-1a: stable across runs, unlike qHash
    for (char c : key.toUtf8()) {
        h ^= quint8(c);
        h *= 1099511628211ULL;
    }
    return mix(h);
}

// A standard normal number drawn from the key alone.
double gauss(const QString &key) {
    const quint64 h = keyHash(key);
    const double u1 = (double((h >> 11) & ((1ULL << 26) - 1)) + 0.5) / double(1ULL << 26);
    const double u2 = double((h >> 37) & ((1ULL << 26) - 1)) / double(1ULL << 26);
    return std::sqrt(-2.0 * std::log(u1)) * std::cos(2.0 * M_PI * u2);
}

double roundTo(double value, int decimals) {
    const double scale = std::pow(10.0, decimals);
    return std::round(value * scale) / scale;
}

}  // namespace

double ValueModel::uniform(const QString &key) {
    return double(keyHash(key) >> 11) / double(1ULL << 53);
}

ValueModel::ValueModel(const Catalogue &catalogue, const Territories &territories, QHash<int, double> provinceAreas)
    : m_catalogue(catalogue), m_area(std::move(provinceAreas)) {
    for (const Territory &p : territories.provinces107()) {
        m_population2001.insert(p.province, p.population2001);
        m_region.insert(p.province, p.region);
    }
}

double ValueModel::population(int province, int year) const {
    const double growth = profileOf(m_region.value(province)).growth
                          + 0.003 * gauss(QStringLiteral("growth/%1").arg(province));
    return m_population2001.value(province) * std::pow(1.0 + growth, year - 2001);
}

double ValueModel::area(int province) const {
    auto it = m_area.constFind(province);
    if (it != m_area.constEnd())
        return *it;
    return 2800.0 * std::exp(0.45 * gauss(QStringLiteral("area/%1").arg(province)));
}

double ValueModel::block(const VariableDef &def, int province, int year) const {
    const RegionProfile profile = profileOf(m_region.value(province));
    double base = 0;
    switch (def.scale) {
    case Scale::Population: base = def.perUnit * population(province, year); break;
    case Scale::Area: base = def.perUnit * area(province); break;
    case Scale::MountainArea: base = area(province) * profile.mountain; break;
    }
    double index = 1;
    switch (def.profile) {
    case Profile::Economy:
        index = profile.economy * std::exp(0.06 * gauss(QStringLiteral("economy/%1").arg(province)));
        break;
    case Profile::Ageing: index = profile.ageing; break;
    case Profile::Tourism:
        index = profile.tourism * std::exp(0.3 * gauss(QStringLiteral("tourism/%1").arg(province)));
        break;
    case Profile::None: break;
    }
    double value = base * std::pow(index, def.elasticity)
                   * std::exp(def.spread * gauss(QStringLiteral("%1/%2").arg(def.code).arg(province)))
                   * std::pow(1.0 + def.trend, year - 2001)
                   * (1.0 + def.jitter * gauss(QStringLiteral("%1/%2/%3").arg(def.code).arg(province).arg(year)));
    if (def.scale == Scale::MountainArea)
        value = std::min(value, area(province));
    return roundTo(std::max(value, 0.0), def.decimals);
}

std::optional<double> ValueModel::variable(const QString &code, const Territory &unit, int year,
                                           ProvinceSet set) const {
    const VariableDef *def = m_catalogue.variable(code);
    const QVector<int> &parts = unit.partsIn(set);
    if (!def || parts.isEmpty())
        return std::nullopt;
    const quint64 codeIndex = quint64(def - m_catalogue.variables().data());
    double sum = 0;
    for (int province : parts) {
        const quint64 key = (codeIndex << 32) | (quint64(province) << 16) | quint64(year);
        auto it = m_blockCache.constFind(key);
        if (it == m_blockCache.constEnd())
            it = m_blockCache.insert(key, block(*def, province, year));
        sum += *it;
    }
    return roundTo(sum, def->decimals);
}

std::optional<double> ValueModel::indicator(const IndicatorDef &def, const Territory &unit, int year,
                                            ProvinceSet set) const {
    std::optional<double> numerator = variable(def.numerator, unit, year, set);
    if (!numerator)
        return std::nullopt;
    double top = *numerator;
    if (!def.numeratorOther.isEmpty()) {
        std::optional<double> other = variable(def.numeratorOther, unit, year, set);
        if (!other)
            return std::nullopt;
        top += def.otherSign * *other;
    }
    double bottom = 1;
    if (!def.denominator.isEmpty()) {
        std::optional<double> den = variable(def.denominator, unit, year, set);
        if (!den || *den == 0)
            return std::nullopt;
        bottom = *den;
    }
    return roundTo(top / bottom * def.factor, def.decimals);
}

}  // namespace atlas
