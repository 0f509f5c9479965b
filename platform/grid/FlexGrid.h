// The flex grid control: a QTableView over a FlexGridModel it owns, with the control's events.
#pragma once

#include "FlexGridModel.h"

#include <QTableView>

namespace grid {

// Code works on model(); the view follows it (current cell and selection, widths, top row, redraw)
// and reports the user's clicks and moves back into it. Row 0 (the fixed row) is drawn as the
// column header, so it stays in place while the data rows scroll.
class FlexGrid : public QTableView {
    Q_OBJECT
public:
    explicit FlexGrid(QWidget *parent = nullptr);

    FlexGridModel &grid() { return *m_model; }
    const FlexGridModel &grid() const { return *m_model; }

    // Width of a text in the grid's font, in twips.
    int TextWidth(const QString &text) const;
    // The grid's own width in twips.
    int widthTwips() const;
    // The cell under the pointer at the last mouse press (-1: none, as below the last row).
    int MouseRow() const { return m_mouseRow; }
    int MouseCol() const { return m_mouseCol; }

signals:
    // The user clicked a cell or a column header (after the current cell and selection moved).
    void Click();
    // The user made another cell current.
    void EnterCell();
    // A mouse button went down on the grid (Qt::MouseButton, keyboard modifiers, x, y in twips).
    void MouseDown(int button, int shift, double x, double y);
    // A key went down (the original key codes for arrows: 37 left, 38 up, 39 right, 40 down).
    void KeyDown(int keyCode, int shift);
    // The pop-up menu was asked for from the keyboard (the Menu key, Shift+F10); globalPos is on
    // the cell at the moving end of the selection.
    void MenuKey(QPoint globalPos);

protected:
    void mousePressEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void contextMenuEvent(QContextMenuEvent *event) override;

private:
    void followSelection();
    void followColumns(int col);  // -1: every row and column
    void followTopRow();
    void takeUserSelection();
    void headerClicked(int section);
    QPoint menuPosition() const;

    FlexGridModel *m_model;
    bool m_syncing = false;
    bool m_pressed = false;
    bool m_columnsPending = false;  // widths changed while drawing was suspended
    bool m_topRowPending = false;   // the top row changed while drawing was suspended
    int m_mouseRow = -1, m_mouseCol = -1;
};

}  // namespace grid
