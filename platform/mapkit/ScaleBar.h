// The scale bar: the map extent shown over a page extent in pixels gives the representative fraction.
#pragma once

#include "MapRect.h"

#include <QWidget>

namespace mapkit {

// Extent with minimum and maximum X and Y, as the scale bar takes them.
struct Extent {
    double minX = 0, minY = 0, maxX = 0, maxY = 0;
};

class ScaleBar : public QWidget {
    Q_OBJECT
public:
    explicit ScaleBar(QWidget *parent = nullptr);

    Extent mapExtent() const { return m_map; }
    void setMapExtent(const Extent &extent) { m_map = extent; }
    Extent pageExtent() const { return m_page; }
    void setPageExtent(const Extent &extent) { m_page = extent; }
    // Map centimetres per screen centimetre at 96 dpi, map units in metres; 0 when either extent is empty.
    double scaleValue() const;
    void refresh() { update(); }

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    Extent m_map, m_page;
};

}  // namespace mapkit
