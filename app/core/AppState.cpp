// The shared state and the connect-string forms.
#include "AppState.h"

namespace pendra {

AppState &app()
{
    static AppState state;
    return state;
}

void resetAppState()
{
    app() = AppState();
}

QString odbcPrefix(const QString &password)
{
    // The blank after "Dbq=" belongs to the prefix.
    return "Driver={Microsoft Access Driver (*.mdb)};Pwd=" + password + ";Dbq= ";
}

QString daoConnect(const QString &password)
{
    return "MS Access;pwd=" + password;
}

QString linkConnect(const QString &password, const QString &sourcePath)
{
    return "ms access;pwd=" + password + ";DATABASE=" + sourcePath;
}

}  // namespace pendra
