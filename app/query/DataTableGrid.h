// What the data table window does to its grid, without a screen: row colours, column widths, the
// sorts and the search of the table.
#pragma once

#include <QFont>
#include <QString>
#include <functional>

namespace grid {
class FlexGridModel;
}

namespace pendra {

// Alternating row colours: odd rows white, even rows button face; redrawing suspended meanwhile.
// Yields to pending window events every few rows; stops early when the grid is destroyed meanwhile.
void ColorGridLines(grid::FlexGridModel &grid);
// Rows whose column 3 reads "TOTALE" green, the others white.
void ColorGridLinesToT(grid::FlexGridModel &grid);

// Column widths from the trimmed cell texts (header included): text width + the width of "Q", or
// the grid width / 1.5 when that does not fit. The widest text is looked for among rows spread
// over the table and the longest text of the column (on a long table a shorter text of wider
// letters elsewhere can be missed). textWidth measures in twips; gridWidth is in twips.
void AutosizeCols(grid::FlexGridModel &grid, const std::function<int(QStringView)> &textWidth,
                  int gridWidth);

// Width of texts in a font, in twips, from the advances of their characters (each measured once):
// measuring every cell of a wide table as a whole text costs far more. Ignores kerning.
std::function<int(QStringView)> CharacterTextWidth(const QFont &font);

// The first column whose header equals the text exactly; -1 when none does.
int FindHeader(const grid::FlexGridModel &grid, const QString &header);

// Sorts on one column (grid::flexSortGenericAscending or Descending) and colours the rows again.
// `sorting` is true while it runs. Whatever happens, the grid's drawing, the mouse pointer and the
// flag are restored on the way out; errors reach the caller.
void SortOnColumn(grid::FlexGridModel &grid, int column, int order, bool &sorting);

// The search of the table on one column (column = the item of the search list - 1). da and a are
// the texts of the two boxes; a single number in `da` with `a` empty becomes the range from it to
// itself (and `a` is set to it, as the box shows it). Matches move to the top: a text search
// (trimmed, letter case ignored, whole cell) puts each later match above the earlier ones; a range
// search of whole numbers keeps them in sorted order and selects them. Messages go through the
// dialog service. Restores drawing, pointer and flag as SortOnColumn does; errors reach the caller.
void SearchColumn(grid::FlexGridModel &grid, int column, const QString &da, QString &a, bool &sorting);

}  // namespace pendra
