// Connect-string parsing for the ODBC, DAO and attached-table forms.
#include "ConnectString.h"

#include <QStringList>

namespace jet {

ConnectInfo parseConnectString(const QString &connectString)
{
    ConnectInfo info;
    // Split on ';' outside braces: a driver name in braces could hold one.
    QStringList parts;
    QString current;
    int depth = 0;
    for (QChar c : connectString) {
        if (c == u'{')
            ++depth;
        else if (c == u'}' && depth > 0)
            --depth;
        if (c == u';' && depth == 0) {
            parts << current;
            current.clear();
        } else {
            current += c;
        }
    }
    parts << current;

    for (const QString &part : parts) {
        const int eq = part.indexOf(u'=');
        if (eq < 0)
            continue;  // "MS Access" and empty pieces carry no value
        const QString key = part.left(eq).trimmed().toLower();
        const QString value = part.mid(eq + 1).trimmed();
        if (key == u"dbq" || key == u"database")
            info.path = value;
        else if (key == u"pwd" || key == u"password")
            info.password = value;
    }
    return info;
}

}  // namespace jet
