// A layer renderer: picks each record's symbol from the text of one field.
#pragma once

#include "Symbol.h"

#include <QString>

namespace mapkit {

class Renderer {
public:
    virtual ~Renderer() = default;
    virtual QString field() const = 0;
    // The symbol for a record whose field holds `value`; null when the record is not drawn.
    virtual const Symbol *symbolFor(const QString &value) const = 0;
    // Legend entries: the label and symbol of each class or value, in order.
    virtual int entryCount() const = 0;
    virtual QString entryLabel(int i) const = 0;
    virtual const Symbol &entrySymbol(int i) const = 0;
};

}  // namespace mapkit
