// Representative fraction and a bar of round length.
#include "ScaleBar.h"

#include <QLocale>
#include <QPainter>
#include <cmath>

namespace mapkit {

namespace {
constexpr double CmPerPixel = 2.54 / 96.0;
}

ScaleBar::ScaleBar(QWidget *parent) : QWidget(parent)
{
    setAccessibleName(QStringLiteral("Barra di scala"));
    setMinimumHeight(30);
}

double ScaleBar::scaleValue() const
{
    const double pageCm = (m_page.maxX - m_page.minX) * CmPerPixel;
    const double mapCm = (m_map.maxX - m_map.minX) * 100.0;
    return pageCm > 0 && mapCm > 0 ? mapCm / pageCm : 0;
}

void ScaleBar::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    p.fillRect(rect(), palette().window());
    const double scale = scaleValue();
    if (scale <= 0)
        return;
    // The longest round length (1, 2 or 5 times a power of ten, in km) fitting in 3/4 of the width.
    const double kmPerPixel = scale * CmPerPixel / 100000.0;
    const double maxKm = kmPerPixel * width() * 0.75;
    double step = std::pow(10.0, std::floor(std::log10(maxKm)));
    for (double m : {5.0, 2.0, 1.0})
        if (m * step <= maxKm) { step *= m; break; }
    const int len = int(step / kmPerPixel);
    const int x0 = 8, y0 = height() / 2;
    p.setPen(palette().windowText().color());
    p.drawRect(x0, y0, len, 5);
    p.fillRect(x0, y0, len / 2, 5, palette().windowText());
    p.drawText(QPoint(x0, y0 - 3), QStringLiteral("0"));
    p.drawText(QPoint(x0 + len - 10, y0 - 3), QLocale().toString(step) + QStringLiteral(" km"));
}

}  // namespace mapkit
