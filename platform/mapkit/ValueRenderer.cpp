// Value renderer with a lazily built lookup of its values.
#include "ValueRenderer.h"

#include "vb/Error.h"

namespace mapkit {

namespace {
void checkIndex(int i, qsizetype size)
{
    if (i < 0 || i >= size)
        throw vb::Error::of(vb::err::SubscriptOutOfRange, QStringLiteral("ValueRenderer"));
}
}  // namespace

void ValueRenderer::setValueCount(int count)
{
    if (count < 0)
        throw vb::Error::of(vb::err::InvalidProcedureCall, QStringLiteral("ValueRenderer"));
    m_values.resize(count);
    m_symbols.resize(count);
    m_indexValid = false;
}

QString ValueRenderer::value(int i) const
{
    checkIndex(i, m_values.size());
    return m_values[i];
}

void ValueRenderer::setValue(int i, const QString &value)
{
    checkIndex(i, m_values.size());
    m_values[i] = value;
    m_indexValid = false;
}

Symbol &ValueRenderer::symbol(int i)
{
    checkIndex(i, m_symbols.size());
    return m_symbols[i];
}

const Symbol &ValueRenderer::symbol(int i) const
{
    checkIndex(i, m_symbols.size());
    return m_symbols[i];
}

size_t ValueRenderer::slotOf(QStringView value, std::uint32_t hash) const
{
    // The slot holding the value, or the free slot where it would go.
    const size_t mask = m_slots.size() - 1;
    size_t at = hash & mask;
    for (; m_slots[at].entry >= 0; at = (at + 1) & mask) {
        const Slot &s = m_slots[at];
        if (s.hash == hash && QStringView(m_keys).mid(s.offset, s.length) == value)
            break;
    }
    return at;
}

void ValueRenderer::buildIndex() const
{
    qsizetype chars = 0;
    for (const QString &v : m_values)
        chars += v.size();
    m_keys.clear();
    m_keys.reserve(chars);
    size_t size = 16;
    while (size < size_t(m_values.size()) * 2)
        size *= 2;
    m_slots.assign(size, Slot{});
    for (qsizetype i = 0; i < m_values.size(); ++i) {
        const QString &v = m_values[i];
        const auto hash = std::uint32_t(qHash(QStringView(v), 0));
        Slot &slot = m_slots[slotOf(v, hash)];
        if (slot.entry >= 0)
            continue;  // the first listed wins
        slot = Slot{hash, int(i), int(m_keys.size()), int(v.size())};
        m_keys += v;
    }
    m_indexValid = true;
}

const Symbol *ValueRenderer::symbolFor(const QString &value) const
{
    if (!m_indexValid)
        buildIndex();
    const Slot &slot = m_slots[slotOf(value, std::uint32_t(qHash(QStringView(value), 0)))];
    if (slot.entry >= 0)
        return &m_symbols[slot.entry];
    return m_useDefault ? &m_default : nullptr;
}

QString ValueRenderer::entryLabel(int i) const
{
    if (i == valueCount() && m_useDefault)
        return QString();
    return value(i);
}

const Symbol &ValueRenderer::entrySymbol(int i) const
{
    if (i == valueCount() && m_useDefault)
        return m_default;
    return symbol(i);
}

}  // namespace mapkit
