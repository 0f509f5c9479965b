// What assistive technology reads of a flex grid: its cells, answered from the view's model.
#pragma once

#include <QAccessibleTableInterface>
#include <QAccessibleWidget>
#include <QHash>

class QTableView;

namespace grid {

// The accessible table of a grid view. Cells are addressed by model row and column (row 0 is the
// fixed row, whose texts are the column titles) and read from the model each time they are asked;
// a cell's interface holds only its position, so the view and its model can close without tidying
// one persistent index per cell that a client read. Child numbering is the one the item views use
// in their focus and selection events: the first row and first column are the header cells.
class GridAccessible : public QAccessibleWidget, public QAccessibleTableInterface {
public:
    explicit GridAccessible(QTableView *view);
    ~GridAccessible() override;

    // Makes every grid::FlexGrid answer through this class (once per process; later calls do nothing).
    static void install();

    QAccessible::Role role() const override;
    int childCount() const override;
    QAccessibleInterface *child(int index) const override;
    int indexOfChild(const QAccessibleInterface *child) const override;
    QAccessibleInterface *childAt(int x, int y) const override;
    QAccessibleInterface *focusChild() const override;
    void *interface_cast(QAccessible::InterfaceType type) override;

    // QAccessibleTableInterface
    QAccessibleInterface *caption() const override { return nullptr; }
    QAccessibleInterface *summary() const override { return nullptr; }
    QAccessibleInterface *cellAt(int row, int column) const override;
    int columnCount() const override;
    int rowCount() const override;
    QString columnDescription(int column) const override;
    QString rowDescription(int row) const override;
    int selectedCellCount() const override;
    QList<QAccessibleInterface *> selectedCells() const override;
    int selectedColumnCount() const override;
    int selectedRowCount() const override;
    QList<int> selectedColumns() const override;
    QList<int> selectedRows() const override;
    bool isColumnSelected(int column) const override;
    bool isRowSelected(int row) const override;
    // The selection is the user's and the program's: a client cannot change it.
    bool selectRow(int) override { return false; }
    bool selectColumn(int) override { return false; }
    bool unselectRow(int) override { return false; }
    bool unselectColumn(int) override { return false; }
    void modelChange(QAccessibleTableModelChangeEvent *event) override;

    QTableView *view() const;

private:
    void dropCells();

    mutable QHash<quint64, QAccessible::Id> m_cells;  // row and column -> registered cell interface
};

}  // namespace grid
