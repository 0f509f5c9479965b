// Click-reporting list and the pairing of a list with the column beside it.
#include "PickList.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QScrollBar>
#include <optional>

namespace pendra {

PickList::PickList(QWidget *parent) : QListWidget(parent)
{
    setSelectionMode(QAbstractItemView::MultiSelection);
}

QItemSelectionModel::SelectionFlags PickList::selectionCommand(const QModelIndex &index, const QEvent *event) const
{
    if (!event)
        return QListWidget::selectionCommand(index, event);
    switch (event->type()) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
    case QEvent::MouseMove:
        return QItemSelectionModel::NoUpdate;  // the owner applies the click
    default:
        return QListWidget::selectionCommand(index, event);
    }
}

void PickList::mousePressEvent(QMouseEvent *event)
{
    QListWidget::mousePressEvent(event);
    const QModelIndex index = indexAt(event->position().toPoint());
    if (event->button() == Qt::LeftButton && index.isValid())
        emit picked(index.row(), event->modifiers().testFlag(Qt::ShiftModifier));
}

void PickList::mouseDoubleClickEvent(QMouseEvent *event)
{
    // The second click of a double click is a click too: it toggles the item back.
    QMouseEvent press(QEvent::MouseButtonPress, event->position(), event->scenePosition(), event->globalPosition(),
                      event->button(), event->buttons(), event->modifiers(), event->pointingDevice());
    mousePressEvent(&press);
}

void PickList::keyPressEvent(QKeyEvent *event)
{
    const bool shift = event->modifiers().testFlag(Qt::ShiftModifier);
    const bool other = event->modifiers() & ~(Qt::ShiftModifier | Qt::KeypadModifier);
    if (!other && (event->key() == Qt::Key_Space || event->key() == Qt::Key_Select)) {
        if (currentRow() >= 0)
            emit picked(currentRow(), shift);
        event->accept();
        return;
    }
    if (shift && !other) {
        std::optional<CursorAction> action;
        switch (event->key()) {
        case Qt::Key_Up: action = MoveUp; break;
        case Qt::Key_Down: action = MoveDown; break;
        case Qt::Key_PageUp: action = MovePageUp; break;
        case Qt::Key_PageDown: action = MovePageDown; break;
        case Qt::Key_Home: action = MoveHome; break;
        case Qt::Key_End: action = MoveEnd; break;
        default: break;
        }
        if (action) {
            const QModelIndex next = moveCursor(*action, event->modifiers());
            if (next.isValid()) {
                selectionModel()->setCurrentIndex(next, QItemSelectionModel::NoUpdate);
                scrollTo(next);
                emit picked(next.row(), true);
            }
            event->accept();
            return;
        }
    }
    QListWidget::keyPressEvent(event);
}

void pairLists(PickList *first, PickList *second)
{
    second->setFocusPolicy(Qt::NoFocus);
    second->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    second->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    second->setVerticalScrollMode(first->verticalScrollMode());

    QScrollBar *a = first->verticalScrollBar();
    QScrollBar *b = second->verticalScrollBar();
    QObject::connect(a, &QScrollBar::valueChanged, b, &QScrollBar::setValue);
    QObject::connect(b, &QScrollBar::valueChanged, a, &QScrollBar::setValue);  // the wheel over the second
    // A list laid out later than the other takes the other's position once its range is known.
    QObject::connect(b, &QScrollBar::rangeChanged, b, [a, b] { b->setValue(a->value()); });
    QObject::connect(a, &QScrollBar::rangeChanged, b, [a, b] { b->setValue(a->value()); });
    // A horizontal bar under the first shortens its rows' view: the second keeps the same height.
    QObject::connect(first->horizontalScrollBar(), &QScrollBar::rangeChanged, second, [second](int min, int max) {
        second->setHorizontalScrollBarPolicy(max > min ? Qt::ScrollBarAlwaysOn : Qt::ScrollBarAlwaysOff);
    });

    QObject::connect(first, &QListWidget::itemSelectionChanged, second, [first, second] {
        QItemSelection shown;
        const QModelIndexList rows = first->selectionModel()->selectedRows();
        for (const QModelIndex &row : rows) {
            const QModelIndex there = second->model()->index(row.row(), 0);
            if (there.isValid())
                shown.select(there, there);
        }
        second->selectionModel()->select(shown, QItemSelectionModel::ClearAndSelect);
    });
    QObject::connect(second, &PickList::picked, first, [first](int row, bool extend) {
        first->selectionModel()->setCurrentIndex(first->model()->index(row, 0), QItemSelectionModel::NoUpdate);
        first->setFocus(Qt::MouseFocusReason);
        emit first->picked(row, extend);
    });
}

}  // namespace pendra
