// Soft colours that keep the windows' texts readable on top of the background.
#include "Pictures.h"

#include "vb/Error.h"

#include <QGuiApplication>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>

namespace atlas {

namespace {

bool canDrawText() {
    return qobject_cast<QGuiApplication *>(QCoreApplication::instance()) != nullptr;
}

void save(const QImage &image, const QString &path, int quality = -1) {
    if (!image.save(path, nullptr, quality))
        throw vb::Error(75, QStringLiteral("Cannot write %1").arg(path), QStringLiteral("Pictures"));
}

// The outline fitted into `target`, north up.
QPainterPath fitted(const QVector<QPolygonF> &outline, const QRectF &bounds, const QRectF &target) {
    QPainterPath path;
    path.setFillRule(Qt::OddEvenFill);
    if (outline.isEmpty() || bounds.isEmpty())
        return path;
    const double scale = std::min(target.width() / bounds.width(), target.height() / bounds.height());
    const QPointF origin(target.center().x() - bounds.width() * scale / 2,
                         target.center().y() + bounds.height() * scale / 2);
    for (const QPolygonF &ring : outline) {
        QPolygonF p;
        for (const QPointF &pt : ring)
            p << QPointF(origin.x() + (pt.x() - bounds.left()) * scale, origin.y() - (pt.y() - bounds.top()) * scale);
        path.addPolygon(p);
        path.closeSubpath();
    }
    return path;
}

QImage folderPicture(bool open, bool noted) {
    QImage img(16, 16, QImage::Format_ARGB32);
    img.fill(Qt::transparent);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(QColor(150, 110, 20), 1));
    p.setBrush(QColor(235, 190, 70));
    p.drawRoundedRect(QRectF(1.5, 3.5, 6, 3), 1, 1);  // tab
    if (open) {
        p.setBrush(QColor(225, 175, 55));
        p.drawRect(QRectF(1.5, 5.5, 12, 8));
        p.setBrush(QColor(250, 215, 110));
        p.drawPolygon(QPolygonF({QPointF(3.5, 8.5), QPointF(15.0, 8.5), QPointF(12.5, 13.5), QPointF(1.5, 13.5)}));
    } else {
        p.setBrush(QColor(245, 200, 80));
        p.drawRoundedRect(QRectF(1.5, 5.5, 13, 8), 1, 1);
    }
    if (noted) {
        // A red mark in the corner: this year has a note.
        p.setPen(QPen(Qt::white, 1));
        p.setBrush(QColor(200, 30, 30));
        p.drawEllipse(QRectF(9.5, 0.5, 6, 6));
        p.drawLine(QPointF(12.5, 2), QPointF(12.5, 4.2));
    }
    return img;
}

}  // namespace

Pictures::Pictures(QVector<QPolygonF> outline, QRectF bounds) : m_outline(std::move(outline)), m_bounds(bounds) {}

void Pictures::writeAll(const QString &folder) const {
    const bool text = canDrawText();

    {
        QImage bg(1600, 1000, QImage::Format_RGB32);
        QPainter p(&bg);
        p.setRenderHint(QPainter::Antialiasing);
        QLinearGradient sky(0, 0, bg.width(), bg.height());
        sky.setColorAt(0, QColor(214, 228, 240));
        sky.setColorAt(0.55, QColor(236, 242, 247));
        sky.setColorAt(1, QColor(250, 247, 240));
        p.fillRect(bg.rect(), sky);
        p.setPen(QPen(QColor(255, 255, 255, 90), 1));
        for (int x = 0; x < bg.width(); x += 80)
            p.drawLine(x, 0, x, bg.height());
        for (int y = 0; y < bg.height(); y += 80)
            p.drawLine(0, y, bg.width(), y);
        const QPainterPath land = fitted(m_outline, m_bounds, QRectF(760, 60, 760, 880));
        p.setPen(QPen(QColor(90, 120, 150, 45), 2));
        p.setBrush(QColor(120, 150, 180, 28));
        p.drawPath(land);
        save(bg, folder + background(), 90);
    }

    const QStringList nodes = treeNodes();
    save(folderPicture(true, false), folder + nodes[0]);
    save(folderPicture(false, false), folder + nodes[1]);
    save(folderPicture(true, true), folder + nodes[2]);
    save(folderPicture(false, true), folder + nodes[3]);

    {
        QImage img(521, 360, QImage::Format_RGB32);
        img.fill(QColor(252, 251, 246));
        QPainter p(&img);
        p.setRenderHint(QPainter::Antialiasing);
        p.fillRect(QRect(0, 0, 521, 56), QColor(46, 84, 122));
        p.setPen(QPen(QColor(46, 84, 122), 2));
        p.setBrush(Qt::NoBrush);
        p.drawRect(QRectF(1, 1, 519, 358));
        const QImage marked = folderPicture(false, true).scaled(48, 48, Qt::KeepAspectRatio, Qt::SmoothTransformation);
        p.drawImage(QPoint(28, 80), marked);
        p.setPen(QPen(QColor(120, 120, 120), 1, Qt::DashLine));
        p.drawLine(20, 250, 501, 250);
        p.setPen(QPen(QColor(90, 120, 150, 90), 1.5));
        p.setBrush(QColor(120, 150, 180, 50));
        p.drawPath(fitted(m_outline, m_bounds, QRectF(400, 262, 100, 90)));
        if (text) {
            QFont title(QStringLiteral("DejaVu Sans"), 16, QFont::Bold);
            p.setFont(title);
            p.setPen(Qt::white);
            p.drawText(QRect(20, 0, 481, 56), Qt::AlignVCenter, QString::fromUtf8("Nota sulla lettura dei dati"));
            p.setFont(QFont(QStringLiteral("DejaVu Sans"), 10));
            p.setPen(QColor(40, 40, 40));
            p.drawText(QRect(96, 72, 400, 170), Qt::TextWordWrap,
                       QString::fromUtf8("Gli anni segnati dal simbolo rosso hanno una nota: prima di confrontarli "
                                         "con gli altri anni si consiglia di consultare i metadati.\n\n"
                                         "I valori sono arrotondati a due decimali. Una cella vuota indica un dato "
                                         "non disponibile o non aggiornabile (N.A.)."));
            p.drawText(QRect(20, 262, 370, 90), Qt::TextWordWrap,
                       QString::fromUtf8("Fino al 2005 i dati provinciali si riferiscono a 103 province; dal 2006 "
                                         "a 107, con le quattro nuove province della Sardegna."));
        }
        save(img, folder + note());
    }

    {
        QImage img(64, 64, QImage::Format_ARGB32);
        img.fill(Qt::transparent);
        QPainter p(&img);
        p.setRenderHint(QPainter::Antialiasing);
        QRadialGradient glow(QPointF(22, 18), 60);
        glow.setColorAt(0, QColor(92, 146, 196));
        glow.setColorAt(1, QColor(30, 66, 110));
        p.setPen(Qt::NoPen);
        p.setBrush(glow);
        p.drawRoundedRect(QRectF(2, 2, 60, 60), 12, 12);
        p.setBrush(QColor(250, 246, 230));
        p.drawPath(fitted(m_outline, m_bounds, QRectF(8, 6, 48, 52)));
        save(img, folder + icon());
    }
}

}  // namespace atlas
