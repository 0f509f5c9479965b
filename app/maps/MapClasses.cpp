// Statistics of the mapped column and the rules that turn it into quartile, manual or equal-width classes.
#include "MapClasses.h"

#include "forms/DialogService.h"
#include "vb/Conversions.h"
#include "vb/Error.h"

namespace pendra {

namespace {

bool isEmptyCell(const QString &cell)
{
    return cell.trimmed().isEmpty();
}

// Sums of a couple of decimals leave binary noise (3,34 + 3,33 - 0,01): write what the user means.
QString numberText(double value)
{
    return vb::CStr(vb::Variant(vb::Round(value, 10)));
}

ClassMessage info(const QString &text, ClassMessage::Focus focus = ClassMessage::NoFocus)
{
    return {text, forms::vbInformation, QString(), focus};
}

ClassMessage attention(const QString &text)
{
    return {text, forms::vbExclamation, QStringLiteral("Attenzione!"), ClassMessage::ClassBox};
}

// Empty boxes read as "0"; a box the locale cannot read gives a message naming it.
std::optional<ClassMessage> readBoxes(ClassBoxes &boxes, double &lower, double &upper)
{
    if (boxes.txtMin.isEmpty())
        boxes.txtMin = QStringLiteral("0");
    if (boxes.txtMax.isEmpty())
        boxes.txtMax = QStringLiteral("0");
    const auto lo = vb::parseNumber(boxes.txtMin);
    if (!lo)
        return info(classmsg::NotANumber, ClassMessage::MinBox);
    const auto up = vb::parseNumber(boxes.txtMax);
    if (!up)
        return info(classmsg::NotANumber, ClassMessage::MaxBox);
    lower = *lo;
    upper = *up;
    return std::nullopt;
}

bool outside(double value, const ColumnStatistics &stats)
{
    return value < stats.MinValue || value > stats.MaxValue;
}

}  // namespace

ColumnStatistics ColumnStats(const MapColumn &cells)
{
    ColumnStatistics stats;
    bool seen = false;
    double sum = 0;
    std::optional<double> lastNumber;
    for (int row = 1; row < cells.size(); ++row) {
        const auto value = vb::parseNumber(cells[row]);
        if (!value)
            continue;
        if (!seen)
            stats.MinValue = *value;
        seen = true;
        sum += *value;
        lastNumber = value;
    }
    if (cells.size() > 1) {
        const auto last = vb::parseNumber(cells.last());
        stats.MaxValue = last ? *last : lastNumber.value_or(0);
        stats.MeanValue = sum / (cells.size() - 1);
    }
    return stats;
}

int getMinMaxIndex(const MapColumn &cells, const QString &kind, double minValue)
{
    if (kind == QLatin1String("MIN")) {
        for (int row = 1; row < cells.size(); ++row) {
            if (isEmptyCell(cells[row]))
                continue;
            const auto value = vb::parseNumber(cells[row]);
            if (value && *value == minValue)
                return row;
        }
        return 0;
    }
    if (kind == QLatin1String("MAX"))
        return int(cells.size());
    return 0;
}

int MakeQuantile(int k, int r, int q, int n, int d)
{
    if (k < 1 || k > 3 || d != 4)
        return 0;
    switch (r) {
    case 0: return k * q;
    case 1: return k == 1 ? 1 + (n - 1) / 4 : k == 2 ? (n + 1) / 2 : (3 * n + 1) / 4;
    case 2: return k == 1 ? 1 + (n - 2) / 4 : k == 2 ? n / 2 : (3 * n + 2) / 4;
    case 3: return k == 1 ? 1 + (n - 3) / 4 : k == 2 ? (n + 1) / 2 : (3 * n + 3) / 4;
    default: return 0;
    }
}

QuartileClasses MakeQuartileClasses(const MapColumn &cells, int first, int end)
{
    QuartileClasses result;
    result.classOfRow.fill(0, cells.size());
    end = std::min(end, int(cells.size()));
    if (first < 1 || end <= first)
        return result;
    const int n = end - first, d = 4, q = n / d, r = n - q * d;

    // Empty cells never close a class: the last row is the last one holding a value.
    int lastRow = -1;
    for (int row = first; row < end; ++row) {
        if (!isEmptyCell(cells[row]))
            lastRow = row;
    }
    // A grid of fewer than 9 rows in all (header and empty rows included) gives the last value a
    // class of its own.
    const bool smallSet = end < 9;

    auto open = [&](const QString &cell) {
        result.labels << QStringLiteral(" Da ") + cell;
        result.lower << cell;
        result.upper << QString();
    };
    auto close = [&](const QString &cell) {
        result.labels.last() += QStringLiteral(" a ") + cell;
        result.upper.last() = cell;
    };

    int k = 1;
    int boundary = first + MakeQuantile(k, r, q, n, d);
    QString previous;
    for (int row = first; row < end; ++row) {
        const QString &cell = cells[row];
        if (isEmptyCell(cell))
            continue;
        const bool last = row == lastRow;
        if (result.labels.isEmpty()) {
            open(cell);  // a single value has no row above to close with: it stays one class
        } else if (last && smallSet && k < 4) {
            // The last-row rule comes before the boundary rule: only this order gives n = 5 four classes,
            // and a larger grid's last row closes its class instead of opening one of a single value.
            close(previous);
            ++k;
            open(cell);
        } else if (!last && row >= boundary && k < 4) {
            close(previous);
            ++k;
            boundary = first + MakeQuantile(k, r, q, n, d);
            open(cell);
        }
        result.classOfRow[row] = k;
        if (last)
            close(cell);
        previous = cell;
    }
    for (int i = 0; i + 1 < result.upper.size(); ++i) {
        if (result.upper[i] == result.lower[i + 1]) {
            result.equalBounds = true;
            break;
        }
    }
    return result;
}

ManualStep ManualClass(ClassBoxes &boxes, const ColumnStatistics &stats, forms::OleColor color)
{
    ManualStep step;
    double lower = 0, upper = 0;
    if ((step.message = readBoxes(boxes, lower, upper)))
        return step;
    if (upper < lower) {
        step.message = info(classmsg::MinAboveMax);
        return step;
    }
    if (outside(lower, stats)) {
        step.message = info(classmsg::OutOfRange(stats), ClassMessage::MinBox);
        return step;
    }
    if (outside(upper, stats)) {
        step.message = info(classmsg::OutOfRange(stats), ClassMessage::MaxBox);
        return step;
    }
    step.added = ClassRow{color, QStringLiteral("Da ") + boxes.txtMin + QStringLiteral(" a ") + boxes.txtMax};
    if (upper < stats.MaxValue) {
        boxes.txtMin = numberText(upper + 0.01);
        boxes.txtMax = numberText(stats.MaxValue);
    } else {
        step.complete = true;
        boxes.txtMin = QStringLiteral("0");
        boxes.txtMax = numberText(stats.MaxValue);
    }
    return step;
}

EqualWidthStep EqualWidthClasses(ClassBoxes &boxes, const QString &txtClassi, const ColumnStatistics &stats,
                                 const QVector<forms::OleColor> &ramp)
{
    EqualWidthStep step;
    if (txtClassi.trimmed().isEmpty()) {
        step.message = attention(classmsg::NoClassCount);
        return step;
    }
    double lower = 0, upper = 0;
    if ((step.message = readBoxes(boxes, lower, upper)))
        return step;
    if (upper < lower) {
        step.message = info(classmsg::MinAboveMax);
        return step;
    }
    if (outside(lower, stats)) {
        step.message = info(classmsg::Finished);
        return step;
    }
    if (outside(upper, stats)) {
        step.message = info(classmsg::OutOfRange(stats), ClassMessage::MaxBox);
        return step;
    }
    bool ok = false;
    const int n = txtClassi.trimmed().toInt(&ok);
    if (!ok || n < 1 || n > 9) {
        step.message = attention(classmsg::BadClassCount);
        return step;
    }
    const double width = vb::Round((stats.MaxValue - stats.MinValue) / n, 2);
    if (width <= 0 && n > 1) {
        step.message = attention(classmsg::WidthZero);
        return step;
    }
    for (int i = 0; i < n; ++i) {
        const double from = *vb::parseNumber(boxes.txtMin);
        double to = i == 0 ? from + width : from + width - 0.01;
        if (i == n - 1)
            to = stats.MaxValue;
        boxes.txtMax = numberText(to);
        step.rows.append({ramp.value(i), QStringLiteral("Da ") + boxes.txtMin + QStringLiteral(" a ") + boxes.txtMax});
        if (to < stats.MaxValue) {
            boxes.txtMin = numberText(to + 0.01);
            boxes.txtMax = numberText(stats.MaxValue);
        } else {
            // A start above MinValue reaches the maximum early: no classes beyond it.
            step.complete = true;
            break;
        }
    }
    return step;
}

ClassBounds LabelBounds(const QString &label)
{
    const QStringList words = label.split(QLatin1Char(' '));
    ClassBounds bounds;
    bounds.lower = vb::CDbl(vb::Variant(words.value(1)));
    bounds.upper = vb::CDbl(vb::Variant(words.value(3)));
    return bounds;
}

std::optional<int> MatchClass(const QVector<ClassBounds> &classes, double value)
{
    for (int i = 0; i < classes.size(); ++i) {
        if (classes[i].lower <= value && value <= classes[i].upper)
            return i + 1;
    }
    return std::nullopt;
}

double RendererUpperBound(const QString &label)
{
    QString text = label;
    text.remove(QStringLiteral("Da"));
    const int at = text.indexOf(QLatin1Char('a'));
    return vb::CDbl(vb::Variant(text.mid(at + 1).trimmed()));
}

namespace classmsg {

QString OutOfRange(const ColumnStatistics &stats)
{
    return QStringLiteral("Scrivere un numero compreso tra ") + vb::CStr(vb::Variant(stats.MinValue)) +
           QStringLiteral(" e ") + vb::CStr(vb::Variant(stats.MaxValue));
}

QString QuartileWarning()
{
    return QStringLiteral("Per una corretta rappresentazione di questi dati si consiglia di non utilizzare i quartili;") +
           QLatin1Char('\n') +
           QStringLiteral("utilizzare una delle altre opzioni presenti (classi manuali o classi di uguale ampiezza).");
}

}  // namespace classmsg

}  // namespace pendra
