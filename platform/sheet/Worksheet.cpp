// Worksheet: writing a block of cells from A1, fitting columns, selecting.
#include "Worksheet.h"

#include "Workbook.h"
#include "WorkbookInternal.h"

#include "vb/Error.h"

#include <charconv>
#include <cstring>
#include <cmath>
#include <map>

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

void setCell(pugi::xml_node c, int row, int col, const vb::Variant &value)
{
    c.append_attribute("r").set_value(cellRef(row, col).constData());
    if (value.isNumber()) {
        const double v = value.toDouble();
        if (std::isfinite(v)) {
            c.append_child("v").text().set(numberText(v).constData());
            return;
        }
    }
    c.append_attribute("t").set_value("inlineStr");
    const QString text = value.isNumber() ? QString::number(value.toDouble()) : value.toString();
    pugi::xml_node t = c.append_child("is").append_child("t");
    if (!text.isEmpty() && (text.front().isSpace() || text.back().isSpace()))
        t.append_attribute("xml:space").set_value("preserve");
    t.text().set(escapeText(text).constData());
}

bool isBlank(const vb::Variant &v)
{
    return v.isEmpty() || v.isNull() || (v.isString() && v.toString().isEmpty());
}

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
    for (; *ref >= 'A' && *ref <= 'Z'; ++ref)
        col = col * 26 + (*ref - 'A' + 1);
    return col;
}

int rowOf(const char *ref)
{
    while (*ref >= 'A' && *ref <= 'Z')
        ++ref;
    return std::atoi(ref);
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
    if (width > MaxColumns || rows.size() > MaxRows)
        throw vb::Error(1004, "Range too large", "Range.Value");
    if (rows.isEmpty() || width == 0)
        return;
    pugi::xml_node ws = m_book.d->sheetDoc(*m_data).child("worksheet");
    if (!ws)
        throw vb::Error(1004, "Damaged sheet: " + m_data->partName, "Range.Value");
    pugi::xml_node data = ws.child("sheetData");
    if (!data)
        data = ws.append_child("sheetData");

    // The template's rows by number; cells inside the block are replaced, others kept.
    std::map<int, pugi::xml_node> existing;
    for (pugi::xml_node r : data.children("row"))
        existing[r.attribute("r").as_int()] = r;

    for (int i = 0; i < rows.size(); ++i) {
        const int rowNumber = i + 1;
        pugi::xml_node row;
        if (auto it = existing.find(rowNumber); it != existing.end()) {
            row = it->second;
            for (pugi::xml_node c = row.first_child(); c;) {
                pugi::xml_node next = c.next_sibling();
                if (columnOf(c.attribute("r").value()) <= width)
                    row.remove_child(c);
                c = next;
            }
            row.remove_attribute("spans");
        } else {
            auto after = existing.lower_bound(rowNumber);
            row = after == existing.end() ? data.append_child("row") : data.insert_child_before("row", after->second);
            row.append_attribute("r").set_value(rowNumber);
            existing[rowNumber] = row;
        }
        pugi::xml_node before = row.first_child();
        const auto &cells = rows[i];
        for (int j = 0; j < cells.size(); ++j) {
            if (isBlank(cells[j]))
                continue;
            pugi::xml_node c = before ? row.insert_child_before("c", before) : row.append_child("c");
            setCell(c, rowNumber, j + 1, cells[j]);
        }
    }

    // The used range.
    int lastRow = existing.empty() ? 1 : existing.rbegin()->first;
    pugi::xml_node dim = ws.child("dimension");
    if (!dim) {
        pugi::xml_node pr = ws.child("sheetPr");
        dim = pr ? ws.insert_child_after("dimension", pr) : ws.prepend_child("dimension");
    }
    int lastCol = width;
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
        throw vb::Error(1004, "Bad column range", "AutoFit");
    pugi::xml_node ws = m_book.d->sheetDoc(*m_data).child("worksheet");
    std::map<int, int> longest;  // column -> characters of its longest line
    for (pugi::xml_node r : ws.child("sheetData").children("row"))
        for (pugi::xml_node c : r.children("c")) {
            const int col = columnOf(c.attribute("r").value());
            if (col < first || col > last)
                continue;
            int chars = 0;
            for (const QString &line : cellText(c, m_book.d->sharedStrings).split('\n'))
                chars = std::max(chars, static_cast<int>(line.size()));
            if (chars > 0)
                longest[col] = std::max(longest[col], chars);
        }
    if (longest.empty())
        return;
    pugi::xml_node cols = ws.child("cols");
    if (!cols)
        cols = ws.insert_child_before("cols", ws.child("sheetData"));
    // Column entries that overlap the fitted range give way to the fitted widths.
    for (pugi::xml_node c = cols.first_child(); c;) {
        pugi::xml_node next = c.next_sibling();
        if (c.attribute("max").as_int() >= first && c.attribute("min").as_int() <= last)
            cols.remove_child(c);
        c = next;
    }
    for (const auto &[col, chars] : longest) {
        pugi::xml_node before;
        for (pugi::xml_node c : cols.children("col"))
            if (c.attribute("min").as_int() > col) {
                before = c;
                break;
            }
        pugi::xml_node n = before ? cols.insert_child_before("col", before) : cols.append_child("col");
        n.append_attribute("min") = col;
        n.append_attribute("max") = col;
        // Written by hand: pugixml prints doubles through the C locale, which may use a comma.
        const double width = std::round(std::min(255.0, chars * 1.1 + 1.7) * 100) / 100;
        n.append_attribute("width").set_value(numberText(width).constData());
        n.append_attribute("bestFit") = 1;
        n.append_attribute("customWidth") = 1;
    }
    m_data->dirty = true;
}

void Worksheet::select()
{
    m_book.selectSheet(m_index);
}

}  // namespace sheet
