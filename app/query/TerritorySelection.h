// The territory tab of the query window without its widgets: the territory list, its selection,
// the view options and the partition boxes, with the handlers they run.
#pragma once

#include <QString>
#include <QVector>
#include <array>
#include <functional>

namespace pendra {

// One territory of the current list: DES_TERR, COD_TIPO_TERR (the number as text), COD_TERR.
struct TerritorioRec {
    QString des;
    QString tipo;
    QString cod;
};

// State of the tab. Setting a box's or option's value runs its handler once when the value
// changes (as a user's click does) and nothing when it stays; the view mirrors the state after
// each call (changed()). Handlers throw vb::Error; the window reports it.
class TerritorySelection {
public:
    static constexpr int Solo_regioni = 0, Solo_province = 1, Tutto = 2, Solo_nuts2 = 3;

    // The level of the data ("R" regional) decides which types "Seleziona Tutto" covers.
    void setLivTerritoriale(const QString &liv) { m_liv = liv; }
    const QString &livTerritoriale() const { return m_liv; }

    // Loads Territori from land_Ind of Territorio.mdb in the databases folder for the view option
    // index (0..3) leaving out the type escludi (0: none). Clears the selection.
    void CaricaTerritori(int index, int escludi);
    // The territories of the list as the database returned them; tests may set them directly.
    void setTerritori(const QVector<TerritorioRec> &territori);
    const QVector<TerritorioRec> &Territori() const { return m_territori; }

    bool isSelected(int i) const { return m_selected.value(i); }
    void setSelected(int i, bool selected);  // the user's own choice of one item
    // A click on item i: toggles it and makes it the anchor. With extend (Shift) it selects the
    // items from the anchor to i instead, in place of what the previous extend from that anchor
    // added; without an anchor it toggles. Out-of-range i does nothing.
    void clickItem(int i, bool extend);
    QStringList selectedNames() const;       // DES_TERR of the selected items, in list order

    // Partition boxes 1..6 and view options 0..3.
    bool boxValue(int index) const { return m_box.at(index); }
    void setBoxValue(int index, bool ticked);  // runs Check1_Click on a change
    bool boxEnabled(int index) const { return m_boxEnabled.at(index); }
    void setBoxEnabled(int index, bool enabled);
    bool optionValue(int index) const { return m_option.at(index); }
    void setOptionValue(int index);  // chooses the option; runs OptVisualizza_Click on a change
    bool optionEnabled(int index) const { return m_optionEnabled.at(index); }
    void setOptionEnabled(int index, bool enabled);

    void Check1_Click(int index);
    void OptVisualizza_Click(int index);

    // Scratch value: the type code the box handler is matching.
    const QString &PTerr() const { return m_pTerr; }
    void setPTerr(const QString &newTerr) { m_pTerr = newTerr; }

    // Writes the territory types to map into the data table window (option "Solo province").
    std::function<void(qint16 tp1, qint16 tp2)> setMapTypes;
    // The state changed; the view follows.
    std::function<void()> changed;

private:
    void notify();

    QString m_liv;
    QVector<TerritorioRec> m_territori;
    QVector<bool> m_selected;
    int m_anchor = -1;
    QVector<int> m_extended;  // the items the last extend selected; any other change keeps them
    std::array<bool, 7> m_box{};
    std::array<bool, 7> m_boxEnabled{true, true, true, true, true, true, true};
    std::array<bool, 4> m_option{};
    std::array<bool, 4> m_optionEnabled{true, true, true, true};
    QString m_pTerr;
};

}  // namespace pendra
