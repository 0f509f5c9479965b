// Value routines of the metadata windows: empty tests, Null to text, note cleaning, sheet words.
#pragma once

#include "vb/Variant.h"

#include <QString>
#include <optional>

namespace jet {
class Recordset;
}

namespace pendra {

// The text without its leading and trailing blanks (tabs and line ends stay).
QString trimBlanks(const QString &text);
// True for Null, and for a text that is empty or "-" once leading and trailing blanks go.
bool IsEmptyValue(const vb::Variant &value);
// "" for Null (and Empty), else the value as text.
QString NullToString(const vb::Variant &value);
// In place, one character for one: line feed -> blank, the typographic double quotes -> "'",
// the bullet -> "-"; carriage returns stay. Returns the cleaned text.
QString &PulisciTesto(QString &text);

// The text with every apostrophe doubled, for a quoted SQL literal.
QString sqlText(const QString &text);

// "Provinciale" for "P"/"p", "Regionale" for "R"/"r", "" for empty; nullopt for anything else
// (the sheet leaves its box as it was).
std::optional<QString> levelWord(const QString &level);
// The variable sheet's sub-area text: code, " - ", description; a code holding "-PD" anywhere
// (case-sensitive) loses its last three characters.
QString variableSubArea(const QString &code, const QString &description);
// The dimension word of a Valutazione code (exact case); "" for an unknown code.
QString dimensionWord(const QString &valutazione);
// "YYYY: value\r\n\r\n" for every year 1996..2008 whose column <prefix><year> is not empty.
QString yearlyText(const jet::Recordset &record, const QString &prefix);
// The upper-cased availability of year 1996 + index; nullopt when the column is Null.
std::optional<QString> availability(const jet::Recordset &record, int index);

constexpr int FirstYear = 1996;
constexpr int YearCount = 13;

}  // namespace pendra
