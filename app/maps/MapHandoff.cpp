// The map hand-off: its rules as tables, and mnu_createMap_Click with the copy into datagrid2.
#include "MapHandoff.h"

#include "frmSelMappa.h"

#include "app/core/AppState.h"
#include "app/core/Guarded.h"
#include "app/core/MainMenu.h"
#include "app/core/Utility.h"
#include "app/query/FormdatiTab.h"
#include "app/query/frm_dispData.h"

#include "forms/DialogService.h"
#include "forms/FormRegistry.h"
#include "grid/FlexGrid.h"
#include "vb/Conversions.h"
#include "vb/Error.h"
#include "vb/Variant.h"

#include <QStringList>
#include <algorithm>
#include <initializer_list>
#include <vector>

namespace pendra {

namespace {

// The level rules in their order; a rule applies when all its boxes are ticked.
struct LevelRule {
    std::initializer_list<int> boxes;
    qint16 livMappa;
};
const LevelRule LevelRules[] = {
    {{5}, 3},          {{4, 6}, 2},       {{2, 6}, 2},       {{3, 6}, 2},       {{2, 4}, 2},
    {{2, 3}, 2},       {{1, 2}, 3},       {{1, 6}, 3},       {{1, 4}, 3},       {{1, 3}, 3},
    {{1, 3, 4}, 3},    {{1, 2, 6}, 3},    {{1, 2, 3}, 3},    {{1, 2, 4}, 3},    {{1, 3, 6}, 3},
    {{1, 4, 6}, 3},    {{3, 4, 6}, 2},    {{2, 3, 4}, 2},    {{2, 3, 6}, 2},    {{2, 4, 6}, 2},
    {{2, 3, 4, 6}, 2}, {{1, 2, 4, 6}, 3}, {{1, 2, 3, 4}, 3}, {{1, 3, 4, 6}, 3}, {{1, 2, 3, 6}, 3},
    {{1, 2, 3, 4, 6}, 3},
};

// Codes whose provincial boundaries in one year are not the ones of the year's default set.
struct CaseRow {
    int year;
    QStringList codes;
    const char *mapCase;
};

// prefix followed by the three-digit numbers from..to.
QStringList codeRange(const char *prefix, int from, int to)
{
    QStringList codes;
    for (int n = from; n <= to; ++n)
        codes << QString::fromLatin1(prefix) + QStringLiteral("%1").arg(n, 3, 10, QLatin1Char('0'));
    return codes;
}

const std::vector<CaseRow> &caseRows()
{
    static const std::vector<CaseRow> rows = [] {
        const QStringList im = {"IM001", "IM004", "IM005", "IM006", "IM007", "IM008", "IM009", "IM010", "IM011",
                                "IM012", "IM013", "IM020", "IM023", "IM025", "IM028", "IM030", "IM031"};
        const QStringList iim = {"IIM001", "IIM005", "IIM006", "IIM007", "IIM009", "IIM016",
                                 "IIM019", "IIM020", "IIM021", "IIM024", "IIM028", "IIM029"};
        const QStringList co = codeRange("CO", 1, 9) + QStringList{"CO019", "CO020", "CO021", "CO030", "CO031",
                                                                     "CO060", "CO061", "CO068", "CO069", "CO070"};
        const QStringList ico = codeRange("ICO", 3, 11) + codeRange("ICO", 16, 23) + QStringList{"ICO036", "ICO037"}
                                + codeRange("ICO", 45, 48) + codeRange("ICO", 53, 55) + codeRange("ICO", 65, 68)
                                + QStringList{"ICO070"};
        return std::vector<CaseRow>{
            {2005, {"AS012", "AS013", "AS014", "AS025", "AS026", "AS043", "IAS013", "IAS014", "IAS015", "IAS016",
                    "IAS017", "IAS018"}, "provincia107"},
            {2005, {"DB031", "DG030", "DG032", "DG033"}, "provincia107"},
            {2006, {"AS001", "AS002", "AS004", "AS005", "AS006", "AS008", "AS040", "IAS020", "IAS022", "IAS023"},
             "provincia103"},
            {2006, {"DG016", "DG034"}, "provincia103"},
            {2006, {"EN032", "EN033", "IEN021", "IEN022", "IEN055"}, "provincia103"},
            {2006, im, "provincia103"},
            {2006, iim, "provincia103"},
            {2006, {"ITR023"}, "provincia103"},
            {2006, co, "provincia103"},
            {2006, ico, "provincia103"},
            {2007, im, "provincia103"},
            {2007, iim, "provincia103"},
            {2007, {"CO019", "CO020", "CO021", "CO030", "CO031"}, "provincia103"},
            {2007, {"ICO009", "ICO010", "ICO011", "ICO023", "ICO036", "ICO037"}, "provincia103"},
        };
    }();
    return rows;
}

}  // namespace

qint16 livMappaFromBoxes(const PartitionBoxes &ticked, qint16 current)
{
    qint16 level = current;
    for (const LevelRule &rule : LevelRules) {
        bool applies = true;
        for (int box : rule.boxes)
            applies = applies && ticked[box];
        if (applies)
            level = rule.livMappa;
    }
    return level;
}

QString provinceMapCase(const QString &code, int year)
{
    QString mapCase = year <= 2005 ? QStringLiteral("provincia103") : QStringLiteral("provincia107");
    for (const CaseRow &row : caseRows())
        if (row.year == year && row.codes.contains(code, Qt::CaseSensitive))
            mapCase = QString::fromLatin1(row.mapCase);
    return mapCase;
}

int yearOf(const QString &annoVar)
{
    return vb::CInt(vb::Variant(annoVar));
}

QString computedColumnMapCase(const QString &header, bool valueOnNewProvince)
{
    if (valueOnNewProvince)
        return QStringLiteral("provincia107");
    const QString year = header.right(4);
    const bool hasYear = year.size() == 4 && std::all_of(year.begin(), year.end(), [](QChar c) {
        return c >= u'0' && c <= u'9';
    });
    return hasYear && year.toInt() >= 2006 ? QStringLiteral("provincia107") : QStringLiteral("provincia103");
}

bool isNewProvince(const QString &prov)
{
    // Olbia-Tempio, Ogliastra, Medio Campidano and Carbonia-Iglesias, provinces since 2006.
    static const int newProvinces[] = {104, 105, 106, 107};
    bool ok = false;
    const int number = prov.trimmed().toInt(&ok);
    return ok && std::find(std::begin(newProvinces), std::end(newProvinces), number) != std::end(newProvinces);
}

KindChoice kindChoiceOf(qint16 livMappa)
{
    switch (livMappa) {
    case 1:
        return KindChoice::Province;
    case 2:
    case 3:
        return KindChoice::Chooser;
    case 4:
        return KindChoice::Region;
    default:
        return KindChoice::None;
    }
}

bool provinciaEnabled(const QString &currentLivTerritoriale, qint16 livMappa)
{
    return !((currentLivTerritoriale == QLatin1String("R") && livMappa == 3) || livMappa == 2 || livMappa == 4);
}

bool isUnmappableColumn(const QString &header)
{
    static const QStringList names = {"N_QUIRN", "COD_SEZ", "COMUNE_MIN", "COMUNI", "PIT4"};
    return names.contains(header.toUpper(), Qt::CaseSensitive);
}

HeaderParts splitHeader(const QString &header, const QString &kind)
{
    HeaderParts parts;
    parts.lbl_Ricfor = header;
    int prefix = 0;
    if (kind == QLatin1String("Variabili"))
        prefix = 2;
    else if (kind == QLatin1String("Indicatori"))
        prefix = 3;
    else
        return parts;
    parts.cd_set_var = header.left(prefix);
    parts.nr_var = header.mid(prefix, 3);
    parts.anno_var = header.right(4);
    parts.split = true;
    return parts;
}

namespace {

constexpr int FirstDataColumn = 6;
constexpr int ProvColumn = 2;

// Whether a province row (type 1 or 6) of a province only the 107 set has holds a value in column.
bool valueOnNewProvince(const grid::FlexGridModel &g, int column)
{
    for (int r = 1; r < g.Rows(); ++r) {
        const QString type = g.TextMatrix(r, 0).trimmed();
        if ((type == u"1" || type == u"6") && isNewProvince(g.TextMatrix(r, ProvColumn))
            && !g.TextMatrix(r, column).trimmed().isEmpty())
            return true;
    }
    return false;
}

// The boundary set of a province map of the table's selected column.
QString provinceMapCaseOf(frm_dispData &table)
{
    const grid::FlexGridModel &g = table.datagrid()->grid();
    const int column = g.ColSel();
    if (column >= table.queryCols() && column < g.Cols())
        return computedColumnMapCase(g.TextMatrix(0, column), valueOnNewProvince(g, column));
    return provinceMapCase(app().CodVariabile, yearOf(table.anno_var));
}

// The map window belongs to another part of the program: it is known here only by its name.
// Its print layout goes with it: that holds a picture of the old map, and the new map's
// "Salva e Stampa" would only bring it forward.
void closeMapWindow()
{
    for (forms::Form *form : forms::FormRegistry::loadedForms())
        if (form->name() == QLatin1String("frm_Mappa") || form->name() == QLatin1String("PrintMappa"))
            forms::FormRegistry::unload(form);
}

// The query window's partition boxes; a closed query window has none ticked.
PartitionBoxes partitionBoxes()
{
    PartitionBoxes ticked{};
    if (FormdatiTab *query = forms::FormRegistry::find<FormdatiTab>())
        for (int i = 1; i <= 6; ++i)
            ticked[i] = query->territori().boxValue(i);
    return ticked;
}

}  // namespace

void applyTerritoryKind(const TerritoryKind &kind, frm_dispData &table)
{
    AppState &s = app();
    if (kind.tipoTerrNow == 0) {
        s.MapKind = 0;
        table.tipoTerrNow = 0;
        return;
    }
    const QString mapCase = kind.MapCase ? QString::fromLatin1(kind.MapCase) : provinceMapCaseOf(table);
    s.MapKind = kind.MapKind;
    s.MapCase = mapCase;
    table.tp1 = kind.tp1;
    table.tp2 = kind.tp2;
    table.tipoTerrNow = kind.tipoTerrNow;
}

bool CaricaDataGridMappa(frm_dispData &table)
{
    bool copied = false;
    const bool ran = guarded(&table, QStringLiteral("CaricaDataGridMappa"), [&] {
        grid::FlexGridModel &source = table.datagrid()->grid();
        grid::FlexGridModel &target = table.datagrid2()->grid();
        target.setRedraw(false);
        target.Clear();
        target.setCols(source.Cols());
        target.setRows(source.Rows());
        // The map window finds the mapped column by its header.
        for (int c = 0; c < source.Cols() && source.Rows() > 0; ++c)
            target.setTextMatrix(0, c, source.TextMatrix(0, c));
        // The rows go in the order of the mapped column alone: the map reads its first and last
        // rows as the least and greatest values, whatever column a dragged selection began on.
        const int mapped = source.ColSel();
        source.setCol(mapped);
        source.setSort(grid::flexSortGenericAscending);
        int next = 1;
        for (int r = 1; r < source.Rows(); ++r) {
            const double type = vb::CDbl(vb::Variant(source.TextMatrix(r, 0)));
            if (type == table.tp1 || type == table.tp2) {
                for (int c = 0; c < source.Cols(); ++c)
                    target.setTextMatrix(next, c, source.TextMatrix(r, c));
                ++next;
                copied = true;
            }
        }
        target.setRows(next);
        target.setColSel(mapped);
        target.setRedraw(true);
    });
    if (!ran)
        table.datagrid2()->grid().setRedraw(true);
    return copied;
}

void mnu_createMap_Click(frm_dispData &table)
{
    guarded(&table, QStringLiteral("mnu_createMap_Click"), [&] {
        AppState &s = app();
        grid::FlexGridModel &g = table.datagrid()->grid();
        if (g.ColSel() < FirstDataColumn) {
            forms::dialogs().msgBox(QStringLiteral("Selezionare una variabile."), forms::vbExclamation);
            return;
        }
        // A column of territory data has no year to read: the province boundary set and the chooser
        // would fail on it, so it is refused before either runs.
        if (isUnmappableColumn(g.TextMatrix(0, g.ColSel()))) {
            forms::dialogs().msgBox(QStringLiteral("Selezionare una variabile numerica!"), forms::vbInformation);
            return;
        }
        if (table.lblDescVar()->toPlainText().isEmpty())
            table.datagrid_EnterCell();

        // Everything below changes what an open map window reads: it goes first (and drops tMappa).
        closeMapWindow();

        s.LivMappa = livMappaFromBoxes(partitionBoxes(), s.LivMappa);

        const HeaderParts header = splitHeader(g.TextMatrix(0, g.ColSel()), table.kind());
        table.lbl_Ricfor = header.lbl_Ricfor;
        if (header.split) {
            table.cd_set_var = header.cd_set_var;
            table.nr_var = header.nr_var;
            table.anno_var = header.anno_var;
            s.CodVariabile = header.codVariabile();
        }

        table.tipoTerrNow = s.LivMappa;
        switch (kindChoiceOf(s.LivMappa)) {
        case KindChoice::Province:
            applyTerritoryKind(ProvinceKind, table);
            break;
        case KindChoice::Region:
            applyTerritoryKind(RegionKind, table);
            break;
        case KindChoice::Chooser:
            forms::FormRegistry::showModal<frmSelMappa>(&table);
            if (table.tipoTerrNow == 0)
                return;
            break;
        case KindChoice::None:
            break;
        }

        if (s.ShapePath.isEmpty()) {
            forms::dialogs().msgBox(QStringLiteral("Il Path dei file Shape non è stao impostato!\n"
                                                   "Se si vuole vedere le mappe chiudere il programma e riaprirlo, "
                                                   "quindi selezionare una folder contenente i file delle cartine."),
                                    forms::vbCritical);
            return;
        }
        if (table.cmb_Ordina()->currentText().isEmpty()) {
            forms::dialogs().msgBox(QStringLiteral("Selezionare una variabile!"), forms::vbInformation);
            return;
        }
        if (!CaricaDataGridMappa(table)) {
            forms::dialogs().msgBox(QStringLiteral("Nessun territorio selezionato è stato trovato."),
                                    forms::vbExclamation);
            return;
        }
        table.mnu_asce_Click();
        openRegisteredForm(QStringLiteral("FRM_MAPPA"));
        g.setColSel(1);
        table.cmd_ordinaA_Click();
    });
}

void registerMapHandoff()
{
    frm_dispData::setCreateMapHandler([](frm_dispData &table) { mnu_createMap_Click(table); });
}

}  // namespace pendra
