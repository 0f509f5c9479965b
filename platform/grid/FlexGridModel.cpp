// Flex grid cells and their operations; see FlexGridModel.h for the contracts.
#include "FlexGridModel.h"

#include "jet/Recordset.h"
#include "vb/Conversions.h"
#include "vb/Error.h"

#include <QCollator>
#include <algorithm>
#include <optional>

namespace grid {

namespace {

// One key cell read once per sort: its number when it reads as one, and its text.
struct SortKey {
    std::optional<double> number;
    QString text;
    std::optional<QCollatorSortKey> folded;  // the collation key, made when first compared as text
};

}  // namespace

FlexGridModel::FlexGridModel(QObject *parent) : QAbstractTableModel(parent)
{
    resize(2, 2);
    m_row = m_rowSel = 1;
}

void FlexGridModel::checkRow(int row) const
{
    if (row < 0 || row >= Rows())
        throw vb::Error::of(InvalidIndex, QStringLiteral("FlexGrid"), QString(), QStringLiteral("Subscript out of range"));
}

void FlexGridModel::checkCol(int col) const
{
    if (col < 0 || col >= m_cols)
        throw vb::Error::of(InvalidIndex, QStringLiteral("FlexGrid"), QString(), QStringLiteral("Subscript out of range"));
}

void FlexGridModel::resize(int rows, int cols)
{
    if (rows < 0 || cols < 0)
        throw vb::Error::of(InvalidIndex, QStringLiteral("FlexGrid"), QString(), QStringLiteral("Invalid Row value"));
    beginResetModel();
    m_rows.resize(static_cast<size_t>(rows));
    // A row of the right width is left alone: resizing a row shared with a snapshot would copy it.
    for (GridRow &r : m_rows) {
        if (r.text.size() != cols)
            r.text.resize(cols);
        if (r.back.size() != cols)
            r.back.resize(cols, White);
    }
    m_cols = cols;
    m_colWidth.resize(cols, -1);
    m_colAlignment.resize(cols, flexAlignGeneral);
    clampSelection();
    m_dirty = false;
    endResetModel();
    emit layoutOfColumnsChanged(-1);
}

void FlexGridModel::clampSelection()
{
    const int lastRow = std::max(0, Rows() - 1), lastCol = std::max(0, m_cols - 1);
    m_row = std::min(m_row, lastRow);
    m_rowSel = std::min(m_rowSel, lastRow);
    m_col = std::min(m_col, lastCol);
    m_colSel = std::min(m_colSel, lastCol);
    m_topRow = std::clamp(m_topRow, 0, lastRow);
}

void FlexGridModel::setRows(int rows)
{
    resize(rows, m_cols);
}

void FlexGridModel::setCols(int cols)
{
    resize(Rows(), cols);
}

void FlexGridModel::setFixedRows(int fixedRows)
{
    if (fixedRows < 0 || fixedRows > Rows())
        throw vb::Error::of(InvalidIndex, QStringLiteral("FlexGrid"), QString(), QStringLiteral("Invalid FixedRows value"));
    beginResetModel();
    m_fixedRows = fixedRows;
    endResetModel();
}

QString FlexGridModel::TextMatrix(int row, int col) const
{
    checkRow(row);
    checkCol(col);
    return m_rows[static_cast<size_t>(row)].text[col];
}

void FlexGridModel::setTextMatrix(int row, int col, const QString &text)
{
    checkRow(row);
    checkCol(col);
    m_rows[static_cast<size_t>(row)].text[col] = text;
    if (m_redraw) {
        const QModelIndex i = index(row, col);
        emit dataChanged(i, i);
        if (row < m_fixedRows)
            emit headerDataChanged(Qt::Horizontal, col, col);
    } else {
        m_dirty = true;
    }
}

const QVector<QString> &FlexGridModel::rowTexts(int row) const
{
    checkRow(row);
    return m_rows[static_cast<size_t>(row)].text;
}

void FlexGridModel::setRowTexts(int row, const QVector<QString> &texts)
{
    checkRow(row);
    QVector<QString> &target = m_rows[static_cast<size_t>(row)].text;
    target = texts;
    if (target.size() != m_cols)
        target.resize(m_cols);
    if (m_redraw) {
        if (m_cols > 0)
            emit dataChanged(index(row, 0), index(row, m_cols - 1));
        if (row < m_fixedRows && m_cols > 0)
            emit headerDataChanged(Qt::Horizontal, 0, m_cols - 1);
    } else {
        m_dirty = true;
    }
}

void FlexGridModel::Clear()
{
    for (GridRow &r : m_rows)
        std::fill(r.text.begin(), r.text.end(), QString());
    contentChanged();
}

void FlexGridModel::contentChanged()
{
    if (!m_redraw) {
        m_dirty = true;
        return;
    }
    m_dirty = false;
    if (Rows() > 0 && m_cols > 0)
        emit dataChanged(index(0, 0), index(Rows() - 1, m_cols - 1));
    if (m_cols > 0)
        emit headerDataChanged(Qt::Horizontal, 0, m_cols - 1);
}

void FlexGridModel::setRow(int row)
{
    checkRow(row);
    m_row = m_rowSel = row;
    m_colSel = m_col;
    emit selectionMoved();
}

void FlexGridModel::setCol(int col)
{
    checkCol(col);
    m_col = m_colSel = col;
    m_rowSel = m_row;
    emit selectionMoved();
}

void FlexGridModel::setRowSel(int row)
{
    checkRow(row);
    m_rowSel = row;
    emit selectionMoved();
}

void FlexGridModel::setColSel(int col)
{
    checkCol(col);
    m_colSel = col;
    emit selectionMoved();
}

void FlexGridModel::setSort(int order)
{
    if (order != flexSortGenericAscending && order != flexSortGenericDescending)
        return;
    const int first = m_fixedRows, count = Rows() - m_fixedRows;
    if (count < 2 || m_cols == 0)
        return;
    const int keyFrom = std::min(m_col, m_colSel), keyTo = std::max(m_col, m_colSel);
    const int keyCount = keyTo - keyFrom + 1;

    // Keys are read once: reading a number in the user's locale is the costly part.
    // So is folding a text for the collation: each text is folded once, not at every comparison
    // (the C locale's collator compares without ICU keys, so it keeps comparing texts).
    QCollator collator(vb::userLocale());
    collator.setCaseSensitivity(Qt::CaseInsensitive);
    const bool foldOnce = vb::userLocale().language() != QLocale::C;
    std::vector<SortKey> keys(static_cast<size_t>(count) * keyCount);
    for (int r = 0; r < count; ++r) {
        const GridRow &row = m_rows[static_cast<size_t>(first + r)];
        for (int k = 0; k < keyCount; ++k) {
            SortKey &key = keys[static_cast<size_t>(r) * keyCount + k];
            key.text = row.text[keyFrom + k];
            key.number = vb::parseNumber(key.text);
        }
    }
    auto folded = [&](SortKey &key) -> const QCollatorSortKey & {
        if (!key.folded)
            key.folded = collator.sortKey(key.text);
        return *key.folded;
    };
    auto compare = [&](int a, int b) {
        for (int k = 0; k < keyCount; ++k) {
            SortKey &x = keys[static_cast<size_t>(a) * keyCount + k];
            SortKey &y = keys[static_cast<size_t>(b) * keyCount + k];
            int c;
            if (x.number && y.number)
                c = *x.number < *y.number ? -1 : (*y.number < *x.number ? 1 : 0);
            else if (foldOnce)
                c = folded(x).compare(folded(y));
            else
                c = collator.compare(x.text, y.text);
            if (c != 0)
                return c;
        }
        return 0;
    };
    std::vector<int> order_(static_cast<size_t>(count));
    for (int i = 0; i < count; ++i)
        order_[static_cast<size_t>(i)] = i;
    const bool descending = order == flexSortGenericDescending;
    std::stable_sort(order_.begin(), order_.end(), [&](int a, int b) {
        const int c = compare(a, b);
        return descending ? c > 0 : c < 0;
    });

    std::vector<GridRow> sorted;
    sorted.reserve(static_cast<size_t>(count));
    for (int i : order_)
        sorted.push_back(std::move(m_rows[static_cast<size_t>(first + i)]));
    std::move(sorted.begin(), sorted.end(), m_rows.begin() + first);
    contentChanged();
}

void FlexGridModel::setRowPosition(int row, int position)
{
    checkRow(row);
    checkRow(position);
    if (row == position)
        return;
    auto from = m_rows.begin() + row, to = m_rows.begin() + position;
    if (row < position)
        std::rotate(from, from + 1, to + 1);
    else
        std::rotate(to, from, from + 1);
    contentChanged();
}

forms::OleColor FlexGridModel::cellBackColor(int row, int col) const
{
    checkRow(row);
    checkCol(col);
    return m_rows[static_cast<size_t>(row)].back[col];
}

void FlexGridModel::setCellBackColor(int row, int col, forms::OleColor color)
{
    checkRow(row);
    checkCol(col);
    m_rows[static_cast<size_t>(row)].back[col] = color;
    if (m_redraw) {
        const QModelIndex i = index(row, col);
        emit dataChanged(i, i, {Qt::BackgroundRole});
    } else {
        m_dirty = true;
    }
}

void FlexGridModel::setRowBackColor(int row, forms::OleColor color)
{
    checkRow(row);
    if (m_cols == 0)
        return;
    m_rows[static_cast<size_t>(row)].back.fill(color);
    if (m_redraw)
        emit dataChanged(index(row, 0), index(row, m_cols - 1), {Qt::BackgroundRole});
    else
        m_dirty = true;
}

void FlexGridModel::setRedraw(bool redraw)
{
    if (redraw == m_redraw)
        return;
    m_redraw = redraw;
    if (redraw && m_dirty)
        contentChanged();
    emit redrawChanged(redraw);
}

int FlexGridModel::ColWidth(int col) const
{
    checkCol(col);
    return m_colWidth[col];
}

void FlexGridModel::setColWidth(int col, int twips)
{
    checkCol(col);
    m_colWidth[col] = twips < 0 ? -1 : twips;
    emit layoutOfColumnsChanged(col);
}

int FlexGridModel::ColAlignment(int col) const
{
    checkCol(col);
    return m_colAlignment[col];
}

void FlexGridModel::setColAlignment(int col, int alignment)
{
    checkCol(col);
    m_colAlignment[col] = alignment;
    if (m_redraw && Rows() > 0)
        emit dataChanged(index(0, col), index(Rows() - 1, col), {Qt::TextAlignmentRole});
    else
        m_dirty = true;
}

void FlexGridModel::setTopRow(int row)
{
    checkRow(row);
    if (row == m_topRow)
        return;
    m_topRow = row;
    emit topRowChanged(row);
}

void FlexGridModel::setDataSource(jet::Recordset &recordset)
{
    const int cols = recordset.fieldCount();
    std::vector<GridRow> rows;
    GridRow header;
    header.text.reserve(cols);
    for (int c = 0; c < cols; ++c)
        header.text.push_back(recordset.fieldName(c));
    rows.push_back(std::move(header));
    if (!(recordset.bof() && recordset.eof())) {
        if (recordset.recordCount() != -1)
            recordset.moveFirst();
        while (!recordset.eof()) {
            GridRow row;
            row.text.reserve(cols);
            for (int c = 0; c < cols; ++c)
                row.text.push_back(recordset.text(c));
            rows.push_back(std::move(row));
            recordset.moveNext();
        }
    }
    for (GridRow &r : rows)
        r.back = QVector<forms::OleColor>(cols, White);

    beginResetModel();
    m_rows = std::move(rows);
    m_cols = cols;
    m_fixedRows = 1;
    m_colWidth = QVector<int>(cols, -1);
    m_colAlignment = QVector<int>(cols, flexAlignGeneral);
    m_row = m_rowSel = Rows() > 1 ? 1 : 0;
    m_col = m_colSel = 0;
    m_topRow = m_row;
    m_dirty = false;
    endResetModel();
    emit layoutOfColumnsChanged(-1);
    emit selectionMoved();
}

int FlexGridModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : Rows();
}

int FlexGridModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : m_cols;
}

namespace {

Qt::Alignment qtAlignment(int alignment, bool numeric)
{
    switch (alignment) {
    case flexAlignLeftTop: return Qt::AlignLeft | Qt::AlignTop;
    case flexAlignLeftCenter: return Qt::AlignLeft | Qt::AlignVCenter;
    case flexAlignLeftBottom: return Qt::AlignLeft | Qt::AlignBottom;
    case flexAlignCenterTop: return Qt::AlignHCenter | Qt::AlignTop;
    case flexAlignCenterCenter: return Qt::AlignCenter;
    case flexAlignCenterBottom: return Qt::AlignHCenter | Qt::AlignBottom;
    case flexAlignRightTop: return Qt::AlignRight | Qt::AlignTop;
    case flexAlignRightCenter: return Qt::AlignRight | Qt::AlignVCenter;
    case flexAlignRightBottom: return Qt::AlignRight | Qt::AlignBottom;
    default:  // general: numbers right, text left
        return (numeric ? Qt::AlignRight : Qt::AlignLeft) | Qt::AlignVCenter;
    }
}

}  // namespace

QVariant FlexGridModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || index.row() >= Rows() || index.column() >= m_cols)
        return {};
    const GridRow &row = m_rows[static_cast<size_t>(index.row())];
    switch (role) {
    case Qt::DisplayRole:
    case Qt::AccessibleTextRole:
        return row.text[index.column()];
    case Qt::BackgroundRole:
        if (index.row() < m_fixedRows)
            return QVariant::fromValue(forms::toQColor(forms::ButtonFace));
        return QVariant::fromValue(forms::toQColor(row.back[index.column()]));
    case Qt::TextAlignmentRole: {
        const int a = m_colAlignment[index.column()];
        const bool numeric = a == flexAlignGeneral && vb::parseNumber(row.text[index.column()]).has_value();
        return QVariant::fromValue(qtAlignment(a, numeric));
    }
    default:
        return {};
    }
}

QVariant FlexGridModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation == Qt::Horizontal && m_fixedRows > 0 && section >= 0 && section < m_cols
        && (role == Qt::DisplayRole || role == Qt::AccessibleTextRole))
        return m_rows.front().text[section];
    if (orientation == Qt::Vertical && role == Qt::DisplayRole)
        return section;
    return {};
}

Qt::ItemFlags FlexGridModel::flags(const QModelIndex &index) const
{
    if (!index.isValid())
        return Qt::NoItemFlags;
    return Qt::ItemIsEnabled | Qt::ItemIsSelectable;
}

}  // namespace grid
