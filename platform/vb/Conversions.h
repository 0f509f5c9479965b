// Locale-aware conversions of the original runtime: IsNumeric, CDbl and siblings, CStr, Format, Round.
#pragma once

#include "Variant.h"

#include <QDateTime>
#include <QLocale>
#include <QString>
#include <optional>

namespace vb {

// The user's locale for every conversion: QLocale::system() unless a test pinned another one.
QLocale userLocale();
void setUserLocale(const QLocale &locale);  // tests pin Italian (decimal comma) or English
void resetUserLocale();

// Reads a number as the runtime does: blanks around, a sign, the locale's decimal separator and
// group separators; also an exponent. Empty or blank text is not a number, nor is one beyond the
// range of a double. Group separators may stand anywhere after the first digit of the integer part
// and are dropped, so on an Italian system "12.5" reads as 125 (the dot groups there), just as
// users of the original programs get it; "12,5" is 12.5. A no-break-space grouping locale also
// takes a plain blank.
std::optional<double> parseNumber(const QString &text);

bool IsNumeric(const Variant &v);  // numbers, Booleans and texts that parse; Empty is numeric, Null is not
bool IsNumeric(const QString &text);

// Conversions: error 13 (type mismatch) on text that does not convert and on arrays, error 94 on
// Null, error 6 (overflow) outside the target range. Empty converts to 0 and True to -1, as in the
// runtime. Integer conversions round half to even on the binary value (CInt(2.5) = 2).
double CDbl(const Variant &v);
float CSng(const Variant &v);
qint32 CLng(const Variant &v);
qint16 CInt(const Variant &v);
bool CBool(const Variant &v);  // texts "True"/"False" and the locale's words; numbers: non-zero is true
// Numbers as the locale writes them, no group separators, up to 15 significant digits (7 for a
// Single) and exponent form only beyond that ("1E+15"); Booleans as BoolText; Empty gives "".
QString CStr(const Variant &v);

// The locale's Boolean words: "Vero"/"Falso" in Italian, "True"/"False" otherwise.
QString BoolText(bool value);

// Format with a numeric pattern such as "0", "0.00", "0.0000": fixed decimals, rounding half away
// from zero on the shortest decimal form of the value (Format(2.125, "0.00") = "2,13"), locale
// decimal separator, no group separator, "-" before negatives and none before a value that rounds
// to zero. Also understood: "#" for an optional digit, "," in the integer part for the locale's
// grouping ("#,##0.00"), the names "Fixed" and "Standard", and "" (CStr's text). Numeric text is
// converted first (CDbl); other text is returned unchanged; Null and Empty give "". Booleans format
// as -1 and 0. Another pattern: error 5. Arrays: error 13.
QString Format(const Variant &v, const QString &pattern);

// Banker's rounding (half to even) to the given number of decimals (0 or more, else error 5).
// The tie is judged on the shortest decimal form that reads back as the same double, not on the
// binary value: Round(2.675, 2) = 2.68 as a user reading 2,675 expects, though the double lies
// just below 2.675. Round(2.5) = 2, Round(3.5) = 4, Round(0.125, 2) = 0.12.
double Round(double value, int decimals = 0);

// Dates and times as the runtime writes them in the user's locale: the short date format with a
// four-digit year (a two-digit year loses the century), the long time format without a time zone
// ("31/12/2024", "14:05:09" in Italian). DateTimeText leaves out a midnight time, as CStr of a date.
QString DateText(const QDate &date);
QString TimeText(const QTime &time);
QString DateTimeText(const QDateTime &dateTime);

}  // namespace vb
