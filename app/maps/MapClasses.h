// Screen-free statistics and class rules of the map window: quartiles, manual and equal-width classes.
#pragma once

#include "forms/OleColor.h"

#include <QString>
#include <QStringList>
#include <QVector>
#include <optional>

namespace pendra {

// A column of datagrid2 as the map window reads it: index 0 is the header row, then one cell per
// territory row, ascending by value (empty cells where a territory has no value).
using MapColumn = QStringList;

struct ColumnStatistics {
    double MinValue = 0;  // the first numeric cell from the top
    double MaxValue = 0;  // the last row's cell (the last numeric one when that row holds none)
    double MeanValue = 0; // sum of the numeric cells / every data row, empty ones included
};
// Numbers are read in the user's locale; a column without a numeric cell gives zeros.
ColumnStatistics ColumnStats(const MapColumn &cells);

// "MIN": the first row whose cell is not empty and equals minValue (0 when none); "MAX": the row
// count (one past the last row); any other kind: 0.
int getMinMaxIndex(const MapColumn &cells, const QString &kind, double minValue);
// The 1-based position, among n ascending values, of the last value of quartile class k (1 to 3);
// r = n mod d, q = n div d, d = 4. Any other k gives 0.
int MakeQuantile(int k, int r, int q, int n, int d);

// The quartile walk over rows first to end - 1.
struct QuartileClasses {
    QVector<int> classOfRow;   // per row of the column: the class number from 1, 0 for no table row
    QStringList labels;        // " Da x a y", one per class formed (1 to 4)
    QStringList lower, upper;  // the bound texts of each class
    bool equalBounds = false;  // an upper bound text equals the next lower one: warn, draw anyway
};
QuartileClasses MakeQuartileClasses(const MapColumn &cells, int first, int end);

// A message the class buttons show instead of acting; focus names the box that takes the focus.
struct ClassMessage {
    enum Focus { NoFocus, MinBox, MaxBox, ClassBox };
    QString text;
    int style = 0;  // forms::MsgBoxStyle
    QString title;
    Focus focus = NoFocus;
};

// One class row of GridIndici.
struct ClassRow {
    forms::OleColor color = 0;
    QString label;
};

// The state of the manual and equal-width boxes, changed by the class steps.
struct ClassBoxes {
    QString txtMin, txtMax;
};

// One press of "Seleziona" in manual mode.
struct ManualStep {
    std::optional<ClassMessage> message;  // set: nothing else happened (boxes may read "0")
    std::optional<ClassRow> added;
    bool complete = false;  // the upper bound reached MaxValue: boxes reset and disabled
};
ManualStep ManualClass(ClassBoxes &boxes, const ColumnStatistics &stats, forms::OleColor color);

// One press of "Seleziona" in equal-width mode; `ramp(n)` gives the n class colours.
struct EqualWidthStep {
    std::optional<ClassMessage> message;
    QVector<ClassRow> rows;
    bool complete = false;
};
EqualWidthStep EqualWidthClasses(ClassBoxes &boxes, const QString &txtClassi, const ColumnStatistics &stats,
                                 const QVector<forms::OleColor> &ramp);

// Bounds of a manual or equal-width label "Da x a y" (second and fourth word); error 13 when
// either does not read as a number.
struct ClassBounds {
    double lower = 0, upper = 0;
};
ClassBounds LabelBounds(const QString &label);
// 1-based index of the first label whose bounds hold the value (both ends inclusive), or none.
std::optional<int> MatchClass(const QVector<ClassBounds> &classes, double value);
// The upper bound the class-breaks renderer takes: "Da" removed, the text after the first "a".
double RendererUpperBound(const QString &label);

// The messages of the class steps.
namespace classmsg {
inline const QString MinAboveMax = QStringLiteral("Il valore minimo non può essere minore del valore massimo!");
inline const QString Finished = QStringLiteral("l'assegnazione dei colori alle classi è terminata");
inline const QString NoClassCount = QStringLiteral("Inserire il numero delle classi.");
inline const QString BadClassCount = QStringLiteral("Il numero delle classi deve essere compreso tra 1 e 9.");
inline const QString WidthZero = QStringLiteral(
    "L'ampiezza delle classi risulta nulla: diminuire il numero delle classi o usare le classi manuali.");
inline const QString NotANumber = QStringLiteral("Scrivere un numero valido.");
inline const QString Nota = QStringLiteral("Le classi comprendono gli estremi superiori.");
QString OutOfRange(const ColumnStatistics &stats);  // "Scrivere un numero compreso tra ..."
QString QuartileWarning();
}  // namespace classmsg

}  // namespace pendra
