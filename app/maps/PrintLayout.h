// The print layout's page model: map snapshot, title, description, legend and border, in page inches.
#pragma once

#include "library/KvrUtil.h"

#include "com/Com.h"
#include "forms/OleColor.h"

#include <QPicture>
#include <QRectF>
#include <QSizeF>
#include <QStringList>

class QPainter;
class QPaintDevice;

namespace pendra {

// Page inches to device pixels: the preview's user scale or the printer's resolution.
struct PageScale {
    double x = 96;
    double y = 96;
};

// The legend entries a legend-list item acts on: item 0 stands for every entry, item k for entry k - 1.
QVector<int> legendEntriesOf(int listItem, int count);

// Owns the four layout value objects of the data library (created through the component
// registry: the constructor throws vb::Error when the library is not registered).
class PrintLayout {
public:
    enum Tab { TabTitolo = 0, TabCartogramma = 1, TabBordo = 2, TabLegenda = 3, TabDescrizione = 4 };
    enum Side { Superiore, Inferiore, Destro, Sinistro };

    PrintLayout();

    // Loads the snapshot file (a QPicture) into immagineMappa and deletes it; the size in HIMETRIC
    // becomes the map's page size in inches at zoom 1. Throws vb::Error when the file is unreadable
    // (the file is deleted all the same).
    void loadSnapshot(const QString &path, QSize himetric);

    // Draws every visible element; font sizes are points of the painter's device and follow
    // scalaStampa, as does the map's size; positions do not. A failing step is skipped.
    void regola(QPainter &painter, PageScale scale) const;

    // The map's rectangle in page inches as drawn on `device`. Like the fonts, its size is in the
    // device's own inches times scalaStampa, so on the preview (a page at 1 / 1.85 of the screen's
    // pixels per inch) and on the printer (scalaStampa 1.85) it takes the same share of the page.
    QRectF mapRect(const QPaintDevice *device, PageScale scale) const;

    // Shrinks the map, keeping its shape, so that drawn `factor` times its size at the current zoom
    // its right edge stays at or left of `right` and its bottom at or above `bottom` (page inches).
    void fitMap(double right, double bottom, double factor);

    // Names of the elements under (x, y) in page inches, in the order "Leggenda", "Titolo",
    // "Mappa"; *legendEntry gets the hit legend entry (or -1). Texts are measured on `device`.
    QStringList hitTest(double x, double y, const QPaintDevice *device, PageScale scale, int *legendEntry) const;

    // Moves the element of `tab` so that (x, y) becomes its anchor; on the legend tab `legendItem`
    // is the selected legend-list item.
    void drag(int tab, int legendItem, double x, double y);

    // "+" (wider margin) moves the side 0.2 inch towards the middle of the page, "-" towards the edge.
    void moveBorder(Side side, bool plus);

    // Fills the border from the page size in inches (0.5 inch from every edge), colour black.
    void setBorderFromPage(QSizeF page);

    // The map's size in page inches at zoom 1 and scale 1.
    double larghezzaMappa = 0;
    double altezzaMappa = 0;
    QPicture immagineMappa;
    bool hasMap = false;
    double mappaX = 0.578;
    double mappaY = 1.007;
    double zoom = 0.65;
    double scalaStampa = 1.0;
    double leggendaY0 = 8.0;
    double passoLeggenda = 0.5;
    double grandezzaQuadrato = 0.3;

    bool titoloVisible = true;
    bool cartinaVisible = true;
    bool bordoVisible = true;
    bool leggendaVisible = true;
    bool descVisible = true;

    com::Ptr<kvr::_cls_Titolo> Titolo;
    com::Ptr<kvr::_cls_Titolo> Descrizione;
    com::Ptr<kvr::_cls_Leggenda> Leggenda;
    com::Ptr<kvr::_cls_Bordo> Bordo;

    // Legend helpers over the value object (they throw vb::Error as its members do).
    int legendCount() const;
    void addLegendEntry(const QString &fontName, const QString &fontSize, forms::OleColor square,
                        const QString &text, int row);
};

}  // namespace pendra
