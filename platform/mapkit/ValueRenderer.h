// Value renderer: records whose field text equals a listed value take its symbol; others the default.
#pragma once

#include "Renderer.h"

#include <QVector>

#include <cstdint>
#include <vector>

namespace mapkit {

class ValueRenderer : public Renderer {
public:
    QString field() const override { return m_field; }
    void setField(const QString &field) { m_field = field; }
    bool useDefault() const { return m_useDefault; }
    void setUseDefault(bool on) { m_useDefault = on; }
    Symbol &defaultSymbol() { return m_default; }
    const Symbol &defaultSymbol() const { return m_default; }

    int valueCount() const { return int(m_values.size()); }
    // Grows with empty values and default-looking symbols, or shrinks.
    void setValueCount(int count);
    // Out-of-range indexes throw vb::Error 9.
    QString value(int i) const;
    void setValue(int i, const QString &value);
    Symbol &symbol(int i);
    const Symbol &symbol(int i) const;

    // Exact text match (the first listed wins); unlisted values take the default symbol when
    // useDefault is on, else they are not drawn.
    const Symbol *symbolFor(const QString &value) const override;
    int entryCount() const override { return valueCount() + (m_useDefault ? 1 : 0); }
    QString entryLabel(int i) const override;
    const Symbol &entrySymbol(int i) const override;

private:
    QString m_field;
    bool m_useDefault = false;
    Symbol m_default;
    QVector<QString> m_values;
    QVector<Symbol> m_symbols;
    // The lookup of the values, rebuilt lazily after a change: open addressing over the values
    // copied end to end into one text, since a municipal map asks it once per territory and a
    // hash of separately allocated texts missed the cache on nearly every one.
    struct Slot {
        std::uint32_t hash = 0;
        int entry = -1;  // -1: free
        int offset = 0, length = 0;
    };
    size_t slotOf(QStringView value, std::uint32_t hash) const;
    void buildIndex() const;
    mutable QString m_keys;
    mutable std::vector<Slot> m_slots;
    mutable bool m_indexValid = false;
};

}  // namespace mapkit
