// One sheet of a workbook: a block of values from A1, column fitting, selection.
#pragma once

#include "vb/Variant.h"

#include <QString>
#include <QVector>
#include <functional>
#include <memory>

namespace sheet {

class Workbook;
struct SheetData;

// Owned by its Workbook; valid while the workbook is open.
class Worksheet {
public:
    Worksheet(Workbook &book, int index, std::shared_ptr<SheetData> data);

    int index() const { return m_index; }  // 1-based, in workbook order
    QString name() const;

    // Writes the block from A1 in one call (the Value of the range A1 to row R, column C): a
    // number Variant becomes a number cell, a text a text cell, Empty (or Null, or empty text) an
    // empty cell. Rows may differ in length. Replaces the value of every cell the block covers and
    // keeps its format; a new cell takes its row's or column's format. Cells of the template
    // outside the block stay. Throws sheet::SheetError (a vb::Error) 1004 for a block wider than
    // 16384 columns or longer than 1048576 rows, or a template sheet it cannot read.
    void setValues(const QVector<QVector<vb::Variant>> &rows);
    // The same block, asked cell by cell (0-based row and column, each once, row by row), so no
    // copy of it is held: rows x columns cells.
    using CellSource = std::function<vb::Variant(int row, int column)>;
    void setValues(int rows, int columns, const CellSource &cell);
    // Fits the widths of columns first..last (1-based) to their contents (the EntireColumn
    // AutoFit of a range); the columns' other attributes (their formats) stay.
    void autoFitColumns(int first, int last);
    // Makes this the selected sheet: the workbook opens on it.
    void select();

private:
    Workbook &m_book;
    int m_index;
    std::shared_ptr<SheetData> m_data;
};

// "A", "Z", "AA", ... for 1, 26, 27, ...
QString columnName(int column);

}  // namespace sheet
