// A list of several selectable items whose clicks are reported, not applied: the owner decides
// what a click selects (a plain click toggles, Shift extends) and shows it.
#pragma once

#include <QListWidget>

namespace pendra {

// Mouse presses (each click of a double click too), Space, and Shift with the arrow, page, Home and End keys emit picked() and change
// no selection themselves; plain arrows only move the current item. Selecting from code works as
// in any list.
class PickList : public QListWidget {
    Q_OBJECT
public:
    explicit PickList(QWidget *parent = nullptr);

signals:
    // Row row was clicked, or reached with a Shift key (extend true).
    void picked(int row, bool extend);

protected:
    QItemSelectionModel::SelectionFlags selectionCommand(const QModelIndex &index,
                                                         const QEvent *event) const override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
};

// Keeps a second list row for row beside the first: the two scroll together, the second shows
// the first's selection, and a press on one of its rows is a press on that row of the first.
// The second list takes no focus and shows no vertical scroll bar of its own.
void pairLists(PickList *first, PickList *second);

}  // namespace pendra
