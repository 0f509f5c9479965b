// The rules of handing a table column to the map: territorial level from the partition boxes, map
// kind by level and by the chooser's buttons, the province boundary set, the column header's parts.
#pragma once

#include <QString>
#include <array>

namespace pendra {

class frm_dispData;

// Ticked state of the query window's partition boxes Check1(1..6); index 0 is not used.
using PartitionBoxes = std::array<bool, 7>;

// LivMappa after the level rules: the last rule whose boxes are all ticked wins; when none
// applies, `current` (the query window's level) stays.
qint16 livMappaFromBoxes(const PartitionBoxes &ticked, qint16 current);

// Boundary set of a province map of the variable or indicator `code` (compared exactly, letter
// case included) in `year`: "provincia103" up to 2005, "provincia107" from 2006, except the codes
// whose boundaries changed in another year.
QString provinceMapCase(const QString &code, int year);

// The year of a column as the rule reads it; throws vb::Error 13 when it is not a number.
int yearOf(const QString &annoVar);

// Boundary set of a province map of a column the formula editor computed: its code is in no list,
// and its name need not end in a year. From the year its name ends in (four digits), "provincia103"
// up to 2005 and "provincia107" from 2006; with no year "provincia103"; and "provincia107" whenever
// a province that only that set has carries a value (valueOnNewProvince).
QString computedColumnMapCase(const QString &header, bool valueOnNewProvince);

// Whether a province number (the PROV column) is of a province that the 107 set has and the 103
// set has not.
bool isNewProvince(const QString &prov);

// What a choice of territory kind writes. A null mapCase means the province boundary-set rule;
// tipoTerrNow 0 means the user cancelled (then MapCase, tp1 and tp2 stay as they were).
struct TerritoryKind {
    qint16 MapKind;
    const char *MapCase;
    qint16 tp1;
    qint16 tp2;
    qint16 tipoTerrNow;
};
inline constexpr TerritoryKind ProvinceKind{2, nullptr, 1, 6, 1};
inline constexpr TerritoryKind Nuts2Kind{3, "nuts2", 2, 6, 2};
inline constexpr TerritoryKind RegionKind{4, "regioni", 2, 22, 4};
inline constexpr TerritoryKind CancelledKind{0, nullptr, 0, 0, 0};

// How LivMappa chooses the kind: directly (provinces, regions), through the chooser (mixed
// kinds), or not at all (level 0 or another value).
enum class KindChoice { Province, Region, Chooser, None };
KindChoice kindChoiceOf(qint16 livMappa);

// Whether the chooser offers "Provincia": not for regional data of every kind, nor for NUTS2 or
// region selections.
bool provinciaEnabled(const QString &currentLivTerritoriale, qint16 livMappa);

// Columns that hold territory data rather than values (compared with the upper-cased header).
bool isUnmappableColumn(const QString &header);

// The parts of a data column header (code, "_", four-digit year). split is false for a Kind other
// than "Variabili" or "Indicatori": then only lbl_Ricfor is set.
struct HeaderParts {
    QString lbl_Ricfor;
    QString cd_set_var;
    QString nr_var;
    QString anno_var;
    bool split = false;
    QString codVariabile() const { return cd_set_var + nr_var; }
};
HeaderParts splitHeader(const QString &header, const QString &kind);

// Writes a kind into the shared MapKind and MapCase and into the table's tipoTerrNow, tp1 and tp2
// (a cancel: MapKind and tipoTerrNow 0, the rest unchanged). The province boundary set of a query
// column is read from CodVariabile and the table's anno_var, where a year that is not a number
// throws vb::Error 13 before anything is written; that of a computed column (the table's selected
// column lies past the query's columns) follows computedColumnMapCase on its province rows.
void applyTerritoryKind(const TerritoryKind &kind, frm_dispData &table);

// Copies the header and the rows of territory type tp1 or tp2 of datagrid (sorted ascending on
// its selection first) into datagrid2, whose ColSel becomes datagrid's. True when a row was
// copied; an error is logged under "CaricaDataGridMappa" and the rows copied so far count.
bool CaricaDataGridMappa(frm_dispData &table);

// The whole hand-off of the selected column of the table to the map window (opened through the
// opener "FRM_MAPPA"). Refusals are messages; other errors are logged under
// "mnu_createMap_Click". An open map window and its print layout are closed before a new
// hand-off changes what they read.
void mnu_createMap_Click(frm_dispData &table);

// Makes the table window's "Crea cartogramma" run mnu_createMap_Click.
void registerMapHandoff();

}  // namespace pendra
