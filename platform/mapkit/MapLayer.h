// A map layer loaded from a shape file: name, validity, symbol, renderer, searches, drawing.
#pragma once

#include "MapRecordset.h"
#include "Renderer.h"
#include "ShapeReader.h"
#include "Symbol.h"

#include <QPainterPath>
#include <QString>
#include <QVector>
#include <memory>

class QPainter;
class QTransform;

namespace mapkit {

class MapLayer {
public:
    MapLayer() = default;

    // Loads the shape file (never throws): valid() tells whether it loaded. The layer takes the
    // file's name without folder and ".shp" as its name.
    void setFile(const QString &shpPath);
    QString file() const { return m_file; }
    bool valid() const { return m_data && m_data->valid; }
    QString name() const { return m_name; }
    void setName(const QString &name) { m_name = name; }
    // A second name the map also finds the layer under (after every layer's own name).
    QString alias() const { return m_alias; }
    void setAlias(const QString &alias) { m_alias = alias; }
    bool visible() const { return m_visible; }
    void setVisible(bool on) { m_visible = on; }
    ShapeType shapeType() const { return m_data ? m_data->type : ShapeType::Null; }
    MapRect extent() const { return m_data ? m_data->extent : MapRect(); }
    int shapeCount() const { return m_data ? int(m_data->shapes.size()) : 0; }

    Symbol &symbol() { return m_symbol; }
    const Symbol &symbol() const { return m_symbol; }
    // Shared: the window keeps a renderer it built and may give it to several layers.
    std::shared_ptr<Renderer> renderer() const { return m_renderer; }
    void setRenderer(std::shared_ptr<Renderer> renderer) { m_renderer = std::move(renderer); }

    // Shapes containing the point (polygons only; others find nothing).
    MapRecordset searchShape(const QPointF &point) const;
    // Shapes within `distance` map units of the point (inside a polygon counts as distance 0).
    MapRecordset searchByDistance(const QPointF &point, double distance) const;

    // Draws every shape whose bounds meet `visible`, with the renderer when there is one.
    void draw(QPainter &painter, const QTransform &mapToDevice, const MapRect &visible) const;

private:
    QString m_file;
    QString m_name;
    QString m_alias;
    bool m_visible = true;
    std::shared_ptr<const ShapeData> m_data;
    Symbol m_symbol;
    std::shared_ptr<Renderer> m_renderer;
    // Built at the first drawing, one per shape; shared by the layers of one loaded file set.
    std::shared_ptr<QVector<QPainterPath>> m_paths;
};

// Pens and brushes of a symbol for a kind of shape (shared by the map and the legend).
void applySymbol(QPainter &painter, const Symbol &symbol, ShapeType type);

}  // namespace mapkit
