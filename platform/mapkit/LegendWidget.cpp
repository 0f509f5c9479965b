// Legend entries from the map's layers; ticking one shows or hides its layer.
#include "LegendWidget.h"

#include "MapWidget.h"

#include <QPainter>
#include <QPixmap>

#include <map>
#include <tuple>

namespace mapkit {

namespace {
QIcon swatch(const Symbol &symbol, ShapeType type)
{
    QPixmap pm(16, 12);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    applySymbol(p, symbol, type);
    if (type == ShapeType::Line)
        p.drawLine(1, 6, 14, 6);
    else if (type == ShapeType::Point)
        p.drawEllipse(QPointF(8, 6), 3, 3);
    else
        p.drawRect(1, 1, 13, 9);
    return QIcon(pm);
}

// A value renderer gives an entry per territory but only a few styles: one icon for each style.
class SwatchCache {
public:
    QIcon get(const Symbol &symbol, ShapeType type)
    {
        const Key key{symbol.color, symbol.outlineColor, symbol.outline, symbol.size, symbol.style, int(type)};
        auto it = m_icons.find(key);
        if (it == m_icons.end())
            it = m_icons.emplace(key, swatch(symbol, type)).first;
        return it->second;
    }

private:
    using Key = std::tuple<forms::OleColor, forms::OleColor, bool, int, int, int>;
    std::map<Key, QIcon> m_icons;
};
}  // namespace

LegendWidget::LegendWidget(QWidget *parent) : QTreeView(parent), m_model(new QStandardItemModel(this))
{
    setAccessibleName(QStringLiteral("Legenda"));
    setHeaderHidden(true);
    setModel(m_model);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    connect(m_model, &QStandardItemModel::itemChanged, this, &LegendWidget::onItemChanged);
}

void LegendWidget::setMap(MapWidget *map)
{
    m_map = map;
}

void LegendWidget::resetLegend()
{
    m_model->clear();
}

void LegendWidget::loadLegend(bool expanded)
{
    m_loading = true;
    m_model->clear();
    SwatchCache swatches;
    if (m_map) {
        for (int i = 0; i < m_map->layerCount(); ++i) {
            const auto layer = m_map->layer(i);
            auto *item = new QStandardItem(layer->name());
            item->setCheckable(true);
            item->setCheckState(layer->visible() ? Qt::Checked : Qt::Unchecked);
            item->setData(i, Qt::UserRole);
            if (const auto renderer = layer->renderer()) {
                // A value renderer has an entry per territory: new items are not checkable, and
                // the rows go in at once.
                QList<QStandardItem *> entries;
                entries.reserve(renderer->entryCount());
                for (int k = 0; k < renderer->entryCount(); ++k)
                    entries.append(new QStandardItem(swatches.get(renderer->entrySymbol(k), layer->shapeType()),
                                                     renderer->entryLabel(k)));
                item->appendRows(entries);
            } else {
                item->setIcon(swatches.get(layer->symbol(), layer->shapeType()));
            }
            m_model->appendRow(item);
        }
    }
    if (expanded)
        expandAll();
    m_loading = false;
}

void LegendWidget::onItemChanged(QStandardItem *item)
{
    if (m_loading || !m_map || !item->isCheckable())
        return;
    const int position = item->data(Qt::UserRole).toInt();
    if (position < 0 || position >= m_map->layerCount())
        return;
    const bool on = item->checkState() == Qt::Checked;
    m_map->layer(position)->setVisible(on);
    emit layerVisibilityChanged(position, on);
}

}  // namespace mapkit
