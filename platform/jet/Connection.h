// ADO-like connection to one database file, opened with an ODBC connect string.
#pragma once

#include <QString>
#include <memory>

namespace jet {

class Session;  // the open engine handle, shared by a connection and its record sets

// Errors are thrown as vb::Error: a missing file, a wrong password or a file that is not a
// database fail at open with a clear description; a statement the engine refuses is &H80004005.
class Connection {
public:
    Connection();
    ~Connection();
    Connection(Connection &&) noexcept;
    Connection &operator=(Connection &&) noexcept;

    // connectString: the ODBC form (see ConnectString.h); the file is found in its folder without
    // regard to letter case. user/password are accepted and ignored (the password is in the string).
    void open(const QString &connectString, const QString &user = QString(),
              const QString &password = QString());
    void close();
    bool isOpen() const;
    QString path() const;

    // Runs an action statement (INSERT, UPDATE, DELETE, DDL) in the Jet dialect; returns rows affected.
    int execute(const QString &sql);

    std::shared_ptr<Session> session() const;

private:
    std::shared_ptr<Session> m_session;
};

}  // namespace jet
