// Reading back what the layer (or any other program) saved.
#include "SheetReader.h"

#include "Workbook.h"
#include "WorkbookInternal.h"

#include "vb/Error.h"

#include <algorithm>

namespace sheet {

namespace {
// The parsed sheet; vb::Error 9 outside 1..sheetCount.
pugi::xml_node worksheetOf(Workbook &book, WorkbookData &d, int sheet)
{
    (void)book.sheet(sheet);
    return d.sheetDoc(*d.sheetData[static_cast<size_t>(sheet - 1)]).child("worksheet");
}
}  // namespace

SheetReader::SheetReader(const QString &path) : m_book(Workbook::open(path)) {}
SheetReader::~SheetReader() = default;

QStringList SheetReader::sheetNames() const
{
    QStringList names;
    for (int i = 1; i <= m_book->sheetCount(); ++i)
        names << m_book->sheet(i).name();
    return names;
}

int SheetReader::activeSheet() const
{
    return m_book->d->workbook.child("workbook").child("bookViews").child("workbookView").attribute("activeTab").as_int(0) + 1;
}

QMap<QString, CellValue> SheetReader::cells(int sheet) const
{
    WorkbookData &d = *m_book->d;
    pugi::xml_node ws = worksheetOf(*m_book, d, sheet);
    QMap<QString, CellValue> out;
    for (pugi::xml_node r : ws.child("sheetData").children("row"))
        for (pugi::xml_node c : r.children("c")) {
            const std::string t = c.attribute("t").value();
            if (t.empty() && !c.child("v"))
                continue;
            CellValue v;
            v.text = cellText(c, d.sharedStrings);
            if (t.empty() || t == "n") {
                v.type = CellValue::Number;
                v.number = v.text.toDouble();
            } else if (t == "b") {
                v.type = CellValue::Boolean;
            } else if (t == "e") {
                v.type = CellValue::Error;
            }
            out.insert(QString::fromUtf8(c.attribute("r").value()), v);
        }
    return out;
}

QMap<int, double> SheetReader::columnWidths(int sheet) const
{
    WorkbookData &d = *m_book->d;
    pugi::xml_node ws = worksheetOf(*m_book, d, sheet);
    QMap<int, double> out;
    for (pugi::xml_node c : ws.child("cols").children("col"))
        for (int i = std::max(1, c.attribute("min").as_int()); i <= std::min(16384, c.attribute("max").as_int()); ++i)
            out[i] = QByteArray(c.attribute("width").value()).toDouble();  // C notation, whatever the C locale
    return out;
}

QMap<int, int> SheetReader::columnStyles(int sheet) const
{
    WorkbookData &d = *m_book->d;
    pugi::xml_node ws = worksheetOf(*m_book, d, sheet);
    QMap<int, int> out;
    for (pugi::xml_node c : ws.child("cols").children("col"))
        if (c.attribute("style"))
            for (int i = std::max(1, c.attribute("min").as_int()); i <= std::min(16384, c.attribute("max").as_int()); ++i)
                out[i] = c.attribute("style").as_int();
    return out;
}

QMap<QString, int> SheetReader::cellStyles(int sheet) const
{
    WorkbookData &d = *m_book->d;
    pugi::xml_node ws = worksheetOf(*m_book, d, sheet);
    QMap<QString, int> out;
    for (pugi::xml_node r : ws.child("sheetData").children("row"))
        for (pugi::xml_node c : r.children("c"))
            if (c.attribute("s"))
                out.insert(QString::fromUtf8(c.attribute("r").value()), c.attribute("s").as_int());
    return out;
}

bool SheetReader::tabSelected(int sheet) const
{
    WorkbookData &d = *m_book->d;
    pugi::xml_node ws = worksheetOf(*m_book, d, sheet);
    return ws.child("sheetViews").child("sheetView").attribute("tabSelected").as_bool();
}

QByteArray SheetReader::part(const QString &name) const
{
    const Part *p = m_book->d->part(name);
    return p ? p->data : QByteArray();
}

QStringList SheetReader::partNames() const
{
    QStringList names;
    for (const Part &p : m_book->d->parts)
        names << p.name;
    return names;
}

}  // namespace sheet
