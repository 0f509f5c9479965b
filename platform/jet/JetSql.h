// Translation of the Jet SQL dialect the program writes into the engine's own SQL.
#pragma once

#include <QString>

namespace jet {

// Tokenizes and parses the statement and rewrites it: [bracketed] names, '...' and "..." literals,
// & (concatenation, Null as empty), ^ (power, above * and /), / (real division; by zero is error 11),
// nested INNER JOINs in parentheses, LIKE with % and _, and the functions Format, CDbl, CStr, CInt,
// CLng, InStr, Left, Right, Mid, Len, UCase, LCase, Trim, LTrim, RTrim, IIf, IsNull, Nz, Val.
// Bracketed names, string literals and comments pass through untouched. Throws vb::Error
// &H80004005 on a statement it cannot parse.
QString translateSql(const QString &jetSql);

}  // namespace jet
