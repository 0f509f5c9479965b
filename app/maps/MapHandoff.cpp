// The map hand-off: its rules as tables, and mnu_createMap_Click with the copy into datagrid2.
#include "MapHandoff.h"

#include "vb/Conversions.h"
#include "vb/Error.h"
#include "vb/Variant.h"

#include <QStringList>
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

}  // namespace pendra
