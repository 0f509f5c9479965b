// Accessible grid: cell interfaces that hold a position, not a persistent model index.
#include "GridAccessible.h"

#include <QAbstractItemModel>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QPointer>
#include <QTableView>
#include <QWindow>

namespace grid {

namespace {

// One cell of the table's child grid: row -1 holds the column headers, column -1 the row headers.
class GridCell : public QAccessibleInterface, public QAccessibleTableCellInterface {
public:
    GridCell(QTableView *view, int row, int column) : m_view(view), m_row(row), m_column(column) {}

    bool isValid() const override
    {
        const QAbstractItemModel *m = model();
        return m && m_row < m->rowCount() && m_column < m->columnCount();
    }
    QObject *object() const override { return nullptr; }
    QWindow *window() const override { return m_view ? m_view->window()->windowHandle() : nullptr; }
    QAccessibleInterface *parent() const override { return m_view ? QAccessible::queryAccessibleInterface(m_view) : nullptr; }
    QAccessibleInterface *child(int) const override { return nullptr; }
    int childCount() const override { return 0; }
    int indexOfChild(const QAccessibleInterface *) const override { return -1; }
    QAccessibleInterface *childAt(int, int) const override { return nullptr; }

    QString text(QAccessible::Text t) const override
    {
        const QAbstractItemModel *m = model();
        if (!m || !isValid())
            return QString();
        if (t == QAccessible::Name) {
            if (m_row < 0 && m_column < 0)
                return QString();
            if (m_row < 0)
                return m->headerData(m_column, Qt::Horizontal).toString();
            if (m_column < 0)
                return m->headerData(m_row, Qt::Vertical).toString();
            const QModelIndex i = m->index(m_row, m_column);
            const QVariant spoken = m->data(i, Qt::AccessibleTextRole);
            return spoken.isValid() ? spoken.toString() : m->data(i, Qt::DisplayRole).toString();
        }
        if (t == QAccessible::Description && m_row >= 0 && m_column >= 0)
            return m->data(m->index(m_row, m_column), Qt::AccessibleDescriptionRole).toString();
        return QString();
    }
    void setText(QAccessible::Text, const QString &) override {}

    QRect rect() const override
    {
        if (!m_view || !isValid())
            return QRect();
        if (m_row >= 0 && m_column >= 0) {
            const QRect r = m_view->visualRect(model()->index(m_row, m_column));
            return QRect(m_view->viewport()->mapToGlobal(r.topLeft()), r.size());
        }
        if (m_row < 0 && m_column >= 0) {
            const QHeaderView *h = m_view->horizontalHeader();
            if (!h->isVisible())
                return QRect();
            return QRect(h->mapToGlobal(QPoint(h->sectionViewportPosition(m_column), 0)),
                         QSize(h->sectionSize(m_column), h->height()));
        }
        if (m_row >= 0) {
            const QHeaderView *h = m_view->verticalHeader();
            if (!h->isVisible())
                return QRect();
            return QRect(h->mapToGlobal(QPoint(0, h->sectionViewportPosition(m_row))),
                         QSize(h->width(), h->sectionSize(m_row)));
        }
        return QRect();
    }

    QAccessible::Role role() const override
    {
        if (m_row < 0)
            return QAccessible::ColumnHeader;
        if (m_column < 0)
            return QAccessible::RowHeader;
        return QAccessible::Cell;
    }

    QAccessible::State state() const override
    {
        QAccessible::State s;
        if (!m_view || !isValid()) {
            s.invalid = true;
            return s;
        }
        if (m_row >= 0 && m_column >= 0) {
            s.selectable = true;
            s.focusable = true;
            s.selected = isSelected();
            s.focused = m_view->hasFocus() && m_view->currentIndex() == model()->index(m_row, m_column);
            s.invisible = m_view->isRowHidden(m_row) || m_view->isColumnHidden(m_column);
        } else if (m_row < 0 && m_column >= 0) {
            s.invisible = !m_view->horizontalHeader()->isVisible() || m_view->isColumnHidden(m_column);
        } else {
            s.invisible = true;
        }
        return s;
    }

    void *interface_cast(QAccessible::InterfaceType type) override
    {
        if (type == QAccessible::TableCellInterface)
            return static_cast<QAccessibleTableCellInterface *>(this);
        return nullptr;
    }

    // QAccessibleTableCellInterface
    bool isSelected() const override
    {
        if (!m_view || !isValid() || m_row < 0 || m_column < 0 || !m_view->selectionModel())
            return false;
        return m_view->selectionModel()->isSelected(model()->index(m_row, m_column));
    }
    QList<QAccessibleInterface *> columnHeaderCells() const override
    {
        QList<QAccessibleInterface *> out;
        if (m_row >= 0 && m_column >= 0)
            if (QAccessibleInterface *t = parent())
                if (QAccessibleInterface *h = t->child(m_column + 1))
                    out << h;
        return out;
    }
    QList<QAccessibleInterface *> rowHeaderCells() const override { return {}; }
    int columnIndex() const override { return m_column; }
    int rowIndex() const override { return m_row; }
    int columnExtent() const override { return 1; }
    int rowExtent() const override { return 1; }
    QAccessibleInterface *table() const override { return parent(); }

    int row() const { return m_row; }
    int column() const { return m_column; }
    const QTableView *view() const { return m_view; }

private:
    const QAbstractItemModel *model() const { return m_view ? m_view->model() : nullptr; }

    QPointer<QTableView> m_view;
    int m_row, m_column;
};

QAccessibleInterface *gridFactory(const QString &className, QObject *object)
{
    if (className == QLatin1String("grid::FlexGrid"))
        if (auto *view = qobject_cast<QTableView *>(object))
            return new GridAccessible(view);
    return nullptr;
}

}  // namespace

GridAccessible::GridAccessible(QTableView *view) : QAccessibleWidget(view, QAccessible::Table) {}

GridAccessible::~GridAccessible()
{
    dropCells();
}

void GridAccessible::install()
{
    static const bool installed = [] {
        QAccessible::installFactory(gridFactory);
        return true;
    }();
    Q_UNUSED(installed);
}

QTableView *GridAccessible::view() const
{
    return static_cast<QTableView *>(widget());
}

void GridAccessible::dropCells()
{
    const QHash<quint64, QAccessible::Id> cells = std::exchange(m_cells, {});
    for (QAccessible::Id id : cells)
        QAccessible::deleteAccessibleInterface(id);
}

QAccessible::Role GridAccessible::role() const
{
    return QAccessible::Table;
}

int GridAccessible::columnCount() const
{
    const QAbstractItemModel *m = view()->model();
    return m ? m->columnCount() : 0;
}

int GridAccessible::rowCount() const
{
    const QAbstractItemModel *m = view()->model();
    return m ? m->rowCount() : 0;
}

int GridAccessible::childCount() const
{
    return (rowCount() + 1) * (columnCount() + 1);
}

QAccessibleInterface *GridAccessible::child(int index) const
{
    if (index < 0 || index >= childCount())
        return nullptr;
    const int stride = columnCount() + 1;
    const int row = index / stride - 1, column = index % stride - 1;
    // Keyed by position, so a cell read before the columns changed is not taken for another one.
    const quint64 key = (quint64(quint32(row + 1)) << 32) | quint32(column + 1);
    if (auto it = m_cells.constFind(key); it != m_cells.constEnd())
        if (QAccessibleInterface *cached = QAccessible::accessibleInterface(*it))
            return cached;
    auto *cell = new GridCell(view(), row, column);
    m_cells.insert(key, QAccessible::registerAccessibleInterface(cell));
    return cell;
}

int GridAccessible::indexOfChild(const QAccessibleInterface *child) const
{
    const auto *cell = dynamic_cast<const GridCell *>(child);
    if (!cell || cell->view() != view())
        return -1;
    return (cell->row() + 1) * (columnCount() + 1) + cell->column() + 1;
}

QAccessibleInterface *GridAccessible::cellAt(int row, int column) const
{
    if (row < 0 || column < 0 || row >= rowCount() || column >= columnCount())
        return nullptr;
    return child((row + 1) * (columnCount() + 1) + column + 1);
}

QAccessibleInterface *GridAccessible::childAt(int x, int y) const
{
    const QModelIndex i = view()->indexAt(view()->viewport()->mapFromGlobal(QPoint(x, y)));
    return i.isValid() ? cellAt(i.row(), i.column()) : nullptr;
}

QAccessibleInterface *GridAccessible::focusChild() const
{
    const QModelIndex i = view()->currentIndex();
    return i.isValid() ? cellAt(i.row(), i.column()) : nullptr;
}

void *GridAccessible::interface_cast(QAccessible::InterfaceType type)
{
    if (type == QAccessible::TableInterface)
        return static_cast<QAccessibleTableInterface *>(this);
    return QAccessibleWidget::interface_cast(type);
}

QString GridAccessible::columnDescription(int column) const
{
    const QAbstractItemModel *m = view()->model();
    return m ? m->headerData(column, Qt::Horizontal).toString() : QString();
}

QString GridAccessible::rowDescription(int row) const
{
    const QAbstractItemModel *m = view()->model();
    return m ? m->headerData(row, Qt::Vertical).toString() : QString();
}

int GridAccessible::selectedCellCount() const
{
    const QItemSelectionModel *s = view()->selectionModel();
    return s ? int(s->selectedIndexes().size()) : 0;
}

QList<QAccessibleInterface *> GridAccessible::selectedCells() const
{
    QList<QAccessibleInterface *> out;
    if (const QItemSelectionModel *s = view()->selectionModel())
        for (const QModelIndex &i : s->selectedIndexes())
            if (QAccessibleInterface *c = cellAt(i.row(), i.column()))
                out << c;
    return out;
}

QList<int> GridAccessible::selectedColumns() const
{
    QList<int> out;
    if (const QItemSelectionModel *s = view()->selectionModel())
        for (const QModelIndex &i : s->selectedColumns())
            out << i.column();
    return out;
}

QList<int> GridAccessible::selectedRows() const
{
    QList<int> out;
    if (const QItemSelectionModel *s = view()->selectionModel())
        for (const QModelIndex &i : s->selectedRows())
            out << i.row();
    return out;
}

int GridAccessible::selectedColumnCount() const
{
    return int(selectedColumns().size());
}

int GridAccessible::selectedRowCount() const
{
    return int(selectedRows().size());
}

bool GridAccessible::isColumnSelected(int column) const
{
    const QItemSelectionModel *s = view()->selectionModel();
    return s && s->isColumnSelected(column);
}

bool GridAccessible::isRowSelected(int row) const
{
    const QItemSelectionModel *s = view()->selectionModel();
    return s && s->isRowSelected(row);
}

void GridAccessible::modelChange(QAccessibleTableModelChangeEvent *event)
{
    // A cell reads its text when asked, so changed data needs nothing; a changed shape renumbers children.
    if (event->modelChangeType() != QAccessibleTableModelChangeEvent::DataChanged)
        dropCells();
}

}  // namespace grid
