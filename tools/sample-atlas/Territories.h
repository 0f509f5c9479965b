// The territorial units of the atlas: Italy, its partitions, regions, provinces of both boundary
// sets and the structural-fund areas, with the province lists each one adds up.
#pragma once

#include "AtlasBuilder.h"

#include <QString>
#include <QVector>

namespace atlas {

// COD_TIPO_TERR values.
namespace territoryType {
constexpr int Province = 1;
constexpr int Region = 2;          // a region that is also a NUTS2 area
constexpr int Partition = 3;
constexpr int Country = 4;
constexpr int FundArea = 5;
constexpr int ProvinceNuts2 = 6;   // Bolzano and Trento
constexpr int RegionOnly = 22;     // Trentino-Alto Adige
}

// The two boundary sets of the provinces: 103 until 2005, 107 with the Sardinian provinces of 2006.
enum class ProvinceSet { P103, P107 };

struct Territory {
    QString code;          // COD_TERR
    int type = 0;          // COD_TIPO_TERR
    QString name;          // DES_TERR, the real name with its accents and apostrophes
    int province = 0;      // PROV: ISTAT province number, 0 for other kinds
    int region = 0;        // REG: ISTAT region number, 0 when the unit spans regions
    QString nuts;          // COD_NUTS
    QString regionName;    // the region a province or region belongs to (table land)
    QString nuts2Name;     // the NUTS2 area it lies in, empty for kinds wider than one
    // ISTAT numbers of the 2006 provinces whose values this unit adds up, on each boundary set:
    // they differ only for the provinces split in 2006 (empty when the unit is not in the set).
    QVector<int> parts;
    QVector<int> parts103;
    bool in103 = true;     // provinces: part of that boundary set
    bool in107 = true;
    double population2001 = 0;  // residents, the scale of the generated values

    const QVector<int> &partsIn(ProvinceSet set) const { return set == ProvinceSet::P103 ? parts103 : parts; }
    bool isProvince() const { return type == territoryType::Province || type == territoryType::ProvinceNuts2; }
    bool isRegion() const { return type == territoryType::Region || type == territoryType::RegionOnly; }
};

// The catalogue of units, in the order in which the territory table lists them (each partition
// followed by its regions, each region by its provinces; fund areas last).
class Territories {
public:
    explicit Territories(Options::Size size);

    const QVector<Territory> &all() const { return m_all; }
    const Territory *find(const QString &code) const;
    // Provinces of the 107 set (the building blocks of every sum), whatever the size.
    const QVector<Territory> &provinces107() const { return m_blocks; }

    static QString provinceCode(int istat);  // "P001"
    static QString regionCode(int istat);    // "R01"
    // Region number (ISTAT) of a province number; 0 for an unknown number.
    static int regionOfProvince(int istat);

private:
    QVector<Territory> m_all;
    QVector<Territory> m_blocks;
};

}  // namespace atlas
