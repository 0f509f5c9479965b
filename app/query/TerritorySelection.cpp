// Territory tab logic: loading land_Ind by view option, partition boxes selecting whole types.
#include "TerritorySelection.h"

#include "app/core/AppState.h"
#include "app/core/Utility.h"

#include "jet/Recordset.h"
#include "vb/Conversions.h"

#include <QStringList>
#include <algorithm>
#include <utility>

namespace pendra {

namespace {

// LivMappa each box sets, ticked or not (index 1..6).
constexpr qint16 kBoxLivMappa[7] = {0, 1, 2, 0, 0, 3, 4};

QStringList boxTypes(int index, bool regional)
{
    switch (index) {
    case 1: return {"1", "6"};
    case 2: return {"2", "6"};
    case 3: return {"4"};
    case 4: return {"5"};
    case 5: return regional ? QStringList{"6", "2", "22", "4", "5"} : QStringList{"1", "6", "2", "22", "4", "5"};
    case 6: return {"2", "22"};
    default: return {};
    }
}

// Boxes 1..6 enabled by each view option ("Tutto" keeps box 1 off for regional data).
constexpr bool kOptionBoxes[4][7] = {
    {false, false, false, false, false, false, true},
    {false, true, false, false, false, false, false},
    {false, true, true, true, true, true, true},
    {false, false, true, false, false, false, false},
};

}  // namespace

void TerritorySelection::notify()
{
    if (changed)
        changed();
}

void TerritorySelection::CaricaTerritori(int index, int escludi)
{
    m_territori.clear();
    m_selected.clear();
    notify();

    QString where;
    switch (index) {
    case 0: where = " where COD_TIPO_TERR=2 or COD_TIPO_TERR=22"; break;
    case 1: where = " where COD_TIPO_TERR=1 or COD_TIPO_TERR=6"; break;
    case 3: where = " where COD_TIPO_TERR=2 or COD_TIPO_TERR=6"; break;
    default: break;
    }
    if (escludi > 0)
        where += QString(where.isEmpty() ? " where" : " and") + " COD_TIPO_TERR <> " + QString::number(escludi);

    jet::Connection conn = GetDbConnection("Territorio.mdb");
    jet::Recordset rs;
    rs.open("SELECT DES_TERR,COD_TIPO_TERR, COD_TERR From land_Ind" + where, conn, jet::CursorType::Keyset,
            jet::LockType::Optimistic);
    QVector<TerritorioRec> loaded;
    while (!rs.eof()) {
        loaded.append({rs.value(0).toString(), rs.value(1).toString(), rs.value(2).toString()});
        rs.moveNext();
    }
    rs.close();
    conn.close();
    setTerritori(loaded);
}

void TerritorySelection::setTerritori(const QVector<TerritorioRec> &territori)
{
    m_territori = territori;
    m_selected = QVector<bool>(territori.size(), false);
    m_anchor = -1;
    m_extended.clear();
    notify();
}

void TerritorySelection::setSelected(int i, bool selected)
{
    if (i >= 0 && i < m_selected.size() && m_selected.at(i) != selected) {
        m_selected[i] = selected;
        m_extended.clear();
    }
}

void TerritorySelection::clickItem(int i, bool extend)
{
    if (i < 0 || i >= m_selected.size())
        return;
    if (!extend || m_anchor < 0 || m_anchor >= m_selected.size()) {
        m_selected[i] = !m_selected.at(i);
        m_anchor = i;
        m_extended.clear();
    } else {
        for (int j : std::as_const(m_extended))
            m_selected[j] = false;
        m_extended.clear();
        for (int j = std::min(i, m_anchor); j <= std::max(i, m_anchor); ++j) {
            if (!m_selected.at(j)) {
                m_selected[j] = true;
                m_extended.append(j);
            }
        }
    }
    notify();
}

QStringList TerritorySelection::selectedNames() const
{
    QStringList out;
    for (int i = 0; i < m_territori.size(); ++i) {
        if (m_selected.at(i))
            out << m_territori.at(i).des;
    }
    return out;
}

void TerritorySelection::setBoxValue(int index, bool ticked)
{
    if (m_box.at(index) == ticked)
        return;
    m_box[index] = ticked;
    Check1_Click(index);
}

void TerritorySelection::setBoxEnabled(int index, bool enabled)
{
    m_boxEnabled.at(index) = enabled;
    notify();
}

void TerritorySelection::setOptionValue(int index)
{
    if (m_option.at(index))
        return;
    m_option = {};
    m_option[index] = true;
    OptVisualizza_Click(index);
}

void TerritorySelection::setOptionEnabled(int index, bool enabled)
{
    m_optionEnabled.at(index) = enabled;
    notify();
}

void TerritorySelection::Check1_Click(int index)
{
    if (index < 1 || index > 6)
        return;
    app().LivMappa = kBoxLivMappa[index];
    const bool ticked = m_box[index];
    for (const QString &code : boxTypes(index, m_liv == "R")) {
        setPTerr(code);
        for (int i = 0; i < m_territori.size(); ++i) {
            const QString &tipo = m_territori.at(i).tipo;
            const bool match = tipo == m_pTerr || (m_pTerr == "4" && vb::IsNumeric(tipo) && vb::CDbl(tipo) == 3);
            if (match)
                m_selected[i] = ticked;
        }
    }
    m_extended.clear();
    notify();
}

void TerritorySelection::OptVisualizza_Click(int index)
{
    for (int box = 1; box <= 6; ++box)
        setBoxValue(box, false);
    for (int box = 1; box <= 6; ++box)
        m_boxEnabled[box] = kOptionBoxes[index][box] && !(index == Tutto && box == 1 && m_liv == "R");
    notify();
    CaricaTerritori(index, 0);
    if (index == Solo_province) {
        app().LivMappa = 1;
        if (setMapTypes)
            setMapTypes(1, 6);
    } else if (index == Tutto) {
        app().LivMappa = 3;
    }
}

}  // namespace pendra
