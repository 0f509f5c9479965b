// Worksheet: writing a block of cells from A1 as a stream of rows, fitting columns, selecting.
#include "Worksheet.h"

#include "Workbook.h"
#include "WorkbookInternal.h"

#include "SheetError.h"

#include <charconv>
#include <cstring>
#include <cmath>
#include <algorithm>
#include <map>
#include <vector>

namespace sheet {

namespace {

constexpr int MaxColumns = 16384;
constexpr int MaxRows = 1048576;

bool hexEscapeAt(const QString &text, qsizetype i)
{
    if (i + 7 > text.size() || text[i] != '_' || text[i + 1] != 'x' || text[i + 6] != '_')
        return false;
    bool ok = false;
    (void)QStringView(text).mid(i + 2, 4).toUInt(&ok, 16);
    return ok;
}

bool notXml(ushort u)
{
    return (u < 0x20 && u != '\t' && u != '\n' && u != '\r') || u == 0xFFFE || u == 0xFFFF;
}

// Control characters are not XML: the file format escapes them as _xHHHH_, and a literal text
// that would read as such an escape gets its "_" escaped (_x005F_).
QByteArray escapeText(const QString &text)
{
    QString out;
    out.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        const ushort u = text[i].unicode();
        if (notXml(u))
            out += QString("_x%1_").arg(QString::number(u, 16).toUpper(), 4, QChar('0'));
        else if (hexEscapeAt(text, i))
            out += "_x005F_";
        else
            out += text[i];
    }
    return out.toUtf8();
}

QByteArray numberText(double v)
{
    char buf[32];
    const auto r = std::to_chars(buf, buf + sizeof buf, v);
    return QByteArray(buf, r.ptr - buf);
}

QByteArray cellRef(int row, int col)
{
    return columnName(col).toLatin1() + QByteArray::number(row);
}

[[noreturn]] void damagedSheet(const SheetData &s, const QString &why)
{
    throw SheetError(1004, QStringLiteral("La cartella di lavoro è danneggiata (%1).").arg(s.partName), "Range.Value", why);
}

// The column of a template cell: its reference, or the one after the cell before it.
int cellColumn(const pugi::xml_node &c, int previous, const SheetData &s)
{
    const pugi::xml_attribute r = c.attribute("r");
    if (!r)
        return previous + 1;
    const int col = columnOf(r.value());
    if (col < 1 || col > MaxColumns)
        damagedSheet(s, QStringLiteral("cell reference \"%1\"").arg(QString::fromUtf8(r.value())));
    return col;
}

int rowNumber(const pugi::xml_node &row, int previous, const SheetData &s)
{
    const pugi::xml_attribute r = row.attribute("r");
    if (!r)
        return previous + 1;
    const int n = rowOf(r.value());
    if (n < 1 || *r.value() < '0' || *r.value() > '9')
        damagedSheet(s, QStringLiteral("row number \"%1\"").arg(QString::fromUtf8(r.value())));
    return n;
}

int longestLine(const QString &text)
{
    int chars = 0;
    qsizetype start = 0;
    for (;;) {
        const qsizetype end = text.indexOf(u'\n', start);
        chars = std::max(chars, static_cast<int>((end < 0 ? text.size() : end) - start));
        if (end < 0)
            return chars;
        start = end + 1;
    }
}

void measure(std::map<int, int> &longest, int col, int chars)
{
    if (chars > 0) {
        int &l = longest[col];
        l = std::max(l, chars);
    }
}

// Measures the cells of a row as they stand.
void measureRow(std::map<int, int> &longest, const pugi::xml_node &row, const SheetData &s, const QStringList &sst)
{
    int col = 0;
    for (pugi::xml_node c : row.children("c")) {
        col = cellColumn(c, col, s);
        measure(longest, col, longestLine(cellText(c, sst)));
    }
}

// Collects XML text in pieces of about a megabyte, so no piece is ever copied to grow.
class RowStream : public pugi::xml_writer {
public:
    void write(const void *data, size_t size) override
    {
        m_current.append(static_cast<const char *>(data), static_cast<qsizetype>(size));
        settle();
    }
    RowStream &operator<<(const QByteArray &b)
    {
        m_current.append(b);
        return *this;
    }
    RowStream &operator<<(const char *text)
    {
        m_current.append(text);
        return *this;
    }
    RowStream &operator<<(int n)
    {
        char buf[16];
        const auto r = std::to_chars(buf, buf + sizeof buf, n);
        m_current.append(buf, r.ptr - buf);
        return *this;
    }
    // XML character data or an attribute value, escaped as the parser reads it back.
    void escaped(const QByteArray &utf8, bool attribute)
    {
        const char *p = utf8.constData();
        const char *end = p + utf8.size();
        while (p < end) {
            const char *run = p;
            while (p < end && *p != '&' && *p != '<' && *p != '>' && !(attribute && *p == '"'))
                ++p;
            m_current.append(run, p - run);
            if (p == end)
                break;
            m_current.append(*p == '&' ? "&amp;" : *p == '<' ? "&lt;" : *p == '>' ? "&gt;" : "&quot;");
            ++p;
        }
    }
    void settle()
    {
        if (m_current.size() >= ChunkBytes) {
            m_pieces.push_back(std::move(m_current));
            m_current = QByteArray();
            m_current.reserve(ChunkBytes + ChunkBytes / 8);
        }
    }
    std::vector<QByteArray> take()
    {
        if (!m_current.isEmpty())
            m_pieces.push_back(std::move(m_current));
        for (QByteArray &p : m_pieces)
            p.squeeze();
        return std::move(m_pieces);
    }

private:
    static constexpr qsizetype ChunkBytes = qsizetype(1) << 20;
    QByteArray m_current;
    std::vector<QByteArray> m_pieces;
};

bool isBlank(const vb::Variant &v)
{
    return v.isEmpty() || v.isNull() || (v.isString() && v.rawString().isEmpty());
}

bool needsHexEscape(const QString &text)
{
    for (qsizetype i = 0; i < text.size(); ++i) {
        const ushort u = text[i].unicode();
        if (notXml(u) || (u == '_' && hexEscapeAt(text, i)))
            return true;
    }
    return false;
}

// One value cell; returns the characters the column fitting counts for it.
int writeCell(RowStream &out, const QByteArray &ref, const char *style, const vb::Variant &value)
{
    out << "<c r=\"" << ref << "\"";
    if (style && *style) {
        out << " s=\"";
        out.escaped(style, true);
        out << "\"";
    }
    if (value.isNumber()) {
        const double v = value.toDouble();
        if (std::isfinite(v)) {
            const QByteArray text = numberText(v);
            out << "><v>" << text << "</v></c>";
            return static_cast<int>(text.size());
        }
    }
    const QString text = value.isNumber() ? QString::number(value.toDouble()) : value.toString();
    out << " t=\"inlineStr\"><is><t";
    if (!text.isEmpty() && (text.front().isSpace() || text.back().isSpace()))
        out << " xml:space=\"preserve\"";
    out << ">";
    out.escaped(needsHexEscape(text) ? escapeText(text) : text.toUtf8(), false);
    out << "</t></is></c>";
    return longestLine(text);
}

// The style a new cell takes where the template has none: its row's, when the row carries a
// format, else its column's.
class TemplateStyles {
public:
    TemplateStyles(const pugi::xml_node &cols)
    {
        for (pugi::xml_node c : cols.children("col"))
            if (const char *style = c.attribute("style").value(); *style)
                for (int i = std::max(1, c.attribute("min").as_int()); i <= std::min(MaxColumns, c.attribute("max").as_int()); ++i)
                    m_columns.emplace(i, style);
    }
    const char *of(int column, const pugi::xml_node &row) const
    {
        if (row && row.attribute("customFormat").as_bool() && row.attribute("s"))
            return row.attribute("s").value();
        const auto it = m_columns.find(column);
        return it == m_columns.end() ? nullptr : it->second;
    }

private:
    std::map<int, const char *> m_columns;
};

}  // namespace

QString columnName(int column)
{
    QString name;
    while (column > 0) {
        const int r = (column - 1) % 26;
        name.prepend(QChar('A' + r));
        column = (column - 1) / 26;
    }
    return name;
}

int columnOf(const char *ref)
{
    int col = 0;
    for (; *ref >= 'A' && *ref <= 'Z'; ++ref) {
        col = col * 26 + (*ref - 'A' + 1);
        if (col > MaxColumns)
            return -1;
    }
    return col;
}

int rowOf(const char *ref)
{
    while (*ref >= 'A' && *ref <= 'Z')
        ++ref;
    int row = 0;
    const char *end = ref + std::strlen(ref);
    const auto r = std::from_chars(ref, end, row);
    return r.ec == std::errc() && r.ptr == end && row >= 1 && row <= MaxRows ? row : 0;
}

QString unescapeText(const QString &text)
{
    if (!text.contains("_x"))
        return text;
    QString out;
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (hexEscapeAt(text, i)) {
            out += QChar(static_cast<ushort>(QStringView(text).mid(i + 2, 4).toUInt(nullptr, 16)));
            i += 6;
            continue;
        }
        out += text[i];
    }
    return out;
}

QString cellText(const pugi::xml_node &cell, const QStringList &sharedStrings)
{
    const std::string type = cell.attribute("t").value();
    if (type == "inlineStr") {
        QString text;
        for (pugi::xpath_node t : cell.child("is").select_nodes(".//t"))
            text += QString::fromUtf8(t.node().text().get());
        return unescapeText(text);
    }
    const QString v = QString::fromUtf8(cell.child("v").text().get());
    if (type == "s") {
        const int i = v.toInt();
        return i >= 0 && i < sharedStrings.size() ? sharedStrings[i] : QString();
    }
    return type == "str" ? unescapeText(v) : v;
}

Worksheet::Worksheet(Workbook &book, int index, std::shared_ptr<SheetData> data)
    : m_book(book), m_index(index), m_data(std::move(data))
{
}

QString Worksheet::name() const
{
    return m_data->name;
}

void Worksheet::setValues(const QVector<QVector<vb::Variant>> &rows)
{
    int width = 0;
    for (const auto &r : rows)
        width = std::max(width, static_cast<int>(r.size()));
    static const vb::Variant empty;
    setValues(static_cast<int>(rows.size()), width, [&](int row, int column) -> vb::Variant {
        const auto &r = rows[row];
        return column < r.size() ? r[column] : empty;
    });
}

void Worksheet::setValues(int rowCount, int columnCount, const CellSource &cell)
{
    if (rowCount < 0 || columnCount < 0 || columnCount > MaxColumns || rowCount > MaxRows)
        throw SheetError(1004, QStringLiteral("L'intervallo di celle è troppo grande."), "Range.Value");
    if (rowCount == 0 || columnCount == 0)
        return;
    WorkbookData &d = *m_book.d;
    d.sheetDoc(*m_data);
    d.restoreRows(*m_data);  // a second block goes over the first as over the template
    pugi::xml_node ws = m_data->doc.child("worksheet");
    if (!ws)
        damagedSheet(*m_data, "no worksheet element");
    pugi::xml_node data = ws.child("sheetData");
    if (!data)
        data = ws.append_child("sheetData");

    // The template's rows by number; in the block its cells give way to the block's values but
    // keep their styles, cells right of the block and rows below it stay as they are.
    std::map<int, pugi::xml_node> templateRows;
    int previous = 0;
    for (pugi::xml_node r : data.children("row")) {
        previous = rowNumber(r, previous, *m_data);
        templateRows.emplace(previous, r);
    }
    const TemplateStyles styles(ws.child("cols"));
    std::vector<QByteArray> refs(static_cast<size_t>(columnCount) + 1);
    for (int j = 1; j <= columnCount; ++j)
        refs[static_cast<size_t>(j)] = columnName(j).toLatin1();
    std::vector<int> blockLongest(static_cast<size_t>(columnCount) + 1, 0);
    std::map<int, int> longest;
    RowStream out;

    auto keepRow = [&](const pugi::xml_node &row) {
        measureRow(longest, row, *m_data, d.sharedStrings);
        row.print(out, "", pugi::format_raw, pugi::encoding_utf8);
    };
    auto tpl = templateRows.begin();
    std::vector<std::pair<int, pugi::xml_node>> templateCells;
    for (int i = 1; i <= rowCount; ++i) {
        for (; tpl != templateRows.end() && tpl->first < i; ++tpl)
            keepRow(tpl->second);
        pugi::xml_node trow;
        if (tpl != templateRows.end() && tpl->first == i)
            trow = (tpl++)->second;
        templateCells.clear();
        out << "<row r=\"" << i << "\"";
        if (trow) {
            for (pugi::xml_attribute a : trow.attributes()) {
                if (!std::strcmp(a.name(), "r") || !std::strcmp(a.name(), "spans"))
                    continue;
                out << " " << a.name() << "=\"";
                out.escaped(a.value(), true);
                out << "\"";
            }
            int col = 0;
            for (pugi::xml_node c : trow.children("c")) {
                col = cellColumn(c, col, *m_data);
                templateCells.emplace_back(col, c);
            }
            std::stable_sort(templateCells.begin(), templateCells.end(),
                             [](const auto &x, const auto &y) { return x.first < y.first; });
        }
        out << ">";
        const QByteArray row = QByteArray::number(i);
        size_t k = 0;
        for (int j = 1; j <= columnCount; ++j) {
            while (k < templateCells.size() && templateCells[k].first < j)
                ++k;
            const pugi::xml_node tcell = k < templateCells.size() && templateCells[k].first == j ? templateCells[k].second : pugi::xml_node();
            const char *style = tcell ? tcell.attribute("s").value() : styles.of(j, trow);
            const vb::Variant value = cell(i - 1, j - 1);
            if (isBlank(value)) {
                // An emptied cell keeps its format, as the spreadsheet keeps it.
                if (tcell && style && *style && std::strcmp(style, "0") != 0) {
                    out << "<c r=\"" << refs[static_cast<size_t>(j)] << row << "\" s=\"";
                    out.escaped(style, true);
                    out << "\"/>";
                }
                continue;
            }
            int &l = blockLongest[static_cast<size_t>(j)];
            l = std::max(l, writeCell(out, refs[static_cast<size_t>(j)] + row, style, value));
        }
        for (; k < templateCells.size(); ++k)
            if (templateCells[k].first > columnCount) {
                measure(longest, templateCells[k].first, longestLine(cellText(templateCells[k].second, d.sharedStrings)));
                templateCells[k].second.print(out, "", pugi::format_raw, pugi::encoding_utf8);
            }
        out << "</row>";
        out.settle();
    }
    for (; tpl != templateRows.end(); ++tpl)
        keepRow(tpl->second);
    for (int j = 1; j <= columnCount; ++j)
        measure(longest, j, blockLongest[static_cast<size_t>(j)]);
    const int lastRow = std::max(rowCount, templateRows.empty() ? 0 : templateRows.rbegin()->first);

    while (data.first_child())
        data.remove_child(data.first_child());
    data.append_child(pugi::node_pi).set_name(RowsMarkerName);
    m_data->rows = out.take();
    m_data->longest = std::move(longest);
    m_data->streamed = true;

    // The used range.
    pugi::xml_node dim = ws.child("dimension");
    if (!dim) {
        pugi::xml_node pr = ws.child("sheetPr");
        dim = pr ? ws.insert_child_after("dimension", pr) : ws.prepend_child("dimension");
    }
    int lastCol = columnCount;
    if (pugi::xml_attribute old = dim.attribute("ref")) {
        const char *colon = std::strchr(old.value(), ':');
        if (colon)
            lastCol = std::max(lastCol, columnOf(colon + 1));
    }
    dim.remove_attribute("ref");
    dim.append_attribute("ref").set_value(("A1:" + cellRef(lastRow, lastCol)).constData());
    m_data->dirty = true;
}

void Worksheet::autoFitColumns(int first, int last)
{
    if (first < 1 || last < first || last > MaxColumns)
        throw SheetError(1004, QStringLiteral("L'intervallo di colonne non è valido."), "AutoFit");
    WorkbookData &d = *m_book.d;
    pugi::xml_node ws = d.sheetDoc(*m_data).child("worksheet");
    std::map<int, int> measured;
    if (!m_data->streamed) {
        for (pugi::xml_node r : ws.child("sheetData").children("row"))
            measureRow(measured, r, *m_data, d.sharedStrings);
    }
    const std::map<int, int> &longest = m_data->streamed ? m_data->longest : measured;
    std::map<int, QByteArray> widths;  // the fitted columns
    for (auto it = longest.lower_bound(first); it != longest.end() && it->first <= last; ++it) {
        // Written by hand: pugixml prints doubles through the C locale, which may use a comma.
        const double width = std::round(std::min(255.0, it->second * 1.1 + 1.7) * 100) / 100;
        widths.emplace(it->first, numberText(width));
    }
    if (widths.empty())
        return;
    pugi::xml_node cols = ws.child("cols");
    if (!cols)
        cols = ws.insert_child_before("cols", ws.child("sheetData"));

    // The template's column entries, split where a fitted column falls inside a range: every
    // other attribute (the column's format above all) stays with each piece.
    struct Entry {
        int min, max;
        pugi::xml_node source;  // null for a column the template does not describe
        const QByteArray *width;  // the fitted width, or null
    };
    std::vector<Entry> entries;
    int covered = 0;
    for (pugi::xml_node c : cols.children("col")) {
        const int min = c.attribute("min").as_int(), max = c.attribute("max").as_int();
        if (min < 1 || max < min || max > MaxColumns || min <= covered)
            throw SheetError(1004, QStringLiteral("La cartella di lavoro è danneggiata (%1).").arg(m_data->partName), "AutoFit",
                             QStringLiteral("column range %1:%2").arg(min).arg(max));
        covered = max;
        int from = min;
        for (auto w = widths.lower_bound(min); w != widths.end() && w->first <= max; ++w) {
            if (w->first > from)
                entries.push_back({from, w->first - 1, c, nullptr});
            entries.push_back({w->first, w->first, c, &w->second});
            from = w->first + 1;
        }
        if (from <= max)
            entries.push_back({from, max, c, nullptr});
    }
    for (const auto &[col, width] : widths) {
        const auto at = std::lower_bound(entries.begin(), entries.end(), col, [](const Entry &e, int c) { return e.max < c; });
        if (at == entries.end() || at->min > col)
            entries.insert(at, {col, col, pugi::xml_node(), &width});
    }

    pugi::xml_document built;
    pugi::xml_node fresh = built.append_child("cols");
    for (const Entry &e : entries) {
        pugi::xml_node n = fresh.append_child("col");
        n.append_attribute("min") = e.min;
        n.append_attribute("max") = e.max;
        if (e.width) {
            n.append_attribute("width").set_value(e.width->constData());
            n.append_attribute("bestFit") = 1;
            n.append_attribute("customWidth") = 1;
        }
        for (pugi::xml_attribute a : e.source.attributes()) {
            const char *name = a.name();
            if (!std::strcmp(name, "min") || !std::strcmp(name, "max") ||
                (e.width && (!std::strcmp(name, "width") || !std::strcmp(name, "bestFit") || !std::strcmp(name, "customWidth"))))
                continue;
            n.append_attribute(name).set_value(a.value());
        }
        // Neighbours that now read the same become one range again.
        pugi::xml_node before = n.previous_sibling();
        if (before && before.attribute("max").as_int() + 1 == e.min) {
            bool same = true;
            pugi::xml_attribute x = before.attribute("max").next_attribute(), y = n.attribute("max").next_attribute();
            for (; same && x && y; x = x.next_attribute(), y = y.next_attribute())
                same = !std::strcmp(x.name(), y.name()) && !std::strcmp(x.value(), y.value());
            if (same && !x && !y) {
                before.attribute("max") = e.max;
                fresh.remove_child(n);
            }
        }
    }
    while (cols.first_child())
        cols.remove_child(cols.first_child());
    for (pugi::xml_node n : fresh.children())
        cols.append_copy(n);
    m_data->dirty = true;
}

void Worksheet::select()
{
    m_book.selectSheet(m_index);
}

}  // namespace sheet
