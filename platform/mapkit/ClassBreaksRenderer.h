// Class-breaks renderer: a numeric field split by ascending break values into break count + 1 classes.
#pragma once

#include "Renderer.h"

#include <QVector>

namespace mapkit {

class ClassBreaksRenderer : public Renderer {
public:
    QString field() const override { return m_field; }
    void setField(const QString &field) { m_field = field; }

    int breakCount() const { return int(m_breaks.size()); }
    // Resizes the breaks (new ones 0) and the symbols to count + 1 (new ones fill symbols).
    void setBreakCount(int count);
    // Out-of-range indexes throw vb::Error 9.
    double breakValue(int i) const;
    void setBreakValue(int i, double value);
    int symbolCount() const { return int(m_symbols.size()); }
    Symbol &symbol(int i);
    const Symbol &symbol(int i) const;
    // Fills the colours of every symbol from start to end, evenly in red, green and blue.
    void rampColors(forms::OleColor start, forms::OleColor end);

    // Class i holds values up to break i (inclusive); values above the last break take the last class.
    // A value that is not a number is not drawn.
    const Symbol *symbolFor(const QString &value) const override;
    int entryCount() const override { return symbolCount(); }
    QString entryLabel(int i) const override;
    const Symbol &entrySymbol(int i) const override { return symbol(i); }

private:
    QString m_field;
    QVector<double> m_breaks;
    QVector<Symbol> m_symbols{Symbol()};
};

// The colours of a ramp of `count` steps from start to end (count 1 gives start).
QVector<forms::OleColor> colorRamp(forms::OleColor start, forms::OleColor end, int count);

}  // namespace mapkit
