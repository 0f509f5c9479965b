// The map control: a stack of layers drawn at an extent, with conversions, searches' helpers and snapshot.
#pragma once

#include "MapLayer.h"
#include "MapRect.h"

#include <QVector>
#include <QWidget>
#include <memory>
#include <optional>

namespace mapkit {

// Positions and distances of the window side are in twips (15 per pixel), as every window
// coordinate of the program; map units are those of the shape files (metres).
class MapWidget : public QWidget {
    Q_OBJECT
public:
    explicit MapWidget(QWidget *parent = nullptr);

    // Layers: position 0 is the top layer, the last added. Out-of-range positions and unknown names
    // throw vb::Error 9 (3265 for names).
    int layerCount() const { return int(m_layers.size()); }
    std::shared_ptr<MapLayer> layer(int position) const;
    // By name, letter case ignored, first from the top; when no layer has that name, the first whose
    // alias it is.
    std::shared_ptr<MapLayer> layer(const QString &name) const;
    // Puts a valid layer on top and returns true; an invalid or null one is refused (false). The first
    // layer on an empty map sets the extent to its own.
    bool addLayer(std::shared_ptr<MapLayer> layer);
    void removeLayer(int position);
    void clearLayers();

    // The visible extent: the one set, widened to the widget's shape. Setting it redraws.
    MapRect extent() const;
    void setExtent(const MapRect &extent);
    // The rectangle holding every layer (empty with no layers).
    MapRect fullExtent() const;

    forms::OleColor backColor() const { return m_backColor; }
    void setBackColor(forms::OleColor color);
    void refresh();  // draws every layer again

    // Window position (twips, from the widget's top left) and window distance (twips) in map units.
    QPointF toMapPoint(double xTwips, double yTwips) const;
    double toMapDistance(double twips) const;
    // Lets the user drag a rectangle (through rectangleTracker()); nothing when none was dragged.
    std::optional<MapRect> trackRectangle();
    // Blinks the shape `count` times; each on and off phase lasts flashInterval() ms.
    void flashShape(const MapShape &shape, int count);
    static void setFlashInterval(int ms);
    static int flashInterval();
    int flashesShown() const { return m_flashes; }  // total flashes, for the window's tests

    // Draws the current view into `painter` over `target` (device pixels), layers bottom first.
    void render(QPainter &painter, const QRect &target);
    // Writes the current view as a Qt metafile (QPicture) to `path`; returns the widget's size in
    // HIMETRIC (0.01 mm, at 96 dpi). Throws vb::Error 75 when the file cannot be written.
    QSize exportPicture(const QString &path);

    // The transform from map units to the pixels of a target of that size, for the extent.
    static QTransform mapToDevice(const MapRect &extent, const QSizeF &target);
    static MapRect fitted(const MapRect &extent, const QSizeF &target);

signals:
    // Button 1 left, 2 right; shift 1 Shift, 2 Ctrl, 4 Alt; X and Y in twips.
    void mouseDown(int button, int shift, double x, double y);
    void afterLayerDraw(int position);
    // The back colour was set (also to the colour it had).
    void backColorChanged(forms::OleColor color);

protected:
    void paintEvent(QPaintEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;

private:
    void drawLayers(QPainter &painter, const QSizeF &size, bool emitEvents);

    QVector<std::shared_ptr<MapLayer>> m_layers;  // index 0 is the top
    MapRect m_extent;
    forms::OleColor m_backColor = 0xFFFFFF;
    QPoint m_pressedAt;
    const MapShape *m_flash = nullptr;
    int m_flashes = 0;
};

}  // namespace mapkit
