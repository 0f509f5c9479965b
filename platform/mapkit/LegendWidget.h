// The legend: one checkable entry per layer of a map (its visibility) with its symbol or renderer classes.
#pragma once

#include <QPointer>
#include <QStandardItemModel>
#include <QTreeView>

namespace mapkit {

class MapWidget;

class LegendWidget : public QTreeView {
    Q_OBJECT
public:
    explicit LegendWidget(QWidget *parent = nullptr);

    void setMap(MapWidget *map);  // not owned
    MapWidget *map() const { return m_map; }
    // Rebuilds the entries from the map's layers, top layer first; `expanded` opens the renderer classes.
    void loadLegend(bool expanded = false);
    void resetLegend();  // no entries (QTreeView::reset is the view's own)
    void refresh() { viewport()->update(); }
    QStandardItemModel &entries() { return *m_model; }

signals:
    // The user ticked or cleared a layer's box; the layer's visibility has changed already.
    void layerVisibilityChanged(int position, bool visible);

private:
    void onItemChanged(QStandardItem *item);

    QPointer<MapWidget> m_map;
    QStandardItemModel *m_model;  // owned through the parent, so it outlives the view's teardown
    bool m_loading = false;
};

}  // namespace mapkit
