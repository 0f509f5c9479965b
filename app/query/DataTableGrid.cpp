// Colours, widths, sorts and search of the data table grid.
#include "DataTableGrid.h"

#include "grid/FlexGridModel.h"

#include "forms/DialogService.h"
#include "forms/FormRegistry.h"
#include "forms/MousePointer.h"
#include "forms/Twips.h"
#include "vb/Conversions.h"

#include <QCoreApplication>
#include <QFontMetricsF>
#include <QHash>

#include <array>
#include <QPointer>
#include <cmath>
#include <memory>

namespace pendra {

namespace {

constexpr forms::OleColor White = 0x00FFFFFF;
constexpr forms::OleColor Green = 0x0000FF00;

// Rows between two yields to pending events: often enough to stay responsive, rarely enough that
// the yields cost less than the colouring.
constexpr int RowsPerYield = 64;
// Rows whose texts AutosizeCols measures in each column, besides the longest text.
constexpr int MeasuredRows = 256;

// Puts the grid, the pointer and the sorting flag back however a sort or search ends.
class SortScope {
public:
    SortScope(grid::FlexGridModel &grid, bool &sorting) : m_grid(&grid), m_sorting(sorting)
    {
        forms::setMousePointer(forms::MousePointer::Hourglass);
        grid.setRedraw(false);
        sorting = true;
    }
    ~SortScope()
    {
        if (m_grid)
            m_grid->setRedraw(true);
        m_sorting = false;
        forms::setMousePointer(forms::MousePointer::Default);
    }
    SortScope(const SortScope &) = delete;
    SortScope &operator=(const SortScope &) = delete;

private:
    QPointer<grid::FlexGridModel> m_grid;
    bool &m_sorting;
};

// Colours row by row without moving the current cell or the selection: the selection a search
// has just made must survive its colouring.
template <class ColourOf> void colourRows(grid::FlexGridModel &grid, ColourOf colourOf)
{
    QPointer<grid::FlexGridModel> alive(&grid);
    const bool redraw = grid.Redraw();
    grid.setRedraw(false);
    for (int r = 1; r < grid.Rows(); ++r) {
        if (r % RowsPerYield == 1) {
            forms::yieldToEvents();
            if (!alive)
                return;
        }
        grid.setRowBackColor(r, colourOf(r));
    }
    if (redraw)
        grid.setRedraw(true);
}

}  // namespace

void ColorGridLines(grid::FlexGridModel &grid)
{
    colourRows(grid, [](int r) { return r % 2 == 1 ? White : forms::ButtonFace; });
}

void ColorGridLinesToT(grid::FlexGridModel &grid)
{
    colourRows(grid, [&grid](int r) {
        return grid.Cols() > 3 && grid.TextMatrix(r, 3) == QLatin1String("TOTALE") ? Green : White;
    });
}

void AutosizeCols(grid::FlexGridModel &grid, const std::function<int(QStringView)> &textWidth, int gridWidth)
{
    const bool redraw = grid.Redraw();
    grid.setRedraw(false);
    const int q = textWidth(QStringLiteral("Q"));
    // Measuring every cell of a municipal table costs far more than filling it: measure a sample
    // of rows spread over the table, the header among them, and the longest text of each column.
    const int rows = grid.Rows(), cols = grid.Cols();
    const int step = std::max(1, rows / MeasuredRows);
    // Row by row, as the grid keeps its texts: walking a municipal table column by column
    // missed the cache on nearly every cell.
    std::vector<int> widths(size_t(cols), 0), longestRow(size_t(cols), -1);
    std::vector<qsizetype> longest(size_t(cols), -1);
    for (int r = 0; r < rows; ++r) {
        const QVector<QString> &texts = grid.rowTexts(r);
        const bool measured = r % step == 0;
        for (int c = 0; c < cols; ++c) {
            // Read in place: a copy of each text would touch the header of every cell's block.
            const QStringView trimmed = QStringView(texts[c]).trimmed();
            if (trimmed.size() > longest[size_t(c)]) {
                longest[size_t(c)] = trimmed.size();
                longestRow[size_t(c)] = r;
            }
            if (measured)
                widths[size_t(c)] =
                    std::max(widths[size_t(c)], textWidth(trimmed));
        }
    }
    for (int c = 0; c < cols; ++c) {
        int w = widths[size_t(c)];
        const int row = longestRow[size_t(c)];
        if (row >= 0 && row % step != 0)
            w = std::max(w, textWidth(grid.TextMatrix(row, c).trimmed()));
        grid.setColWidth(c, gridWidth < w + q ? static_cast<int>(gridWidth / 1.5) : w + q);
    }
    if (redraw)
        grid.setRedraw(true);
}

std::function<int(QStringView)> CharacterTextWidth(const QFont &font)
{
    // The Latin-1 letters and figures a table is made of in a flat table, the rest in a hash.
    struct Advances {
        explicit Advances(const QFont &font) : metrics(font) { latin1.fill(-1); }
        qreal of(QChar ch)
        {
            const char16_t code = ch.unicode();
            if (code < latin1.size()) {
                qreal &known = latin1[code];
                if (known < 0)
                    known = metrics.horizontalAdvance(ch);
                return known;
            }
            auto it = others.constFind(code);
            if (it == others.constEnd())
                it = others.insert(code, metrics.horizontalAdvance(ch));
            return *it;
        }
        QFontMetricsF metrics;
        std::array<qreal, 256> latin1;
        QHash<char16_t, qreal> others;
    };
    auto advances = std::make_shared<Advances>(font);
    return [advances](QStringView text) {
        qreal width = 0;
        for (const QChar ch : text)
            width += advances->of(ch);
        return static_cast<int>(std::ceil(width)) * forms::TwipsPerPixel;
    };
}

int FindHeader(const grid::FlexGridModel &grid, const QString &header)
{
    if (grid.Rows() == 0)
        return -1;
    for (int c = 0; c < grid.Cols(); ++c)
        if (grid.TextMatrix(0, c) == header)
            return c;
    return -1;
}

void SortOnColumn(grid::FlexGridModel &grid, int column, int order, bool &sorting)
{
    SortScope scope(grid, sorting);
    grid.setCol(column);
    grid.setSort(order);
    ColorGridLines(grid);
    grid.setCol(column);
}

void SearchColumn(grid::FlexGridModel &grid, int column, const QString &da, QString &a, bool &sorting)
{
    if (da.trimmed().isEmpty() || column < 0)
        return;
    if (a.trimmed().isEmpty() && vb::IsNumeric(da))
        a = da;
    const bool range = vb::IsNumeric(da) && vb::IsNumeric(a);
    double from = 0, to = 0;
    if (range) {
        from = std::floor(vb::CDbl(vb::Variant(da)));
        to = std::floor(vb::CDbl(vb::Variant(a)));
        if (to < from) {
            forms::dialogs().msgBox(QStringLiteral("Il secondo numero deve essere maggiore o uguale al primo!"),
                                    forms::vbInformation, QStringLiteral("Attenzione"));
            return;
        }
    } else if (!a.trimmed().isEmpty()) {
        forms::dialogs().msgBox(QStringLiteral("Per fare una ricerca da --- a inserire due numeri interi!"),
                                forms::vbInformation, QStringLiteral("Attenzione"));
        return;
    }

    SortScope scope(grid, sorting);
    grid.setCol(column);
    grid.setSort(grid::flexSortGenericAscending);
    if (!range) {
        const QString wanted = da.trimmed().toLower();
        for (int r = 1; r < grid.Rows(); ++r) {
            if (grid.TextMatrix(r, column).trimmed().toLower() == wanted) {
                grid.setRowPosition(r, 1);
                grid.setRow(1);
                grid.setCol(column);
            }
        }
    } else {
        int p = 1;
        for (int r = 1; r < grid.Rows(); ++r) {
            const QString cell = grid.TextMatrix(r, column).trimmed();
            if (cell.isEmpty() || !vb::IsNumeric(cell))
                continue;
            const double whole = std::floor(vb::CDbl(vb::Variant(cell)));
            if (whole >= from && whole <= to)
                grid.setRowPosition(r, p++);
        }
        const int matches = p - 1;
        if (grid.Rows() > 1)
            grid.setTopRow(1);
        grid.setRow(matches > 0 ? 1 : 0);
        grid.setCol(column);
        if (matches > 0)
            grid.setRowSel(matches);
    }
    ColorGridLines(grid);
}

}  // namespace pendra
