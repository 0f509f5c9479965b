// Class-breaks renderer and the colour ramp.
#include "ClassBreaksRenderer.h"

#include "vb/Conversions.h"
#include "vb/Error.h"

#include <cmath>

namespace mapkit {

namespace {
void checkIndex(int i, qsizetype size)
{
    if (i < 0 || i >= size)
        throw vb::Error::of(vb::err::SubscriptOutOfRange, QStringLiteral("ClassBreaksRenderer"));
}
}  // namespace

QVector<forms::OleColor> colorRamp(forms::OleColor start, forms::OleColor end, int count)
{
    QVector<forms::OleColor> out;
    for (int i = 0; i < count; ++i) {
        const double t = count > 1 ? double(i) / (count - 1) : 0;
        forms::OleColor c = 0;
        for (int shift = 0; shift <= 16; shift += 8) {
            const int a = int((start >> shift) & 0xFF), b = int((end >> shift) & 0xFF);
            c |= forms::OleColor(std::lround(a + (b - a) * t)) << shift;
        }
        out.append(c);
    }
    return out;
}

void ClassBreaksRenderer::setBreakCount(int count)
{
    if (count < 0)
        throw vb::Error::of(vb::err::InvalidProcedureCall, QStringLiteral("ClassBreaksRenderer"));
    m_breaks.resize(count);
    m_symbols.resize(count + 1);
}

double ClassBreaksRenderer::breakValue(int i) const
{
    checkIndex(i, m_breaks.size());
    return m_breaks[i];
}

void ClassBreaksRenderer::setBreakValue(int i, double value)
{
    checkIndex(i, m_breaks.size());
    m_breaks[i] = value;
}

Symbol &ClassBreaksRenderer::symbol(int i)
{
    checkIndex(i, m_symbols.size());
    return m_symbols[i];
}

const Symbol &ClassBreaksRenderer::symbol(int i) const
{
    checkIndex(i, m_symbols.size());
    return m_symbols[i];
}

void ClassBreaksRenderer::rampColors(forms::OleColor start, forms::OleColor end)
{
    const QVector<forms::OleColor> ramp = colorRamp(start, end, int(m_symbols.size()));
    for (qsizetype i = 0; i < m_symbols.size(); ++i)
        m_symbols[i].color = ramp[i];
}

const Symbol *ClassBreaksRenderer::symbolFor(const QString &value) const
{
    // Shape-file numbers come with a decimal point; typed ones in the user's locale.
    bool ok = false;
    double v = value.toDouble(&ok);
    if (!ok) {
        if (!vb::IsNumeric(value) || value.trimmed().isEmpty())
            return nullptr;
        v = vb::CDbl(vb::Variant(value));
    }
    for (qsizetype i = 0; i < m_breaks.size(); ++i)
        if (v <= m_breaks[i])
            return &m_symbols[i];
    return &m_symbols.last();
}

QString ClassBreaksRenderer::entryLabel(int i) const
{
    checkIndex(i, m_symbols.size());
    const QLocale locale = vb::userLocale();
    if (m_breaks.isEmpty())
        return QString();
    if (i == 0)
        return QStringLiteral("<= ") + locale.toString(m_breaks[0]);
    if (i >= m_breaks.size())
        return QStringLiteral("> ") + locale.toString(m_breaks.last());
    return locale.toString(m_breaks[i - 1]) + QStringLiteral(" - ") + locale.toString(m_breaks[i]);
}

}  // namespace mapkit
