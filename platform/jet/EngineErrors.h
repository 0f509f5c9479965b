// Error numbers of the database engine's own failures, and the one way they are raised.
#pragma once

#include "vb/Error.h"

#include <QString>

namespace jet {

namespace err {
constexpr qint32 TableExists = 3010;        // a table or link of that name exists
constexpr qint32 ObjectNotFound = 3011;     // source table of a link is missing
constexpr qint32 ObjectExists = 3012;       // a saved query of that name exists
constexpr qint32 FileNotFound = 3024;       // the database file is missing
constexpr qint32 ReadOnly = 3027;           // the set or database cannot be updated
constexpr qint32 BadPassword = 3031;        // the password does not open the file
constexpr qint32 InvalidPath = 3044;        // the folder of a new database is missing
constexpr qint32 DatabaseExists = 3204;     // create on an existing file
constexpr qint32 UnknownFormat = 3343;      // the file is not a database
constexpr qint32 NoEditInProgress = 3020;   // update without addNew or a changed field
constexpr qint32 FieldNotUpdatable = 3164;  // an expression column of an updatable set
constexpr qint32 BadOperation = 3251;       // the cursor does not allow the operation
}  // namespace err

inline const QString &errorSource()
{
    static const QString source = QStringLiteral("jet");
    return source;
}

[[noreturn]] inline void raise(qint32 number, const QString &description)
{
    throw vb::Error(number, description, errorSource());
}

}  // namespace jet
