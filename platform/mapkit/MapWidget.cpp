// Map drawing, extent fitting, window-to-map conversion, flashing and the metafile snapshot.
#include "MapWidget.h"

#include "RectangleTracker.h"
#include "forms/Twips.h"
#include "vb/Error.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QMouseEvent>
#include <QPainter>
#include <QPicture>
#include <QThread>
#include <algorithm>

namespace mapkit {

namespace {
int g_flashInterval = 100;
constexpr double HimetricPerPixel = 2540.0 / 96.0;
}  // namespace

MapWidget::MapWidget(QWidget *parent) : QWidget(parent)
{
    setAccessibleName(QStringLiteral("Mappa"));
    setAttribute(Qt::WA_OpaquePaintEvent);
    setMinimumSize(50, 50);
}

std::shared_ptr<MapLayer> MapWidget::layer(int position) const
{
    if (position < 0 || position >= m_layers.size())
        throw vb::Error::of(vb::err::SubscriptOutOfRange, QStringLiteral("Map"));
    return m_layers[position];
}

std::shared_ptr<MapLayer> MapWidget::layer(const QString &name) const
{
    for (const auto &l : m_layers)
        if (l->name().compare(name, Qt::CaseInsensitive) == 0)
            return l;
    for (const auto &l : m_layers)
        if (!l->alias().isEmpty() && l->alias().compare(name, Qt::CaseInsensitive) == 0)
            return l;
    throw vb::Error::of(vb::err::ItemNotFound, QStringLiteral("Map"));
}

bool MapWidget::addLayer(std::shared_ptr<MapLayer> layer)
{
    if (!layer || !layer->valid())
        return false;
    if (m_layers.isEmpty())
        m_extent = layer->extent();
    m_layers.prepend(std::move(layer));
    update();
    return true;
}

void MapWidget::removeLayer(int position)
{
    if (position < 0 || position >= m_layers.size())
        throw vb::Error::of(vb::err::SubscriptOutOfRange, QStringLiteral("Map"));
    m_layers.removeAt(position);
    update();
}

void MapWidget::clearLayers()
{
    m_layers.clear();
    update();
}

MapRect MapWidget::fitted(const MapRect &extent, const QSizeF &target)
{
    if (target.width() <= 0 || target.height() <= 0 || extent.width() <= 0 || extent.height() <= 0)
        return extent;
    const double unitsPerPixel = std::max(extent.width() / target.width(), extent.height() / target.height());
    const QPointF c = extent.center();
    const double hw = unitsPerPixel * target.width() / 2, hh = unitsPerPixel * target.height() / 2;
    return {c.x() - hw, c.y() + hh, c.x() + hw, c.y() - hh};
}

QTransform MapWidget::mapToDevice(const MapRect &extent, const QSizeF &target)
{
    const MapRect v = fitted(extent, target);
    if (v.width() <= 0 || v.height() <= 0)
        return QTransform();
    const double sx = target.width() / v.width(), sy = target.height() / v.height();
    return QTransform(sx, 0, 0, -sy, -v.left * sx, v.top * sy);
}

MapRect MapWidget::extent() const
{
    return fitted(m_extent, size());
}

void MapWidget::setExtent(const MapRect &extent)
{
    m_extent = extent;
    refresh();
}

MapRect MapWidget::fullExtent() const
{
    MapRect r;
    bool first = true;
    for (const auto &l : m_layers) {
        r = first ? l->extent() : r.united(l->extent());
        first = false;
    }
    return r;
}

void MapWidget::setBackColor(forms::OleColor color)
{
    m_backColor = color;
    update();
    emit backColorChanged(color);
}

void MapWidget::refresh()
{
    update();
}

QPointF MapWidget::toMapPoint(double xTwips, double yTwips) const
{
    const QTransform t = mapToDevice(m_extent, size()).inverted();
    return t.map(QPointF(forms::twipsToPixels(xTwips), forms::twipsToPixels(yTwips)));
}

double MapWidget::toMapDistance(double twips) const
{
    const MapRect v = extent();
    return width() > 0 ? forms::twipsToPixels(twips) * v.width() / width() : 0;
}

std::optional<MapRect> MapWidget::trackRectangle()
{
    const std::optional<QRect> r = rectangleTracker().track(*this, m_pressedAt);
    if (!r)
        return std::nullopt;
    const QTransform t = mapToDevice(m_extent, size()).inverted();
    const QPointF a = t.map(QPointF(r->topLeft())), b = t.map(QPointF(r->bottomRight() + QPoint(1, 1)));
    return MapRect{std::min(a.x(), b.x()), std::max(a.y(), b.y()), std::max(a.x(), b.x()), std::min(a.y(), b.y())};
}

void MapWidget::setFlashInterval(int ms) { g_flashInterval = ms; }
int MapWidget::flashInterval() { return g_flashInterval; }

void MapWidget::flashShape(const MapShape &shape, int count)
{
    auto wait = [] {
        QElapsedTimer timer;
        timer.start();
        do {
            QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
            if (g_flashInterval > 0)
                QThread::msleep(10);
        } while (timer.elapsed() < g_flashInterval);
    };
    for (int i = 0; i < count; ++i) {
        m_flash = &shape;
        repaint();
        wait();
        m_flash = nullptr;
        repaint();
        wait();
        ++m_flashes;
    }
}

void MapWidget::drawLayers(QPainter &painter, const QSizeF &size, bool emitEvents)
{
    painter.fillRect(QRectF(QPointF(0, 0), size), forms::toQColor(m_backColor));
    const QTransform t = mapToDevice(m_extent, size);
    const MapRect visible = fitted(m_extent, size);
    painter.setRenderHint(QPainter::Antialiasing, false);
    for (qsizetype i = m_layers.size() - 1; i >= 0; --i) {
        const auto l = m_layers[i];  // a handler may change the list
        if (l->visible())
            l->draw(painter, t, visible);
        if (emitEvents)
            emit afterLayerDraw(int(i));
    }
    if (m_flash) {
        painter.setTransform(t);
        QPen pen(Qt::black, 2);
        pen.setCosmetic(true);
        painter.setPen(pen);
        painter.setBrush(QColor(0, 0, 0, 160));
        if (m_flash->type == ShapeType::Point)
            for (const QPointF &p : m_flash->parts.value(0))
                painter.drawEllipse(p, toMapDistance(60), toMapDistance(60));
        else
            painter.drawPath(m_flash->painterPath());
        painter.resetTransform();
    }
}

void MapWidget::render(QPainter &painter, const QRect &target)
{
    painter.save();
    painter.translate(target.topLeft());
    painter.setClipRect(QRect(QPoint(0, 0), target.size()));
    drawLayers(painter, target.size(), false);
    painter.restore();
}

QSize MapWidget::exportPicture(const QString &path)
{
    const QSize frame = size().expandedTo(QSize(1, 1));
    QPicture picture;
    {
        QPainter painter(&picture);
        render(painter, QRect(QPoint(0, 0), frame));
    }
    if (!picture.save(path))
        throw vb::Error::of(vb::err::PathFileAccess, QStringLiteral("Map"), path, QStringLiteral("Cannot write %1").arg(path));
    return QSize(qRound(frame.width() * HimetricPerPixel), qRound(frame.height() * HimetricPerPixel));
}

void MapWidget::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    drawLayers(painter, size(), true);
}

void MapWidget::mousePressEvent(QMouseEvent *event)
{
    m_pressedAt = event->position().toPoint();
    const int button = event->button() == Qt::LeftButton ? 1 : event->button() == Qt::RightButton ? 2 : 4;
    int shift = 0;
    if (event->modifiers() & Qt::ShiftModifier) shift |= 1;
    if (event->modifiers() & Qt::ControlModifier) shift |= 2;
    if (event->modifiers() & Qt::AltModifier) shift |= 4;
    emit mouseDown(button, shift, forms::pixelsToTwips(event->position().x()),
                   forms::pixelsToTwips(event->position().y()));
}

}  // namespace mapkit
