// Connect strings of the three forms the program writes: ODBC (record sets), DAO, attached table.
#pragma once

#include <QString>

namespace jet {

struct ConnectInfo {
    QString path;      // database file ("Dbq=" or "DATABASE="), trimmed; empty for the plain DAO form
    QString password;  // "Pwd=" / "pwd=", empty when absent
};

// Parses "Driver={Microsoft Access Driver (*.mdb)};Pwd=x;Dbq= /folder/file.mdb",
// "MS Access;pwd=x" and "ms access;pwd=x;DATABASE=/folder/file.mdb". Keys ignore letter case,
// values are trimmed (so the blank after "Dbq=" is dropped from the path).
ConnectInfo parseConnectString(const QString &connectString);

}  // namespace jet
