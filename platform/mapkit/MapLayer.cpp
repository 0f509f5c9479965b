// Layer loading, searches and drawing.
#include "MapLayer.h"

#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QHash>
#include <QPainter>

#include <mutex>

namespace mapkit {

namespace {

// Size and time of every file of the set (.shp, .shx, .dbf in any letter case): a change to any
// of them makes the set another one.
QString fileSetStamp(const QFileInfo &shp)
{
    QString stamp;
    const QString base = shp.completeBaseName();
    const QFileInfoList files = shp.absoluteDir().entryInfoList(QDir::Files, QDir::Name);
    for (const QFileInfo &f : files)
        if (f.completeBaseName().compare(base, Qt::CaseInsensitive) == 0)
            stamp += f.fileName() + u'|' + QString::number(f.size()) + u'|' +
                     QString::number(f.lastModified().toMSecsSinceEpoch()) + u'\n';
    return stamp;
}

struct LoadedSet {
    QString stamp;
    std::weak_ptr<const ShapeData> data;
    std::weak_ptr<QVector<QPainterPath>> paths;
};

// The map window reloads its layers before every colouring: a file set still held by a live layer
// and unchanged on disk is shared rather than read and converted to paths again.
struct LoadedSets {
    std::mutex mutex;
    QHash<QString, LoadedSet> sets;
};

LoadedSets &loadedSets()
{
    static LoadedSets loaded;
    return loaded;
}

}  // namespace

void MapLayer::setFile(const QString &shpPath)
{
    m_file = shpPath;
    const QFileInfo info(shpPath);
    m_name = info.completeBaseName();
    const QString key = info.absoluteFilePath();
    const QString stamp = fileSetStamp(info);
    LoadedSets &loaded = loadedSets();
    std::lock_guard lock(loaded.mutex);
    QHash<QString, LoadedSet> &sets = loaded.sets;
    if (auto it = sets.constFind(key); it != sets.cend() && it->stamp == stamp) {
        auto data = it->data.lock();
        auto paths = it->paths.lock();
        if (data && paths) {
            m_data = std::move(data);
            m_paths = std::move(paths);
            return;
        }
    }
    m_data = std::make_shared<const ShapeData>(readShapeFile(shpPath));
    m_paths = std::make_shared<QVector<QPainterPath>>();
    if (m_data->valid)
        sets.insert(key, LoadedSet{stamp, m_data, m_paths});
    else
        sets.remove(key);
}

void MapLayer::setFile(const QString &shpPath, const MapLayer &loaded)
{
    m_file = shpPath;
    m_name = QFileInfo(shpPath).completeBaseName();
    m_data = loaded.m_data;
    m_paths = loaded.m_paths;
}

MapRecordset MapLayer::searchShape(const QPointF &point) const
{
    QVector<int> found;
    if (m_data)
        for (qsizetype i = 0; i < m_data->shapes.size(); ++i)
            if (m_data->shapes[i].contains(point))
                found.append(int(i));
    return MapRecordset(m_data, found);
}

MapRecordset MapLayer::searchByDistance(const QPointF &point, double distance) const
{
    QVector<int> found;
    if (m_data) {
        for (qsizetype i = 0; i < m_data->shapes.size(); ++i) {
            const MapShape &s = m_data->shapes[i];
            if (s.bounds.grownBy(distance).contains(point) && s.distanceTo(point) <= distance)
                found.append(int(i));
        }
    }
    return MapRecordset(m_data, found);
}

void applySymbol(QPainter &painter, const Symbol &symbol, ShapeType type)
{
    const QColor color = forms::toQColor(symbol.color);
    if (type == ShapeType::Line) {
        QPen pen(color, std::max(1, symbol.size));
        pen.setCosmetic(true);
        painter.setPen(pen);
        painter.setBrush(Qt::NoBrush);
        return;
    }
    if (symbol.outline) {
        QPen pen(forms::toQColor(symbol.outlineColor), 1);
        pen.setCosmetic(true);
        painter.setPen(pen);
    } else {
        painter.setPen(Qt::NoPen);
    }
    painter.setBrush(symbol.style == TransparentFill ? QBrush(Qt::NoBrush) : QBrush(color));
}

void MapLayer::draw(QPainter &painter, const QTransform &mapToDevice, const MapRect &visible) const
{
    if (!valid())
        return;
    const ShapeType type = m_data->type;
    const qsizetype field = m_renderer ? fieldIndex(*m_data, m_renderer->field()) : -1;
    QVector<QPainterPath> &paths = *m_paths;
    if (type != ShapeType::Point && paths.size() != m_data->shapes.size()) {
        paths.clear();
        paths.reserve(m_data->shapes.size());
        for (const MapShape &shape : m_data->shapes)
            paths.append(shape.painterPath());
    }
    const Symbol *current = nullptr;
    painter.save();
    // One transform for the whole layer (points are placed in device pixels): a new transform
    // per shape made the engine set its pen up again for every outline.
    painter.setTransform(type == ShapeType::Point ? QTransform() : mapToDevice);
    for (qsizetype k = 0; k < m_data->shapes.size(); ++k) {
        const MapShape &shape = m_data->shapes[k];
        if (!shape.bounds.intersects(visible))
            continue;
        const Symbol *symbol = &m_symbol;
        if (m_renderer) {
            symbol = m_renderer->symbolFor(field >= 0 ? m_data->cell(shape.record, int(field)) : QString());
            if (!symbol)
                continue;
        }
        if (symbol != current) {
            applySymbol(painter, *symbol, type);
            current = symbol;
        }
        if (type == ShapeType::Point) {
            const int size = std::max(2, symbol->size);
            for (const QPointF &p : shape.parts.value(0)) {
                const QPointF d = mapToDevice.map(p);
                if (symbol->characterIndex > 0) {
                    painter.setFont(symbol->font);
                    painter.setPen(forms::toQColor(symbol->color));
                    painter.drawText(d, QString(QChar(symbol->characterIndex)));
                    current = nullptr;
                } else {
                    painter.drawEllipse(d, size / 2.0, size / 2.0);
                }
            }
        } else {
            painter.drawPath(std::as_const(paths)[k]);
        }
    }
    painter.restore();
}

}  // namespace mapkit
