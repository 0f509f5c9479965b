// Private state shared by Workbook and Worksheet: the package parts and the parsed XML documents.
#pragma once

#include "Worksheet.h"
#include "XlsxPackage.h"

#include <QStringList>
#include <pugixml.hpp>
#include <map>
#include <memory>
#include <vector>

namespace sheet {

struct SheetData {
    QString name;
    QString partName;  // "xl/worksheets/sheet1.xml"
    pugi::xml_document doc;
    bool loaded = false;
    bool dirty = false;
    // Once a block is written, the rows of <sheetData> are kept here as XML text, in order, and
    // the document's <sheetData> holds only the RowsMarker that saving replaces with them.
    bool streamed = false;
    std::vector<QByteArray> rows;
    std::map<int, int> longest;  // column -> characters of the longest line among those rows
};

// The stand-in for the streamed rows (parsing drops processing instructions, so no template
// can hold one).
inline constexpr char RowsMarkerName[] = "pendra-rows";
inline constexpr char RowsMarker[] = "<?pendra-rows?>";

struct WorkbookData {
    QVector<Part> parts;
    QString workbookPart;  // "xl/workbook.xml"
    pugi::xml_document workbook;
    bool workbookDirty = false;
    std::vector<std::shared_ptr<SheetData>> sheetData;
    std::vector<std::unique_ptr<Worksheet>> sheets;
    QStringList sharedStrings;
    bool open = false;

    const Part *part(const QString &name) const;
    // Parses a sheet's part on first use; SheetError 1004 when it is missing or not XML.
    pugi::xml_document &sheetDoc(SheetData &s);
    // Puts streamed rows back into the sheet's document, so it can be edited as a tree again.
    void restoreRows(SheetData &s);
};

// Parses XML bytes; SheetError 1004 naming the part when they are not XML.
void parseXml(pugi::xml_document &doc, const QByteArray &bytes, const QString &partName);
// Parses a part of a template as parseXml does, and refuses (SheetError 1004) one that holds more
// elements than MaxTemplateElements: the parsed tree takes many times the bytes of each element,
// so a small file could otherwise take gigabytes. Real templates hold a few hundred.
inline constexpr qint64 MaxTemplateElements = 100000;
void parseTemplateXml(pugi::xml_document &doc, const QByteArray &bytes, const QString &partName);
QByteArray serializeXml(const pugi::xml_document &doc);
// The text of a cell as a reader shows it ("" for an empty cell).
QString cellText(const pugi::xml_node &cell, const QStringList &sharedStrings);
// Column number (1-based) of a reference such as "AB12"; 0 when it has no letters, -1 when its
// letters go past the last column (XFD).
int columnOf(const char *ref);
// Row number of a reference or a row's "r"; 0 when there is none or it is past the last row.
int rowOf(const char *ref);
// Undoes the _xHHHH_ escapes of control characters.
QString unescapeText(const QString &text);

}  // namespace sheet
