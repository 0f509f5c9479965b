// Locale-aware conversions of the original runtime: IsNumeric, CDbl and siblings, CStr, Format, Round.
#pragma once

#include "Variant.h"

#include <QLocale>
#include <QString>
#include <optional>

namespace vb {

// The user's locale for every conversion: QLocale::system() unless a test pinned another one.
QLocale userLocale();
void setUserLocale(const QLocale &locale);  // tests pin Italian (decimal comma) or English
void resetUserLocale();

// Reads a number as the runtime does: blanks around, a sign, the locale's decimal separator and
// group separators; also an exponent. Empty or blank text is not a number.
std::optional<double> parseNumber(const QString &text);

bool IsNumeric(const Variant &v);  // numbers, Booleans and texts that parse; Empty is numeric, Null is not
bool IsNumeric(const QString &text);

// Conversions: error 13 (type mismatch) on text that does not convert, error 94 on Null,
// error 6 (overflow) outside the target range. Integer conversions round half to even.
double CDbl(const Variant &v);
float CSng(const Variant &v);
qint32 CLng(const Variant &v);
qint16 CInt(const Variant &v);
bool CBool(const Variant &v);  // texts "True"/"False" and the locale's words; numbers: non-zero is true
QString CStr(const Variant &v);  // numbers as the locale writes them ("12,5"), Booleans as BoolText

// The locale's Boolean words: "Vero"/"Falso" in Italian, "True"/"False" otherwise.
QString BoolText(bool value);

// Format with a numeric pattern such as "0", "0.00", "0.0000" (fixed decimals, rounding half away
// from zero as the runtime's Format does, locale decimal separator, no group separator).
// Null gives Null's text "" ; non-numeric text is returned unchanged.
QString Format(const Variant &v, const QString &pattern);

// Banker's rounding (half to even) to the given number of decimals.
double Round(double value, int decimals = 0);

}  // namespace vb
