// The font families of the display, as the font lists show them; tests fill the list themselves.
#pragma once

#include <QStringList>
#include <functional>
#include <optional>

namespace forms {

// The families of the display (or the list a test set), in the order of a sorted list box:
// alphabetical without regard to letter case.
QStringList fontFamilies();
// Replaces the display's families for tests; std::nullopt asks the display again.
void setFontFamilies(std::optional<QStringList> families);

// The installed families among the display's family names, each once by its plain name, sorted as
// fontFamilies() sorts: a foundry qualifier ("C059 [urw]") is dropped, and a name that a font asks
// for does not get (an alias such as "Sans Serif", as `resolved` answers it) is left out.
QStringList installedFamilies(const QStringList &names, const std::function<QString(const QString &)> &resolved);

// The index of the default family in a sorted list: 13, unless the list is shorter or item 13 is
// a symbol or monospace family; then the nearest proportional text family (after 13 first, then
// before). -1 for an empty list. Families the display does not know count as proportional unless
// their name says otherwise ("Mono", "Symbol", "Dingbats"...).
int defaultFontIndex(const QStringList &sorted);

}  // namespace forms
