// The cells of a flex grid: texts, background colours, column widths and alignment, the current cell
// and selection, the generic sort and row moves, and the copy of a record set.
#pragma once

#include "forms/OleColor.h"

#include <QAbstractTableModel>
#include <QString>
#include <QVector>
#include <vector>

namespace jet {
class Recordset;
}

namespace grid {

// Values of Sort (the control's constants); setting one sorts at once.
enum SortSettings { flexSortNone = 0, flexSortGenericAscending = 1, flexSortGenericDescending = 2 };

// Values of ColAlignment (the control's constants).
enum AlignmentSettings {
    flexAlignLeftTop = 0, flexAlignLeftCenter = 1, flexAlignLeftBottom = 2,
    flexAlignCenterTop = 3, flexAlignCenterCenter = 4, flexAlignCenterBottom = 5,
    flexAlignRightTop = 6, flexAlignRightCenter = 7, flexAlignRightBottom = 8, flexAlignGeneral = 9
};

// Grid row r is model row r; the first FixedRows rows are the fixed header rows (the view shows
// row 0 as its column header). Rows and columns are counted from 0. An index outside the grid is
// error 381 ("Subscript out of range" of the control), thrown as vb::Error.
// The current cell is (Row, Col); the selection is the rectangle from it to (RowSel, ColSel).
// Setting Row or Col from code makes that cell the whole selection, as the control does.
// While Redraw is false, content changes are not announced to views; turning it back on announces
// them once. The model never yields to the event loop.
class FlexGridModel : public QAbstractTableModel {
    Q_OBJECT
public:
    static constexpr qint32 InvalidIndex = 381;
    static constexpr forms::OleColor White = 0x00FFFFFF;

    explicit FlexGridModel(QObject *parent = nullptr);

    int Rows() const { return static_cast<int>(m_rows.size()); }
    void setRows(int rows);  // keeps the cells of the rows that stay; new rows are empty and white
    int Cols() const { return m_cols; }
    void setCols(int cols);
    int FixedRows() const { return m_fixedRows; }
    void setFixedRows(int fixedRows);

    QString TextMatrix(int row, int col) const;
    void setTextMatrix(int row, int col, const QString &text);
    QString Text() const { return TextMatrix(m_row, m_col); }  // the current cell
    void setText(const QString &text) { setTextMatrix(m_row, m_col, text); }
    void Clear();  // empties every cell; rows, columns and colours stay
    // The texts of a whole row, shared rather than copied: copying a table of a million cells
    // costs one reference per row. A row set from a shorter vector gets empty cells, a longer one
    // is cut at Cols(). Rows out of range throw as TextMatrix does.
    const QVector<QString> &rowTexts(int row) const;
    void setRowTexts(int row, const QVector<QString> &texts);

    int Row() const { return m_row; }
    int Col() const { return m_col; }
    int RowSel() const { return m_rowSel; }
    int ColSel() const { return m_colSel; }
    void setRow(int row);
    void setCol(int col);
    void setRowSel(int row);
    void setColSel(int col);

    // Sorts the data rows (below FixedRows) on the key columns from min(Col, ColSel) to
    // max(Col, ColSel): two cells that both read as numbers in the user's locale compare as numbers,
    // others as text (letter case ignored). Stable: equal keys keep their order. flexSortNone does nothing.
    void setSort(int order);
    // Takes row `row` out and inserts it at `position`; the rows between shift by one.
    void setRowPosition(int row, int position);

    forms::OleColor CellBackColor() const { return cellBackColor(m_row, m_col); }
    void setCellBackColor(forms::OleColor color) { setCellBackColor(m_row, m_col, color); }
    forms::OleColor cellBackColor(int row, int col) const;
    void setCellBackColor(int row, int col, forms::OleColor color);
    // Every cell of one row, as setCellBackColor on each column would.
    void setRowBackColor(int row, forms::OleColor color);

    bool Redraw() const { return m_redraw; }
    void setRedraw(bool redraw);

    // Width in twips; -1 is the default width. 0 hides the column.
    int ColWidth(int col) const;
    void setColWidth(int col, int twips);
    int ColAlignment(int col) const;
    void setColAlignment(int col, int alignment);

    // First data row shown at the top of the view; views follow it and report scrolling back.
    int TopRow() const { return m_topRow; }
    void setTopRow(int row);

    // Binds a read-only record set: the grid becomes one header row with the field names and one
    // row per record (values as text in the user's locale, Null as empty text), read from the first
    // record to the end. The set may be closed afterwards; the grid keeps its copy. Errors of the
    // record set reach the caller and leave the grid as it was.
    void setDataSource(jet::Recordset &recordset);

    // QAbstractTableModel
    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    int columnCount(const QModelIndex &parent = QModelIndex()) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex &index) const override;

signals:
    void selectionMoved();           // Row, Col, RowSel or ColSel changed
    void layoutOfColumnsChanged(int col);  // the width of col changed; -1: the columns were rebuilt
    void topRowChanged(int row);
    void redrawChanged(bool redraw);

private:
    struct GridRow {
        QVector<QString> text;
        QVector<forms::OleColor> back;
    };
    void checkRow(int row) const;
    void checkCol(int col) const;
    void resize(int rows, int cols);
    void contentChanged();
    void clampSelection();

    std::vector<GridRow> m_rows;
    int m_cols = 0;
    int m_fixedRows = 1;
    QVector<int> m_colWidth;
    QVector<int> m_colAlignment;
    int m_row = 0, m_col = 0, m_rowSel = 0, m_colSel = 0;
    int m_topRow = 1;
    bool m_redraw = true;
    bool m_dirty = false;
};

}  // namespace grid
