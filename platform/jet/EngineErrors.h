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
constexpr qint32 TooManyFields = 3190;      // the reasons of refusals (under &H80004005)
constexpr qint32 SyntaxError = 3075;
constexpr qint32 InvalidStatement = 3129;
constexpr qint32 TextAfterEnd = 3142;
constexpr qint32 TooComplex = 3360;
constexpr qint32 BadOperation = 3251;       // the cursor does not allow the operation
constexpr qint32 ObjectClosed = 3704;       // a closed record set or database is used
constexpr qint32 ConnectionClosed = 3709;   // a record set is opened on a closed connection
}  // namespace err

inline const QString &errorSource()
{
    static const QString source = QStringLiteral("jet");
    return source;
}

// The user reads the Italian description of the number (naming `subject`, a file or an object,
// where the text has room for one); the engine's own text goes to the error log as detail.
[[noreturn]] inline void raise(qint32 number, const QString &engineText, const QString &subject = QString())
{
    throw vb::Error::of(number, errorSource(), subject, engineText);
}

// A refusal that the ODBC path reports under its generic number (&H80004005), described with the
// text of the engine's own number for it (`reason`: 3190 too many fields, ...).
[[noreturn]] inline void refuse(qint32 reason, const QString &engineText, const QString &subject = QString())
{
    throw vb::Error(vb::err::EngineRefused, vb::Error::standardDescription(reason, subject), errorSource(), engineText);
}

// The Italian description of a refusal of the engine underneath, from its message: the missing
// table or field named, a full disk said as such; other refusals get the engine's number's text.
QString refusalDescription(int code, const QString &message);

}  // namespace jet
