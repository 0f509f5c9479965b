// The flex grid view: keeps the QTableView in step with the model both ways.
#include "FlexGrid.h"

#include "GridAccessible.h"

#include "forms/Twips.h"

#include <QApplication>
#include <QContextMenuEvent>
#include <QPainter>
#include <QStyledItemDelegate>
#include <QFontMetrics>
#include <QHash>
#include <QHeaderView>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QScrollBar>

#include <array>
#include <utility>

namespace grid {

namespace {

int qtKeyToKeyCode(int key)
{
    switch (key) {
    case Qt::Key_Left: return 37;
    case Qt::Key_Up: return 38;
    case Qt::Key_Right: return 39;
    case Qt::Key_Down: return 40;
    default: return key;
    }
}

int shiftState(Qt::KeyboardModifiers modifiers)
{
    return ((modifiers & Qt::ShiftModifier) ? 1 : 0) | ((modifiers & Qt::ControlModifier) ? 2 : 0)
         | ((modifiers & Qt::AltModifier) ? 4 : 0);
}

// Paints a cell as the styled delegate does for a plain text (background or selection, the text
// in its alignment, elided when it does not fit, the focus frame), without the per-cell option
// set-up and text layout that drawing hundreds of visible cells at once spent most of its time on.
class CellDelegate : public QStyledItemDelegate {
public:
    explicit CellDelegate(QObject *parent) : QStyledItemDelegate(parent) { m_latin1.fill(-1); }

    void paint(QPainter *painter, const QStyleOptionViewItem &option, const QModelIndex &index) const override
    {
        const QWidget *widget = option.widget;
        const QStyle *style = widget ? widget->style() : QApplication::style();
        const QPalette::ColorGroup group = !(option.state & QStyle::State_Enabled) ? QPalette::Disabled
                                         : (option.state & QStyle::State_Active) ? QPalette::Normal
                                                                                 : QPalette::Inactive;
        const bool selected = option.state & QStyle::State_Selected;
        if (selected) {
            painter->fillRect(option.rect, option.palette.brush(group, QPalette::Highlight));
        } else {
            const QVariant back = index.data(Qt::BackgroundRole);
            // The model gives plain colours: filled as such, without a brush made per cell.
            if (back.typeId() == QMetaType::QColor)
                painter->fillRect(option.rect, *static_cast<const QColor *>(back.constData()));
            else if (back.isValid())
                painter->fillRect(option.rect, qvariant_cast<QBrush>(back));
        }
        const QString text = index.data(Qt::DisplayRole).toString();
        if (!text.isEmpty()) {
            const int margin = style->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, widget) + 1;
            const QRect box = option.rect.adjusted(margin, 0, -margin, 0);
            const QVariant alignment = index.data(Qt::TextAlignmentRole);
            const int flags = (alignment.isValid() ? alignment.toInt() : int(Qt::AlignLeft | Qt::AlignVCenter)) |
                              Qt::TextSingleLine;
            const QFontMetrics &metrics = option.fontMetrics;
            if (painter->font() != option.font)
                painter->setFont(option.font);
            painter->setPen(option.palette.color(group, selected ? QPalette::HighlightedText : QPalette::Text));
            // Most texts fit by far: the sum of their letters' advances says so without shaping
            // them a second time; a text near the edge is measured as a whole.
            if (estimatedWidth(option.font, metrics, text) < box.width() - 1 ||
                metrics.horizontalAdvance(text) <= box.width())
                painter->drawText(box, flags, text);
            else
                painter->drawText(box, flags, metrics.elidedText(text, option.textElideMode, box.width()));
        }
        if (option.state & QStyle::State_HasFocus) {
            QStyleOptionFocusRect focus;
            focus.QStyleOption::operator=(option);
            focus.state |= QStyle::State_KeyboardFocusChange | QStyle::State_Item;
            focus.backgroundColor = option.palette.color(group, selected ? QPalette::Highlight : QPalette::Window);
            style->drawPrimitive(QStyle::PE_FrameFocusRect, &focus, painter, widget);
        }
    }

private:
    qreal estimatedWidth(const QFont &font, const QFontMetrics &metrics, const QString &text) const
    {
        if (font != m_font) {
            m_font = font;
            m_latin1.fill(-1);
            m_others.clear();
        }
        qreal width = 0;
        for (const QChar ch : text) {
            const char16_t code = ch.unicode();
            qreal *known = code < m_latin1.size() ? &m_latin1[code] : nullptr;
            if (!known) {
                auto it = m_others.find(code);
                if (it == m_others.end())
                    it = m_others.insert(code, -1);
                known = &*it;
            }
            if (*known < 0)
                *known = metrics.horizontalAdvance(ch);
            width += *known;
        }
        return width;
    }

    mutable QFont m_font;
    mutable std::array<qreal, 256> m_latin1;  // -1: not measured yet
    mutable QHash<char16_t, qreal> m_others;
};

// The column header measures up to two hundred header texts for its size hint each time it
// forgets it, and it forgets it on every resized section: opening a table of 255 columns measured
// them four times. The hint depends on the texts, the font and the style, so it is kept until one
// of them changes; and it is measured on the longest text and on any of more than one line, the
// headers being column names of like letters.
class GridHeader : public QHeaderView {
public:
    GridHeader(const FlexGridModel &model, QWidget *parent) : QHeaderView(Qt::Horizontal, parent), m_model(model) {}

    QSize sizeHint() const override
    {
        // Once the grid's model is gone (the grid is being destroyed) the header shows no texts.
        const bool ours = model() == static_cast<const QAbstractItemModel *>(&m_model);
        const QVector<QString> texts = ours && m_model.FixedRows() > 0 && m_model.Rows() > 0 ? m_model.rowTexts(0)
                                                                                            : QVector<QString>();
        if (!m_hint.isValid() || count() != m_count || texts != m_texts || font() != m_font) {
            m_hint = measuredHint(texts);
            m_count = count();
            m_texts = texts;
            m_font = font();
        }
        return m_hint;
    }

protected:
    QSize measuredHint(const QVector<QString> &texts) const
    {
        QSize hint(0, 0);
        int longest = -1;
        qsizetype longestSize = -1;
        for (int c = 0; c < count(); ++c) {
            if (isSectionHidden(c))
                continue;
            const QStringView text = c < texts.size() ? QStringView(texts[c]) : QStringView();
            if (text.contains(QLatin1Char('\n'))) {
                hint = hint.expandedTo(sectionSizeFromContents(c));
            } else if (text.size() > longestSize) {
                longest = c;
                longestSize = text.size();
            }
        }
        return longest < 0 ? hint : hint.expandedTo(sectionSizeFromContents(longest));
    }

    void changeEvent(QEvent *event) override
    {
        if (event->type() == QEvent::StyleChange || event->type() == QEvent::FontChange)
            m_hint = QSize();
        QHeaderView::changeEvent(event);
    }

private:
    const FlexGridModel &m_model;
    mutable QSize m_hint;
    mutable int m_count = 0;
    mutable QVector<QString> m_texts;
    mutable QFont m_font;
};

}  // namespace

FlexGrid::FlexGrid(QWidget *parent) : QTableView(parent), m_model(new FlexGridModel(this))
{
    GridAccessible::install();
    setHorizontalHeader(new GridHeader(*m_model, this));
    setModel(m_model);
    setItemDelegate(new CellDelegate(this));
    verticalHeader()->hide();
    verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 4);
    horizontalHeader()->setSectionsClickable(true);
    horizontalHeader()->setHighlightSections(false);
    setSelectionMode(QAbstractItemView::ContiguousSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setWordWrap(false);
    // Tab leaves the grid for the window's next control (the arrows move between cells), so a
    // keyboard user is never caught in a table of thousands of cells.
    setTabKeyNavigation(false);

    connect(m_model, &FlexGridModel::selectionMoved, this, &FlexGrid::followSelection);
    connect(m_model, &FlexGridModel::layoutOfColumnsChanged, this, &FlexGrid::followColumns);
    connect(m_model, &FlexGridModel::modelReset, this, [this] {
        followColumns(-1);
        followSelection();
        followTopRow();
    });
    connect(m_model, &FlexGridModel::topRowChanged, this, &FlexGrid::followTopRow);
    connect(m_model, &FlexGridModel::redrawChanged, this, [this](bool redraw) {
        setUpdatesEnabled(redraw);
        if (redraw) {
            if (m_columnsPending)
                followColumns(-1);
            followSelection();
            if (std::exchange(m_topRowPending, false))
                followTopRow();
            // The layout the changes left pending is done now, so the paint that follows is the
            // last: done later it would paint the table a second time.
            executeDelayedItemsLayout();
            viewport()->update();
        }
    });
    connect(selectionModel(), &QItemSelectionModel::selectionChanged, this, &FlexGrid::takeUserSelection);
    connect(selectionModel(), &QItemSelectionModel::currentChanged, this, &FlexGrid::takeUserSelection);
    connect(horizontalHeader(), &QHeaderView::sectionClicked, this, &FlexGrid::headerClicked);
    connect(verticalScrollBar(), &QScrollBar::valueChanged, this, [this] {
        if (m_syncing)
            return;
        const int top = rowAt(0);
        if (top >= 0) {
            m_syncing = true;
            m_model->setTopRow(top);
            m_syncing = false;
        }
    });
    followColumns(-1);
}

int FlexGrid::TextWidth(const QString &text) const
{
    return static_cast<int>(forms::pixelsToTwips(fontMetrics().horizontalAdvance(text)));
}

int FlexGrid::widthTwips() const
{
    return static_cast<int>(forms::pixelsToTwips(width()));
}

void FlexGrid::followSelection()
{
    if (m_syncing || !m_model->Redraw())
        return;
    m_syncing = true;
    const FlexGridModel &g = *m_model;
    if (g.Rows() > 0 && g.Cols() > 0) {
        const QModelIndex current = g.index(g.Row(), g.Col());
        // Through the view, so that a following Shift selection of the user starts at Row/Col.
        QTableView::setCurrentIndex(current);
        const QItemSelection range(g.index(std::min(g.Row(), g.RowSel()), std::min(g.Col(), g.ColSel())),
                                   g.index(std::max(g.Row(), g.RowSel()), std::max(g.Col(), g.ColSel())));
        selectionModel()->select(range, QItemSelectionModel::ClearAndSelect);
    } else {
        selectionModel()->clear();
    }
    m_syncing = false;
}

void FlexGrid::followColumns(int col)
{
    const FlexGridModel &g = *m_model;
    // Resizing sections one by one costs a relayout each: while drawing is suspended, do them all at the end.
    if (!g.Redraw()) {
        m_columnsPending = true;
        return;
    }
    if (m_columnsPending) {
        m_columnsPending = false;
        col = -1;
    }
    if (col < 0) {
        for (int r = 0; r < g.Rows(); ++r)
            setRowHidden(r, r < g.FixedRows());
        horizontalHeader()->setVisible(g.FixedRows() > 0);
    }
    const int first = col < 0 ? 0 : col, last = col < 0 ? g.Cols() - 1 : col;
    QHeaderView *header = horizontalHeader();
    // The view answers every resized section with a relayout; one at the end does for all.
    const bool blocked = header->blockSignals(true);
    for (int c = first; c <= last; ++c) {
        const int w = g.ColWidth(c);
        header->setSectionHidden(c, w == 0);
        if (w > 0)
            header->resizeSection(c, std::max(1, static_cast<int>(forms::twipsToPixels(w))));
        else if (w < 0)
            header->resizeSection(c, header->defaultSectionSize());
    }
    header->blockSignals(blocked);
    updateGeometries();
    viewport()->update();
}

void FlexGrid::followTopRow()
{
    if (m_syncing)
        return;
    const FlexGridModel &g = *m_model;
    // Scrolling lays the rows out at once: while drawing is suspended, once at the end does.
    if (!g.Redraw()) {
        m_topRowPending = true;
        return;
    }
    if (g.TopRow() < 0 || g.TopRow() >= g.Rows() || g.Cols() == 0)
        return;
    m_syncing = true;
    scrollTo(g.index(g.TopRow(), 0), QAbstractItemView::PositionAtTop);
    m_syncing = false;
}

void FlexGrid::takeUserSelection()
{
    if (m_syncing)
        return;
    const QModelIndex current = selectionModel()->currentIndex();
    if (!current.isValid())
        return;
    FlexGridModel &g = *m_model;
    // Qt's current cell is the moving end of a drag or Shift selection; the grid keeps it in
    // RowSel/ColSel, and Row/Col stay on the cell where the selection started.
    const bool moved = current.row() != g.RowSel() || current.column() != g.ColSel();
    int row = current.row(), col = current.column();
    const QItemSelection selection = selectionModel()->selection();
    // A click moves the current cell before the selection: a range without the new current cell
    // is the old one, and the cell alone is the selection until the range follows.
    if (selection.size() == 1 && selection.first().contains(current)) {
        const QItemSelectionRange &r = selection.first();
        row = r.top() == current.row() ? r.bottom() : r.top();
        col = r.left() == current.column() ? r.right() : r.left();
    }
    m_syncing = true;
    g.setRow(row);
    g.setCol(col);
    g.setRowSel(current.row());
    g.setColSel(current.column());
    m_syncing = false;
    if (moved)
        emit EnterCell();
}

void FlexGrid::headerClicked(int section)
{
    FlexGridModel &g = *m_model;
    if (g.Rows() <= g.FixedRows())
        return;
    g.setRow(g.FixedRows());
    g.setCol(section);
    g.setRowSel(g.Rows() - 1);
    g.setColSel(section);
    emit EnterCell();
    emit Click();
}

void FlexGrid::mousePressEvent(QMouseEvent *event)
{
    const QModelIndex under = indexAt(event->position().toPoint());
    m_mouseRow = under.isValid() ? under.row() : -1;
    m_mouseCol = under.isValid() ? under.column() : -1;
    emit MouseDown(static_cast<int>(event->button()), shiftState(event->modifiers()),
                   forms::pixelsToTwips(event->position().x()), forms::pixelsToTwips(event->position().y()));
    m_pressed = true;
    if (event->button() == Qt::RightButton)
        return;  // the right button only asks for the pop-up; the selection stays
    QTableView::mousePressEvent(event);
}

void FlexGrid::mouseReleaseEvent(QMouseEvent *event)
{
    QTableView::mouseReleaseEvent(event);
    if (m_pressed && event->button() == Qt::LeftButton)
        emit Click();
    m_pressed = false;
}

void FlexGrid::keyPressEvent(QKeyEvent *event)
{
    emit KeyDown(qtKeyToKeyCode(event->key()), shiftState(event->modifiers()));
    // The Menu key arrives as a context-menu event of its own; Shift+F10 only as a key.
    if (event->key() == Qt::Key_F10 && event->modifiers() == Qt::ShiftModifier) {
        event->accept();
        emit MenuKey(menuPosition());
        return;
    }
    QTableView::keyPressEvent(event);
}

void FlexGrid::contextMenuEvent(QContextMenuEvent *event)
{
    // A mouse press has already been reported (MouseDown); the keyboard asks here.
    if (event->reason() == QContextMenuEvent::Keyboard) {
        event->accept();
        emit MenuKey(menuPosition());
        return;
    }
    QTableView::contextMenuEvent(event);
}

QPoint FlexGrid::menuPosition() const
{
    const QModelIndex current = currentIndex();
    QRect cell = current.isValid() ? visualRect(current) : QRect();
    if (!cell.isValid() || !viewport()->rect().intersects(cell))
        return viewport()->mapToGlobal(viewport()->rect().center());
    return viewport()->mapToGlobal(cell.intersected(viewport()->rect()).center());
}

}  // namespace grid
