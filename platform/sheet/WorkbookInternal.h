// Private state shared by Workbook and Worksheet: the package parts and the parsed XML documents.
#pragma once

#include "Worksheet.h"
#include "XlsxPackage.h"

#include <QStringList>
#include <pugixml.hpp>
#include <memory>
#include <vector>

namespace sheet {

struct SheetData {
    QString name;
    QString partName;  // "xl/worksheets/sheet1.xml"
    pugi::xml_document doc;
    bool loaded = false;
    bool dirty = false;
};

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
    // Parses a sheet's part on first use; vb::Error 1004 when it is missing or not XML.
    pugi::xml_document &sheetDoc(SheetData &s);
};

// Parses XML bytes; vb::Error 1004 naming the part when they are not XML.
void parseXml(pugi::xml_document &doc, const QByteArray &bytes, const QString &partName);
QByteArray serializeXml(const pugi::xml_document &doc);
// The text of a cell as a reader shows it ("" for an empty cell).
QString cellText(const pugi::xml_node &cell, const QStringList &sharedStrings);
// Column number (1-based) of a reference such as "AB12"; 0 when there is none.
int columnOf(const char *ref);
int rowOf(const char *ref);
// Undoes the _xHHHH_ escapes of control characters.
QString unescapeText(const QString &text);

}  // namespace sheet
