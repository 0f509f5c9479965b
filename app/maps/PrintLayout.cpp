// Page model of the print layout: drawing on preview and printer, hit test, dragging, border steps.
#include "PrintLayout.h"

#include "library/KvrUtilIds.h"

#include "com/Registry.h"
#include "vb/Conversions.h"
#include "vb/Error.h"

#include <QFile>
#include <algorithm>
#include <cmath>
#include <QFontMetricsF>
#include <QPainter>

namespace pendra {

namespace {

using kvr::_cls_Bordo;
using kvr::_cls_Leggenda;
using kvr::_cls_Titolo;

template <class I, class T>
T get(I *object, com::HRESULT (I::*getter)(T *))
{
    T value{};
    com::check((object->*getter)(&value));
    return value;
}

template <class T>
T entry(_cls_Leggenda *legend, com::HRESULT (_cls_Leggenda::*getter)(qint16 *, T *), int i)
{
    qint16 index = static_cast<qint16>(i);
    T value{};
    com::check((legend->*getter)(&index, &value));
    return value;
}

template <class T>
void setEntry(_cls_Leggenda *legend, com::HRESULT (_cls_Leggenda::*putter)(qint16 *, T), int i, T value)
{
    qint16 index = static_cast<qint16>(i);
    com::check((legend->*putter)(&index, value));
}

// Drawing and dragging go on past a failing statement.
template <class F>
void step(F &&statement)
{
    try {
        statement();
    } catch (...) {
    }
}

QColor colourOf(double value)
{
    return forms::toQColor(static_cast<forms::OleColor>(static_cast<qint64>(value)));
}

// The device's current font, position and fore colour, as the drawing statements set them.
struct Pen {
    QPainter &painter;
    PageScale scale;
    QPointF at;

    void fontName(const QString &family)
    {
        QFont font = painter.font();
        font.setFamily(family);
        painter.setFont(font);
    }
    void fontSize(double points)
    {
        if (!(points > 0))
            throw vb::Error(380, vb::Error::standardDescription(380));
        QFont font = painter.font();
        font.setPointSizeF(points);
        painter.setFont(font);
    }
    // Texts stand with their top left corner at the current position.
    void print(const QString &text)
    {
        const QFontMetricsF metrics(painter.font(), painter.device());
        painter.drawText(QPointF(at.x() * scale.x, at.y() * scale.y + metrics.ascent()), text);
    }
    QRectF box(double x1, double y1, double x2, double y2) const
    {
        return QRectF(QPointF(x1 * scale.x, y1 * scale.y), QPointF(x2 * scale.x, y2 * scale.y)).normalized();
    }
};

void drawTextBlock(Pen &pen, _cls_Titolo *block, double scalaStampa)
{
    step([&] { pen.fontName(get(block, &_cls_Titolo::get_FontName)); });
    step([&] { pen.at = QPointF(get(block, &_cls_Titolo::get_X), get(block, &_cls_Titolo::get_y)); });
    step([&] { pen.fontSize(vb::CDbl(vb::Variant(get(block, &_cls_Titolo::get_FontSize))) * scalaStampa); });
    step([&] { pen.painter.setPen(colourOf(get(block, &_cls_Titolo::get_Colore))); });
    step([&] { pen.print(get(block, &_cls_Titolo::get_Testo)); });
}

QFont measuringFont(const QString &family, double points)
{
    QFont font(family);
    if (points > 0)
        font.setPointSizeF(points);
    return font;
}

}  // namespace

QVector<int> legendEntriesOf(int listItem, int count)
{
    QVector<int> entries;
    if (listItem == 0) {
        for (int i = 0; i < count; ++i)
            entries.append(i);
    } else if (listItem >= 1 && listItem <= count) {
        entries.append(listItem - 1);
    }
    return entries;
}

PrintLayout::PrintLayout()
{
    Titolo = com::createInstance<_cls_Titolo>(kvr::ids::CLSID_cls_Titolo, kvr::ids::IID_cls_Titolo);
    Descrizione = com::createInstance<_cls_Titolo>(kvr::ids::CLSID_cls_Titolo, kvr::ids::IID_cls_Titolo);
    Leggenda = com::createInstance<_cls_Leggenda>(kvr::ids::CLSID_cls_Leggenda, kvr::ids::IID_cls_Leggenda);
    Bordo = com::createInstance<_cls_Bordo>(kvr::ids::CLSID_cls_Bordo, kvr::ids::IID_cls_Bordo);
}

void PrintLayout::loadSnapshot(const QString &path, QSize himetric)
{
    QPicture picture;
    const bool loaded = picture.load(path);
    QFile::remove(path);
    if (!loaded || picture.boundingRect().isEmpty())
        throw vb::Error(481, QStringLiteral("Immagine della mappa non valida: %1").arg(path));
    immagineMappa = picture;
    hasMap = true;
    // Whole pixels at 96 dpi from the HIMETRIC extent, then inches of the page.
    larghezzaMappa = std::floor(double(himetric.width()) * 1024 / 27092) / 96.0;
    altezzaMappa = std::floor(double(himetric.height()) * 1024 / 27092) / 96.0;
}

QRectF PrintLayout::mapRect(const QPaintDevice *device, PageScale scale) const
{
    const double w = larghezzaMappa * zoom * scalaStampa * device->logicalDpiX() / scale.x;
    const double h = altezzaMappa * zoom * scalaStampa * device->logicalDpiY() / scale.y;
    return QRectF(mappaX, mappaY, w, h);
}

void PrintLayout::fitMap(double right, double bottom, double factor)
{
    const double drawn = zoom * factor;
    if (!(drawn > 0) || !(larghezzaMappa > 0) || !(altezzaMappa > 0))
        return;
    const double shrink = std::min({1.0, (right - mappaX) / (larghezzaMappa * drawn),
                                    (bottom - mappaY) / (altezzaMappa * drawn)});
    if (shrink <= 0)
        return;  // the map's corner is outside the room: nothing of its size would fit
    larghezzaMappa *= shrink;
    altezzaMappa *= shrink;
}

int PrintLayout::legendCount() const
{
    return get(Leggenda.get(), &_cls_Leggenda::get_Count);
}

void PrintLayout::addLegendEntry(const QString &fontName, const QString &fontSize, forms::OleColor square,
                                 const QString &text, int row)
{
    QString name = fontName, size = fontSize, testo = text;
    double color = 0, quadrato = square;
    float x = 1.3f;
    float y = float(leggendaY0 + row * passoLeggenda * 2 / 3);
    _cls_Leggenda *none = nullptr;
    com::check(Leggenda->add(&name, &size, &color, &quadrato, &testo, &x, &y, &none));
}

void PrintLayout::setBorderFromPage(QSizeF page)
{
    com::check(Bordo->put_MargineDestro(float(page.width() - 0.5)));
    com::check(Bordo->put_MargineSinistro(0.5f));
    com::check(Bordo->put_MargineInferiore(float(page.height() - 0.5)));
    com::check(Bordo->put_MargineSuperiore(0.5f));
    com::check(Bordo->put_Colore(0));
}

void PrintLayout::regola(QPainter &painter, PageScale scale) const
{
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, false);
    Pen pen{painter, scale, QPointF()};

    if (cartinaVisible && hasMap) {
        const QRect source = immagineMappa.boundingRect();
        const QRectF inches = mapRect(painter.device(), scale);
        const QRectF target(inches.x() * scale.x, inches.y() * scale.y, inches.width() * scale.x,
                            inches.height() * scale.y);
        if (!source.isEmpty() && !target.isEmpty()) {
            painter.save();
            painter.translate(target.topLeft());
            painter.scale(target.width() / source.width(), target.height() / source.height());
            // Playing a picture scales it by the device's resolution over the picture's own: undone,
            // so the map fills its rectangle on the printer as on the screen.
            const QPaintDevice *device = painter.device();
            painter.scale(double(immagineMappa.logicalDpiX()) / device->logicalDpiX(),
                          double(immagineMappa.logicalDpiY()) / device->logicalDpiY());
            painter.translate(-source.topLeft());
            painter.drawPicture(0, 0, immagineMappa);
            painter.restore();
        }
    }
    if (bordoVisible) {
        step([&] {
            _cls_Bordo *b = Bordo.get();
            const QRectF frame = pen.box(get(b, &_cls_Bordo::get_MargineSinistro), get(b, &_cls_Bordo::get_MargineSuperiore),
                                         get(b, &_cls_Bordo::get_MargineDestro), get(b, &_cls_Bordo::get_MargineInferiore));
            painter.setPen(QPen(colourOf(get(b, &_cls_Bordo::get_Colore)), 0));
            painter.setBrush(Qt::NoBrush);
            painter.drawRect(frame);
        });
    }
    if (titoloVisible)
        drawTextBlock(pen, Titolo.get(), scalaStampa);
    if (leggendaVisible) {
        int count = 0;
        step([&] { count = legendCount(); });
        _cls_Leggenda *l = Leggenda.get();
        for (int i = 0; i < count; ++i) {
            step([&] { pen.fontName(entry(l, &_cls_Leggenda::get_FontName, i)); });
            step([&] {
                pen.at = QPointF(entry(l, &_cls_Leggenda::get_X, i) + 0.2, entry(l, &_cls_Leggenda::get_y, i));
            });
            step([&] { pen.fontSize(entry(l, &_cls_Leggenda::get_FontSize, i) * scalaStampa); });
            step([&] { painter.setPen(colourOf(entry(l, &_cls_Leggenda::get_Color, i))); });
            step([&] { pen.print(entry(l, &_cls_Leggenda::get_Testo, i)); });
            step([&] {
                const double x = entry(l, &_cls_Leggenda::get_X, i), y = entry(l, &_cls_Leggenda::get_y, i);
                const QRectF square = pen.box(x, y, x - grandezzaQuadrato, y + grandezzaQuadrato);
                painter.fillRect(square, colourOf(entry(l, &_cls_Leggenda::get_QColor, i)));
                painter.setPen(QPen(Qt::black, 0));
                painter.setBrush(Qt::NoBrush);
                painter.drawRect(square);
            });
        }
    }
    if (descVisible)
        drawTextBlock(pen, Descrizione.get(), scalaStampa);
    painter.restore();
}

QStringList PrintLayout::hitTest(double x, double y, const QPaintDevice *device, PageScale scale,
                                 int *legendEntry) const
{
    QStringList hits;
    *legendEntry = -1;
    const auto width = [&](const QFont &font, const QString &text) {
        return QFontMetricsF(font, device).horizontalAdvance(text) / scale.x;
    };
    int count = 0;
    step([&] { count = legendCount(); });
    _cls_Leggenda *l = Leggenda.get();
    for (int i = 0; i < count && hits.isEmpty(); ++i) {
        step([&] {
            const QFont font = measuringFont(entry(l, &_cls_Leggenda::get_FontName, i),
                                             entry(l, &_cls_Leggenda::get_FontSize, i));
            const double ex = entry(l, &_cls_Leggenda::get_X, i), ey = entry(l, &_cls_Leggenda::get_y, i);
            const double right = ex + width(font, QStringLiteral("QQ")) + width(font, entry(l, &_cls_Leggenda::get_Testo, i));
            if (ex - 0.2 < x && x < right && ey < y && y < ey + 0.3) {
                hits.append(QStringLiteral("Leggenda"));
                *legendEntry = i;
            }
        });
    }
    step([&] {
        _cls_Titolo *t = Titolo.get();
        const QFont font = measuringFont(get(t, &_cls_Titolo::get_FontName),
                                         vb::CDbl(vb::Variant(get(t, &_cls_Titolo::get_FontSize))));
        const double tx = get(t, &_cls_Titolo::get_X), ty = get(t, &_cls_Titolo::get_y);
        const double w = width(font, get(t, &_cls_Titolo::get_Testo));
        const double h = QFontMetricsF(font, device).height() / scale.y;
        if (tx < x && x < tx + w && ty < y && y < ty + h)
            hits.append(QStringLiteral("Titolo"));
    });
    const QRectF map = mapRect(device, scale);
    if (map.left() < x && x < map.right() && map.top() < y && y < map.bottom())
        hits.append(QStringLiteral("Mappa"));
    return hits;
}

void PrintLayout::drag(int tab, int legendItem, double x, double y)
{
    switch (tab) {
    case TabTitolo:
        step([&] { com::check(Titolo->put_X(float(x))); });
        step([&] { com::check(Titolo->put_y(float(y))); });
        break;
    case TabCartogramma:
        mappaX = x;
        mappaY = y;
        break;
    case TabLegenda: {
        int count = 0;
        step([&] { count = legendCount(); });
        _cls_Leggenda *l = Leggenda.get();
        for (int i : legendEntriesOf(legendItem, count)) {
            const double rowY = legendItem == 0 ? y + i * passoLeggenda * 2 / 3 : y;
            step([&] { setEntry(l, &_cls_Leggenda::put_X, i, float(x)); });
            step([&] { setEntry(l, &_cls_Leggenda::put_y, i, float(rowY)); });
        }
        break;
    }
    case TabDescrizione:
        step([&] { com::check(Descrizione->put_X(float(x))); });
        step([&] { com::check(Descrizione->put_y(float(y))); });
        break;
    default:
        break;
    }
}

void PrintLayout::moveBorder(Side side, bool plus)
{
    _cls_Bordo *b = Bordo.get();
    const float towardsMiddle = plus ? 0.2f : -0.2f;
    switch (side) {
    case Superiore:
        com::check(b->put_MargineSuperiore(get(b, &_cls_Bordo::get_MargineSuperiore) + towardsMiddle));
        break;
    case Sinistro:
        com::check(b->put_MargineSinistro(get(b, &_cls_Bordo::get_MargineSinistro) + towardsMiddle));
        break;
    case Inferiore:
        com::check(b->put_MargineInferiore(get(b, &_cls_Bordo::get_MargineInferiore) - towardsMiddle));
        break;
    case Destro:
        com::check(b->put_MargineDestro(get(b, &_cls_Bordo::get_MargineDestro) - towardsMiddle));
        break;
    }
}

}  // namespace pendra
