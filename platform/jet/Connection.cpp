// The ADO-like access path: a connection opened with an ODBC connect string.
#include "Connection.h"

#include "ConnectString.h"
#include "EngineErrors.h"
#include "Session.h"

namespace jet {

Connection::Connection() = default;
Connection::~Connection() = default;
Connection::Connection(Connection &&) noexcept = default;
Connection &Connection::operator=(Connection &&) noexcept = default;

void Connection::open(const QString &connectString, const QString &, const QString &)
{
    const ConnectInfo info = parseConnectString(connectString);
    if (info.path.isEmpty())
        raise(vb::err::EngineRefused, QStringLiteral("The connect string names no database file."));
    try {
        m_session = Session::open(info.path, info.password, false);
    } catch (const vb::Error &e) {
        // The ODBC path reports every failure to open as the driver's generic error.
        throw vb::Error(vb::err::EngineRefused, e.description(), e.source(), e.detail());
    }
}

void Connection::close()
{
    m_session.reset();
}

bool Connection::isOpen() const
{
    return m_session != nullptr;
}

QString Connection::path() const
{
    return m_session ? m_session->path() : QString();
}

int Connection::execute(const QString &sql)
{
    if (!m_session)
        raise(err::ObjectClosed, QStringLiteral("Operation is not allowed when the object is closed."));
    return m_session->execute(sql);
}

std::shared_ptr<Session> Connection::session() const
{
    return m_session;
}

}  // namespace jet
