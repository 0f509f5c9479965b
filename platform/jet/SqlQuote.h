// Quoting of names written into the engine's own SQL, so that no name can end its quotes early.
#pragma once

#include <QString>

namespace jet {

// "[name]"; a name holding "]" (which brackets cannot carry) is written "..." with its
// double quotes doubled, which the engine reads back as the same name.
inline QString quoteName(const QString &name)
{
    if (!name.contains(u']'))
        return u'[' + name + u']';
    QString doubled = name;
    doubled.replace(u'"', QStringLiteral("\"\""));
    return u'"' + doubled + u'"';
}

}  // namespace jet
