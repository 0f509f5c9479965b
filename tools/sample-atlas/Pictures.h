// The pictures of the Images folder, painted on the spot: background, tree node pictures, the
// note picture and the program icon.
#pragma once

#include <QPolygonF>
#include <QRectF>
#include <QString>
#include <QStringList>
#include <QVector>

namespace atlas {

class Pictures {
public:
    // outline: the country's rings in map units (may be empty: the pictures then go without it).
    Pictures(QVector<QPolygonF> outline, QRectF bounds);

    // Writes every picture into `folder` (ending in "/"). Texts are drawn only when a
    // QGuiApplication exists (fonts need one). Throws vb::Error when a file cannot be written.
    void writeAll(const QString &folder) const;

    // File names, as written.
    static QString background() { return QStringLiteral("velmo2.jpg"); }
    static QString note() { return QStringLiteral("nota.png"); }
    static QString icon() { return QStringLiteral("pendra.png"); }
    static QStringList treeNodes() {
        return {QStringLiteral("open.png"), QStringLiteral("close.png"), QStringLiteral("openR.png"),
                QStringLiteral("closeR.png")};
    }

private:
    QVector<QPolygonF> m_outline;
    QRectF m_bounds;
};

}  // namespace atlas
