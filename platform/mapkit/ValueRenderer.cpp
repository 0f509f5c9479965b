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

const Symbol *ValueRenderer::symbolFor(const QString &value) const
{
    if (!m_indexValid) {
        m_index.clear();
        for (qsizetype i = m_values.size() - 1; i >= 0; --i)
            m_index.insert(m_values[i], int(i));
        m_indexValid = true;
    }
    const auto it = m_index.constFind(value);
    if (it != m_index.constEnd())
        return &m_symbols[*it];
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
