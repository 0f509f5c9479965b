// Identifiers, status-code mapping and per-thread error info of the component model.
#include "Com.h"

#include "vb/Error.h"

#include <QRegularExpression>

namespace com {

const Guid IID_IUnknown = Guid::parse("{00000000-0000-0000-C000-000000000046}");
const Guid IID_IClassFactory = Guid::parse("{00000001-0000-0000-C000-000000000046}");

namespace {
constexpr quint32 RuntimeFacility = 0x800A0000u;

struct ThreadErrorInfo {
    bool set = false;
    ErrorInfo info;
};
thread_local ThreadErrorInfo t_errorInfo;
}  // namespace

HRESULT hresultFromVbError(qint32 number)
{
    if (number < 0)  // already a status code (such as &H80004005)
        return number;
    if (number == 0)
        return S_OK;
    return static_cast<HRESULT>(RuntimeFacility | (static_cast<quint32>(number) & 0xFFFFu));
}

qint32 vbErrorFromHresult(HRESULT hr)
{
    const quint32 u = static_cast<quint32>(hr);
    if ((u & 0xFFFF0000u) == RuntimeFacility)
        return static_cast<qint32>(u & 0xFFFFu);
    return hr;
}

Guid Guid::parse(const QString &text)
{
    static const QRegularExpression re(QStringLiteral(
        "^\\s*\\{?([0-9A-Fa-f]{8})-([0-9A-Fa-f]{4})-([0-9A-Fa-f]{4})-([0-9A-Fa-f]{4})-([0-9A-Fa-f]{12})\\}?\\s*$"));
    const auto m = re.match(text);
    if (!m.hasMatch())
        return Guid();
    // Braces must be balanced: "{x" and "x}" are not identifiers.
    const QString t = text.trimmed();
    if (t.startsWith(QLatin1Char('{')) != t.endsWith(QLatin1Char('}')))
        return Guid();
    Guid g;
    g.data1 = m.captured(1).toUInt(nullptr, 16);
    g.data2 = static_cast<quint16>(m.captured(2).toUInt(nullptr, 16));
    g.data3 = static_cast<quint16>(m.captured(3).toUInt(nullptr, 16));
    const QString tail = m.captured(4) + m.captured(5);
    for (int i = 0; i < 8; ++i)
        g.data4[i] = static_cast<quint8>(tail.mid(i * 2, 2).toUInt(nullptr, 16));
    return g;
}

QString Guid::toString() const
{
    QString tail;
    for (int i = 0; i < 8; ++i) {
        if (i == 2)
            tail += QLatin1Char('-');
        tail += QStringLiteral("%1").arg(data4[i], 2, 16, QLatin1Char('0'));
    }
    return QStringLiteral("{%1-%2-%3-%4}")
        .arg(data1, 8, 16, QLatin1Char('0'))
        .arg(data2, 4, 16, QLatin1Char('0'))
        .arg(data3, 4, 16, QLatin1Char('0'))
        .arg(tail)
        .toUpper();
}

bool Guid::isNull() const
{
    return *this == Guid();
}

void setErrorInfo(qint32 number, const QString &description, const QString &source)
{
    t_errorInfo.set = true;
    t_errorInfo.info = ErrorInfo{number, description, source};
}

void clearErrorInfo()
{
    t_errorInfo = ThreadErrorInfo();
}

ErrorInfo lastErrorInfo()
{
    return t_errorInfo.set ? t_errorInfo.info : ErrorInfo();
}

void check(HRESULT hr)
{
    if (succeeded(hr))
        return;
    const qint32 number = vbErrorFromHresult(hr);
    ErrorInfo info;
    // Only error info that belongs to this failure is used; a stale one from an unchecked
    // earlier failure would give the wrong description.
    if (t_errorInfo.set && hresultFromVbError(t_errorInfo.info.number) == hr)
        info = t_errorInfo.info;
    clearErrorInfo();
    if (info.description.isEmpty()) {
        info.description = number == hr
            ? QStringLiteral("Errore di automazione &H%1")
                  .arg(QString::number(static_cast<quint32>(hr), 16).toUpper())
            : vb::Error::standardDescription(number);
    }
    throw vb::Error(number, info.description, info.source);
}

}  // namespace com
