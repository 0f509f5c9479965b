// Shared helpers of the engine tests: a temporary folder of keyed databases built through the engine.
#pragma once

#include "jet/Connection.h"
#include "jet/Database.h"
#include "jet/Recordset.h"
#include "vb/ErrorOf.h"

#include <QStringList>
#include <QTemporaryDir>

#include <ostream>

// Readable texts in failure messages.
inline void PrintTo(const QString &s, std::ostream *os)
{
    *os << '"' << s.toStdString() << '"';
}

namespace jettest {

using vbtest::errorOf;

inline const QString Password = QStringLiteral("mirabella1994");

// The program's three connect-string forms.
QString odbc(const QString &path);
QString dao();
QString linkConnect(const QString &path);

// A temporary folder; file(name) is its path joined with the name.
class Folder {
public:
    Folder();
    QString file(const QString &name) const;
    QString path() const;  // with trailing "/"

    // Creates `name` keyed with the password and runs each Jet SQL statement on it.
    QString database(const QString &name, const QStringList &statements) const;

private:
    QTemporaryDir m_dir;
};

// Every record of the set as texts joined with "|" ("<null>" for Null), from the current one on.
QStringList rows(jet::Recordset &rs);
// Opens `sql` on the database file read-only and returns rows().
QStringList query(const QString &path, const QString &sql);

}  // namespace jettest
